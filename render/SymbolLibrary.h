#pragma once

#include "platform/Brush.h"
#include "platform/Font.h"
#include "platform/Gdi.h"
#include "platform/Icon.h"
#include "platform/Pen.h"
#include "platform/Size.h"

#include <set>
#include <string>
#include <vector>

class CDC;
struct CPointStyle;

// The one source of point symbols: drawn shapes, icons of the icon library
// (IconLibrary.h), the user's icon files in the folder "Symbols" beside the
// program (the user folder's first), characters of symbol fonts, and
// pictures through the symbol picture cache.
//
// Symbol numbers: 0..23 and 25..29 drawn shapes; 24 and 30..0x7FFF icons
// of the icon library by index; 0x8000 + n the icon file named n.ico,
// n from 1 to 10000. Drawing calls return 1 when they drew, 0 for nothing.
class CSymbolLibrary {
public:
    static constexpr int kIconCacheSize = 30;
    static constexpr int kIconFileSymbol = 0x8000;
    static constexpr int kMaxIconFileNumber = 10000;
    // Drawn shapes and icons are this many device pixels wide, in logical
    // units at least kMinPrintUnit on devices other than the screen.
    static constexpr int kUnitPixels = 32;
    static constexpr int kMinPrintUnit = 333;

    CSymbolLibrary();
    virtual ~CSymbolLibrary();
    CSymbolLibrary(const CSymbolLibrary&) = delete;
    CSymbolLibrary& operator=(const CSymbolLibrary&) = delete;

    // By the style's kind: a library symbol, a font character, a picture;
    // scale is the current scale denominator (0: sizes as set).
    int DrawPointStyle(CDC& dc, int x, int y, const CPointStyle& style, int scale);
    // The symbol centred on the logical point.
    int DrawSymbol(CDC& dc, int x, int y, int symbol);
    // The style's character in its font, centred on the point and turned by
    // its angle, with shadow and halo as its options say.
    int DrawFontSymbol(CDC& dc, int x, int y, const CPointStyle& style, int scale);

    // The symbol list: the library's icon indexes (which take in the drawn
    // shapes' numbers), then the icon files as last scanned.
    int GetSymbolCount();
    int GetSymbolId(int index);
    // Lists the icon files once; later calls return the count at once.
    int ScanIconFiles();
    // The icon of a symbol, loaded on demand; empty when there is none.
    CIcon GetIcon(int symbol);
    // Forgets the icon files, so a changed folder is scanned again.
    void FreeIcons();
    // Everything back to before the first use.
    void Release();

    // The unit of drawn shapes and icons in the context's logical units.
    static CSize GetSymbolUnit(const CDC& dc);
    // The font the last font symbol was drawn with.
    const CFont& GetSymbolFont() const { return m_font; }

private:
    struct IconFile {
        int symbol = 0;
        std::string fileName;
        CIcon icon;
        bool tried = false;
    };
    struct CachedIcon {
        CIcon icon;
        int symbol = 0;
        int useCount = 0;
    };

    // The black pens of the drawn shapes for a unit.
    struct ShapePens {
        int unit = -1;
        CPen outline, cross, diamond, spokes;
    };

    void Initialise();
    const ShapePens& PensFor(int unit);
    bool DrawShape(CDC& dc, int x, int y, int symbol);
    CIcon GetLibraryIcon(int symbol);
    // False, reporting a face once, when the face is not installed.
    bool HasFace(const std::string& face);

    bool m_initialised = false;
    std::string m_symbolsFolder;
    CBrush m_brushes[4];
    ShapePens m_pens;
    int m_libraryIconCount = 0;

    bool m_iconFilesScanned = false;
    std::vector<IconFile> m_iconFiles; // sorted by symbol number

    std::vector<CachedIcon> m_iconCache;
    int m_lastSymbol = -1;
    int m_lastEntry = 0;

    LOGFONT m_logFont;
    CFont m_font;
    std::set<std::string> m_missingFaces; // upper case, reported
};

// The program's library.
CSymbolLibrary& SymbolLibrary();
