// Geoprocessing in the program on the demo town: the layer's buffer zones
// through the map window's command, the buffer-zone tool with its dialogs,
// and the overlay of layers, all through InstallGeoprocessing().
#include "tests/shell/widgets/app/AppFixture.h"

#include "core/DateSerial.h"
#include "core/Shape.h"
#include "geoproc/BufferSaveRules.h"
#include "geoproc/LayerBufferRules.h"
#include "geoproc/OverlayRules.h"
#include "geoproc/TopologyRules.h"
#include "geoproc/widgets/GeoprocInstall.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/FeatureSource.h"
#include "mapdoc/BufferZoneSet.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/LegendView.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/core/GeometryText.h"
#include "tests/geoproc/GeoprocTestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace {

class GeoprocProgramTest : public CAppFixture {
protected:
    GeoprocProgramTest()
    {
        InstallMainFrameBars();
        InstallGeoprocessing();
        // Dialog 102 comes with the layer management: here it takes the proposals.
        CMapFrame::Hooks().frame.document.newLayer = [this](CDrelDoc&, std::string& name, std::string&, int& type,
                                                            CNewLayerOptions&) {
            offered.push_back(name);
            offeredTypes.push_back(type);
            return true;
        };
        m_radius = CLayerBufferRules::LastRadius();
        m_saveName = CBufferSaveRules::GetName();
        m_zoneSettings = CBufferZoneSet::Settings();
        m_topology = CTopologyRules::Last();
        m_errorTolerance = CErrorToleranceRules::Last(CErrorToleranceRules::kErrorPoints);
        m_fixTolerance = CErrorToleranceRules::Last(CErrorToleranceRules::kFixing);
        m_overlay = {COverlayRules::LastSource(), COverlayRules::LastOverlaying()};
        m_operation = COverlayRules::InitialOperation();
        COverlayRules::Remember("", "", 0);
    }
    ~GeoprocProgramTest() override
    {
        Stop();
        CMapFrame::Hooks().frame.document.newLayer = nullptr;
        MainFrameHooks().makeBars = nullptr;
        CLayerBufferRules::Remember(m_radius);
        CBufferSaveRules::Remember(m_saveName);
        CBufferZoneSet::Settings() = m_zoneSettings;
        CTopologyRules::Remember(m_topology);
        CErrorToleranceRules::Remember(CErrorToleranceRules::kErrorPoints, m_errorTolerance);
        CErrorToleranceRules::Remember(CErrorToleranceRules::kFixing, m_fixTolerance);
        COverlayRules::Remember(m_overlay.first, m_overlay.second, m_operation);
    }

