#pragma once

// The rules of dialog 30771 "Buferinių zonų skaičiavimas": the radius of
// the layer's zones in kilometres, above 0 (a zone of no width is none)
// and at most 500. The dialog starts from the radius of its last OK in
// this run, 1.0 at first.
class CLayerBufferRules {
public:
    static constexpr double kMaxRadius = 500;

    static double LastRadius();
    static bool Accepts(double radius);
    // OK: the radius, when accepted, is the next run's.
    static bool Remember(double radius);
};
