#include "shell/widgets/MessageBox.h"

#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/UserServices.h"
#include "shell/DialogFont.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/StaticText.h"
#include "tests/shell/widgets/ShellWidgetSupport.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// An owner window that keeps the help requests it gets.
class COwner : public QWidget {
public:
    int helpRequests = 0;
    int helpControl = 0;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == CHelpRequestEvent::EventType()) {
            ++helpRequests;
            helpControl = static_cast<CHelpRequestEvent*>(event)->controlId;
            return true;
        }
        return QWidget::event(event);
    }
};

// The buttons of a box, left to right.
std::vector<QPushButton*> Buttons(QDialog& box)
{
    std::vector<QPushButton*> buttons;
    for (QPushButton* b : box.findChildren<QPushButton*>())
        buttons.push_back(b);
    std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    return buttons;
}

class MessageBoxTest : public ::testing::Test, private CWithApplication {
protected:
    MessageBoxTest()
    {
        owner.resize(400, 300);
        owner.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&owner));
    }

    // Shows the box (the text in UTF-8 here) and hands it to act once it is up; the box's answer.
    int Run(const std::string& text, unsigned type, const std::function<void(QDialog&)>& act)
    {
        bool acted = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (acted || !box || !box->isVisible())
                return;
            acted = true;
            act(*box);
        });
        poll.start(5);
        const int answer = MessageBoxFromTemplate(&owner, Utf8ToCp1257(text), "Drel Lite", type);
        EXPECT_TRUE(acted);
        return answer;
    }
    static void Key(QDialog& box, Qt::Key key)
    {
        QWidget* target = box.focusWidget() ? box.focusWidget() : &box;
        QTest::keyClick(target, key);
    }

    COwner owner;
};

TEST_F(MessageBoxTest, EachTypesButtonsInOrderAndTheAnswerOfEach)
{
    struct Case {
        unsigned type;
        QStringList labels;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {MB_OK, {"OK"}, {IDOK}},
        {MB_OKCANCEL, {"OK", "Atsisakyti"}, {IDOK, IDCANCEL}},
        {MB_ABORTRETRYIGNORE, {"&Nutraukti", "&Kartoti", "Nepa&isyti"}, {IDABORT, IDRETRY, IDIGNORE}},
        {MB_YESNOCANCEL, {"&Taip", "&Ne", "Atsisakyti"}, {IDYES, IDNO, IDCANCEL}},
        {MB_YESNO, {"&Taip", "&Ne"}, {IDYES, IDNO}},
        {MB_RETRYCANCEL, {"&Kartoti", "Atsisakyti"}, {IDRETRY, IDCANCEL}},
    };
    for (const Case& c : cases) {
        for (size_t press = 0; press < c.ids.size(); ++press) {
            QStringList labels;
            std::vector<int> ids;
            QString title;
            const int answer = Run("Tęsti?", c.type, [&](QDialog& box) {
                title = box.windowTitle();
                for (QPushButton* b : Buttons(box)) {
                    labels << b->text();
                    ids.push_back(GetControlId(b));
                }
                Buttons(box)[press]->click();
            });
            EXPECT_EQ(labels, c.labels) << c.type;
            EXPECT_EQ(ids, c.ids) << c.type;
            EXPECT_EQ(answer, c.ids[press]) << c.type;
            EXPECT_EQ(title, "Drel Lite");
        }
    }
}

TEST_F(MessageBoxTest, HelpComesLastAndLeavesTheBoxOpen)
{
    bool openAfterHelp = false;
    QStringList labels;
    const int answer = Run("Pašalinti sluoksnį?", MB_YESNO | MB_HELP, [&](QDialog& box) {
        for (QPushButton* b : Buttons(box))
            labels << b->text();
        FindControl<QPushButton>(&box, IDHELP)->click();
        QCoreApplication::processEvents();
        openAfterHelp = box.isVisible();
        FindControl<QPushButton>(&box, IDNO)->click();
    });
    EXPECT_EQ(labels, (QStringList{"&Taip", "&Ne", "&Pagalba"}));
    EXPECT_TRUE(openAfterHelp);
    EXPECT_EQ(owner.helpRequests, 1);
    EXPECT_EQ(owner.helpControl, IDHELP);
    EXPECT_EQ(answer, IDNO);
}

