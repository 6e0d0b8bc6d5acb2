#pragma once

#include "platform/Size.h"

// How far a content can scroll in a client area, per axis: the content
// less the client area, at least 0. When either axis must scroll, both
// bars are taken into account: the area they leave decides again, so a bar
// that one axis needs can make the other scroll too, and a content that
// fits without bars gets none. clientWithBars is the client area with both
// bars shown.
CSize GetScrollExcess(CSize content, CSize client, CSize clientWithBars);
