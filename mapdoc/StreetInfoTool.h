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
    // overlays; by default the document's address table does.
    using AddressLabeller = std::function<void(int streetCode, CDrelView& view)>;
    static void SetAddressLabeller(AddressLabeller labeller);

    explicit CStreetInfoTool(CDrelView* view) : CMapTool(view, kCursor) {}

    int OnLButtonDown(unsigned flags, int x, int y) override;
};
