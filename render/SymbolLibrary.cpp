#include "render/SymbolLibrary.h"

#include "core/DeviceGeometry.h"
#include "core/FileUtil.h"
#include "layers/PointStyle.h"
#include "platform/AppFolders.h"
#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/UserServices.h"
#include "render/IconLibrary.h"
#include "render/LabelPainter.h"
#include "render/Picture.h"
#include "render/SavedDC.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// "The symbol font %1 is not installed: its symbols are not drawn."
constexpr int kFontNotInstalled = 61920;

const COLORREF kBrushColours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 0, 255), RGB(0, 255, 255)};

bool IsDrawnShape(int symbol)
{
    return (symbol >= 0 && symbol < 24) || (symbol >= 25 && symbol <= 29);
}

// The size k of each drawn shape, in 32nds of the unit.
int ShapeSize(int symbol)
{
    if (symbol < 4 || (symbol >= 8 && symbol < 12))
        return 7;
    if (symbol < 8 || (symbol >= 16 && symbol < 20))
        return 10;
    if (symbol < 16)
        return 15;
    if (symbol < 24)
        return 5;
    switch (symbol) {
    case 25: return 8;
    case 26: return 12;
    case 27: return 3;
    default: return 4;
    }
}

CPen BlackPen(int width)
{
    return CPen(PS_SOLID, width, RGB(0, 0, 0));
}

std::string UpperFace(const std::string& face)
{
    std::string upper = face;
    for (char& c : upper)
        c = static_cast<char>(Cp1257ToUpper(static_cast<unsigned char>(c)));
    return upper;
}

} // namespace

CSymbolLibrary::CSymbolLibrary() = default;

CSymbolLibrary::~CSymbolLibrary()
{
    Release();
}

CSymbolLibrary& SymbolLibrary()
{
    static CSymbolLibrary library;
    return library;
}

void CSymbolLibrary::Initialise()
{
    if (m_initialised)
        return;
    m_initialised = true;
    m_symbolsFolder = FindProgramFile("Symbols/");
    for (int i = 0; i < 4; ++i)
        m_brushes[i].CreateSolidBrush(kBrushColours[i]);
    // Indexes from 0x8000 on name icon files.
    m_libraryIconCount = std::clamp(IconLibrary().GetIconCount(), 0, kIconFileSymbol);
    m_iconCache.clear();
    m_iconCache.reserve(kIconCacheSize);
}

void CSymbolLibrary::Release()
{
    FreeIcons();
    for (CBrush& brush : m_brushes)
        brush.DeleteObject();
    m_pens = ShapePens();
    m_iconCache.clear();
    m_lastSymbol = -1;
    m_lastEntry = 0;
    m_libraryIconCount = 0;
    m_font.DeleteObject();
    m_logFont = LOGFONT();
    m_missingFaces.clear();
    m_initialised = false;
}

void CSymbolLibrary::FreeIcons()
{
    m_iconFiles.clear();
    m_iconFilesScanned = false;
}

int CSymbolLibrary::ScanIconFiles()
{
    Initialise();
    if (m_iconFilesScanned)
        return static_cast<int>(m_iconFiles.size());
    m_iconFilesScanned = true;
    for (const std::string& name : FindMatchingFiles(m_symbolsFolder + "*.ico")) {
        const int n = IconFileNumber(name);
        if (n >= 1 && n <= kMaxIconFileNumber)
            m_iconFiles.push_back({kIconFileSymbol | n, name, CIcon(), false});
    }
    // Two files of one number are both listed, in name order.
    std::sort(m_iconFiles.begin(), m_iconFiles.end(), [](const IconFile& a, const IconFile& b) {
        return a.symbol != b.symbol ? a.symbol < b.symbol : a.fileName < b.fileName;
    });
    return static_cast<int>(m_iconFiles.size());
}

int CSymbolLibrary::GetSymbolCount()
{
    Initialise();
    return m_libraryIconCount + static_cast<int>(m_iconFiles.size());
}

int CSymbolLibrary::GetSymbolId(int index)
{
    Initialise();
    if (index < 0)
        return -1;
    if (index < m_libraryIconCount)
        return index;
    const std::size_t file = static_cast<std::size_t>(index - m_libraryIconCount);
    return file < m_iconFiles.size() ? m_iconFiles[file].symbol : -1;
}

CIcon CSymbolLibrary::GetIcon(int symbol)
{
    Initialise();
    if (symbol < 0)
        return CIcon();
    if (!(symbol & kIconFileSymbol))
        return GetLibraryIcon(symbol);
    ScanIconFiles();
    auto entry = std::lower_bound(m_iconFiles.begin(), m_iconFiles.end(), symbol,
                                  [](const IconFile& f, int s) { return f.symbol < s; });
    if (entry == m_iconFiles.end() || entry->symbol != symbol)
        return CIcon();
    // The file is the one listed, so "0042.ico" serves symbol 42 as "42.ico" would.
    if (!entry->tried) {
        entry->tried = true;
        entry->icon.LoadFile(m_symbolsFolder + entry->fileName);
    }
    return entry->icon;
}

