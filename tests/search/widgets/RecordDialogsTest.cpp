// The record form (172), the memo editor (185), the address entry (196)
// and the point information dialog (402) on the offscreen platform.
#include "search/widgets/AddressEntryDlg.h"
#include "search/widgets/MemoEditDlg.h"
#include "search/widgets/PointInfoDlg.h"
#include "search/widgets/RecordEditDlg.h"

#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "search/PlacemarkEdit.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/StyleSampleButton.h"
#include "shell/widgets/SymbolChoice.h"
#include "tests/core/FieldLists.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// Shows the dialog's window active, as a user has it.
void Activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    WaitFor([&] { return window.isActiveWindow(); });
    QCoreApplication::processEvents();
}

class RecordDialogsTest : public ::testing::Test, public CWithApplication {
protected:
    ~RecordDialogsTest() override { SymbolListDialog() = nullptr; }

    // A table of n character fields F1..Fn (memo where asked), one record.
    void MakeTable(int fields, std::vector<int> memos = {})
    {
        std::vector<CDbfFieldInfo> list;
        for (int i = 1; i <= fields; ++i) {
            const bool memo = std::find(memos.begin(), memos.end(), i) != memos.end();
            list.emplace_back().Set(("F" + std::to_string(i)).c_str(), memo ? 'M' : 'C', 10, 0);
        }
        list.emplace_back().Set("", 0, 0, 0);
        path = dir.File("t.dbf");
        ASSERT_TRUE(table.Create(path, list.data()));
        for (int record = 0; record < 2; ++record) {
            table.AppendBlank();
            for (int i = 0; i < fields; ++i)
                table.SetField(i, "v" + std::to_string(record) + "_" + std::to_string(i + 1));
            ASSERT_TRUE(table.WriteRecord());
        }
        ASSERT_TRUE(table.GoToRecord(1));
    }
    std::string Stored(int record, int field)
    {
        CDbfTable check;
        EXPECT_TRUE(check.Open(path));
        EXPECT_TRUE(check.GoToRecord(record));
        std::string text;
        if (check.GetFieldType(field) == 'M')
            check.GetMemo(field, text);
        else
            check.GetFieldString(field, text);
        return text;
    }
    static QWidget* Focused() { return QApplication::focusWidget(); }
    static void Key(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        ASSERT_TRUE(widget);
        QTest::keyClick(widget, key, modifiers);
        QCoreApplication::processEvents();
    }

    CTempDir dir;
    std::string path;
    CDbfTable table;
    CScriptedUserServices user;
};

TEST_F(RecordDialogsTest, TheFormHasARowPerShownFieldAndAtLeastThreeRows)
{
    MakeTable(1);
    CRecordEditDlg dialog(&table, 1, nullptr, nullptr);
    WithModalWindow([&] { EXPECT_EQ(dialog.DoModal(), IDCANCEL); },
                    [&](QWidget& shown) {
                        EXPECT_EQ(&shown, &dialog);
                        EXPECT_EQ(GetControlId(&dialog), 172);
                        EXPECT_EQ(dialog.windowTitle(), Text("Informacijos redagavimas"));
                        EXPECT_EQ(FindControl<QPushButton>(&dialog, 1)->text(), Text("Išsaugoti"));
                        EXPECT_EQ(FindControl<QPushButton>(&dialog, 2)->text(), Text("Atsisakyti"));
                        CRecordFormPanel* panel = FindControl<CRecordFormPanel>(&dialog, 101);
                        ASSERT_TRUE(panel);
                        EXPECT_EQ(panel->GetVisibleRows(), 3);
                        EXPECT_GE(panel->contentsRect().height(), 3 * panel->GetRowHeight());
                        auto* edit = FindControl<QLineEdit>(&dialog, 102);
                        ASSERT_TRUE(edit);
                        EXPECT_EQ(edit->text(), "v1_1");
                        EXPECT_EQ(edit->maxLength(), 10);
                        EXPECT_EQ(edit->selectedText(), "v1_1") << "the first row focused, its text selected";
                        EXPECT_FALSE(FindControl<QWidget>(&dialog, 103));
                        const QList<QLabel*> labels = panel->findChildren<QLabel*>();
                        ASSERT_EQ(labels.size(), 1);
                        EXPECT_EQ(labels[0]->text(), "F1:");
                    });
}

