// Printing of the map view: the page layout of the page setup, the pages
// a map takes at the chosen scale, and the title block.
#include "mapdoc/DrelView.h"

#include "mapdoc/PageSetup.h"
#include "mapdoc/PrintInfo.h"
#include "mapdoc/PrintPages.h"
#include "mapdoc/ScaleBar.h"
#include "mapdoc/ScaleBarPainter.h"
#include "platform/DC.h"

#include <algorithm>
#include <cmath>

namespace {

// Hundredths of a millimetre in thousandths of an inch.
int Mils(int v)
{
    return static_cast<int>((static_cast<std::int64_t>(v) * 100 + 127) / 254);
}

// Font heights of the page setup are thousandths of an inch; before the
// context is mapped they are drawn in its device pixels.
CFont DeviceFont(const LOGFONT& font, int dpi)
{
    LOGFONT device = font;
    device.lfHeight = MulDiv(font.lfHeight, dpi, 1000);
    device.lfWidth = MulDiv(font.lfWidth, dpi, 1000);
    return CFont(device);
}

int TextHeight(CDC& dc, const CFont& font, const std::string& text)
{
    const CFont before = dc.SelectObject(font);
    const int height = dc.GetTextExtent(text).cy;
    dc.SelectObject(before);
    return height;
}

// Pages along one side: the part beyond a whole number of pages that only
// rounding made is no page of its own.
double PagesAlong(double visible, double page)
{
    if (!(visible > page))
        return 1;
    return std::ceil(visible / page - 1e-9);
}

} // namespace

// The page as laid out, and what the view had before.
struct CDrelView::CPrintPage {
    CPageSetupValues setup;
    CRect area;       // device pixels of the page, title and footer taken off
    CMapRect page;    // what one page holds, from the view's origin
    CMapRect visible; // what is printed
    int columns = 1;
    int rows = 1;
    int savedDC = 0;
    double scale = 0, scaleX = 0, scaleY = 0, printScaleX = 0, printScaleY = 0;
    double originX = 0, originY = 0;
};

bool CDrelView::LayOutPrint(CDC& dc, const CRect& drawRect, bool drawTitle, CPrintPage& p)
{
    p.setup = PageSetup().GetValues();
    p.scale = m_scale;
    p.scaleX = m_scaleX;
    p.scaleY = m_scaleY;
    p.printScaleX = m_printScaleX;
    p.printScaleY = m_printScaleY;
    p.originX = m_originX;
    p.originY = m_originY;
    p.savedDC = dc.SaveDC();

    const int dpiY = std::max(1, dc.GetDeviceCaps(LOGPIXELSY));
    CRect area;
    if (!MarginArea(dc, drawRect, p.setup.margins, area))
        return false;

    if (!p.setup.title.empty()) {
        const CFont font = DeviceFont(p.setup.titleFont, dpiY);
        if (drawTitle) {
            const CFont before = dc.SelectObject(font);
            dc.SetBkMode(TRANSPARENT);
            dc.SetTextColor(RGB(0, 0, 0));
            dc.SetTextAlign(TA_LEFT | TA_TOP);
            dc.TextOut(area.left, area.top, p.setup.title);
            dc.SelectObject(before);
        }
        const int height = TextHeight(dc, font, p.setup.title);
        area.top += height + height / 4;
    }
    dc.IntersectClipRect(area);
    if (!p.setup.footer.empty()) {
        const int height = TextHeight(dc, DeviceFont(p.setup.footerFont, dpiY), p.setup.footer);
        area.bottom -= height + height / 4;
    }
    if (area.IsRectEmpty())
        return false;
    p.area = area;

    dc.SetViewportOrg(area.left, area.top);
    PrepareDCMapping(dc);
    SetScales(m_scale);

    auto pageAtScale = [&] {
        CPoint corners[2] = {CPoint(area.left, area.top), CPoint(area.right, area.bottom)};
        dc.DPtoLP(corners, 2);
        const CMapPoint a = DeviceToMap(corners[0]), b = DeviceToMap(corners[1]);
        return CMapRect(a.x, a.y, b.x, b.y);
    };
    CMapRect page = pageAtScale();
    CMapRect visible = GetMapExtent();
    if (!(page.Width() > 0 && page.Height() > 0 && visible.Width() > 0 && visible.Height() > 0))
        return false;

    switch (p.setup.scaleMode) {
    case CPageSetupValues::kFitExtent:
    case CPageSetupValues::kFillPage: {
        const double rx = page.Width() / visible.Width(), ry = page.Height() / visible.Height();
        const double f = p.setup.scaleMode == CPageSetupValues::kFitExtent ? (rx < ry ? rx : ry) : (rx > ry ? rx : ry);
        if (!(std::isfinite(f) && f > 0))
            return false;
        m_scale /= f;
        m_printScaleX /= f;
        m_printScaleY /= f;
        if (p.setup.scaleMode == CPageSetupValues::kFitExtent) {
            page = visible;
        } else {
            page = pageAtScale();
            if (!visible.IntersectRect(visible, page))
                return false;
        }
        break;
    }
    case CPageSetupValues::kFixedScale:
        if (p.setup.printScale > 0 && std::isfinite(p.setup.printScale)) {
            m_printScaleX *= p.setup.printScale / m_scale;
            m_printScaleY *= p.setup.printScale / m_scale;
            m_scale = p.setup.printScale;
            page = pageAtScale();
        }
        break;
    default:
        break;
    }
    if (p.setup.onePageOnly && !visible.IntersectRect(visible, page))
        return false;

    const double columns = PagesAlong(visible.Width(), page.Width());
    const double rows = PagesAlong(visible.Height(), page.Height());
    if (!(columns * rows <= kMostPrintPages))
        return false;
    p.columns = static_cast<int>(columns);
    p.rows = static_cast<int>(rows);
    p.page = page;
    p.visible = visible;
    return true;
}

