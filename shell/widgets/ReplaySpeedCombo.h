#pragma once

#include "shell/widgets/ToolbarCombo.h"

// The playback toolbar's speed combo: "x1" to "x100", the replay's
// factor selected (none for a factor it does not list); a confirmed
// choice sets the factor.
class CReplaySpeedCombo : public CToolbarCombo {
public:
    explicit CReplaySpeedCombo(QWidget* parent = nullptr);
    // Selects the replay's current factor.
    void UpdateSelection();
};
