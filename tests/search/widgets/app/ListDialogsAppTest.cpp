// The object list, the address search, the places manager, the place
// name and the coordinate format in the program over the demo town.
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/QtText.h"
#include "search/ObjectList.h"
#include "search/StreetSearch.h"
#include "search/widgets/SearchInstall.h"
#include "shell/ToolbarBoxes.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/search/widgets/ModalAnswers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cstdlib>
#include <utility>

namespace {

constexpr int kCmdFindStreet = 30019;
constexpr int kCmdObjectList = 30067;
constexpr int kCmdNewLayer = 30069;
constexpr int kCmdRememberPlace = 30489;
constexpr int kCmdPlaces = 30490;

class ListDialogsAppTest : public CAppFixture {
protected:
    ListDialogsAppTest()
    {
        InstallMainFrameBars();
        InstallSearchDialogs(app);
        CObjectList::Options() = {};
        CStreetSearch::Options() = {};
        CDemoOptions options;
        options.streets = 40;
        std::string error;
        EXPECT_TRUE(MakeDemoMap(mapDir.Path(), options, error)) << error;
    }
    ~ListDialogsAppTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        MainFrameHooks().makeObjectInfo = nullptr;
        CMapFrame::Hooks().frame.document.newLayer = nullptr;
        CObjectList::Options() = {};
        CStreetSearch::Options() = {};
    }

    CMapFrame* MapWindow() const { return dynamic_cast<CMapFrame*>(frame->ActiveChild()); }
    CDrelView& View() const { return *MapWindow()->GetMapView(); }
    CDrelDoc& Document() const { return *frame->GetActiveMapDocument(); }
    static void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
    bool StartOnCopy()
    {
        if (!Start({mapDir.File(CDemoMapWriter::kMapFile)}) || !MapWindow())
            return false;
        Settle();
        frame->Actions().UpdateToolbarItems();
        return true;
    }
    QComboBox* PlacesBox() const { return FindControl<QComboBox>(frame, kPlacesBox); }
    // The name of the streets layer's first street and a house number on
    // it from the addresses layer; empty when there is none.
    std::pair<std::string, std::string> StreetAndHouse() const
    {
        CDrelDoc& document = Document();
        CLayer* streets = document.GetStreetsLayer();
        CLayer* addresses = document.GetAddressesLayer();
        CDbfTable table, houses;
        if (!streets || !addresses || !streets->OpenTable(table) || !table.GoToRecord(0) ||
            !addresses->OpenTable(houses))
            return {};
        std::string name, code, number;
        table.GetFieldString(table.FindField(streets->GetIdField()), name);
        const int64_t street = document.GetStreetCode(0);
        const int codeField = houses.FindField(document.Settings().streetCodeField);
        const int numField = houses.FindField(document.Settings().numField);
        for (int n = 0; n < houses.GetRecordCount(); ++n) {
            if (!houses.GoToRecord(n) || !houses.GetFieldString(codeField, code) ||
                std::atoll(code.c_str()) != street)
                continue;
            houses.GetFieldString(numField, number);
            const size_t first = number.find_first_not_of(' ');
            const size_t last = number.find_last_not_of(' ');
            return {name, first == std::string::npos ? "" : number.substr(first, last - first + 1)};
        }
        return {};
    }

    CTempDir mapDir;
};

TEST_F(ListDialogsAppTest, TheObjectListOfTheStreetsLayerMarksTheStreet)
{
    ASSERT_TRUE(StartOnCopy());
    CLayer* streets = Document().GetStreetsLayer();
    ASSERT_TRUE(streets);
    MapWindow()->GetLegend()->SelectLayer(streets);
    ASSERT_TRUE(IsEnabled(kCmdObjectList));
    View().ClearOverlays();
    AnswerModals([&] { EXPECT_TRUE(Run(kCmdObjectList)); },
                 {[&](QWidget& dialog) {
                     EXPECT_EQ(GetControlId(&dialog), 134);
                     auto* names = In<QComboBox>(dialog, 1012);
                     ASSERT_TRUE(names && names->count() > 1);
                     names->setCurrentIndex(1);
                     SaveScreenshot(dialog, "search-app-134-object-list");
                     QTest::mouseClick(In<QPushButton>(dialog, IDOK), Qt::LeftButton);
                 }});
    Settle();
    EXPECT_GT(View().GetOverlayCount(), 0);
    EXPECT_TRUE(shown.empty());
}

