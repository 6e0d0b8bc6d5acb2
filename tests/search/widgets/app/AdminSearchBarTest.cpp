// The administrative search in the program: a map with the five layers of
// administrative units and its [AdminSearch] section fills the real bar
// 378, its choices cascade, Enter shows a unit, 30453 opens the real
// parameters dialog and saving writes the section.
#include "tests/shell/widgets/app/AppFixture.h"

#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/PointOverlay.h"
#include "platform/Codepage.h"
#include "platform/IniFile.h"
#include "platform/QtText.h"
#include "search/AdminSearchSettings.h"
#include "search/widgets/SearchInstall.h"
#include "shell/MainFrameBarTable.h"
#include "shell/MainToolbars.h"
#include "shell/ToolbarBoxes.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/MainFrameBars.h"
#include "shell/widgets/MapFrame.h"
#include "tests/search/AdminLayers.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <filesystem>

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QStringList Items(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; list && i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

class AdminSearchBarTest : public CAppFixture {
protected:
    AdminSearchBarTest()
    {
        InstallMainFrameBars();
        InstallSearchDialogs(app);
    }
    ~AdminSearchBarTest() override
    {
        Stop();
        MainFrameHooks().makeBars = nullptr;
        MainFrameHooks().makeObjectInfo = nullptr;
        MainFrameHooks().makeAdminSearch = nullptr;
    }

    // The demo town with the administrative layers among its own, their
    // objects in the town's middle, and the section that names them.
    std::string MakeAdminMap()
    {
        const std::string folder = dir.File("map");
        std::string error;
        CDemoOptions options;
        options.streets = 40;
        EXPECT_TRUE(MakeDemoMap(folder, options, error)) << error;
        const std::string path = folder + "/" + CDemoMapWriter::kMapFile;
        CLayerArray layers;
        EXPECT_TRUE(layers.ReadMapFile(path));
        const CMapPoint middle = TownMiddle(layers);
        std::filesystem::create_directory(folder + "/admin");
        for (const CAdminLayerData& data : AdminFixtureLayers()) {
            EXPECT_TRUE(WriteAdminLayerFile(folder + "/admin/" + data.file, data, middle)) << data.file;
            layers.Add(MakeAdminLayer(folder + "/admin", data));
        }
        EXPECT_TRUE(layers.WriteMapFile(path));
        const std::string ini = folder + "/demo.ini";
        CIniFile settings(ini);
        EXPECT_TRUE(settings.Load());
        for (const auto& [key, value] : AdminFixtureKeys())
            settings.SetString("AdminSearch", AdminKeyName(key), Utf8ToCp1257(value));
        settings.SetString("AdminSearch", "AddrNumField", "NR");
        EXPECT_TRUE(settings.Save());
        return path;
    }
    static CMapPoint TownMiddle(const CLayerArray& layers)
    {
        for (int i = 0; i < layers.GetSize(); ++i) {
            CLayer* layer = layers.GetAt(i);
            CLayerReader reader;
            CMapRect extent;
            if (layer->GetType() == CLayer::kLine && reader.OpenLayer(layer) && reader.GetSource()->GetExtent(extent))
                return extent.Center();
        }
        return {};
    }
    template <class Box = QComboBox>
    Box* FindBox(int id) const
    {
        return FindControl<Box>(frame, id);
    }
    CMapFrame* MapWindow() const { return dynamic_cast<CMapFrame*>(frame->ActiveChild()); }
    void Settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
};

TEST_F(AdminSearchBarTest, TheMapFillsTheBarAndItsChoicesCascade)
{
    const std::string path = MakeAdminMap();
    WriteWholeFile(ProgramFile(app.ConfigFile().GetFileName()), "[AdminToolbar]\r\nHidden=0\r\n");
    ASSERT_TRUE(Start({path}));
    ASSERT_TRUE(MapWindow());
    Settle();
    CDrelDoc* map = frame->GetActiveMapDocument();
    ASSERT_TRUE(map);
    EXPECT_TRUE(MainToolbars().IsBarVisible(kAdminSearchBar));

    QComboBox* counties = FindBox(kAdminCountyBox);
    QComboBox* municipalities = FindBox(kAdminMunicipalityBox);
    QComboBox* settlements = FindBox(kAdminSettlementBox);
    QComboBox* streets = FindBox(kAdminStreetBox);
    ASSERT_TRUE(counties && municipalities && settlements && streets);
    EXPECT_EQ(Items(counties),
              (QStringList{Text(" <Apskritis>"), "Alytaus apskr.", "Kauno apskr.", "Vilniaus apskr."}));
    EXPECT_TRUE(counties->isEnabled());
    EXPECT_EQ(municipalities->count(), 6);
    EXPECT_FALSE(settlements->isEnabled());

    // The user picks a county with the keyboard.
    ASSERT_TRUE(FocusOn(counties));
    counties->setCurrentIndex(2);
    QTest::keyClick(counties, Qt::Key_Down);
    EXPECT_EQ(counties->currentText(), "Vilniaus apskr.");
    EXPECT_EQ(Items(municipalities),
              (QStringList{Text(" <Savivaldybė>"), "Vilniaus m. sav.", "Vilniaus r. sav."}));

    ASSERT_TRUE(FocusOn(municipalities));
    municipalities->setCurrentIndex(0);
    QTest::keyClick(municipalities, Qt::Key_Down);
    EXPECT_EQ(Items(settlements), (QStringList{Text(" <Gyvenvietė>"), "Naujoji Vilnia", "Pavilnys", "Vilnius"}));
    EXPECT_TRUE(streets->isEnabled());
    EXPECT_EQ(streets->currentText(), Text(" <Gatvė>"));

    // Enter in the settlement box shows the settlement chosen.
    ASSERT_TRUE(IsEnabled(30448));
    ASSERT_TRUE(FocusOn(settlements));
    settlements->setCurrentIndex(2);
    QTest::keyClick(settlements, Qt::Key_Return);
    Settle();
    CDrelView* view = MapWindow()->GetMapView();
    ASSERT_EQ(view->GetOverlayCount(), 1);
    auto* marker = dynamic_cast<CPointOverlay*>(view->GetOverlay(0));
    ASSERT_TRUE(marker);
    const CMapPoint middle = TownMiddle(map->Layers());
    EXPECT_EQ(marker->GetPoint(), CMapPoint(middle.x + 20, middle.y)); // Pavilnys, the third record
    EXPECT_TRUE(shown.empty());

    QWidget* bar = counties->parentWidget();
    while (bar && !bar->inherits("QToolBar"))
        bar = bar->parentWidget();
    ASSERT_TRUE(bar);
    // Wide enough for every box of the bar.
    frame->showNormal();
    frame->resize(1400, 800);
    Settle();
    SaveScreenshot(*bar, "admin_search_bar");

    // Saving writes the section's sixteen keys and keeps the hand-written address one.
    ASSERT_TRUE(map->OnSaveDocument(path));
    CIniFile saved(CDrelDoc::GetSettingsFilePath(path));
    ASSERT_TRUE(saved.Load());
    EXPECT_EQ(saved.KeyNames("AdminSearch").size(), 17u);
    EXPECT_EQ(saved.GetString("AdminSearch", "AddrNumField"), "NR");
    EXPECT_EQ(saved.GetString("AdminSearch", "StreetPlaceCodeField"), "GKODAS");
    EXPECT_EQ(saved.GetString("AdminSearch", "AddressLayer"), "");
    EXPECT_FALSE(saved.GetString("Map", "Limits").empty()); // the map's own section stays

    // The map goes: the bar empties.
    app.DocManager().CloseAllDocuments();
    FlushDeletes();
    EXPECT_EQ(counties->count(), 0);
    EXPECT_FALSE(counties->isEnabled());
}

TEST_F(AdminSearchBarTest, TheParametersOpenTheRealDialogs)
{
    ASSERT_TRUE(Start({MakeAdminMap()}));
    ASSERT_TRUE(MapWindow());
    Settle();
    CDrelDoc* map = frame->GetActiveMapDocument();
    ASSERT_TRUE(IsEnabled(30453));
    for (const int show : {30456, 30444, 30446, 30448, 30450})
        EXPECT_TRUE(IsEnabled(show)) << show;
    map->SetModifiedFlag(false);
    bool lookedAtFields = false;
    WithModal([&] { Run(30453); },
              [&](QWidget& dialog) {
                  EXPECT_EQ(GetControlId(&dialog), 378);
                  auto* wards = FindControl<QComboBox>(&dialog, 1022);
                  ASSERT_TRUE(wards);
                  EXPECT_EQ(wards->currentText(), Text("Seniūnijos"));
                  SaveScreenshot(dialog, "admin_search_params_in_program");
                  WithModal([&] { QTest::mouseClick(FindControl<QPushButton>(&dialog, 1089), Qt::LeftButton); },
                            [&](QWidget& fields) {
                                EXPECT_EQ(GetControlId(&fields), 397);
                                EXPECT_EQ(FindControl<QLabel>(&fields, 1059)->text(), Text("Seniūnijos kodas:"));
                                EXPECT_EQ(FindControl<QComboBox>(&fields, 1012)->currentText(), "SENKOD");
                                EXPECT_EQ(FindControl<QComboBox>(&fields, 1021)->currentText(), "SKODAS");
                                lookedAtFields = true;
                            });
                  // The ward layer goes: OK refills the bar without wards.
                  wards->setCurrentIndex(0);
                  QTest::mouseClick(FindControl<QPushButton>(&dialog, IDOK), Qt::LeftButton);
              });
    EXPECT_TRUE(lookedAtFields);
    auto& settings = static_cast<CAdminSearchSettings&>(*map->GetAdminSearchSettings());
    EXPECT_EQ(settings.Get(kSenLayer), "");
    EXPECT_TRUE(map->IsModified());
    EXPECT_TRUE(settings.Lists(kWardLevel).names.empty());
    EXPECT_EQ(FindBox(kAdminCountyBox)->count(), 4);
    EXPECT_TRUE(shown.empty());
}

} // namespace
