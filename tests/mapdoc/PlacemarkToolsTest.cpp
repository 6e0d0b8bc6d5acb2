// The placemark layer of a map and the four placemark tools, on a view of
// known transform: 400 x 200 pixels over 2000 x 1000 metres, five metres a
// pixel, so map (500, 500) is pixel (100, 100).
#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/LonLatTableSource.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/PlacemarkTools.h"
#include "platform/WindowSurface.h"
#include "render/SymbolLibrary.h"
#include "tests/mapdoc/DocTestSupport.h"
#include "tests/mapdoc/SearchDialogsDouble.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>

#include <memory>
#include <string>
#include <vector>

namespace {

class CRepaintWindow : public CRecordingWindow {
public:
    CWindowSurface* GetSurface() override { return &surface; }
    void InvalidateRect(const CRect& rect) override { rects.push_back(rect); }
    CWindowSurface surface{400, 200, 96};
    std::vector<CRect> rects;
};

// The live records of the placemark file: their NAME, SYMBOL and point.
struct Placemark {
    std::string name;
    std::string symbol;
    CMapPoint point;
};

class PlacemarkTools : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        SetMetreMap(doc, CMapRect(0, 1000, 2000, 0));
        doc.SetPathName(dir.File("miestas.map"));
        view.SetWindow(&window);
        view.OnSize(400, 200);
        view.ZoomToRect(CMapRect(0, 1000, 2000, 0), 0);
    }

    std::vector<Placemark> Placemarks(const std::string& file = "MyWpt.dbf")
    {
        std::vector<Placemark> found;
        CLonLatTableSource source;
        if (!source.Open(dir.File(file)))
            return found;
        CMapPoint p;
        while (source.ReadNextPoint(p)) {
            CDbfTable& table = source.GetTable();
            Placemark mark{"", "", p};
            table.GetFieldString(table.FindField("NAME"), mark.name);
            table.GetFieldString(table.FindField("SYMBOL"), mark.symbol);
            found.push_back(mark);
        }
        return found;
    }

    int Click(int mode, int x, int y)
    {
        if (!tool || currentMode != mode) {
            tool = MakePlacemarkTool(view, mode);
            currentMode = mode;
        }
        return tool->OnLButtonDown(0, x, y);
    }

    CCallLog calls;
    CRecordingHost host{calls};
    CScriptedUserServices user;
    CScriptedSearchDialogs dialogs;
    CRepaintWindow window;
    CTempDir dir;
    CDrelDoc doc;
    CDrelView view{doc};
    std::unique_ptr<CMapTool> tool;
    int currentMode = -1;
};

TEST_F(PlacemarkTools, ANewLayerIsMadeInTheMapFolder)
{
    CHintRecorder hints(doc);
    CLayer* layer = doc.GetPlacemarksLayer();
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->GetName(), "My Placemarks");
    EXPECT_EQ(layer->GetPath(), dir.File("MyWpt.dbf"));
    EXPECT_EQ(layer->GetIdField(), "NAME");
    EXPECT_EQ(doc.Settings().placemarksLayer, "My Placemarks");
    EXPECT_TRUE(doc.HasPlacemarksLayer());
    EXPECT_EQ(hints.hints, std::vector<uint32_t>{MakeHint(0, kHintLayerAdded)});

    CDbfTable table;
    ASSERT_TRUE(table.Open(dir.File("MyWpt.dbf")));
    const std::vector<CDbfFieldInfo> fields = table.GetFieldInfos();
    ASSERT_EQ(fields.size(), 6u);
    const char* names[] = {"NAME", "DESCR", "LON", "LAT", "SYMBOL"};
    const char types[] = {'C', 'C', 'N', 'N', 'N'};
    const int lengths[] = {30, 100, 13, 13, 8};
    const int decimals[] = {0, 0, 8, 8, 0};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_STREQ(fields[i].name, names[i]);
        EXPECT_EQ(fields[i].type, types[i]);
        EXPECT_EQ(fields[i].length, lengths[i]);
        EXPECT_EQ(fields[i].decimals, decimals[i]);
    }

    const CSublayer* sublayer = layer->GetSublayer(0);
    ASSERT_TRUE(sublayer);
    EXPECT_EQ(sublayer->m_kind, CSublayer::kClassified);
    EXPECT_EQ(sublayer->m_classField, "SYMBOL");
    const CThemeClassList& classes = sublayer->m_classes;
    ASSERT_EQ(classes.GetCount(), SymbolLibrary().GetSymbolCount() + 1);
    for (int i = 0; i + 1 < classes.GetCount(); ++i) {
        const auto* c = dynamic_cast<const CThemeNumberClass*>(classes.GetClass(i));
        ASSERT_TRUE(c);
        EXPECT_EQ(c->m_value, SymbolLibrary().GetSymbolId(i));
        EXPECT_EQ(c->m_style.Point().symbol, SymbolLibrary().GetSymbolId(i));
    }
    EXPECT_EQ(classes.GetClass(classes.GetCount() - 1)->m_style.Point().symbol, 0);

    // Found again, not made again.
    EXPECT_EQ(doc.GetPlacemarksLayer(), layer);
    EXPECT_EQ(doc.GetLayerCount(), 1);
}

