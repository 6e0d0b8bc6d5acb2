#include "search/TextSearch.h"

#include "core/DbfTable.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"

#include <array>

namespace {

// How many records a layer search reads between two questions whether to stop.
constexpr int kRecordsBetweenStops = 4096;

// Each byte as the comparison sees it: upper-cased with the capitals'
// accents gone, or with every accent gone and the case kept. Both rules
// change one byte into one byte, so texts fold through a table.
struct CFoldTables {
    std::array<unsigned char, 256> ignoringCase;
    std::array<unsigned char, 256> keepingCase;
    std::array<bool, 256> capital{};
    std::array<bool, 256> small{};

    CFoldTables()
    {
        for (int i = 0; i < 256; ++i) {
            const std::string byte(1, static_cast<char>(i));
            ignoringCase[i] = static_cast<unsigned char>(ReplaceLithuanianCapitals(ToUpper1257(byte))[0]);
            keepingCase[i] = static_cast<unsigned char>(ReplaceLithuanianLetters(byte)[0]);
            const unsigned char upper = Cp1257ToUpper(static_cast<unsigned char>(i));
            if (upper != i) {
                small[i] = true;
                capital[upper] = true;
            }
        }
    }
};

const CFoldTables& FoldTables()
{
    static const CFoldTables tables;
    return tables;
}

void Fold(std::string_view text, const std::array<unsigned char, 256>& table, std::string& out)
{
    out.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
}

bool IsCharacterType(char type)
{
    return type == 'C' || type == 'M';
}

// One open file of the layer: its records in sequence, the fields asked
// for, until the results are full.
bool SearchFile(CLayer& layer, int file, const CTextPattern& pattern, bool nameFieldOnly, CTextSearchResults& results,
                const std::function<bool()>& stop)
{
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return true;
    CFeatureSource& source = *reader.GetSource();
    CDbfTable& table = source.GetTable();
    std::vector<int> fields;
    if (nameFieldOnly) {
        const int nameField = layer.GetIdField().empty() ? -1 : table.FindField(layer.GetIdField());
        if (nameField < 0)
            return true;
        fields.push_back(nameField);
    } else {
        for (int i = 0; i < table.GetFieldCount(); ++i)
            fields.push_back(i);
    }
    std::vector<char> types;
    for (const int field : fields)
        types.push_back(table.GetFieldType(field));

    std::string text;
    int sinceStop = 0;
    while (!results.IsFull() && source.MoveNext()) {
        if (++sinceStop == kRecordsBetweenStops) {
            sinceStop = 0;
            if (stop && stop())
                return false;
        }
        for (size_t i = 0; i < fields.size(); ++i) {
            if (types[i] == 'M')
                table.GetMemo(fields[i], text);
            else
                table.GetFieldString(fields[i], text);
            if (!pattern.Matches(types[i], text))
                continue;
            results.Add(layer, fields[i], table.GetFieldCaption(fields[i]), source.GetCurrentRecord(), file,
                        std::move(text));
            break;
        }
    }
    return !results.IsFull();
}

bool IsSearchable(const CLayer& layer)
{
    return !layer.HasFlag(CLayer::kGroup) && layer.IsVectorType();
}

int ImageOf(const CLayer& layer)
{
    if (layer.HasFlag(CLayer::kGroup))
        return CSearchTreeItem::kGroup;
    switch (layer.GetType()) {
    case CLayer::kPoint:
        return CSearchTreeItem::kPoint;
    case CLayer::kLine:
        return CSearchTreeItem::kLine;
    case CLayer::kArea:
        return CSearchTreeItem::kArea;
    case CLayer::kTrack:
        return CSearchTreeItem::kTrack;
    default:
        return CSearchTreeItem::kGroup;
    }
}

// The entries from begin up to end, under the item parent.
void AddTreeEntries(const CDrelDoc& document, int begin, int end, int parent, std::vector<CSearchTreeItem>& tree)
{
    for (int i = begin; i < end;) {
        CLayer* layer = document.GetLayer(i);
        const bool group = layer->HasFlag(CLayer::kGroup);
        // A span that runs past its enclosing group's end is held to it.
        const int span = group ? std::min(document.GetGroupSpan(layer), end - i - 1) : 0;
        if (document.IsLayerShownInLegend(layer, false)) {
            tree.push_back({parent, layer, group ? "[" + layer->GetName() + "]" : layer->GetName(), ImageOf(*layer)});
            if (group)
                AddTreeEntries(document, i + 1, i + 1 + span, static_cast<int>(tree.size()) - 1, tree);
        }
        i += 1 + std::max(span, 0);
    }
}

// The children of every item, in order.
std::vector<std::vector<int>> ChildrenOf(const std::vector<CSearchTreeItem>& tree)
{
    std::vector<std::vector<int>> children(tree.size());
    for (size_t i = 0; i < tree.size(); ++i) {
        const int parent = tree[i].parent;
        if (parent >= 0 && static_cast<size_t>(parent) < i)
            children[static_cast<size_t>(parent)].push_back(static_cast<int>(i));
    }
    return children;
}

TextSearchEnd VisitChecked(const std::vector<CSearchTreeItem>& tree, const std::vector<std::vector<int>>& children,
                           int item, const std::function<bool(int)>& checked, const CTextPattern& pattern,
                           bool nameFieldOnly, CTextSearchResults& results, const std::function<bool()>& stop)
{
    for (const int child : children[static_cast<size_t>(item)]) {
        if (!checked(child))
            continue;
        if (stop && stop())
            return TextSearchEnd::kStopped;
        const CSearchTreeItem& entry = tree[static_cast<size_t>(child)];
        if (entry.layer && !entry.layer->HasFlag(CLayer::kGroup)) {
            if (!SearchLayerText(*entry.layer, pattern, nameFieldOnly, results, stop))
                return results.IsFull() ? TextSearchEnd::kFull : TextSearchEnd::kStopped;
        } else if (const TextSearchEnd end =
                       VisitChecked(tree, children, child, checked, pattern, nameFieldOnly, results, stop);
                   end != TextSearchEnd::kDone) {
            return end;
        }
    }
    return TextSearchEnd::kDone;
}

} // namespace

