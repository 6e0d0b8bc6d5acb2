// Dialog 30806 on the offscreen platform: its controls by id, what they
// offer, the mode's controls, the file buttons and what OK refuses.
#include "geoproc/widgets/BlockLayerDlg.h"

#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "platform/Strings.h"
#include "shell/widgets/ControlIds.h"
#include "tests/core/FieldLists.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Rules = CStreetBlockRules;

class BlockLayerDlgTest : public ::testing::Test, public CWithApplication {
protected:
    BlockLayerDlgTest()
    {
        doc.SetPathName(dir.File("map.map"));
        const std::vector<CDbfFieldInfo> fields =
            FieldList({{"PAVADIN", 'C', 20, 0}, {"TIPAS", 'N', 3, 0}, {"PLOTIS", 'N', 8, 2}});
        {
            CGdbSource source;
            EXPECT_TRUE(source.Create(dir.File("gatves.gdb"), CLayer::kLine, fields.data()));
        }
        streets = Add(Utf8ToCp1257("Gatvės"), "gatves.gdb", CLayer::kLine);
        Add(Utf8ToCp1257("Rėmelis"), "remelis.gdb", CLayer::kArea);
        Add("Taskai", "taskai.gdb", CLayer::kPoint);
        choice = Rules::Start();
        choice.blockName = "Kvartalai";
        choice.blockPath = dir.File("kvartalai.gdb");
        choice.streetName = "Gatvesp";
        choice.streetPath = dir.File("gatvesp.gdb");
    }
    CLayer* Add(const std::string& name, const std::string& file, int type)
    {
        auto layer = std::make_unique<CLayer>(name, dir.File(file), type);
        CLayer* added = layer.get();
        doc.AddLayer(std::move(layer), false);
        return added;
    }
    static void Open(QWidget& dialog)
    {
        dialog.show();
        QCoreApplication::processEvents();
    }
    static void Click(QWidget& dialog, int id)
    {
        auto* button = FindControl<QAbstractButton>(&dialog, id);
        ASSERT_TRUE(button) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static QStringList Items(QComboBox& combo)
    {
        QStringList items;
        for (int i = 0; i < combo.count(); ++i)
            items << combo.itemText(i);
        return items;
    }
    static QLineEdit* Edit(QWidget& dialog, int id) { return FindControl<QLineEdit>(&dialog, id); }

    CTempDir dir;
    CScriptedUserServices user;
    CDrelDoc doc;
    CLayer* streets = nullptr;
    CStreetBlockChoice choice;
};

TEST_F(BlockLayerDlgTest, OffersTheNumericFieldsTheFrameLayersAndTheProposals)
{
    CBlockLayerDlg dialog(doc, *streets, choice);
    Open(dialog);
    EXPECT_EQ(GetControlId(&dialog), 30806);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Kvartalų sluoksnio kūrimas"));
    EXPECT_FALSE(FindControl<QRadioButton>(&dialog, Rules::kOneWidth)->isChecked());
    EXPECT_TRUE(FindControl<QRadioButton>(&dialog, Rules::kFieldWidth)->isChecked());
    EXPECT_EQ(FindControl<QRadioButton>(&dialog, Rules::kOneWidth)->text(),
              QString::fromUtf8("Vienodas visoms gatvėms:"));
    auto* fields = FindControl<QComboBox>(&dialog, Rules::kWidthField);
    ASSERT_TRUE(fields);
    EXPECT_EQ(Items(*fields), (QStringList{"Tipas", "Plotis"}));
    EXPECT_EQ(fields->currentText(), "Plotis");
    EXPECT_TRUE(fields->isEnabled());
    EXPECT_FALSE(Edit(dialog, Rules::kWidth)->isEnabled());
    auto* frames = FindControl<QComboBox>(&dialog, Rules::kFrameLayer);
    EXPECT_EQ(Items(*frames), (QStringList{QString::fromUtf8("Gatvės"), QString::fromUtf8("Rėmelis")}));
    EXPECT_EQ(frames->currentText(), QString::fromUtf8("Rėmelis"));
    EXPECT_EQ(Edit(dialog, Rules::kTolerance)->text().toDouble(), 1.0);
    EXPECT_EQ(Edit(dialog, Rules::kWidth)->text().toDouble(), 1.0);
    EXPECT_EQ(Edit(dialog, Rules::kBlockName)->text(), "Kvartalai");
    EXPECT_EQ(Edit(dialog, Rules::kStreetName)->text(), "Gatvesp");
    SaveScreenshot(dialog, "geoproc-30806");

    // Mode 0 serves the width edit.
    FindControl<QRadioButton>(&dialog, Rules::kOneWidth)->setChecked(true);
    EXPECT_TRUE(Edit(dialog, Rules::kWidth)->isEnabled());
    EXPECT_FALSE(fields->isEnabled());
}

TEST_F(BlockLayerDlgTest, TheFileButtonsOfferGdbFiles)
{
    CBlockLayerDlg dialog(doc, *streets, choice);
    std::vector<std::string> filters;
    dialog.chooseFile = [&](std::string& path, const std::string& filter) {
        filters.push_back(filter);
        path = "/kitur/" + std::to_string(filters.size()) + ".gdb";
        return true;
    };
    Open(dialog);
    Click(dialog, Rules::kBlockFiles);
    Click(dialog, Rules::kStreetFiles);
    EXPECT_EQ(filters, (std::vector<std::string>{"Drel GDB Files (*.gdb)|*.gdb||",
                                                 "Drel GDB Files (*.gdb)|*.gdb||"}));
    EXPECT_EQ(Edit(dialog, Rules::kBlockFile)->text(), "/kitur/1.gdb");
    EXPECT_EQ(Edit(dialog, Rules::kStreetFile)->text(), "/kitur/2.gdb");
}

TEST_F(BlockLayerDlgTest, OkRefusesWhatTheRulesRefuseAndFocusesIt)
{
    {
        CBlockLayerDlg dialog(doc, *streets, choice);
        Open(dialog);
        FindControl<QRadioButton>(&dialog, Rules::kOneWidth)->setChecked(true);
        Edit(dialog, Rules::kWidth)->setText("0");
        Click(dialog, IDOK);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1103});

