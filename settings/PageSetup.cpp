#include "settings/PageSetup.h"

#include "platform/DC.h"
#include "platform/Font.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// An A4 sheet in hundredths of a millimetre.
constexpr int kA4Width = 21000;
constexpr int kA4Height = 29700;

CRect MarginRect(const CPageMargins& m)
{
    return CRect(m.left * 100, m.top * 100, m.right * 100, m.bottom * 100);
}

// The font with its height in tenths of a point made a character height
// in the context's logical units.
CFont PointFontFor(const LOGFONT& font, const CDC& dc)
{
    CSize size(0, MulDiv(dc.GetDeviceCaps(LOGPIXELSY), std::abs(font.lfHeight), 720));
    dc.DPtoLP(&size);
    LOGFONT made = font;
    made.lfHeight = -std::abs(size.cy);
    made.lfWidth = 0;
    return CFont(made);
}

LOGFONT InMils(const LOGFONT& font)
{
    LOGFONT mils = font;
    mils.lfHeight = TenthsToMils(font.lfHeight);
    mils.lfWidth = TenthsToMils(font.lfWidth);
    return mils;
}

} // namespace

LOGFONT PageFont(const char* face, int tenths)
{
    LOGFONT font;
    font.lfHeight = tenths;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = BALTIC_CHARSET;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

int TenthsToMils(int tenths)
{
    return MulDiv(tenths, 1000, 720);
}

LOGFONT FontInPoints(const LOGFONT& font)
{
    LOGFONT shown = font;
    shown.lfHeight = -((std::abs(font.lfHeight) + 5) / 10);
    return shown;
}

LOGFONT FontInTenths(const LOGFONT& before, const LOGFONT& chosen)
{
    LOGFONT font = chosen;
    const bool samePoints = chosen.lfHeight == FontInPoints(before).lfHeight;
    font.lfHeight = samePoints ? before.lfHeight : -std::abs(chosen.lfHeight) * 10;
    return font;
}

CPageSetup::CPageSetup()
{
    m_map.titleFont = PageFont("Arial", -100);
    m_map.footerFont = PageFont("Arial", -100);
    m_map.titleBlockFont = PageFont("MS Sans Serif", -80);
    m_map.titleBlockTexts = {"Data: ", "Atliko: ", "Tvirtino: ", "M 1:", "Lapas / Lapai ",
                             "",       "Objektas: ", "Kodas ",   "Dokumentas "};
    m_table.font = PageFont("Arial", -70);
    m_printArea = GetPrintAreaSize(nullptr);
}

CRect CPageSetup::GetMarginRect() const
{
    return MarginRect(m_map.margins);
}

CRect CPageSetup::GetTableMarginRect() const
{
    return MarginRect(m_table.margins);
}

CSize CPageSetup::GetPrintAreaSize(CDC* dc) const
{
    const CRect m = GetMarginRect();
    if (!dc || dc->GetDeviceCaps(TECHNOLOGY) != DT_RASPRINTER || dc->GetDeviceCaps(PHYSICALWIDTH) <= 0 ||
        dc->GetDeviceCaps(PHYSICALHEIGHT) <= 0)
        return CSize(kA4Width - m.left - m.right, kA4Height - m.top - m.bottom);

    const int dpiX = std::max(1, dc->GetDeviceCaps(LOGPIXELSX));
    const int dpiY = std::max(1, dc->GetDeviceCaps(LOGPIXELSY));
    const int physicalWidth = dc->GetDeviceCaps(PHYSICALWIDTH);
    const int physicalHeight = dc->GetDeviceCaps(PHYSICALHEIGHT);
    const int offsetX = dc->GetDeviceCaps(PHYSICALOFFSETX);
    const int offsetY = dc->GetDeviceCaps(PHYSICALOFFSETY);
    const int left = std::max(MulDiv(m.left, dpiX, 2540), offsetX);
    const int top = std::max(MulDiv(m.top, dpiY, 2540), offsetY);
    const int right = std::max(MulDiv(m.right, dpiX, 2540), physicalWidth - dc->GetDeviceCaps(HORZRES) - offsetX);
    const int bottom =
        std::max(MulDiv(m.bottom, dpiY, 2540), physicalHeight - dc->GetDeviceCaps(VERTRES) - offsetY);
    const int width = physicalWidth - left - right;
    int height = physicalHeight - top - bottom;
    const std::pair<const std::string*, const LOGFONT*> captions[] = {{&m_map.title, &m_map.titleFont},
                                                                       {&m_map.footer, &m_map.footerFont}};
    for (const auto& [text, font] : captions) {
        if (text->empty())
            continue;
        const CFont before = dc->SelectObject(PointFontFor(*font, *dc));
        TEXTMETRIC metrics;
        const int h = dc->GetTextMetrics(&metrics) ? metrics.tmHeight : 0;
        dc->SelectObject(before);
        height -= h + h / 4;
    }
    return CSize(MulDiv(width, 2540, dpiX), MulDiv(height, 2540, dpiY));
}

CPageSetupValues CPageSetup::GetValues() const
{
    CPageSetupValues values;
    values.margins = GetMarginRect();
    values.pageWidth = m_printArea.cx;
    values.pageHeight = m_printArea.cy;
    values.title = m_map.title;
    values.titleFont = InMils(m_map.titleFont);
    values.footer = m_map.footer;
    values.footerFont = InMils(m_map.footerFont);
    values.scaleMode = m_map.scaleMode;
    values.printScale = m_map.scale;
    values.onePageOnly = m_map.onePageOnly;
    values.frame = m_map.frame;
    values.titleBlock = m_map.titleBlock;
    values.titleBlockTexts = m_map.titleBlockTexts;
    values.titleBlockFont = InMils(m_map.titleBlockFont);
    values.showPageOutline = m_map.showPageOutline;
    return values;
}

CTablePageSetupValues CPageSetup::GetTableValues() const
{
    CTablePageSetupValues values;
    values.margins = GetTableMarginRect();
    values.font = InMils(m_table.font);
    return values;
}
