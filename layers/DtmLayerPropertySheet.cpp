#include "layers/DtmLayerPropertySheet.h"

#include <atomic>

namespace {

IDtmLayerPropertySheet g_cancelling;
std::atomic<IDtmLayerPropertySheet*> g_sheet{nullptr};

} // namespace

IDtmLayerPropertySheet& DtmLayerPropertySheet()
{
    IDtmLayerPropertySheet* sheet = g_sheet.load();
    return sheet ? *sheet : g_cancelling;
}

void SetDtmLayerPropertySheet(IDtmLayerPropertySheet* sheet)
{
    g_sheet.store(sheet);
}