    // The demo town in a folder of its own, for the operations write beside it.
    bool StartInTown(bool pathThroughPark = false)
    {
        CDemoOptions options;
        options.streets = 40;
        std::string error;
        EXPECT_TRUE(MakeDemoMap(town.Path(), options, error)) << error;
        if (pathThroughPark)
            AddPathThroughPark();
        if (!Start({town.File(CDemoMapWriter::kMapFile)}))
            return false;
        child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
        Settle();
        return child != nullptr;
    }
    // The town's parks hold no street and no address: a footpath across
    // the first park and an address at its middle.
    void AddPathThroughPark()
    {
        CShape park;
        {
            CLayerReader reader;
            ASSERT_TRUE(reader.Open(town.File("parkai.gdb")));
            ASSERT_TRUE(reader.GetSource()->ReadNextShape(park));
        }
        const CMapRect& box = park.GetExtent();
        const double y = (box.top + box.bottom) / 2;
        CShape path;
        path.SetPoints(2, std::vector<CMapPoint>{{box.left - 30, y}, {box.right + 30, y}}.data());
        CMapPoint middle;
        ASSERT_TRUE(park.GetInteriorPoint(middle));
        CLayerReader streets, addresses;
        ASSERT_TRUE(streets.Open(town.File("gatves.gdb")) && addresses.Open(town.File("adresai.gdb")));
        ASSERT_TRUE(streets.GetSource()->AppendShape(path, false));
        CDbfTable& street = streets.GetSource()->GetTable();
        street.SetField(street.FindField("PAVAD"), Utf8ToCp1257("Parko takas"));
        ASSERT_TRUE(street.WriteRecord());
        ASSERT_TRUE(addresses.GetSource()->AppendPoint(middle, false));
        CDbfTable& address = addresses.GetSource()->GetTable();
        address.SetField(address.FindField("ADRESAS"), Utf8ToCp1257("Parko takas 1"));
        address.SetField(address.FindField("NUMERIS"), "1");
        ASSERT_TRUE(address.WriteRecord());
    }
    void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
    CDrelDoc& Map() { return child->GetMapDocument(); }
    CLayer* Select(const char* utf8Name)
    {
        CLayer* layer = Map().Layers().FindByName(Utf8ToCp1257(utf8Name));
        if (layer)
            child->GetLegend()->SelectLayer(layer);
        return layer;
    }
    // Acts on the modal window of the id once it shows, while whatever
    // opens it runs.
    void WhenModal(int id, std::function<void(QWidget&)> act)
    {
        auto* timer = new QTimer;
        auto tries = std::make_shared<int>(0);
        QObject::connect(timer, &QTimer::timeout, [timer, tries, id, act = std::move(act), this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && GetControlId(modal) == id && modal->isVisible()) {
                timer->stop();
                timer->deleteLater();
                ++looked;
                act(*modal);
            } else if (++*tries > 500) {
                timer->stop();
                timer->deleteLater();
                ADD_FAILURE() << "no modal window " << id;
                if (modal)
                    modal->close();
            }
        });
        timer->start(10);
    }
    static void Press(QWidget& dialog, int id)
    {
        auto* button = FindControl<QAbstractButton>(&dialog, id);
        ASSERT_TRUE(button) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static std::vector<CShape> ReadShapes(const std::string& path)
    {
        std::vector<CShape> shapes;
        CLayerReader reader;
        if (!reader.Open(path))
            return shapes;
        for (CShape shape; reader.GetSource()->ReadNextShape(shape);)
            shapes.push_back(std::move(shape));
        return shapes;
    }

    CTempDir town;
    CMapFrame* child = nullptr;
    std::vector<std::string> offered;
    std::vector<int> offeredTypes;
    int looked = 0;

private:
    double m_radius;
    std::string m_saveName;
    CBufferZoneSettings m_zoneSettings;
    CTopologyOptions m_topology;
    double m_errorTolerance, m_fixTolerance;
    std::pair<std::string, std::string> m_overlay;
    int m_operation = 0;
};

TEST_F(GeoprocProgramTest, BufferZonesServeVectorLayersAndWantTheNewLayerDialog)
{
    ASSERT_TRUE(StartInTown());
    EXPECT_FALSE(IsEnabled(30235)); // nothing selected
    ASSERT_TRUE(Select("Gatvės"));
    EXPECT_TRUE(IsEnabled(30235));
    ASSERT_TRUE(Select("Pastatai"));
    EXPECT_TRUE(IsEnabled(30235));
    CLayer* group = nullptr;
    for (int i = 0; i < Map().GetLayerCount() && !group; ++i)
        if (Map().GetLayer(i)->HasFlag(CLayer::kGroup))
            group = Map().GetLayer(i);
    ASSERT_TRUE(group);
    child->GetLegend()->SelectLayer(group);
    EXPECT_FALSE(IsEnabled(30235));
    // Without dialog 102 the command would have nowhere to write.
    Stop();
    CMapFrame::Hooks().frame.document.newLayer = nullptr;
    ASSERT_TRUE(Start({town.File(CDemoMapWriter::kMapFile)}));
    child = dynamic_cast<CMapFrame*>(frame->ActiveChild());
    ASSERT_TRUE(child && Select("Gatvės"));
    EXPECT_FALSE(IsEnabled(30235));
}

