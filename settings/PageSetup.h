#pragma once

#include "mapdoc/PageSetup.h"
#include "platform/Gdi.h"
#include "platform/Rect.h"
#include "platform/Size.h"

#include <array>
#include <string>

class CDC;

constexpr int kMaxMargin = 100; // millimetres
constexpr int kCaptionLength = 80;

// Page margins in millimetres.
struct CPageMargins {
    int left = 10;
    int right = 10;
    int top = 10;
    int bottom = 10;
};

// What the page setup dialog (166) and its title-block dialog (329) edit.
// Font heights are tenths of a point, negative for the character height,
// whatever the device: -100 is 10 points.
struct CMapPageSetup {
    int scaleMode = CPageSetupValues::kFitExtent;
    double scale = 0; // the given scale's denominator, for kFixedScale
    CPageMargins margins;
    std::string title;  // above the map, at most kCaptionLength
    std::string footer; // below it
    LOGFONT titleFont;
    LOGFONT footerFont;
    LOGFONT titleBlockFont;
    int frame = 1;
    int onePageOnly = 0;
    int showPageOutline = 0;
    int titleBlock = 0;
    std::array<std::string, 9> titleBlockTexts;
};

// What the table page setup (30729) edits.
struct CTablePageSetup {
    CPageMargins margins;
    LOGFONT font;
};

// The page setup of the run: made with the defaults at start, kept until
// the program ends, never saved.
class CPageSetup {
public:
    CPageSetup();

    CMapPageSetup& Map() { return m_map; }
    const CMapPageSetup& Map() const { return m_map; }
    CTablePageSetup& Table() { return m_table; }
    const CTablePageSetup& Table() const { return m_table; }

    // The margins in hundredths of a millimetre.
    CRect GetMarginRect() const;
    CRect GetTableMarginRect() const;
    // What the map may take of the page, in hundredths of a millimetre: an
    // A4 sheet less the margins without a printer context; with one, its
    // page less the margins (each at least the strip the printer cannot
    // reach on its side) and the captions' lines.
    CSize GetPrintAreaSize(CDC* dc) const;

    // The print area the page outline in the map windows shows, as the
    // printer refresh left it; an A4 sheet's at first.
    CSize GetPrintArea() const { return m_printArea; }
    void SetPrintArea(CSize area) { m_printArea = area; }

    // For printing: lengths in hundredths of a millimetre, font heights in
    // thousandths of an inch.
    CPageSetupValues GetValues() const;
    CTablePageSetupValues GetTableValues() const;

private:
    CMapPageSetup m_map;
    CTablePageSetup m_table;
    CSize m_printArea;
};

// A font of the face and height (tenths of a point), Baltic characters.
LOGFONT PageFont(const char* face, int tenths);
// A height in tenths of a point in thousandths of an inch.
int TenthsToMils(int tenths);
// The font dialog shows whole points: the font as it shows it, and the
// font chosen there back in tenths, the height kept when its points were
// not changed.
LOGFONT FontInPoints(const LOGFONT& font);
LOGFONT FontInTenths(const LOGFONT& before, const LOGFONT& chosen);