        user.messages.clear();
        Edit(dialog, Rules::kWidth)->setText("12.5");
        Edit(dialog, Rules::kBlockName)->setText(QString::fromUtf8("Gatvės"));
        Click(dialog, IDOK);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1001});
        EXPECT_EQ(dialog.focusWidget(), Edit(dialog, Rules::kBlockName));

        user.messages.clear();
        Edit(dialog, Rules::kBlockName)->setText("Kvartalai");
        Edit(dialog, Rules::kTolerance)->setText("100.5");
        Click(dialog, IDOK);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(user.messages.size(), 1u);

        // An existing file: No keeps the dialog open on its edit.
        user.messages.clear();
        Edit(dialog, Rules::kTolerance)->setText("2");
        WriteWholeFile(dir.File("esamas.gdb"), "");
        Edit(dialog, Rules::kStreetFile)->setText("esamas.gdb");
        user.answers = {IDNO};
        Click(dialog, IDOK);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{2000});
        EXPECT_EQ(dialog.focusWidget(), Edit(dialog, Rules::kStreetFile));
        EXPECT_EQ(FromQString(Edit(dialog, Rules::kStreetFile)->text()), dir.File("esamas.gdb"));

        user.answers = {IDYES};
        Click(dialog, IDOK);
        EXPECT_FALSE(dialog.isVisible());
        const CStreetBlockChoice& chosen = dialog.GetChoice();
        EXPECT_EQ(chosen.mode, 0);
        EXPECT_EQ(chosen.width, 12.5);
        EXPECT_EQ(chosen.tolerance, 2.0);
        EXPECT_EQ(chosen.frameLayer, Utf8ToCp1257("Rėmelis"));
        EXPECT_EQ(chosen.streetPath, dir.File("esamas.gdb"));
    }
    // The tolerance is the next dialog's.
    CBlockLayerDlg next(doc, *streets, Rules::Start());
    Open(next);
    EXPECT_EQ(Edit(next, Rules::kTolerance)->text().toDouble(), 2.0);
    Edit(next, Rules::kTolerance)->setText("1");
    Edit(next, Rules::kBlockName)->setText("A");
    Edit(next, Rules::kStreetName)->setText("B");
    Click(next, IDOK);
    EXPECT_FALSE(next.isVisible());
}

} // namespace