TEST_F(PlacemarkTools, AnotherFileWhenMyWptIsTakenNoneBesideAForeignMyPlacemarks)
{
    WriteWholeFile(dir.File("MyWpt.dbf"), "someone else's");
    doc.Settings().placemarksLayer = "Taskai";
    CLayer* layer = doc.GetPlacemarksLayer();
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->GetName(), "Taskai");
    EXPECT_EQ(layer->GetPath(), dir.File("MyWpt_2.dbf"));

    CDrelDoc other;
    other.SetPathName(dir.File("kitas.map"));
    other.AddLayer(std::make_unique<CLayer>("My Placemarks", dir.File("keliai.gdb"), CLayer::kLine), false);
    EXPECT_EQ(other.GetPlacemarksLayer(), nullptr);
    EXPECT_EQ(other.GetLayerCount(), 1);
    EXPECT_FALSE(other.HasPlacemarksLayer());

    // A point ".dbf" layer of that name is taken and named in the settings.
    CDrelDoc third;
    third.SetPathName(dir.File("trecias.map"));
    third.AddLayer(std::make_unique<CLayer>("My Placemarks", dir.File("MyWpt.dbf"), CLayer::kPoint), false);
    EXPECT_EQ(third.GetPlacemarksLayer(), third.GetLayer(0));
    EXPECT_EQ(third.Settings().placemarksLayer, "My Placemarks");
    EXPECT_TRUE(third.IsModified());
}

TEST_F(PlacemarkTools, AddingWritesTheRecordCancelLeavesNothing)
{
    CHintRecorder hints(doc);
    dialogs.description = "Namai";
    ASSERT_TRUE(doc.AddPlacemark(CMapPoint(500, 500)));
    std::vector<Placemark> marks = Placemarks();
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].name, "2"); // the record count after the append, plus one
    EXPECT_EQ(marks[0].symbol, "-1");
    EXPECT_DOUBLE_EQ(marks[0].point.x, 500);
    EXPECT_EQ(hints.hints.back(), static_cast<uint32_t>(kHintRedraw));

    dialogs.acceptPlacemark = false;
    hints.hints.clear();
    EXPECT_FALSE(doc.AddPlacemark(CMapPoint(700, 700)));
    EXPECT_EQ(Placemarks().size(), 1u);
    EXPECT_TRUE(hints.hints.empty());
    // The file is closed again: it can be written by the next one.
    dialogs.acceptPlacemark = true;
    EXPECT_TRUE(doc.AddPlacemarkAt(CMapPoint(25.3, 54.7)));
    marks = Placemarks();
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_DOUBLE_EQ(marks[1].point.y, 54.7);
}

TEST_F(PlacemarkTools, TheAddToolRepaintsTheSquareOfALibrarySymbolElseTheView)
{
    ASSERT_TRUE(doc.GetPlacemarksLayer());
    std::vector<size_t> repaintsWhileEditing;
    std::vector<int> viewRepaintsWhileEditing;
    dialogs.whileEditing = [&] {
        repaintsWhileEditing.push_back(window.rects.size());
        viewRepaintsWhileEditing.push_back(window.invalidations);
    };
    const int before = window.invalidations;
    Click(24, 200, 100);
    ASSERT_EQ(Placemarks().size(), 1u);
    EXPECT_NEAR(Placemarks()[0].point.x, 1000, 5);
    ASSERT_EQ(repaintsWhileEditing, std::vector<size_t>{1});
    EXPECT_EQ(window.rects[0], CRect(184, 84, 216, 116));
    EXPECT_EQ(viewRepaintsWhileEditing, std::vector<int>{before});

    // A font character in the style: the whole view, before the dialog and after the cancel.
    CSublayer* sublayer = doc.GetPlacemarksLayer()->GetSublayer(0);
    CThemeClass* last = sublayer->m_classes.GetClass(sublayer->m_classes.GetCount() - 1);
    CPointStyle style = last->m_style.Point();
    style.kind = CPointStyle::kFontCharacter;
    last->m_style = CStyleRecord(style);
    dialogs.acceptPlacemark = false;
    const size_t rects = window.rects.size();
    const int second = window.invalidations;
    Click(24, 100, 50);
    EXPECT_EQ(viewRepaintsWhileEditing.back(), second + 1);
    EXPECT_EQ(window.invalidations, second + 2);
    EXPECT_EQ(window.rects.size(), rects);
    EXPECT_EQ(Placemarks().size(), 1u);
}

