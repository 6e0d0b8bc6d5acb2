#include "settings/BaseScales.h"

namespace {

int g_lastPage = 0;
int g_labelBaseScale = 0;
int g_symbolBaseScale = 0;

} // namespace

int GetLastLayerSheetPage()
{
    return g_lastPage;
}

void SetLastLayerSheetPage(int page)
{
    g_lastPage = page;
}

int GetLabelBaseScale()
{
    return g_labelBaseScale;
}

void SetLabelBaseScale(int scale)
{
    g_labelBaseScale = scale;
}

int GetSymbolBaseScale()
{
    return g_symbolBaseScale;
}

void SetSymbolBaseScale(int scale)
{
    g_symbolBaseScale = scale;
}
