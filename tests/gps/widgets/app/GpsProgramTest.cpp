// The GPS part in the running program over the demo town: live fixes
// recorded and drawn, the demo track replayed from the playback bar, the
// track dialogs and the saved track as a layer.

#include "tests/gps/widgets/app/GpsAppFixture.h"

#include "core/DbfTable.h"
#include "gps/GpsContext.h"
#include "gps/GpsReceiverPort.h"
#include "gps/widgets/GpsInstall.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/IniFile.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "shell/MainFrameBarTable.h"
#include "shell/MainToolbars.h"
#include "shell/ToolbarBoxes.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/CustomToolBar.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/shell/FakeGps.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cmath>
#include <numbers>

namespace {

// The GPS part's own clock, the replay and the demo track.
class GpsProgramTest : public CGpsAppFixture {
protected:
    GpsProgramTest() { GetGpsContext()->SetClock([this] { return now; }); }

    CTrackReplay& Replay() { return GetGpsContext()->Replay(); }
    CLayer* TrackLayer()
    {
        for (int i = 0; i < Map().GetLayerCount(); ++i)
            if (Map().GetLayer(i)->GetType() == CLayer::kTrack)
                return Map().GetLayer(i);
        return nullptr;
    }
    std::string Counter() { return MainToolbars().FindBox(kReplayPointBox)->GetText(); }
    void Tick()
    {
        now += 1000;
        frame->OnTimer(CMainFrameCore::kReplayTimer);
    }
    // Enabled, in this order: close, pause, continue, rewind, next, previous, last.
    std::vector<bool> PlaybackEnabling()
    {
        std::vector<bool> enabled;
        for (const int id : {30426, 30424, 30425, 30428, 30616, 30615, 30617})
            enabled.push_back(IsEnabled(id));
        return enabled;
    }

    int64_t now = 1000000;
};

TEST_F(GpsProgramTest, ALiveFixIsSavedInTheUserFolderAndDrawnWithTrailAndArrow)
{
    WriteWholeFile(UserFile("GPS.ini"), "[Track]\r\nSaveTrack=1\r\n");
    ASSERT_TRUE(StartOn(DemoMapPath()));
    ASSERT_TRUE(Run(30303));
    ASSERT_TRUE(port.open);
    std::vector<CMapPoint> fixes;
    for (int i = 0; i < 4; ++i) {
        const CMapPoint p = GeoAt(0.40 + 0.03 * i, 0.5);
        fixes.push_back(p);
        port.fix.longitude = p.x;
        port.fix.latitude = p.y;
        port.fix.speed = 30;
        port.fix.course = 90;
        port.fix.valid = true;
        port.fix.satellites = 7;
        port.fix.time = MakeUtcTime(2024, 5, 3, 8, 0, i);
        frame->PostMessage(WM_GPS_NEW_FIX, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return frame->Core().GetFix().longitude == p.x; }));
        now += 1000;
    }
    CDbfTable track;
    ASSERT_TRUE(track.Open(UserFile("Tracks/Track0001.trk")));
    EXPECT_EQ(track.GetRecordCount(), 4);

    const QImage picture = ViewPicture();
    const CPoint last = ClientOfGeo(fixes.back());
    const CPoint before = ClientOfGeo(fixes[2]);
    EXPECT_TRUE(RedNear(picture, CPoint(last.x + 16, last.y))) << "the arrow east of the vehicle";
    EXPECT_TRUE(RedNear(picture, CPoint((last.x + before.x) / 2, (last.y + before.y) / 2))) << "the trail";
    SaveScreenshot(*frame, "gps-live-fix");
    EXPECT_TRUE(shown.empty());
}

TEST_F(GpsProgramTest, TheDemoTrackReplaysFromThePlaybackBar)
{
    ASSERT_TRUE(StartOn(DemoMapPath()));
    CLayer* track = TrackLayer();
    ASSERT_TRUE(track);
    EXPECT_EQ(PlaybackEnabling(), std::vector<bool>(7, false));
    ASSERT_TRUE(Replay().Load(*track));
    auto& bars = dynamic_cast<CMainFrameBars&>(MainToolbars());
    EXPECT_TRUE(bars.IsBarVisible(kPlaybackBar));
    EXPECT_EQ(PlaybackEnabling(), (std::vector<bool>{true, true, false, false, false, false, false}));

    for (int i = 0; i < 3; ++i)
        Tick();
    const int current = Replay().GetCurrent();
    EXPECT_GT(current, 3);
    EXPECT_EQ(Counter(), std::to_string(current + 1));
    const QImage picture = ViewPicture();
    const GpsFix& fix = Replay().Fixes()[static_cast<size_t>(current)];
    const CPoint at = ClientOfGeo(CMapPoint(fix.longitude, fix.latitude));
    const double course = std::round(fix.course) * std::numbers::pi / 180;
    EXPECT_TRUE(RedNear(picture, CPoint(at.x + static_cast<int>(std::lround(std::sin(course) * 16)),
                                        at.y - static_cast<int>(std::lround(std::cos(course) * 16)))))
        << "the arrow along the course";
    SaveScreenshot(*frame, "gps-replay-mid");
    SaveScreenshot(*bars.Bar(kPlaybackBar), "gps-replay-playback-bar");

    EXPECT_TRUE(Run(30424));
    EXPECT_EQ(PlaybackEnabling(), (std::vector<bool>{true, false, true, true, true, true, true}));
    EXPECT_TRUE(Run(30616));
    EXPECT_EQ(Replay().GetCurrent(), current + 1);
    EXPECT_TRUE(Run(30617));
    EXPECT_EQ(Replay().GetCurrent(), Replay().GetCount() - 1);
    EXPECT_EQ(Counter(), std::to_string(Replay().GetCount()));
    EXPECT_TRUE(Run(30615));
    EXPECT_EQ(Replay().GetCurrent(), Replay().GetCount() - 2);
    EXPECT_TRUE(Run(30428));
    EXPECT_EQ(Replay().GetCurrent(), 0);
    EXPECT_EQ(Counter(), "1");

    // Enter in the counter goes to the fix typed.
    auto* point = FindControl<QLineEdit>(frame, kReplayPointBox);
    ASSERT_TRUE(point);
    point->setText("5");
    ASSERT_TRUE(FocusOn(point));
    QTest::keyClick(point, Qt::Key_Return);
    EXPECT_EQ(Replay().GetCurrent(), 4);

    EXPECT_TRUE(Run(30425));
    EXPECT_TRUE(Replay().IsRunning());
    EXPECT_TRUE(Run(30426));
    EXPECT_FALSE(bars.IsBarVisible(kPlaybackBar));
    EXPECT_EQ(PlaybackEnabling(), std::vector<bool>(7, false));
    EXPECT_FALSE(frame->Core().GetFix().HasPosition());
    EXPECT_TRUE(shown.empty());
}

