#include "mapdoc/ObjectEditTool.h"

#include "mapdoc/LineEditTool.h"
#include "platform/UserServices.h"

namespace {
IEditToolMaker g_defaultMaker;
IEditToolMaker* g_maker = nullptr;
} // namespace

int CObjectEditTool::DeleteSelectedObjects()
{
    if (GetSelectedCount() <= 0)
        return 0;
    if (AppMessageBox(2024, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        m_pendingOperation = kDeleteSelected;
        m_modified = 1;
        Save();
    }
    Clear();
    return 1;
}

std::unique_ptr<CLineEditTool> IEditToolMaker::MakeLineEditTool(CDrelView& view)
{
    return std::make_unique<CLineEditTool>(&view);
}

IEditToolMaker& EditToolMaker()
{
    return g_maker ? *g_maker : g_defaultMaker;
}

void SetEditToolMaker(IEditToolMaker* maker)
{
    g_maker = maker;
}