TEST_F(GeoprocProgramTest, TheZonesOfALayerAndOfTheToolJoinTheMap)
{
    ASSERT_TRUE(StartInTown());
    CLayer* streets = Select("Gatvės");
    ASSERT_TRUE(streets);
    const int streetCount = static_cast<int>(ReadShapes(streets->GetPath()).size());
    ASSERT_GT(streetCount, 0);

    // The layer's zones: dialog 30771, then 102.
    WithModal([this] { EXPECT_TRUE(Run(30235)); },
              [this](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 30771);
                  EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1018)->text(), QString::fromUtf8("Gatvės"));
                  FindControl<QLineEdit>(&dialog, 1017)->setText("0.008");
                  SaveScreenshot(dialog, "geoproc-program-30771");
                  Press(dialog, IDOK);
              });
    EXPECT_EQ(offered, std::vector<std::string>{"gatves_buffer"});
    EXPECT_EQ(offeredTypes, std::vector<int>{CLayer::kArea});
    CLayer* zones = Map().Layers().FindByName("gatves_buffer");
    ASSERT_TRUE(zones);
    EXPECT_EQ(zones->GetPath(), town.File("gatves_buffer.gdb"));
    EXPECT_EQ(static_cast<int>(ReadShapes(zones->GetPath()).size()), streetCount);
    Settle();
    bool inLegend = false;
    for (int row = 0; row < child->GetLegendList()->GetCount(); ++row)
        inLegend = inLegend || child->GetLegendList()->GetLayer(row) == zones;
    EXPECT_TRUE(inLegend);
    EXPECT_TRUE(shown.empty());

    // The tool on a building: dialogs 262 and 280, and a zone drawn.
    CLayer* buildings = Select("Pastatai");
    ASSERT_TRUE(buildings);
    const std::vector<CShape> houses = ReadShapes(buildings->GetPath());
    ASSERT_FALSE(houses.empty());
    CMapPoint inside;
    ASSERT_TRUE(houses.front().GetInteriorPoint(inside));
    CDrelView& view = *child->GetMapView();
    view.ZoomToRect(houses.front().GetExtent(), 0);
    view.ZoomToScaleAt(view.GetScaleDenominator() * 8, inside);
    Settle();
    EXPECT_TRUE(Run(30234));
    const CPoint at = view.MapToClient(inside);
    WhenModal(262, [this](QWidget& dialog) {
        FindControl<QLineEdit>(&dialog, 1017)->setText("0.005");
        SaveScreenshot(dialog, "geoproc-program-262");
        WhenModal(280, [](QWidget& type) {
            SaveScreenshot(type, "geoproc-program-280");
            Press(type, 1025);
            Press(type, IDOK);
        });
        Press(dialog, IDOK);
    });
    QTest::mouseClick(child->GetViewWidget(), Qt::LeftButton, {}, QPoint(at.x, at.y));
    Settle();
    EXPECT_EQ(looked, 2);
    ASSERT_EQ(Map().BufferZones().GetCount(), 1);
    const CMapRect& zone = Map().BufferZones().GetZone(0).shape.GetExtent();
    // Grown by 5 m: its arcs are polygons, a turn of ten degrees a side.
    const double grown = zone.right - houses.front().GetExtent().right;
    EXPECT_GT(grown, 5 * std::cos(M_PI / 18));
    EXPECT_LT(grown, 5 + 1e-9);
    SaveScreenshot(*frame, "geoproc-program-map-with-zones");

    // Saved into a layer named in dialog 268.
    ASSERT_TRUE(IsEnabled(CBufferZoneSet::kCmdSave));
    WhenModal(268, [](QWidget& dialog) {
        SaveScreenshot(dialog, "geoproc-program-268");
        FindControl<QComboBox>(&dialog, 1012)->setEditText(QString::fromUtf8("Zonos aplink pastatus"));
        Press(dialog, IDOK);
    });
    EXPECT_TRUE(Run(CBufferZoneSet::kCmdSave));
    EXPECT_EQ(looked, 3);
    CLayer* saved = Map().Layers().FindByName(Utf8ToCp1257("Zonos aplink pastatus"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->GetPath(), town.File("Buffer1.gdb"));
    EXPECT_EQ(ReadShapes(saved->GetPath()).size(), 1u);
    EXPECT_EQ(Map().BufferZones().GetCount(), 0);
    EXPECT_TRUE(shown.empty());
    Settle();
    SaveScreenshot(*frame, "geoproc-program-map-with-both-results");
}

TEST_F(GeoprocProgramTest, TopologyAndErrorCommandsServeLineLayers)
{
    ASSERT_TRUE(StartInTown());
    for (const int id : {30260, 30325, 30348})
        EXPECT_FALSE(IsEnabled(id)) << id;
    ASSERT_TRUE(Select("Gatvės"));
    for (const int id : {30260, 30325, 30348})
        EXPECT_TRUE(IsEnabled(id)) << id;
    ASSERT_TRUE(Select("Pastatai"));
    EXPECT_FALSE(IsEnabled(30260));
    EXPECT_FALSE(IsEnabled(30325));
    EXPECT_TRUE(IsEnabled(30348));
}

