#include "tools/demo/DemoStyleSource.h"

#include "platform/DefaultColors.h"

CDemoStyleSource::CDemoStyleSource(uint64_t seed) : m_random(CDemoRandom::At(seed, {30}))
{
    SeedDefaultColors(static_cast<long long>(seed & 0x3FFFFFFFFFFFFFFFull));
    SetStyleSource(this);
}

CDemoStyleSource::~CDemoStyleSource()
{
    SetStyleSource(nullptr);
}

COLORREF CDemoStyleSource::NextDefaultColor(bool area)
{
    return GetNextDefaultColor(area);
}

int CDemoStyleSource::NextRandom()
{
    return static_cast<int>(m_random.Next() & 0x7FFF);
}
