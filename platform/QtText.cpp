#include "platform/QtText.h"

#include "platform/Codepage.h"

QString ToQString(std::string_view text)
{
    return QString::fromStdString(Cp1257ToUtf8(text));
}

std::string FromQString(const QString& text)
{
    return Utf8ToCp1257(text.toStdString());
}
