#include "tests/layers/LayerFileSupport.h"

#include "core/DbfEngine.h"
#include "core/FileUtil.h"
#include "platform/Path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <cfloat>
#include <cmath>
#include <filesystem>
#include <functional>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The check word as the file format defines it, computed apart from the source.
uint32_t ExpectedCheckWord(const std::string& vec)
{
    uint16_t sum = 0;
    for (size_t i = 0; i < 46; ++i) {
        const uint16_t word = static_cast<uint16_t>(static_cast<unsigned char>(vec[2 * i]) |
                                                    (static_cast<unsigned char>(vec[2 * i + 1]) << 8));
        sum = static_cast<uint16_t>(((sum << 1) | (sum >> 15)) + word);
    }
    const uint32_t length = static_cast<uint32_t>(Int32At(vec, 24));
    return ((length >> 5) | (length << 27)) ^ (static_cast<uint32_t>(sum) << 5);
}

std::vector<std::string> FieldNames(const std::string& path)
{
    std::vector<std::string> names;
    auto h = DbfOpen(path);
    if (!h)
        return names;
    for (const DbfField& f : h->fields)
        names.push_back(std::string(f.name) + " " + f.type + std::to_string(f.length));
    return names;
}

// A triangle of the text reader's form with its corner at (i, 0).
CShape Triangle(int i)
{
    const std::string x = std::to_string(i), next = std::to_string(i + 1);
    return Shape(x + " 0, " + next + " 0, " + x + " 1");
}

} // namespace

