#pragma once

#include "mapdoc/QueryDialogs.h"

// The layer queries' dialogs of the settings part: the choice of one file
// of a layer made of many files (30765). The rest keep their defaults;
// the search part, installed later, answers them and hands this one on.
class CSettingsQueryDialogs : public IQueryDialogs {
public:
    bool ChooseLayerFile(CLayer& layer) override;
};
