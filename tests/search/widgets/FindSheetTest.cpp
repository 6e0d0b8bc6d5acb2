// The find sheet and its pages offscreen over a map the tests write,
// their controls found by resource id.
#include "search/widgets/FindSheet.h"

#include "search/widgets/CheckTreeCtrl.h"
#include "search/widgets/NameCombo.h"
#include "search/widgets/SearchResultsDlg.h"
#include "shell/widgets/ControlIds.h"
#include "tests/search/FindTestSupport.h"
#include "tests/search/widgets/ModalWindows.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class FindSheetTest : private CWithApplication, public CFindFixture {
protected:
    ~FindSheetTest() override
    {
        if (sheet)
            sheet->close();
    }
    void Open(QWidget* parent = nullptr)
    {
        sheet = std::make_unique<CDlgFindPropertySheet>(view, parent);
        sheet->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
    }
    void Page(int index)
    {
        ASSERT_TRUE(sheet->SetActivePage(index));
        QCoreApplication::processEvents();
    }
    template <class T = QWidget>
    T* Control(int id) const
    {
        T* control = FindControl<T>(sheet->GetActivePage(), id);
        EXPECT_TRUE(control) << id;
        return control;
    }
    void Click(int id)
    {
        auto* button = Control<QPushButton>(id);
        ASSERT_TRUE(button);
        ASSERT_TRUE(button->isEnabled()) << id;
        button->click();
    }
    bool Shown(int id) const { return Control(id)->isVisibleTo(sheet->GetActivePage()); }
    void Type(int id, const QString& text)
    {
        QWidget* control = Control(id);
        auto* combo = qobject_cast<QComboBox*>(control);
        QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(control);
        ASSERT_TRUE(edit);
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }
    QString Text(int id) const
    {
        QWidget* control = Control(id);
        if (auto* label = qobject_cast<QLabel*>(control))
            return label->text();
        if (auto* combo = qobject_cast<QComboBox*>(control))
            return combo->currentText();
        return qobject_cast<QLineEdit*>(control)->text();
    }

    // Outlives the sheet, which it would delete with itself.
    QWidget parent;
    std::unique_ptr<CDlgFindPropertySheet> sheet;
};

TEST_F(FindSheetTest, OneCloseButtonTheLastPageAtTheParentsCorner)
{
    FindState().lastPage = CFindState::kTextPage;
    parent.setGeometry(120, 80, 600, 400);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    Open(&parent);
    EXPECT_EQ(sheet->windowTitle(), QString::fromUtf8("Paieška"));
    EXPECT_EQ(sheet->GetActiveIndex(), CFindState::kTextPage);
    const auto* tabs = sheet->findChild<QTabBar*>();
    ASSERT_TRUE(tabs);
    const QStringList captions = {"Objektai", QString::fromUtf8("Gatvės/Adresai"), "Tekstas",
                                  QString::fromUtf8("Koordinatės")};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(tabs->tabText(i), captions[i]);
    EXPECT_FALSE(sheet->GetOkButton()->isVisible());
    EXPECT_FALSE(sheet->GetOkButton()->isEnabled());
    EXPECT_EQ(sheet->GetCancelButton()->text(), QString::fromUtf8("Uždaryti"));
    EXPECT_EQ(sheet->pos(), parent.mapToGlobal(QPoint(0, 0)));
}

