#include "platform/DefaultColors.h"

#include <ctime>
#include <mutex>

namespace {

const COLORREF kFills[31] = {
    0xD0D0FF, 0xD0DCFF, 0xD0E8FF, 0xD0F4FF, 0xD0FFFF, 0xD0FFED, 0xD0FFD0, 0xE8FFD0, 0xFFFFD0, 0xFFF0D0, 0xFFE0D0,
    0xFFD0D0, 0xFFD0E8, 0xFFD0FF, 0xE8D0FF, 0xE0E0E0, 0xB0B0FF, 0xB0C4FF, 0xB0D8FF, 0xB0ECFF, 0xB0FFFF, 0xB0FFE0,
    0xB0FFB0, 0xD8FFB0, 0xFFFFB0, 0xFFE5B0, 0xFFD5C0, 0xFFC0C0, 0xFFB0D8, 0xFFB0FF, 0xD8B0FF,
};
const COLORREF kBasic[15] = {
    0xC0C0C0, 0x808080, 0x000000, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000,
    0xFF00FF, 0x000080, 0x008080, 0x008000, 0x808000, 0x800000, 0x800080,
};

std::mutex g_mutex;
bool g_seeded = false;
int g_areaIndex = 0;
int g_lineIndex = 0;

void SeedLocked(long long seed)
{
    g_areaIndex = static_cast<int>(seed % 31) - 2;
    g_lineIndex = static_cast<int>(seed % 15) - 1;
    g_seeded = true;
}

} // namespace

void SeedDefaultColors(long long seed)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    SeedLocked(seed < 0 ? -seed : seed);
}

COLORREF GetNextDefaultColor(bool area)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_seeded)
        SeedLocked(static_cast<long long>(std::time(nullptr)));
    if (area) {
        g_areaIndex = (g_areaIndex + 2) % 31;
        return kFills[g_areaIndex];
    }
    g_lineIndex = (g_lineIndex + 1) % 15;
    return kBasic[g_lineIndex];
}
