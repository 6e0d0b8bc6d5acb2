#include "mapdoc/AzimuthTool.h"

#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ViewWindow.h"
#include "platform/VirtualKeys.h"

CAzimuthTool::CAzimuthTool(CDrelView* view) : CMapTool(view) {}

CAzimuthTool::~CAzimuthTool()
{
    Clear();
}

int CAzimuthTool::OnLButtonDown(unsigned flags, int x, int y)
{
    Clear();
    m_start = m_end = m_view->ClientToMap(x, y);
    m_shown = 1;
    return 1;
}

int CAzimuthTool::OnMouseMove(unsigned flags, int x, int y)
{
    if (!m_shown)
        return 0;
    m_view->DrawXorLine(m_start, m_end, nullptr);
    m_end = m_view->ClientToMap(x, y);
    m_view->DrawXorLine(m_start, m_end, nullptr);
    if (!m_box)
        m_box = m_view->GetWindow() ? m_view->GetWindow()->CreateAzimuthBox() : nullptr;
    if (m_box) {
        const CDrelDoc& document = m_view->GetDocument();
        m_box->SetAzimuths(document.GetAzimuth(m_start, m_end), document.GetAzimuth(m_end, m_start));
    }
    return 1;
}

int CAzimuthTool::OnLButtonDblClk(unsigned flags, int x, int y)
{
    Clear();
    m_box.reset();
    return 1;
}

int CAzimuthTool::OnKeyDown(int key, int repeat, unsigned flags)
{
    if (key != VK_DELETE)
        return 0;
    Clear();
    return 1;
}

void CAzimuthTool::Clear()
{
    if (m_shown)
        m_view->DrawXorLine(m_start, m_end, nullptr);
    m_shown = 0;
}

int CAzimuthTool::OnSetCursor()
{
    m_view->SetCursor(kCursor);
    return 1;
}

void CAzimuthTool::DrawAfterCopy(CDC& dc)
{
    if (m_shown)
        m_view->DrawXorLine(m_start, m_end, &dc);
}

void CAzimuthTool::DrawAfterRebuild(CDC& dc)
{
    m_end = m_start;
}
