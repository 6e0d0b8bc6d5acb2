#include "geoproc/TopologyRules.h"

#include "geoproc/GeoprocDialogs.h"

#include <cmath>

namespace {
CTopologyOptions g_lastTopology;
double g_lastTolerance[] = {2.0, 1.0, 0.001, 1.0};
} // namespace

const CTopologyOptions& CTopologyRules::Last()
{
    return g_lastTopology;
}

bool CTopologyRules::Accepts(double tolerance)
{
    return std::isfinite(tolerance) && tolerance >= 0 && tolerance <= kMaxTolerance;
}

bool CTopologyRules::Remember(const CTopologyOptions& options)
{
    if (!Accepts(options.tolerance))
        return false;
    g_lastTopology = options;
    return true;
}

double CErrorToleranceRules::Last(Command command)
{
    return g_lastTolerance[command];
}

bool CErrorToleranceRules::Accepts(double tolerance)
{
    return std::isfinite(tolerance) && tolerance > 0;
}

bool CErrorToleranceRules::Remember(Command command, double tolerance)
{
    if (!Accepts(tolerance))
        return false;
    g_lastTolerance[command] = tolerance;
    return true;
}

bool CErrorToleranceRules::Ask(Command command, double& tolerance)
{
    tolerance = Last(command);
    return GeoprocDialogs().AskTolerance(tolerance) && Remember(command, tolerance);
}
