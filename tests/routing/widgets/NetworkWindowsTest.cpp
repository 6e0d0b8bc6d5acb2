// The network's windows on the offscreen platform, found by their ids:
// the imported-points dialog and the delivery-distance calculator.
#include "platform/Codepage.h"
#include "routing/widgets/GrainDistanceDlg.h"
#include "routing/widgets/RouteImportedPointsDlg.h"
#include "shell/widgets/ControlIds.h"
#include "tests/routing/GrainTown.h"
#include "tests/shell/ClipboardDouble.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

void Open(CDialogBase& dialog)
{
    dialog.show();
    QCoreApplication::processEvents();
}

void Click(QWidget& dialog, int id)
{
    auto* button = FindControl<QAbstractButton>(&dialog, id);
    ASSERT_TRUE(button) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

QString ControlText(QWidget& dialog, int id)
{
    if (auto* combo = FindControl<QComboBox>(&dialog, id))
        return combo->currentText();
    if (auto* edit = FindControl<QLineEdit>(&dialog, id))
        return edit->text();
    return "<none>";
}

} // namespace

TEST(RouteImportedPointsDialog, ProposesTheFirstFreeResultsFileAndKeepsTheChoice)
{
    CWithApplication app;
    CScriptedUserServices user;
    CTempDir dir;
    std::ofstream(dir.File("Results1.dbf")) << "x";
    CRouteImportedPointsDlg dialog(dir.File("points.gdb"));
    Open(dialog);
    SaveScreenshot(dialog, "routing-250-imported-points");
    EXPECT_EQ(GetControlId(&dialog), 250);
    EXPECT_EQ(dialog.windowTitle(), Text("Maršuto importuotiems punktams skaičiavimas"));
    auto* points = FindControl<QLineEdit>(&dialog, 1017);
    auto* results = FindControl<QLineEdit>(&dialog, 1007);
    ASSERT_TRUE(points && results);
    EXPECT_EQ(points->text().toStdString(), dir.File("points.gdb"));
    EXPECT_EQ(results->text().toStdString(), dir.File("Results2.dbf"));
    EXPECT_EQ(results->maxLength(), 254);
    EXPECT_EQ(FindControl<QAbstractButton>(&dialog, IDOK)->text(), Text("Skaičiuoti"));

    results->setText("/elsewhere/r.dbf");
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.GetPointsPath(), dir.File("points.gdb"));
    EXPECT_EQ(dialog.GetResultsPath(), "/elsewhere/r.dbf");
}

class GrainDistanceDialogTest : public ::testing::Test, public CWithApplication {
protected:
    GrainDistanceDialogTest() { town.AddAll(); }

    CGrainTown town;
    CTestView view{town.doc};
    CTestClipboard clipboard;
};

TEST_F(GrainDistanceDialogTest, CompletesComputesShowsRoutesAndCopies)
{
    CGrainDistanceDlg dialog(town.doc, [this] { return &view; });
    dialog.Calculator().network.SetLayerSource(&town.source);
    Open(dialog);
    EXPECT_EQ(GetControlId(&dialog), 30820);
    EXPECT_EQ(dialog.windowTitle(), Text("Atstumų skaičiuoklė"));
    auto* location = FindControl<QComboBox>(&dialog, 1021);
    ASSERT_TRUE(location && location->isEditable());
    ASSERT_EQ(location->count(), 2);
    EXPECT_EQ(location->itemText(1), Text("Beržai"));
    EXPECT_EQ(location->itemData(1).toInt(), 1);

    // Typed in another case, completed with the tail selected.
    location->lineEdit()->setFocus();
    QTest::keyClicks(location->lineEdit(), "be");
    EXPECT_EQ(location->currentText(), Text("Beržai"));
    EXPECT_EQ(location->lineEdit()->selectedText(), Text("ržai"));
    location->setEditText(Text("Ąžuolai"));

    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible()) << "computing does not close";
    SaveScreenshot(dialog, "routing-30820-grain-distance");
    EXPECT_EQ(ControlText(dialog, 1008), "C near");
    EXPECT_EQ(ControlText(dialog, 1017), "2");
    auto* centres = FindControl<QComboBox>(&dialog, 1022);
    ASSERT_EQ(centres->count(), 2);
    auto* warehouses = FindControl<QComboBox>(&dialog, 1024);
    ASSERT_EQ(warehouses->count(), 2);
    EXPECT_EQ(warehouses->itemText(0), "W north");
    EXPECT_EQ(warehouses->itemText(1), "W south");
    EXPECT_EQ(warehouses->currentIndex(), 0);
    EXPECT_EQ(ControlText(dialog, 1007), "2");
    EXPECT_EQ(view.GetOverlayCount(), 2);

    Click(dialog, 1055);
    EXPECT_EQ(clipboard.held, "text/plain;charset=utf-8");
    EXPECT_EQ(clipboard.Text(), "Kultūra: Kviečiai\r\nGrūdų vieta paraiškos metu: Ąžuolai\r\n"
                                "Intervencinis centras: C near\r\nAtstumas iki intervencinio centro (km): 2\r\n"
                                "Intervencinis sandėlis: W north\r\nAtstumas iki intervencinio sandėlio (km): 2\r\n\r\n");

    // Barley: no warehouse routed, its fields stay empty.
    FindControl<QComboBox>(&dialog, 1012)->setCurrentIndex(1);
    Click(dialog, IDOK);
    EXPECT_EQ(ControlText(dialog, 1008), "C near");
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1024)->count(), 0);
    EXPECT_EQ(ControlText(dialog, 1007), "");
    EXPECT_EQ(view.GetOverlayCount(), 1);

    Click(dialog, IDCANCEL);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(GrainDistanceDialogTest, SaysWhenNoSettlementIsMeant)
{
    CGrainDistanceDlg dialog(town.doc, [this] { return &view; });
    dialog.Calculator().network.SetLayerSource(&town.source);
    Open(dialog);
    auto* location = FindControl<QComboBox>(&dialog, 1021);
    const std::pair<const char*, const char*> cases[] = {
        {"", "Nenurodyta grūdų vieta."},
        {"Kaunas", "Nurodytos vietovės nerasta."},
    };
    for (const auto& [typed, message] : cases) {
        town.user.messages.clear();
        location->setEditText(Text(typed));
        Click(dialog, IDOK);
        ASSERT_EQ(town.user.messages.size(), 1u) << typed;
        EXPECT_EQ(town.user.messages[0].text, Utf8ToCp1257(message));
        EXPECT_EQ(ControlText(dialog, 1008), "");
    }
}
