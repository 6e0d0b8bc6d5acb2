#include "core/DbfEngine.h"
#include "core/FileUtil.h"
#include "tests/core/FieldLists.h"
#include "tests/support/NotingStream.h"
#include "tests/support/TestSupport.h"

#include "platform/Path.h"
#include "platform/WriteBehindStream.h"

#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <functional>
#include <limits>
#include <gtest/gtest.h>

namespace {

// A table in memory with a memo file, one field of each type.
const std::initializer_list<FieldSpec> kAllTypes = {
    {"NAME", 'C', 10, 0}, {"VAL", 'N', 6, 2}, {"EXP", 'F', 12, 3},
    {"DAY", 'D', 8, 0},   {"OK", 'L', 1, 0},  {"NOTE", 'M', 10, 0},
};

std::unique_ptr<DbfHandle> MemoryTable(std::initializer_list<FieldSpec> specs = kAllTypes)
{
    auto fields = FieldList(specs);
    return DbfCreateStream(std::make_unique<CMemoryStream>(), std::make_unique<CMemoryStream>(), fields.data());
}

std::unique_ptr<DbfHandle> FileTable(const std::string& path, std::initializer_list<FieldSpec> specs)
{
    auto fields = FieldList(specs);
    return DbfCreate(path, fields.data());
}

const std::vector<unsigned char>& Bytes(const CStream& stream)
{
    return dynamic_cast<const CMemoryStream&>(stream).Data();
}

uint32_t BigEndian32(const std::string& bytes, size_t offset)
{
    auto b = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])); };
    return (b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3);
}

std::string TodayBytes()
{
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return std::string{static_cast<char>(t.tm_year), static_cast<char>(t.tm_mon + 1), static_cast<char>(t.tm_mday)};
}

// Appends records whose NAME is "R<n>" and VAL is n.
void AppendNumbered(DbfHandle& h, int count)
{
    int name = DbfFindField(h, "NAME");
    int val = DbfFindField(h, "VAL");
    for (int i = 0; i < count; ++i) {
        DbfAppendBlank(h);
        DbfPutString(h, name, "R" + std::to_string(h.RecordCount()));
        DbfPutLong(h, val, h.RecordCount());
        ASSERT_TRUE(DbfWriteCurrent(h));
    }
}

} // namespace

TEST(DbfEngine, CreatesTheHeaderByteForByte)
{
    CTempDir dir;
    auto fields = FieldList(kAllTypes);
    const std::string before = TodayBytes();
    auto h = DbfCreate(dir.File("t.dbf"), fields.data());
    ASSERT_TRUE(h);
    const std::string after = TodayBytes();
    DbfClose(h);

    std::string expected(32, '\0');
    expected[0] = static_cast<char>(0xF5);
    expected[8] = static_cast<char>(225); // 32 * 7 + 1
    expected[10] = 48;                    // 1 + 10 + 6 + 12 + 8 + 1 + 10
    const struct {
        const char* name;
        char type;
        int offset, length, decimals;
    } descriptors[] = {{"NAME", 'C', 1, 10, 0}, {"VAL", 'N', 11, 6, 2}, {"EXP", 'F', 17, 12, 3},
                       {"DAY", 'D', 29, 8, 0},  {"OK", 'L', 37, 1, 0},  {"NOTE", 'M', 38, 10, 0}};
    for (const auto& d : descriptors) {
        std::string entry(32, '\0');
        entry.replace(0, std::strlen(d.name), d.name);
        entry[11] = d.type;
        entry[12] = static_cast<char>(d.offset);
        entry[16] = static_cast<char>(d.length);
        entry[17] = static_cast<char>(d.decimals);
        expected += entry;
    }
    expected += '\r'; // and no end mark before the first record

    std::string file = ReadWholeFile(dir.File("t.dbf"));
    ASSERT_EQ(file.size(), expected.size());
    EXPECT_TRUE(file.substr(1, 3) == before || file.substr(1, 3) == after);
    file.replace(1, 3, 3, '\0');
    EXPECT_EQ(file, expected);

    std::string memo(512, '\0');
    memo[3] = 8;    // next free block, big-endian
    memo[7] = 0x40; // block size 64
    EXPECT_EQ(ReadWholeFile(dir.File("t.FPT")), memo);

    // Without memo fields: version 3 and no memo file.
    auto plainFields = FieldList({{"ID", 'N', 5, 0}});
    h = DbfCreate(dir.File("p.dbf"), plainFields.data());
    ASSERT_TRUE(h);
    DbfClose(h);
    EXPECT_EQ(ReadWholeFile(dir.File("p.dbf"))[0], 3);
    EXPECT_FALSE(PathExists(dir.File("p.FPT")));

    // Field lists that make no table are refused before any file is touched.
    WriteWholeFile(dir.File("keep.dbf"), "old");
    auto noName = FieldList({{"", 'C', 5, 0}});
    auto tooLong = FieldList({{"A", 'C', 255, 0}, {"B", 'C', 255, 0}});
    std::vector<CDbfFieldInfo> wide(200, tooLong[0]);
    wide.push_back(tooLong.back());
    EXPECT_FALSE(DbfCreate(dir.File("keep.dbf"), noName.data()));
    EXPECT_FALSE(DbfCreate(dir.File("keep.dbf"), wide.data())); // record longer than 32767
    EXPECT_EQ(ReadWholeFile(dir.File("keep.dbf")), "old");
}

TEST(DbfEngine, StoresNumbersInTheirFieldsOrFillsThemWithStars)
{
    auto h = MemoryTable({{"N", 'N', 6, 2}, {"F", 'F', 12, 3}, {"I", 'N', 5, 0}, {"S", 'F', 6, 0}, {"C", 'C', 4, 0}});
    ASSERT_TRUE(h);
    struct Case {
        int field;
        double value;
        const char* stored;
        bool fits;
    };
    const Case cases[] = {
        {0, 3.14159, "  3.14", true},
        {0, -0.5, " -0.50", true},
        {0, 1234.56, "1234.6", true}, // decimals dropped until it fits
        {0, 99999.99, "100000", true},
        {0, 1234567, "******", false},
        {0, 1e300, "******", false},
        {0, std::numeric_limits<double>::quiet_NaN(), "******", false},
        {1, 3.14159, "3.14159E+000", true},
        {1, -3.14159, "-3.1416E+000", true}, // the sign costs one decimal
        {1, 6.02e23, "6.02000E+023", true},
        {1, 1.5e-300, "1.50000E-300", true},
        {2, 123456, "*****", false},
        {3, 3, "3E+000", true},
        {3, -30, "******", false},
        {4, 12345, "****", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DbfPutDouble(*h, c.field, c.value), c.fits) << c.value;
        EXPECT_EQ(DbfGetString(*h, c.field), c.stored) << c.value;
    }

    // Whole numbers take the field's decimals.
    EXPECT_TRUE(DbfPutLong(*h, 0, 3));
    EXPECT_EQ(DbfGetString(*h, 0), "  3.00");
    EXPECT_TRUE(DbfPutLong(*h, 2, -1234));
    EXPECT_EQ(DbfGetString(*h, 2), "-1234");
    EXPECT_FALSE(DbfPutLong(*h, 2, 100000));
    EXPECT_EQ(DbfGetString(*h, 2), "*****");
}