TEST_F(ListDialogsAppTest, TheStreetSearchShowsATypedHouse)
{
    ASSERT_TRUE(StartOnCopy());
    ASSERT_TRUE(IsEnabled(kCmdFindStreet));
    const auto [street, house] = StreetAndHouse();
    ASSERT_FALSE(house.empty());
    View().ClearOverlays();
    AnswerModals([&] { EXPECT_TRUE(Run(kCmdFindStreet)); },
                 {[&](QWidget& dialog) {
                     EXPECT_EQ(GetControlId(&dialog), 30724);
                     auto* streets = In<QComboBox>(dialog, 1012);
                     ASSERT_TRUE(streets);
                     streets->setEditText(ToQString(street));
                     In<QLineEdit>(dialog, 1017)->setText(ToQString(house));
                     SaveScreenshot(dialog, "search-app-30724-address-search");
                     auto* ok = In<QPushButton>(dialog, IDOK);
                     EXPECT_TRUE(ok->isEnabled());
                     QTest::mouseClick(ok, Qt::LeftButton);
                 }});
    Settle();
    EXPECT_EQ(View().GetOverlayCount(), 2) << "the house's marker and label";
    EXPECT_TRUE(shown.empty());
}

TEST_F(ListDialogsAppTest, ThePlacesManagerListsTheMapsPlacesAndRemovesOne)
{
    ASSERT_TRUE(StartOnCopy());
    ASSERT_TRUE(IsEnabled(kCmdPlaces));
    ASSERT_EQ(Document().GetBookmarkCount(), 4);
    ASSERT_TRUE(PlacesBox());
    ASSERT_EQ(PlacesBox()->count(), 4);
    const std::string removed = Document().GetBookmarkName(0);
    AnswerModals([&] { EXPECT_TRUE(Run(kCmdPlaces)); },
                 {[&](QWidget& dialog) {
                     EXPECT_EQ(GetControlId(&dialog), 389);
                     auto* list = In<QListWidget>(dialog, 1014);
                     ASSERT_TRUE(list);
                     EXPECT_EQ(list->count(), 4);
                     list->setCurrentRow(0);
                     SaveScreenshot(dialog, "search-app-389-places");
                     QTest::mouseClick(In<QPushButton>(dialog, 1055), Qt::LeftButton);
                     EXPECT_EQ(list->count(), 3);
                     QTest::mouseClick(In<QPushButton>(dialog, IDCANCEL), Qt::LeftButton);
                 }});
    Settle();
    EXPECT_EQ(Document().GetBookmarkCount(), 3);
    EXPECT_EQ(PlacesBox()->count(), 3);
    EXPECT_EQ(PlacesBox()->findText(ToQString(removed)), -1);
    EXPECT_TRUE(Document().IsModified());
}

TEST_F(ListDialogsAppTest, ARememberedPlaceTakesTheTypedName)
{
    ASSERT_TRUE(StartOnCopy());
    ASSERT_TRUE(IsEnabled(kCmdRememberPlace));
    AnswerModals([&] { EXPECT_TRUE(Run(kCmdRememberPlace)); },
                 {[&](QWidget& dialog) {
                     EXPECT_EQ(GetControlId(&dialog), 30812);
                     In<QLineEdit>(dialog, 1004)->setText(QString::fromUtf8("Turgus"));
                     SaveScreenshot(dialog, "search-app-30812-place-name");
                     QTest::mouseClick(In<QPushButton>(dialog, IDOK), Qt::LeftButton);
                 }});
    ASSERT_EQ(Document().GetBookmarkCount(), 5);
    EXPECT_EQ(Document().GetBookmarkName(4), "Turgus");
    EXPECT_EQ(PlacesBox()->count(), 5);
}

TEST_F(ListDialogsAppTest, ANewTableLayerAsksTheCoordinateFormat)
{
    // Scripted before the map window takes up the hooks.
    const std::string path = mapDir.File("taskai.dbf");
    CMapFrame::Hooks().frame.document.newLayer = [&path](CDrelDoc&, std::string& name, std::string& file, int& type,
                                                         CNewLayerOptions&) {
        name = "Taskai";
        file = path;
        type = CLayer::kPoint;
        return true;
    };
    ASSERT_TRUE(StartOnCopy());
    ASSERT_TRUE(IsEnabled(kCmdNewLayer));
    AnswerModals([&] { EXPECT_TRUE(Run(kCmdNewLayer)); },
                 {[&](QWidget& dialog) {
                     EXPECT_EQ(GetControlId(&dialog), 30800);
                     In<QRadioButton>(dialog, 1026)->setChecked(true);
                     SaveScreenshot(dialog, "search-app-30800-coordinate-format");
                     QTest::mouseClick(In<QPushButton>(dialog, IDOK), Qt::LeftButton);
                 }});
    CLayer* layer = Document().Layers().FindByName("Taskai");
    ASSERT_TRUE(layer);
    CDbfTable table;
    ASSERT_TRUE(table.Open(path));
    const int lon = table.FindField("Lon");
    ASSERT_GE(lon, 0);
    EXPECT_EQ(table.GetFieldType(lon), 'N');
}

} // namespace
