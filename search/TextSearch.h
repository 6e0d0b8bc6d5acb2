#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CDrelDoc;
class CLayer;

// One record whose attribute text holds the searched text.
struct CTextHit {
    CLayer* layer = nullptr;
    int16_t field = 0;
    // Into the result set's field display names.
    int nameIndex = 0;
    int32_t record = -1;
    // The file of a layer made of several files; -1 for a layer of one.
    int file = -1;
    // The field's text as the record holds it.
    std::string text;
};

// The hits of a text search, in the order found, and the display names of
// the fields they were found in (each name once).
class CTextSearchResults {
public:
    // The search stops once it has more hits than this; the results list
    // shows this many.
    static constexpr int kMostHits = 10000;

    int GetCount() const { return static_cast<int>(m_hits.size()); }
    bool IsFull() const { return GetCount() > kMostHits; }
    const CTextHit& GetHit(int index) const { return m_hits.at(static_cast<size_t>(index)); }
    const std::string& GetLayerName(int index) const;
    const std::string& GetFieldName(int index) const;
    int GetFieldNameCount() const { return static_cast<int>(m_fieldNames.size()); }

    void Add(CLayer& layer, int field, const std::string& fieldName, int32_t record, int file, std::string text);
    void Clear();

private:
    std::vector<CTextHit> m_hits;
    std::vector<std::string> m_fieldNames;
};

// The typed text as the text search compares it with the attribute texts
// (code page 1257). Letter case is ignored unless the text holds capitals
// and small letters both, or is one capital alone; accents never count.
class CTextPattern {
public:
    explicit CTextPattern(std::string_view typed);

    static bool KeepsCaseOf(std::string_view typed);
    bool KeepsCase() const { return m_keepCase; }
    bool IsEmpty() const { return m_text.empty(); }
    // A text of a field of the dBASE type: character and memo texts
    // compared without case and accents as the pattern says, the other
    // types as they are stored.
    bool Matches(char fieldType, std::string_view text) const;

private:
    std::string m_text;
    bool m_keepCase;
    mutable std::string m_folded; // scratch
};

// Every record of the layer, in sequence, whose first matching field holds
// the text gives one hit: its name field alone, or every field. A layer
// made of several files is searched file by file, its own path restored
// afterwards. The search ends once the results are full or stop answers
// true (asked every few thousand records); false then. Layers of other
// types than points, lines, areas and tracks, layers without the name
// field asked for and files that do not open give no hits.
bool SearchLayerText(CLayer& layer, const CTextPattern& pattern, bool nameFieldOnly, CTextSearchResults& results,
                     const std::function<bool()>& stop);

// The layers of the text search as its tree shows them: the root "[.]",
// then in document order the layers the legend shows (their groups not
// asked) by name, and groups as "[name]" holding their members; a group
// the legend does not show is left out with its members.
struct CSearchTreeItem {
    enum Image { kRoot, kGroup, kPoint, kLine, kArea, kTrack, kImageCount };
    int parent = -1; // the item before this one in the list; -1 for the root
    CLayer* layer = nullptr; // null for the root
    std::string text;
    int image = kRoot;
};
std::vector<CSearchTreeItem> BuildSearchTree(const CDrelDoc& document);

// Searches the checked layers of the tree, depth first from the root; a
// group counts as checked when any of its members is. stop is asked before
// every checked item and within long layers: true ends the search.
enum class TextSearchEnd { kDone, kNothingChecked, kStopped, kFull };
TextSearchEnd SearchCheckedLayers(const std::vector<CSearchTreeItem>& tree, const std::function<bool(int)>& checked,
                                  const CTextPattern& pattern, bool nameFieldOnly, CTextSearchResults& results,
                                  const std::function<bool()>& stop);
