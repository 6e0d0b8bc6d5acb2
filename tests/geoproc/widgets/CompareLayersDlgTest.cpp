// Dialog 30808 on the offscreen platform: its controls by id, their texts,
// what OK refuses and what it remembers.
#include "geoproc/CompareLayers.h"
#include "geoproc/widgets/CompareLayersDlg.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "shell/widgets/ControlIds.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

class CompareLayersDlgTest : public ::testing::Test, public CWithApplication {
protected:
    CompareLayersDlgTest()
        : m_second(CCompareLayersRules::LastSecond()), m_mode(CCompareLayersRules::InitialMode())
    {
        CCompareLayersRules::Remember("", 0);
        doc.SetPathName(dir.File("map.map"));
        const std::pair<const char*, int> layers[] = {
            {"Adresai", CLayer::kPoint}, {"Gatvės", CLayer::kLine},  {"Parkai", CLayer::kArea},
            {"Ortofoto", CLayer::kRaster}, {"Trasa", CLayer::kTrack}, {"Gatvės 2", CLayer::kLine}};
        for (const auto& [name, type] : layers) {
            const std::string file = std::to_string(doc.GetLayerCount()) + (type == CLayer::kTrack ? ".trk" : ".gdb");
            doc.AddLayer(std::make_unique<CLayer>(Utf8ToCp1257(name), dir.File(file), type), false);
        }
    }
    ~CompareLayersDlgTest() override { CCompareLayersRules::Remember(m_second, m_mode); }
    CLayer* Layer(const char* name) { return doc.Layers().FindByName(Utf8ToCp1257(name)); }
    static void Open(CDialogBase& dialog)
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
    static void Choose(QWidget& dialog, int id, const char* text)
    {
        auto* combo = FindControl<QComboBox>(&dialog, id);
        ASSERT_TRUE(combo) << id;
        combo->setCurrentIndex(combo->findText(Text(text)));
    }
    static QString LabelOf(QWidget& dialog, QWidget* control)
    {
        for (QLabel* label : dialog.findChildren<QLabel*>())
            if (label->buddy() == control)
                return label->text();
        return {};
    }

    CScriptedUserServices user;
    CTempDir dir;
    CDrelDoc doc;

private:
    std::string m_second;
    int m_mode;
};

TEST_F(CompareLayersDlgTest, TheDialogOffersVectorLayersAndTheTwoModes)
{
    CCompareLayersDlg dialog(doc, Layer("Gatvės"));
    Open(dialog);
    SaveScreenshot(dialog, "geoproc-30808-compare-layers");
    EXPECT_EQ(GetControlId(&dialog), 30808);
    EXPECT_EQ(dialog.windowTitle(), Text("Skirtumų tarp sluoksnių paieška"));
    const QStringList layers = {"Adresai", Text("Gatvės"), "Parkai", "Trasa", Text("Gatvės 2")};
    for (const auto& [id, label] : {std::pair{1012, "Pirmas sluoksnis:"}, std::pair{1021, "Antras sluoksnis:"}}) {
        auto* combo = FindControl<QComboBox>(&dialog, id);
        ASSERT_TRUE(combo) << id;
        EXPECT_EQ(LabelOf(dialog, combo), Text(label));
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        EXPECT_EQ(items, layers);
    }
    auto* geometry = FindControl<QRadioButton>(&dialog, 1024);
    auto* attributes = FindControl<QRadioButton>(&dialog, 1025);
    ASSERT_TRUE(geometry && attributes);
    EXPECT_EQ(geometry->text(), Text("Objektų geometriją"));
    EXPECT_EQ(attributes->text(), Text("Geometriją ir atributus"));
    auto* group = qobject_cast<QGroupBox*>(geometry->parentWidget());
    ASSERT_TRUE(group);
    EXPECT_EQ(group->title(), Text("Palyginti"));
    // The active layer first, no second layer, geometry only.
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1012)->currentText(), Text("Gatvės"));
    EXPECT_EQ(FindControl<QComboBox>(&dialog, 1021)->currentIndex(), -1);
    EXPECT_TRUE(geometry->isChecked());

    // Without a second layer OK does nothing.
    Click(dialog, IDOK);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(user.messages.empty());
    // Layers of two types: 1113, and the dialog stays.
    Choose(dialog, 1021, "Parkai");
    Click(dialog, IDOK);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1113});
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Skiriasi sluoksnių tipai."));
    EXPECT_TRUE(dialog.isVisible());
    Choose(dialog, 1021, "Gatvės 2");
    // On its mark: the stretched button takes clicks on its mark and text only.
    QTest::mouseClick(attributes, Qt::LeftButton, {}, QPoint(8, attributes->height() / 2));
    Click(dialog, IDOK);
    EXPECT_EQ(dialog.result(), IDOK);
    const CCompareChoice choice = dialog.GetChoice();
    EXPECT_EQ(choice.first, Layer("Gatvės"));
    EXPECT_EQ(choice.second, Layer("Gatvės 2"));
    EXPECT_EQ(choice.mode, 1);

    // The next run starts on the remembered second layer and mode.
    CCompareLayersDlg next(doc, Layer("Adresai"));
    Open(next);
    EXPECT_EQ(FindControl<QComboBox>(&next, 1012)->currentText(), "Adresai");
    EXPECT_EQ(FindControl<QComboBox>(&next, 1021)->currentText(), Text("Gatvės 2"));
    EXPECT_EQ(CCompareLayersRules::InitialMode(), 1);
    EXPECT_FALSE(FindControl<QRadioButton>(&next, 1024)->isChecked());
    EXPECT_TRUE(FindControl<QRadioButton>(&next, 1025)->isChecked());
    Click(next, IDCANCEL);
    EXPECT_EQ(next.result(), IDCANCEL);
}

} // namespace
