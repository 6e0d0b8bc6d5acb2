#include "shell/widgets/DialogTexts.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMetaObject>

namespace {

// Qt's text as it shows: translated when Qt's translation is installed,
// in the dialog's class or one of its bases, or among the standard buttons.
bool IsQtText(const QString& text, const char* qt, const QMetaObject* dialogClass)
{
    if (text == QLatin1String(qt))
        return true;
    for (const QMetaObject* c = dialogClass; c; c = c->superClass())
        if (text == QCoreApplication::translate(c->className(), qt))
            return true;
    return text == QCoreApplication::translate("QPlatformTheme", qt);
}

template <class Control, class Get, class Set>
void Replace(QWidget& dialog, std::span<const DialogText> texts, Get get, Set set)
{
    for (Control* control : dialog.findChildren<Control*>()) {
        const QString text = (control->*get)();
        for (const DialogText& entry : texts)
            if (IsQtText(text, entry.qt, dialog.metaObject())) {
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