TEST_F(GeoprocProgramTest, TheStreetsBecomeALinkLayer)
{
    ASSERT_TRUE(StartInTown());
    CLayer* streets = Select("Gatvės");
    ASSERT_TRUE(streets);
    const std::vector<CShape> pieces = ReadShapes(streets->GetPath());
    ASSERT_FALSE(pieces.empty());
    WithModal([this] { EXPECT_TRUE(Run(30260)); },
              [](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 30814);
                  EXPECT_TRUE(FindControl<QAbstractButton>(&dialog, 1015)->isChecked());
                  EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1017)->text(), "0");
                  SaveScreenshot(dialog, "geoproc-program-30814");
                  Press(dialog, IDOK);
              });
    EXPECT_EQ(offered, std::vector<std::string>{"gatves_topo"});
    EXPECT_EQ(offeredTypes, std::vector<int>{CLayer::kLine});
    EXPECT_TRUE(shown.empty());
    CLayer* links = Map().Layers().FindByName("gatves_topo");
    ASSERT_TRUE(links);
    EXPECT_EQ(links->GetType(), CLayer::kLine);
    const std::vector<CReadObject> objects = ReadObjects(links->GetPath(), CLayer::kLine);
    // The demo's streets meet only at their ends: each is one link, with
    // its own fields and the link fields after them.
    ASSERT_EQ(objects.size(), pieces.size());
    std::vector<std::string> sourceFields;
    {
        CLayerReader reader;
        ASSERT_TRUE(reader.Open(streets->GetPath()));
        for (const CDbfFieldInfo& field : reader.GetSource()->GetFieldInfos())
            if (field.length > 0)
                sourceFields.push_back(field.name);
    }
    std::vector<std::string> linkFields;
    {
        CLayerReader reader;
        ASSERT_TRUE(reader.Open(links->GetPath()));
        for (const CDbfFieldInfo& field : reader.GetSource()->GetFieldInfos())
            if (field.length > 0)
                linkFields.push_back(field.name);
    }
    std::vector<std::string> expected = sourceFields;
    for (const char* name : {"LINK_ID", "Fnode_", "Tnode_", "Length"})
        expected.push_back(name);
    EXPECT_EQ(linkFields, expected);
    for (size_t i = 0; i < objects.size(); ++i) {
        EXPECT_EQ(ShapeText(objects[i].shape), ShapeText(pieces[i])) << i;
        EXPECT_EQ(objects[i].fields.at("Link_id"), std::to_string(i + 1));
        const double metres = Map().GetShapeLengthKm(pieces[i]) * 1000;
        EXPECT_EQ(objects[i].fields.at("Length"), std::to_string(std::lround(metres))) << i;
        EXPECT_NE(objects[i].fields.at("Fnode_"), objects[i].fields.at("Tnode_")) << i;
    }
}

TEST_F(GeoprocProgramTest, ErrorPointsAndFixingOfStreetsThatNearlyMeet)
{
    // The error symbol is an icon of the program's library.
    MakeFolder(ProgramFile("Vexil"));
    WriteWholeFile(ProgramFile("Vexil/95.ico"), ReadWholeFile(TestDataFolder() + "../../res/Vexil/95.ico"));
    ASSERT_TRUE(StartInTown());
    // The streets with the first end of every third one a metre off.
    std::vector<std::string> lines;
    int moved = 0;
    for (CShape& street : ReadShapes(Select("Gatvės")->GetPath())) {
        if (lines.size() % 3 == 0) {
            street.Points()[0].x += 1.0;
            ++moved;
        }
        lines.push_back(ShapeText(street));
    }
    {
        CGdbSource source;
        MakeShapeLayer(source, town.File("klaidos.gdb"), CLayer::kLine, lines);
    }
    Map().AddLayer(std::make_unique<CLayer>("Klaidingos gatves", town.File("klaidos.gdb"), CLayer::kLine), true);
    Settle();
    ASSERT_TRUE(Select("Klaidingos gatves"));
    WithModal([this] { EXPECT_TRUE(Run(30325)); },
              [](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 287);
                  EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1017)->text(), "2");
                  Press(dialog, IDOK);
              });
    CLayer* points = Map().Layers().FindByName("klaidos_errors");
    ASSERT_TRUE(points);
    EXPECT_EQ(points->GetType(), CLayer::kPoint);
    const std::vector<CReadObject> found = ReadObjects(points->GetPath(), CLayer::kPoint);
    // Each end off its crossing is found, with the vertices it nearly meets.
    EXPECT_GE(static_cast<int>(found.size()), moved);

    ASSERT_TRUE(Select("Klaidingos gatves"));
    WithModal([this] { EXPECT_TRUE(Run(30348)); },
              [](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 287);
                  EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1017)->text(), "1");
                  FindControl<QLineEdit>(&dialog, 1017)->setText("1.5");
                  SaveScreenshot(dialog, "geoproc-program-287");
                  Press(dialog, IDOK);
              });
    EXPECT_EQ(offered, (std::vector<std::string>{"klaidos_errors", "klaidos"}));
    EXPECT_EQ(offeredTypes, (std::vector<int>{CLayer::kPoint, CLayer::kLine}));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].starts_with(Utf8ToCp1257("Pataisyta mazgų: "))) << shown[0];
    CLayer* repaired = Map().Layers().FindByName("klaidos");
    CLayer* changes = Map().Layers().FindByName("klaidos_errors (2)");
    ASSERT_TRUE(repaired && changes);
    EXPECT_EQ(repaired->GetType(), CLayer::kLine);
    EXPECT_EQ(changes->GetType(), CLayer::kPoint);
    EXPECT_EQ(changes->GetPath(), town.File("klaidos_errors_2.gdb"));
    EXPECT_EQ(ReadShapes(repaired->GetPath()).size(), lines.size());
    EXPECT_FALSE(ReadObjects(changes->GetPath(), CLayer::kPoint).empty());

    // The error points over the streets, near enough to see them.
    changes->SetFlag(CLayer::kShown, false);
    ASSERT_FALSE(found.empty());
    CDrelView& view = *child->GetMapView();
    const CMapPoint at = found.front().point;
    view.ZoomToRect(CMapRect(at.x - 60, at.y + 60, at.x + 60, at.y - 60), 0);
    Settle();
    SaveScreenshot(*frame, "geoproc-program-map-with-errors");
}

