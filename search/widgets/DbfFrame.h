#pragma once

#include "shell/widgets/MdiChild.h"

#include <QPointer>

class CTableDoc;
class CTableView;

// The window of an attribute table (template 130): a child of the main
// window's multi-document area holding the table's CTableView, titled by
// the layer. Activating it shows the main window's table toolbar (320)
// and flags it for the toolbar list; leaving it for a window that is no
// table window hides the toolbar and clears the flag. Its own commands
// are the printing of the grid (57607 through the print dialog, 57608
// straight to the printer, 57609 the preview) and the table page setup
// (30091, while the page setup can edit it); other parts add theirs
// through CCommandRegistry<CDbfFrame>.
class CDbfFrame : public CMdiChild {
public:
    static constexpr int kTableBar = 320;

    CDbfFrame(CShellDocument& document, CDocTemplate& docTemplate);
    ~CDbfFrame() override;

    // Null once the frame has let its document go.
    CTableView* GetView() const;
    CTableDoc* GetTableDocument() const;

    void ActivateFrame() override;

protected:
    void OnInitialUpdate() override;

private:
    void OnActivation(bool active);

    QPointer<CTableView> m_view;
    bool m_active = false;
};