TEST_F(RecordDialogsTest, FortyFieldsScrollByWholeRowsAndKeysMoveAsTheyShould)
{
    MakeTable(40);
    CRecordEditDlg dialog(&table, 1, nullptr, nullptr);
    WithModalWindow([&] { dialog.DoModal(); }, [&](QWidget&) {
        Activate(dialog);
        CRecordFormPanel* panel = dialog.Panel();
        const int visible = panel->GetVisibleRows();
        EXPECT_EQ(visible, CRecordEditDlg::kAreaRows);
        auto* bar = panel->findChild<QScrollBar*>();
        ASSERT_TRUE(bar);
        EXPECT_TRUE(bar->isVisible());
        EXPECT_EQ(bar->maximum(), 40 - visible);
        const auto row = [&](int r) { return FindControl<QLineEdit>(&dialog, 102 + r); };
        // Rows stand one row height apart, scrolled by whole rows.
        EXPECT_EQ(row(1)->y() - row(0)->y(), panel->GetRowHeight());
        bar->setValue(5);
        EXPECT_EQ(row(5)->y(), 0);

        panel->FocusRow(0, Qt::TabFocusReason);
        EXPECT_EQ(panel->GetScroll(), 0);
        EXPECT_EQ(Focused(), row(0));
        Key(row(0), Qt::Key_Tab);
        EXPECT_EQ(Focused(), row(1));
        EXPECT_EQ(row(1)->selectedText(), "v1_2") << "Tab selects the whole text";
        Key(row(1), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(Focused(), row(0));
        Key(row(0), Qt::Key_Up);
        EXPECT_EQ(Focused(), row(0)) << "Up never leaves the panel";
        Key(row(0), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(Focused(), FindControl<QWidget>(&dialog, 2)) << "Shift+Tab from the first row leaves";
        Key(Focused(), Qt::Key_Tab);
        EXPECT_EQ(Focused(), row(0)) << "Tab on Atsisakyti reaches the first row";
        Key(row(0), Qt::Key_PageDown);
        EXPECT_EQ(Focused(), row(visible));
        EXPECT_EQ(panel->GetScroll(), visible);
        EXPECT_EQ(row(visible)->y(), 0);
        Key(row(visible), Qt::Key_Down);
        EXPECT_EQ(Focused(), row(visible + 1));
        Key(Focused(), Qt::Key_PageDown);
        Key(Focused(), Qt::Key_PageDown);
        Key(Focused(), Qt::Key_PageDown);
        EXPECT_EQ(Focused(), row(39)) << "clamped to the last row";
        EXPECT_EQ(panel->GetScroll(), 40 - visible);
        Key(row(39), Qt::Key_Down);
        EXPECT_EQ(Focused(), row(39));
        Key(row(39), Qt::Key_Tab);
        EXPECT_EQ(Focused(), FindControl<QWidget>(&dialog, 1)) << "Tab from the last row leaves";
        Key(Focused(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(Focused(), row(39)) << "Shift+Tab on Išsaugoti goes to the last row";
        Key(row(39), Qt::Key_PageUp);
        EXPECT_EQ(Focused(), row(39 - visible));
        EXPECT_EQ(panel->GetScroll(), 40 - 2 * visible);
        // A row focused out of view scrolls just enough to show.
        row(2)->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        EXPECT_EQ(panel->GetScroll(), 2);
        SaveScreenshot(dialog, "search-172-record-form");
    });
}

TEST_F(RecordDialogsTest, HiddenFieldsGetNoRowAndMemosOpenTheirOwnField)
{
    MakeTable(5, {4});
    const std::vector<std::string> hidden = {"F2"};
    table.SetHiddenFields(&hidden);
    table.GoToRecord(1);
    CRecordEditDlg dialog(&table, 1, nullptr, nullptr);
    WithModalWindow([&] { EXPECT_EQ(dialog.DoModal(), IDOK); }, [&](QWidget&) {
        Activate(dialog);
        for (int id = 102; id < 106; ++id)
            EXPECT_TRUE(FindControl<QWidget>(&dialog, id)) << id;
        EXPECT_FALSE(FindControl<QWidget>(&dialog, 106));
        EXPECT_EQ(FindControl<QLineEdit>(&dialog, 103)->text(), "v1_3");
        auto* memo = FindControl<QPushButton>(&dialog, 104);
        ASSERT_TRUE(memo);
        EXPECT_EQ(memo->text(), Text("Tekstas..."));
        // Field 4's memo, its title as the caption, the caret at the end.
        WithModalWindow([&] { QTest::mouseClick(memo, Qt::LeftButton); },
                        [&](QWidget& memoDialog) {
                            EXPECT_EQ(GetControlId(&memoDialog), 185);
                            EXPECT_EQ(memoDialog.windowTitle(), "F4");
                            auto* edit = FindControl<QPlainTextEdit>(&memoDialog, 1017);
                            ASSERT_TRUE(edit);
                            EXPECT_EQ(edit->toPlainText(), "v1_4");
                            EXPECT_EQ(edit->textCursor().position(), 4);
                            SaveScreenshot(memoDialog, "search-185-memo");
                            edit->setPlainText("eilutė\nkita");
                            QTest::mouseClick(FindControl<QPushButton>(&memoDialog, 1), Qt::LeftButton);
                        });
        QTest::keyClicks(FindControl<QLineEdit>(&dialog, 105), "X");
        // Only the modified edit and the changed memo are written.
        FindControl<QLineEdit>(&dialog, 102)->setText("not modified by the user");
        FindControl<QLineEdit>(&dialog, 102)->setModified(false);
        QTest::mouseClick(FindControl<QPushButton>(&dialog, 1), Qt::LeftButton);
    });
    EXPECT_EQ(Stored(1, 0), "v1_1");
    EXPECT_EQ(Stored(1, 3), Utf8ToCp1257("eilutė\r\nkita"));
    EXPECT_EQ(Stored(1, 4), "v1_5X");
    EXPECT_EQ(Stored(0, 3), "v0_4") << "no other record touched";
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(RecordDialogsTest, AReadOnlyTableKeepsTheFormOpenWithWhatWasTyped)
{
    MakeTable(2);
    table.Close();
    std::string bytes = ReadWholeFile(path);
    bytes.resize(bytes.size() - 4);
    WriteWholeFile(path, bytes);
    ASSERT_TRUE(table.Open(path));
    ASSERT_TRUE(table.GoToRecord(0));
    user.messages.clear();
    CRecordEditDlg dialog(&table, 0, nullptr, nullptr);
    WithModalWindow([&] { EXPECT_EQ(dialog.DoModal(), IDCANCEL); }, [&](QWidget&) {
        QTest::keyClicks(FindControl<QLineEdit>(&dialog, 102), "Z");
        QTest::mouseClick(FindControl<QPushButton>(&dialog, 1), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(FindControl<QLineEdit>(&dialog, 102)->text(), "Z");
    });
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1044});
    EXPECT_EQ(ReadWholeFile(path), bytes);
}

TEST_F(RecordDialogsTest, WithoutATableOrFieldsTheFormEndsUnshown)
{
    CRecordEditDlg none(nullptr, -1, nullptr, nullptr);
    EXPECT_EQ(none.DoModal(), IDCANCEL);
    MakeTable(2);
    const std::vector<std::string> hidden = {"F1", "F2"};
    table.SetHiddenFields(&hidden);
    CRecordEditDlg empty(&table, 0, nullptr, nullptr);
    EXPECT_EQ(empty.DoModal(), IDOK);
    CRecordEditDlg missing(&table, 7, nullptr, nullptr);
    EXPECT_EQ(missing.DoModal(), IDCANCEL);
}

// ------------------------------------------------------------ address entry

class AddressEntryTest : public RecordDialogsTest {
protected:
    AddressEntryTest()
    {
        CDbfTable streets;
        EXPECT_TRUE(streets.Create(dir.File("gatves.dbf"), FieldList({{"PAVAD", 'C', 40, 0}, {"KODAS", 'N', 8, 0}}).data()));
        const std::pair<const char*, int> rows[] = {
            {"Vilniaus g.", 20}, {"Ąžuolų g.", 10}, {"Vilniaus g.", 20}, {"Vilties g.", 30}, {"Beržų g.", 40}};
        for (const auto& [name, code] : rows) {
            streets.AppendBlank();
            streets.SetField(0, Utf8ToCp1257(name));
            streets.SetFieldLong(1, code);
            EXPECT_TRUE(streets.WriteRecord());
        }
        streetLayer.SetIdField("PAVAD");
        doc.Settings().addressesLayer = "Adresai";
        doc.Settings().codeField = "KODAS";
    }

    CLayer streetLayer{"Gatvės", dir.File("gatves.dbf"), CLayer::kLine};
    CDrelDoc doc;
};

TEST_F(AddressEntryTest, StreetsListedTheCurrentOneSelectedAndCodesGivenOnOk)
{
    CAddressEntryValues values;
    values.streetCode = 20;
    values.number = "12A";
    CAddressEntryDlg dialog(values, streetLayer, doc);
    WithModalWindow([&] { EXPECT_EQ(dialog.DoModal(), IDOK); }, [&](QWidget&) {
        Activate(dialog);
        EXPECT_EQ(GetControlId(&dialog), 196);
        EXPECT_EQ(dialog.windowTitle(), Text("Adreso įvedimas"));
        auto* street = FindControl<QComboBox>(&dialog, 1012);
        ASSERT_TRUE(street);
        ASSERT_EQ(street->count(), 4) << "equal name and code merged";
        EXPECT_EQ(street->itemText(0), Text("Ąžuolų g."));
        EXPECT_EQ(street->currentText(), Text("Vilniaus g."));
        EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1017)->text(), "12A");
        EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1017)->maxLength(), 4);
        EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1007)->maxLength(), 4);
        for (int id : {1021, 1007, 1060})
            EXPECT_FALSE(FindControl<QWidget>(&dialog, id)->isEnabled()) << id;
        SaveScreenshot(dialog, "search-196-address-entry");
        // Typing completes; the typed name's street is taken.
        street->lineEdit()->clear();
        street->lineEdit()->setFocus();
        QTest::keyClicks(street->lineEdit(), "Vilt");
        EXPECT_EQ(street->currentText(), Text("Vilties g."));
        auto* number = FindControl<QLineEdit>(&dialog, 1017);
        number->clear();
        QTest::keyClicks(number, "123456");
        EXPECT_EQ(number->text(), "1234");
        QTest::mouseClick(FindControl<QPushButton>(&dialog, 1), Qt::LeftButton);
    });
    EXPECT_EQ(values.streetCode, 30);
    EXPECT_EQ(values.number, "1234");
}