TEST_F(MessageBoxTest, DefaultButtonFromTheTypeTakesTheFocusAndEnter)
{
    QString focused;
    bool isDefault = false;
    EXPECT_EQ(Run("Išsaugoti?", MB_YESNOCANCEL | MB_DEFBUTTON3, [&](QDialog& box) {
                  auto* button = qobject_cast<QPushButton*>(box.focusWidget());
                  focused = button ? button->text() : QString();
                  isDefault = button && button->isDefault();
                  Key(box, Qt::Key_Return);
              }),
              IDCANCEL);
    EXPECT_EQ(focused, "Atsisakyti");
    EXPECT_TRUE(isDefault);
    EXPECT_EQ(Run("Išsaugoti?", MB_YESNOCANCEL, [&](QDialog& box) {
                  focused = qobject_cast<QPushButton*>(box.focusWidget())->text();
                  Key(box, Qt::Key_Return);
              }),
              IDYES);
    EXPECT_EQ(focused, "&Taip");
    EXPECT_EQ(Run("Išsaugoti?", MB_YESNO | MB_DEFBUTTON2, [&](QDialog& box) { Key(box, Qt::Key_Return); }), IDNO);
}

TEST_F(MessageBoxTest, EscapeNeverAnswersYes)
{
    // The overwrite question: a caller that tests for No must not read Yes.
    EXPECT_EQ(Run("Failas jau yra. Perrašyti?", MB_YESNO | MB_ICONQUESTION,
                  [&](QDialog& box) { Key(box, Qt::Key_Escape); }),
              IDNO);
    EXPECT_EQ(Run("Išsaugoti?", MB_YESNOCANCEL, [&](QDialog& box) { Key(box, Qt::Key_Escape); }), IDCANCEL);
    EXPECT_EQ(Run("Gerai.", MB_OK, [&](QDialog& box) { Key(box, Qt::Key_Escape); }), IDOK);
    EXPECT_EQ(Run("Gerai.", MB_OKCANCEL, [&](QDialog& box) { box.close(); }), IDCANCEL);
    // A box without Cancel or No keeps waiting for an answer.
    bool open = false;
    EXPECT_EQ(Run("Nepavyko.", MB_ABORTRETRYIGNORE, [&](QDialog& box) {
                  Key(box, Qt::Key_Escape);
                  box.close();
                  QCoreApplication::processEvents();
                  open = box.isVisible();
                  FindControl<QPushButton>(&box, IDRETRY)->click();
              }),
              IDRETRY);
    EXPECT_TRUE(open);
}

TEST_F(MessageBoxTest, IconByType)
{
    const std::pair<unsigned, QStyle::StandardPixmap> icons[] = {
        {MB_ICONERROR, QStyle::SP_MessageBoxCritical},
        {MB_ICONQUESTION, QStyle::SP_MessageBoxQuestion},
        {MB_ICONWARNING, QStyle::SP_MessageBoxWarning},
        {MB_ICONINFORMATION, QStyle::SP_MessageBoxInformation},
    };
    for (const auto& [type, standard] : icons) {
        int system = 0;
        bool same = false;
        Run("Pranešimas.", MB_OK | type, [&](QDialog& box) {
            QLabel* icon = nullptr;
            for (QLabel* label : box.findChildren<QLabel*>())
                if (!label->pixmap().isNull())
                    icon = label;
            if (icon) {
                system = icon->property("systemIcon").toInt();
                const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
                same = icon->pixmap().toImage() == box.style()->standardIcon(standard, nullptr, &box).pixmap(side, side).toImage();
            }
            Key(box, Qt::Key_Escape);
        });
        EXPECT_EQ(system, 32512 + static_cast<int>(type >> 4)) << type;
        EXPECT_TRUE(same) << type;
    }
    int labelsWithPictures = -1;
    Run("Pranešimas.", MB_OK, [&](QDialog& box) {
        labelsWithPictures = 0;
        for (QLabel* label : box.findChildren<QLabel*>())
            labelsWithPictures += !label->pixmap().isNull();
        Key(box, Qt::Key_Escape);
    });
    EXPECT_EQ(labelsWithPictures, 0);
}

