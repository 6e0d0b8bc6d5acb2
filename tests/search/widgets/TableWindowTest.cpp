// The attribute table's grid view and its dialogs offscreen: the text
// search (240), the field value change (30768), the statistics (272, 273),
// copying and moving rows, and printing the grid.
#include "mapdoc/PageSetup.h"
#include "mapdoc/widgets/MapPrinting.h"
#include "platform/CommandState.h"
#include "platform/DC.h"
#include "platform/QtText.h"
#include "search/widgets/FieldValueChangeDlg.h"
#include "search/widgets/StatisticsDlg.h"
#include "search/widgets/TablePrinting.h"
#include "search/widgets/TableView.h"
#include "search/widgets/TextSearchDlg.h"
#include "shell/widgets/ControlIds.h"
#include "tests/mapdoc/PdfReadBack.h"
#include "tests/search/TableTestSupport.h"
#include "tests/shell/ClipboardDouble.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <memory>
#include <string>

namespace {

// The window's grid over a small table of streets.
class TableWindow : public CTableFixture {
protected:
    void SetUp() override
    {
        MakeLayer({{"NAME", 'C', 16, 0}, {"CITY", 'C', 12, 0}, {"LEN", 'N', 8, 2}, {"CODE", 'N', 4, 0}},
                  {{"Sodo g.", "Vilnius", "2", "11"},
                   {"Liepų g.", "Kaunas", "", "12"},
                   {"Sodų g.", "Kaunas", "4", "13"},
                   {"Pievų g.", "Vilnius", "3", "14"}});
    }
    // The layer's window with the field hidden.
    void OpenView(const std::string& hidden = {})
    {
        ASSERT_TRUE(Open());
        if (!hidden.empty()) {
            layer->HiddenFields().push_back(hidden);
            layer->SetFlags(layer->GetFlags() | CLayer::kHasHiddenFields);
            ASSERT_TRUE(doc->LoadRecords(*layer, map));
        }
        model.reset();
        view = std::make_unique<CTableView>(*doc);
        view->resize(520, 260);
        view->OnInitialUpdate();
        view->show();
        // The grid reads its first rows once laid out.
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    bool Run(int id) { return view->Commands().OnCommand(id); }
    bool IsEnabled(int id)
    {
        CCommandState state(id);
        return view->Commands().OnUpdateCommand(state) && state.IsEnabled();
    }
    Texts Captions(const QComboBox& combo) const
    {
        Texts texts;
        for (int i = 0; i < combo.count(); ++i)
            texts.push_back(combo.itemText(i).toStdString());
        return texts;
    }
    Texts ViewColumn(int column) const
    {
        Texts texts;
        for (int row = 0; row < view->Model()->RowCount(); ++row)
            texts.push_back(Cp1257ToUtf8(view->Model()->CellText(row, column)));
        return texts;
    }

    CWithApplication application;
    std::unique_ptr<CTableView> view;
};

template <class T>
T* Control(const QWidget& dialog, int id)
{
    T* control = FindControl<T>(&dialog, id);
    EXPECT_TRUE(control) << id;
    return control;
}

TEST_F(TableWindow, TheGridShowsTheShownFieldsAtTheirWidthsNumbersToTheRight)
{
    OpenView("CITY");
    CTableGridModel& grid = *view->Model();

    ASSERT_EQ(grid.columnCount(), 3);
    for (int column = 0; column < grid.columnCount(); ++column)
        EXPECT_EQ(view->header()->sectionSize(column), grid.ColumnWidth(column)) << column;
    EXPECT_EQ(grid.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Name");
    EXPECT_EQ(grid.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Len");
    const auto aligned = [&grid](int column) {
        return grid.data(grid.index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(aligned(0), Qt::AlignLeft);
    EXPECT_EQ(aligned(1), Qt::AlignRight);
    EXPECT_EQ(grid.RowCount(), 4);
    // A click on a header sorts by it; LEN's empty value is least.
    emit view->header()->sectionClicked(1);
    EXPECT_EQ(ViewColumn(0), (Texts{"Liepų g.", "Sodo g.", "Pievų g.", "Sodų g."}));
    SaveScreenshot(*view, "table-view");
}

TEST_F(TableWindow, TheTextSearchIsOnePerViewAndFindsTheNextRowEachTime)
{
    OpenView("LEN");
    EXPECT_FALSE(view->GetTextSearchDialog());
    ASSERT_TRUE(Run(30241));
    CTextSearchDlg* dialog = view->GetTextSearchDialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(GetControlId(dialog), 240);
    EXPECT_EQ(Captions(*Control<QComboBox>(*dialog, 1012)), (Texts{"<Visi laukai>", "Name", "City", "Code"}));
    EXPECT_EQ(Control<QComboBox>(*dialog, 1012)->currentIndex(), 0);
    SaveScreenshot(*dialog, "text-search");

    Control<QLineEdit>(*dialog, 1017)->setText("kaunas");
    QPushButton* search = Control<QPushButton>(*dialog, IDOK);
    search->click();
    EXPECT_EQ(view->SelectedRows(), Rows{1});
    EXPECT_EQ(view->currentIndex().row(), 1);
    search->click();
    EXPECT_EQ(view->SelectedRows(), Rows{2});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(user.messages.empty());
    search->click();
    EXPECT_EQ(view->SelectedRows(), Rows{});
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1071});

    // Marking all, in the field chosen, with the letter case.
    user.messages.clear();
    Control<QCheckBox>(*dialog, 1065)->setChecked(true);
    Control<QComboBox>(*dialog, 1012)->setCurrentIndex(1);
    Control<QLineEdit>(*dialog, 1017)->setText("g.");
    search->click();
    EXPECT_EQ(view->SelectedRows(), (Rows{0, 1, 2, 3}));
    Control<QCheckBox>(*dialog, 1016)->setChecked(true);
    Control<QLineEdit>(*dialog, 1017)->setText("SODO");
    search->click();
    EXPECT_EQ(view->SelectedRows(), Rows{});
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1070});

    // "Baigti" hides it; 30241 shows the same one again.
    Control<QPushButton>(*dialog, IDCANCEL)->click();
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(Run(30241));
    EXPECT_EQ(view->GetTextSearchDialog(), dialog);
    EXPECT_TRUE(dialog->isVisible());

    // Another window's dialog starts with the values of the last search.
    CTableView other(*doc);
    other.OnInitialUpdate();
    ASSERT_TRUE(other.Commands().OnCommand(30241));
    CTextSearchDlg* second = other.GetTextSearchDialog();
    ASSERT_TRUE(second);
    EXPECT_NE(second, dialog);
    EXPECT_EQ(Control<QLineEdit>(*second, 1017)->text(), "SODO");
    EXPECT_TRUE(Control<QCheckBox>(*second, 1016)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(*second, 1065)->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*second, 1015)->isChecked());
}

TEST_F(TableWindow, TheFieldValueDialogNeedsAFieldAndGivesTheScope)
{
    OpenView("CITY");
    CFieldValueChangeDlg dialog(*view->Model()->Table());
    dialog.show();
    EXPECT_EQ(GetControlId(&dialog), 30768);
    // Every field, the hidden one too, by caption in table order.
    QComboBox* fields = Control<QComboBox>(dialog, 1012);
    EXPECT_EQ(Captions(*fields), (Texts{"Name", "City", "Len", "Code"}));
    EXPECT_EQ(fields->currentIndex(), -1);
    QPushButton* ok = Control<QPushButton>(dialog, IDOK);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(Control<QRadioButton>(dialog, 1024)->text(), QString::fromUtf8("&Keisti tik pasirinktus įrašus"));
    EXPECT_EQ(Control<QRadioButton>(dialog, 1025)->text(), QString::fromUtf8("Keisti &visus įrašus"));
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1024)->isChecked());
    SaveScreenshot(dialog, "field-value-change");

    fields->setCurrentIndex(3);
    EXPECT_TRUE(ok->isEnabled());
    Control<QLineEdit>(dialog, 1017)->setText("{=num(5");
    Control<QRadioButton>(dialog, 1025)->setChecked(true);
    ok->click();
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.GetFieldCaption(), "Code");
    EXPECT_EQ(dialog.GetValue(), "{=num(5");
    EXPECT_EQ(dialog.GetScope(), 1);

    // The next dialog starts with them.
    CFieldValueChangeDlg next(*view->Model()->Table());
    next.show();
    EXPECT_EQ(Control<QLineEdit>(next, 1017)->text(), "{=num(5");
    EXPECT_TRUE(Control<QRadioButton>(next, 1025)->isChecked());
}