TEST(GdbSource, ANewLayerHasTheHeaderAndTheColumnsOfItsType)
{
    CTempDir dir;
    const struct {
        int type;
        std::vector<std::string> columns;
    } cases[] = {
        {0, {"COORDD C16"}},
        {1, {"RECTD C32", "PTR C4"}},
        {2, {"RECTD C32", "PTR C4"}},
        {5, {"RECTD C32", "PTR C4", "COORDD C16", "PARAM C72", "TEXT C32", "FONT C32"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const std::string path = dir.File("t" + std::to_string(c.type) + ".gdb");
        CGdbSource source;
        ASSERT_TRUE(source.Create(path, c.type, nullptr));
        source.Close();

        const std::string vec = ReadWholeFile(ChangeExtensionCopy(path, "vec"));
        ASSERT_EQ(vec.size(), 104u);
        EXPECT_EQ(static_cast<uint32_t>(Int32At(vec, 0)), 0x99999999u);
        EXPECT_EQ(Int32At(vec, 4), 1);
        EXPECT_EQ(Int32At(vec, 24), 104);
        EXPECT_EQ(Int32At(vec, 32), c.type);
        EXPECT_EQ(DoubleAt(vec, 40), DBL_MAX);
        EXPECT_EQ(DoubleAt(vec, 48), -DBL_MAX);
        EXPECT_EQ(DoubleAt(vec, 56), -DBL_MAX);
        EXPECT_EQ(DoubleAt(vec, 64), DBL_MAX);
        EXPECT_EQ(Int32At(vec, 84), 255);
        EXPECT_EQ(static_cast<uint32_t>(Int32At(vec, 92)), ExpectedCheckWord(vec));
        EXPECT_EQ(Int32At(vec, 96), 0);
        EXPECT_EQ(Int32At(vec, 100), 0);
        for (size_t i : {8, 12, 16, 20, 28, 36, 72, 76, 80, 88})
            EXPECT_EQ(Int32At(vec, i), 0) << "at " << i;

        EXPECT_EQ(FieldNames(path), c.columns);
        EXPECT_EQ(FieldNames(ChangeExtensionCopy(path, "dbf")), std::vector<std::string>{"ID C20"});
        // Every type opens again, texts included.
        ASSERT_TRUE(source.Open(path));
        EXPECT_EQ(source.GetShapeType(), c.type);
        CMapRect extent;
        EXPECT_TRUE(source.GetExtent(extent));
        EXPECT_EQ(extent, CMapRect());
    }
}

TEST(GdbSource, RefusesGeometryFilesThatDoNotHoldTogether)
{
    CTempDir dir;
    const std::string path = dir.File("l.gdb");
    const std::string vecPath = dir.File("l.vec");
    {
        CGdbSource source;
        MakeShapeLayer(source, path, CFeatureSource::kLine, {"0 0, 1 1", "2 2, 3 3"});
    }
    const std::string good = ReadWholeFile(vecPath);
    const struct {
        const char* what;
        std::function<void(std::string&)> spoil;
        unsigned message;
        int error;
    } cases[] = {
        {"one byte more than its length word", [](std::string& v) { v += '\0'; }, 1030, 7},
        {"one byte less", [](std::string& v) { v.pop_back(); }, 1030, 7},
        {"another magic number", [](std::string& v) { v[0] = 1; ResealHeader(v); }, 1030, 7},
        {"a wrong check word", [](std::string& v) { v[92] ^= 1; }, 1030, 7},
        {"a length word that was not sealed", [](std::string& v) { PutInt32At(v, 24, 105); v += '\0'; }, 1030, 7},
        {"an unknown geometry type", [](std::string& v) { PutInt32At(v, 32, 3); ResealHeader(v); }, 1030, 7},
        {"a point type over line columns", [](std::string& v) { PutInt32At(v, 32, 0); ResealHeader(v); }, 0, 7},
        {"a header cut short", [](std::string& v) { v.resize(60); }, 1028, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string vec = good;
        c.spoil(vec);
        WriteWholeFile(vecPath, vec);
        CScriptedUserServices ui;
        CGdbSource source;
        EXPECT_FALSE(source.Open(path));
        EXPECT_EQ(source.GetError(), c.error);
        EXPECT_FALSE(source.IsOpen());
        EXPECT_EQ(ui.MessageIds(), c.message ? std::vector<unsigned>{c.message} : std::vector<unsigned>{});
    }

    // Files of version 0 carry no check word.
    std::string old = good;
    PutInt32At(old, 4, 0);
    PutInt32At(old, 92, 0);
    WriteWholeFile(vecPath, old);
    CGdbSource source;
    EXPECT_TRUE(source.Open(path));
    EXPECT_EQ(ShapeRecords(source), (std::vector<int>{0, 1}));
    source.Close();

    // A missing geometry file is reported with the system's reason.
    RemoveFile(vecPath);
    CScriptedUserServices ui;
    EXPECT_FALSE(source.Open(path));
    EXPECT_EQ(source.GetError(), CFeatureSource::kOpenError);
    ASSERT_EQ(ui.messages.size(), 1u);
}

TEST(GdbSource, TablesOfDifferentLengthAreNotOpened)
{
    CTempDir dir;
    const std::string path = dir.File("p.gdb");
    {
        CGdbSource source;
        MakePointLayer(source, path, {{1, 1}, {2, 2}});
    }
    auto attributes = DbfOpen(dir.File("p.dbf"));
    ASSERT_TRUE(attributes);
    DbfAppendBlank(*attributes);
    ASSERT_TRUE(DbfWriteCurrent(*attributes));
    attributes.reset();

    CScriptedUserServices ui;
    CGdbSource source;
    EXPECT_FALSE(source.Open(path));
    EXPECT_EQ(source.GetError(), CFeatureSource::kBadStructure);
    EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>{1030});
}

TEST(GdbSource, ALayerCutShortOpensReadOnlyWithItsWholeObjects)
{
    CTempDir dir;
    const std::string path = dir.File("l.gdb");
    {
        CGdbSource source;
        MakeShapeLayer(source, path, CFeatureSource::kLine, {"0 0, 1 1", "2 2, 3 3", "4 4, 5 5"});
    }
    const std::string vec = ReadWholeFile(dir.File("l.vec"));
    // Either table cut in its last record; the message comes once.
    for (const char* cut : {"l.gdb", "l.dbf"}) {
        SCOPED_TRACE(cut);
        CTempDir copy;
        for (const char* file : {"l.gdb", "l.vec", "l.dbf"})
            WriteWholeFile(copy.File(file), ReadWholeFile(dir.File(file)));
        std::string bytes = ReadWholeFile(copy.File(cut));
        bytes.resize(bytes.size() - 6);
        WriteWholeFile(copy.File(cut), bytes);
        CScriptedUserServices ui;
        CGdbSource source;
        ASSERT_TRUE(source.Open(copy.File("l.gdb")));
        EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>{1030});
        EXPECT_EQ(source.GetTable().GetRecordCount(), 2);
        EXPECT_EQ(ShapeRecords(source), (std::vector<int>{0, 1}));
        EXPECT_EQ(source.GetError(), CFeatureSource::kNoError);
        ui.messages.clear();
        EXPECT_FALSE(source.AppendShape(Shape("7 7, 8 8"), true));
        EXPECT_FALSE(source.ReplaceShape(Shape("7 7, 8 8"), 0));
        EXPECT_EQ(ui.MessageIds(), (std::vector<unsigned>{1044, 1044}));
        source.Close();
        EXPECT_EQ(ReadWholeFile(copy.File("l.vec")), vec);
        EXPECT_EQ(ReadWholeFile(copy.File(cut)), bytes);
    }
}

TEST(GdbSource, AppendsReplacesAndReusesFreeBlocks)
{
    CTempDir dir;
    const std::string path = dir.File("l.gdb");
    const std::string vecPath = dir.File("l.vec");
    CGdbSource source;
    // Blocks of two points need 24 + 4 + 32 = 60 bytes.
    MakeShapeLayer(source, path, CFeatureSource::kLine, {"0 0, 1 1", "2 2, 3 3", "4 4, 5 5"});
    std::string vec = ReadWholeFile(vecPath);
    ASSERT_EQ(vec.size(), 284u);
    EXPECT_EQ(Int32At(vec, 24), 284);
    EXPECT_EQ(Int32At(vec, 100), 224);
    EXPECT_EQ(Int32At(vec, 164 + 4), 60);
    EXPECT_EQ(Int32At(vec, 164 + 16), 1);
    EXPECT_EQ(Int32At(vec, 164 + 20), 2);
    EXPECT_EQ(DoubleAt(vec, 164 + 28), 2.0);
    EXPECT_EQ(DoubleAt(vec, 164 + 52), 3.0);
    // Every append leaves files that open, written or not.
    {
        CGdbSource reader;
        ASSERT_TRUE(reader.Open(path));
        EXPECT_EQ(ShapeRecords(reader), (std::vector<int>{0, 1, 2}));
        CMapRect extent;
        reader.GetExtent(extent);
        EXPECT_EQ(extent, CMapRect(0, 5, 5, 0));
    }

    // The last block grows in place.
    ASSERT_TRUE(source.ReplaceShape(Shape("4 4, 5 5, 6 6, 7 7"), 2));
    vec = ReadWholeFile(vecPath);
    EXPECT_EQ(vec.size(), 316u);
    EXPECT_EQ(Int32At(vec, 224 + 4), 92);
    EXPECT_EQ(Int32At(vec, 96), 0);
    EXPECT_EQ(Int32At(vec, 100), 224);

    // An inner block too small goes on the free list; the shape goes to the end.
    ASSERT_TRUE(source.ReplaceShape(Shape("0 0, 1 1, 2 0"), 0));
    vec = ReadWholeFile(vecPath);
    EXPECT_EQ(vec.size(), 392u);
    EXPECT_EQ(Int32At(vec, 96), 104);
    EXPECT_EQ(Int32At(vec, 104), 0);
    EXPECT_EQ(Int32At(vec, 100), 316);

    // The next small shape takes the freed block whole.
    const CShape small = Shape("9 9, 8 8");
    AppendWithAttributes(source, &small, nullptr, "S3", 3);
    vec = ReadWholeFile(vecPath);
    EXPECT_EQ(vec.size(), 392u);
    EXPECT_EQ(Int32At(vec, 96), 0);
    EXPECT_EQ(Int32At(vec, 104 + 4), 60);

    // A shape that fits stays in its block.
    ASSERT_TRUE(source.ReplaceShape(Shape("2 2"), 1));
    vec = ReadWholeFile(vecPath);
    EXPECT_EQ(vec.size(), 392u);
    EXPECT_EQ(Int32At(vec, 164 + 4), 60);
    EXPECT_EQ(Int32At(vec, 164 + 20), 1);

    // A shape without points leaves the extent alone.
    const CShape empty = Shape("");
    AppendWithAttributes(source, &empty, nullptr, "S4", 4);
    CMapRect extent;
    source.GetExtent(extent);
    EXPECT_EQ(extent, CMapRect(0, 9, 9, 0));

    // A deletion leaves the block where it was.
    vec = ReadWholeFile(vecPath);
    ASSERT_TRUE(source.DeleteRecord(1));
    EXPECT_EQ(ReadWholeFile(vecPath), vec);
    EXPECT_TRUE(source.GetRecordTable(1)->IsDeleted());
    EXPECT_EQ(ShapeRecords(source), (std::vector<int>{0, 2, 3, 4}));

    const char* expected[] = {"0 0, 1 1, 2 0", "2 2", "4 4, 5 5, 6 6, 7 7", "9 9, 8 8", ""};
    CGdbSource again;
    ASSERT_TRUE(again.Open(path));
    for (int n = 0; n < 5; ++n) {
        CShape shape;
        ASSERT_TRUE(again.ReadShape(n, shape)) << n;
        EXPECT_EQ(ShapeText(shape), expected[n]) << n;
        std::string name;
        ASSERT_TRUE(again.GetFieldText(n, 0, name));
        EXPECT_EQ(name, "S" + std::to_string(n));
    }
}

TEST(GdbSource, TwoWritersNeverShareABlock)
{
    CTempDir dir;
    const std::string path = dir.File("l.gdb");
    {
        CGdbSource source;
        MakeShapeLayer(source, path, CFeatureSource::kArea, {"0 0, 1 0, 1 1"});
    }
    CGdbSource a, b;
    ASSERT_TRUE(a.Open(path));
    ASSERT_TRUE(b.Open(path));
    for (int i = 1; i <= 4; ++i) {
        CGdbSource& writer = i % 2 ? a : b;
        const CShape shape = Triangle(i);
        AppendWithAttributes(writer, &shape, nullptr, "S" + std::to_string(i), i);
    }
    // A grows its last block after B appended behind it: no longer the last.
    ASSERT_TRUE(a.ReplaceShape(Shape("0 0, 9 0, 9 9, 0 9, 0 0, 5 5"), 3));
    a.Close();
    b.Close();

    CGdbSource source;
    ASSERT_TRUE(source.Open(path));
    ASSERT_EQ(source.GetTable().GetRecordCount(), 5);
    auto geo = DbfOpen(path);
    std::set<int32_t> blocks;
    for (int n = 0; n < 5; ++n) {
        ASSERT_TRUE(DbfReadRecord(*geo, n));
        blocks.insert(GetLittleEndian<int32_t>(reinterpret_cast<unsigned char*>(DbfFieldPtr(*geo, 1))));
        CShape shape;
        ASSERT_TRUE(source.ReadShape(n, shape));
        std::string name;
        source.GetFieldText(n, 0, name);
        EXPECT_EQ(name, "S" + std::to_string(n));
        if (n > 0 && n != 3) {
            EXPECT_EQ(shape.GetPoint(0), CMapPoint(n, 0));
        }
    }
    EXPECT_EQ(blocks.size(), 5u);
    CShape grown;
    ASSERT_TRUE(source.ReadShape(3, grown));
    EXPECT_EQ(grown.GetPointCount(), 6);
    CMapRect extent;
    source.GetExtent(extent);
    EXPECT_EQ(extent, CMapRect(0, 9, 9, 0));
}

namespace {

// Objects of the several-writer tests: writer w's object k is a line of
// 2 + k % 40 vertices named "w-k" with N = k, so every object tells
// whether its shape and attributes belong together.
CShape WriterLine(int writer, int k)
{
    CMapPointArray points;
    for (int i = 0; i < 2 + k % 40; ++i)
        points.Add(CMapPoint(writer * 1000 + i, k + i * 0.5));
    CShape shape;
    shape.SetPoints(points.GetSize(), points.GetData());
    return shape;
}

bool AppendWriterLine(CGdbSource& source, int writer, int k)
{
    if (!source.AppendShape(WriterLine(writer, k), false))
        return false;
    CDbfTable& table = source.GetTable();
    return table.SetField(0, std::to_string(writer) + "-" + std::to_string(k)) && table.SetFieldLong(1, k) &&
           table.WriteRecord();
}

// The layer's objects as (writer, k); a failure names the first object
// that is not whole. Attribute records still blank are passed over when
// allowed (an object appended on its own gets its attributes by a second
// write); object 0 is not read when another program changes it.
std::string ReadWriterLines(const std::string& path, std::vector<std::pair<int, int>>& objects, bool blankAllowed,
                            bool firstChanging = false)
{
    objects.clear();
    // Opening compares the two tables' counts.
    CGdbSource source;
    if (!source.Open(path))
        return "the layer does not open";
    const int count = source.GetTable().GetRecordCount();
    for (int n = 0; n < count; ++n) {
        std::string name;
        CShape shape;
        // Read while its block moves, the object would be as malformed as a
        // bad one: the error state would stop the reads after it.
        if (n == 0 && firstChanging) {
            objects.emplace_back(-1, -1);
            continue;
        }
        if (!source.ReadShape(n, shape) || !source.GetFieldText(n, 0, name))
            return "object " + std::to_string(n) + " does not read";
        if (name.empty() && blankAllowed) {
            objects.emplace_back(-1, -1);
            continue;
        }
        int writer = -1, k = -1;
        if (std::sscanf(name.c_str(), "%d-%d", &writer, &k) != 2 || writer < 0 || k < 0)
            return "object " + std::to_string(n) + " is named " + name;
        const CShape expected = WriterLine(writer, k);
        if (shape.GetPointCount() != expected.GetPointCount() || shape.GetPoint(0) != expected.GetPoint(0) ||
            shape.GetPoint(shape.GetPointCount() - 1) != expected.GetPoint(expected.GetPointCount() - 1))
            return "object " + std::to_string(n) + " has another's shape";
        objects.emplace_back(writer, k);
    }
    return "";
}

// Contended locks waited for as long as it takes, looked at often.
class CPatientLocks {
public:
    CPatientLocks() : m_saved(GetFileRetryPolicy())
    {
        GetFileRetryPolicy().lockTries = 1000000;
        GetFileRetryPolicy().lockWait = std::chrono::milliseconds(2);
    }
    ~CPatientLocks() { GetFileRetryPolicy() = m_saved; }

private:
    FileRetryPolicy m_saved;
};

void MakeWriterLayer(const std::string& path)
{
    CGdbSource source;
    const std::vector<CDbfFieldInfo> fields = TestFields();
    ASSERT_TRUE(source.Create(path, CFeatureSource::kLine, fields.data()));
    ASSERT_TRUE(AppendWriterLine(source, 0, 0));
}

} // namespace

TEST(GdbSource, HeldWritesReachTheFilesInBlocksAndShowOnceTheHoldEnds)
{
    CTempDir dir;
    const std::string path = dir.File("l.gdb");
    MakeWriterLayer(path);
    const std::string vecBefore = ReadWholeFile(dir.File("l.vec"));
    // A reader does not wait for the writer's hold here.
    const FileRetryPolicy saved = GetFileRetryPolicy();
    GetFileRetryPolicy().lockTries = 1;
    CScriptedUserServices services;

    CGdbSource writer;
    ASSERT_TRUE(writer.Open(path));
    ASSERT_TRUE(writer.BeginWrites());
    for (int k = 1; k <= 40; ++k)
        ASSERT_TRUE(AppendWriterLine(writer, 1, k));
    // The writer reads what it holds back, and changes it.
    CShape shape;
    ASSERT_TRUE(writer.ReadShape(20, shape));
    EXPECT_EQ(shape.GetPoint(0), WriterLine(1, 20).GetPoint(0));
    ASSERT_TRUE(writer.ReplaceShape(WriterLine(1, 45), 5));
    ASSERT_TRUE(writer.GetTable().GoToRecord(5));
    ASSERT_TRUE(writer.GetTable().SetField(0, "1-45"));
    ASSERT_TRUE(writer.GetTable().WriteRecord());
    ASSERT_TRUE(writer.DeleteRecord(7));
    std::vector<std::pair<int, int>> objects;
    EXPECT_EQ(ReadWriterLines(path, objects, false), "");
    EXPECT_EQ(objects.size(), 1u);
    EXPECT_EQ(ReadWholeFile(dir.File("l.vec")), vecBefore);

    ASSERT_TRUE(writer.EndWrites());
    EXPECT_EQ(ReadWriterLines(path, objects, false), "");
    ASSERT_EQ(objects.size(), 41u);
    EXPECT_EQ(objects[5], std::make_pair(1, 45));
    auto geo = DbfOpen(path);
    ASSERT_TRUE(geo && DbfReadRecord(*geo, 7));
    EXPECT_TRUE(geo->IsDeleted());

    // A long hold goes out block by block: a reader meanwhile sees whole
    // objects, more than there were and fewer than there will be.
    ASSERT_TRUE(writer.BeginWrites());
    for (int k = 0; k < 3000; ++k)
        ASSERT_TRUE(AppendWriterLine(writer, 2, k));
    EXPECT_EQ(ReadWriterLines(path, objects, false), "");
    EXPECT_GT(objects.size(), 41u);
    EXPECT_LT(objects.size(), 3041u);
    writer.Close();
    EXPECT_EQ(ReadWriterLines(path, objects, false), "");
    EXPECT_EQ(objects.size(), 3041u);
    GetFileRetryPolicy() = saved;
    EXPECT_TRUE(services.messages.empty());
}

TEST(GdbSource, SeveralProgramsAppendingToOneLayerKeepEveryObjectOnce)
{
    CTempDir dir;
    const std::string path = dir.File("shared.gdb");
    MakeWriterLayer(path);
    CPatientLocks patient;
    // Writers 1-4 hold their writes in turns of 60 objects, writers 5-8
    // append one object at a time; another replaces object 0 meanwhile.
    constexpr int kWriters = 8;
    constexpr int kEach = 180;
    CScriptedUserServices services;
    CChildProcesses children;
    for (int writer = 1; writer <= kWriters; ++writer) {
        ASSERT_TRUE(children.Start([&, writer] {
            CGdbSource source;
            if (!source.Open(path))
                return false;
            const bool holding = writer <= 4;
            for (int k = 0; k < kEach; ++k) {
                if (holding && k % 60 == 0 && !(source.EndWrites() && source.BeginWrites()))
                    return false;
                if (!AppendWriterLine(source, writer, k))
                    return false;
            }
            return source.EndWrites() && services.messages.empty();
        }));
    }
    ASSERT_TRUE(children.Start([&] {
        CGdbSource source;
        if (!source.Open(path))
            return false;
        // Shapes that grow and shrink: blocks move, and are freed and taken again.
        for (int i = 1; i < 100; ++i)
            if (!source.ReplaceShape(WriterLine(0, i), 0))
                return false;
        return services.messages.empty();
    }));

    int opens = 0;
    std::vector<std::pair<int, int>> objects;
    children.AnyRunning();
    do {
        ASSERT_EQ(ReadWriterLines(path, objects, true, true), "");
        ++opens;
    } while (children.AnyRunning());
    EXPECT_TRUE(children.WaitAll());
    EXPECT_GT(opens, 0);
    EXPECT_TRUE(services.messages.empty());

    ASSERT_EQ(ReadWriterLines(path, objects, false, true), "");
    ASSERT_EQ(objects.size(), size_t(1 + kWriters * kEach));
    CGdbSource source;
    ASSERT_TRUE(source.Open(path));
    CShape first;
    ASSERT_TRUE(source.ReadShape(0, first));
    EXPECT_EQ(first.GetPointCount(), WriterLine(0, 99).GetPointCount());
    std::vector<int> seen(kWriters * kEach, 0);
    for (size_t i = 1; i < objects.size(); ++i) {
        const auto [writer, k] = objects[i];
        ASSERT_TRUE(writer >= 1 && writer <= kWriters && k < kEach) << i;
        ++seen[static_cast<size_t>((writer - 1) * kEach + k)];
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), kWriters * kEach);
}

