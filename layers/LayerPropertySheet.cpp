#include "layers/LayerPropertySheet.h"

#include <atomic>

namespace {

ILayerPropertySheet g_cancelling;
std::atomic<ILayerPropertySheet*> g_sheet{nullptr};

} // namespace

ILayerPropertySheet& LayerPropertySheet()
{
    ILayerPropertySheet* sheet = g_sheet.load();
    return sheet ? *sheet : g_cancelling;
}

void SetLayerPropertySheet(ILayerPropertySheet* sheet)
{
    g_sheet.store(sheet);
}
