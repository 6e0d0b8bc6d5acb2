#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// A string-to-string map (field names to their captions and the like) that
// keeps its pairs in the order they were first set, so a map read from a
// file writes back as it was. Keys compare exactly (case-sensitive).
class CStringMap {
public:
    using Pair = std::pair<std::string, std::string>;

    CStringMap() = default;
    // A later pair of a repeated key replaces the earlier one's value.
    CStringMap(std::initializer_list<Pair> pairs);

    int GetCount() const { return static_cast<int>(m_pairs.size()); }
    bool IsEmpty() const { return m_pairs.empty(); }

    // The value of the key, or null.
    const std::string* Find(std::string_view key) const;
    bool Lookup(std::string_view key, std::string& value) const;
    // Replaces the value of a known key in place; else appends the pair.
    void SetAt(std::string_view key, std::string_view value);
    bool RemoveKey(std::string_view key);
    void RemoveAll();

    // The first key, in the map's order, whose value equals value exactly; null when none.
    const std::string* FindKeyOf(std::string_view value) const;

    std::vector<Pair>::const_iterator begin() const { return m_pairs.begin(); }
    std::vector<Pair>::const_iterator end() const { return m_pairs.end(); }

    friend bool operator==(const CStringMap& a, const CStringMap& b) { return a.m_pairs == b.m_pairs; }

private:
    std::vector<Pair> m_pairs;
    std::unordered_map<std::string, size_t> m_index; // key -> position in m_pairs
};
