#pragma once

#include "core/DbfFieldInfo.h"

#include <initializer_list>
#include <vector>

struct FieldSpec {
    const char* name;
    char type;
    int length;
    int decimals;
};

// A field list for a new table, ended by an entry of length 0.
inline std::vector<CDbfFieldInfo> FieldList(std::initializer_list<FieldSpec> specs)
{
    std::vector<CDbfFieldInfo> list;
    for (const FieldSpec& s : specs)
        list.emplace_back().Set(s.name, s.type, static_cast<unsigned>(s.length), static_cast<unsigned>(s.decimals));
    list.emplace_back().Set("", 0, 0, 0);
    return list;
}
