#include "layers/LonLatTableSource.h"

#include "core/CoordConverter.h"
#include "core/FileUtil.h"
#include "layers/CoordTableDialogs.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "tests/core/FieldLists.h"
#include "tests/layers/GdbTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace {

// Dialogs that answer from a script and count what they were asked.
class CScriptedCoordTableDialogs : public ICoordTableDialogs {
public:
    CScriptedCoordTableDialogs() { SetCoordTableDialogs(this); }
    ~CScriptedCoordTableDialogs() override { SetCoordTableDialogs(nullptr); }

    bool AskCoordinateFields(const CDbfTable& table, const std::string& path, CFieldChoice& choice) override
    {
        ++fieldQuestions;
        askedPath = path;
        if (!fieldAnswer)
            return false;
        choice = *fieldAnswer;
        return true;
    }
    int AskCoordinateFormat() override
    {
        ++formatQuestions;
        return format;
    }

    std::optional<CFieldChoice> fieldAnswer;
    int format = kCancelled;
    int fieldQuestions = 0, formatQuestions = 0;
    std::string askedPath;
};

// Moves points by a fixed amount.
class CShift : public CCoordConverter {
public:
    explicit CShift(double d) : m_d(d) {}
    void ConvertPoint(CMapPoint& point) const override
    {
        point.x += m_d;
        point.y += m_d;
    }

private:
    double m_d;
};

std::vector<CMapPoint> AllPoints(CFeatureSource& source)
{
    std::vector<CMapPoint> points;
    source.Rewind();
    CMapPoint p;
    while (source.ReadNextPoint(p))
        points.push_back(p);
    return points;
}

std::string FieldText(CFeatureSource& source, const char* name)
{
    std::string text;
    source.GetTable().GetFieldString(source.GetTable().FindField(name), text);
    return text;
}

const std::vector<CDbfFieldInfo> kNumeric = FieldList({{"NAME", 'C', 10, 0}, {"LON", 'N', 13, 8}, {"LAT", 'N', 13, 8}});

} // namespace

