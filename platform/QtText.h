#pragma once

#include <QString>

#include <string>
#include <string_view>

// The system's text (code page 1257) and Qt's Unicode strings, at the
// edge where text meets Qt: windows, painters, file dialogs.
QString ToQString(std::string_view text);
std::string FromQString(const QString& text);
