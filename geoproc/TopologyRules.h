#pragma once

#include "geoproc/LineTopology.h"

// The rules of dialog 30814 "Topologijos kūrimas": copy the fields (check
// 1015), add the crossing points (check 1016) and the tolerance in metres
// (edit 1017), 0 to 1000. It starts with the values of its last OK in this
// run, at first copying on, crossings off and 0.
class CTopologyRules {
public:
    static constexpr double kMaxTolerance = 1000;

    static const CTopologyOptions& Last();
    static bool Accepts(double tolerance);
    // OK: the options, when accepted, are the next run's.
    static bool Remember(const CTopologyOptions& options);
};

// The tolerance in metres that error points, error fixing, snapping of
// vertices and thinning each ask in dialog 287, from its own last one
// (2.0, 1.0, 0.001 and 1.0 at first). Only a tolerance above 0 runs the
// command and is kept.
class CErrorToleranceRules {
public:
    enum Command { kErrorPoints, kFixing, kSnapping, kThinning };

    static double Last(Command command);
    static bool Accepts(double tolerance);
    static bool Remember(Command command, double tolerance);
    // Dialog 287 from the command's last tolerance: false when cancelled
    // or not above 0; else the tolerance is kept.
    static bool Ask(Command command, double& tolerance);
};
