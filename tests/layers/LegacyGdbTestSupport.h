#pragma once

#include "core/DbfEngine.h"
#include "layers/DosGdbImportDialog.h"
#include "platform/ByteOrder.h"
#include "tests/core/FieldLists.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Object tables of the older DOS generation as the tests write them.

// Answers the map description question from a script and keeps what it was offered.
class CScriptedMapQuestion : public IDosGdbImportDialog {
public:
    CScriptedMapQuestion() { SetDosGdbImportDialog(this); }
    ~CScriptedMapQuestion() override { SetDosGdbImportDialog(nullptr); }

    bool AskMapFile(const std::string& tablePath, std::string& mapPath) override
    {
        tables.push_back(tablePath);
        offered.push_back(mapPath);
        if (!answer)
            return false;
        mapPath = *answer;
        return true;
    }

    std::optional<std::string> answer;
    std::vector<std::string> tables, offered;
};

inline int32_t Packed(int sx, int sy)
{
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint16_t>(sy)) << 16) |
                                static_cast<uint16_t>(sx));
}

// One object record: its NAME and the packed point or the block offset.
struct CObjectRecord {
    std::string name;
    int32_t word = 0;
    bool deleted = false;
};

// An object table of that generation: NAME with COORD (points) or RECT and PTR.
inline void WriteObjectTable(const std::string& path, bool points, const std::vector<CObjectRecord>& records)
{
    const std::vector<CDbfFieldInfo> fields = points
                                                  ? FieldList({{"NAME", 'C', 16, 0}, {"COORD", 'C', 4, 0}})
                                                  : FieldList({{"NAME", 'C', 16, 0}, {"RECT", 'C', 8, 0}, {"PTR", 'C', 4, 0}});
    auto h = DbfCreate(path, fields.data());
    ASSERT_TRUE(h);
    const int word = DbfFindField(*h, points ? "COORD" : "PTR");
    for (const CObjectRecord& r : records) {
        DbfAppendBlank(*h);
        DbfPutString(*h, 0, r.name);
        PutLittleEndian<int32_t>(reinterpret_cast<unsigned char*>(DbfFieldPtr(*h, word)), r.word);
        if (r.deleted)
            h->record[0] = '*';
        ASSERT_TRUE(DbfWriteRecord(*h));
    }
}

