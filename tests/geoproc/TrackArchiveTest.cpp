// Track records older than a day moved into the archive beside the track.
#include "geoproc/TrackArchive.h"

#include "core/DateSerial.h"
#include "layers/TrackFields.h"
#include "mapdoc/DocCommands.h"
#include "platform/Codepage.h"
#include "tests/geoproc/GeoprocTestSupport.h"

namespace {

double Day(int year, int month, int day)
{
    return DateToSerial(year, month, day) + 0.75; // the time of day plays no part
}

TEST(TrackArchiveNames, FilterAndPathFollowTheDay)
{
    EXPECT_EQ(TrackArchiveFilter(Day(2024, 5, 2)), "(Date < \"2024.05.02\")");
    EXPECT_EQ(TrackArchivePath("C:\\gps\\trasa.trk", Day(2024, 5, 2)), "C:\\gps\\Archive\\20240502\\trasa.trk");
    EXPECT_EQ(TrackArchivePath("/data/gps/trasa.trk", Day(2005, 12, 31)), "/data/gps/Archive/20051231/trasa.trk");
    EXPECT_EQ(TrackArchiveFilter(1e300), "");
}

class TrackArchiveTest : public CGeoprocFixture {
protected:
    TrackArchiveTest() { AppendFixes({"2024.05.01", "2024.05.01", "2024.05.02", "2024.05.03"}); }
    void AppendFixes(const std::vector<std::string>& dates)
    {
        if (!FileExists(Track())) {
            ASSERT_TRUE(CreateTrackFile(Track()));
        }
        CLayerReader reader;
        ASSERT_TRUE(reader.Open(Track()));
        CFeatureSource& source = *reader.GetSource();
        for (const std::string& date : dates) {
            ASSERT_TRUE(source.AppendPoint(CMapPoint{24 + ++m_fixes * 0.001, 54}, false));
            CDbfTable& table = source.GetTable();
            table.SetField(kTrackDate, date);
            table.SetFieldLong(kTrackId, m_fixes);
            ASSERT_TRUE(table.WriteRecord());
        }
    }
    std::string Track() const { return dir.File("trasa.trk"); }
    std::vector<std::string> Ids(const std::string& path)
    {
        std::vector<std::string> ids;
        for (const CReadObject& object : ReadObjects(path, CLayer::kPoint))
            ids.push_back(object.fields.at("Id"));
        return ids;
    }
    CLayer& Layer()
    {
        if (!m_layer) {
            m_layer = &Add("GPS trasa", "trasa.trk", CLayer::kTrack);
            m_layer->SetFilter("(Speed >= 0)");
        }
        return *m_layer;
    }

private:
    int m_fixes = 0;
    CLayer* m_layer = nullptr;
};

TEST_F(TrackArchiveTest, OlderRecordsMoveAndTheSameDayStays)
{
    EXPECT_EQ(ArchiveOldTrackData(Layer(), Day(2024, 5, 2)), 1);
    EXPECT_EQ(Ids(Track()), (std::vector<std::string>{"3", "4"}));
    EXPECT_EQ(Ids(dir.File("Archive/20240502/trasa.trk")), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(Layer().GetFilter(), "(Speed >= 0)");
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(TrackArchiveTest, NothingOlderMakesNoFolder)
{
    EXPECT_EQ(ArchiveOldTrackData(Layer(), Day(2024, 5, 1)), 2);
    EXPECT_FALSE(PathExists(dir.File("Archive")));
    EXPECT_EQ(Ids(Track()).size(), 4u);
    EXPECT_EQ(Layer().GetFilter(), "(Speed >= 0)");
}

TEST_F(TrackArchiveTest, AnArchiveOfTheSameDayKeepsItsRecords)
{
    ASSERT_EQ(ArchiveOldTrackData(Layer(), Day(2024, 5, 2)), 1);
    AppendFixes({"2024.04.30"});
    ASSERT_EQ(ArchiveOldTrackData(Layer(), Day(2024, 5, 2)), 1);
    EXPECT_EQ(Ids(dir.File("Archive/20240502/trasa.trk")), (std::vector<std::string>{"1", "2", "5"}));
    EXPECT_EQ(Ids(Track()), (std::vector<std::string>{"3", "4"}));
}

TEST_F(TrackArchiveTest, AFolderThatCannotBeMadeIsToldAndNothingMoves)
{
    WriteWholeFile(dir.File("Archive"), "a file in the way");
    const std::string before = ReadWholeFile(Track());
    EXPECT_EQ(ArchiveOldTrackData(Layer(), Day(2024, 5, 3)), 0);
    EXPECT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(ReadWholeFile(Track()), before);
    EXPECT_EQ(Layer().GetFilter(), "(Speed >= 0)");
}

TEST_F(TrackArchiveTest, TheDocumentCommandPassesOverTheFileTheRecorderWrites)
{
    AppendFixes({});
    CLayer& recorded = Layer();
    // A second track of its own file, archived as usual.
    ASSERT_TRUE(CreateTrackFile(dir.File("kita.trk")));
    CLayer& other = Add("Kita", "kita.trk", CLayer::kTrack);
    CDocCommandDialogs dialogs;
    dialogs.archiveDate = [](double& date) {
        date = Day(2024, 5, 3);
        return true;
    };
    CDocCommandServices services;
    std::vector<std::string> archived;
    services.archiveOldTrackData = [&archived](CLayer& layer, double date) {
        archived.push_back(layer.GetName());
        return ArchiveOldTrackData(layer, date);
    };
    services.currentTrackFile = [this] { return Track(); };
    CDocCommands commands(doc, dialogs, services);
    commands.ArchiveTrackLayers();
    EXPECT_EQ(archived, std::vector<std::string>{other.GetName()});
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_NE(user.messages[0].text.find(recorded.GetName()), std::string::npos);
    EXPECT_EQ(Ids(Track()).size(), 4u);
}

} // namespace