TEST(DbfEngine, StoredNumbersIgnoreTheProcessLocale)
{
    auto h = MemoryTable({{"N", 'N', 6, 2}, {"F", 'F', 12, 3}});
    ASSERT_TRUE(h);
    CCommaLocale comma;
    if (!comma.Active())
        GTEST_SKIP() << "no comma-decimal locale here";
    EXPECT_TRUE(DbfPutDouble(*h, 1, 3.14159));
    EXPECT_EQ(DbfGetString(*h, 1), "3.14159E+000");
    EXPECT_TRUE(DbfPutDouble(*h, 0, 3.14159));
    EXPECT_EQ(DbfGetString(*h, 0), "  3.14");
    EXPECT_DOUBLE_EQ(DbfGetDouble(*h, 0), 3.14);
    EXPECT_EQ(DbfGetDisplayText(*h, 1), "       3.142");
}

TEST(DbfEngine, ShowsDatesLogicalsMemosAndNumbersAsDisplayTexts)
{
    auto h = MemoryTable();
    ASSERT_TRUE(h);
    const int name = 0, val = 1, exp = 2, day = 3, ok = 4, note = 5;
    std::string text;

    EXPECT_EQ(DbfFieldText(*h, day, text), 8);
    EXPECT_EQ(text, "        "); // a blank date shows as blanks
    DbfPutString(*h, day, "20060315");
    EXPECT_EQ(DbfFieldText(*h, day, text), 8);
    EXPECT_EQ(text, "06-03-15");

    EXPECT_EQ(DbfFieldText(*h, exp, text), 12);
    EXPECT_EQ(text, "            ");
    DbfPutDouble(*h, exp, 3.14159);
    EXPECT_EQ(DbfGetDisplayText(*h, exp), "       3.142");

    EXPECT_EQ(DbfFieldText(*h, note, text), 6);
    EXPECT_EQ(text, "<memo>");
    DbfPutBlockNumber(*h, note, 8);
    EXPECT_EQ(DbfGetString(*h, note), "         8");
    EXPECT_EQ(DbfFieldText(*h, note, text), 6);
    EXPECT_EQ(text, "<Memo>");
    DbfPutBlockNumber(*h, note, 0);
    EXPECT_TRUE(DbfIsBlank(*h, note));

    DbfPutString(*h, name, "Vilnius centras");
    EXPECT_EQ(DbfGetDisplayText(*h, name), "Vilnius ce");
    DbfPutString(*h, name, "ab");
    EXPECT_EQ(DbfGetString(*h, name), "ab        ");
    EXPECT_EQ(DbfGetChar(*h, name), 'a');
    EXPECT_EQ(DbfGetDisplayText(*h, val), "      ");

    // Logical values copied from text fields.
    auto src = MemoryTable({{"A", 'C', 3, 0}});
    ASSERT_TRUE(src);
    const struct {
        const char* from;
        char stored;
    } logicals[] = {{"y", 'T'}, {"T", 'T'}, {"n", 'F'}, {"F", 'F'}, {"x", 'F'}, {"  ", 'F'}, {"t", 'T'}};
    for (const auto& c : logicals) {
        DbfPutString(*src, 0, c.from);
        EXPECT_TRUE(DbfCopyField(*h, *src, ok, 0));
        EXPECT_EQ(DbfGetChar(*h, ok), c.stored) << c.from; // x and blanks leave it as it was
    }

    // Invalid indexes give empty values and change nothing.
    EXPECT_EQ(DbfGetString(*h, -1), "");
    EXPECT_EQ(DbfGetDisplayText(*h, 99), "");
    EXPECT_EQ(DbfGetDouble(*h, -1), 0.0);
    EXPECT_TRUE(DbfIsBlank(*h, -1));
    EXPECT_FALSE(DbfPutString(*h, -1, "x"));
    EXPECT_EQ(DbfFieldPtr(*h, 6), nullptr);
    EXPECT_EQ(DbfFindField(*h, "note"), note);
    EXPECT_EQ(DbfFindField(*h, "NOTES"), -1);
}

TEST(DbfEngine, CopiesFieldsBetweenTypes)
{
    auto src = MemoryTable({{"NAME", 'C', 12, 0}, {"VAL", 'N', 8, 3}, {"TXT", 'M', 10, 0}, {"WHEN", 'D', 8, 0}});
    auto dst = MemoryTable({{"name", 'C', 4, 0}, {"VAL", 'F', 12, 0}, {"TXT", 'C', 20, 0}, {"WHEN", 'D', 8, 0},
                            {"EXTRA", 'N', 3, 0}});
    ASSERT_TRUE(src && dst);
    DbfPutString(*src, 0, "Kaunas miestas");
    DbfPutDouble(*src, 1, -12.5);
    ASSERT_TRUE(DbfPutMemo(*src, 2, "memo text"));
    DbfPutString(*src, 3, "20240229");
    DbfPutString(*dst, 4, "  7");

    DbfCopyMatchingFields(*dst, *src);
    EXPECT_EQ(DbfGetString(*dst, 0), "Kaun");
    EXPECT_EQ(DbfGetString(*dst, 1), "-1.2500E+001");
    EXPECT_EQ(DbfGetString(*dst, 2), "memo text           ");
    EXPECT_EQ(DbfGetString(*dst, 3), "20240229");
    EXPECT_EQ(DbfGetString(*dst, 4), "  7"); // no such field in the source

    // Text into a memo field goes to a new block of the target.
    auto memoDst = MemoryTable({{"NAME", 'M', 10, 0}});
    ASSERT_TRUE(memoDst);
    EXPECT_TRUE(DbfCopyField(*memoDst, *src, 0, 0));
    std::string text;
    EXPECT_TRUE(DbfReadMemo(*memoDst, 0, text));
    EXPECT_EQ(text, "Kaunas miest"); // the twelve bytes of the field
}

