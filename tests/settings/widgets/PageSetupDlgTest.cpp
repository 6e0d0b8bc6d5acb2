// The page setup dialogs (166, 329, 30729) on the run's page setup, and the
// printable area on a PDF printer.
#include "settings/widgets/PageSetupDlg.h"

#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/Font.h"
#include "platform/QtText.h"
#include "settings/widgets/PageSetupService.h"
#include "settings/widgets/SpinButton.h"
#include "settings/widgets/TablePageSetupDlg.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/FontDialog.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Texts = std::vector<std::string>;

constexpr int kFitRadio = 1024, kCurrentRadio = 1025, kGivenRadio = 1026, kFillRadio = 1027, kScaleEdit = 1013,
              kLeftEdit = 1008, kRightEdit = 1009, kTopEdit = 1017, kBottomEdit = 1007, kTitleEdit = 1010,
              kFooterEdit = 1011, kTitleFont = 1038, kFooterFont = 1039, kTitleBlockFont = 1040, kFrameCheck = 1015,
              kFirstPageCheck = 1016, kOutlineCheck = 1018, kTitleBlockCheck = 1019, kFieldsButton = 1055;
constexpr int kTitleBlockEdits[] = {1017, 1007, 1008, 1009, 1010, 1011, 1013, 1018, 1019};

class PageSetupDlgTest : public ::testing::Test, private CWithApplication {
protected:
    ~PageSetupDlgTest() override { dialog.reset(); }

    CPageSetupDlg& Open()
    {
        dialog = std::make_unique<CPageSetupDlg>(setup);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }
    template <class T = QWidget>
    T* Control(int id) const
    {
        T* control = FindControl<T>(dialog.get(), id);
        EXPECT_TRUE(control) << id;
        return control;
    }
    std::string Text(int id) const { return Control<QLineEdit>(id)->text().toStdString(); }
    void Type(int id, const char* utf8) const { Control<QLineEdit>(id)->setText(QString::fromUtf8(utf8)); }
    void Press(int id) const { Control<QAbstractButton>(id)->click(); }
    bool Ok() const
    {
        Press(IDOK);
        return !dialog->isVisible();
    }

    CScriptedUserServices user;
    CPageSetup setup;
    std::unique_ptr<CPageSetupDlg> dialog;
};

TEST_F(PageSetupDlgTest, TheInitialValuesAndTexts)
{
    Open();
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Puslapio parametrai"));
    EXPECT_EQ(GetControlId(dialog.get()), 166);
    const struct {
        int id;
        const char* text;
        bool checked;
    } buttons[] = {
        {kFitRadio, "De&rinti prie puslapio", true},
        {kCurrentRadio, "&Einamasis mastelis", false},
        {kGivenRadio, "&1:", false},
        {kFillRadio, "&Užimti visą puslapį", false},
        {kFrameCheck, "&Spausdinti rėmelį", true},
        {kFirstPageCheck, "&Jei netelpa viename puslapyje, spausdinti tik pirmą puslapį", false},
        {kOutlineCheck, "Žemėlapio lange piešti puslapio ribas", false},
        {kTitleBlockCheck, "Spausdinti kampinį štampą", false},
        {kTitleFont, "Šriftas...", false},
        {kFooterFont, "Šriftas...", false},
        {kTitleBlockFont, "Šriftas...", false},
        {kFieldsButton, "Laukai...", false},
    };
    for (const auto& b : buttons) {
        auto* button = Control<QAbstractButton>(b.id);
        EXPECT_EQ(button->text(), QString::fromUtf8(b.text)) << b.id;
        EXPECT_EQ(button->isChecked(), b.checked) << b.id;
    }
    EXPECT_EQ((Texts{Text(kLeftEdit), Text(kRightEdit), Text(kTopEdit), Text(kBottomEdit)}),
              (Texts{"10", "10", "10", "10"}));
    EXPECT_EQ((Texts{Text(kScaleEdit), Text(kTitleEdit), Text(kFooterEdit)}), (Texts{"", "", ""}));
    for (const int spin : {1028, 1029, 1085, 1088}) {
        auto* arrows = Control<CSpinButton>(spin);
        EXPECT_EQ(arrows->GetMin(), 0);
        EXPECT_EQ(arrows->GetMax(), 100);
    }
    // The title block's buttons follow its check box.
    EXPECT_FALSE(Control(kFieldsButton)->isEnabled());
    EXPECT_FALSE(Control(kTitleBlockFont)->isEnabled());
    Press(kTitleBlockCheck);
    EXPECT_TRUE(Control(kFieldsButton)->isEnabled());
    EXPECT_TRUE(Control(kTitleBlockFont)->isEnabled());
    SaveScreenshot(*dialog, "page-setup");
    Press(kTitleBlockCheck);
    EXPECT_FALSE(Control(kFieldsButton)->isEnabled());
}

