#include "geoproc/LayerBufferRules.h"

#include <cmath>

namespace {
double g_lastRadius = 1.0;
} // namespace

double CLayerBufferRules::LastRadius()
{
    return g_lastRadius;
}

bool CLayerBufferRules::Accepts(double radius)
{
    return std::isfinite(radius) && radius > 0 && radius <= kMaxRadius;
}

bool CLayerBufferRules::Remember(double radius)
{
    if (!Accepts(radius))
        return false;
    g_lastRadius = radius;
    return true;
}
