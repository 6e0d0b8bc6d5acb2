#include "mapdoc/ContextView.h"

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/ExtensionHooks.h"
#include "mapdoc/ViewWindow.h"
#include "platform/DC.h"
#include "platform/DrawInterrupt.h"

namespace {

// Zoom previous and next: the overview keeps no history.
constexpr int kZoomCommands[] = {30134, 30135};

constexpr COLORREF kButtonShadow = RGB(160, 160, 160);
constexpr COLORREF kFrameRed = RGB(255, 0, 0);

} // namespace

CContextView::CContextView(CDrelDoc& document) : CDrelView(document)
{
    m_overviewFlag = 1;
    for (const int id : kZoomCommands)
        m_commands.OnUpdate(id, [](CCommandState& state) { state.Enable(false); });
}

bool CContextView::FitToLimits()
{
    CMapRect limits = GetDocument().Settings().limits;
    if (limits.left > limits.right || limits.top < limits.bottom)
        return false;
    limits.Scale(1.04);
    if (!FitRect(limits))
        return false;
    Redraw();
    return true;
}

void CContextView::OnInitialUpdate()
{
    OnUpdate(GetDocument(), kHintAll);
}

void CContextView::OnUpdate(CDrelDoc&, uint32_t hint)
{
    switch (HintOperation(hint)) {
    case kHintAll:
        Redraw();
        break;
    case kHintOverview:
        FitToLimits();
        break;
    case kHintOverlays:
        // The map view's frame moved: the picture stays.
        if (GetWindow())
            GetWindow()->InvalidateView();
        break;
    default:
        break;
    }
}

void CContextView::OnSize(int width, int height)
{
    CDrelView::OnSize(width, height);
    FitToLimits();
}

void CContextView::OnDraw(CDC& dc)
{
    ExtensionOnDrawOverview(0);
    const CSize client = GetClientSize();
    if (!dc.RectVisible(CRect(CPoint(), client)))
        return;
    if (HasBackBuffer()) {
        CopyBackBuffer(dc);
        PrepareDCMapping(dc);
        if (CMapTool* tool = GetTool())
            tool->DrawAfterCopy(dc);
    } else {
        BeginBackBuffer(dc);
        SetDrawStopFlag(0);
        CDrelDoc& document = GetDocument();
        for (bool labels : {false, true}) {
            for (int i = 0; i < document.GetLayerCount() && !GetDrawStopFlag(); ++i) {
                CLayer* layer = document.GetLayer(i);
                if (!layer->HasFlag(CLayer::kInOverview))
                    continue;
                if (labels)
                    DrawLayerLabels(dc, *layer);
                else
                    DrawLayer(dc, *layer);
            }
        }
        EndBackBuffer();
        if (CMapTool* tool = GetTool())
            tool->DrawAfterRebuild(dc);
    }
    DrawMainViewFrame(dc);
    dc.SetMapMode(MM_TEXT);
    if (CMapTool* tool = GetTool())
        tool->DrawFinal(dc);
}

void CContextView::DrawMainViewFrame(CDC& dc)
{
    dc.SetMapMode(MM_TEXT);
    if (!m_mainView)
        return;
    CRect frame = RectToClient(m_mainView->GetMapExtent());
    frame.InflateRect(1, 1);
    const CBrush brushBefore = dc.SelectObject(CBrush::FromStock(NULL_BRUSH));
    const CPen penBefore = dc.SelectObject(CPen(PS_SOLID, 1, kButtonShadow));
    dc.Rectangle(frame);
    frame.OffsetRect(-1, -1);
    dc.SelectObject(CPen(PS_SOLID, 1, kFrameRed));
    dc.Rectangle(frame);
    dc.SelectObject(penBefore);
    dc.SelectObject(brushBefore);
}

void CContextView::ShowContextMenu(int x, int y)
{
    CDrelDoc& document = GetDocument();
    if (!m_layersDialog || !m_layersDialog(document))
        return;
    document.SetModifiedFlag();
    document.UpdateAllViews(kHintOverview);
}