TEST_F(PageSetupDlgTest, TheGivenScaleMustBeAboveZero)
{
    Open();
    Type(kScaleEdit, "0");
    EXPECT_FALSE(Control<QRadioButton>(kGivenRadio)->isChecked()) << "only typing checks it";
    QTest::keyClicks(Control(kScaleEdit), "5");
    EXPECT_TRUE(Control<QRadioButton>(kGivenRadio)->isChecked());
    for (const char* text : {"", "0", "05", "-25000", "abc", "1e999"}) {
        Type(kScaleEdit, text);
        if (std::string(text) == "05")
            Type(kScaleEdit, "0.0");
        EXPECT_FALSE(Ok()) << text;
    }
    EXPECT_EQ(user.beeps, 6);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_TRUE(Control(kScaleEdit)->hasFocus());
    EXPECT_EQ(setup.Map().scaleMode, CPageSetupValues::kFitExtent);

    Type(kScaleEdit, "25000");
    ASSERT_TRUE(Ok());
    EXPECT_EQ(setup.Map().scaleMode, CPageSetupValues::kFixedScale);
    EXPECT_EQ(setup.Map().scale, 25000);
    // Shown again with the given scale; another mode leaves the number.
    Open();
    EXPECT_EQ(Text(kScaleEdit), "25000");
    Press(kCurrentRadio);
    Type(kScaleEdit, "");
    Press(kCurrentRadio);
    ASSERT_TRUE(Ok());
    EXPECT_EQ(setup.Map().scaleMode, CPageSetupValues::kCurrentScale);
    EXPECT_EQ(setup.Map().scale, 25000);
    Open();
    EXPECT_EQ(Text(kScaleEdit), "") << "shown only with the given scale";
}

TEST_F(PageSetupDlgTest, MarginsAndCaptionsAreCheckedByTheExchange)
{
    Open();
    const struct {
        int id;
        std::string text;
        const char* message;
    } refused[] = {
        {kLeftEdit, "101", "Įveskite sveikąjį skaičių nuo 0 iki 100."},
        {kRightEdit, "-1", "Įveskite sveikąjį skaičių nuo 0 iki 100."},
        {kTopEdit, "7.5", "Įveskite sveikąjį skaičių nuo 0 iki 100."},
        {kBottomEdit, "", "Įveskite sveikąjį skaičių nuo 0 iki 100."},
    };
    for (const auto& r : refused) {
        const std::string before = Text(r.id);
        user.messages.clear();
        Type(r.id, r.text.c_str());
        EXPECT_FALSE(Ok()) << r.id;
        ASSERT_EQ(user.messages.size(), 1u) << r.id;
        EXPECT_EQ(user.messages[0].text, Utf8ToCp1257(r.message));
        Type(r.id, before.c_str());
    }
    EXPECT_EQ(setup.GetMarginRect(), CRect(1000, 1000, 1000, 1000)) << "a refused OK stores nothing";
    Type(kTitleEdit, std::string(81, 'A').c_str());
    EXPECT_EQ(Text(kTitleEdit), std::string(80, 'A')) << "a caption takes at most 80 characters";
    // A longer one that got in all the same is refused.
    Control<QLineEdit>(kTitleEdit)->setMaxLength(100);
    Type(kTitleEdit, std::string(81, 'A').c_str());
    user.messages.clear();
    EXPECT_FALSE(Ok());
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, Utf8ToCp1257("Įveskite ne daugiau kaip 80 simbolių."));
    Type(kTitleEdit, "");

    Type(kTitleEdit, std::string(80, 'A').c_str());
    Type(kLeftEdit, "0");
    Type(kRightEdit, "100");
    Type(kTopEdit, "15");
    Type(kBottomEdit, "20");
    Type(kFooterEdit, "Apačia");
    Press(kFrameCheck);
    Press(kOutlineCheck);
    Press(kFillRadio);
    ASSERT_TRUE(Ok());
    EXPECT_EQ(setup.GetMarginRect(), CRect(0, 1500, 10000, 2000));
    EXPECT_EQ(setup.Map().title, std::string(80, 'A'));
    EXPECT_EQ(setup.Map().footer, "Apa\xE8ia");
    EXPECT_EQ(setup.Map().frame, 0);
    EXPECT_EQ(setup.Map().showPageOutline, 1);
    EXPECT_EQ(setup.Map().scaleMode, CPageSetupValues::kFillPage);

    // Cancel leaves what the dialog edits.
    Open();
    Type(kLeftEdit, "30");
    Type(kTitleEdit, "Kita");
    Press(IDCANCEL);
    EXPECT_EQ(setup.GetMarginRect().left, 0);
    EXPECT_EQ(setup.Map().title, std::string(80, 'A'));
}

