#include "mapdoc/MapTool.h"

int MapToolMode = 0;

CMapTool::~CMapTool() = default;

void CMapTool::DrawFinal(CDC& dc)
{
    if (m_child)
        m_child->DrawFinal(dc);
}

void CMapTool::DrawAfterCopy(CDC& dc)
{
    if (m_child)
        m_child->DrawAfterCopy(dc);
}

void CMapTool::DrawAfterRebuild(CDC& dc)
{
    if (m_child)
        m_child->DrawAfterRebuild(dc);
}

int CMapTool::OnLButtonDown(unsigned flags, int x, int y)
{
    return m_child ? m_child->OnLButtonDown(flags, x, y) : 0;
}

int CMapTool::OnLButtonUp(unsigned flags, int x, int y)
{
    return m_child ? m_child->OnLButtonUp(flags, x, y) : 0;
}

int CMapTool::OnLButtonDblClk(unsigned flags, int x, int y)
{
    return m_child ? m_child->OnLButtonDblClk(flags, x, y) : 0;
}

int CMapTool::OnMouseMove(unsigned flags, int x, int y)
{
    return m_child ? m_child->OnMouseMove(flags, x, y) : 0;
}

int CMapTool::OnKeyDown(int key, int repeat, unsigned flags)
{
    return m_child ? m_child->OnKeyDown(key, repeat, flags) : 0;
}

int CMapTool::OnKeyUp(int key, int repeat, unsigned flags)
{
    return m_child ? m_child->OnKeyUp(key, repeat, flags) : 0;
}
