// The search part in the program: the object information window that the
// information tool fills, its links, and the dialogs it hands on.
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/DbfTable.h"
#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/QueryDialogs.h"
#include "mapdoc/SearchDialogs.h"
#include "mapdoc/ViewHost.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "shell/widgets/CommandActions.h"
#include "search/widgets/InfoListBox.h"
#include "search/widgets/ObjectInfoDlg.h"
#include "search/widgets/SearchInstall.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/mapdoc/SearchDialogsDouble.h"
#include "tests/search/LinkProgramsDouble.h"

#include <QMdiArea>
#include <QTest>

namespace {

using Texts = std::vector<std::string>;

// The program with its toolbars and the search part.
class ObjectInfoWindowTest : public CAppFixture {
protected:
    ObjectInfoWindowTest()
    {
        InstallMainFrameBars();
        InstallSearchDialogs(app);
    }
    ~ObjectInfoWindowTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        MainFrameHooks().makeObjectInfo = nullptr;
    }

    CMapFrame* MapWindow() const { return dynamic_cast<CMapFrame*>(frame->ActiveChild()); }
    CObjectInfoDlg* InfoWindow() const { return dynamic_cast<CObjectInfoDlg*>(frame->GetObjectInfoWindow()); }
    void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
    // Where the middle of a street's first stretch shows in the map view's widget.
    QPoint StreetPoint(CLayer& streets, int record)
    {
        CLayerReader reader;
        EXPECT_TRUE(reader.OpenLayer(&streets));
        CShape line;
        EXPECT_TRUE(reader.GetSource()->ReadShape(record, line));
        const CMapPoint& a = line.GetPoint(0);
        const CMapPoint& b = line.GetPoint(1);
        const CPoint client = MapWindow()->GetMapView()->MapToClient(CMapPoint((a.x + b.x) / 2, (a.y + b.y) / 2));
        const qreal ratio = MapWindow()->GetViewWidget()->devicePixelRatioF();
        return QPoint(static_cast<int>(client.x / ratio), static_cast<int>(client.y / ratio));
    }
    // The name a street's record shows in the window.
    static std::string StreetName(CLayer& streets, int record)
    {
        CLayerReader reader;
        EXPECT_TRUE(reader.OpenLayer(&streets));
        std::string name;
        reader.GetSource()->GetFieldText(record, reader.GetSource()->GetTable().FindField("PAVAD"), name);
        return name;
    }

    CRecordingLinkPrograms programs;
};

TEST_F(ObjectInfoWindowTest, TheInformationToolOnAStreetFillsTheWindow)
{
    ASSERT_TRUE(Start({DemoMapPath()}));
    CMapFrame* map = MapWindow();
    ASSERT_TRUE(map);
    Settle();
    CLayer* streets = frame->GetActiveMapDocument()->GetStreetsLayer();
    ASSERT_TRUE(streets);
    map->GetLegend()->SelectLayer(streets);
    ASSERT_TRUE(IsEnabled(30059));
    EXPECT_TRUE(Run(30059));
    EXPECT_FALSE(frame->GetObjectInfoWindow());

    QTest::mouseClick(map->GetViewWidget(), Qt::LeftButton, {}, StreetPoint(*streets, 3));
    Settle();
    CObjectInfoDlg* window = InfoWindow();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    // At the top-left corner of the map view.
    EXPECT_EQ(window->pos(), map->GetViewWidget()->mapToGlobal(QPoint(0, 0)));
    const CInfoLines& lines = window->List().Lines();
    ASSERT_GT(lines.GetCount(), 3);
    EXPECT_EQ(lines.GetFolder(), streets->GetDataFolder());
    bool named = false;
    for (const CInfoEntry& entry : lines.Entries())
        named |= CInfoLines::ValuePart(entry.text) == StreetName(*streets, 3);
    EXPECT_TRUE(named);
    EXPECT_TRUE(shown.empty());
    window->resize(420, 300);
    SaveScreenshot(*window, "object-info");

    // Another street: the same window, its lines replaced, where the user left it.
    window->move(window->pos() + QPoint(30, 20));
    const QPoint moved = window->pos();
    QTest::mouseClick(map->GetViewWidget(), Qt::LeftButton, {}, StreetPoint(*streets, 7));
    Settle();
    EXPECT_EQ(InfoWindow(), window);
    EXPECT_EQ(window->pos(), moved);
    named = false;
    for (const CInfoEntry& entry : window->List().Lines().Entries())
        named |= CInfoLines::ValuePart(entry.text) == StreetName(*streets, 7);
    EXPECT_TRUE(named);

    // Closed by the map's code it is gone, and made anew at its corner.
    ViewHost().CloseObjectInfo();
    FlushDeletes();
    EXPECT_FALSE(frame->GetObjectInfoWindow());
    ViewHost().ShowObjectInfo({"KODAS\t5", "Planas\tnera.pdf"}, streets->GetDataFolder());
    ASSERT_TRUE(InfoWindow());
    EXPECT_EQ(InfoWindow()->pos(), map->GetViewWidget()->mapToGlobal(QPoint(0, 0)));
    ASSERT_EQ(InfoWindow()->List().count(), 2);

    // A link to a file that is not there: said so; the window and the map stay.
    const CMapRect extent = map->GetMapView()->GetMapExtent();
    InfoWindow()->List().setCurrentRow(1);
    EXPECT_TRUE(InfoWindow()->List().Actions().Execute(CInfoListBox::kCmdOpenLink));
    EXPECT_EQ(shown, Texts{LoadString(1037)});
    EXPECT_TRUE(programs.log.empty());
    EXPECT_EQ(InfoWindow()->List().count(), 2);
    EXPECT_EQ(MapDocuments().size(), 1u);
    EXPECT_EQ(map->GetMapView()->GetMapExtent(), extent);
}

