#pragma once

#include <string>

// The speed factors of the track replay as the playback toolbar's combo
// lists them: "x1", "x2", "x5", "x10", "x100".
constexpr int kReplaySpeedFactors[] = {1, 2, 5, 10, 100};
constexpr int kReplaySpeedCount = 5;

// The entry of a factor; -1 for a factor the combo does not list.
int ReplaySpeedIndex(int factor);
// The factor of an entry; 0 outside the list.
int ReplaySpeedFactor(int index);
std::string ReplaySpeedText(int index);
