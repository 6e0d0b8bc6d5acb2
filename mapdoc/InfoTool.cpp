#include "mapdoc/InfoTool.h"

#include "layers/Layer.h"
#include "mapdoc/DrelView.h"
#include "platform/UserServices.h"

namespace {
constexpr int kNoActiveLayer = 1022;
}

int CInfoTool::OnLButtonDown(unsigned flags, int x, int y)
{
    CLayer* layer = m_view->GetActiveLayer();
    if (!layer) {
        AppMessageBox(kNoActiveLayer);
        return 1;
    }
    layer->ShowObjectInfoAt(m_view->ClientToMap(x, y), *m_view);
    return 1;
}

int CInfoTool::OnSetCursor()
{
    m_view->SetCursor(kCursor);
    return 1;
}
