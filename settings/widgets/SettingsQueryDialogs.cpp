#include "settings/widgets/SettingsQueryDialogs.h"

#include "settings/widgets/LayerChoiceDialogs.h"

bool CSettingsQueryDialogs::ChooseLayerFile(CLayer& layer)
{
    return ChooseOneLayerFile(layer);
}
