#include "render/Picture.h"

#include "core/FileUtil.h"
#include "layers/PointStyle.h"
#include "platform/AppFolders.h"
#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/Path.h"
#include "render/MetafilePicture.h"
#include "render/PictureCache.h"
#include "render/XImage.h"

#include <cstdlib>
#include <utility>

namespace {

struct PictureExtension {
    const char* extension;
    int type;
    int format;
};

const PictureExtension kExtensions[] = {
    {"BMP", PICTURE_BMP, CXIMAGE_FORMAT_BMP},  {"GIF", PICTURE_GIF, CXIMAGE_FORMAT_GIF},
    {"JPG", PICTURE_JPEG, CXIMAGE_FORMAT_JPG}, {"JPEG", PICTURE_JPEG, CXIMAGE_FORMAT_JPG},
    {"PNG", PICTURE_PNG, CXIMAGE_FORMAT_PNG},  {"TIF", PICTURE_TIFF, CXIMAGE_FORMAT_TIF},
    {"TIFF", PICTURE_TIFF, CXIMAGE_FORMAT_TIF}, {"EMF", PICTURE_METAFILE, CXIMAGE_FORMAT_UNKNOWN},
    {"WMF", PICTURE_METAFILE, CXIMAGE_FORMAT_UNKNOWN}, {"ICO", PICTURE_ICON, CXIMAGE_FORMAT_UNKNOWN},
};

// Rasters draw with black text and a white background, which is what
// monochrome pictures and masks take their colours from.
class CRasterColours {
public:
    explicit CRasterColours(CDC& dc)
        : m_dc(dc), m_text(dc.SetTextColor(RGB(0, 0, 0))), m_back(dc.SetBkColor(RGB(255, 255, 255)))
    {
    }
    ~CRasterColours()
    {
        m_dc.SetTextColor(m_text);
        m_dc.SetBkColor(m_back);
    }
    CRasterColours(const CRasterColours&) = delete;
    CRasterColours& operator=(const CRasterColours&) = delete;

private:
    CDC& m_dc;
    COLORREF m_text;
    COLORREF m_back;
};

// A length in 96-dpi pixels as logical units of the context.
CSize ToContext(const CDC& dc, CSize pixels)
{
    if (dc.GetMapMode() == MM_TEXT) {
        CSize size(MulDiv(pixels.cx, dc.GetDeviceCaps(LOGPIXELSX), 96),
                   MulDiv(pixels.cy, dc.GetDeviceCaps(LOGPIXELSY), 96));
        dc.DPtoLP(&size);
        return size;
    }
    return CSize(MulDiv(pixels.cx, 1000, 96), MulDiv(pixels.cy, 1000, 96));
}

// The picture's top-left corner with the anchor on (x, y), and its size.
CRect SymbolRect(const CDC& dc, int x, int y, CSize size, CSize anchor)
{
    const CSize s = ToContext(dc, size);
    const CSize a = ToContext(dc, anchor);
    return CRect(CPoint(x - a.cx, y - a.cy), s);
}

} // namespace

int GetPictureType(std::string_view fileName, int* imageFormat)
{
    const std::string extension = GetPathExtension(fileName);
    for (const PictureExtension& row : kExtensions)
        if (!extension.empty() && EqualsNoCase1257(extension, row.extension)) {
            if (imageFormat)
                *imageFormat = row.format;
            return row.type;
        }
    if (imageFormat)
        *imageFormat = CXIMAGE_FORMAT_UNKNOWN;
    return PICTURE_NONE;
}

std::string PicturePathToOpen(const std::string& name)
{
    if (name.size() < 3 || (!IsPathSeparator(name[0]) && name[1] != ':'))
        return FindProgramFile(name);
    return name;
}

bool IsPrinterOrMetafile(const CDC& dc)
{
    const int technology = dc.GetDeviceCaps(TECHNOLOGY);
    return dc.IsPrinting() || technology == DT_RASPRINTER || technology == DT_METAFILE;
}

CPicture::CPicture() = default;
CPicture::~CPicture() = default;

void CPicture::Release()
{
    m_kind = kEmpty;
    m_type = PICTURE_NONE;
    m_image.reset();
    m_icon.DestroyIcon();
    m_metafile.reset();
}

int CPicture::Load(const std::string& fileName)
{
    Release();
    m_fileName = fileName;
    m_tooLarge = false;
    int format = CXIMAGE_FORMAT_UNKNOWN;
    const int type = ::GetPictureType(fileName, &format);
    if (type == PICTURE_NONE)
        return 0;
    const std::string path = PicturePathToOpen(fileName);
    if (type >= 8) {
        if (m_icon.LoadFile(path))
            m_kind = kIcon;
    } else if (type <= PICTURE_TIFF) {
        auto image = std::make_unique<CxImage>(path, format);
        if (image->IsValid()) {
            m_image = std::move(image);
            m_kind = kRaster;
        } else {
            m_tooLarge = image->LastErrorIsTooLarge();
        }
    } else {
        auto metafile = std::make_unique<CMetafilePicture>();
        if (metafile->Load(path)) {
            m_metafile = std::move(metafile);
            m_kind = kMetafile;
        }
    }
    if (m_kind == kEmpty)
        return 0;
    m_type = type;
    return 1;
}

CSize CPicture::GetSize() const
{
    switch (m_kind) {
    case kRaster: return CSize(m_image->GetWidth(), m_image->GetHeight());
    case kIcon: return m_icon.GetSize();
    case kMetafile: return m_metafile->GetSize();
    default: return CSize();
    }
}

