#pragma once

#include "mapdoc/MapTool.h"

// Mode 4: the active layer shows what it holds at the click.
class CInfoTool : public CMapTool {
public:
    static constexpr int kCursor = 116;

    using CMapTool::CMapTool;

    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnSetCursor() override;
};