TEST(GdbSource, AProgramKilledWhileHoldingWritesLeavesWholeObjects)
{
    CTempDir dir;
    const std::string path = dir.File("l.gdb");
    MakeWriterLayer(path);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Some blocks out, and the writer in the middle of the next.
        CGdbSource source;
        bool written = source.Open(path) && source.BeginWrites();
        for (int k = 0; written && k < 3000; ++k)
            written = AppendWriterLine(source, 1, k);
        const char said = written ? 'y' : 'n';
        if (::write(ready[1], &said, 1) == 1)
            ::pause();
        ::_exit(1);
    }
    ::close(ready[1]);
    char said = 0;
    const bool heard = ::read(ready[0], &said, 1) == 1;
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(heard && said == 'y');

    std::vector<std::pair<int, int>> objects;
    ASSERT_EQ(ReadWriterLines(path, objects, false), "");
    EXPECT_GT(objects.size(), 1u);
    EXPECT_LT(objects.size(), 3001u);
    for (size_t i = 1; i < objects.size(); ++i)
        ASSERT_EQ(objects[i], std::make_pair(1, static_cast<int>(i) - 1));
    // The lock went with the program.
    CScriptedUserServices services;
    CGdbSource source;
    ASSERT_TRUE(source.Open(path));
    EXPECT_TRUE(AppendWriterLine(source, 2, 0));
    EXPECT_TRUE(services.messages.empty());
}