TEST(DbfEngine, MovesAndReadsRecords)
{
    auto h = MemoryTable();
    ASSERT_TRUE(h);
    AppendNumbered(*h, 10);
    ASSERT_EQ(h->RecordCount(), 10);

    DbfGoBottom(*h);
    EXPECT_EQ(h->current, 9);
    EXPECT_TRUE(DbfGoTo(*h, 5));
    EXPECT_FALSE(DbfGoTo(*h, 10));
    EXPECT_FALSE(DbfGoTo(*h, -1));
    EXPECT_EQ(h->current, 5);

    // Skips stop at either end with its flag, and refuse to go further.
    ASSERT_TRUE(DbfGoTo(*h, 1));
    EXPECT_TRUE(DbfSkip(*h, -3));
    EXPECT_EQ(h->current, 0);
    EXPECT_EQ(h->flags, kDbfBeforeFirst);
    EXPECT_FALSE(DbfSkip(*h, -1));
    EXPECT_FALSE(DbfSkip(*h, 0));
    EXPECT_TRUE(DbfSkip(*h, 2));
    EXPECT_EQ(h->current, 2);
    EXPECT_TRUE(DbfSkip(*h, -1)); // moving away from the top clears its flag
    EXPECT_TRUE(DbfSkip(*h, 100));
    EXPECT_EQ(h->current, 10);
    EXPECT_EQ(h->flags, kDbfPastLast);
    EXPECT_FALSE(DbfSkip(*h, 1));
    EXPECT_TRUE(DbfSkip(*h, -1));
    EXPECT_EQ(h->current, 9);
    DbfGoTop(*h);
    EXPECT_EQ(h->current, 0);
    EXPECT_EQ(h->flags, 0);

    // Reading the next record leaves the engine on the one after it, also
    // when the scan starts at a record chosen by DbfGoTo.
    ASSERT_TRUE(DbfGoTo(*h, 4));
    ASSERT_TRUE(DbfReadNext(*h));
    EXPECT_EQ(DbfGetString(*h, 0), "R4        ");
    EXPECT_EQ(h->current, 5);
    ASSERT_TRUE(DbfReadNext(*h));
    EXPECT_EQ(DbfGetLong(*h, 1), 5);
    ASSERT_TRUE(DbfGoTo(*h, 9));
    EXPECT_TRUE(DbfReadNext(*h));
    EXPECT_FALSE(DbfReadNext(*h));
    EXPECT_FALSE(DbfReadRecord(*h, 10));
    ASSERT_TRUE(DbfReadRecord(*h, 2));
    EXPECT_EQ(h->current, 2);
    EXPECT_EQ(DbfGetInt(*h, 1), 2);

    // Deleted records are skipped by DbfReadNextUndeleted only.
    ASSERT_TRUE(DbfDeleteRecordAt(*h, 5));
    ASSERT_TRUE(DbfGoTo(*h, 6));
    ASSERT_TRUE(DbfDeleteCurrent(*h));
    ASSERT_TRUE(DbfGoTo(*h, 4));
    ASSERT_TRUE(DbfReadNextUndeleted(*h));
    EXPECT_EQ(DbfGetInt(*h, 1), 4);
    ASSERT_TRUE(DbfReadNextUndeleted(*h));
    EXPECT_EQ(DbfGetInt(*h, 1), 7);
    EXPECT_EQ(h->current, 8);
    ASSERT_TRUE(DbfReadRecord(*h, 5));
    EXPECT_TRUE(h->IsDeleted());
    int live = 0;
    for (DbfGoTop(*h); DbfReadNextUndeleted(*h);)
        ++live;
    EXPECT_EQ(live, 8);

    // Records read ahead give way to what the handle writes during the scan.
    auto other = DbfOpenStream(std::make_unique<CMemoryStream>(Bytes(*h->stream)), nullptr);
    ASSERT_TRUE(other);
    DbfGoTop(*other);
    ASSERT_TRUE(DbfReadNext(*other));
    ASSERT_TRUE(DbfWriteFieldString(*other, 8, 0, "changed"));
    for (int n = 1; n <= 8; ++n)
        ASSERT_TRUE(DbfReadNext(*other));
    EXPECT_EQ(DbfGetString(*other, 0), "changed   ");

    auto empty = MemoryTable();
    DbfGoBottom(*empty);
    EXPECT_FALSE(DbfReadNext(*empty));
}

TEST(DbfEngine, AppendsWritesFlushesAndZaps)
{
    CTempDir dir;
    const std::string path = dir.File("t.dbf");
    auto h = FileTable(path, {{"NAME", 'C', 10, 0}, {"VAL", 'N', 6, 2}, {"NOTE", 'M', 10, 0}});
    ASSERT_TRUE(h);
    const size_t headerLength = 129, recordLength = 27;

    DbfAppendBlank(*h);
    DbfPutString(*h, 0, "abc");
    ASSERT_TRUE(DbfWriteCurrent(*h));
    std::string file = ReadWholeFile(path);
    ASSERT_EQ(file.size(), headerLength + recordLength + 1);
    EXPECT_EQ(file.substr(headerLength, recordLength), " abc                       ");
    EXPECT_EQ(file.back(), '\x1A');
    EXPECT_EQ(file[4], 1);
    EXPECT_EQ(h->flags, 0);

    // In place: the count stays.
    ASSERT_TRUE(DbfReadRecord(*h, 0));
    DbfPutString(*h, 0, "xyz");
    ASSERT_TRUE(DbfWriteCurrent(*h));
    file = ReadWholeFile(path);
    EXPECT_EQ(file.size(), headerLength + recordLength + 1);
    EXPECT_EQ(file.substr(headerLength + 1, 3), "xyz");

    // Bulk appends: the header and the end mark come with the flush.
    for (int i = 1; i <= 3; ++i) {
        DbfAppendBlank(*h);
        DbfPutLong(*h, 1, i);
        ASSERT_TRUE(DbfWriteHere(*h));
    }
    EXPECT_EQ(h->RecordCount(), 4);
    EXPECT_EQ(ReadWholeFile(path)[4], 1);
    ASSERT_TRUE(DbfFlush(*h));
    file = ReadWholeFile(path);
    EXPECT_EQ(file.size(), headerLength + 4 * recordLength + 1);
    EXPECT_EQ(file[4], 4);
    EXPECT_EQ(file.back(), '\x1A');

    // Direct writes into one field of a record.
    EXPECT_TRUE(DbfWriteFieldLong(*h, 2, 1, 3));
    EXPECT_TRUE(DbfWriteFieldString(*h, 3, 0, "direct"));
    EXPECT_FALSE(DbfWriteFieldDouble(*h, 1, 1, 1234567.0)); // too wide: stars, and said so
    ASSERT_TRUE(DbfReadRecord(*h, 0));
    ASSERT_TRUE(DbfPutMemo(*h, 2, "first text"));
    ASSERT_TRUE(DbfWriteCurrent(*h));
    ASSERT_TRUE(DbfWriteMemoAt(*h, 0, 2, "second"));
    DbfClose(h);

    h = DbfOpen(path);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->RecordCount(), 4);
    ASSERT_TRUE(DbfReadRecord(*h, 2));
    EXPECT_EQ(DbfGetString(*h, 1), "  3.00");
    ASSERT_TRUE(DbfReadRecord(*h, 1));
    EXPECT_EQ(DbfGetString(*h, 1), "******");
    ASSERT_TRUE(DbfReadRecord(*h, 3));
    EXPECT_EQ(DbfGetString(*h, 0), "direct    ");
    ASSERT_TRUE(DbfReadRecord(*h, 0));
    std::string text;
    EXPECT_TRUE(DbfReadMemo(*h, 2, text));
    EXPECT_EQ(text, "second"); // rewritten in its own block
    EXPECT_EQ(DbfGetInt(*h, 2), 8);

    // Zap empties the table and makes the memo file anew.
    ASSERT_TRUE(DbfZap(*h));
    EXPECT_EQ(h->RecordCount(), 0);
    file = ReadWholeFile(path);
    EXPECT_EQ(file.size(), headerLength + 1);
    EXPECT_EQ(file[4], 0);
    EXPECT_EQ(file.back(), '\x1A');
    const std::string memo = ReadWholeFile(dir.File("t.FPT"));
    EXPECT_EQ(memo.size(), 512u);
    EXPECT_EQ(BigEndian32(memo, 0), 8u);
    DbfAppendBlank(*h);
    ASSERT_TRUE(DbfPutMemo(*h, 2, "after zap"));
    EXPECT_EQ(DbfGetInt(*h, 2), 8);
}

