#pragma once

#include "layers/DrawStyle.h"

#include <string>

struct CPointStyle;

// The dialogs through which the classes of a classification are edited:
// the value dialog (one text), the range dialog ("Nuo:" and "Iki:"), and
// the style dialogs of points, lines and areas, each on the caller's copy.
// The settings dialogs answer in the program; without them every dialog
// counts as cancelled. Tests install their own answers. True on OK.
class IClassEditDialogs {
public:
    virtual ~IClassEditDialogs() = default;
    virtual bool EditFieldValue(std::string& value) { return false; }
    virtual bool EditFieldRange(std::string& from, std::string& to) { return false; }
    virtual bool EditPointStyle(CPointStyle& style) { return false; }
    // The second line means something only with the double-line flag.
    virtual bool EditLineStyle(CDrawStyle::Line& first, CDrawStyle::Line& second, bool& doubleLine)
    {
        return false;
    }
    virtual bool EditAreaStyle(CDrawStyle& style) { return false; }
};

IClassEditDialogs& ClassEditDialogs();
// Installs the dialogs; null restores the default. The caller keeps ownership.
void SetClassEditDialogs(IClassEditDialogs* dialogs);
