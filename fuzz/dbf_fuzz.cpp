// fuzz-deps: drel_core
// Opens a table (and its memo file) from bytes, reads every field of every
// record, and writes into the in-memory copies. Input: a 16-bit
// little-endian length n, n bytes of table, the rest the memo file.
#include "core/DbfEngine.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t tableSize = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
    std::vector<unsigned char> table(data + 2, data + 2 + tableSize);
    std::vector<unsigned char> memo(data + 2 + tableSize, data + size);
    auto h = DbfOpenStream(std::make_unique<CMemoryStream>(std::move(table)),
                           memo.empty() ? nullptr : std::make_unique<CMemoryStream>(std::move(memo)));
    if (!h)
        return 0;

    std::string text;
    for (DbfGoTop(*h); DbfReadNext(*h);) {
        for (int i = 0; i < h->FieldCount(); ++i) {
            DbfFieldText(*h, i, text);
            DbfGetDouble(*h, i);
            DbfGetDegrees(*h, i);
            DbfReadMemo(*h, i, text);
        }
    }
    DbfSkip(*h, -1);
    DbfSkip(*h, 3);

    // Writes: the first record rewritten, one record appended, memo texts stored.
    if (DbfReadRecord(*h, 0)) {
        for (int i = 0; i < h->FieldCount(); ++i) {
            if (h->fields[static_cast<size_t>(i)].type == 'M')
                DbfPutMemo(*h, i, std::string(100, 'm'));
            else
                DbfPutDouble(*h, i, -1234.5678);
        }
        DbfWriteCurrent(*h);
    }
    DbfAppendBlank(*h);
    for (int i = 0; i < h->FieldCount(); ++i)
        DbfPutString(*h, i, "fuzz");
    DbfWriteCurrent(*h);
    DbfWriteFieldDouble(*h, h->RecordCount(), 0, 1e10);
    DbfWriteMemoAt(*h, 0, 0, "short");
    return 0;
}