TEST(GdbSource, AHeldWriteThatFailsLeavesTheFilesAsTheyWere)
{
    CTempDir dir;
    const std::string path = dir.File("l.gdb");
    MakeWriterLayer(path);
    const std::vector<std::string> files = {path, dir.File("l.vec"), dir.File("l.dbf")};
    std::vector<std::string> before;
    for (const std::string& file : files)
        before.push_back(ReadWholeFile(file));
    CScriptedUserServices services;
    CChildProcesses children;
    ASSERT_TRUE(children.Start([&] {
        // No file may grow by a block: the first block to go out fails.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlim_t most = before[1].size() + 100000;
        const rlimit limit = {most, most};
        CGdbSource source;
        if (!source.Open(path) || ::setrlimit(RLIMIT_FSIZE, &limit) != 0 || !source.BeginWrites())
            return false;
        int k = 0;
        while (k < 3000 && AppendWriterLine(source, 1, k))
            ++k;
        return k > 0 && k < 3000 && source.GetError() == CFeatureSource::kWriteError &&
               services.MessageIds() == std::vector<unsigned>{1045};
    }));
    EXPECT_TRUE(children.WaitAll());
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(ReadWholeFile(files[i]), before[i]) << files[i];
    CGdbSource source;
    ASSERT_TRUE(source.Open(path));
    EXPECT_TRUE(AppendWriterLine(source, 2, 0));
    EXPECT_TRUE(services.messages.empty());
}

