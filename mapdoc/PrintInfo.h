#pragma once

#include "platform/Rect.h"

// What the page loop and the view's printing tell each other about one
// page of a print.
struct CPrintInfo {
    CRect m_rectDraw;  // the printable part of the page, device pixels
    int m_nCurPage = 1; // from 1
    int m_nMaxPage = 0; // the pages the map takes, told by the view
    // Cleared by the view when the page asked for is not there.
    bool m_bContinuePrinting = true;

    void SetMaxPage(int pages) { m_nMaxPage = pages; }
};