void CDrelView::RestoreAfterPrint(CDC& dc, const CPrintPage& p)
{
    m_fixedExtentFlag = 0;
    m_scale = p.scale;
    m_scaleX = p.scaleX;
    m_scaleY = p.scaleY;
    m_printScaleX = p.printScaleX;
    m_printScaleY = p.printScaleY;
    m_originX = p.originX;
    m_originY = p.originY;
    dc.RestoreDC(p.savedDC);
}

int CDrelView::CountPrintPages(CDC& dc, const CRect& drawRect)
{
    CPrintPage p;
    const bool laidOut = LayOutPrint(dc, drawRect, false, p);
    RestoreAfterPrint(dc, p);
    return laidOut ? p.columns * p.rows : 0;
}

void CDrelView::OnPrint(CDC& dc, CPrintInfo& info)
{
    CPrintPage p;
    if (!LayOutPrint(dc, info.m_rectDraw, true, p)) {
        RestoreAfterPrint(dc, p);
        info.SetMaxPage(0);
        info.m_bContinuePrinting = false;
        return;
    }
    info.SetMaxPage(p.columns * p.rows);
    if (info.m_nCurPage < 1 || info.m_nCurPage > info.m_nMaxPage) {
        RestoreAfterPrint(dc, p);
        info.m_bContinuePrinting = false;
        return;
    }

    const int column = (info.m_nCurPage - 1) % p.columns;
    const int row = (info.m_nCurPage - 1) / p.columns;
    CMapRect page = p.page;
    const double dx = column * p.page.Width(), dy = row * p.page.Height();
    page.left += dx;
    page.right += dx;
    page.top -= dy;
    page.bottom -= dy;
    page.IntersectRect(page, p.visible);

    SetFixedExtent(page);
    m_originX = page.left;
    m_originY = page.top;
    const CRect mapRect = RectToDevice(page);
    const int saved = dc.SaveDC();
    dc.IntersectClipRect(mapRect);
    // Whatever the device, a page draws as printing draws.
    const bool printing = dc.IsPrinting();
    dc.SetPrinting(true);
    OnDraw(dc);
    dc.SetPrinting(printing);
    if (m_scaleBarPainter)
        m_scaleBarPainter->DrawForExport(dc, *this, mapRect);
    else if (m_scaleBar)
        m_scaleBar->DrawOnPage(dc, mapRect);
    m_fixedExtentFlag = 0;
    dc.RestoreDC(saved);

    if (p.setup.frame) {
        const CPen pen = dc.SelectObject(CPen::FromStock(BLACK_PEN));
        const CBrush brush = dc.SelectObject(CBrush::FromStock(NULL_BRUSH));
        dc.Rectangle(mapRect);
        dc.SelectObject(brush);
        dc.SelectObject(pen);
    }
    if (p.setup.titleBlock)
        DrawTitleBlock(dc, mapRect);
    if (!p.setup.footer.empty()) {
        const CFont font(p.setup.footerFont);
        const CFont before = dc.SelectObject(font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(0, 0, 0));
        dc.SetTextAlign(TA_LEFT | TA_TOP);
        const int height = dc.GetTextExtent(p.setup.footer).cy;
        dc.TextOut(mapRect.left, mapRect.bottom + height / 4, p.setup.footer);
        dc.SelectObject(before);
    }
    RestoreAfterPrint(dc, p);
}

void CDrelView::DrawTitleBlock(CDC& dc, const CRect& mapRect)
{
    // Left, top, right, bottom in hundredths of a millimetre.
    static constexpr int kCells[9][4] = {
        {0, 0, 3500, 600},        {3500, 0, 8000, 600},       {8000, 0, 12500, 600},
        {12500, 0, 15000, 600},   {15000, 0, 18500, 600},     {0, 600, 4500, 2200},
        {4500, 600, 13500, 2200}, {13500, 600, 18500, 1600}, {13500, 1600, 18500, 2200},
    };
    const int width = Mils(18500);  // 7283
    const int height = Mils(2200);  // 866
    const int widest = Mils(21000); // 8268, an A4 sheet
    const bool kept = mapRect.Width() == width || mapRect.Width() > widest;
    const int left = kept ? mapRect.right - width : mapRect.left;
    const int top = mapRect.bottom - height;
    auto x = [&](int v) { return kept ? left + Mils(v) : left + MulDiv(Mils(v), mapRect.Width(), width); };

    const CPageSetupValues setup = PageSetup().GetValues();
    const CPen pen = dc.SelectObject(CPen::FromStock(BLACK_PEN));
    const CBrush brush = dc.SelectObject(CBrush::FromStock(WHITE_BRUSH));
    const CFont font(setup.titleBlockFont);
    const CFont before = dc.SelectObject(font);
    const int bkMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF colour = dc.SetTextColor(RGB(0, 0, 0));
    for (int i = 0; i < 9; ++i) {
        CRect cell(x(kCells[i][0]), top + Mils(kCells[i][1]), x(kCells[i][2]), top + Mils(kCells[i][3]));
        dc.Rectangle(cell);
        cell.DeflateRect(50, 50);
        // A user's "&" is a letter here, not the mark of a shortcut.
        const unsigned format = (i >= 5 && i <= 7 ? DT_WORDBREAK : DT_SINGLELINE) | DT_NOPREFIX;
        dc.DrawText(setup.titleBlockTexts[static_cast<size_t>(i)], &cell, format);
    }
    dc.SetTextColor(colour);
    dc.SetBkMode(bkMode);
    dc.SelectObject(before);
    dc.SelectObject(brush);
    dc.SelectObject(pen);
}