TEST_F(GeoprocProgramTest, ADamagedStreetLayerIsToldAndAddsNothing)
{
    ASSERT_TRUE(StartInTown());
    CLayer* streets = Select("Gatvės");
    ASSERT_TRUE(streets);
    SpoilSecondBlock(streets->GetPath());
    const int layers = Map().GetLayerCount();
    WithModal([this] { EXPECT_TRUE(Run(30260)); }, [](QWidget& dialog) { Press(dialog, IDOK); });
    EXPECT_EQ(shown, std::vector<std::string>{LoadString(1028)});
    EXPECT_EQ(Map().GetLayerCount(), layers);
    EXPECT_FALSE(FileExists(town.File("gatves_topo.gdb")));
}

// Chooses the combo's entry of the text.
void Choose(QWidget& dialog, int id, const char* utf8)
{
    auto* combo = FindControl<QComboBox>(&dialog, id);
    ASSERT_TRUE(combo) << id;
    const int index = combo->findText(QString::fromUtf8(utf8));
    ASSERT_GE(index, 0) << utf8;
    combo->setCurrentIndex(index);
}

TEST_F(GeoprocProgramTest, StreetsIntersectedByParksGiveTheirPiecesInsideWithBothRecords)
{
    ASSERT_TRUE(StartInTown(true));
    EXPECT_TRUE(IsEnabled(30263)) << "with nothing selected";
    CLayer* streets = Select("Gatvės");
    ASSERT_TRUE(streets);
    EXPECT_TRUE(IsEnabled(30263));
    WithModal([this] { EXPECT_TRUE(Run(30263)); },
              [](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 288);
                  EXPECT_EQ(FindControl<QComboBox>(&dialog, 1012)->currentText(), QString::fromUtf8("Gatvės"));
                  Choose(dialog, 1021, "Parkai");
                  Choose(dialog, 1022, "Sankirta");
                  SaveScreenshot(dialog, "geoproc-program-288");
                  Press(dialog, IDOK);
              });
    EXPECT_EQ(offered, std::vector<std::string>{"gatves"});
    EXPECT_EQ(offeredTypes, std::vector<int>{CLayer::kLine});
    CLayer* pieces = Map().Layers().FindByName("gatves");
    ASSERT_TRUE(pieces);
    EXPECT_EQ(pieces->GetType(), CLayer::kLine);
    const CLayer* parks = Map().Layers().FindByName("Parkai");
    ASSERT_TRUE(parks);
    const std::vector<CReadObject> parkObjects = ReadObjects(parks->GetPath(), CLayer::kArea);
    const std::vector<CReadObject> written = ReadObjects(pieces->GetPath(), CLayer::kLine);
    ASSERT_FALSE(written.empty());
    for (const CReadObject& piece : written) {
        EXPECT_FALSE(piece.fields.at("Pavad").empty()) << "the street's name";
        EXPECT_FALSE(piece.fields.at("Pavad_").empty()) << "the park's name, renamed";
        EXPECT_FALSE(piece.fields.at("Plotas").empty()) << "the park's area";
        // Its middle lies in the park it names.
        const CShape& line = piece.shape;
        ASSERT_GE(line.GetPointCount(), 2);
        const CMapPoint a = line.GetPoint(0), b = line.GetPoint(1);
        const CMapPoint middle((a.x + b.x) / 2, (a.y + b.y) / 2);
        bool inItsPark = false;
        for (const CReadObject& park : parkObjects)
            inItsPark = inItsPark || (park.fields.at("Pavad") == piece.fields.at("Pavad_") &&
                                      park.shape.PointInPolygon(middle) != 0);
        EXPECT_TRUE(inItsPark) << piece.fields.at("Pavad");
    }
    EXPECT_TRUE(shown.empty());
    Settle();
    // The park and its path, with the streets around.
    CMapRect around = parkObjects.front().shape.GetExtent();
    const double margin = (around.right - around.left) * 0.6;
    around = CMapRect(around.left - margin, around.top + margin, around.right + margin, around.bottom - margin);
    child->GetMapView()->ZoomToRect(around, 0);
    Settle();
    SaveScreenshot(*frame, "geoproc-program-map-with-overlay");
}

