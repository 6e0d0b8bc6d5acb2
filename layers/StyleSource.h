#pragma once

#include "platform/Gdi.h"

// Where new styles take their colours and their symbols drawn at random.
// The program uses the application's colour cycles and a clock-seeded
// random number; tests install their own source for repeatable styles.
class IStyleSource {
public:
    virtual ~IStyleSource() = default;
    // The next default colour of a line (area false) or of an area fill (area true).
    virtual COLORREF NextDefaultColor(bool area) = 0;
    // A random number from 0 up.
    virtual int NextRandom() = 0;
};

IStyleSource& StyleSource();
// Installs a source; null restores the program's. The caller keeps ownership.
void SetStyleSource(IStyleSource* source);