TEST_F(FindSheetTest, ObjectPageNamesOfTheActiveLayer)
{
    CLayer& trees = AddNamedPoints("Medziai", {"Liepa", "Klevas", "Liepa", "Liepa"});
    AddLayer("Be vardu", CLayer::kPoint, {{"NAME", 'C', 10, 0}}, {{"X"}}, "KITAS");
    window.active = &trees;
    Open();
    EXPECT_EQ(sheet->GetActiveIndex(), CFindState::kObjectPage);
    auto* layers = Control<QComboBox>(CDlgFindOject_PP::kLayerCombo);
    ASSERT_EQ(layers->count(), 2);
    EXPECT_EQ(layers->currentText(), "Medziai");
    EXPECT_TRUE(Control<QCheckBox>(CDlgFindOject_PP::kFoldCheck)->isChecked());
    EXPECT_EQ(Text(CDlgFindOject_PP::kCount), "2");
    for (const int id : {CDlgFindOject_PP::kShowButton, CDlgFindOject_PP::kInfoButton,
                         CDlgFindOject_PP::kEditButton, CDlgFindOject_PP::kDeleteButton})
        EXPECT_FALSE(Control(id)->isEnabled()) << id;

    // Typing completes from the list; the folded name marks every Liepa.
    Type(CDlgFindOject_PP::kNameCombo, "li");
    EXPECT_EQ(Text(CDlgFindOject_PP::kNameCombo), "Liepa");
    Click(CDlgFindOject_PP::kShowButton);
    EXPECT_EQ(Marks(), 3);
    Click(CDlgFindOject_PP::kInfoButton);
    Click(CDlgFindOject_PP::kDeleteButton);
    EXPECT_EQ(Messages(), (std::vector<unsigned>{1038, 1038}));
    // Unfolded, one object each.
    Control<QCheckBox>(CDlgFindOject_PP::kFoldCheck)->setChecked(false);
    EXPECT_EQ(Text(CDlgFindOject_PP::kCount), "4");
    Click(CDlgFindOject_PP::kShowButton);
    EXPECT_EQ(Marks(), 1);
    // A name nobody has.
    Type(CDlgFindOject_PP::kNameCombo, "Uosis");
    Click(CDlgFindOject_PP::kShowButton);
    EXPECT_EQ(Messages().back(), 1111u);

    // A layer without its name field.
    layers->setCurrentIndex(0);
    auto* names = Control<CNameCombo>(CDlgFindOject_PP::kNameCombo);
    EXPECT_FALSE(names->isEnabled());
    ASSERT_EQ(names->count(), 1);
    EXPECT_EQ(names->itemText(0), QString::fromUtf8("Neapibrėžtas vardo laukas."));
    EXPECT_EQ(Text(CDlgFindOject_PP::kCount), "?");
    EXPECT_FALSE(Control(CDlgFindOject_PP::kShowButton)->isEnabled());
}

TEST_F(FindSheetTest, AddressPageWithoutStreetsOnlySaysSo)
{
    FindState().lastPage = CFindState::kAddressPage;
    Open();
    EXPECT_TRUE(Shown(CDlgFindAddress_PP::kNoStreets));
    for (const int id : {CDlgFindAddress_PP::kTownCombo, CDlgFindAddress_PP::kStreetCombo,
                         CDlgFindAddress_PP::kHouseEdit, CDlgFindAddress_PP::kShowButton})
        EXPECT_FALSE(Shown(id)) << id;
    for (QLabel* label : sheet->GetActivePage()->findChildren<QLabel*>())
        EXPECT_EQ(label->isVisibleTo(sheet->GetActivePage()),
                  GetControlId(label) == CDlgFindAddress_PP::kNoStreets)
            << label->text().toStdString();
    EXPECT_TRUE(Messages().empty());
}

