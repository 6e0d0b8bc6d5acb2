#include "shell/ColorPalette.h"

#include "platform/DC.h"

#include <QImage>

#include <algorithm>
#include <array>

const COLORREF kPaletteColors[kPaletteColorCount] = {
    0xFFFFFF, 0xC0C0C0, 0x808080, 0x000000, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00,
    0xFF0000, 0xFF00FF, 0x000080, 0x008080, 0x008000, 0x808000, 0x800000, 0x800080,
    0xF0F0F0, 0xD0D0FF, 0xD0DCFF, 0xD0E8FF, 0xD0F4FF, 0xD0FFFF, 0xD0FFED, 0xD0FFD0,
    0xE8FFD0, 0xFFFFD0, 0xFFF0D0, 0xFFE0D0, 0xFFD0D0, 0xFFD0E8, 0xFFD0FF, 0xE8D0FF,
    0xE0E0E0, 0xB0B0FF, 0xB0C4FF, 0xB0D8FF, 0xB0ECFF, 0xB0FFFF, 0xB0FFE0, 0xB0FFB0,
    0xD8FFB0, 0xFFFFB0, 0xFFE5B0, 0xFFD5C0, 0xFFC0C0, 0xFFB0D8, 0xFFB0FF, 0xD8B0FF,
    0xD0D0D0, 0xA0A0FF, 0xA0B8FF, 0xA0D0FF, 0x90E4FF, 0x90FFFF, 0x90FFD3, 0xA0FFA0,
    0xD0FFA0, 0xFFFFA0, 0xFFE0A0, 0xFFC0A0, 0xFFA0A0, 0xFFA0D0, 0xFFA0FF, 0xD0A0FF,
    0xB0B0B0, 0x8080FF, 0x7094FF, 0x60B0FF, 0x60D8FF, 0x40FFFF, 0x60FFC0, 0x70FF70,
    0xB8FF70, 0xFFFF70, 0xFFD580, 0xFFAB80, 0xFF8080, 0xFF80C0, 0xFF70FF, 0xC080FF,
    0x909090, 0x5050FF, 0x4070FF, 0x3098FF, 0x00C0FF, 0x00F0F0, 0x00FF9A, 0x50FF50,
    0xA8FF50, 0xFFFF00, 0xFFC550, 0xFF8B50, 0xFF6060, 0xFF50A8, 0xFF40FF, 0xA850FF,
    0x606060, 0x0000FF, 0x0038E0, 0x0068D0, 0x0090C0, 0x00B0B0, 0x00C073, 0x00D000,
    0x68D000, 0xC0C000, 0xE09500, 0xFF5500, 0xFF2020, 0xFF0080, 0xE000E0, 0x8000FF,
    0x404040, 0x0000CC, 0x002490, 0x004080, 0x006080, 0x007070, 0x00804D, 0x008000,
    0x408000, 0x9F8000, 0x906000, 0x903000, 0xA00000, 0x900048, 0x900090, 0x480090,
    0xE1FFFF, 0xCEFAFE, 0xAFE6FF, 0x8DCEFE, 0x5B92C8, 0x23D1F7, 0x255DB1, 0x639AED,
    0x4155C4, 0xD0FFED, 0xB4F5E7, 0xB2F3F1, 0xB0EAB9, 0xB9E3AC, 0xF4E1BC, 0xFF9900,
};

int FindPaletteColor(COLORREF colour)
{
    const auto* found = std::find(std::begin(kPaletteColors), std::end(kPaletteColors), colour);
    return found == std::end(kPaletteColors) ? -1 : static_cast<int>(found - std::begin(kPaletteColors));
}

namespace {

constexpr int kPaletteWidth = kPaletteColumns * kPaletteBoxSize;
constexpr int kPaletteHeight = kPaletteRows * kPaletteBoxSize;
// The separator above the custom entry: a shadow line over a highlight one.
constexpr int kSeparatorHeight = 2;

CSize MeasureText(const std::string& text, const CFont& font)
{
    if (text.empty())
        return {0, 0};
    QImage scratch(1, 1, QImage::Format_RGB32);
    CDC dc(scratch);
    if (font.GetSafeHandle())
        dc.SelectObject(font);
    return dc.GetTextExtent(text);
}

} // namespace