TEST_F(PageSetupDlgTest, SpinButtonsStepWithinTheRange)
{
    Open();
    auto* up = Control<CSpinButton>(1028);
    up->Step(1);
    EXPECT_EQ(Text(kLeftEdit), "11");
    Type(kLeftEdit, "100");
    up->Step(1);
    EXPECT_EQ(Text(kLeftEdit), "100");
    Type(kLeftEdit, "x");
    up->Step(-1);
    EXPECT_EQ(Text(kLeftEdit), "100");
    Type(kLeftEdit, "0");
    QTest::keyClick(Control(kLeftEdit), Qt::Key_Down);
    EXPECT_EQ(Text(kLeftEdit), "0");
    QTest::keyClick(Control(kLeftEdit), Qt::Key_Up);
    EXPECT_EQ(Text(kLeftEdit), "1");
}

TEST_F(PageSetupDlgTest, TitleBlockFieldsAndFontsAreKeptWhenTheDialogIsCancelled)
{
    Open();
    Press(kTitleBlockCheck);
    WithModalWindow([this] { Press(kFieldsButton); },
                    [](QWidget& fields) {
                        EXPECT_EQ(GetControlId(&fields), 329);
                        EXPECT_EQ(fields.windowTitle(), QString::fromUtf8("Kampinio štampo laukai"));
                        Texts shown;
                        for (const int id : kTitleBlockEdits)
                            shown.push_back(FindControl<QLineEdit>(&fields, id)->text().toStdString());
                        EXPECT_EQ(shown, (Texts{"Data: ", "Atliko: ", "Tvirtino: ", "M 1:", "Lapas / Lapai ", "",
                                                "Objektas: ", "Kodas ", "Dokumentas "}));
                        EXPECT_EQ(FindControl<QPushButton>(&fields, IDCANCEL)->text(), QString::fromUtf8("Atšaukti"));
                        FindControl<QLineEdit>(&fields, 1007)->setText(QString::fromUtf8("Atliko: J. Jonaitis"));
                        FindControl<QLineEdit>(&fields, 1010)->setText(QString::fromUtf8("Lapas 1"));
                        SaveScreenshot(fields, "title-block");
                        FindControl<QPushButton>(&fields, IDOK)->click();
                    });
    // Cancelled, the texts are not taken.
    WithModalWindow([this] { Press(kFieldsButton); },
                    [](QWidget& fields) {
                        FindControl<QLineEdit>(&fields, 1017)->setText(QString::fromUtf8("Niekas"));
                        FindControl<QPushButton>(&fields, IDCANCEL)->click();
                    });
    // The font dialog shows 10 points; OK without a change keeps -100,
    // a new size is taken in tenths.
    for (const int size : {0, 12}) {
        WithModalWindow([this, size] { Press(size ? kFooterFont : kTitleFont); },
                        [size](QWidget& modal) {
                            auto* fonts = qobject_cast<QFontDialog*>(&modal);
                            ASSERT_TRUE(fonts);
                            EXPECT_EQ(GetControlId(fonts), CFontDialog::kTemplateId);
                            EXPECT_EQ(fonts->currentFont().pointSize(), 10);
                            if (size) {
                                QFont font = fonts->currentFont();
                                font.setPointSize(size);
                                fonts->setCurrentFont(font);
                            }
                            fonts->accept();
                        });
    }
    Press(IDCANCEL);
    EXPECT_EQ(setup.Map().titleBlock, 0) << "the check box was not taken";
    EXPECT_EQ(setup.Map().titleBlockTexts[0], "Data: ");
    EXPECT_EQ(setup.Map().titleBlockTexts[1], "Atliko: J. Jonaitis");
    EXPECT_EQ(setup.Map().titleBlockTexts[4], "Lapas 1");
    EXPECT_EQ(setup.Map().titleFont.lfHeight, -100);
    EXPECT_EQ(setup.Map().footerFont.lfHeight, -120);
    EXPECT_EQ(setup.GetValues().titleFont.lfHeight, -139) << "10 points, not 9.8";
}

