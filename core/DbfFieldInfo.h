#pragma once

#include <algorithm>
#include <iterator>
#include <string_view>

// One field of a table's structure, 14 bytes as field lists hand it around.
// A field list for a new table is an array of these ended by an entry whose
// length is 0.
struct CDbfFieldInfo {
    char name[11];          // zero-terminated, at most 10 characters
    char type;              // 'C', 'N', 'F', 'D', 'L', 'M'
    unsigned char length;   // bytes in the record
    unsigned char decimals;

    CDbfFieldInfo& Set(std::string_view fieldName, char fieldType, unsigned fieldLength, unsigned fieldDecimals)
    {
        std::fill(std::begin(name), std::end(name), '\0');
        std::copy_n(fieldName.begin(), fieldName.size() < 10 ? fieldName.size() : 10, name);
        type = fieldType;
        length = static_cast<unsigned char>(fieldLength);
        decimals = static_cast<unsigned char>(fieldDecimals);
        return *this;
    }
};
static_assert(sizeof(CDbfFieldInfo) == 14);