CColorPalette::CColorPalette(COLORREF initial, std::string defaultText, std::string customText, int margin,
                             const CFont& font)
    : m_initial(initial), m_defaultText(std::move(defaultText)), m_customText(std::move(customText)),
      m_margin(std::max(margin, 0)), m_font(font)
{
    const CSize defaultSize = MeasureText(m_defaultText, m_font);
    const CSize customSize = MeasureText(m_customText, m_font);
    const int m = m_margin;
    const int entryHeight = std::max(defaultSize.cy, customSize.cy) + 4 * m + 2;
    // Room for the text inside the entry's edges.
    const int width = std::max(kPaletteWidth + 2 * m, std::max(defaultSize.cx, customSize.cx) + 6 * m);

    int y = m;
    if (HasDefaultEntry()) {
        m_defaultRect = CRect(m, y, width - m, y + entryHeight);
        y = m_defaultRect.bottom + m;
    }
    m_boxOrigin = CPoint((width - kPaletteWidth) / 2, y);
    y += kPaletteHeight;
    if (HasCustomEntry()) {
        y += m + kSeparatorHeight;
        m_customRect = CRect(m, y, width - m, y + entryHeight);
        y = m_customRect.bottom;
    }
    m_windowSize = CSize(width, y + m);

    if (m_initial == kDefaultColorValue && HasDefaultEntry())
        m_initialEntry = kDefaultEntry;
    else if (const int box = FindPaletteColor(m_initial); box >= 0)
        m_initialEntry = box;
    else
        m_initialEntry = HasCustomEntry() ? kCustomEntry : kNoEntry;
}

bool CColorPalette::IsEntry(int entry) const
{
    if (entry == kDefaultEntry)
        return HasDefaultEntry();
    if (entry == kCustomEntry)
        return HasCustomEntry();
    return entry >= 0 && entry < kPaletteColorCount;
}

CRect CColorPalette::GetEntryRect(int entry) const
{
    if (!IsEntry(entry))
        return CRect();
    if (entry == kDefaultEntry)
        return m_defaultRect;
    if (entry == kCustomEntry)
        return m_customRect;
    const int x = m_boxOrigin.x + (entry % kPaletteColumns) * kPaletteBoxSize;
    const int y = m_boxOrigin.y + (entry / kPaletteColumns) * kPaletteBoxSize;
    return CRect(x, y, x + kPaletteBoxSize, y + kPaletteBoxSize);
}

int CColorPalette::EntryAt(CPoint point) const
{
    if (HasDefaultEntry() && m_defaultRect.PtInRect(point))
        return kDefaultEntry;
    if (HasCustomEntry() && m_customRect.PtInRect(point))
        return kCustomEntry;
    const CRect boxes(m_boxOrigin, CSize(kPaletteWidth, kPaletteHeight));
    if (!boxes.PtInRect(point))
        return kNoEntry;
    const int entry = (point.y - boxes.top) / kPaletteBoxSize * kPaletteColumns + (point.x - boxes.left) / kPaletteBoxSize;
    return entry < kPaletteColorCount ? entry : kNoEntry;
}

COLORREF CColorPalette::GetEntryColor(int entry) const
{
    if (entry == kDefaultEntry)
        return kDefaultColorValue;
    if (entry >= 0 && entry < kPaletteColorCount)
        return kPaletteColors[entry];
    return m_initial;
}

int CColorPalette::OrderCount() const
{
    return kPaletteColorCount + (HasDefaultEntry() ? 1 : 0) + (HasCustomEntry() ? 1 : 0);
}

int CColorPalette::OrderOf(int entry) const
{
    const int first = HasDefaultEntry() ? 1 : 0;
    if (entry == kDefaultEntry)
        return 0;
    if (entry == kCustomEntry)
        return first + kPaletteColorCount;
    return first + entry;
}

int CColorPalette::EntryOfOrder(int order) const
{
    const int first = HasDefaultEntry() ? 1 : 0;
    if (order < first)
        return kDefaultEntry;
    if (order - first >= kPaletteColorCount)
        return kCustomEntry;
    return order - first;
}

int CColorPalette::MoveHorizontal(int entry, int step) const
{
    const int count = OrderCount();
    if (!IsEntry(entry))
        return EntryOfOrder(step > 0 ? 0 : count - 1);
    const int order = ((OrderOf(entry) + step) % count + count) % count;
    return EntryOfOrder(order);
}

int CColorPalette::MoveVertical(int entry, int step) const
{
    if (!IsEntry(entry))
        return MoveHorizontal(entry, step);
    // The rows from the top: the default entry as row -1, the palette's
    // rows, the custom entry as row kPaletteRows.
    std::array<int, kPaletteRows + 2> rows{};
    int count = 0;
    if (HasDefaultEntry())
        rows[count++] = -1;
    for (int r = 0; r < kPaletteRows; ++r)
        rows[count++] = r;
    if (HasCustomEntry())
        rows[count++] = kPaletteRows;

    const int row = entry == kDefaultEntry ? -1 : entry == kCustomEntry ? kPaletteRows : entry / kPaletteColumns;
    const int column = entry >= 0 ? entry % kPaletteColumns : 0;
    const int at = static_cast<int>(std::find(rows.begin(), rows.begin() + count, row) - rows.begin());
    const int next = rows[((at + step) % count + count) % count];
    if (next < 0)
        return kDefaultEntry;
    if (next == kPaletteRows)
        return kCustomEntry;
    return std::min(next * kPaletteColumns + column, kPaletteColorCount - 1);
}