TEST(GdbSource, ATypeSwitchBetweenLineAndAreaReachesTheFile)
{
    CTempDir dir;
    const std::string path = dir.File("l.gdb");
    CGdbSource source;
    MakeShapeLayer(source, path, CFeatureSource::kLine, {"0 0, 1 1"});
    EXPECT_FALSE(source.AcceptType(CFeatureSource::kPoint));
    EXPECT_TRUE(source.AcceptType(CFeatureSource::kArea));
    EXPECT_EQ(source.GetShapeType(), CFeatureSource::kArea);
    source.Close();
    const std::string vec = ReadWholeFile(dir.File("l.vec"));
    EXPECT_EQ(Int32At(vec, 32), 2);
    ASSERT_TRUE(source.OpenTyped(path, CFeatureSource::kArea));
    EXPECT_FALSE(source.OpenTyped(path, CFeatureSource::kPoint));
}

TEST(GdbSource, AMalformedObjectIsPassedOverAndReportedOnce)
{
    CTempDir dir;
    const std::string path = dir.File("l.gdb");
    {
        CGdbSource source;
        MakeShapeLayer(source, path, CFeatureSource::kLine, {"0 0, 1 1", "2 2, 3 3, 4 4", "5 5, 6 6"});
    }
    const std::string goodVec = ReadWholeFile(dir.File("l.vec"));
    const std::string goodGdb = ReadWholeFile(path);
    // The second object: its block after the header and the first block,
    // its record after the table's header and the first record.
    constexpr size_t kBlock = 104 + 24 + 4 + 2 * 16;
    constexpr size_t kRecord = 97 + 37 + 1;
    const double nan = std::nan("");
    const struct {
        const char* what;
        std::function<void(std::string& vec, std::string& gdb)> spoil;
    } cases[] = {
        {"a lying point count", [](std::string& v, std::string&) { PutInt32At(v, kBlock + 20, 1 << 28); }},
        {"a block shorter than it holds", [](std::string& v, std::string&) { PutInt32At(v, kBlock + 4, 40); }},
        {"a huge part count", [](std::string& v, std::string&) { PutInt32At(v, kBlock + 16, 1 << 28); }},
        {"a negative part count", [](std::string& v, std::string&) { PutInt32At(v, kBlock + 16, -1); }},
        {"a negative point count", [](std::string& v, std::string&) { PutInt32At(v, kBlock + 20, -3); }},
        {"a part past the points", [](std::string& v, std::string&) { PutInt32At(v, kBlock + 24, 5); }},
        {"a negative part size", [](std::string& v, std::string&) { PutInt32At(v, kBlock + 24, -3); }},
        {"a coordinate that is no number", [=](std::string& v, std::string&) { PutDoubleAt(v, kBlock + 28 + 8, nan); }},
        {"a box that is no number", [=](std::string&, std::string& g) { PutDoubleAt(g, kRecord, nan); }},
        {"a block pointer past the end", [](std::string&, std::string& g) { PutInt32At(g, kRecord + 32, 100000); }},
        {"a block pointer into the header", [](std::string&, std::string& g) { PutInt32At(g, kRecord + 32, 50); }},
        {"a negative block pointer", [](std::string&, std::string& g) { PutInt32At(g, kRecord + 32, -8); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string vec = goodVec, gdb = goodGdb;
        c.spoil(vec, gdb);
        WriteWholeFile(dir.File("l.vec"), vec);
        WriteWholeFile(path, gdb);
        CScriptedUserServices ui;
        CGdbSource source;
        ASSERT_TRUE(source.Open(path));
        // Every good object before and after it is delivered, and the bad
        // one is told of in the error state, which reading survives.
        EXPECT_EQ(ShapeRecords(source), (std::vector<int>{0, 2}));
        EXPECT_EQ(source.GetError(), CFeatureSource::kBadStructure);
        EXPECT_FALSE(source.HasStoppingError());
        CShape shape;
        EXPECT_FALSE(source.ReadShape(1, shape));
        ASSERT_TRUE(source.ReadShape(2, shape));
        EXPECT_EQ(ShapeText(shape), "5 5, 6 6");
        // Searching sees what drawing sees.
        CRecordArray records;
        ASSERT_TRUE(source.SelectWithin(CMapRect(-1, 10, 10, -1), records));
        EXPECT_EQ(records, (CRecordArray{0, 2}));
        ASSERT_TRUE(source.FindNearestLine(CMapPoint(2.5, 2.5), records, nullptr));
        EXPECT_EQ(records, CRecordArray{0});
        CMapPoint vertex;
        ASSERT_TRUE(source.FindNearestVertex(CMapPoint(3, 3), vertex));
        EXPECT_EQ(vertex, CMapPoint(5, 5));
        EXPECT_TRUE(ui.messages.empty());
        // A pack would lose the object: it is refused and leaves no work files.
        EXPECT_FALSE(source.Pack());
        EXPECT_FALSE(FileExists(dir.File("~l.*")));
    }

    // Points that are no numbers are passed over the same way.
    const std::string points = dir.File("p.gdb");
    {
        CGdbSource source;
        MakePointLayer(source, points, {{1, 1}, {2, 2}, {3, 3}});
    }
    std::string gdb = ReadWholeFile(points);
    PutDoubleAt(gdb, 65 + 17 + 1, nan); // the second record's x, after a header of one field
    WriteWholeFile(points, gdb);
    {
        CGdbSource pointSource;
        ASSERT_TRUE(pointSource.Open(points));
        EXPECT_EQ(PointRecords(pointSource), (std::vector<int>{0, 2}));
        EXPECT_EQ(pointSource.GetError(), CFeatureSource::kBadStructure);
        CMapPoint point;
        EXPECT_FALSE(pointSource.ReadPoint(1, point));
        EXPECT_TRUE(pointSource.ReadPoint(2, point));
        // Nor does a writer store such a point or shape.
        EXPECT_FALSE(pointSource.AppendPoint(CMapPoint(nan, 1), true));
        EXPECT_EQ(pointSource.GetTable().GetRecordCount(), 3);
        CGdbSource lines;
        WriteWholeFile(dir.File("l.vec"), goodVec);
        WriteWholeFile(path, goodGdb);
        ASSERT_TRUE(lines.Open(path));
        const CMapPoint twoPoints[] = {CMapPoint(0, 0), CMapPoint(nan, 1)};
        CShape shape;
        shape.SetPoints(2, twoPoints);
        EXPECT_FALSE(lines.AppendShape(shape, true));
        EXPECT_EQ(lines.GetTable().GetRecordCount(), 3);
    }

    // A free list that runs in a circle ends the append instead of the program.
    std::string vec = goodVec;
    PutInt32At(vec, 96, 104);
    PutInt32At(vec, 104, 104);
    ResealHeader(vec);
    WriteWholeFile(dir.File("l.vec"), vec);
    WriteWholeFile(path, goodGdb);
    CScriptedUserServices ui;
    CGdbSource source;
    ASSERT_TRUE(source.Open(path));
    EXPECT_FALSE(source.AppendShape(Shape("0 0, 1 1, 2 2, 3 3, 4 4"), true));
    EXPECT_EQ(source.GetError(), CFeatureSource::kBadStructure);
    EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>{1030});
    EXPECT_EQ(source.GetTable().GetRecordCount(), 3);
}

TEST(GdbSource, PackKeepsEveryLiveRecordAndReplacesTheFiles)
{
    CTempDir dir;
    const std::string path = dir.File("l.gdb");
    {
        const std::vector<CDbfFieldInfo> fields = FieldList({{"NAME", 'C', 12, 0}, {"N", 'N', 6, 0}, {"NOTE", 'M', 10, 0}});
        CGdbSource source;
        ASSERT_TRUE(source.Create(path, CFeatureSource::kArea, fields.data()));
        for (int i = 0; i < 4; ++i) {
            const CShape shape = Triangle(i);
            AppendWithAttributes(source, &shape, nullptr, "S" + std::to_string(i), i);
            CDbfTable& table = source.GetTable();
            ASSERT_TRUE(table.SetField(2, "note " + std::to_string(i)));
            ASSERT_TRUE(table.WriteRecord());
        }
        // An inner block left free by a replacement.
        ASSERT_TRUE(source.ReplaceShape(Shape("0 0, 1 0, 1 1, 0 1"), 0));
        ASSERT_TRUE(source.DeleteRecord(1));
    }
    // The memo file as another system wrote its name, and an index.
    std::filesystem::rename(ResolvePath(dir.File("l.FPT")), ResolvePath(dir.Path()) + "/l.fpt");
    WriteWholeFile(dir.File("l.spx"), "an index of the old records");

    CGdbSource source;
    ASSERT_TRUE(source.Open(path));
    // Whatever the readers are restricted to, Pack keeps every live record.
    ASSERT_TRUE(source.SetFilter("N > 2"));
    const CMapRect window(0, 1, 0.5, 0);
    source.SetQueryRect(&window);
    const int32_t list[] = {0};
    source.SetRecordList(list, 1);
    source.SetExcludedRecord(2);
    ASSERT_TRUE(source.Pack());
    EXPECT_FALSE(source.IsOpen());

    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"l.dbf", "l.fpt", "l.gdb", "l.vec"}));
    ASSERT_TRUE(source.Open(path));
    ASSERT_EQ(source.GetTable().GetRecordCount(), 3);
    const char* shapes[] = {"0 0, 1 0, 1 1, 0 1", "2 0, 3 0, 2 1", "3 0, 4 0, 3 1"};
    const int names[] = {0, 2, 3};
    for (int n = 0; n < 3; ++n) {
        CShape shape;
        ASSERT_TRUE(source.ReadShape(n, shape));
        EXPECT_EQ(ShapeText(shape), shapes[n]);
        std::string text;
        source.GetFieldText(n, 0, text);
        EXPECT_EQ(text, "S" + std::to_string(names[n]));
        ASSERT_TRUE(source.GetRecordTable(n)->GetMemo(2, text));
        EXPECT_EQ(text, "note " + std::to_string(names[n]));
    }
    // The blocks lie one after another, nothing free.
    const std::string vec = ReadWholeFile(dir.File("l.vec"));
    EXPECT_EQ(vec.size(), size_t(104 + 24 + 4 + 4 * 16 + 2 * (24 + 4 + 3 * 16)));
    EXPECT_EQ(Int32At(vec, 96), 0);
    CMapRect extent;
    source.GetExtent(extent);
    EXPECT_EQ(extent, CMapRect(0, 1, 4, 0));
}

