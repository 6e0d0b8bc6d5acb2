#include "shell/widgets/DialogTexts.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

namespace {

template <class Control, class Get, class Set>
void Replace(QWidget& dialog, std::span<const DialogText> texts, Get get, Set set)
{
    for (Control* control : dialog.findChildren<Control*>()) {
        const QString text = (control->*get)();
        for (const DialogText& entry : texts)
            if (text == QLatin1String(entry.qt)) {
                (control->*set)(QString::fromUtf8(entry.shown));
                break;
            }
    }
}

} // namespace

void SetDialogTexts(QWidget& dialog, std::span<const DialogText> texts)
{
    Replace<QLabel>(dialog, texts, &QLabel::text, &QLabel::setText);
    Replace<QAbstractButton>(dialog, texts, &QAbstractButton::text, &QAbstractButton::setText);
    Replace<QGroupBox>(dialog, texts, &QGroupBox::title, &QGroupBox::setTitle);
}
