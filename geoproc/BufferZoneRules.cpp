#include "geoproc/BufferZoneRules.h"

#include "layers/ClassEditDialogs.h"

#include <cmath>

bool CBufferZoneRules::Accepts(double radius)
{
    return std::isfinite(radius) && radius != 0;
}

bool CBufferZoneRules::EditStyle()
{
    CDrawStyle style = m_copy.style;
    if (!ClassEditDialogs().EditAreaStyle(style))
        return false;
    m_copy.style = style;
    return true;
}

bool CBufferZoneRules::Apply(CBufferZoneSettings& settings) const
{
    if (!Accepts(m_copy.radius))
        return false;
    settings = m_copy;
    return true;
}
