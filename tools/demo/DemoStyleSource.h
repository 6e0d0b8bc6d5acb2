#pragma once

#include "layers/StyleSource.h"
#include "tools/demo/DemoRandom.h"

#include <cstdint>

// The style source of the demo map while it is made: the default colours
// seeded and the random symbols drawn from the town's seed, so the styles
// that layers and classes get before the generator sets its own are the
// same on every run. Installed for its lifetime; afterwards the program's
// source is back.
class CDemoStyleSource : public IStyleSource {
public:
    explicit CDemoStyleSource(uint64_t seed);
    ~CDemoStyleSource() override;
    CDemoStyleSource(const CDemoStyleSource&) = delete;
    CDemoStyleSource& operator=(const CDemoStyleSource&) = delete;

    COLORREF NextDefaultColor(bool area) override;
    int NextRandom() override;

private:
    CDemoRandom m_random;
};
