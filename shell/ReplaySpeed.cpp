#include "shell/ReplaySpeed.h"

int ReplaySpeedIndex(int factor)
{
    for (int i = 0; i < kReplaySpeedCount; ++i)
        if (kReplaySpeedFactors[i] == factor)
            return i;
    return -1;
}

int ReplaySpeedFactor(int index)
{
    return index >= 0 && index < kReplaySpeedCount ? kReplaySpeedFactors[index] : 0;
}

std::string ReplaySpeedText(int index)
{
    return "x" + std::to_string(ReplaySpeedFactor(index));
}
