#pragma once

#include "platform/Gdi.h"
#include "platform/Rect.h"

#include <algorithm>
#include <array>
#include <string>

// The printed page as the page setup dialog leaves it, read by printing
// and by the page outline drawn over the map. Lengths are hundredths of a
// millimetre; texts code page 1257.
struct CPageSetupValues {
    enum ScaleMode : int { kFitExtent = 0, kCurrentScale = 1, kFixedScale = 2, kFillPage = 3 };

    CRect margins;          // left, top, right, bottom
    int pageWidth = 21000;  // printable width
    int pageHeight = 29700; // printable height
    std::string title;
    LOGFONT titleFont;
    std::string footer;
    LOGFONT footerFont;
    int scaleMode = kFitExtent;
    double printScale = 10000; // denominator of kFixedScale
    int onePageOnly = 0;
    int frame = 0;
    int titleBlock = 0;
    std::array<std::string, 9> titleBlockTexts;
    LOGFONT titleBlockFont;
    int showPageOutline = 0;
};

// The printed page of an attribute table, in the units of CPageSetupValues.
struct CTablePageSetupValues {
    CRect margins = CRect(1000, 1000, 1000, 1000); // left, top, right, bottom
    LOGFONT font = [] {
        LOGFONT f;
        f.lfHeight = -97; // 7 points
        f.lfWeight = FW_NORMAL;
        f.lfCharSet = BALTIC_CHARSET;
        std::copy_n("Arial", 6, f.lfFaceName);
        return f;
    }();
};

// Where the page setup comes from: the page setup dialogs of the settings
// part. Until they are installed the defaults above hold, the outline off,
// and the table's page cannot be set up.
class IPageSetup {
public:
    virtual ~IPageSetup() = default;
    virtual CPageSetupValues GetValues() const { return {}; }
    virtual CTablePageSetupValues GetTableValues() const { return {}; }
    // The table page setup dialog (30729), modal over the active window;
    // true after OK.
    virtual bool EditTableSetup() const { return false; }
    virtual bool CanEditTableSetup() const { return false; }
};

const IPageSetup& PageSetup();
// Null restores the default; the caller keeps ownership.
void SetPageSetup(const IPageSetup* setup);
