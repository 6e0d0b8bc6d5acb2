#pragma once

#include "layers/ClassEditDialogs.h"

class QWidget;

// The settings dialogs behind IClassEditDialogs, installed by
// InstallSettingsDialogs: the point symbol sheet (string 106), the line
// style dialog 157 and the area style dialog 158, each modal over the
// active window. Dialogs of other issues of this folder (class values)
// are further overrides here.
class CSettingsClassEditDialogs : public IClassEditDialogs {
public:
    bool EditPointStyle(CPointStyle& style) override;
    bool EditLineStyle(CDrawStyle::Line& first, CDrawStyle::Line& second, bool& doubleLine) override;
    bool EditAreaStyle(CDrawStyle& style) override;

protected:
    // What the dialogs are modal over.
    static QWidget* Parent();
};
