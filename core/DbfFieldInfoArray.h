#pragma once

#include "core/DbfFieldInfo.h"

#include <string>
#include <string_view>
#include <vector>

class CDbfTable;

// The structure of a table as a list of fields, for making and comparing tables.
class CDbfFieldInfoArray {
public:
    int GetSize() const { return static_cast<int>(m_infos.size()); }
    const CDbfFieldInfo& operator[](int i) const { return m_infos[static_cast<size_t>(i)]; }
    CDbfFieldInfo& operator[](int i) { return m_infos[static_cast<size_t>(i)]; }
    void RemoveAll() { m_infos.clear(); }

    // Returns the new entry's index.
    int Add(const CDbfFieldInfo& info);
    // Grows with zero-filled entries up to index; false for a negative index.
    bool SetAtGrow(int index, const CDbfFieldInfo& info);
    // The fields of the table file; false when it does not open.
    bool LoadFromFile(const std::string& path);
    // One entry per field, the names in GetFieldName form (Name for NAME).
    void LoadFromTable(const CDbfTable& table);
    // Index of the field of that name ignoring case; -1 when absent.
    int FindField(std::string_view name) const;

private:
    std::vector<CDbfFieldInfo> m_infos;
};
