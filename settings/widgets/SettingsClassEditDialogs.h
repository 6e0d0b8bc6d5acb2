#pragma once

#include "layers/ClassEditDialogs.h"

class QWidget;

// The settings dialogs behind IClassEditDialogs, installed by
// InstallSettingsDialogs: the value dialogs 139 and 162, the point symbol
// sheet (string 106), the line style dialog 157 and the area style dialog
// 158, each modal over the active window.
class CSettingsClassEditDialogs : public IClassEditDialogs {
public:
    bool EditFieldValue(std::string& value) override;
    bool EditFieldRange(std::string& from, std::string& to) override;
    bool EditPointStyle(CPointStyle& style) override;
    bool EditLineStyle(CDrawStyle::Line& first, CDrawStyle::Line& second, bool& doubleLine) override;
    bool EditAreaStyle(CDrawStyle& style) override;

protected:
    // What the dialogs are modal over.
    static QWidget* Parent();
};