TEST(DbfEngine, AppendsCopiesWithTheirMemoTexts)
{
    CTempDir dir;
    auto fields = FieldList({{"NAME", 'C', 10, 0}, {"NOTE", 'M', 10, 0}});
    auto source = DbfCreate(dir.File("src.dbf"), fields.data());
    auto target = DbfCreate(dir.File("dst.dbf"), fields.data());
    ASSERT_TRUE(source && target);
    // The target already holds records of its own: the copy must not land on them.
    DbfAppendBlank(*target);
    DbfPutString(*target, 0, "own");
    ASSERT_TRUE(DbfPutMemo(*target, 1, "target text"));
    ASSERT_TRUE(DbfWriteCurrent(*target));
    DbfClose(target);
    target = DbfOpen(dir.File("dst.dbf"));
    ASSERT_TRUE(target && target->memo);

    const std::string texts[] = {"", "short", std::string(300, 'x')};
    for (const std::string& text : texts) {
        DbfAppendBlank(*source);
        DbfPutString(*source, 0, std::to_string(text.size()));
        if (!text.empty()) {
            ASSERT_TRUE(DbfPutMemo(*source, 1, text));
        }
        ASSERT_TRUE(DbfWriteCurrent(*source));
    }
    for (DbfGoTop(*source); DbfReadNext(*source);)
        ASSERT_TRUE(DbfAppendCopy(*target, *source));
    ASSERT_TRUE(DbfFlush(*target));
    DbfClose(target);

    target = DbfOpen(dir.File("dst.dbf"));
    ASSERT_TRUE(target);
    ASSERT_EQ(target->RecordCount(), 4);
    std::string text;
    ASSERT_TRUE(DbfReadRecord(*target, 0));
    EXPECT_EQ(DbfGetString(*target, 0), "own       ");
    EXPECT_TRUE(DbfReadMemo(*target, 1, text));
    EXPECT_EQ(text, "target text");
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(DbfReadRecord(*target, i + 1));
        EXPECT_EQ(DbfGetInt(*target, 0), static_cast<int>(texts[i].size()));
        EXPECT_EQ(DbfReadMemo(*target, 1, text), !texts[i].empty());
        EXPECT_EQ(text, texts[i]);
    }

    // Tables of another structure are not copied byte for byte.
    auto other = FieldList({{"NAME", 'C', 11, 0}});
    auto odd = DbfCreate(dir.File("odd.dbf"), other.data());
    ASSERT_TRUE(odd);
    EXPECT_FALSE(DbfAppendCopy(*odd, *source));
    EXPECT_EQ(odd->RecordCount(), 0);
}

TEST(DbfEngine, StoresMemoTextsInBlocks)
{
    auto h = MemoryTable({{"NOTE", 'M', 10, 0}});
    ASSERT_TRUE(h && h->memo);
    auto memoBytes = [&] {
        const auto& b = Bytes(*h->memo->stream);
        return std::string(b.begin(), b.end());
    };

    // 100 bytes and the 8-byte block header take two 64-byte blocks at the next free block.
    const std::string hundred(100, 'a');
    ASSERT_TRUE(DbfPutMemo(*h, 0, hundred));
    EXPECT_EQ(DbfGetInt(*h, 0), 8);
    std::string memo = memoBytes();
    EXPECT_EQ(BigEndian32(memo, 0), 10u);
    EXPECT_EQ(BigEndian32(memo, 512), 1u);
    EXPECT_EQ(BigEndian32(memo, 516), 100u);
    EXPECT_EQ(memo.substr(520, 100), hundred);

    // A rewrite that fits reuses its block; one that does not takes new blocks at the end.
    ASSERT_TRUE(DbfPutMemo(*h, 0, std::string(40, 'b')));
    EXPECT_EQ(DbfGetInt(*h, 0), 8);
    EXPECT_EQ(BigEndian32(memoBytes(), 0), 10u);
    ASSERT_TRUE(DbfPutMemo(*h, 0, std::string(200, 'c')));
    EXPECT_EQ(DbfGetInt(*h, 0), 10);
    EXPECT_EQ(BigEndian32(memoBytes(), 0), 14u);
    std::string text;
    ASSERT_TRUE(DbfReadMemo(*h, 0, text));
    EXPECT_EQ(text, std::string(200, 'c'));

    // Long texts read back whole.
    for (size_t length : {size_t(65535), size_t(65536), size_t(200000)}) {
        std::string big(length, '\0');
        for (size_t i = 0; i < length; ++i)
            big[i] = static_cast<char>('a' + i % 26);
        ASSERT_TRUE(DbfPutMemo(*h, 0, big));
        ASSERT_TRUE(DbfReadMemo(*h, 0, text)) << length;
        EXPECT_EQ(text, big);
    }

    // An empty text needs no block.
    ASSERT_TRUE(DbfPutMemo(*h, 0, ""));
    EXPECT_TRUE(DbfIsBlank(*h, 0));
    EXPECT_FALSE(DbfReadMemo(*h, 0, text));
    EXPECT_EQ(text, "");
}