TEST(LonLatTableSource, FieldNamesFallBackAndAMissingFieldIsNamed)
{
    CTempDir dir;
    const std::string longNames = dir.File("long.dbf");
    MakeTable(longNames, FieldList({{"LONGITUDE", 'N', 10, 4}, {"LATITUDE", 'N', 10, 4}}), {{"24.5", "54.25"}});
    CLonLatTableSource source;
    ASSERT_TRUE(source.Open(longNames));
    EXPECT_EQ(AllPoints(source), std::vector<CMapPoint>{CMapPoint(24.5, 54.25)});

    struct Case {
        std::vector<CDbfFieldInfo> fields;
        std::string x, y, missing;
    };
    const Case cases[] = {
        {FieldList({{"LON", 'N', 10, 4}}), "Lon", "Lat", "Lat"},
        {FieldList({{"LAT", 'N', 10, 4}}), "Lon", "Lat", "Lon"},
        {FieldList({{"LONGITUDE", 'N', 10, 4}, {"Y", 'N', 10, 4}}), "X", "Y", "X"},
        {FieldList({{"X", 'N', 10, 4}, {"LATITUDE", 'N', 10, 4}}), "X", "Y", "Y"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File("lacking.dbf");
        MakeTable(path, c.fields, {});
        CScriptedUserServices ui;
        CLonLatTableSource lacking;
        lacking.SetCoordinateFields(c.x, c.y);
        EXPECT_FALSE(lacking.Open(path));
        EXPECT_EQ(lacking.GetError(), CFeatureSource::kBadStructure);
        EXPECT_FALSE(lacking.IsOpen());
        ASSERT_EQ(ui.MessageIds(), std::vector<unsigned>{1032});
        EXPECT_EQ(Cp1257ToUtf8(ui.messages[0].text), "Faile \"" + path + "\" nėra lauko \"" + c.missing + "\".");
    }
}

TEST(LonLatTableSource, EmptyFieldNamesAreAskedFor)
{
    CTempDir dir;
    const std::string path = dir.File("ask.dbf");
    MakeTable(path, FieldList({{"E", 'N', 10, 4}, {"N", 'N', 10, 4}}), {{"1", "2"}});
    CScriptedCoordTableDialogs dialogs;
    CLonLatTableSource source;
    source.SetCoordinateFields("", "Lat");
    EXPECT_FALSE(source.Open(path));
    EXPECT_EQ(source.GetError(), CFeatureSource::kOpenError);
    EXPECT_EQ(dialogs.askedPath, path);
    dialogs.fieldAnswer = ICoordTableDialogs::CFieldChoice{"E", "N", true};
    ASSERT_TRUE(source.Open(path));
    EXPECT_EQ(source.GetXFieldName(), "E");
    EXPECT_TRUE(source.IsDosText());
    EXPECT_EQ(AllPoints(source), std::vector<CMapPoint>{CMapPoint(1, 2)});
    EXPECT_EQ(dialogs.fieldQuestions, 2);
}

TEST(LonLatTableSource, CoordinatesAreWrittenAndReadByFieldTypeAndWidth)
{
    CTempDir dir;
    const std::string path = dir.File("kinds.dbf");
    MakeTable(path,
              FieldList({{"LON", 'C', 11, 0}, {"LAT", 'C', 11, 0}, {"X8", 'C', 8, 0}, {"XN", 'N', 13, 8}}), {});
    const CMapPoint where(24.123456, -54.5);
    {
        CLonLatTableSource source;
        ASSERT_TRUE(source.Open(path));
        ASSERT_TRUE(source.AppendPoint(where, true));
        EXPECT_TRUE(source.IsChanged());
    }
    // The same point in three fields of the x coordinate.
    CDbfTable table;
    ASSERT_TRUE(table.Open(path));
    ASSERT_TRUE(table.GoToRecord(0));
    std::string lon, lat;
    table.GetFieldString(0, lon);
    table.GetFieldString(1, lat);
    EXPECT_EQ(lon, "024E0724.44");
    EXPECT_EQ(lat, "54S3000.00");
    table.Close();
    const struct {
        const char* x;
        double tolerance;
    } reads[] = {{"LON", 0.01 / 3600}, {"X8", 1.0 / 3600}, {"XN", 1e-8}};
    for (const auto& r : reads) {
        {
            CLonLatTableSource writer;
            writer.SetCoordinateFields(r.x, "LAT");
            ASSERT_TRUE(writer.Open(path));
            ASSERT_TRUE(writer.ReplacePoint(where, 0));
        }
        CLonLatTableSource source;
        source.SetCoordinateFields(r.x, "LAT");
        ASSERT_TRUE(source.Open(path));
        CMapPoint point;
        ASSERT_TRUE(source.ReadPoint(0, point));
        EXPECT_NEAR(point.x, where.x, r.tolerance) << r.x;
        EXPECT_NEAR(point.y, where.y, 0.01 / 3600) << r.x;
    }
}

TEST(LonLatTableSource, ConvertersApplyToWhatIsReadAndStored)
{
    CTempDir dir;
    const std::string path = dir.File("conv.dbf");
    MakeTable(path, kNumeric, {{"a", "1", "2"}, {"b", "10", "20"}});
    const CShift toMap(1000), toTable(-1000);
    CLonLatTableSource source;
    ASSERT_TRUE(source.Open(path));
    source.SetReadConverter(&toMap);
    source.SetWriteConverter(&toTable);
    const CMapRect window(1005, 1025, 1015, 1015);
    source.SetQueryRect(&window);
    EXPECT_EQ(AllPoints(source), std::vector<CMapPoint>{CMapPoint(1010, 1020)});
    ASSERT_TRUE(source.ReplacePoint({1003, 1004}, 0));
    ASSERT_TRUE(source.AppendPoint({1005, 1006}, true));
    source.SetQueryRect(nullptr);
    EXPECT_EQ(AllPoints(source), (std::vector<CMapPoint>{{1003, 1004}, {1010, 1020}, {1005, 1006}}));
    CMapRect box;
    ASSERT_TRUE(source.GetRecordBox(2, box));
    EXPECT_EQ(box, CMapRect(CMapPoint(1005, 1006)));
    EXPECT_EQ(FieldText(source, "LON"), "5.00000000");
    CMapPoint vertex;
    EXPECT_TRUE(source.FindNearestVertex({1009, 1019}, vertex));
    EXPECT_EQ(vertex, CMapPoint(1010, 1020));
}

TEST(LonLatTableSource, DosTextIsConvertedOncePerReadAndNeverWrittenBack)
{
    CTempDir dir;
    const std::string path = dir.File("dos.dbf");
    const std::string oem = "\xD0\xE0\x80\xA0";
    const std::string ansi = OemToAnsi(oem);
    ASSERT_NE(OemToAnsi(ansi), ansi);
    MakeTable(path, kNumeric, {{oem, "1", "2"}, {"plain", "3", "4"}});
    CLonLatTableSource source;
    source.SetDosText(true);
    ASSERT_TRUE(source.Open(path));
    CMapPoint point;
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_TRUE(source.ReadPoint(0, point));
        EXPECT_EQ(FieldText(source, "NAME"), ansi) << pass;
    }
    // The sequential reader meets the record already read, and the filter
    // sees the converted text.
    ASSERT_TRUE(source.SetFilter("NAME = '" + ansi + "'"));
    source.Rewind();
    ASSERT_TRUE(source.ReadNextPoint(point));
    EXPECT_EQ(point, CMapPoint(1, 2));
    EXPECT_EQ(FieldText(source, "NAME"), ansi);
    EXPECT_FALSE(source.ReadNextPoint(point));
    ASSERT_TRUE(source.ReadPoint(0, point));
    EXPECT_EQ(FieldText(source, "NAME"), ansi);

    // Moving the point writes the coordinates, not the converted name.
    ASSERT_TRUE(source.ReplacePoint({7, 8}, 0));
    source.Close();
    CDbfTable table;
    ASSERT_TRUE(table.Open(path));
    ASSERT_TRUE(table.GoToRecord(0));
    std::string name;
    table.GetFieldString(0, name);
    EXPECT_EQ(name, oem);
    EXPECT_EQ(DbfGetDouble(*table.GetHandle(), 1), 7.0);
}

