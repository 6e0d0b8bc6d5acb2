// The shared controls under the program's application object: the font
// dialog's labels follow the program's message box, and every control
// together in one dialog, for a person to look at.
#include "tests/shell/widgets/app/AppFixture.h"

#include "layers/DrawStyle.h"
#include "layers/LabelStyle.h"
#include "layers/PointStyle.h"
#include "layers/TrackStyle.h"
#include "platform/Strings.h"
#include "shell/widgets/CharListBox.h"
#include "shell/widgets/ColorButton.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DegMinEdit.h"
#include "shell/widgets/DegMinSecEdit.h"
#include "shell/widgets/FontDialog.h"
#include "shell/widgets/StyleSampleButton.h"

#include <QAbstractButton>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QTest>

#include <cstring>

namespace {

class SharedControlsTest : public CAppFixture {};

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QStringList TextsOf(const QWidget& dialog)
{
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        texts << button->text();
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
        texts << group->title();
    return texts;
}

LOGFONT Font(const char* face, int height, int weight)
{
    LOGFONT font;
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = BALTIC_CHARSET;
    std::strcpy(font.lfFaceName, face);
    return font;
}

TEST_F(SharedControlsTest, TheFontDialogSpeaksTheProgramsLanguage)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(app.UsesOwnMessageBox()); // string 136 is not "English"
    const LOGFONT font = Font("Arial", -12, FW_BOLD);
    bool looked = false;
    WithModal(
        [&] {
            CFontDialog dialog(font, frame);
            dialog.SetColor(RGB(0, 0, 128));
            EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        },
        [&](QWidget& dialog) {
            looked = true;
            EXPECT_EQ(GetControlId(&dialog), CFontDialog::kTemplateId);
            EXPECT_EQ(dialog.windowTitle(), Text("Šriftas"));
            const QStringList texts = TextsOf(dialog);
            for (const char* text : {"Š&riftas:", "Šrifto &stilius:", "&Dydis:", "Efektai", "&Perbrauktas",
                                     "P&abrauktas", "Pavyzdys", "Spal&va:", "OK", "Atsisakyti"})
                EXPECT_TRUE(texts.contains(Text(text))) << text;
            for (const char* english : {"&Font", "&Size", "Effects", "Cancel", "Sample"})
                EXPECT_FALSE(texts.contains(english)) << english;
            auto* colour = FindControl<CColorButton>(&dialog, CFontDialog::kColorButtonId);
            ASSERT_TRUE(colour);
            EXPECT_EQ(colour->GetColor(), RGB(0, 0, 128));
            EXPECT_TRUE(colour->GetDefaultText().empty());
            SaveScreenshot(dialog, "font-dialog");
        });
    EXPECT_TRUE(looked);

    // Qt's own labels for an English program (an English program installs
    // no translation of Qt's, this one does).
    CFontDialog english(font, false, frame);
    const QStringList texts = TextsOf(english);
    EXPECT_TRUE(texts.contains(QCoreApplication::translate("QFontDialog", "&Font")));
    EXPECT_TRUE(texts.contains(QCoreApplication::translate("QPlatformTheme", "Cancel")));
    EXPECT_FALSE(texts.contains(Text("Š&riftas:")));
    EXPECT_EQ(FindControl<CColorButton>(&english, CFontDialog::kColorButtonId), nullptr);
}

// Sizes are points; a face that draws in another keeps its name until another is chosen.
TEST_F(SharedControlsTest, TheFontDialogGivesTheChosenFont)
{
    ASSERT_TRUE(Start());
    CFontDialog dialog(Font("Arial", -12, FW_BOLD), frame);
    LOGFONT chosen = dialog.GetLogFont();
    EXPECT_STREQ(chosen.lfFaceName, "Arial");
    EXPECT_EQ(chosen.lfHeight, -12);
    EXPECT_EQ(chosen.lfWeight, FW_BOLD);
    EXPECT_EQ(chosen.lfCharSet, BALTIC_CHARSET);

    QFont serif("DejaVu Serif");
    serif.setPointSize(14);
    serif.setItalic(true);
    serif.setUnderline(true);
    dialog.setCurrentFont(serif);
    chosen = dialog.GetLogFont();
    EXPECT_STREQ(chosen.lfFaceName, "DejaVu Serif");
    EXPECT_EQ(chosen.lfHeight, -14);
    EXPECT_EQ(chosen.lfItalic, 1);
    EXPECT_EQ(chosen.lfUnderline, 1);
    EXPECT_EQ(chosen.lfWeight, FW_NORMAL);

    // A face name as a file may hold it, without its end.
    LOGFONT unended = Font("", 9, FW_NORMAL);
    std::memset(unended.lfFaceName, 'A', LF_FACESIZE);
    CFontDialog another(unended, frame);
    EXPECT_EQ(std::string(another.GetLogFont().lfFaceName), std::string(31, 'A'));
}

