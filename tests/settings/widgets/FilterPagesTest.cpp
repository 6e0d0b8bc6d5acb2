#include "tests/settings/widgets/SheetFixture.h"

#include "settings/FilterCondition.h"
#include "settings/widgets/LayerFilterPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <deque>
#include <optional>

namespace {

using Names = std::vector<std::string>;
using C = CFilterCondition;

constexpr int kList = 1044, kEdit = 1024, kAnd = 1047, kOr = 1048, kRemove = 1077, kRemoveAll = 1046, kNew = 1078;

C Condition(const char* field, int op, const char* value, bool isField = false)
{
    C condition;
    condition.field = field;
    condition.op = op;
    condition.value = value;
    condition.valueIsField = isField;
    return condition;
}

// Dialog 319 as a test answers it: the answers in order (none cancels),
// each preset it was given recorded as its expression.
class CScriptedConditionDialog {
public:
    CScriptedConditionDialog()
    {
        LayerSheetHooks().filterCondition = [this](const CLayer& layer, C& condition, QWidget* parent) {
            EXPECT_TRUE(parent);
            presets.push_back(condition.field.empty() ? "" : condition.FormatExpr());
            if (answers.empty())
                return false;
            const std::optional<C> answer = answers.front();
            answers.pop_front();
            if (!answer)
                return false;
            condition.field = answer->field;
            condition.op = answer->op;
            condition.value = answer->value;
            condition.valueIsField = answer->valueIsField;
            return true;
        };
    }
    ~CScriptedConditionDialog() { LayerSheetHooks().filterCondition = nullptr; }

