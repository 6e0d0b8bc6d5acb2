// The administrative search's parameters (378) and fields (397) dialogs
// on the offscreen platform, over the test layers of the search's tests.
#include "search/widgets/AdminSearchDlg.h"

#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/UserServices.h"
#include "search/AdminSearchSettings.h"
#include "shell/widgets/ControlIds.h"
#include "tests/search/AdminLayers.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

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

class AdminSearchDlgTest : public ::testing::Test, public CWithApplication {
protected:
    void SetUp() override
    {
        for (const CAdminLayerData& data : AdminFixtureLayers()) {
            ASSERT_TRUE(WriteAdminLayerFile(dir.File(data.file), data));
            doc.AddLayer(MakeAdminLayer(dir.Path(), data), false);
        }
        doc.AddLayer(std::make_unique<CLayer>("Adresai", dir.File("adresai.gdb"), CLayer::kPoint), false);
        SetAdminFixtureKeys(settings);
        settings.Set(kSenLayer, "Istrinta"); // a layer no longer in the map
    }
    QComboBox* List(QWidget& dialog, int id) { return FindControl<QComboBox>(&dialog, id); }

    CTempDir dir;
    CDrelDoc doc;
    CAdminSearchSettings settings;
};

TEST_F(AdminSearchDlgTest, LayerListsByTypeWithTheCurrentLayersShown)
{
    CAdminSearchDlg dialog(settings, doc);
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(GetControlId(&dialog), 378);
    EXPECT_EQ(dialog.windowTitle(), Text("Administracinės paieškos parametrai"));
    const QStringList areas{Text("<Nėra>"), "Apskritys", Text("Savivaldybės"), Text("Seniūnijos")};
    EXPECT_EQ(Items(List(dialog, 1012)), areas);
    EXPECT_EQ(Items(List(dialog, 1021)), areas);
    EXPECT_EQ(Items(List(dialog, 1022)), areas);
    EXPECT_EQ(Items(List(dialog, 1024)), (QStringList{Text("<Nėra>"), "Adresai", "Apskritys", Text("Gyvenvietės"),
                                                       Text("Savivaldybės"), Text("Seniūnijos")}));
    EXPECT_EQ(Items(List(dialog, 1025)), (QStringList{Text("<Nėra>"), Text("Gatvių ašys")}));
    EXPECT_EQ(Items(List(dialog, 1026)), (QStringList{Text("<Nėra>"), "Adresai", Text("Gyvenvietės")}));
    EXPECT_EQ(List(dialog, 1012)->currentText(), "Apskritys");
    EXPECT_EQ(List(dialog, 1021)->currentText(), Text("Savivaldybės"));
    EXPECT_EQ(List(dialog, 1022)->currentText(), Text("<Nėra>")); // not in the map
    EXPECT_EQ(List(dialog, 1024)->currentText(), Text("Gyvenvietės"));
    EXPECT_EQ(List(dialog, 1025)->currentText(), Text("Gatvių ašys"));
    // The address row is there but disabled.
    EXPECT_FALSE(List(dialog, 1026)->isEnabled());
    EXPECT_FALSE(FindControl<QPushButton>(&dialog, 1092)->isEnabled());
    for (const int button : {1055, 1056, 1089, 1019, 1020}) {
        ASSERT_TRUE(FindControl<QPushButton>(&dialog, button)) << button;
        EXPECT_EQ(FindControl<QPushButton>(&dialog, button)->text(), Text("Laukai...")) << button;
    }
    SaveScreenshot(dialog, "admin_search_params");
}

