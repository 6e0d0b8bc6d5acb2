#pragma once

#include "mapdoc/PageSetup.h"
#include "settings/PageSetup.h"

class QPrinter;
class QWidget;

// The page setup of the run as printing reads it (SetPageSetup), with its
// dialogs: the map's page setup (166) and the table's (30729).
class CPageSetupService : public IPageSetup {
public:
    CPageSetup& Setup() { return m_setup; }

    CPageSetupValues GetValues() const override { return m_setup.GetValues(); }
    CTablePageSetupValues GetTableValues() const override { return m_setup.GetTableValues(); }
    bool EditTableSetup() const override;
    bool CanEditTableSetup() const override { return true; }

    // Dialog 166; true after OK.
    bool EditPageSetup(QWidget* parent);
    // The print area the page outline shows: the printable area of the
    // printer, of an A4 sheet without one.
    void SetPrintAreaFrom(QPrinter* printer);

private:
    // The dialogs edit it also when printing asks through a const object.
    mutable CPageSetup m_setup;
};

// The one of the program.
CPageSetupService& PageSetupService();