TEST_F(MessageBoxTest, SizesFromTheFontAndLongWordsBroken)
{
    NeedGuiApplication();
    TEXTMETRIC tm;
    {
        QImage scratch(1, 1, QImage::Format_RGB32);
        CDC dc(scratch);
        dc.SelectObject(MakeDialogFont());
        ASSERT_TRUE(dc.GetTextMetrics(&tm));
    }
    const int w = tm.tmAveCharWidth, h = tm.tmHeight;
    const int workArea = QGuiApplication::primaryScreen()->availableGeometry().width();

    // One word far wider than the widest line the box allows.
    const std::string word(400, 'W');
    QSize button, textSize, boxSize;
    int lines = 0;
    Run("Kelias: " + word, MB_OK | MB_ICONERROR, [&](QDialog& box) {
        button = FindControl<QPushButton>(&box, IDOK)->size();
        CStaticText* text = nullptr;
        for (QWidget* child : box.findChildren<QWidget*>())
            if (auto* t = dynamic_cast<CStaticText*>(child))
                text = t;
        ASSERT_TRUE(text);
        textSize = text->size();
        lines = textSize.height() / CStaticText::Measure("W", MakeDialogFont(), 1000).cy;
        boxSize = box.size();
        SaveScreenshot(box, "message-box-long-word");
        Key(box, Qt::Key_Return);
    });
    EXPECT_EQ(button, QSize(MulDiv(50, w, 4), MulDiv(14, h, 8)));
    EXPECT_LE(textSize.width(), (workArea / 8) * 5);
    EXPECT_LE(boxSize.width(), (workArea / 8) * 5);
    // Every letter is there, on lines no wider than the text control.
    const int perLine = std::max(1, textSize.width() / CStaticText::Measure("W", MakeDialogFont(), 1000).cx);
    EXPECT_GE(lines, 1 + 400 / perLine);
}

// A box narrower than its caption grows to show the caption whole.
TEST_F(MessageBoxTest, ANarrowBoxShowsItsWholeCaption)
{
    NeedGuiApplication();
    int width = 0, needed = 0;
    Run("Gerai.", MB_OK, [&](QDialog& box) {
        EXPECT_EQ(box.windowTitle(), "Drel Lite");
        QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        titleFont.setBold(true);
        // The caption's text beside the window's icon and two buttons of
        // the title bar, each about as wide as the bar is high.
        needed = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) +
                 3 * box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
        width = box.frameGeometry().width();
        SaveScreenshot(box, "message-box-narrow");
        Key(box, Qt::Key_Return);
    });
    EXPECT_GE(width, needed);
}

TEST_F(MessageBoxTest, Screenshots)
{
    Run("Failas \"keliai.gdb\" jau yra.\nPerrašyti jį?", MB_YESNO | MB_ICONQUESTION, [&](QDialog& box) {
        SaveScreenshot(box, "message-box-yes-no");
        Key(box, Qt::Key_Escape);
    });
    Run("Nepasirinktas sluoksnis.", MB_OK | MB_ICONWARNING, [&](QDialog& box) {
        SaveScreenshot(box, "message-box-ok");
        Key(box, Qt::Key_Escape);
    });
    Run("Nepavyko atidaryti failo \"C:\\Žemėlapiai\\Vilnius\\gatvės.gdb\".", MB_ABORTRETRYIGNORE | MB_ICONERROR | MB_HELP,
        [&](QDialog& box) {
            SaveScreenshot(box, "message-box-abort-retry-ignore-help");
            FindControl<QPushButton>(&box, IDIGNORE)->click();
        });
    Run("Išsaugoti žemėlapio \"Lietuva\" pakeitimus?", MB_YESNOCANCEL | MB_ICONINFORMATION | MB_DEFBUTTON3 | MB_RIGHT,
        [&](QDialog& box) {
            SaveScreenshot(box, "message-box-yes-no-cancel");
            Key(box, Qt::Key_Escape);
        });
}

} // namespace