TEST_F(AddressEntryTest, BothAddressesAndUnknownStreets)
{
    CAddressEntryValues values;
    values.secondAddress = true;
    values.streetCode = 99;
    values.streetCode2 = 10;
    values.number2 = "5";
    values.maxNumber = 99;
    CAddressEntryDlg dialog(values, streetLayer, doc);
    WithModalWindow([&] { EXPECT_EQ(dialog.DoModal(), IDOK); }, [&](QWidget&) {
        Activate(dialog);
        auto* street = FindControl<QComboBox>(&dialog, 1012);
        auto* street2 = FindControl<QComboBox>(&dialog, 1021);
        EXPECT_TRUE(street2->isEnabled());
        EXPECT_EQ(street->currentText(), "") << "no street of code 99";
        EXPECT_EQ(street2->currentText(), Text("Ąžuolų g."));
        EXPECT_EQ(street2->count(), 4);
        street->setEditText(Text("Nežinoma g."));
        // A number its field cannot hold is refused, the dialog stays.
        QTest::keyClicks(FindControl<QLineEdit>(&dialog, 1017), "100");
        QTest::mouseClick(FindControl<QPushButton>(&dialog, 1), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(user.messages.size(), 1u);
        EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Įveskite sveikąjį skaičių nuo 0 iki 99."));
        FindControl<QLineEdit>(&dialog, 1017)->setText("7b");
        QTest::mouseClick(FindControl<QPushButton>(&dialog, 1), Qt::LeftButton);
    });
    EXPECT_EQ(values.streetCode, 0) << "neither chosen nor a name of the list";
    EXPECT_EQ(values.number, "7b");
    EXPECT_EQ(values.streetCode2, 10);
    EXPECT_EQ(values.number2, "5");
}

TEST_F(AddressEntryTest, WithoutTheStreetsNameFieldTheEntryEndsCancelled)
{
    streetLayer.SetIdField("NERA");
    CAddressEntryValues values;
    CAddressEntryDlg dialog(values, streetLayer, doc);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(user.MessageIds(), std::vector<unsigned>{1004});
}

// ------------------------------------------------------------ point information

class PointInfoTest : public RecordDialogsTest {
protected:
    PointInfoTest()
    {
        path = dir.File("MyWpt.dbf");
        EXPECT_TRUE(table.Create(path, FieldList({{"NAME", 'C', 30, 0},
                                                  {"DESCR", 'C', 100, 0},
                                                  {"LON", 'N', 13, 8},
                                                  {"LAT", 'N', 13, 8},
                                                  {"SYMBOL", 'N', 8, 0}})
                                           .data()));
        table.AppendBlank();
        table.SetField(0, "Namai");
        table.SetFieldDouble(2, 25.5);
        table.SetFieldDouble(3, 54.25);
        table.SetFieldLong(4, -1);
        EXPECT_TRUE(table.WriteRecord());
        CSublayer& band = *layer.GetSublayer(0);
        band.m_kind = CSublayer::kClassified;
        band.m_classes.SetKind(true, true);
        CThemeClass* other = band.m_classes.AddClass(CLayer::kPoint);
        CPointStyle style = other->m_style.Point();
        style.kind = CPointStyle::kLibrary;
        style.symbol = 4;
        other->m_style = CStyleRecord(style);
    }
    CLayer layer{"My Placemarks", "MyWpt.dbf", CLayer::kPoint};
};

TEST_F(PointInfoTest, ValuesShownCheckedAndWritten)
{
    std::vector<int> offered;
    SymbolListDialog() = [&](int& symbol, QWidget*) {
        offered.push_back(symbol);
        symbol = 12;
        return true;
    };
    CPlacemarkEdit placemark(table, layer);
    CPointInfoDlg dialog(placemark);
    WithModalWindow([&] { EXPECT_EQ(dialog.DoModal(), IDOK); }, [&](QWidget&) {
        Activate(dialog);
        EXPECT_EQ(GetControlId(&dialog), 402);
        EXPECT_EQ(dialog.windowTitle(), Text("Taško informacija"));
        auto* name = FindControl<QLineEdit>(&dialog, 1017);
        EXPECT_EQ(name->text(), "Namai");
        EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1008)->text(), "25.5");
        EXPECT_EQ(FindControl<QLineEdit>(&dialog, 1009)->text(), "54.25");
        auto* symbol = FindControl<CStyleSampleButton>(&dialog, 1070);
        ASSERT_TRUE(symbol);
        EXPECT_TRUE(symbol->isEnabled());
        EXPECT_EQ(symbol->GetSample().point.symbol, 4) << "the default symbol";
        SaveScreenshot(dialog, "search-402-point-info");
        QTest::mouseClick(symbol, Qt::LeftButton);
        EXPECT_EQ(offered, std::vector<int>{4});
        EXPECT_EQ(symbol->GetSample().point.symbol, 12);
        // 31 characters do not go in; 181 and "abc" are refused.
        name->clear();
        QTest::keyClicks(name, QString(31, QLatin1Char('n')));
        EXPECT_EQ(name->text().size(), 30);
        for (const char* bad : {"181", "abc", "-180.5"}) {
            FindControl<QLineEdit>(&dialog, 1008)->setText(bad);
            user.messages.clear();
            QTest::mouseClick(FindControl<QPushButton>(&dialog, 1), Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible()) << bad;
            EXPECT_EQ(user.messages.size(), 1u) << bad;
        }
        FindControl<QLineEdit>(&dialog, 1008)->setText("-180");
        FindControl<QLineEdit>(&dialog, 1009)->setText("90");
        QTest::mouseClick(FindControl<QPushButton>(&dialog, 1), Qt::LeftButton);
    });
    EXPECT_EQ(Stored(0, 0), std::string(30, 'n'));
    EXPECT_EQ(Stored(0, 2), "-180.00000000");
    EXPECT_EQ(Stored(0, 3), "90.00000000");
    EXPECT_EQ(Stored(0, 4), "12");
}

