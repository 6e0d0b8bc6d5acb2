#pragma once

#include "platform/Rect.h"
#include "platform/Size.h"

#include <cstdint>
#include <string>
#include <vector>

class CDC;
class CxStream;

// A Windows metafile (with its placeable header) or an enhanced metafile,
// read and checked, with its sizes. The platform's metafile player draws
// it unless another player is installed (SetMetafilePlayer).
class CMetafilePicture {
public:
    enum Kind { kNone, kWindows, kEnhanced };

    // The key of the placeable header and the largest metafile read.
    static constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
    static constexpr std::int64_t kMaxBytes = 256000000;
    // The screen the Windows metafile's extents are worked out for.
    static constexpr int kScreenDpi = 96;

    // Reads the file (stored-form path); false, and nothing held, when it
    // is neither a placeable Windows metafile nor an enhanced metafile.
    bool Load(const std::string& path);
    bool Load(CxStream& stream);
    void Clear();

    Kind GetKind() const { return m_kind; }
    // Windows metafiles: the records from their 18-byte header on.
    // Enhanced metafiles: the whole metafile, header record first.
    const std::vector<std::uint8_t>& GetBytes() const { return m_bytes; }
    // The picture in 96-dpi pixels.
    CSize GetSize() const { return m_size; }
    // The metafile's own width and height: the bounding box in its units
    // (Windows), the header's bounds (enhanced).
    CSize GetMetafileSize() const { return m_metafileSize; }

    // Windows metafiles: what the conversion to an enhanced metafile takes,
    // the placeable header's box and units, and the extents of the
    // MM_ANISOTROPIC picture at the screen's resolution.
    const CRect& GetBoundingBox() const { return m_box; }
    int GetUnitsPerInch() const { return m_unitsPerInch; }
    CSize GetPictureExtents() const { return m_extents; }
    // Enhanced metafiles: the header's bounds (inclusive, device units) and
    // its frame (hundredths of a millimetre).
    const CRect& GetBounds() const { return m_bounds; }
    const CRect& GetFrame() const { return m_frame; }

    // Plays the metafile into the rectangle (logical units); false when
    // nothing was drawn.
    bool Draw(CDC& dc, const CRect& rect) const;

private:
    bool LoadPlaceable(CxStream& stream, std::int64_t start, std::int64_t size);
    bool LoadEnhanced(CxStream& stream, std::int64_t start, std::int64_t size);

    Kind m_kind = kNone;
    std::vector<std::uint8_t> m_bytes;
    CSize m_size;
    CSize m_metafileSize;
    CRect m_box;
    int m_unitsPerInch = 0;
    CSize m_extents;
    CRect m_bounds;
    CRect m_frame;
};

// Extents of the picture of a placeable metafile at dpi x dpi, as the
// conversion to an enhanced metafile is given them: the box at the
// screen's resolution, raised tenfold while both stay small.
CSize PlaceableMetafileExtents(int boxWidth, int boxHeight, int unitsPerInch, int dpiX, int dpiY);

// Plays a metafile's records into a rectangle of the context (logical
// units); true when something was drawn.
using MetafilePlayer = bool (*)(CDC& dc, const CMetafilePicture& metafile, const CRect& rect);
// Installs the player; null puts the platform's player back.
void SetMetafilePlayer(MetafilePlayer player);
