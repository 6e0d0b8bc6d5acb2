#pragma once

#include "platform/Gdi.h"
#include "platform/Icon.h"
#include "platform/Rect.h"
#include "platform/Size.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CDC;
class CMetafilePicture;
class CxImage;
struct CPointStyle;

// Picture types by file extension: 1..5 raster images, 6 and 7 metafiles,
// from 8 pictures of their own kind (9, icons); 0 is no picture.
enum : int {
    PICTURE_NONE = 0,
    PICTURE_BMP = 1,
    PICTURE_GIF = 2,
    PICTURE_JPEG = 3,
    PICTURE_PNG = 4,
    PICTURE_TIFF = 5,
    PICTURE_METAFILE = 7,
    PICTURE_ICON = 9,
};

// The picture type of a file name's extension (any letter case), and the
// image format id its raster images are decoded with (0 for the others).
int GetPictureType(std::string_view fileName, int* imageFormat = nullptr);

// Where a picture file named in a map or style is opened: names neither
// rooted nor on a drive lie beside the program (the user folder first).
std::string PicturePathToOpen(const std::string& name);

// One picture file of any supported kind, decoded, drawn whole, in part or
// as a point symbol. Pictures live in a picture cache, which never evicts
// one while it is locked.
class CPicture {
public:
    enum Kind { kEmpty = 0, kRaster = 1, kIcon = 2, kMetafile = 3 };
    // Bytes a raster picture takes beside its pixels.
    static constexpr std::size_t kRasterOverhead = 424;

    CPicture();
    ~CPicture();
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    // 1 when loaded. A relative name is looked up beside the program (the
    // user folder first); a name without a picture extension never loads.
    int Load(const std::string& fileName);
    // The last Load failed for the picture's size (CXIMAGE_MAX_MEMORY).
    bool WasTooLarge() const { return m_tooLarge; }
    void Release();

    Kind GetKind() const { return m_kind; }
    int GetPictureType() const { return m_type; }
    const std::string& GetFileName() const { return m_fileName; }
    // The picture in 96-dpi pixels.
    CSize GetSize() const;
    // Raster pictures: their pixel storage and the overhead; 0 for the others.
    std::size_t GetMemorySize() const;
    // BMP and TIFF pictures, and raster pictures without a transparent index.
    bool IsOpaque() const;

    const CxImage* GetImage() const { return m_image.get(); }
    CxImage* GetImage() { return m_image.get(); }
    const CMetafilePicture* GetMetafile() const { return m_metafile.get(); }

    // Holders that keep a picture across calls lock it while they hold it.
    void Lock() { ++m_lockCount; }
    void Unlock()
    {
        if (m_lockCount > 0)
            --m_lockCount;
    }
    int GetLockCount() const { return m_lockCount; }

    // The whole picture stretched to the rectangle (logical units); 1 when drawn.
    int Draw(CDC& dc, const CRect& rect);
    // Raster pictures: the source rectangle of stored rows (x from the
    // left, y from the bottom row, right and bottom inclusive) into the
    // destination with the raster operation (SRCCOPY, or SRCAND to draw
    // as a mask); 0 for the other kinds.
    int DrawPart(CDC& dc, const CRect& dest, const CRect& source, std::uint32_t rop = SRCCOPY);
    // As a point symbol: the style's anchor pixel on (x, y), at a scale
    // denominator (0: sizes as set). 1 when drawn.
    int DrawSymbol(CDC& dc, int x, int y, const CPointStyle& style, int scale);

private:
    int DrawRaster(CDC& dc, const CRect& rect, bool masked);

    int m_lockCount = 0;
    Kind m_kind = kEmpty;
    bool m_tooLarge = false;
    int m_type = PICTURE_NONE;
    std::string m_fileName;
    std::unique_ptr<CxImage> m_image;
    CIcon m_icon;
    std::unique_ptr<CMetafilePicture> m_metafile;
};

// Printers and metafiles get pictures drawn through a mask.
bool IsPrinterOrMetafile(const CDC& dc);

// A picture point symbol through the symbol picture cache; 0 when nothing was drawn.
int DrawPictureSymbol(CDC& dc, int x, int y, const CPointStyle& style, int scale);