void CColorPalette::Draw(CDC& dc, int current, const ControlColors& colours) const
{
    dc.FillSolidRect(CRect(CPoint(0, 0), m_windowSize), colours.face);
    if (HasDefaultEntry())
        DrawEntry(dc, kDefaultEntry, current, colours);
    for (int entry = 0; entry < kPaletteColorCount; ++entry)
        DrawEntry(dc, entry, current, colours);
    if (HasCustomEntry()) {
        const int y = m_customRect.top - kSeparatorHeight;
        dc.FillSolidRect(CRect(m_customRect.left, y, m_customRect.right, y + 1), colours.shadow);
        dc.FillSolidRect(CRect(m_customRect.left, y + 1, m_customRect.right, y + 2), colours.highlight);
        DrawEntry(dc, kCustomEntry, current, colours);
    }
}

void CColorPalette::DrawEntry(CDC& dc, int entry, int current, const ControlColors& colours) const
{
    if (!IsEntry(entry))
        return;
    const CRect rect = GetEntryRect(entry);
    const bool underMouse = entry == current;
    const bool initial = entry == m_initialEntry && !underMouse;
    const bool box = entry >= 0;
    dc.FillSolidRect(rect, initial ? (box ? colours.highlight : colours.light) : colours.face);
    if (underMouse)
        DrawEdge(dc, rect, BDR_RAISEDINNER, BF_RECT, colours);
    else if (initial)
        DrawEdge(dc, rect, BDR_SUNKENOUTER, BF_RECT, colours);

    if (box) {
        CRect swatch = rect;
        swatch.DeflateRect(2, 2);
        dc.FillSolidRect(swatch, kPaletteColors[entry]);
        FrameRect(dc, swatch, colours.shadow);
        return;
    }
    CRect inside = rect;
    inside.DeflateRect(m_margin, m_margin);
    if (entry == kDefaultEntry)
        FrameRect(dc, inside, colours.shadow);
    const int saved = dc.SaveDC();
    if (m_font.GetSafeHandle())
        dc.SelectObject(m_font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(colours.text);
    dc.DrawText(entry == kDefaultEntry ? m_defaultText : m_customText, &inside,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc.RestoreDC(saved);
}

void DrawColorButtonFace(CDC& dc, const CRect& content, COLORREF colour, COLORREF defaultColour, bool enabled,
                         const ControlColors& colours)
{
    // Rows of 7, 5, 3 and 1 pixels: narrower arrows read as a dash.
    constexpr int kArrowWidth = 7;
    constexpr int kArrowMargin = 4;
    // Room for a focus frame between the content's edge and what it holds.
    constexpr int kInset = 3;
    const CRect arrowArea(content.right - kArrowWidth - 2 * kArrowMargin, content.top, content.right, content.bottom);
    const int arrowLeft = arrowArea.left + kArrowMargin;
    const int arrowTop = content.top + (content.Height() - (kArrowWidth + 1) / 2) / 2;
    const COLORREF arrowColour = enabled ? RGB(0, 0, 0) : colours.grayText;
    for (int row = 0; row < (kArrowWidth + 1) / 2; ++row)
        dc.FillSolidRect(CRect(arrowLeft + row, arrowTop + row, arrowLeft + kArrowWidth - row, arrowTop + row + 1),
                         arrowColour);

    const CRect edge(arrowArea.left - 2, content.top + kInset, arrowArea.left, content.bottom - kInset);
    DrawEdge(dc, edge, EDGE_ETCHED, BF_LEFT, colours);
    if (!enabled)
        return;
    const CRect swatch(content.left + kInset, content.top + kInset, edge.left - kInset, content.bottom - kInset);
    if (swatch.IsRectEmpty())
        return;
    dc.FillSolidRect(swatch, (colour == kDefaultColorValue ? defaultColour : colour) & 0xFFFFFF);
    FrameRect(dc, swatch, RGB(128, 128, 128));
}

CPoint PlacePopupBelow(const CRect& button, CSize size, const CRect& screen)
{
    CPoint at(button.left, button.bottom);
    if (at.x + size.cx > screen.right)
        at.x = screen.right - size.cx;
    if (at.x < screen.left)
        at.x = screen.left;
    if (at.y + size.cy > screen.bottom)
        at.y = button.top - size.cy;
    return at;
}