TEST(DbfEngine, MemoFilesThatLieAreNotBelieved)
{
    auto h = MemoryTable({{"NOTE", 'M', 10, 0}});
    ASSERT_TRUE(h);
    ASSERT_TRUE(DbfPutMemo(*h, 0, "kept"));
    CStream& memo = *h->memo->stream;
    auto poke32 = [&](int64_t offset, uint32_t v) {
        unsigned char b[4] = {static_cast<unsigned char>(v >> 24), static_cast<unsigned char>(v >> 16),
                              static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)};
        ASSERT_TRUE(memo.Seek(offset));
        ASSERT_TRUE(memo.WriteExact(b, 4));
    };

    // A next free block that lags behind hands out no block in use; one far
    // beyond the end opens no gap.
    for (uint32_t nextFree : {8u, 0u, 0xFFFFFF00u}) {
        poke32(0, nextFree);
        auto other = MemoryTable({{"NOTE", 'M', 10, 0}});
        const int64_t size = memo.Size();
        ASSERT_TRUE(DbfPutMemo(*h, 0, "")); // forget the block: the next text is a new one
        ASSERT_TRUE(DbfPutMemo(*h, 0, "new"));
        EXPECT_EQ(DbfGetInt(*h, 0), (size + 63) / 64) << nextFree; // the first block after the end
        DbfPutBlockNumber(*h, 0, 8);
        std::string text;
        ASSERT_TRUE(DbfReadMemo(*h, 0, text));
        EXPECT_EQ(text, "kept");
    }

    // Lengths the file does not hold, and blocks outside it or in its header.
    std::string text;
    poke32(516, 0x7FFFFFFF);
    EXPECT_FALSE(DbfReadMemo(*h, 0, text));
    ASSERT_TRUE(DbfPutMemo(*h, 0, "fresh")); // not written over what follows block 8
    EXPECT_NE(DbfGetInt(*h, 0), 8);
    for (long block : {1L, 7L, 100000L, 4294967295L, 99999999999L}) {
        DbfPutString(*h, 0, std::to_string(block));
        EXPECT_FALSE(DbfReadMemo(*h, 0, text)) << block;
    }
    EXPECT_FALSE(MemoOpenStream(std::make_unique<CMemoryStream>(std::vector<unsigned char>(512, 0))));
    EXPECT_FALSE(MemoOpenStream(std::make_unique<CMemoryStream>(std::vector<unsigned char>(5, 0))));
}

