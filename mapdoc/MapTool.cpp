#include "mapdoc/MapTool.h"

#include "layers/Layer.h"
#include "platform/UserServices.h"

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

int CMapTool::OnSetCursor()
{
    return m_child ? m_child->OnSetCursor() : 0;
}

int CMapTool::OnKeyDown(int key, int repeat, unsigned flags)
{
    return m_child ? m_child->OnKeyDown(key, repeat, flags) : 0;
}

int CMapTool::OnKeyUp(int key, int repeat, unsigned flags)
{
    return m_child ? m_child->OnKeyUp(key, repeat, flags) : 0;
}

void CMapTool::OnKillFocus()
{
    if (m_child)
        m_child->OnKillFocus();
}

int CMapTool::OnUpdateCommandUI(CCommandState& state)
{
    return m_child ? m_child->OnUpdateCommandUI(state) : 0;
}

int CMapTool::OnMouseLeave()
{
    return m_child ? m_child->OnMouseLeave() : 0;
}

int CMapTool::AskSave()
{
    if (!m_modified)
        return 1;
    const std::string name = m_editedLayer ? m_editedLayer->GetName() : std::string();
    switch (AppMessageBoxArg(2003, name, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDCANCEL:
        return 0;
    case IDYES:
        return Save();
    default:
        return 1;
    }
}

int CMapTool::Save()
{
    m_modified = 0;
    return 1;
}
