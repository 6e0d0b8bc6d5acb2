#pragma once

#include "platform/Gdi.h"
#include "platform/Rect.h"

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

// Where the page setup comes from: the page setup dialog of the settings
// part. Until it is installed the defaults above hold, the outline off.
class IPageSetup {
public:
    virtual ~IPageSetup() = default;
    virtual CPageSetupValues GetValues() const { return {}; }
};

const IPageSetup& PageSetup();
// Null restores the default; the caller keeps ownership.
void SetPageSetup(const IPageSetup* setup);