TEST_F(TableWindow, ChangingAFieldValueWritesTheSelectedRecordsInDisplayOrder)
{
    OpenView();
    emit view->header()->sectionClicked(0); // by name: Liepų, Pievų, Sodo, Sodų
    view->SelectRows({1, 2});
    WithModalWindow([this] { Run(30242); },
                    [](QWidget& dialog) {
                        Control<QComboBox>(dialog, 1012)->setCurrentIndex(3);
                        Control<QLineEdit>(dialog, 1017)->setText("{=num(7");
                        Control<QRadioButton>(dialog, 1024)->setChecked(true);
                        Control<QPushButton>(dialog, IDOK)->click();
                    });
    EXPECT_EQ(FileColumn("CODE"), (Texts{"8", "12", "13", "7"}));
    EXPECT_EQ(ViewColumn(3), (Texts{"12", "7", "8", "13"}));
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(TableWindow, ChangingValuesOfAProtectedLayerIsRefused)
{
    MakeLayer({{"NAME", 'C', 8, 0}}, {{"a"}});
    ASSERT_TRUE(Open(CLayer::kDefaultFlags & ~CLayer::kInfoEditable));
    CTableView protectedView(*doc);
    protectedView.OnInitialUpdate();
    ASSERT_TRUE(protectedView.Commands().OnCommand(30242));
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1035});
    EXPECT_EQ(FileColumn("NAME"), Texts{"a"});
}