TEST_F(ObjectInfoWindowTest, WithoutAMapWindowTheWindowIsCentred)
{
    ASSERT_TRUE(Start());
    ViewHost().ShowObjectInfo({"PAVAD\tSodo g.", "Planas\tplanas.pdf"}, "/maps/");
    CObjectInfoDlg* window = InfoWindow();
    ASSERT_TRUE(window);
    // Its frame placed so that its middle is the main window's.
    EXPECT_EQ(window->pos() + window->rect().center(), frame->geometry().center());
    EXPECT_EQ(window->List().Lines().GetFolder(), "/maps/");
}

TEST_F(ObjectInfoWindowTest, ALinkedMapOpensFromALinkAndFromCtrlDoubleClick)
{
    // A detail map: a small town whose limits are a corner of the demo town's.
    CTempDir detailFolder;
    CDemoOptions options;
    options.streets = 12;
    std::string error;
    ASSERT_TRUE(MakeDemoMap(detailFolder.Path(), options, error)) << error;
    const std::string detail = detailFolder.File(CDemoMapWriter::kMapFile);
    ASSERT_TRUE(Start({DemoMapPath()}));
    Settle();
    const CMapRect limits = frame->GetActiveMapDocument()->Settings().limits;
    ASSERT_TRUE(limits.IsValid());
    const CMapPoint corner(limits.left + limits.Width() / 8, limits.bottom + limits.Height() / 8);
    CIniFile ini(CDrelDoc::GetSettingsFilePath(detail));
    ASSERT_TRUE(ini.Load());
    ini.SetString("Map", "Limits",
                  FormatC("%.15g %.15g %.15g %.15g", limits.left, limits.bottom + limits.Height() / 4,
                          limits.left + limits.Width() / 4, limits.bottom));
    ASSERT_TRUE(ini.Save());
    WriteLink("detail.mln", "Detail", detail);
    app.MapLinks().LoadMapLinks();

    // Ctrl + double click in the town's corner opens it.
    CMapFrame* map = MapWindow();
    ASSERT_TRUE(map);
    EXPECT_TRUE(Run(30057)); // the hand: a click moves nothing
    const CPoint client = map->GetMapView()->MapToClient(corner);
    const qreal ratio = map->GetViewWidget()->devicePixelRatioF();
    const QPoint at(static_cast<int>(client.x / ratio), static_cast<int>(client.y / ratio));
    QTest::mouseClick(map->GetViewWidget(), Qt::LeftButton, Qt::ControlModifier, at);
    QTest::mouseDClick(map->GetViewWidget(), Qt::LeftButton, Qt::ControlModifier, at);
    Settle();
    ASSERT_EQ(MapDocuments().size(), 2u);
    EXPECT_EQ(ResolvePath(frame->GetActiveMapDocument()->GetPathName()), ResolvePath(detail));
    EXPECT_TRUE(shown.empty());

    // A ".map" value opens its map through the program's documents.
    app.DocManager().CloseAllDocuments();
    SetLinkPrograms(nullptr);
    EXPECT_EQ(OpenAttributeLink("demo.map", detailFolder.Path(), false, LinkPrograms()), 0);
    SetLinkPrograms(&programs);
    ASSERT_EQ(MapDocuments().size(), 1u);
    EXPECT_EQ(ResolvePath(frame->GetActiveMapDocument()->GetPathName()), ResolvePath(detail));
}

TEST_F(ObjectInfoWindowTest, WhatTheSearchPartDoesNotOpenGoesToWhatWasInstalledBefore)
{
    // Another part's dialogs, installed before the search part's.
    struct CLayerFiles : IQueryDialogs {
        bool ChooseLayerFile(CLayer&) override
        {
            ++asked;
            return true;
        }
        int asked = 0;
    } layerFiles;
    CScriptedSearchDialogs before;
    before.chosenText = 1;
    SetQueryDialogs(&layerFiles);
    InstallSearchDialogs(app);
    InstallSearchDialogs(app); // twice changes nothing
    EXPECT_NE(&SearchDialogs(), &before);
    CLayer layer("Keliai", "keliai.gdb", CLayer::kLine);
    CDbfTable placemarks;
    // The placemark form is the search part's own: closed, nothing edited.
    bool edited = true;
    WithModal([&] { edited = SearchDialogs().EditPlacemark(placemarks, layer); }, [](QWidget&) {});
    EXPECT_FALSE(edited);
    EXPECT_TRUE(before.editedRecords.empty());
    // The name choice is the search part's own: closed, nothing chosen.
    int chosen = 0;
    WithModal([&] { chosen = SearchDialogs().ChooseText({"a", "b"}); },
              [](QWidget& choice) { EXPECT_EQ(GetControlId(&choice), 30776); });
    EXPECT_EQ(chosen, -1);
    EXPECT_TRUE(before.choices.empty());
    EXPECT_TRUE(QueryDialogs().ChooseLayerFile(layer));
    EXPECT_EQ(layerFiles.asked, 1);
    SetQueryDialogs(nullptr);
    SetSearchDialogs(nullptr);
}

} // namespace