    std::deque<std::optional<C>> answers;
    Names presets;
};

class FilterPagesTest : public CSheetFixture {
protected:
    void OpenFilterPage(CLayer& layer)
    {
        Open(layer);
        ASSERT_TRUE(sheet->SetActivePage(sheet->GetPageIndex(sheet->FindPage(LayerSheetPage::kFilter))));
    }
    Names Rows() const
    {
        Names rows;
        auto* list = Control<QListWidget>(kList);
        for (int i = 0; i < list->count(); ++i)
            rows.push_back(FromQString(list->item(i)->text()));
        return rows;
    }
    std::vector<int> EnabledButtons(std::initializer_list<int> ids) const
    {
        std::vector<int> enabled;
        for (const int id : ids)
            if (Enabled(id))
                enabled.push_back(id);
        return enabled;
    }
    void Click(int id) { Control<QPushButton>(id)->click(); }
    void Select(int row) { Control<QListWidget>(kList)->setCurrentRow(row); }
};

TEST_F(FilterPagesTest, TheFilterPageButtonsWithAConditionDialog)
{
    parcel->SetFilter("(PAV = \"a\") .OR. (PLOTAS > 3)");
    OpenFilterPage(*parcel);
    EXPECT_EQ(Rows(), (Names{"[Pavadinimas] = \"a\"", "OR [Plotas, ha] > 3"}));
    EXPECT_EQ(Control<QListWidget>(kList)->currentRow(), 0);
    // No condition dialog: the buttons that open it are disabled.
    EXPECT_EQ(EnabledButtons({kNew, kAnd, kOr, kEdit, kRemove, kRemoveAll}), (std::vector<int>{kRemove, kRemoveAll}));

    CScriptedConditionDialog dialog;
    OpenFilterPage(*parcel);
    EXPECT_EQ(EnabledButtons({kNew, kAnd, kOr, kEdit, kRemove, kRemoveAll}),
              (std::vector<int>{kNew, kAnd, kOr, kEdit, kRemove, kRemoveAll}));
    // Edit: the row's condition as the preset, the row's conjunction kept.
    dialog.answers = {Condition("KODAS", 1, "\"X\""), std::nullopt};
    Click(kEdit);
    Select(1);
    emit Control<QListWidget>(kList)->itemDoubleClicked(Control<QListWidget>(kList)->item(1));
    EXPECT_EQ(dialog.presets, (Names{"(PAV = \"a\")", ".OR. (PLOTAS > 3)"}));
    EXPECT_EQ(Rows(), (Names{"[KODAS] <> \"X\"", "OR [Plotas, ha] > 3"}));

    dialog.answers = {Condition("ARCHYV", 0, ".T."), std::nullopt, Condition("PLOTAS", 4, "PLOTAS", true)};
    Click(kAnd);
    Click(kOr); // cancelled
    Click(kOr);
    EXPECT_EQ(Rows(), (Names{"[KODAS] <> \"X\"", "OR [Plotas, ha] > 3", "AND [ARCHYV] = .T.",
                             "OR [Plotas, ha] < [Plotas, ha]"}));
    EXPECT_EQ(Control<QListWidget>(kList)->currentRow(), 3);
    SaveScreenshot(*sheet, "layer-filter-page-30786");

    // New: a cancelled dialog keeps the filter.
    dialog.presets.clear();
    Click(kNew);
    EXPECT_EQ(dialog.presets, Names{""});
    EXPECT_EQ(Rows().size(), 4u);

    // Removing the first row: the next one loses its OR.
    Select(0);
    Click(kRemove);
    EXPECT_EQ(Rows().front(), "[Plotas, ha] > 3");
    EXPECT_EQ(Control<QListWidget>(kList)->currentRow(), 0);
    Select(2);
    Click(kRemove);
    EXPECT_EQ(Control<QListWidget>(kList)->currentRow(), 1) << "the selection moves to the last row";
    ASSERT_TRUE(Ok(*parcel));
    EXPECT_EQ(parcel->GetFilter(), "(PLOTAS > 3) .AND. (ARCHYV = .T.)");

    // Removing the filter leaves only New.
    OpenFilterPage(*parcel);
    Click(kRemoveAll);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(EnabledButtons({kNew, kAnd, kOr, kEdit, kRemove, kRemoveAll}), std::vector<int>{kNew});
    dialog.answers = {Condition("PAV", 6, "\"yn\"")};
    Click(kNew);
    EXPECT_EQ(Rows(), Names{"[Pavadinimas] >> \"yn\""});
    Click(kRemoveAll);
    ASSERT_TRUE(Ok(*parcel));
    EXPECT_EQ(parcel->GetFilter(), "");
}

TEST_F(FilterPagesTest, AFilterWrittenElsewhereStaysUnlessTheListChanges)
{
    CScriptedConditionDialog dialog;
    const std::string mixed = "(PAV = \"a\") .AND. LEFT(KODAS, 1) = \"B\"";
    parcel->SetFilter(mixed);
    OpenFilterPage(*parcel);
    EXPECT_EQ(Rows(), Names{"[Pavadinimas] = \"a\""});
    ASSERT_TRUE(Ok(*parcel));
    EXPECT_EQ(parcel->GetFilter(), mixed);

    // One that shows nothing can still be removed.
    const std::string foreign = "PLOTAS > 3";
    parcel->SetFilter(foreign);
    OpenFilterPage(*parcel);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(EnabledButtons({kAnd, kEdit, kRemove, kRemoveAll}), std::vector<int>{kRemoveAll});
    ASSERT_TRUE(Ok(*parcel));
    EXPECT_EQ(parcel->GetFilter(), foreign);
    OpenFilterPage(*parcel);
    Click(kRemoveAll);
    EXPECT_FALSE(Enabled(kRemoveAll));
    ASSERT_TRUE(Ok(*parcel));
    EXPECT_EQ(parcel->GetFilter(), "");
}

// Page 154 beside the sheet's filter page.
class InlineFilterPageTest : public FilterPagesTest {
protected:
    void OpenInline(CLayer& layer)
    {
        sheet = std::make_unique<CLayerPropSheet>();
        sheet->SetLayer(layer, &doc, 2);
        page = std::make_unique<CLayerFilterPage>(*sheet);
        sheet->AddPage(page.get());
        sheet->SetActivePage(1);
        sheet->resize(520, 460);
        sheet->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        ASSERT_EQ(sheet->GetActivePage(), page.get());
    }
    ~InlineFilterPageTest() override
    {
        page.reset();
        sheet.reset();
    }
    void ChooseField(int id, const char* alias)
    {
        auto* list = Control<QListWidget>(id);
        const QList<QListWidgetItem*> found = list->findItems(QString::fromUtf8(alias), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << alias;
        list->setCurrentItem(found.front());
    }
    // A condition typed into the controls.
    void Type(const char* alias, int op, const char* value)
    {
        ChooseField(1034, alias);
        Control<QRadioButton>(1035 + op)->click();
        Control<QRadioButton>(1041)->click();
        Control<QComboBox>(1050)->setEditText(QString::fromUtf8(value));
    }
    std::unique_ptr<CLayerFilterPage> page;
};

TEST_F(InlineFilterPageTest, TheValueListIsSortedWithoutEqualNeighbours)
{
    OpenInline(*parcel);
    std::vector<QString> fields;
    for (int i = 0; i < Control<QListWidget>(1034)->count(); ++i)
        fields.push_back(Control<QListWidget>(1034)->item(i)->text());
    EXPECT_EQ(fields, (std::vector<QString>{"Pavadinimas", "Plotas, ha", "KAINA", "ARCHYV", "DATA", "KODAS"}));

    Control<QRadioButton>(1041)->click();
    ChooseField(1034, "Pavadinimas");
    EXPECT_EQ(Control<QComboBox>(1050)->count(), 0) << "filled only when asked";
    Control<QComboBox>(1050)->setEditText("Al");
    Control<QCheckBox>(1043)->click();
    const auto values = [this] {
        std::vector<std::string> texts;
        for (int i = 0; i < Control<QComboBox>(1050)->count(); ++i)
            texts.push_back(FromQString(Control<QComboBox>(1050)->itemText(i)));
        return texts;
    };
    EXPECT_EQ(values(), (Names{"Alksnynas", "Ber\xFE" "ynas", "\xC0\xFE" "uolynas"}));
    EXPECT_EQ(Control<QComboBox>(1050)->currentText(), "Al") << "the typed text stays";
    ChooseField(1034, "KODAS");
    EXPECT_EQ(values(), (Names{"A1", "A2", "B1", "C3"}));
    SaveScreenshot(*sheet, "layer-filter-page-154");

    // The second field list in place of the values in field mode.
    Control<QRadioButton>(1042)->click();
    EXPECT_FALSE(Visible(1050));
    EXPECT_FALSE(Visible(1043));
    EXPECT_TRUE(Visible(1049));
    Control<QRadioButton>(1041)->click();
    EXPECT_TRUE(Visible(1050));
    EXPECT_FALSE(Visible(1049));
}

TEST_F(InlineFilterPageTest, ConditionsAreMadeOnThePage)
{
    OpenInline(*parcel);
    // Nothing chosen: nothing can be made.
    EXPECT_EQ(EnabledButtons({kAnd, kOr, kEdit, kRemove, kRemoveAll}), std::vector<int>{});
    Type("Plotas, ha", 2, "1,5");
    // With an empty list only "Keisti" adds.
    EXPECT_EQ(EnabledButtons({kAnd, kOr, kEdit}), std::vector<int>{kEdit});
    Click(kEdit);
    EXPECT_EQ(Rows(), Names{"[Plotas, ha] > 1.5"});
    // A number that does not read makes nothing.
    Type("KAINA", 0, "abc");
    Click(kAnd);
    EXPECT_EQ(Rows().size(), 1u);

    // Another field.
    ChooseField(1034, "KODAS");
    Control<QRadioButton>(1035)->click();
    Control<QRadioButton>(1042)->click();
    EXPECT_FALSE(Enabled(kOr)) << "no second field";
    ChooseField(1049, "Pavadinimas");
    Click(kOr);
    EXPECT_EQ(Rows(), (Names{"[Plotas, ha] > 1.5", "OR [KODAS] = [Pavadinimas]"}));

    // A row selected comes back into the controls and is changed there.
    Select(0);
    EXPECT_EQ(Control<QListWidget>(1034)->currentItem()->text(), "Plotas, ha");
    EXPECT_TRUE(Control<QRadioButton>(1037)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(1041)->isChecked());
    EXPECT_EQ(Control<QComboBox>(1050)->currentText(), "1.5");
    Control<QRadioButton>(1039)->click();
    Click(kEdit);
    Select(1);
    EXPECT_TRUE(Control<QRadioButton>(1042)->isChecked());
    EXPECT_EQ(Control<QListWidget>(1049)->currentItem()->text(), "Pavadinimas");
    Type("Pavadinimas", 1, "say \"x\"");
    Click(kEdit);
    EXPECT_EQ(Rows(), (Names{"[Plotas, ha] < 1.5", "OR [Pavadinimas] <> 'say \"x\"'"}));
    ASSERT_TRUE(Ok(*parcel));
    EXPECT_EQ(parcel->GetFilter(), "(PLOTAS < 1.5) .OR. (PAV <> 'say \"x\"')");
}

} // namespace