TEST_F(AdminSearchDlgTest, OkStoresTheLayerNamesNoneAsEmpty)
{
    CAdminSearchDlg dialog(settings, doc);
    dialog.show();
    QCoreApplication::processEvents();
    List(dialog, 1012)->setCurrentIndex(0);
    List(dialog, 1022)->setCurrentText(Text("Seniūnijos"));
    QTest::mouseClick(FindControl<QPushButton>(&dialog, IDOK), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(settings.Get(kApskLayer), "");
    EXPECT_EQ(settings.Get(kSenLayer), Utf8ToCp1257("Seniūnijos"));
    EXPECT_EQ(settings.Get(kSavLayer), Utf8ToCp1257("Savivaldybės"));
    EXPECT_EQ(settings.Get(kAddressLayer), "");
}

TEST_F(AdminSearchDlgTest, FieldsActOnlyWithALayerChosen)
{
    CAdminSearchDlg dialog(settings, doc);
    dialog.show();
    QCoreApplication::processEvents();
    // "<Nėra>": the button does nothing.
    List(dialog, 1022)->setCurrentIndex(0);
    QTest::mouseClick(FindControl<QPushButton>(&dialog, 1089), Qt::LeftButton);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

struct FieldsCase {
    int button;
    std::vector<const char*> labels;
    std::vector<const char*> current;
};

TEST_F(AdminSearchDlgTest, FieldsDialogsShowTheLabelsOfTheirLevel)
{
    settings.Set(kPlaceSenCodeField, "NERA");
    const FieldsCase cases[] = {
        {1055, {"Apskrities kodas:"}, {"AKODAS"}},
        {1056, {"Savivaldybės kodas:", "Apskrities kodas:"}, {"SKODAS", "AKODAS"}},
        {1019, {"Gyvenvietės kodas:", "Savivaldybės kodas:", "Seniūnijos kodas:"}, {"GKODAS", "SKODAS", "<Nėra>"}},
        {1020, {"Gatvės kodas:", "Gyvenvietės kodas:"}, {"GATKOD", "GKODAS"}},
    };
    CAdminSearchDlg dialog(settings, doc);
    dialog.show();
    QCoreApplication::processEvents();
    for (const FieldsCase& c : cases) {
        SCOPED_TRACE(c.button);
        WithModalWindow([&] { QTest::mouseClick(FindControl<QPushButton>(&dialog, c.button), Qt::LeftButton); },
                        [&](QWidget& fields) {
                            EXPECT_EQ(GetControlId(&fields), 397);
                            EXPECT_EQ(fields.windowTitle(), "Laukai");
                            for (size_t i = 0; i < 4; ++i) {
                                auto* label = FindControl<QLabel>(&fields, CAdminFieldsDlg::kLabels[i]);
                                QComboBox* list = List(fields, CAdminFieldsDlg::kLists[i]);
                                ASSERT_TRUE(label && list);
                                EXPECT_EQ(list->isVisible(), i < c.labels.size()) << i;
                                if (i >= c.labels.size())
                                    continue;
                                EXPECT_EQ(label->text(), Text(c.labels[i]));
                                EXPECT_EQ(list->currentText(), Text(c.current[i]));
                                EXPECT_EQ(list->itemText(0), Text("<Nėra>"));
                                EXPECT_EQ(list->itemText(1), "NAME");
                            }
                            if (c.button == 1019)
                                SaveScreenshot(fields, "admin_search_fields");
                        });
    }
}

TEST_F(AdminSearchDlgTest, FieldsOkStoresTheChosenNames)
{
    const CLayer& streets = *doc.Layers().FindByName(Utf8ToCp1257("Gatvių ašys"));
    CAdminFieldsDlg dialog(settings, streets, AdminLayerRows()[4]);
    dialog.show();
    QCoreApplication::processEvents();
    List(dialog, 1012)->setCurrentText("NAME");
    List(dialog, 1021)->setCurrentIndex(0);
    QTest::mouseClick(FindControl<QPushButton>(&dialog, IDOK), Qt::LeftButton);
    EXPECT_EQ(settings.Get(kStreetCodeField), "NAME");
    EXPECT_EQ(settings.Get(kStreetPlaceCodeField), "");
    EXPECT_EQ(settings.Get(kPlaceCodeField), "GKODAS"); // another level's stays
}

TEST_F(AdminSearchDlgTest, FieldsCancelStoresNothing)
{
    const CLayer& streets = *doc.Layers().FindByName(Utf8ToCp1257("Gatvių ašys"));
    CAdminFieldsDlg dialog(settings, streets, AdminLayerRows()[4]);
    dialog.show();
    QCoreApplication::processEvents();
    List(dialog, 1012)->setCurrentIndex(0);
    QTest::mouseClick(FindControl<QPushButton>(&dialog, IDCANCEL), Qt::LeftButton);
    EXPECT_EQ(settings.Get(kStreetCodeField), "GATKOD");
}

} // namespace
