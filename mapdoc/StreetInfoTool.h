#pragma once

#include "mapdoc/MapTool.h"

#include <functional>

// Mode 12: the street at the click is marked, its name shown in the
// status bar and written where the street passes nearest to the click,
// its house numbers labelled.
class CStreetInfoTool : public CMapTool {
public:
    static constexpr int kCursor = 116;

    // Puts the house numbers of the street of a code on the view as text
    // overlays; the address part installs it (without it none are put).
    using AddressLabeller = std::function<void(int streetCode, CDrelView& view)>;
    static void SetAddressLabeller(AddressLabeller labeller);

    using CMapTool::CMapTool;

    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnSetCursor() override;
};
