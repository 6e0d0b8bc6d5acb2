#pragma once

#include "platform/Point.h"

// Device geometry works on the device context's own point type, so its
// results go to the drawing calls as they are.
using CDevicePoint = CPoint;
