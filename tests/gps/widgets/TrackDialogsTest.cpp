// The track parameters (368) and track statistics (370) dialogs, offscreen,
// their controls found by id.

#include "gps/GpsContext.h"
#include "gps/GpsReceiverPort.h"
#include "gps/widgets/TrackParamsDlg.h"
#include "gps/widgets/TrackStatisticsDlg.h"
#include "layers/Layer.h"
#include "platform/IniFile.h"
#include "platform/QtText.h"
#include "shell/widgets/ControlIds.h"
#include "tests/gps/TrackTestSupport.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <numbers>

namespace {

double NorthMetres(double metres)
{
    return metres / 6385543.0 * 180 / std::numbers::pi;
}

class TrackDialogsTest : public ::testing::Test, protected CWithApplication {
protected:
    TrackDialogsTest() { gps.Recorder().SetClock([this] { return clock++; }); }
    ~TrackDialogsTest() override { CTrackParamsDlg::SetFilePicker(nullptr); }

    template <class T = QWidget>
    static T* Control(QWidget& dialog, int id)
    {
        T* control = FindControl<T>(&dialog, id);
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    static std::string Text(QWidget& dialog, int id)
    {
        if (auto* edit = FindControl<QLineEdit>(&dialog, id))
            return FromQString(edit->text());
        auto* label = Control<QLabel>(dialog, id);
        return label ? FromQString(label->text()) : std::string();
    }
    static void Click(QWidget& dialog, int id)
    {
        if (auto* button = Control<QAbstractButton>(dialog, id))
            button->click();
    }
    // A track file of so many records.
    std::string TrackOf(const std::string& name, int records)
    {
        const std::string path = folders.User(name);
        CTrackRecorder::InitTrackLayerFile(path);
        CDbfTable table;
        table.Open(path);
        for (int i = 0; i < records; ++i) {
            table.AppendBlank();
            table.WriteRecord();
        }
        return path;
    }

    CGpsFolders folders;
    CScriptedUserServices user;
    CGpsReceiverPort receiver;
    CGpsContext gps{&receiver};
    int64_t clock = 0;
};

TEST_F(TrackDialogsTest, StatisticsShowTheFiguresInTheirFormats)
{
    CTripStatistics trip;
    trip.AddPoint(25, 54, 0, 30);
    trip.AddPoint(25, 54 + NorthMetres(1500), 3725, 3);
    CTrackStatisticsDlg dialog(trip);
    dialog.show();
    const std::vector<std::string> expected = {"2",        "1.50 km",  "01:02:05", "00:00:00",
                                               "01:02:05", "1.4 km/h", "0.0 km/h", "30.0 km/h"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Text(dialog, 1059 + i), expected[static_cast<size_t>(i)]) << 1059 + i;
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Trasos statistika"));
    SaveScreenshot(dialog, "gps-370-track-statistics");
}

TEST_F(TrackDialogsTest, StatisticsOfATableWithoutTheirFieldsShowNothing)
{
    const std::string path = folders.User("be_greicio.trk");
    ASSERT_TRUE(WriteTable(path, {{"Lon", 'N', 13, 8}, {"Lat", 'N', 13, 8}, {"Date", 'C', 10, 0}, {"Time", 'C', 8, 0}},
                           {{"25", "54", "2005.06.17", "08:00:00"}}));
    EXPECT_FALSE(ShowTrackStatistics(CLayer("trasa", path, CLayer::kTrack)));
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(TrackDialogsTest, ParametersShowTheSettingsInTheirLists)
{
    folders.WriteTrackSettings("SaveTrack=1\r\nShowTrack=0\r\nSkipInvalidData=0\r\nMinPeriod=3\r\nMinDistance=2\r\n"
                               "MaxPoints=1\r\nTrackFileName=Keliones\\a.trk\r\n");
    receiver.Receiver().SetWriteToLog(false);
    CTrackParamsDlg dialog(gps);
    dialog.show();
    struct List {
        int id;
        int selected;
        std::vector<const char*> texts;
    };
    const List lists[] = {
        {1012, 3, {"Nėra", "2 sekundės", "5 sekundės", "10 sekundžių", "30 sekundžių", "1 minutė", "5 minutės",
                   "10 minučių"}},
        {1021, 2, {"Nėra", "5 m", "10 m", "20 m", "50 m", "100 m", "500 m", "1000 m"}},
        {1022, 1, {"5", "10", "50", "100", "1000", "10000"}},
    };
    for (const List& list : lists) {
        auto* combo = Control<QComboBox>(dialog, list.id);
        ASSERT_TRUE(combo);
        QStringList texts;
        for (const char* text : list.texts)
            texts.append(QString::fromUtf8(text));
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
        EXPECT_EQ(items, texts) << list.id;
        EXPECT_EQ(combo->currentIndex(), list.selected) << list.id;
    }
    const std::pair<int, bool> checks[] = {{1015, true}, {1016, false}, {1065, false}, {1069, false}};
    for (const auto& [id, checked] : checks)
        EXPECT_EQ(Control<QCheckBox>(dialog, id)->isChecked(), checked) << id;
    EXPECT_TRUE(EqualPathsNoCase(Text(dialog, 1017), folders.User("Keliones\\a.trk"))) << Text(dialog, 1017);
    SaveScreenshot(dialog, "gps-368-track-parameters");
}

TEST_F(TrackDialogsTest, OkWritesTheSevenKeysAndFitsTheTrail)
{
    for (int i = 0; i < 100; ++i)
        gps.Recorder().RecordTrackFix(MakeFix(25 + i * 1e-4, 54));
    ASSERT_EQ(gps.Recorder().Trail().size(), 100u);
    CTrackParamsDlg dialog(gps);
    dialog.show();
    Control<QCheckBox>(dialog, 1015)->setChecked(true);
    Control<QCheckBox>(dialog, 1065)->setChecked(false);
    Control<QCheckBox>(dialog, 1069)->setChecked(false);
    Control<QComboBox>(dialog, 1012)->setCurrentIndex(7);
    Control<QComboBox>(dialog, 1021)->setCurrentIndex(4);
    Control<QComboBox>(dialog, 1022)->setCurrentIndex(0);
    Control<QLineEdit>(dialog, 1017)->setText(ToQString(folders.User("Keliones/birzelis.trk")));
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);

    CIniFile ini(folders.User("GPS.ini"));
    ASSERT_TRUE(ini.Load());
    const std::vector<std::pair<std::string, std::string>> keys = {
        {"SaveTrack", "1"}, {"TrackFileName", "Keliones\\birzelis.trk"}, {"MinPeriod", "7"}, {"MinDistance", "4"},
        {"SkipInvalidData", "0"}, {"ShowTrack", "1"}, {"MaxPoints", "0"}};
    EXPECT_EQ(ini.SectionEntries("Track"), keys);
    EXPECT_EQ(gps.Recorder().Trail().size(), 5u);
    EXPECT_TRUE(PathExists(folders.User("Keliones/birzelis.trk"))) << "saving on makes the file";
    EXPECT_FALSE(receiver.Receiver().GetWriteToLog());
}

TEST_F(TrackDialogsTest, ANewFileReplacesAnExistingOneOnlyWhenAskedAndOnOk)
{
    const std::string old = TrackOf("senas.trk", 2);
    CTrackParamsDlg::SetFilePicker([&old](std::string& path) {
        path = old;
        return true;
    });
    {
        CTrackParamsDlg dialog(gps);
        dialog.show();
        const std::string before = Text(dialog, 1017);
        user.answers = {IDNO};
        Click(dialog, 1055);
        EXPECT_EQ(user.messages.size(), 1u) << "asked before replacing";
        EXPECT_EQ(Text(dialog, 1017), before);
        user.answers = {IDYES};
        Click(dialog, 1055);
        EXPECT_EQ(Text(dialog, 1017), old);
        EXPECT_EQ(ReadTrackRows(old).size(), 2u) << "nothing goes before OK";
        Click(dialog, IDCANCEL);
        EXPECT_EQ(ReadTrackRows(old).size(), 2u) << "nor after Cancel";
    }
    CTrackParamsDlg dialog(gps);
    dialog.show();
    user.answers = {IDYES};
    Click(dialog, 1055);
    Click(dialog, IDOK);
    EXPECT_TRUE(PathExists(old));
    EXPECT_TRUE(ReadTrackRows(old).empty()) << "replaced by an empty track file";
    EXPECT_TRUE(EqualPathsNoCase(gps.Recorder().Settings().TrackFilePath(), old));
}

TEST_F(TrackDialogsTest, ClearEmptiesTheFileAfterAsking)
{
    folders.WriteTrackSettings("TrackFileName=valyti.trk\r\n");
    const std::string path = TrackOf("valyti.trk", 3);
    CTrackParamsDlg dialog(gps);
    dialog.show();
    user.answers = {IDNO, IDYES};
    Click(dialog, 1056);
    EXPECT_EQ(ReadTrackRows(path).size(), 3u);
    Click(dialog, 1056);
    EXPECT_TRUE(ReadTrackRows(path).empty());
    EXPECT_EQ(user.MessageIds(), (std::vector<unsigned>{2026, 2026}));
    Click(dialog, IDCANCEL);
}

} // namespace