const std::string& CTextSearchResults::GetLayerName(int index) const
{
    static const std::string none;
    const CLayer* layer = GetHit(index).layer;
    return layer ? layer->GetName() : none;
}

const std::string& CTextSearchResults::GetFieldName(int index) const
{
    return m_fieldNames.at(static_cast<size_t>(GetHit(index).nameIndex));
}

void CTextSearchResults::Add(CLayer& layer, int field, const std::string& fieldName, int32_t record, int file,
                             std::string text)
{
    // Hits come in runs of one layer's fields: the names are few.
    int nameIndex = static_cast<int>(m_fieldNames.size());
    for (int i = nameIndex; i-- > 0;)
        if (m_fieldNames[static_cast<size_t>(i)] == fieldName) {
            nameIndex = i;
            break;
        }
    if (nameIndex == static_cast<int>(m_fieldNames.size()))
        m_fieldNames.push_back(fieldName);
    m_hits.push_back({&layer, static_cast<int16_t>(field), nameIndex, record, file, std::move(text)});
}

void CTextSearchResults::Clear()
{
    m_hits.clear();
    m_fieldNames.clear();
}

CTextPattern::CTextPattern(std::string_view typed) : m_keepCase(KeepsCaseOf(typed))
{
    const CFoldTables& tables = FoldTables();
    Fold(typed, m_keepCase ? tables.keepingCase : tables.ignoringCase, m_text);
}

bool CTextPattern::KeepsCaseOf(std::string_view typed)
{
    const CFoldTables& tables = FoldTables();
    bool capital = false, small = false;
    for (const char c : typed) {
        capital = capital || tables.capital[static_cast<unsigned char>(c)];
        small = small || tables.small[static_cast<unsigned char>(c)];
    }
    return (capital && small) || (typed.size() == 1 && capital);
}

bool CTextPattern::Matches(char fieldType, std::string_view text) const
{
    if (m_text.empty() || text.size() < m_text.size())
        return false;
    if (!IsCharacterType(fieldType))
        return text.find(m_text) != std::string_view::npos;
    const CFoldTables& tables = FoldTables();
    Fold(text, m_keepCase ? tables.keepingCase : tables.ignoringCase, m_folded);
    return m_folded.find(m_text) != std::string::npos;
}

bool SearchLayerText(CLayer& layer, const CTextPattern& pattern, bool nameFieldOnly, CTextSearchResults& results,
                     const std::function<bool()>& stop)
{
    if (!IsSearchable(layer) || pattern.IsEmpty())
        return !results.IsFull();
    if (!layer.HasFlag(CLayer::kManyFiles))
        return SearchFile(layer, -1, pattern, nameFieldOnly, results, stop);
    CLayer::COneFileScope scope(layer);
    // A copy: the layer's list is not to be walked while its path changes.
    const std::vector<CLayerFileEntry> files = layer.Files();
    for (size_t i = 0; i < files.size(); ++i) {
        scope.SetFile(files[i].path);
        if (!SearchFile(layer, static_cast<int>(i), pattern, nameFieldOnly, results, stop))
            return false;
    }
    return !results.IsFull();
}

std::vector<CSearchTreeItem> BuildSearchTree(const CDrelDoc& document)
{
    std::vector<CSearchTreeItem> tree{{-1, nullptr, "[.]", CSearchTreeItem::kRoot}};
    AddTreeEntries(document, 0, document.GetLayerCount(), 0, tree);
    return tree;
}

TextSearchEnd SearchCheckedLayers(const std::vector<CSearchTreeItem>& tree, const std::function<bool(int)>& checked,
                                  const CTextPattern& pattern, bool nameFieldOnly, CTextSearchResults& results,
                                  const std::function<bool()>& stop)
{
    if (tree.empty() || !checked(0))
        return TextSearchEnd::kNothingChecked;
    return VisitChecked(tree, ChildrenOf(tree), 0, checked, pattern, nameFieldOnly, results, stop);
}