std::size_t CPicture::GetMemorySize() const
{
    if (m_kind != kRaster)
        return 0;
    return std::size_t(m_image->GetEffWidth()) * std::size_t(m_image->GetHeight()) + kRasterOverhead;
}

bool CPicture::IsOpaque() const
{
    return m_type == PICTURE_BMP || m_type == PICTURE_TIFF || (m_kind == kRaster && m_image->GetTransIndex() < 0);
}

int CPicture::DrawRaster(CDC& dc, const CRect& rect, bool masked)
{
    CRasterColours colours(dc);
    if (!masked)
        return m_image->Draw(&dc, rect.left, rect.top, rect.Width(), rect.Height());
    // The image's own drawing copies through the mask; a printer keeps its stretch mode.
    const int mode = dc.GetStretchBltMode();
    const int drawn = m_image->Draw(&dc, rect.left, rect.top, rect.Width(), rect.Height());
    dc.SetStretchBltMode(mode);
    return drawn;
}

int CPicture::Draw(CDC& dc, const CRect& rect)
{
    switch (m_kind) {
    case kRaster: return DrawRaster(dc, rect, false);
    case kIcon:
        // A zero extent would draw the icon at its own size.
        return rect.Width() != 0 && rect.Height() != 0 &&
               dc.DrawIconEx(rect.left, rect.top, m_icon, rect.Width(), rect.Height());
    case kMetafile: return m_metafile->Draw(dc, rect) ? 1 : 0;
    default: return 0;
    }
}

int CPicture::DrawPart(CDC& dc, const CRect& dest, const CRect& source, std::uint32_t rop)
{
    if (m_kind != kRaster)
        return 0;
    const int sourceWidth = source.right - source.left + 1;
    const int sourceHeight = source.bottom - source.top + 1;
    if (sourceWidth <= 0 || sourceHeight <= 0 || dest.Width() == 0 || dest.Height() == 0)
        return 0;
    CRasterColours colours(dc);
    CPoint corners[2] = {dest.TopLeft(), dest.BottomRight()};
    dc.LPtoDP(corners, 2);
    const bool shrinking =
        std::abs(corners[1].x - corners[0].x) < sourceWidth || std::abs(corners[1].y - corners[0].y) < sourceHeight;
    const int mode = dc.SetStretchBltMode(shrinking ? HALFTONE : COLORONCOLOR);
    // Halftone stretching wants the brush origin set after it.
    const CPoint origin = dc.GetBrushOrg();
    if (shrinking)
        dc.SetBrushOrg(0, 0);
    const CxImage& image = *m_image;
    const int rows = dc.StretchDIBits(dest.left, dest.top, dest.Width(), dest.Height(), source.left, source.top,
                                      sourceWidth, sourceHeight, DibData::Packed(image.GetDIB(), image.GetSize()),
                                      DIB_RGB_COLORS, rop);
    dc.SetBrushOrg(origin);
    dc.SetStretchBltMode(mode);
    return rows > 0 ? 1 : 0;
}

int CPicture::DrawSymbol(CDC& dc, int x, int y, const CPointStyle& style, int scale)
{
    const CSize anchor(style.anchorX, style.anchorY);
    switch (m_kind) {
    case kRaster: {
        CxImage& image = *m_image;
        const CRect rect = SymbolRect(dc, x, y, GetSize(), anchor);
        const bool keyed = (style.options & CPointStyle::kTransparentColour) != 0;
        const int index = image.GetTransIndex();
        const RGBQUAD colour = image.GetTransColor();
        if (keyed) {
            RGBQUAD key;
            key.rgbRed = static_cast<std::uint8_t>(GetRValue(style.color));
            key.rgbGreen = static_cast<std::uint8_t>(GetGValue(style.color));
            key.rgbBlue = static_cast<std::uint8_t>(GetBValue(style.color));
            if (image.GetPalette()) {
                image.SetTransIndex(image.GetNearestIndex(key));
            } else {
                image.SetTransIndex(0);
                image.SetTransColor(key);
            }
        }
        const int drawn = DrawRaster(dc, rect, IsPrinterOrMetafile(dc));
        if (keyed) {
            image.SetTransIndex(index);
            // Palette pictures take their key from the palette; only 24-bit ones hold a colour.
            if (!image.GetPalette())
                image.SetTransColor(colour);
        }
        return drawn;
    }
    case kIcon: return Draw(dc, SymbolRect(dc, x, y, GetSize(), anchor));
    case kMetafile: {
        CSize size = GetSize();
        CSize at = anchor;
        const auto scaled = [&](int v) {
            v = MulDiv(v, style.size, 10000);
            if ((style.options & CPointStyle::kScalesWithMap) && scale != 0)
                v = MulDiv(v, style.referenceScale, scale);
            return v;
        };
        size = CSize(scaled(size.cx), scaled(size.cy));
        at = CSize(scaled(at.cx), scaled(at.cy));
        if (size.cx == 0 || size.cy == 0)
            return 0;
        return Draw(dc, SymbolRect(dc, x, y, size, at));
    }
    default: return 0;
    }
}

int DrawPictureSymbol(CDC& dc, int x, int y, const CPointStyle& style, int scale)
{
    CPicture* picture = SymbolPictureCache().Get(style.GetName());
    return picture ? picture->DrawSymbol(dc, x, y, style, scale) : 0;
}
