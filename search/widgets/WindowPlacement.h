#pragma once

#include "platform/Rect.h"

#include <QRect>

// A Qt rectangle as the placement rules take it, right and bottom just outside.
inline CRect ToCRect(const QRect& r)
{
    return CRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}