TEST(GdbSource, PackKeepsTheColumnsTheLayerHas)
{
    CTempDir dir;
    const std::string path = dir.File("l.gdb");
    {
        CGdbSource source;
        MakeShapeLayer(source, path, CFeatureSource::kLine, {"0 0, 1 1", "2 2, 3 3", "4 4, 5 5"});
    }
    // A geometry table written elsewhere: a wider pointer and a column of its own.
    const std::vector<CDbfFieldInfo> columns = FieldList({{"RECTD", 'C', 32, 0}, {"PTR", 'C', 8, 0}, {"OWN", 'C', 3, 0}});
    ASSERT_TRUE(RenameFile(path, dir.File("old.gdb")));
    auto plain = DbfOpen(dir.File("old.gdb"));
    auto wide = DbfCreate(path, columns.data());
    ASSERT_TRUE(plain && wide);
    for (int n = 0; n < 3; ++n) {
        ASSERT_TRUE(DbfReadRecord(*plain, n));
        DbfAppendBlank(*wide);
        std::memcpy(DbfFieldPtr(*wide, 0), DbfFieldPtr(*plain, 0), 36);
        std::memset(DbfFieldPtr(*wide, 1) + 4, 0, 4);
        DbfPutString(*wide, 2, "ab" + std::to_string(n));
        ASSERT_TRUE(DbfWriteCurrent(*wide));
    }
    plain.reset();
    wide.reset();
    RemoveFile(dir.File("old.gdb"));

    CGdbSource source;
    ASSERT_TRUE(source.Open(path));
    ASSERT_TRUE(source.DeleteRecord(1));
    ASSERT_TRUE(source.Pack());
    EXPECT_EQ(FieldNames(path), (std::vector<std::string>{"RECTD C32", "PTR C8", "OWN C3"}));
    ASSERT_TRUE(source.Open(path));
    EXPECT_EQ(ShapeRecords(source), (std::vector<int>{0, 1}));
    CShape shape;
    ASSERT_TRUE(source.ReadShape(1, shape));
    EXPECT_EQ(ShapeText(shape), "4 4, 5 5");
    auto packed = DbfOpen(path);
    ASSERT_TRUE(packed && DbfReadRecord(*packed, 1));
    EXPECT_EQ(DbfGetString(*packed, 2), "ab2");
}

