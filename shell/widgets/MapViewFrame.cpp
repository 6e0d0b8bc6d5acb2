#include "shell/widgets/MapViewFrame.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/widgets/MapPrinting.h"
#include "mapdoc/widgets/MapViewWidget.h"
#include "res/CommandIds.h"
#include "shell/WindowPlacement.h"
#include "shell/widgets/DrelApp.h"

#include <QEvent>

CMapViewFrame::CMapViewFrame(CShellDocument& document, CDocTemplate& docTemplate) : CMdiChild(document, docTemplate)
{
    if (CDrelDoc* map = document.GetMapDocument()) {
        m_viewWidget = new CMapViewWidget(std::make_unique<CDrelView>(*map));
        setWidget(m_viewWidget);
        AddView(m_viewWidget, nullptr);
        // Printing, its preview and the copy of the map are the view's.
        Commands().On(kCmdFilePrint, [this] { PrintMapView(m_viewWidget->View(), this); });
        Commands().On(kCmdFilePrintPreview, [this] { PreviewMapView(m_viewWidget->View(), this); });
        Commands().On(kCmdEditCopy, [this] { m_viewWidget->View().CopyToClipboard(); });
    }
    resize(640, 480);
}

CMapViewFrame::~CMapViewFrame()
{
    // The view goes before this frame's members.
    TearDown();
}

CDrelView* CMapViewFrame::GetMapView()
{
    return m_viewWidget && GetDocument() ? &m_viewWidget->View() : nullptr;
}

void CMapViewFrame::OnInitialUpdate()
{
    if (CDrelView* view = GetMapView())
        view->OnInitialUpdate();
}

void CMapViewFrame::ActivateFrame()
{
    const CDrelApp* app = CDrelApp::Instance();
    if (app && app->GetMapWindowShowState() == kShowMaximized)
        showMaximized();
    else if (isMaximized())
        showNormal();
    CMdiChild::ActivateFrame();
}

void CMapViewFrame::changeEvent(QEvent* event)
{
    CMdiChild::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isVisible() || isMinimized())
        return;
    if (CDrelApp* app = CDrelApp::Instance())
        app->SetMapWindowShowState(isMaximized() ? kShowMaximized : kShowNormal);
}