TEST_F(GeoprocProgramTest, AddressesClassifiedInPlaceByParksChangeOnlyTheChosenField)
{
    ASSERT_TRUE(StartInTown(true));
    CLayer* addresses = Select("Adresai");
    ASSERT_TRUE(addresses);
    const std::vector<CReadObject> before = ReadObjects(addresses->GetPath(), CLayer::kPoint);
    const CLayer* parks = Map().Layers().FindByName("Parkai");
    ASSERT_TRUE(parks);
    const std::vector<CReadObject> parkObjects = ReadObjects(parks->GetPath(), CLayer::kArea);
    WithModal([this] { EXPECT_TRUE(Run(30263)); },
              [this](QWidget& dialog) {
                  Choose(dialog, 1021, "Parkai");
                  Choose(dialog, 1022, "Klasifikavimas");
                  WhenModal(311, [this](QWidget& place) {
                      SaveScreenshot(place, "geoproc-program-311");
                      Press(place, 1025);
                      WhenModal(312, [](QWidget& fields) {
                          Choose(fields, 1012, "ADRESAS");
                          Choose(fields, 1021, "PAVAD");
                          SaveScreenshot(fields, "geoproc-program-312");
                          Press(fields, IDOK);
                      });
                      Press(place, IDOK);
                  });
                  Press(dialog, IDOK);
              });
    EXPECT_EQ(looked, 2);
    EXPECT_TRUE(offered.empty()) << "no new layer";
    const std::vector<CReadObject> after = ReadObjects(addresses->GetPath(), CLayer::kPoint);
    ASSERT_EQ(after.size(), before.size());
    int inParks = 0;
    for (size_t i = 0; i < after.size(); ++i) {
        std::string park;
        int highest = -1;
        for (const CReadObject& object : parkObjects)
            if (object.record > highest && object.shape.PointInPolygon(before[i].point) != 0) {
                highest = object.record;
                park = object.fields.at("Pavad");
            }
        inParks += park.empty() ? 0 : 1;
        std::map<std::string, std::string> expected = before[i].fields;
        if (!park.empty())
            expected["Adresas"] = park;
        EXPECT_EQ(after[i].fields, expected) << i;
    }
    EXPECT_EQ(inParks, 1);
    EXPECT_TRUE(shown.empty());
}

TEST_F(GeoprocProgramTest, ADamagedOverlayingLayerIsToldAndAddsNothing)
{
    ASSERT_TRUE(StartInTown());
    ASSERT_TRUE(Select("Gatvės"));
    const CLayer* parks = Map().Layers().FindByName("Parkai");
    ASSERT_TRUE(parks);
    SpoilSecondBlock(parks->GetPath());
    const int layers = Map().GetLayerCount();
    WithModal([this] { EXPECT_TRUE(Run(30263)); },
              [](QWidget& dialog) {
                  Choose(dialog, 1021, "Parkai");
                  Choose(dialog, 1022, "Apkirpimas");
                  Press(dialog, IDOK);
              });
    EXPECT_EQ(shown, std::vector<std::string>{Utf8ToCp1257("Skaitymo iš failo klaida.")});
    EXPECT_EQ(Map().GetLayerCount(), layers);
    EXPECT_FALSE(FileExists(town.File("gatves_2.gdb")));
}