TEST(GdbSource, APackThatCannotReplaceAFileSaysSoAndLeavesTheLayer)
{
    CTempDir dir;
    const std::string path = dir.File("l.gdb");
    {
        const std::vector<CDbfFieldInfo> fields = FieldList({{"NAME", 'C', 12, 0}, {"NOTE", 'M', 10, 0}});
        CGdbSource source;
        ASSERT_TRUE(source.Create(path, CFeatureSource::kLine, fields.data()));
        const CShape shape = Shape("0 0, 1 1");
        ASSERT_TRUE(source.AppendShape(shape, true));
        ASSERT_TRUE(source.AppendShape(shape, true));
        ASSERT_TRUE(source.DeleteRecord(0));
    }
    // Where the memo file belongs stands a folder that nothing can replace.
    RemoveFile(dir.File("l.FPT"));
    ASSERT_TRUE(MakeFolder(dir.File("l.FPT")));
    WriteWholeFile(dir.File("l.FPT/keep"), "x");
    const std::vector<std::string> before = {ReadWholeFile(path), ReadWholeFile(dir.File("l.vec")),
                                             ReadWholeFile(dir.File("l.dbf"))};

    CScriptedUserServices ui;
    CGdbSource source;
    ASSERT_TRUE(source.Open(path));
    EXPECT_FALSE(source.Pack());
    EXPECT_EQ(source.GetError(), CFeatureSource::kWriteError);
    EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>{1027});
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"l.FPT", "l.dbf", "l.gdb", "l.vec"}));
    EXPECT_EQ(before, (std::vector<std::string>{ReadWholeFile(path), ReadWholeFile(dir.File("l.vec")),
                                                ReadWholeFile(dir.File("l.dbf"))}));
}

