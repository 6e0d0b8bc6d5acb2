#include "settings/widgets/SettingsInstall.h"

#include "layers/Layer.h"
#include "layers/LayerPropertySheet.h"
#include "settings/BaseScales.h"
#include "settings/widgets/LayerPropSheet.h"
#include "shell/widgets/MapFrame.h"

#include <algorithm>
#include <climits>

namespace {

class CLayerSheetRunner : public ILayerPropertySheet {
public:
    bool Run(CLayer& layer, CDrelDoc* document, int pageGroup) override
    {
        return RunLayerPropSheet(layer, document, pageGroup);
    }
};

} // namespace

void InstallSettingsDialogs(CDrelApp& app)
{
    static CLayerSheetRunner sheet;
    SetLayerPropertySheet(&sheet);
    CMapFrame::Hooks().legend.layerProperties = [](CLayer& layer, CDrelDoc& document, double scale) {
        const int base = static_cast<int>(std::clamp(scale, 0.0, static_cast<double>(INT_MAX)));
        SetLabelBaseScale(base);
        SetSymbolBaseScale(base);
        return layer.EditProperties(&document, -1);
    };
}