// The hooks of other folders' dialogs a test scripts, emptied again.
struct CScriptedFrameHooks {
    ~CScriptedFrameHooks()
    {
        CMapFrameDialogs& hooks = CMapFrame::Hooks().frame;
        hooks.document.archiveDate = nullptr;
        hooks.document.layerFile = nullptr;
        hooks.openFiles = nullptr;
    }
};

TEST_F(GeoprocProgramTest, AreasOfBuildingsGoIntoTheirAreaField)
{
    ASSERT_TRUE(StartInTown());
    EXPECT_FALSE(IsEnabled(30245));
    ASSERT_TRUE(Select("Gatvės"));
    EXPECT_TRUE(IsEnabled(30244));
    EXPECT_FALSE(IsEnabled(30245));
    CLayer* buildings = Select("Pastatai");
    ASSERT_TRUE(buildings);
    EXPECT_TRUE(IsEnabled(30244) && IsEnabled(30245) && IsEnabled(30266));
    WithModal([this] { EXPECT_TRUE(Run(30245)); },
              [](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 275);
                  auto* units = FindControl<QComboBox>(&dialog, 1012);
                  ASSERT_TRUE(units);
                  EXPECT_EQ(units->currentText(), "kv. m");
                  auto* fields = FindControl<QListWidget>(&dialog, 1014);
                  ASSERT_TRUE(fields);
                  const QList<QListWidgetItem*> area = fields->findItems("Plotas", Qt::MatchExactly);
                  ASSERT_EQ(area.size(), 1);
                  fields->setCurrentItem(area[0]);
                  SaveScreenshot(dialog, "geoproc-program-275");
                  Press(dialog, IDOK);
              });
    EXPECT_TRUE(shown.empty());
    const std::vector<CReadObject> houses = ReadObjects(buildings->GetPath(), CLayer::kArea);
    ASSERT_FALSE(houses.empty());
    for (const CReadObject& house : houses)
        EXPECT_EQ(house.fields.at("Plotas"), FormatC("%.1f", Map().GetShapeAreaKm2(house.shape) * 1e6));
}

TEST_F(GeoprocProgramTest, AddressCoordinatesGoIntoTheChosenFields)
{
    ASSERT_TRUE(StartInTown());
    CLayer* addresses = Select("Adresai");
    ASSERT_TRUE(addresses);
    // The town's addresses have two numeric fields: x into the street
    // code, y into the house number, where it does not fit.
    WithModal([this] { EXPECT_TRUE(Run(30266)); },
              [](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 30777);
                  for (const auto& [id, field] : {std::pair<int, const char*>{1012, "GAT_KODAS"}, {1021, "NR"}}) {
                      auto* list = FindControl<QComboBox>(&dialog, id);
                      ASSERT_TRUE(list) << id;
                      list->setCurrentIndex(list->findText(field, Qt::MatchFixedString));
                      ASSERT_GE(list->currentIndex(), 0) << field;
                  }
                  SaveScreenshot(dialog, "geoproc-program-30777");
                  Press(dialog, IDOK);
              });
    const std::vector<CReadObject> points = ReadObjects(addresses->GetPath(), CLayer::kPoint);
    ASSERT_FALSE(points.empty());
    for (const CReadObject& point : points) {
        EXPECT_EQ(point.fields.at("Gat_kodas"), FormatC("%.0f", point.point.x));
        EXPECT_EQ(point.fields.at("Nr"), "****");
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find(": " + std::to_string(points.size()) + "."), std::string::npos) << shown[0];
}

TEST_F(GeoprocProgramTest, TheCoordinateGridJoinsTheMap)
{
    ASSERT_TRUE(StartInTown());
    EXPECT_TRUE(IsEnabled(30358));
    WithModal([this] { EXPECT_TRUE(Run(30358)); },
              [](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 358);
                  FindControl<QComboBox>(&dialog, 1012)->setEditText("500 m");
                  SaveScreenshot(dialog, "geoproc-program-358");
                  Press(dialog, IDOK);
              });
    EXPECT_EQ(offered, std::vector<std::string>{"Grid"});
    EXPECT_EQ(offeredTypes, std::vector<int>{CLayer::kArea});
    CLayer* grid = Map().Layers().FindByName("Grid");
    ASSERT_TRUE(grid);
    const std::vector<CReadObject> cells = ReadObjects(grid->GetPath(), CLayer::kArea);
    ASSERT_FALSE(cells.empty());
    EXPECT_EQ(cells[0].fields.at("Id"), "A1");
    Settle();
    child->GetMapView()->ZoomToFullExtent();
    Settle();
    SaveScreenshot(*frame, "geoproc-program-map-with-grid");
}

