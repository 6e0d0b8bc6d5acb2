#pragma once

#include "core/MapPoint.h"
#include "mapdoc/MapTool.h"

#include <string>

class CDrelDoc;

// Mode 22: a marker at the click with its coordinates beside it.
class CPointCoordTool : public CMapTool {
public:
    static constexpr int kCursor = 1087;
    // The label stands this many eighths of its height above the marker.
    static constexpr int kLabelOffset = 6;

    using CMapTool::CMapTool;

    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnSetCursor() override;

    // The coordinates as the label shows them, by the map's units.
    static std::string FormatPoint(const CDrelDoc& document, const CMapPoint& p);
};
