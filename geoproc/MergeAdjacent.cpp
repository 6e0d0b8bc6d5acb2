#include "geoproc/MergeAdjacent.h"

#include "core/DbfTable.h"
#include "core/SegmentPairs.h"
#include "core/ShapeArray.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/GeoprocFrame.h"
#include "geoproc/NewResultLayer.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/SpatialIndex.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numeric>

namespace {

enum MergeMessage : int {
    kFieldMissing = 1008,
    kReadError = 1028,
};

constexpr char kFieldSeparator = '\t';
// Cancel is asked this often while areas are compared pairwise.
constexpr int kComparisonsPerPoll = 16;

std::vector<std::string> SplitFieldNames(const std::string& names)
{
    std::vector<std::string> fields;
    size_t start = 0;
    while (start <= names.size()) {
        const size_t end = std::min(names.find(kFieldSeparator, start), names.size());
        if (end > start)
            fields.push_back(names.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

bool Step(IProgress* progress)
{
    if (!progress)
        return true;
    progress->StepIt();
    return !progress->CheckCancel();
}

void StartProgress(IProgress* progress, int count)
{
    if (!progress)
        return;
    progress->SetRange(0, count);
    progress->SetStep(1);
    progress->SetPos(0);
}

bool HasPoints(const CShapeArray& shapes, int i)
{
    return shapes[i]->GetPointCount() > 0;
}

// Union-find over the areas, each set named by its smallest member.
class CChains {
public:
    explicit CChains(int count) : m_parent(static_cast<size_t>(count)) { std::iota(m_parent.begin(), m_parent.end(), 0); }
    int Find(int i)
    {
        while (m_parent[static_cast<size_t>(i)] != i) {
            int& parent = m_parent[static_cast<size_t>(i)];
            parent = m_parent[static_cast<size_t>(parent)];
            i = parent;
        }
        return i;
    }
    void Join(int a, int b)
    {
        a = Find(a);
        b = Find(b);
        if (a != b)
            m_parent[static_cast<size_t>(std::max(a, b))] = std::min(a, b);
    }

private:
    std::vector<int> m_parent;
};

// Each chain's members united into its first; false at Cancel.
bool UniteChains(CShapeArray& shapes, CChains& chains, IProgress* progress)
{
    const int count = shapes.GetSize();
    std::vector<std::vector<int>> members(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        if (HasPoints(shapes, i))
            members[static_cast<size_t>(chains.Find(i))].push_back(i);
    for (int first = 0; first < count; ++first) {
        const std::vector<int>& chain = members[static_cast<size_t>(first)];
        if (chain.size() < 2)
            continue;
        if (progress && progress->CheckCancel())
            return false;
        CShapeArray copies;
        for (const int i : chain) {
            auto copy = std::make_unique<CShape>();
            copy->Copy(*shapes[i]);
            copies.Add(std::move(copy));
        }
        CShape united;
        // A chain that cannot be united stays as it was.
        if (!copies.UnionAll(united))
            continue;
        *shapes[first] = std::move(united);
        for (size_t k = 1; k < chain.size(); ++k)
            shapes[chain[k]]->RemoveAll();
    }
    return true;
}

// The pairwise merge for callers without an index: b into the first later
// touching area of its key.
int MergeAreasPairwise(CShapeArray& shapes, const CMergeKeys& keys, IProgress* progress)
{
    const int count = shapes.GetSize();
    int comparisons = 0;
    for (int b = 0; b + 1 < count; ++b) {
        if (!Step(progress))
            return 0;
        if (!HasPoints(shapes, b))
            continue;
        for (int i = b + 1; i < count; ++i) {
            if (progress && ++comparisons % kComparisonsPerPoll == 0 && progress->CheckCancel())
                return 0;
            if (!HasPoints(shapes, i) || !keys.Equal(b, i) ||
                !ExtentsMeet(shapes[b]->GetExtent(), shapes[i]->GetExtent()) || !shapes[b]->AreasOverlap(*shapes[i]))
                continue;
            CShape united;
            if (!shapes[b]->Union(*shapes[i], united))
                break;
            *shapes[i] = std::move(united);
            shapes[b]->RemoveAll();
            break;
        }
    }
    return 1;
}

// The lines that end at each point. Joined lines end where lines ended
// before, so every end there will be is numbered once, up front, and a
// line's ends are followed by their numbers.
class CLineEnds {
public:
    explicit CLineEnds(const CShapeArray& shapes) : m_ends(2 * static_cast<size_t>(shapes.GetSize()), -1)
    {
        struct CEnd {
            double x, y;
            int slot;
        };
        std::vector<CEnd> ends;
        ends.reserve(m_ends.size());
        for (int i = 0; i < shapes.GetSize(); ++i) {
            const CShape& line = *shapes[i];
            const int n = line.GetPointCount();
            for (int end = 0; n > 0 && end < 2; ++end) {
                const CMapPoint& p = line.GetPoint(end == 0 ? 0 : n - 1);
                // A coordinate that is no number equals nothing; 0 and -0 are one.
                if (std::isfinite(p.x) && std::isfinite(p.y))
                    ends.push_back({p.x + 0.0, p.y + 0.0, 2 * i + end});
            }
        }
        std::sort(ends.begin(), ends.end(),
                  [](const CEnd& a, const CEnd& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
        int point = -1;
        for (size_t k = 0; k < ends.size(); ++k) {
            if (k == 0 || ends[k].x != ends[k - 1].x || ends[k].y != ends[k - 1].y)
                ++point;
            m_ends[static_cast<size_t>(ends[k].slot)] = point;
        }
        // A line takes over only ends that the line joined onto it left,
        // so no point ever holds more lines than at first.
        const size_t points = static_cast<size_t>(point + 1);
        m_start.assign(points + 1, 0);
        m_size.assign(points, 0);
        for (int i = 0; i < shapes.GetSize(); ++i) {
            if (First(i) >= 0)
                ++m_start[static_cast<size_t>(First(i)) + 1];
            if (Last(i) >= 0 && Last(i) != First(i))
                ++m_start[static_cast<size_t>(Last(i)) + 1];
        }
        for (size_t p = 0; p < points; ++p)
            m_start[p + 1] += m_start[p];
        m_items.assign(static_cast<size_t>(m_start[points]), -1);
        for (int i = 0; i < shapes.GetSize(); ++i)
            Add(i);
    }
    int First(int line) const { return m_ends[2 * static_cast<size_t>(line)]; }
    int Last(int line) const { return m_ends[2 * static_cast<size_t>(line) + 1]; }
    void Remove(int line)
    {
        for (const int point : {First(line), Last(line)}) {
            if (point < 0)
                continue;
            int* begin = Begin(point);
            int* end = begin + m_size[static_cast<size_t>(point)];
            int* place = std::lower_bound(begin, end, line);
            if (place != end && *place == line) {
                std::copy(place + 1, end, place);
                --m_size[static_cast<size_t>(point)];
            }
        }
    }
    // The line's ends are now those points.
    void Set(int line, int first, int last)
    {
        m_ends[2 * static_cast<size_t>(line)] = first;
        m_ends[2 * static_cast<size_t>(line) + 1] = last;
        Add(line);
    }
    // The first line after i that ends at the point and passes the test;
    // -1 for none.
    template <typename Test>
    int FirstAfter(int point, int i, Test test) const
    {
        if (point < 0)
            return -1;
        const int* begin = m_items.data() + m_start[static_cast<size_t>(point)];
        const int* end = begin + m_size[static_cast<size_t>(point)];
        for (const int* j = std::upper_bound(begin, end, i); j != end; ++j)
            if (test(*j))
                return *j;
        return -1;
    }

private:
    int* Begin(int point) { return m_items.data() + m_start[static_cast<size_t>(point)]; }
    void Add(int line)
    {
        for (const int point : {First(line), Last(line)}) {
            if (point < 0)
                continue;
            int* begin = Begin(point);
            int* end = begin + m_size[static_cast<size_t>(point)];
            int* place = std::lower_bound(begin, end, line);
            if ((place != end && *place == line) ||
                m_start[static_cast<size_t>(point)] + m_size[static_cast<size_t>(point)] >=
                    m_start[static_cast<size_t>(point) + 1])
                continue;
            std::copy_backward(place, end, end + 1);
            *place = line;
            ++m_size[static_cast<size_t>(point)];
        }
    }

    std::vector<int> m_ends;  // per line its first and last point; -1 none
    std::vector<int> m_start; // per point where its lines begin in m_items
    std::vector<int> m_size;  // per point how many lines end there
    std::vector<int> m_items; // per point its lines, ascending
};

bool Equals(const CMapPoint& a, const CMapPoint& b)
{
    return a.x == b.x && a.y == b.y;
}

// Line i joined onto line j by the first rule that holds, its ends
// followed; false for none.
bool JoinLines(CShapeArray& shapes, int i, int j, CLineEnds& ends)
{
    CShape& line = *shapes[i];
    CShape& other = *shapes[j];
    const CMapPoint first = line.GetPoint(0), last = line.GetPoint(line.GetPointCount() - 1);
    const CMapPoint jFirst = other.GetPoint(0), jLast = other.GetPoint(other.GetPointCount() - 1);
    const int f = ends.First(i), l = ends.Last(i), jf = ends.First(j), jl = ends.Last(j);
    int newFirst = jf, newLast = l;
    if (Equals(first, jLast)) {
        other.Append(line, false);
    } else if (Equals(first, jFirst)) {
        other.Reverse();
        other.Append(line, false);
        newFirst = jl;
    } else if (Equals(last, jLast)) {
        line.Reverse();
        other.Append(line, false);
        newLast = f;
    } else if (Equals(last, jFirst)) {
        other.Append(line, true);
        newFirst = f;
        newLast = jl;
    } else {
        return false;
    }
    line.RemoveAll();
    ends.Remove(i);
    ends.Remove(j);
    ends.Set(i, -1, -1);
    ends.Set(j, newFirst, newLast);
    return true;
}

} // namespace

std::vector<CMergeField> MergeFieldChoices(const CLayer& layer)
{
    std::vector<CMergeField> fields;
    std::vector<CDbfFieldInfo> infos;
    if (!layer.ReadFieldList(infos))
        return fields;
    for (const CDbfFieldInfo& info : infos) {
        if (info.name[0] == '\0')
            break; // the end of the list
        std::string name(info.name, strnlen(info.name, sizeof info.name));
        const std::vector<std::string>& hidden = layer.HiddenFields();
        if (std::any_of(hidden.begin(), hidden.end(),
                        [&](const std::string& field) { return EqualsNoCase1257(field, name); }))
            continue;
        fields.push_back({layer.GetFieldAlias(name), std::move(name)});
    }
    return fields;
}

std::string JoinMergeFields(const std::vector<std::string>& names)
{
    std::string joined;
    for (const std::string& name : names) {
        if (!joined.empty())
            joined += kFieldSeparator;
        joined += name;
    }
    return joined;
}

bool CMergeKeys::Read(CLayer& layer, const std::string& fieldNames, const std::vector<int32_t>& records)
{
    m_kind = kNone;
    m_numbers.clear();
    m_texts.clear();
    const std::vector<std::string> names = SplitFieldNames(fieldNames);
    if (names.empty())
        return true;
    CLayerReader reader;
    if (!reader.OpenLayer(&layer))
        return false;
    CFeatureSource& source = *reader.GetSource();
    const CDbfTable& table = source.GetTable();
    std::vector<int> fields;
    for (const std::string& name : names) {
        const int field = table.IsOpen() ? table.FindField(name) : -1;
        if (field < 0) {
            AppMessageBox(LoadStringArgs(kFieldMissing, layer.GetName(), name), MB_OK | MB_ICONWARNING,
                          kFieldMissing);
            return false;
        }
        // A memo's text is no key.
        if (table.GetFieldType(field) == 'M')
            return false;
        fields.push_back(field);
    }
    const char type = table.GetFieldType(fields.front());
    m_kind = fields.size() == 1 && (type == 'N' || type == 'F') ? kNumber : kText;
    for (const int32_t record : records) {
        const CDbfTable* row = source.GetRecordTable(record);
        if (!row) {
            AppMessageBox(kReadError, MB_OK | MB_ICONWARNING);
            return false;
        }
        std::string key, text;
        for (size_t k = 0; k < fields.size(); ++k) {
            row->GetFieldString(fields[k], text);
            if (k > 0)
                key += kFieldSeparator;
            key += text;
        }
        if (m_kind == kNumber)
            m_numbers.push_back(std::strtod(key.c_str(), nullptr));
        else
            m_texts.push_back(std::move(key));
    }
    return true;
}

void CMergeKeys::SetNumbers(std::vector<double> numbers)
{
    m_kind = kNumber;
    m_numbers = std::move(numbers);
    m_texts.clear();
}

void CMergeKeys::SetTexts(std::vector<std::string> texts)
{
    m_kind = kText;
    m_texts = std::move(texts);
    m_numbers.clear();
}

bool CMergeKeys::Equal(int a, int b) const
{
    const auto at = [](int i) { return static_cast<size_t>(i); };
    switch (m_kind) {
    case kNumber:
        return at(a) < m_numbers.size() && at(b) < m_numbers.size() && m_numbers[at(a)] == m_numbers[at(b)];
    case kText:
        return at(a) < m_texts.size() && at(b) < m_texts.size() && m_texts[at(a)] == m_texts[at(b)];
    case kNone:
        break;
    }
    return true;
}

int MergeAdjacentAreas(CShapeArray& shapes, CSpatialIndex* index, const CMergeKeys& keys, IProgress* progress)
{
    const int count = shapes.GetSize();
    StartProgress(progress, count);
    if (!index)
        return MergeAreasPairwise(shapes, keys, progress);
    // Touching joins whole chains however they are walked: each pair of
    // neighbours is tested once, and each chain is united at once.
    CChains chains(count);
    for (int j = 0; j < count; ++j) {
        if (!Step(progress))
            return 0;
        if (!HasPoints(shapes, j))
            continue;
        const CShape& area = *shapes[j];
        for (int e = index->BeginRectQuery(area.GetExtent()); e >= 0; e = index->Next()) {
            if (e <= j || e >= count || !HasPoints(shapes, e) || !keys.Equal(j, e) || chains.Find(j) == chains.Find(e))
                continue;
            if (ExtentsMeet(area.GetExtent(), shapes[e]->GetExtent()) && area.AreasOverlap(*shapes[e]))
                chains.Join(j, e);
        }
    }
    return UniteChains(shapes, chains, progress) ? 1 : 0;
}

int MergeAdjacentLines(CShapeArray& shapes, const CMergeKeys& keys, IProgress* progress,
                       std::vector<int>* joinedInto)
{
    const int count = shapes.GetSize();
    if (joinedInto)
        joinedInto->assign(static_cast<size_t>(count), -1);
    StartProgress(progress, count);
    CLineEnds ends(shapes);
    for (int i = 0; i + 1 < count; ++i) {
        if (!Step(progress))
            return 0;
        if (shapes[i]->GetPointCount() == 0)
            continue;
        const auto sameKey = [&](int j) { return keys.Equal(i, j); };
        const int atFirst = ends.FirstAfter(ends.First(i), i, sameKey);
        const int atLast = ends.FirstAfter(ends.Last(i), i, sameKey);
        const int j = atFirst < 0 ? atLast : atLast < 0 ? atFirst : std::min(atFirst, atLast);
        if (j >= 0 && JoinLines(shapes, i, j, ends) && joinedInto)
            (*joinedInto)[static_cast<size_t>(i)] = j;
    }
    return 1;
}

int MergeAdjacentAreas(CLayer& layer, CShapeArray& shapes, CSpatialIndex* index, const std::vector<int32_t>& records,
                       const std::string& fieldNames)
{
    CMergeKeys keys;
    if (!keys.Read(layer, fieldNames, records))
        return 0;
    std::unique_ptr<IProgress> progress = UserServices().CreateProgress(0);
    return MergeAdjacentAreas(shapes, index, keys, progress.get());
}

int MergeAdjacentLines(CLayer& layer, CShapeArray& shapes, const std::vector<int32_t>& records,
                       const std::string& fieldNames, std::vector<int>* joinedInto)
{
    CMergeKeys keys;
    if (!keys.Read(layer, fieldNames, records))
        return 0;
    std::unique_ptr<IProgress> progress = UserServices().CreateProgress(0);
    return MergeAdjacentLines(shapes, keys, progress.get(), joinedInto);
}

int MergeAdjacent(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs)
{
    const int type = layer.GetType();
    if (layer.HasFlag(CLayer::kGroup) || (type != CLayer::kLine && type != CLayer::kArea))
        return 0;
    std::string fieldNames;
    if (!GeoprocDialogs().AskMergeFields(layer, fieldNames))
        return 0;
    CResultLayerChoice choice;
    if (!PromptResultLayer(document, dialogs, ResultLayerBase(layer, ""), type, choice))
        return 0;
    CShapeArray shapes;
    std::vector<int32_t> records;
    CSpatialIndex index;
    if (!LoadShapesIndexed(layer, shapes, &records, type == CLayer::kArea ? &index : nullptr))
        return 0;
    const int merged = type == CLayer::kArea ? MergeAdjacentAreas(layer, shapes, &index, records, fieldNames)
                                             : MergeAdjacentLines(layer, shapes, records, fieldNames);
    if (!merged)
        return 0;
    CNewResultLayer result(document, choice);
    if (!result.Begin())
        return 0;
    const int written = WriteShapesToFile(layer, result.GetWritePath(), type, shapes, &records);
    if (!result.End(written ? EOperationEnd::kDone : EOperationEnd::kFailed))
        return 0;
    document.UpdateAllViews(kHintAll);
    return 1;
}