TEST(DbfEngine, FindsTheMemoFileInEitherCaseAndLivesWithoutOne)
{
    CTempDir dir;
    auto h = FileTable(dir.File("t.dbf"), {{"NOTE", 'M', 10, 0}});
    ASSERT_TRUE(h);
    DbfAppendBlank(*h);
    ASSERT_TRUE(DbfPutMemo(*h, 0, "text"));
    ASSERT_TRUE(DbfWriteCurrent(*h));
    DbfClose(h);

    ASSERT_TRUE(RenameFile(dir.File("t.FPT"), dir.File("t.fpt")));
    h = DbfOpen(dir.File("T.DBF"));
    ASSERT_TRUE(h && h->memo);
    ASSERT_TRUE(DbfReadRecord(*h, 0));
    std::string text;
    EXPECT_TRUE(DbfReadMemo(*h, 0, text));
    EXPECT_EQ(text, "text");
    DbfClose(h);

    // Without its memo file the table opens, and its memo fields have no text.
    ASSERT_TRUE(RemoveFile(dir.File("t.fpt")));
    h = DbfOpen(dir.File("t.dbf"));
    ASSERT_TRUE(h);
    EXPECT_FALSE(h->memo);
    ASSERT_TRUE(DbfReadRecord(*h, 0));
    EXPECT_FALSE(DbfReadMemo(*h, 0, text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(DbfGetDisplayText(*h, 0), "<Memo>");
    EXPECT_FALSE(DbfPutMemo(*h, 0, "lost"));
}

TEST(DbfEngine, ReadOnlyTablesRefuseEveryWriteAndStayUnchanged)
{
    CTempDir dir;
    const std::string path = dir.File("t.dbf");
    {
        auto h = FileTable(path, {{"NAME", 'C', 10, 0}, {"VAL", 'N', 6, 2}, {"NOTE", 'M', 10, 0}});
        ASSERT_TRUE(h);
        AppendNumbered(*h, 3);
        ASSERT_TRUE(DbfPutMemo(*h, 2, "memo"));
        ASSERT_TRUE(DbfWriteCurrent(*h));
    }
    const std::string tableBefore = ReadWholeFile(path), memoBefore = ReadWholeFile(dir.File("t.FPT"));
    auto h = DbfOpenStream(CFileStream::Open(path, FileMode::Read),
                           CFileStream::Open(dir.File("t.FPT"), FileMode::Read), path);
    auto source = DbfOpen(path);
    ASSERT_TRUE(h && h->memo && source);
    ASSERT_TRUE(DbfReadRecord(*source, 2));
    ASSERT_TRUE(DbfReadRecord(*h, 2));
    std::string text;
    EXPECT_TRUE(DbfReadMemo(*h, 2, text)); // reading works as ever

    CScriptedUserServices ui;
    const std::function<bool()> writes[] = {
        [&] { return DbfWriteCurrent(*h); },
        [&] { return DbfWriteHere(*h); },
        [&] { return DbfFlush(*h); },
        [&] { return DbfDeleteCurrent(*h); },
        [&] { return DbfDeleteRecordAt(*h, 0); },
        [&] { return DbfZap(*h); },
        [&] { return DbfAppendCopy(*h, *source); },
        [&] { return DbfWriteFieldString(*h, 0, 0, "x"); },
        [&] { return DbfWriteFieldLong(*h, 0, 1, 5); },
        [&] { return DbfWriteFieldDouble(*h, 0, 1, 5.5); },
        [&] { return DbfWriteMemoAt(*h, 2, 2, "other"); },
        [&] { return DbfPutMemo(*h, 2, "other"); },
    };
    for (const auto& write : writes)
        EXPECT_FALSE(write());
    EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>(std::size(writes), 1044u));
    EXPECT_EQ(ReadWholeFile(path), tableBefore);
    EXPECT_EQ(ReadWholeFile(dir.File("t.FPT")), memoBefore);
    EXPECT_FALSE(h->locked);
}

TEST(DbfEngine, ALockHeldByAnotherHandleFailsTheWrite)
{
    CTempDir dir;
    const std::string path = dir.File("t.dbf");
    auto a = FileTable(path, {{"NAME", 'C', 10, 0}, {"NOTE", 'M', 10, 0}});
    ASSERT_TRUE(a);
    DbfAppendBlank(*a);
    ASSERT_TRUE(DbfWriteCurrent(*a));
    auto b = DbfOpen(path);
    ASSERT_TRUE(b && b->memo);
    ASSERT_TRUE(DbfLock(*a));
    const std::string tableBefore = ReadWholeFile(path), memoBefore = ReadWholeFile(dir.File("t.FPT"));

    CScriptedUserServices ui;
    ASSERT_TRUE(DbfReadRecord(*b, 0));
    DbfPutString(*b, 0, "b");
    EXPECT_FALSE(DbfWriteCurrent(*b));
    EXPECT_FALSE(DbfPutMemo(*b, 1, "needs a block")); // memo blocks are taken under the lock too
    EXPECT_EQ(ui.MessageIds(), (std::vector<unsigned>{1054u, 1054u}));
    EXPECT_EQ(ReadWholeFile(path), tableBefore);
    EXPECT_EQ(ReadWholeFile(dir.File("t.FPT")), memoBefore);

    // The holder writes on under its lock, and once it lets go the other may write.
    ASSERT_TRUE(DbfPutMemo(*a, 1, "a's text"));
    ASSERT_TRUE(DbfWriteCurrent(*a));
    EXPECT_TRUE(a->locked);
    ASSERT_TRUE(DbfUnlock(*a));
    EXPECT_TRUE(DbfWriteCurrent(*b));
    EXPECT_FALSE(b->locked);
}

TEST(DbfEngine, OpeningWhatNoOtherProgramHoldsFailsAtOnce)
{
    CTempDir dir;
    ASSERT_TRUE(MakeFolder(dir.File("folder.dbf")));
    ASSERT_EQ(::mkfifo(ResolvePath(dir.File("pipe.dbf")).c_str(), 0600), 0);
    FileRetryPolicy& policy = GetFileRetryPolicy();
    const auto savedWait = policy.openWait;
    policy.openWait = std::chrono::seconds(2);
    // Only a sharing or lock refusal is waited for: neither a missing
    // file nor a folder in its place is one; a FIFO would never be read.
    for (const char* name : {"missing.dbf", "folder.dbf", "pipe.dbf"}) {
        SCOPED_TRACE(name);
        const auto start = std::chrono::steady_clock::now();
        DbfError error = DbfError::None;
        EXPECT_FALSE(DbfOpen(dir.File(name), &error));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_EQ(error, DbfError::CannotOpen);
    }
    policy.openWait = savedWait;
}

TEST(DbfEngine, MalformedTablesFailToOpen)
{
    auto fields = FieldList({{"NAME", 'C', 10, 0}, {"VAL", 'N', 6, 2}});
    auto made = DbfCreateStream(std::make_unique<CMemoryStream>(), nullptr, fields.data());
    ASSERT_TRUE(made);
    AppendNumbered(*made, 3);
    const std::vector<unsigned char> good = Bytes(*made->stream); // header 97, records of 17
    ASSERT_EQ(good.size(), 97u + 3 * 17 + 1);

    auto le16 = [](std::vector<unsigned char>& b, size_t at, int v) {
        b[at] = static_cast<unsigned char>(v);
        b[at + 1] = static_cast<unsigned char>(v >> 8);
    };
    auto le32 = [](std::vector<unsigned char>& b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
    };
    const struct {
        const char* what;
        std::function<void(std::vector<unsigned char>&)> spoil;
    } cases[] = {
        {"header length below 33", [&](auto& b) { le16(b, 8, 32); }},
        {"negative header length", [&](auto& b) { le16(b, 8, 0xFFFF); }},
        {"header longer than the file", [&](auto& b) { le16(b, 8, 5000); }},
        {"record length 0", [&](auto& b) { le16(b, 10, 0); }},
        {"negative record length", [&](auto& b) { le16(b, 10, 0x8000); }},
        {"record smaller than its fields", [&](auto& b) { le16(b, 10, 16); }},
        {"field outside the record", [&](auto& b) { b[32 + 32 + 16] = 200; }},
        {"negative record count", [&](auto& b) { le32(b, 4, 0xFFFFFFFF); }},
        {"header cut short", [&](auto& b) { b.erase(b.begin() + 20, b.end()); }},
        {"empty file", [&](auto& b) { b.clear(); }},
    };
    for (const auto& c : cases) {
        std::vector<unsigned char> bytes = good;
        c.spoil(bytes);
        DbfError error = DbfError::None;
        EXPECT_FALSE(DbfOpenStream(std::make_unique<CMemoryStream>(bytes), nullptr, {}, &error)) << c.what;
        EXPECT_EQ(error, DbfError::BadStructure) << c.what;
    }

    // The field count follows the header length, rounded down, and stops at the terminator.
    for (int extra : {0, 5, 32, 40}) {
        std::vector<unsigned char> bytes = good;
        bytes.insert(bytes.begin() + 97, static_cast<size_t>(extra), 0);
        le16(bytes, 8, 97 + extra);
        DbfError error = DbfError::BadStructure;
        auto h = DbfOpenStream(std::make_unique<CMemoryStream>(bytes), nullptr, {}, &error);
        ASSERT_TRUE(h) << extra;
        EXPECT_EQ(error, DbfError::None);
        EXPECT_EQ(h->FieldCount(), 2) << extra;
        ASSERT_TRUE(DbfReadRecord(*h, 2));
        EXPECT_EQ(DbfGetString(*h, 0), "R2        ");
    }

    // A 'P' field reads as 'C'.
    std::vector<unsigned char> bytes = good;
    bytes[32 + 11] = 'P';
    auto h = DbfOpenStream(std::make_unique<CMemoryStream>(bytes), nullptr);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->fields[0].type, 'C');
}

