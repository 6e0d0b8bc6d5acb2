#include "shell/widgets/ReplaySpeedCombo.h"

#include "platform/QtText.h"
#include "shell/GpsHooks.h"
#include "shell/ReplaySpeed.h"

CReplaySpeedCombo::CReplaySpeedCombo(QWidget* parent) : CToolbarCombo(false, false, parent)
{
    for (int i = 0; i < kReplaySpeedCount; ++i)
        AddString(ToQString(ReplaySpeedText(i)), ReplaySpeedFactor(i));
    UpdateSelection();
    connect(this, &QComboBox::activated, this, [](int index) {
        if (const int factor = ReplaySpeedFactor(index))
            GpsHooks().SetReplaySpeedFactor(factor);
    });
}

void CReplaySpeedCombo::UpdateSelection()
{
    setCurrentIndex(ReplaySpeedIndex(GpsHooks().GetReplaySpeedFactor()));
}