TEST_F(TableWindow, StatisticsOfAFieldShowTheirResultInTheirOwnDialog)
{
    OpenView("CITY");
    CStatisticsDlg dialog(*view->Model()->Table());
    dialog.show();
    EXPECT_EQ(GetControlId(&dialog), 272);
    QListWidget* fields = Control<QListWidget>(dialog, 1014);
    ASSERT_EQ(fields->count(), 3);
    EXPECT_EQ(fields->item(1)->text(), "Len");
    EXPECT_EQ(fields->currentRow(), 0);
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1024)->isChecked());
    SaveScreenshot(dialog, "statistics");

    struct Case {
        int radio;
        const char* count;
        const char* sum;
        const char* minimum;
        const char* mean;
    };
    for (const Case& c : {Case{1024, "4", "9", "0", "2.25"}, Case{1025, "3", "9", "2", "3.00"}}) {
        SCOPED_TRACE(c.radio);
        fields->setCurrentRow(1);
        Control<QRadioButton>(dialog, c.radio)->setChecked(true);
        WithModalWindow([&dialog] { Control<QPushButton>(dialog, IDOK)->click(); },
                        [&c](QWidget& result) {
                            EXPECT_EQ(GetControlId(&result), 273);
                            EXPECT_EQ(Control<QLabel>(result, 1017)->text(), "Len");
                            EXPECT_EQ(Control<QLabel>(result, 1007)->text(), c.count);
                            EXPECT_EQ(Control<QLabel>(result, 1008)->text(), c.sum);
                            EXPECT_EQ(Control<QLabel>(result, 1009)->text(), c.minimum);
                            EXPECT_EQ(Control<QLabel>(result, 1010)->text(), "4");
                            EXPECT_EQ(Control<QLabel>(result, 1011)->text(), c.mean);
                            SaveScreenshot(result, "statistics-result");
                        });
        // It stays open for another field.
        EXPECT_TRUE(dialog.isVisible());
    }
}