TEST_F(PlacemarkTools, TheNewPlacemarksSymbolShowsWhileItsDialogIsOpen)
{
    ASSERT_TRUE(doc.GetPlacemarksLayer());
    QImage whileOpen;
    dialogs.whileEditing = [&] {
        window.surface.Image().fill(Qt::white);
        std::unique_ptr<CDC> dc = view.OpenWindowDC();
        view.PrepareDCMapping(*dc);
        tool->DrawFinal(*dc);
        whileOpen = window.surface.Image().copy();
    };
    Click(24, 200, 100);
    ASSERT_FALSE(whileOpen.isNull());
    if (const char* keep = std::getenv("DREL_KEEP_PICTURES"))
        whileOpen.save(QString::fromUtf8(keep) + "/placemark-while-open.png");
    int ink = 0, inkFar = 0;
    for (int y = 0; y < whileOpen.height(); ++y)
        for (int x = 0; x < whileOpen.width(); ++x)
            if (whileOpen.pixel(x, y) != qRgb(255, 255, 255))
                ++(std::abs(x - 200) <= 16 && std::abs(y - 100) <= 16 ? ink : inkFar);
    EXPECT_GT(ink, 10);
    EXPECT_EQ(inkFar, 0);
    // Once the dialog is done the tool draws nothing more.
    window.surface.Image().fill(Qt::white);
    std::unique_ptr<CDC> dc = view.OpenWindowDC();
    view.PrepareDCMapping(*dc);
    tool->DrawFinal(*dc);
    EXPECT_EQ(window.surface.Image().pixel(200, 100), qRgb(255, 255, 255));
}

TEST_F(PlacemarkTools, DeleteAskedWithNoLeavesNoMarker)
{
    ASSERT_TRUE(doc.AddPlacemark(CMapPoint(500, 500)));
    user.answers = {IDNO};
    Click(25, 101, 99);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{2024});
    EXPECT_EQ(view.GetOverlayCount(), 0);
    EXPECT_EQ(Placemarks().size(), 1u);

    CHintRecorder hints(doc);
    user.answers = {IDYES};
    Click(25, 101, 99);
    EXPECT_EQ(view.GetOverlayCount(), 0);
    EXPECT_TRUE(Placemarks().empty());
    EXPECT_EQ(hints.hints, std::vector<uint32_t>{kHintRedraw});
}

TEST_F(PlacemarkTools, MovePicksNothingOnEmptyMapThenPicksThenMoves)
{
    ASSERT_TRUE(doc.AddPlacemark(CMapPoint(500, 500)));
    Click(26, 300, 20);
    auto* move = static_cast<CMovePlacemarkTool*>(tool.get());
    EXPECT_EQ(move->GetPickedRecord(), -1);
    EXPECT_EQ(view.GetOverlayCount(), 0);
    Click(26, 100, 100);
    EXPECT_EQ(move->GetPickedRecord(), 0);
    EXPECT_EQ(view.GetOverlayCount(), 1);
    Click(26, 200, 150);
    EXPECT_EQ(move->GetPickedRecord(), -1);
    EXPECT_EQ(view.GetOverlayCount(), 0);
    const std::vector<Placemark> marks = Placemarks();
    ASSERT_EQ(marks.size(), 1u);
    const CMapPoint there = view.ClientToMap(200, 150);
    EXPECT_NEAR(marks[0].point.x, there.x, 1e-6);
    EXPECT_NEAR(marks[0].point.y, there.y, 1e-6);
}

TEST_F(PlacemarkTools, EditWritesWhatTheDialogAccepted)
{
    ASSERT_TRUE(doc.AddPlacemark(CMapPoint(500, 500)));
    dialogs.description = "Parduotuve";
    Click(27, 100, 100);
    EXPECT_EQ(dialogs.editedRecords, (std::vector<int>{0, 0}));
    EXPECT_EQ(view.GetOverlayCount(), 0);
    CDbfTable table;
    ASSERT_TRUE(table.Open(dir.File("MyWpt.dbf")));
    ASSERT_TRUE(table.GoToRecord(0));
    std::string text;
    table.GetFieldString(table.FindField("DESCR"), text);
    EXPECT_EQ(text, "Parduotuve");
}

TEST_F(PlacemarkTools, RefusalsByFileAndFlags)
{
    // A file that cannot be written: 1044 once for each click of every tool.
    doc.Settings().placemarksLayer = "Mano";
    doc.AddLayer(std::make_unique<CLayer>("Mano", dir.File("nera.dbf"), CLayer::kPoint), false);
    doc.GetLayer(0)->SetFlags(CLayer::kDefaultFlags);
    for (const int mode : {24, 25, 26, 27}) {
        user.messages.clear();
        Click(mode, 100, 100);
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1044}) << mode;
    }
    EXPECT_EQ(doc.GetLayerCount(), 1);

    CDrelDoc flagged;
    flagged.SetPathName(dir.File("kitas.map"));
    CDrelView other(flagged);
    ASSERT_TRUE(flagged.AddPlacemark(CMapPoint(1, 1)));
    flagged.GetLayer(0)->SetFlags(CLayer::kShown | CLayer::kWorking);
    const struct {
        int mode;
        unsigned message;
    } refusals[] = {{25, 1021}, {26, 1035}, {27, 1035}};
    for (const auto& r : refusals) {
        user.messages.clear();
        MakePlacemarkTool(other, r.mode)->OnLButtonDown(0, 0, 0);
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{r.message}) << r.mode;
    }
    EXPECT_EQ(Placemarks().size(), 1u);
}

} // namespace
