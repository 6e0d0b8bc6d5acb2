#pragma once

#include <QString>

// Qt's own windows that stand in for the platform's common dialogs (open
// and save, print, page setup) and Qt's standard button texts in the
// program's language: Qt's translation "qt_lt" from the folder, installed
// for the application. Qt's newer standard button texts fall back on the
// older button-box ones of the same file. False, and nothing installed,
// when the folder holds no such translation: the texts stay Qt's own.
bool InstallQtTranslation(const QString& folder);