TEST_F(TableWindow, CopyingLeavesOutAHiddenColumnAndMovingToTheTopKeepsTheFocus)
{
    OpenView();
    CTestClipboard clipboard;
    view->header()->hideSection(1);
    view->SelectRows({3, 1});
    ASSERT_TRUE(Run(30434));
    EXPECT_EQ(clipboard.held, "text/plain");
    EXPECT_EQ(clipboard.Text(), "Name\tLen\tCode\n"
                                "Liepų g.\t\t12\n"
                                "Pievų g.\t3.00\t14\n");
    ASSERT_TRUE(Run(57634));
    const std::string all = clipboard.Text();
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 5);

    // The focus stays on its record as the selected rows go up.
    view->selectionModel()->setCurrentIndex(view->Model()->index(3, 0), QItemSelectionModel::NoUpdate);
    ASSERT_TRUE(Run(30300));
    EXPECT_EQ(ViewColumn(0), (Texts{"Liepų g.", "Pievų g.", "Sodo g.", "Sodų g."}));
    EXPECT_EQ(view->SelectedRows(), (Rows{0, 1}));
    EXPECT_EQ(view->currentIndex().row(), 1);
}

TEST_F(TableWindow, SelectingAllReadsTheWholeList)
{
    std::vector<Texts> rows;
    for (int n = 0; n < 2000; ++n)
        rows.push_back({"R" + std::to_string(n), "", std::to_string(n), "1"});
    path = dir.File("ilga.gdb");
    MakeLayer({{"NAME", 'C', 16, 0}, {"CITY", 'C', 12, 0}, {"LEN", 'N', 8, 2}, {"CODE", 'N', 4, 0}}, rows);
    OpenView();
    EXPECT_LT(view->Model()->RowCount(), 2000);
    EXPECT_FALSE(IsEnabled(30433));
    ASSERT_TRUE(Run(30437));
    EXPECT_EQ(view->SelectedRows().size(), 2000u);
    EXPECT_TRUE(IsEnabled(30433));
}

TEST_F(TableWindow, APrintToPdfHasThePagesCounted)
{
    std::vector<Texts> rows;
    for (int n = 0; n < 300; ++n)
        rows.push_back({"Gatvė " + std::to_string(n), "Vilnius", std::to_string(n), std::to_string(n)});
    path = dir.File("spausdinti.gdb");
    MakeLayer({{"NAME", 'C', 16, 0}, {"CITY", 'C', 12, 0}, {"LEN", 'N', 8, 2}, {"CODE", 'N', 4, 0}}, rows);
    OpenView();
    // Wide columns: two parts across.
    for (int column = 0; column < 4; ++column)
        view->header()->resizeSection(column, 300);

    QPrinter printer(QPrinter::HighResolution);
    const std::string pdf = ResolvePath(dir.File("lentele.pdf"));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    const CPrintJob job = TablePrintJob(*view);
    CDC probe;
    probe.SetDeviceInfo(CDC::DescribeDevice(printer));
    const int count = job.countPages(probe);
    ASSERT_GT(count, 2);
    EXPECT_EQ(count % 2, 0);
    EXPECT_EQ(RunPrintJob(job, nullptr, &printer, true), count);

    std::string info;
    ASSERT_EQ(RunCommand("pdfinfo '" + pdf + "'", info), 0) << info;
    const size_t pages = info.find("Pages:");
    ASSERT_NE(pages, std::string::npos) << info;
    EXPECT_EQ(std::atoi(info.c_str() + pages + 6), count);
    // The header row heads the first page, and the first rows follow it.
    const std::string first = PdfText(pdf).substr(0, 400);
    EXPECT_NE(first.find("Name"), std::string::npos) << first;
    EXPECT_NE(first.find("Gatvė 0"), std::string::npos) << first;
    KeepForLooking(pdf, "table-print.pdf");
    EXPECT_TRUE(user.messages.empty());
}

} // namespace