CIcon CSymbolLibrary::GetLibraryIcon(int symbol)
{
    if (symbol == m_lastSymbol && m_lastEntry < static_cast<int>(m_iconCache.size())) {
        ++m_iconCache[m_lastEntry].useCount;
        return m_iconCache[m_lastEntry].icon;
    }
    for (std::size_t i = 0; i < m_iconCache.size(); ++i)
        if (m_iconCache[i].symbol == symbol) {
            ++m_iconCache[i].useCount;
            m_lastSymbol = symbol;
            m_lastEntry = static_cast<int>(i);
            return m_iconCache[i].icon;
        }
    CIcon icon;
    if (symbol >= m_libraryIconCount || !IconLibrary().ExtractIcon(symbol, icon))
        return CIcon();
    int entry;
    if (static_cast<int>(m_iconCache.size()) < kIconCacheSize) {
        entry = static_cast<int>(m_iconCache.size());
        m_iconCache.emplace_back();
    } else {
        // The least used, never the one drawn last; the first of equals.
        entry = -1;
        for (int i = 0; i < kIconCacheSize; ++i)
            if (i != m_lastEntry && (entry < 0 || m_iconCache[i].useCount < m_iconCache[entry].useCount))
                entry = i;
    }
    m_iconCache[entry] = {icon, symbol, 1};
    m_lastSymbol = symbol;
    m_lastEntry = entry;
    return icon;
}

CSize CSymbolLibrary::GetSymbolUnit(const CDC& dc)
{
    CSize unit(kUnitPixels, kUnitPixels);
    dc.DPtoLP(&unit);
    if (dc.GetMapMode() != MM_TEXT && unit.cx < 200)
        unit = CSize(kMinPrintUnit, kMinPrintUnit);
    return unit;
}

int CSymbolLibrary::DrawPointStyle(CDC& dc, int x, int y, const CPointStyle& style, int scale)
{
    switch (style.kind) {
    case CPointStyle::kLibrary: return DrawSymbol(dc, x, y, style.symbol);
    case CPointStyle::kFontCharacter: return DrawFontSymbol(dc, x, y, style, scale);
    case CPointStyle::kPicture: return DrawPictureSymbol(dc, x, y, style, scale);
    default: return 0;
    }
}

int CSymbolLibrary::DrawSymbol(CDC& dc, int x, int y, int symbol)
{
    Initialise();
    if (IsDrawnShape(symbol))
        return DrawShape(dc, x, y, symbol) ? 1 : 0;
    const CIcon icon = GetIcon(symbol);
    if (!icon.GetSafeHandle())
        return 0;
    const CSize unit = GetSymbolUnit(dc);
    return dc.DrawIconEx(x - unit.cx / 2, y - unit.cy / 2, icon, unit.cx, unit.cy) ? 1 : 0;
}

const CSymbolLibrary::ShapePens& CSymbolLibrary::PensFor(int unit)
{
    if (m_pens.unit != unit) {
        m_pens.unit = unit;
        m_pens.outline = BlackPen(unit / 48);
        m_pens.cross = BlackPen(unit / 22);
        m_pens.diamond = BlackPen(unit / 23);
        m_pens.spokes = BlackPen(unit / 44);
    }
    return m_pens;
}