TEST_F(GpsProgramTest, LoopAndSpeedsFromTheMenus)
{
    ASSERT_TRUE(StartOn(DemoMapPath()));
    auto& actions = frame->Actions();
    EXPECT_TRUE(IsEnabled(30429));
    EXPECT_TRUE(Run(30429));
    EXPECT_TRUE(Replay().GetLoop());
    actions.UpdateAll();
    EXPECT_TRUE(actions.Action(30429)->isChecked());
    EXPECT_TRUE(IsEnabled(30421));
    EXPECT_TRUE(Run(30423));
    EXPECT_EQ(Replay().GetSpeedFactor(), 100);
    EXPECT_EQ(FindControl<QComboBox>(frame, kReplaySpeedBox)->currentIndex(), 4) << "the speed combo follows";
    actions.UpdateAll();
    EXPECT_TRUE(actions.Action(30423)->isChecked());
    EXPECT_FALSE(actions.Action(30422)->isChecked());
}

TEST_F(GpsProgramTest, TrackParametersWriteGpsIni)
{
    ASSERT_TRUE(StartOn(DemoMapPath()));
    WithModal([&] { EXPECT_TRUE(Run(30416)); },
              [&](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 368);
                  FindControl<QCheckBox>(&dialog, 1015)->setChecked(true);
                  FindControl<QAbstractButton>(&dialog, IDOK)->click();
              });
    CIniFile ini(UserFile("GPS.ini"));
    ASSERT_TRUE(ini.Load());
    EXPECT_EQ(ini.GetInt("Track", "SaveTrack", 0), 1);
    EXPECT_EQ(ini.GetString("Track", "TrackFileName"), "Tracks\\Track0001.trk");
    EXPECT_TRUE(PathExists(UserFile("Tracks/Track0001.trk")));
}

TEST_F(GpsProgramTest, TrackStatisticsOfTheSelectedTrackLayer)
{
    ASSERT_TRUE(StartOn(DemoMapPath()));
    child->GetLegend()->SelectLayer(nullptr);
    EXPECT_TRUE(Run(30417));
    EXPECT_EQ(shown, std::vector<std::string>{LoadString(1119)});
    child->GetLegend()->SelectLayer(TrackLayer());
    std::string points;
    WithModal([&] { EXPECT_TRUE(Run(30417)); },
              [&](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 370);
                  points = FromQString(FindControl<QLabel>(&dialog, 1059)->text());
                  SaveScreenshot(dialog, "gps-370-demo-track");
              });
    CDbfTable table;
    ASSERT_TRUE(TrackLayer()->OpenTable(table));
    EXPECT_EQ(points, std::to_string(table.GetRecordCount()));
}

TEST_F(GpsProgramTest, TheRecordedTrackIsSavedAsALayer)
{
    // A town of its own: the new layer's file goes beside the map.
    CDemoOptions options;
    options.streets = 40;
    std::string error;
    ASSERT_TRUE(MakeDemoMap(dir.File("town/"), options, error)) << error;
    WriteWholeFile(UserFile("GPS.ini"), "[Track]\r\nSaveTrack=1\r\n");
    ASSERT_TRUE(StartOn(dir.File("town/") + CDemoMapWriter::kMapFile));
    ASSERT_TRUE(Run(30303));
    for (int i = 0; i < 3; ++i) {
        const CMapPoint p = GeoAt(0.5, 0.4 + 0.05 * i);
        port.fix.longitude = p.x;
        port.fix.latitude = p.y;
        port.fix.valid = true;
        port.fix.time = MakeUtcTime(2024, 5, 3, 9, 0, i);
        frame->PostMessage(WM_GPS_NEW_FIX, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return frame->Core().GetFix().latitude == p.y; }));
    }
    const int layers = Map().GetLayerCount();
    ASSERT_TRUE(IsEnabled(30629));
    answers = {IDYES};
    EXPECT_TRUE(Run(30629));
    ASSERT_EQ(Map().GetLayerCount(), layers + 1);
    CLayer* saved = nullptr;
    for (int i = 0; i < Map().GetLayerCount(); ++i)
        if (Map().GetLayer(i)->GetName().rfind("Track_", 0) == 0)
            saved = Map().GetLayer(i);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->GetType(), CLayer::kTrack);
    CDbfTable copy;
    ASSERT_TRUE(saved->OpenTable(copy));
    EXPECT_EQ(copy.GetRecordCount(), 3);
    CDbfTable recorded;
    ASSERT_TRUE(recorded.Open(UserFile("Tracks/Track0001.trk")));
    EXPECT_EQ(recorded.GetRecordCount(), 0) << "cleared when the user said yes";
}

} // namespace