TEST(DbfEngine, TablesCutShortOpenReadOnlyWithTheirWholeRecords)
{
    CTempDir dir;
    const std::string path = dir.File("t.dbf");
    {
        auto h = FileTable(path, {{"NAME", 'C', 10, 0}, {"VAL", 'N', 6, 2}});
        ASSERT_TRUE(h);
        AppendNumbered(*h, 3);
    }
    const std::string good = ReadWholeFile(path); // header 97, records of 17, the end mark
    ASSERT_EQ(good.size(), 97u + 3 * 17 + 1);
    const struct {
        const char* what;
        size_t keep;  // bytes of the file kept
        int32_t count; // the count the header states, 0: as written
        int whole;
    } cases[] = {
        {"cut in the last record", 97 + 2 * 17 + 5, 0, 2},
        {"cut after the last whole record", 97 + 2 * 17, 0, 2},
        {"cut in the first record", 97 + 3, 0, 0},
        {"a count one larger", good.size(), 4, 3},
        {"a huge count", good.size(), 0x7FFFFFFF, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = good.substr(0, c.keep);
        if (c.count)
            for (int i = 0; i < 4; ++i)
                bytes[4 + static_cast<size_t>(i)] = static_cast<char>(c.count >> (8 * i));
        WriteWholeFile(path, bytes);
        CScriptedUserServices ui;
        DbfError error = DbfError::BadStructure;
        auto h = DbfOpen(path, &error);
        ASSERT_TRUE(h);
        EXPECT_EQ(error, DbfError::None);
        EXPECT_TRUE(h->damaged);
        ASSERT_EQ(h->RecordCount(), c.whole);
        int read = 0;
        for (DbfGoTop(*h); DbfReadNext(*h); ++read)
            EXPECT_EQ(DbfGetString(*h, 0), "R" + std::to_string(read) + "        ");
        EXPECT_EQ(read, c.whole);
        EXPECT_TRUE(ui.messages.empty()); // the table class says it, once

        // Nothing is written: not the records, and not the header's count.
        const std::function<bool()> writes[] = {
            [&] { DbfAppendBlank(*h); return DbfWriteCurrent(*h); },
            [&] { return DbfReadRecord(*h, 0) && DbfWriteCurrent(*h); },
            [&] { return DbfDeleteRecordAt(*h, 0); },
            [&] { return DbfWriteFieldString(*h, 0, 0, "x"); },
            [&] { return DbfZap(*h); },
        };
        for (const auto& write : writes)
            EXPECT_FALSE(write());
        EXPECT_FALSE(DbfWriteHeader(*h));
        EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>(std::size(writes) - (c.whole == 0 ? 1 : 0), 1044u));
        EXPECT_EQ(ReadWholeFile(path), bytes);
    }

    // A field of width 0 holds nothing: it is passed over and the others read.
    std::string bytes = good;
    std::string empty(32, '\0');
    empty.replace(0, 5, "EMPTY");
    empty[11] = 'C';
    bytes.insert(32 + 32, empty);
    bytes[8] = static_cast<char>(97 + 32);
    WriteWholeFile(path, bytes);
    auto h = DbfOpen(path);
    ASSERT_TRUE(h);
    EXPECT_FALSE(h->damaged);
    ASSERT_EQ(h->FieldCount(), 2);
    EXPECT_EQ(DbfFindField(*h, "EMPTY"), -1);
    ASSERT_TRUE(DbfReadRecord(*h, 2));
    EXPECT_EQ(DbfGetString(*h, DbfFindField(*h, "NAME")), "R2        ");
    EXPECT_EQ(DbfGetLong(*h, DbfFindField(*h, "VAL")), 2);
    AppendNumbered(*h, 1); // and the table takes writes
    EXPECT_EQ(h->RecordCount(), 4);
}

TEST(DbfEngine, ParsesDegreesTexts)
{
    const struct {
        const char* text;
        double degrees;
    } cases[] = {
        {"54.25", 54.25},
        {"  -12.5", -12.5},
        {"054S3000", -54.5},
        {"054N3015.5", 54 + 30 / 60.0 + 15.5 / 3600},
        {"054N30.5000", 54 + 30.5 / 60},
        {"023W45", -23.75},
        {"-023E45", -23.75},
        {"25", 25},
        {"25x", 25},
        {"", 0},
        {"N", 0},
        {"12345678901234567890123456789", 123456789012345.0}, // long runs are cut, not overflowed
        {"1.000000000000000000000000000001", 1},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(ParseDegreesText(c.text), c.degrees, 1e-9) << c.text;

    auto h = MemoryTable({{"C", 'C', 12, 0}, {"N", 'N', 12, 6}, {"D", 'D', 8, 0}});
    DbfPutString(*h, 0, "054S3000");
    DbfPutDouble(*h, 1, 24.5);
    DbfPutString(*h, 2, "20060315");
    EXPECT_DOUBLE_EQ(DbfGetDegrees(*h, 0), -54.5);
    EXPECT_EQ(DbfGetString(*h, 1), "   24.500000");
    EXPECT_DOUBLE_EQ(DbfGetDegrees(*h, 1), 24.5);
    EXPECT_EQ(DbfGetDegrees(*h, 2), 0.0);
}

TEST(DbfEngine, TwoWritersOfOneTableAppendAtTheTrueEndAfterRefreshing)
{
    CTempDir dir;
    const std::string path = dir.File("t.dbf");
    auto a = FileTable(path, {{"NAME", 'C', 10, 0}, {"VAL", 'N', 6, 2}});
    ASSERT_TRUE(a);
    AppendNumbered(*a, 2);
    auto b = DbfOpen(path);
    ASSERT_TRUE(b);
    AppendNumbered(*a, 3);
    EXPECT_EQ(b->RecordCount(), 2);
    ASSERT_TRUE(DbfRefreshHeader(*b));
    EXPECT_EQ(b->RecordCount(), 5);
    AppendNumbered(*b, 1);
    ASSERT_TRUE(DbfReadRecord(*b, 5));
    EXPECT_EQ(DbfGetString(*b, 0), "R5        ");

    // A file whose header no longer fits the handle is not taken over.
    auto other = FileTable(dir.File("u.dbf"), {{"NAME", 'C', 4, 0}});
    ASSERT_TRUE(other);
    std::unique_ptr<CStream> foreign = CFileStream::Open(dir.File("u.dbf"), FileMode::ReadWrite);
    std::swap(b->stream, foreign);
    EXPECT_FALSE(DbfRefreshHeader(*b));
    EXPECT_EQ(b->RecordCount(), 6);
    std::swap(b->stream, foreign);

    // Taking back appended records; reads ahead stay in step with the file.
    ASSERT_TRUE(DbfTruncate(*b, 4));
    EXPECT_FALSE(DbfTruncate(*b, 5));
    const std::string file = ReadWholeFile(path);
    EXPECT_EQ(file.size(), size_t(b->HeaderLength() + 4 * b->RecordLength() + 1));
    EXPECT_EQ(file.back(), '\x1A');
    for (int n : {0, 1, 3}) {
        ASSERT_TRUE(DbfReadRecordAhead(*b, n));
        EXPECT_EQ(DbfGetString(*b, 0), "R" + std::to_string(n) + "        ");
        EXPECT_EQ(b->current, n + 1);
    }
    EXPECT_FALSE(DbfReadRecordAhead(*b, 4));
}

TEST(DbfEngine, WritesUnderAHeldLockReachTheFileInAFewWritesOnceItGoes)
{
    CTempDir dir;
    const std::initializer_list<FieldSpec> fields = {{"NAME", 'C', 10, 0}, {"VAL", 'N', 6, 2}};
    // Appends, a record written again, a field written straight and a
    // deletion; a read of what was written.
    const auto write = [](DbfHandle& t) {
        AppendNumbered(t, 300);
        ASSERT_TRUE(DbfReadRecord(t, 12));
        DbfPutString(t, 0, "again");
        ASSERT_TRUE(DbfWriteCurrent(t));
        ASSERT_TRUE(DbfWriteFieldLong(t, 40, 1, 7));
        ASSERT_TRUE(DbfDeleteRecordAt(t, 41));
        ASSERT_TRUE(DbfReadRecord(t, 299));
        EXPECT_EQ(DbfGetString(t, 0), "R299      ");
    };
    const std::string path = dir.File("held.dbf"), plainPath = dir.File("plain.dbf");
    auto held = FileTable(path, fields);
    auto plain = FileTable(plainPath, fields);
    ASSERT_TRUE(held && plain);
    const std::string empty = ReadWholeFile(path);
    write(*plain);
    ASSERT_TRUE(DbfLock(*held));
    write(*held);
    // Another program counts under the lock: until it goes, nothing is there.
    auto reader = DbfOpen(path);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->RecordCount(), 0);
    EXPECT_EQ(ReadWholeFile(path), empty);
    ASSERT_TRUE(DbfUnlock(*held));
    ASSERT_TRUE(DbfRefreshHeader(*reader));
    EXPECT_EQ(reader->RecordCount(), 300);
    EXPECT_EQ(ReadWholeFile(path), ReadWholeFile(plainPath));

    // The records go out in one write and the header in another.
    auto noting = std::make_unique<CNotingStream>();
    CNotingStream& file = *noting;
    const std::vector<CDbfFieldInfo> list = FieldList(fields);
    auto counted = DbfCreateStream(std::make_unique<CWriteBehindStream>(std::move(noting)), nullptr, list.data());
    ASSERT_TRUE(counted);
    const size_t made = file.writes.size();
    ASSERT_TRUE(DbfLock(*counted));
    write(*counted);
    ASSERT_TRUE(DbfUnlock(*counted));
    EXPECT_EQ(file.writes.size() - made, 2u);
    EXPECT_EQ(std::string(file.Data().begin(), file.Data().end()), ReadWholeFile(plainPath));
}

