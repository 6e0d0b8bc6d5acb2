#include "shell/widgets/PlainMessageBox.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/ControlIds.h"

#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace {

struct ButtonKind {
    int id;
    QMessageBox::StandardButton standard;
    const char* label; // UTF-8
};

constexpr ButtonKind kButtons[] = {
    {IDOK, QMessageBox::Ok, "OK"},
    {IDCANCEL, QMessageBox::Cancel, "Atsisakyti"},
    {IDABORT, QMessageBox::Abort, "&Nutraukti"},
    {IDRETRY, QMessageBox::Retry, "&Kartoti"},
    {IDIGNORE, QMessageBox::Ignore, "Nepa&isyti"},
    {IDYES, QMessageBox::Yes, "&Taip"},
    {IDNO, QMessageBox::No, "&Ne"},
};

std::vector<int> ButtonSet(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

QMessageBox::Icon IconOf(unsigned type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

const ButtonKind& KindOf(int id)
{
    for (const ButtonKind& kind : kButtons)
        if (kind.id == id)
            return kind;
    return kButtons[0];
}

} // namespace

int ShowPlainMessageBox(QWidget* owner, const std::string& text, const std::string& caption, unsigned type,
                        bool lithuanianLabels)
{
    QMessageBox box(IconOf(type), ToQString(caption), ToQString(text), QMessageBox::NoButton, owner);
    const std::vector<int> ids = ButtonSet(type);
    const size_t defaultIndex = (type >> 8) & 0x0F;
    for (size_t i = 0; i < ids.size(); ++i) {
        const ButtonKind& kind = KindOf(ids[i]);
        QPushButton* button = box.addButton(kind.standard);
        SetControlId(button, kind.id);
        if (lithuanianLabels)
            button->setText(QString::fromUtf8(kind.label));
        if (i == defaultIndex)
            box.setDefaultButton(button);
        if (kind.id == IDCANCEL)
            box.setEscapeButton(button);
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (!clicked)
        return ids.back() == IDCANCEL ? IDCANCEL : ids.front();
    return GetControlId(clicked);
}