TEST(LonLatTableSource, AppendReplaceAndDelete)
{
    CTempDir dir;
    const std::string path = dir.File("edit.trk");
    MakeTable(path, kNumeric, {{"a", "1", "1"}, {"b", "2", "2"}, {"c", "3", "3"}});
    CLonLatTableSource source;
    ASSERT_TRUE(source.Open(path));
    EXPECT_TRUE(source.CanWrite());
    EXPECT_EQ(source.GetShapeType(), CFeatureSource::kPoint);
    EXPECT_FALSE(source.AcceptType(CFeatureSource::kLine));
    CMapRect extent;
    EXPECT_FALSE(source.GetExtent(extent));
    ASSERT_TRUE(source.DeleteRecord(1));
    ASSERT_TRUE(source.ReplacePoint({9, 9}, 2));
    // Not written at once: the caller fills the record first.
    ASSERT_TRUE(source.AppendPoint({4, 4}, false));
    CDbfTable& table = source.GetTable();
    table.SetField(0, "d");
    ASSERT_TRUE(table.WriteRecord());
    EXPECT_EQ(AllPoints(source), (std::vector<CMapPoint>{{1, 1}, {9, 9}, {4, 4}}));
    EXPECT_EQ(PointRecords(source), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(FieldText(source, "NAME"), "d");
    EXPECT_FALSE(source.ReplacePoint({1, 1}, 17));
}

TEST(LonLatTableSource, PackKeepsEveryLiveRecordAsItStands)
{
    CTempDir dir;
    for (const char* ext : {"dbf", "trk"}) {
        const std::string path = dir.File(std::string("pack.") + ext);
        MakeTable(path, FieldList({{"NAME", 'C', 10, 0}, {"E", 'C', 11, 0}, {"N", 'C', 11, 0}, {"NOTE", 'M', 10, 0}}),
                  {{"a", "024E0000.00", "54N0000.00"}, {"b", "025E0000.00", "55N0000.00"},
                   {"c", "026E0000.00", "56N0000.00"}});
        CLonLatTableSource source;
        source.SetCoordinateFields("E", "N");
        source.SetDosText(true);
        ASSERT_TRUE(source.Open(path));
        ASSERT_TRUE(source.GetTable().WriteFieldAt(2, 3, "memo of c"));
        ASSERT_TRUE(source.DeleteRecord(0));
        // Restrictions of the readers and their conversions play no part.
        const CShift shift(100);
        source.SetReadConverter(&shift);
        source.SetCoordConverter(&shift);
        ASSERT_TRUE(source.SetFilter("NAME = 'b'"));
        const CMapRect window(0, 1, 1, 0);
        source.SetQueryRect(&window);
        WriteWholeFile(ChangeExtensionCopy(path, "spx"), "stale");
        ASSERT_TRUE(source.Pack()) << ext;
        EXPECT_FALSE(source.IsOpen());
        EXPECT_FALSE(PathExists(dir.File(std::string("~pack.") + ext)));
        EXPECT_FALSE(PathExists(ChangeExtensionCopy(path, "spx")));
        if (std::string(ext) == "trk") {
            EXPECT_FALSE(PathExists(dir.File("pack.dbf")));
        }

        CDbfTable table;
        ASSERT_TRUE(table.Open(path));
        ASSERT_EQ(table.GetRecordCount(), 2) << ext;
        std::string text;
        ASSERT_TRUE(table.GoToRecord(0));
        table.GetFieldString(1, text);
        EXPECT_EQ(text, "025E0000.00");
        ASSERT_TRUE(table.GoToRecord(1));
        table.GetFieldString(0, text);
        EXPECT_EQ(text, "c");
        ASSERT_TRUE(table.GetMemo(3, text));
        EXPECT_EQ(text, "memo of c");
        table.Close();
        RemoveFile(path);
        RemoveFile(FindSiblingByExtension(path, "FPT"));
    }
}

TEST(LonLatTableSource, CreationTakesTheLayoutTheFormatChoiceGives)
{
    CTempDir dir;
    CScriptedCoordTableDialogs dialogs;
    CLonLatTableSource source;
    EXPECT_FALSE(source.Create(dir.File("none.dbf"), CFeatureSource::kPoint, nullptr));
    EXPECT_FALSE(PathExists(dir.File("none.dbf")));
    struct Case {
        int format;
        char type;
        int length, decimals;
    };
    for (const Case& c : {Case{ICoordTableDialogs::kDecimalDegrees, 'N', 13, 8},
                          Case{ICoordTableDialogs::kDegreeText, 'C', 11, 0}}) {
        dialogs.format = c.format;
        const std::string path = dir.File("new" + std::to_string(c.format) + ".dbf");
        WriteWholeFile(path, "an old file in the way");
        ASSERT_TRUE(source.Create(path, CFeatureSource::kPoint, nullptr));
        EXPECT_FALSE(PathExists(MakeTildePath(path)));
        const std::vector<CDbfFieldInfo> fields = source.GetFieldInfos();
        ASSERT_EQ(fields.size(), 4u);
        EXPECT_STREQ(fields[0].name, "ID");
        EXPECT_EQ(fields[0].length, 20);
        for (int i : {1, 2}) {
            EXPECT_EQ(fields[i].type, c.type);
            EXPECT_EQ(fields[i].length, c.length);
            EXPECT_EQ(fields[i].decimals, c.decimals);
        }
        EXPECT_EQ(source.GetXField(), 1);
        EXPECT_EQ(source.GetYField(), 2);
        ASSERT_TRUE(source.AppendPoint({23.5, 55.25}, true));
        EXPECT_EQ(AllPoints(source), std::vector<CMapPoint>{CMapPoint(23.5, 55.25)});
    }
    EXPECT_EQ(dialogs.formatQuestions, 3);

    // A given field list must hold the fields this source looks for.
    CScriptedUserServices ui;
    source.SetCoordinateFields("X", "Y");
    EXPECT_FALSE(source.Create(dir.File("given.dbf"), CFeatureSource::kPoint, kNumeric.data()));
    EXPECT_EQ(source.GetError(), CFeatureSource::kBadStructure);
    EXPECT_EQ(ui.MessageIds(), std::vector<unsigned>{1032});
    EXPECT_FALSE(source.Create(dir.File("line.dbf"), CFeatureSource::kLine, kNumeric.data()));
    EXPECT_EQ(source.GetError(), CFeatureSource::kWrongType);
}

TEST(LonLatTableSource, SeveralProgramsAppendingPointsKeepEveryPointOnce)
{
    CTempDir dir;
    const std::string path = dir.File("shared.trk");
    MakeTable(path, kNumeric, {{"base", "0", "0"}});
    FileRetryPolicy& policy = GetFileRetryPolicy();
    const int savedTries = policy.lockTries;
    policy.lockTries = 1000000; // contended locks are waited for

    constexpr int kWriters = 3;
    constexpr int kEach = 300;
    const auto nameOf = [](int writer, int k) { return std::to_string(writer) + "-" + std::to_string(k); };
    CScriptedUserServices services;
    CChildProcesses children;
    for (int writer = 1; writer <= kWriters; ++writer) {
        ASSERT_TRUE(children.Start([&, writer] {
            CLonLatTableSource source;
            if (!source.Open(path))
                return false;
            for (int k = 0; k < kEach; ++k) {
                // The attributes are filled after the append, into the record it made.
                if (!source.AppendPoint(CMapPoint(writer, k), false))
                    return false;
                CDbfTable& table = source.GetTable();
                if (!table.SetField(0, nameOf(writer, k)) || !table.WriteRecord())
                    return false;
                // The source names the record the point went to.
                CMapPoint back;
                if (!source.ReadPoint(source.GetCurrentRecord(), back) || back != CMapPoint(writer, k))
                    return false;
            }
            return services.messages.empty();
        }));
    }
    ASSERT_TRUE(children.Start([&] {
        CLonLatTableSource source;
        if (!source.Open(path))
            return false;
        for (int i = 0; i < 150; ++i)
            if (!source.ReplacePoint(CMapPoint(-1, i), 0))
                return false;
        return services.messages.empty();
    }));

    int opens = 0;
    // At least once after the children are let go, however fast they are.
    children.AnyRunning();
    do {
        CLonLatTableSource reader;
        ASSERT_TRUE(reader.Open(path));
        ++opens;
        CMapPoint p;
        // A point just appended may not have its name yet, but never another's.
        for (reader.Rewind(); reader.ReadNextPoint(p);) {
            const std::string name = FieldText(reader, "NAME");
            if (reader.GetCurrentRecord() > 0 && !name.empty()) {
                ASSERT_EQ(name, nameOf(static_cast<int>(p.x), static_cast<int>(p.y)));
            }
        }
    } while (children.AnyRunning());
    EXPECT_TRUE(children.WaitAll());
    policy.lockTries = savedTries;
    EXPECT_GT(opens, 0);
    EXPECT_TRUE(services.messages.empty());

    CLonLatTableSource source;
    ASSERT_TRUE(source.Open(path));
    ASSERT_EQ(source.GetTable().GetRecordCount(), 1 + kWriters * kEach);
    std::vector<int> seen(kWriters * kEach, 0);
    CMapPoint p;
    for (source.Rewind(); source.ReadNextPoint(p);) {
        if (source.GetCurrentRecord() == 0) {
            EXPECT_EQ(p, CMapPoint(-1, 149));
            EXPECT_EQ(FieldText(source, "NAME"), "base");
            continue;
        }
        const int writer = static_cast<int>(p.x), k = static_cast<int>(p.y);
        ASSERT_TRUE(writer >= 1 && writer <= kWriters && k >= 0 && k < kEach);
        EXPECT_EQ(FieldText(source, "NAME"), nameOf(writer, k));
        ++seen[static_cast<size_t>((writer - 1) * kEach + k)];
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), kWriters * kEach);
}