TEST(DbfEngine, HandlesOfOneTableAppendAtTheTrueEndAndReplaceOnlyTheirRecord)
{
    CTempDir dir;
    const std::string path = dir.File("t.dbf");
    auto a = FileTable(path, {{"NAME", 'C', 10, 0}, {"NOTE", 'M', 10, 0}});
    ASSERT_TRUE(a);
    DbfAppendBlank(*a);
    DbfPutString(*a, 0, "first");
    ASSERT_TRUE(DbfWriteCurrent(*a));
    auto b = DbfOpen(path);
    ASSERT_TRUE(b && b->memo);

    // Neither handle is told of the other's appends; each lands at the end
    // the file has, and the number it got becomes current.
    for (int i = 0; i < 6; ++i) {
        DbfHandle& writer = i % 2 ? *a : *b;
        DbfAppendBlank(writer);
        DbfPutString(writer, 0, "W" + std::to_string(i));
        ASSERT_TRUE(DbfPutMemo(writer, 1, "memo of W" + std::to_string(i)));
        ASSERT_TRUE(DbfWriteCurrent(writer));
        EXPECT_EQ(writer.current, i + 1);
        EXPECT_EQ(writer.RecordCount(), i + 2);
        // Written again it stays the same record.
        DbfPutString(writer, 0, "V" + std::to_string(i));
        ASSERT_TRUE(DbfWriteCurrent(writer));
    }
    // A replace through a handle that missed appends keeps them counted.
    ASSERT_TRUE(DbfReadRecord(*a, 0));
    DbfAppendBlank(*b);
    DbfPutString(*b, 0, "last");
    ASSERT_TRUE(DbfWriteCurrent(*b));
    DbfPutString(*a, 0, "replaced");
    ASSERT_TRUE(DbfWriteCurrent(*a));
    // Bulk appends not yet in the header are not lost to a fresh count.
    for (int i = 0; i < 2; ++i) {
        DbfAppendBlank(*a);
        DbfPutString(*a, 0, "bulk" + std::to_string(i));
        ASSERT_TRUE(DbfWriteHere(*a));
    }
    ASSERT_TRUE(DbfFlush(*a));

    auto check = DbfOpen(path);
    ASSERT_TRUE(check);
    ASSERT_EQ(check->RecordCount(), 10);
    std::vector<std::string> names;
    std::string memo;
    for (int n = 0; n < 10; ++n) {
        ASSERT_TRUE(DbfReadRecord(*check, n));
        std::string name = DbfGetString(*check, 0);
        TrimTrailingBlanks(name);
        names.push_back(name);
        if (n >= 1 && n <= 6) {
            ASSERT_TRUE(DbfReadMemo(*check, 1, memo));
            EXPECT_EQ(memo, "memo of W" + std::to_string(n - 1));
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"replaced", "V0", "V1", "V2", "V3", "V4", "V5", "last", "bulk0",
                                               "bulk1"}));
    EXPECT_EQ(ReadWholeFile(path).size(), size_t(check->HeaderLength() + 10 * check->RecordLength() + 1));
}

namespace {

// A table another program is appending to: its header counts a record the
// file does not hold yet; the writer finishes it while it holds the lock,
// so the record is there once the lock can be had.
class CTableBeingAppended : public CMemoryStream {
public:
    CTableBeingAppended(std::vector<unsigned char> bytes, std::string pending)
        : CMemoryStream(std::move(bytes)), m_pending(std::move(pending))
    {
    }
    bool TryLockRegion(int64_t, int64_t) override
    {
        if (!m_pending.empty()) {
            const int64_t at = Tell();
            Seek(0, End);
            Write(m_pending.data(), m_pending.size());
            Seek(at);
            m_pending.clear();
        }
        ++locks;
        return true;
    }
    int locks = 0;

private:
    std::string m_pending;
};

} // namespace

TEST(DbfEngine, AnOpenWhileAnotherProgramAppendsTakesTheRecordBeingWritten)
{
    auto fields = FieldList({{"NAME", 'C', 10, 0}, {"VAL", 'N', 6, 2}});
    auto made = DbfCreateStream(std::make_unique<CMemoryStream>(), nullptr, fields.data());
    ASSERT_TRUE(made);
    AppendNumbered(*made, 4);
    std::vector<unsigned char> bytes = Bytes(*made->stream);
    // The last record and the end mark are still on their way.
    const std::string pending(bytes.end() - 18, bytes.end());
    bytes.resize(bytes.size() - 18);

    auto stream = std::make_unique<CTableBeingAppended>(bytes, pending);
    CTableBeingAppended* appending = stream.get();
    auto h = DbfOpenStream(std::move(stream), nullptr);
    ASSERT_TRUE(h);
    EXPECT_FALSE(h->damaged);
    EXPECT_EQ(appending->locks, 1);
    ASSERT_EQ(h->RecordCount(), 4);
    ASSERT_TRUE(DbfReadRecord(*h, 3));
    EXPECT_EQ(DbfGetString(*h, 0), "R3        ");

    // No writer at work: the file was cut short.
    auto cut = DbfOpenStream(std::make_unique<CMemoryStream>(bytes), nullptr);
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->damaged);
    EXPECT_EQ(cut->RecordCount(), 3);
}