TEST(GdbSource, ReadsTextObjects)
{
    CTempDir dir;
    const std::string path = dir.File("t.gdb");
    {
        CGdbSource source;
        ASSERT_TRUE(source.Create(path, CFeatureSource::kText, nullptr));
    }
    // Text objects come from elsewhere: one written straight into the tables.
    auto geo = DbfOpen(path);
    ASSERT_TRUE(geo);
    DbfAppendBlank(*geo);
    auto* rect = reinterpret_cast<unsigned char*>(DbfFieldPtr(*geo, 0));
    for (int i = 0; i < 4; ++i)
        PutLittleEndian<double>(rect + 8 * i, i % 2 ? 20.0 : 10.0);
    auto* anchor = reinterpret_cast<unsigned char*>(DbfFieldPtr(*geo, 2));
    PutLittleEndian<double>(anchor, 12.5);
    PutLittleEndian<double>(anchor + 8, 17.5);
    auto* param = reinterpret_cast<unsigned char*>(DbfFieldPtr(*geo, 3));
    PutLittleEndian<int32_t>(param, 7);
    PutLittleEndian<int32_t>(param + 12, 700);
    param[21] = 3;
    PutLittleEndian<double>(param + 40, 45.0);
    DbfPutString(*geo, 4, "Vilnius");
    DbfPutString(*geo, 5, "Arial");
    ASSERT_TRUE(DbfWriteCurrent(*geo));
    geo.reset();
    auto attributes = DbfOpen(dir.File("t.dbf"));
    DbfAppendBlank(*attributes);
    ASSERT_TRUE(DbfWriteCurrent(*attributes));
    attributes.reset();

    CGdbSource source;
    ASSERT_TRUE(source.Open(path));
    CGdbText text;
    ASSERT_TRUE(source.ReadNextText(text));
    EXPECT_EQ(text.text, "Vilnius");
    EXPECT_EQ(text.font, "Arial");
    EXPECT_EQ(text.box, CMapRect(10, 20, 10, 20));
    EXPECT_EQ(text.anchor, CMapPoint(12.5, 17.5));
    EXPECT_EQ(text.param0, 7);
    EXPECT_EQ(text.fontAttributes[1], 700);
    EXPECT_EQ(text.param21, 3);
    EXPECT_EQ(text.param40, 45.0);
    EXPECT_FALSE(source.ReadNextText(text));
    EXPECT_EQ(source.GetError(), 0);
    CShape shape;
    {
        CScriptedUserServices ui;
        EXPECT_FALSE(source.ReadNextShape(shape));
        EXPECT_EQ(source.GetError(), CFeatureSource::kWrongType);
        EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>{1034});
    }

    // A text's block that does not read does not stop a pack.
    ASSERT_TRUE(source.Open(path));
    ASSERT_TRUE(source.Pack());
    ASSERT_TRUE(source.Open(path));
    ASSERT_TRUE(source.ReadNextText(text));
    EXPECT_EQ(text.text, "Vilnius");
    EXPECT_EQ(text.anchor, CMapPoint(12.5, 17.5));
}

TEST(GdbSource, IndexQueriesDeliverWhatTheWalkDelivers)
{
    // Some lines deleted, and two objects in the small window spoilt in the
    // geometry file, which the index does not stamp: a lying point count
    // and a negative part count.
    CTempDir dir;
    const std::string path = dir.File("l.gdb");
    {
        CGdbSource source;
        MakeScatteredLines(source, path);
        for (int i = 3; i < kScatteredLines; i += 501)
            ASSERT_TRUE(source.DeleteRecord(i));
        ASSERT_TRUE(source.BuildSpatialIndex());
    }
    const std::vector<int> inSmall = IndexHitsOf<CGdbSource>(path, kSmallWindow);
    ASSERT_GT(inSmall.size(), 1100u); // more than one batch read ahead
    const std::string table = ReadWholeFile(path);
    const auto blockOf = [&](int record) { return static_cast<size_t>(Int32At(table, 97 + 37 * record + 1 + 32)); };
    std::string vec = ReadWholeFile(dir.File("l.vec"));
    PutInt32At(vec, blockOf(inSmall[10]) + 20, 1 << 28);
    PutInt32At(vec, blockOf(inSmall[100]) + 16, -1);
    WriteWholeFile(dir.File("l.vec"), vec);
    ExpectIndexReadsAsTheWalk<CGdbSource>(path, dir.File("l.spx"), inSmall.size() - 2);
}
