#pragma once

#include "mapdoc/BufferZoneDialogs.h"

// The rules of dialog 262 "Buferinės zonos skaičiavimas" of the
// buffer-zone tool, on a working copy of the tool's settings: the radius
// (any number but 0), the zone style and "&Pašalinti ankstesnius
// rezultatus". The settings given change only on OK.
class CBufferZoneRules {
public:
    explicit CBufferZoneRules(const CBufferZoneSettings& settings) : m_copy(settings) {}

    CBufferZoneSettings& Working() { return m_copy; }
    const CBufferZoneSettings& Working() const { return m_copy; }

    static bool Accepts(double radius);
    // The symbol button: the area-style dialog (158) on a copy of the
    // zone style, taken over on its OK. True when it was.
    bool EditStyle();
    // OK: false, nothing changed, while the radius is not accepted.
    bool Apply(CBufferZoneSettings& settings) const;

private:
    CBufferZoneSettings m_copy;
};