TEST_F(PageSetupDlgTest, TheTablePageSetup)
{
    CPageSetupService service;
    CTablePageSetupDlg table(service.Setup());
    table.show();
    EXPECT_EQ(GetControlId(&table), 30729);
    EXPECT_EQ(table.windowTitle(), QString::fromUtf8("Puslapio parametrai"));
    EXPECT_EQ(FindControl<QPushButton>(&table, kFooterFont)->text(), QString::fromUtf8("Šriftas..."));
    EXPECT_EQ(FindControl<QLineEdit>(&table, kTopEdit)->text(), QStringLiteral("10"));
    SaveScreenshot(table, "table-page-setup");
    FindControl<QLineEdit>(&table, kLeftEdit)->setText("120");
    FindControl<QPushButton>(&table, IDOK)->click();
    EXPECT_TRUE(table.isVisible());
    EXPECT_EQ(user.messages.size(), 1u);
    FindControl<QLineEdit>(&table, kLeftEdit)->setText("25");
    FindControl<QLineEdit>(&table, kBottomEdit)->setText("0");
    FindControl<QPushButton>(&table, IDOK)->click();
    EXPECT_FALSE(table.isVisible());
    EXPECT_EQ(service.GetTableValues().margins, CRect(2500, 1000, 1000, 0));
    EXPECT_EQ(service.GetTableValues().font.lfHeight, -97);
    EXPECT_TRUE(service.CanEditTableSetup());

    // Through the service: OK is true, Cancel false and the margins stay.
    for (const int button : {IDCANCEL, IDOK}) {
        bool edited = !(button == IDOK);
        WithModalWindow([&] { edited = service.EditTableSetup(); },
                        [button](QWidget& modal) {
                            EXPECT_EQ(GetControlId(&modal), 30729);
                            FindControl<QLineEdit>(&modal, kRightEdit)->setText("5");
                            FindControl<QPushButton>(&modal, button)->click();
                        });
        EXPECT_EQ(edited, button == IDOK);
        EXPECT_EQ(service.GetTableValues().margins.right, button == IDOK ? 500 : 1000);
    }
}

// A PDF printer with an A4 page and unprintable strips (mm). Qt keeps the
// page and the strips in whole points: lengths come out within a few
// hundredths of a millimetre per side.
constexpr int kPointRounding = 10;
constexpr int kStripRounding = 50;
void SetUpPdf(QPrinter& printer, const QMarginsF& strips)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, strips, QPageLayout::Millimeter));
}

TEST_F(PageSetupDlgTest, OnAPrinterTheCaptionsTakeTheirLinesAndTheStripsRaiseTheMargins)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdf(printer, QMarginsF(0, 0, 0, 0));
    CDC dc;
    dc.SetDeviceInfo(CDC::DescribeDevice(printer));
    ASSERT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    const int dpi = dc.GetDeviceCaps(LOGPIXELSY);

    const CSize plain = setup.GetPrintAreaSize(&dc);
    EXPECT_NEAR(plain.cx, 19000, kPointRounding);
    EXPECT_NEAR(plain.cy, 27700, kPointRounding);

    // The caption's line: the height of 10-point Arial on that device and a quarter.
    CFont arial;
    arial.CreatePointFont(100, "Arial", &dc);
    const CFont before = dc.SelectObject(arial);
    TEXTMETRIC metrics;
    ASSERT_TRUE(dc.GetTextMetrics(&metrics));
    dc.SelectObject(before);
    const int h = metrics.tmHeight;
    EXPECT_NEAR(h, dpi * 10 / 72, dpi * 10 / 72 / 3) << "about 10 points";
    setup.Map().title = "Antra\xF0t\xEB";
    const CSize captioned = setup.GetPrintAreaSize(&dc);
    EXPECT_EQ(captioned.cx, plain.cx);
    EXPECT_NEAR(plain.cy - captioned.cy, MulDiv(h + h / 4, 2540, dpi), 2);
    setup.Map().footer = "Apa\xE8ia";
    EXPECT_NEAR(plain.cy - setup.GetPrintAreaSize(&dc).cy, 2 * MulDiv(h + h / 4, 2540, dpi), 3);
    setup.Map().title.clear();
    setup.Map().footer.clear();

    // Strips of 15 and 20 mm: the 10 mm margins are raised to them, wider ones stay.
    SetUpPdf(printer, QMarginsF(15, 20, 15, 20));
    dc.SetDeviceInfo(CDC::DescribeDevice(printer));
    const CSize raised = setup.GetPrintAreaSize(&dc);
    EXPECT_NEAR(raised.cx, 18000, kStripRounding);
    EXPECT_NEAR(raised.cy, 25700, kStripRounding);
    setup.Map().margins = {25, 30, 30, 10};
    const CSize wider = setup.GetPrintAreaSize(&dc);
    EXPECT_NEAR(wider.cx, 21000 - 2500 - 3000, kPointRounding);
    EXPECT_NEAR(wider.cy, 29700 - 3000 - 2000, kStripRounding);

    // The printer refresh: the printer's area, or an A4 sheet without one.
    CPageSetupService service;
    service.SetPrintAreaFrom(&printer);
    EXPECT_NEAR(service.GetValues().pageWidth, 18000, kStripRounding);
    EXPECT_NEAR(service.GetValues().pageHeight, 25700, kStripRounding);
    service.SetPrintAreaFrom(nullptr);
    EXPECT_EQ(service.GetValues().pageWidth, 19000);
    EXPECT_EQ(service.GetValues().pageHeight, 27700);
}

} // namespace