// Escape keys for the sheet while it searches: the first question is
// answered No after another Escape is sent, the second Yes.
class CStopScript : public CServicesOverlay {
public:
    explicit CStopScript(QWidget& target) : m_target(target) {}
    int MessageBox(const std::string& text, unsigned type, unsigned helpId) override
    {
        if (helpId != 2029)
            return CServicesOverlay::MessageBox(text, type, helpId);
        if (++asked == 1) {
            QCoreApplication::postEvent(&m_target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
            return IDNO;
        }
        return IDYES;
    }
    int asked = 0;

private:
    QWidget& m_target;
};

TEST_F(FindSheetTest, TextPageFindsStopsOnEscapeAndKeepsTheHitsSoFar)
{
    std::vector<std::vector<std::string>> many(5000, {"Liepa"});
    CLayer& trees = AddLayer("Medziai", CLayer::kPoint, {{"NAME", 'C', 20, 0}}, many);
    AddNamedPoints("Kiti", {"Liepa"});
    window.active = &trees;
    FindState().lastPage = CFindState::kTextPage;
    FindState().lastLayerScope = CFindState::kAllLayers;
    Open();
    EXPECT_EQ(Text(CDlgFindText_PP::kScopeCombo), "Visi sluoksniai");
    EXPECT_FALSE(Shown(CDlgFindText_PP::kLayerTree));
    EXPECT_TRUE(Control<QRadioButton>(CDlgFindText_PP::kAllFieldsRadio)->isChecked());
    EXPECT_FALSE(Control(CDlgFindText_PP::kFindButton)->isEnabled());
    Type(CDlgFindText_PP::kTextEdit, "liepa");

    CStopScript script(*Control(CDlgFindText_PP::kTextEdit));
    QCoreApplication::postEvent(Control(CDlgFindText_PP::kTextEdit),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
    int rows = -1;
    WithModalOf<CSearchResultsDlg>([&] { Click(CDlgFindText_PP::kFindButton); },
                                   [&](CSearchResultsDlg& results) {
                                       rows = results.GetRowCount();
                                       EXPECT_FALSE(sheet->isVisible());
                                   });
    EXPECT_EQ(script.asked, 2);
    // Stopped within the first layer, before its 4096th record.
    EXPECT_EQ(rows, 4095);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(FindState().lastText, "liepa");
    EXPECT_EQ(FindState().lastPage, CFindState::kTextPage);
}

TEST_F(FindSheetTest, TextPageScopesAndNothingFound)
{
    CLayer& trees = AddNamedPoints("Medziai", {"Liepa"});
    AddNamedPoints("Kiti", {"Klevas"});
    window.active = &trees;
    FindState().lastPage = CFindState::kTextPage;
    Open();
    // The active layer's scope, its item checked alone.
    EXPECT_EQ(Text(CDlgFindText_PP::kScopeCombo), "Aktyvus sluoksnis");
    Type(CDlgFindText_PP::kTextEdit, "klevas");
    Click(CDlgFindText_PP::kFindButton);
    EXPECT_EQ(Messages(), (std::vector<unsigned>{1070}));

    // Chosen layers: the tree shows; none checked asks for one.
    Control<QComboBox>(CDlgFindText_PP::kScopeCombo)->setCurrentIndex(CFindState::kChosenLayers);
    auto* tree = Control<CheckTreeCtrl>(CDlgFindText_PP::kLayerTree);
    EXPECT_TRUE(Shown(CDlgFindText_PP::kLayerTree));
    QTreeWidgetItem* root = tree->topLevelItem(0);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->text(0), "[.]");
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(tree->GetCheckState(root), CCheckTreeModel::kPartlyChecked);
    tree->SetCheck(root, false);
    tree->SetDescendants(root, CCheckTreeModel::kUnchecked);
    Click(CDlgFindText_PP::kFindButton);
    EXPECT_EQ(Messages().back(), 1110u);
    EXPECT_EQ(FindState().lastLayerScope, CFindState::kChosenLayers);
}

TEST_F(FindSheetTest, CoordinatePageRefusesWhatMakesNoPoint)
{
    FindState().lastPage = CFindState::kCoordPage;
    Open();
    auto* formats = Control<QComboBox>(CDlgFindCoord_PP::kFormatCombo);
    ASSERT_EQ(formats->count(), 5);
    EXPECT_EQ(formats->currentIndex(), 3);
    EXPECT_EQ(Text(CDlgFindCoord_PP::kXEdit), "1000");
    EXPECT_EQ(Text(CDlgFindCoord_PP::kYEdit), "500");
    const CMapRect extent = view.GetMapExtent();
    const struct {
        int format;
        int edit;
        const char* text;
    } bad[] = {
        {2, CDlgFindCoord_PP::kLongitudeEdit, "200"},
        {2, CDlgFindCoord_PP::kLatitudeEdit, "abc"},
        {3, CDlgFindCoord_PP::kXEdit, "1e9"},
        {3, CDlgFindCoord_PP::kYEdit, "12,5"},
    };
    for (const auto& b : bad) {
        formats->setCurrentIndex(b.format);
        EXPECT_TRUE(Shown(b.edit)) << b.text;
        Type(b.edit, QString::fromUtf8(b.text));
        user.messages.clear();
        Click(CDlgFindCoord_PP::kShowButton);
        EXPECT_EQ(user.messages.size(), 1u) << b.text;
        EXPECT_EQ(view.GetMapExtent(), extent) << b.text;
        EXPECT_EQ(Marks(), 0) << b.text;
    }
    // A sound point inside the map is marked.
    formats->setCurrentIndex(3);
    Type(CDlgFindCoord_PP::kXEdit, "700");
    Type(CDlgFindCoord_PP::kYEdit, "300");
    user.messages.clear();
    Click(CDlgFindCoord_PP::kShowButton);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(Marks(), 1);
    EXPECT_EQ(FindState().lastX, 700);
}

} // namespace