// Every shared control in one dialog, the colour palette dropped down.
TEST_F(SharedControlsTest, GalleryOfTheSharedControls)
{
    ASSERT_TRUE(Start());
    QDialog gallery(frame);
    gallery.setWindowTitle(Text("Bendri valdikliai"));
    auto* grid = new QGridLayout(&gallery);
    int row = 0;
    const auto add = [&](const char* label, QWidget* control, int id) {
        SetControlId(control, id);
        grid->addWidget(new QLabel(Text(label), &gallery), row, 0);
        grid->addWidget(control, row++, 1);
    };

    auto* longitude = new CDegMinSecEdit(&gallery);
    longitude->SetLongitude(25.279694);
    add("Ilguma:", longitude, 1017);
    auto* latitude = new CDegMinSecEdit(&gallery);
    latitude->SetLatitude(54.687194);
    add("Platuma:", latitude, 1007);
    auto* longitudeMinutes = new CDegMinEdit(&gallery);
    longitudeMinutes->SetLongitude(25.279694);
    add("Ilguma (min.):", longitudeMinutes, 1008);
    auto* latitudeMinutes = new CDegMinEdit(&gallery);
    latitudeMinutes->SetLatitude(-54.687194);
    add("Platuma (min.):", latitudeMinutes, 1009);

    auto* samples = new QWidget(&gallery);
    auto* sampleRow = new QHBoxLayout(samples);
    sampleRow->setContentsMargins(0, 0, 0, 0);
    const auto sample = [&](int id) {
        auto* button = new CStyleSampleButton(samples);
        SetControlId(button, id);
        button->setFixedSize(64, 40);
        sampleRow->addWidget(button);
        return button;
    };
    CPointStyle point;
    point.symbol = 9;
    sample(1070)->SetPointStyle(point);
    CDrawStyle line = CDrawStyle::ResetLine();
    line.penWidth = 30;
    line.penColor = RGB(200, 0, 0);
    sample(1071)->SetLineStyle(line);
    CDrawStyle area = CDrawStyle::ResetArea();
    area.brushStyle = 0;
    area.brushColor = RGB(180, 220, 255);
    area.penColor = RGB(0, 0, 160);
    sample(1072)->SetAreaStyle(area);
    CStyleSampleButton* text = sample(1066);
    CLabelStyle font = CLabelStyle::Default();
    font.font.lfHeight = -10;
    font.color = RGB(0, 0, 128);
    text->SetTextFont(font);
    CDrawStyle frameStyle = CDrawStyle::DefaultLabelFrame();
    frameStyle.brushColor = RGB(255, 255, 160);
    text->SetTextStyle(false, true, &frameStyle, true);
    sample(1073)->SetColor(RGB(255, 160, 0));
    CTrackStyle track;
    track.symbol = 8;
    track.penColor = RGB(0, 0, 255);
    track.penWidth = 20;
    sample(1074)->SetMarkerStyle(track);
    CStyleSampleButton* none = sample(1075);
    none->SetAreaStyle(area);
    none->SetShowNone(true);
    add("Pavyzdžiai:", samples, 1076);

    auto* characters = new CCharListBox(&gallery);
    characters->SetFontName("DejaVu Sans");
    characters->SelectChar('A');
    characters->setFixedSize(420, 130);
    add("Simboliai:", characters, 1011);

    // Last, so that its palette drops below the others.
    auto* colour = new CColorButton(&gallery);
    colour->SetDefaultText(LoadString(109));
    colour->SetColor(RGB(0, 128, 0));
    colour->setFixedSize(90, 24);
    add("Spalva:", colour, 1055);

    gallery.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&gallery));
    QCoreApplication::processEvents();
    QTest::mouseClick(colour, Qt::LeftButton);
    ColorPopup* popup = colour->GetPopup();
    ASSERT_TRUE(popup);
    QTest::keyClick(popup, Qt::Key_Right);
    QCoreApplication::processEvents();

    // The dialog and the popup below it, as they lie on the screen.
    const QRect whole = gallery.geometry().united(popup->geometry());
    QImage picture(whole.size(), QImage::Format_RGB32);
    picture.fill(Qt::darkGray);
    {
        QPainter painter(&picture);
        painter.drawImage(gallery.geometry().topLeft() - whole.topLeft(), gallery.grab().toImage());
        painter.drawImage(popup->geometry().topLeft() - whole.topLeft(), popup->grab().toImage());
    }
    SaveScreenshotImage(picture, "shared-controls");
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_FALSE(colour->IsPopupOpen());
    EXPECT_EQ(colour->GetColor(), RGB(0, 128, 0));
}

} // namespace