TEST_F(GeoprocProgramTest, OldTrackRecordsMoveIntoTheArchive)
{
    CScriptedFrameHooks hooks;
    ASSERT_TRUE(StartInTown());
    // Without the date dialog there is nothing to ask.
    EXPECT_FALSE(IsEnabled(30278));
    Stop();
    CMapFrame::Hooks().frame.document.archiveDate = [](double& date) {
        date = DateToSerial(2030, 1, 1);
        return true;
    };
    ASSERT_TRUE(StartInTown());
    EXPECT_TRUE(IsEnabled(30278));
    CLayer* track = Map().Layers().FindByName("GPS trasa");
    ASSERT_TRUE(track);
    const size_t fixes = ReadObjects(track->GetPath(), CLayer::kPoint).size();
    ASSERT_GT(fixes, 0u);
    EXPECT_TRUE(Run(30278));
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(ReadObjects(track->GetPath(), CLayer::kPoint).empty());
    EXPECT_EQ(ReadObjects(town.File("Archive/20300101/trasa.trk"), CLayer::kPoint).size(), fixes);
}

TEST_F(GeoprocProgramTest, AttributesOfATableJoinTheAddresses)
{
    CScriptedFrameHooks hooks;
    CTempDir data;
    const std::string table = data.File("gyventojai.dbf");
    CMapFrame::Hooks().frame.openFiles = [&table](const std::string& filter, int&, bool,
                                                  std::vector<std::string>& paths) {
        EXPECT_EQ(filter, "DBF Files (*.dbf)|*.dbf||");
        paths = {table};
        return true;
    };
    CMapFrame::Hooks().frame.document.layerFile = [this](CDrelDoc&, std::string& name, std::string&,
                                                         CLayerFileOptions&) {
        offered.push_back(name);
        return true;
    };
    ASSERT_TRUE(StartInTown());
    CLayer* addresses = Select("Adresai");
    ASSERT_TRUE(addresses);
    std::vector<CReadObject> points = ReadObjects(addresses->GetPath(), CLayer::kPoint);
    ASSERT_GE(points.size(), 2u);
    MakeTable(table, FieldList({{"ADRESAS", 'C', 60, 0}, {"GYV", 'N', 5, 0}}),
              {{points[1].fields.at("Adresas"), "12"}, {"Niekur 1", "3"}});
    EXPECT_TRUE(IsEnabled(30280));
    WithModal([this] { EXPECT_TRUE(Run(30280)); },
              [this](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 316);
                  EXPECT_EQ(FindControl<QComboBox>(&dialog, 1012)->currentText(), QString::fromUtf8("Adresai"));
                  SaveScreenshot(dialog, "geoproc-program-316");
                  WhenModal(30784, [](QWidget& keys) {
                      for (const int id : {1012, 1021}) {
                          auto* combo = FindControl<QComboBox>(&keys, id);
                          ASSERT_TRUE(combo) << id;
                          combo->setCurrentIndex(combo->findText("ADRESAS", Qt::MatchFixedString));
                          ASSERT_GE(combo->currentIndex(), 0) << id;
                      }
                      SaveScreenshot(keys, "geoproc-program-30784");
                      Press(keys, IDOK);
                  });
                  Press(dialog, IDOK);
              });
    EXPECT_EQ(looked, 1);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(offered, std::vector<std::string>{"adresai"});
    CLayer* joined = Map().Layers().FindByName("adresai");
    ASSERT_TRUE(joined);
    const std::vector<CReadObject> objects = ReadObjects(joined->GetPath(), CLayer::kPoint);
    ASSERT_EQ(objects.size(), points.size());
    EXPECT_EQ(objects[1].fields.at("Gyv"), "12");
    EXPECT_EQ(objects[1].fields.at("Adresas_"), points[1].fields.at("Adresas"));
    EXPECT_EQ(objects[0].fields.at("Gyv"), "");

    // A table cut short is told by the table engine and adds nothing.
    std::string bytes = ReadWholeFile(table);
    bytes.resize(bytes.size() - 20);
    WriteWholeFile(table, bytes);
    const int layers = Map().GetLayerCount();
    WithModal([this] { EXPECT_TRUE(Run(30280)); }, [](QWidget& dialog) { Press(dialog, IDOK); });
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(Map().GetLayerCount(), layers);
}

} // namespace