TEST_F(PointInfoTest, WithoutTheSymbolListOrAClassifiedBandTheButtonOnlyShows)
{
    CPlacemarkEdit withoutList(table, layer);
    CPointInfoDlg first(withoutList);
    Activate(first);
    EXPECT_FALSE(FindControl<QWidget>(&first, 1070)->isEnabled());
    first.close();

    SymbolListDialog() = [](int&, QWidget*) { return true; };
    layer.GetSublayer(0)->m_kind = CSublayer::kOneStyle;
    CPlacemarkEdit oneStyle(table, layer);
    CPointInfoDlg second(oneStyle);
    Activate(second);
    EXPECT_FALSE(FindControl<QWidget>(&second, 1070)->isEnabled());
    second.close();
}

TEST_F(PointInfoTest, CancelWritesNothing)
{
    const std::string bytes = ReadWholeFile(path);
    CPlacemarkEdit placemark(table, layer);
    CPointInfoDlg dialog(placemark);
    WithModalWindow([&] { EXPECT_EQ(dialog.DoModal(), IDCANCEL); }, [&](QWidget&) {
        FindControl<QLineEdit>(&dialog, 1017)->setText("Kitur");
        QTest::mouseClick(FindControl<QPushButton>(&dialog, 2), Qt::LeftButton);
    });
    EXPECT_EQ(ReadWholeFile(path), bytes);
}

} // namespace