bool CSymbolLibrary::DrawShape(CDC& dc, int x, int y, int symbol)
{
    const CSize unit = GetSymbolUnit(dc);
    const int k = ShapeSize(symbol);
    // Centred in device pixels, so every shape of a size covers the same pixels.
    CPoint centre(x, y);
    CSize size(k * unit.cx / 32, k * unit.cy / 32);
    dc.LPtoDP(&centre);
    dc.LPtoDP(&size);
    CRect r(centre.x - size.cx / 2, centre.y - size.cy / 2, centre.x - size.cx / 2 + size.cx,
            centre.y - size.cy / 2 + size.cy);
    dc.DPtoLP(&r);
    const CPoint middle((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const CPoint corners[4] = {r.TopLeft(), {r.right, r.top}, r.BottomRight(), {r.left, r.bottom}};

    const ShapePens& pens = PensFor(unit.cx);
    CSavedDC saved(dc);
    dc.SelectObject(pens.outline);
    dc.SelectObject(symbol < 24 ? m_brushes[symbol % 4] : CBrush::FromStock(WHITE_BRUSH));
    bool drawn = true;
    switch (symbol) {
    case 25:
        dc.SelectObject(pens.cross);
        for (const CPoint& corner : corners) {
            dc.MoveTo(middle);
            dc.LineTo(corner);
        }
        break;
    case 26: {
        const CPoint diamond[4] = {{middle.x, r.top}, {r.right, middle.y}, {middle.x, r.bottom}, {r.left, middle.y}};
        dc.SelectObject(pens.diamond);
        drawn = dc.Polygon(diamond, 4);
        dc.SelectObject(pens.spokes);
        for (const CPoint& corner : corners) {
            dc.MoveTo(middle);
            dc.LineTo(middle.x + (corner.x - middle.x) / 2, middle.y + (corner.y - middle.y) / 2);
        }
        break;
    }
    case 27:
    case 28:
        dc.SelectObject(CBrush::FromStock(BLACK_BRUSH));
        dc.SelectObject(CPen::FromStock(BLACK_PEN));
        drawn = dc.Ellipse(r);
        break;
    case 29: drawn = dc.Rectangle(r); break;
    default:
        if (symbol < 4) {
            drawn = dc.Rectangle(r);
        } else if (symbol < 8) {
            const CPoint triangle[3] = {{middle.x, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
            drawn = dc.Polygon(triangle, 3);
        } else {
            drawn = dc.Ellipse(r);
        }
        break;
    }
    return drawn;
}

bool CSymbolLibrary::HasFace(const std::string& face)
{
    const std::string upper = UpperFace(face);
    if (m_missingFaces.count(upper))
        return false;
    if (CFont::IsFaceInstalled(face))
        return true;
    m_missingFaces.insert(upper);
    AppMessageBoxArg(kFontNotInstalled, face, MB_OK | MB_ICONWARNING);
    return false;
}

int CSymbolLibrary::DrawFontSymbol(CDC& dc, int x, int y, const CPointStyle& style, int scale)
{
    Initialise();
    if (style.symbol < 32 || style.symbol > 255)
        return 0;
    const std::string face = style.GetName();
    if (face.empty())
        return 0;
    int height = style.size;
    if ((style.options & CPointStyle::kScalesWithMap) && scale != 0)
        height = MulDiv(height, style.referenceScale, scale);
    height = MulDiv(dc.GetMapMode() == MM_TEXT ? dc.GetDeviceCaps(LOGPIXELSY) : 1000, height, 720);
    if (height == 0)
        return 0;

    LOGFONT logFont;
    logFont.lfHeight = height;
    logFont.lfEscapement = logFont.lfOrientation = style.angle;
    logFont.lfWeight = (style.options & CPointStyle::kBold) ? FW_BOLD : FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfQuality = ANTIALIASED_QUALITY;
    std::strncpy(logFont.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    if (!m_font.GetSafeHandle() || std::memcmp(&logFont, &m_logFont, sizeof logFont) != 0) {
        // A face that is not there would draw its codes as letters of another.
        if (!HasFace(face))
            return 0;
        m_font.CreateFontIndirect(logFont);
        m_logFont = logFont;
    }

    CSavedDC saved(dc);
    dc.SelectObject(m_font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    const std::string text(1, static_cast<char>(style.symbol));
    const CSize extent = dc.GetTextExtent(text);
    CPoint corner = RotatePoint(CPoint(x, y), CPoint(x - extent.cx / 2, y - extent.cy / 2), style.angle);

    const bool shadow = (style.options & CPointStyle::kShadow) != 0;
    const bool halo = (style.options & (CPointStyle::kWhiteHalo | CPointStyle::kBlackHalo)) != 0;
    if (shadow || halo) {
        const int s = style.size;
        int h = s <= 80 ? height / s / 10 : s <= 160 ? height / s / 20 : height / 40;
        CSize pixel(1, 1);
        dc.DPtoLP(&pixel);
        const int hx = std::max(h, std::abs(pixel.cx));
        const int hy = std::max(h, std::abs(pixel.cy));
        dc.LPtoDP(&corner);
        dc.DPtoLP(&corner);
        if (shadow) {
            const int k = halo ? 2 : 1;
            const COLORREF before = dc.SetTextColor(RGB(128, 128, 128));
            dc.TextOut(corner.x + k * hx, corner.y + k * hy, text);
            dc.SetTextColor(before);
        }
        if (halo) {
            const COLORREF colour = (style.options & CPointStyle::kWhiteHalo) ? RGB(255, 255, 255) : RGB(0, 0, 0);
            DrawTextAround(dc, corner.x, corner.y, text, colour, hx, hy);
        }
    }
    dc.SetTextColor(style.color & 0xFFFFFF);
    dc.TextOut(corner.x, corner.y, text);
    return 1;
}
