#pragma once

#include "render/GeoRaster.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CxStream;
struct tiff;
struct _TIFFRGBAImage;

// A TIFF read strip by strip, or tile by tile, never decoded whole: the
// rows a drawing shows are read in bands of a strip's (or a tile's) rows
// through libtiff's RGBA reader and painted one row at a time.
class CTiffStripRaster : public CGeoRaster {
public:
    CTiffStripRaster();
    ~CTiffStripRaster() override;

    // Message 1124 with the name when a strip or tile is larger than a
    // picture may be (CXIMAGE_MAX_MEMORY): the library reads them whole.
    bool Open(const std::string& fileName) override;
    // A TIFF on a stream of the caller's, who keeps it; the world file is
    // looked for beside fileName (none when it is empty).
    bool Open(CxStream& stream, const std::string& fileName);
    void Close() override;
    bool IsOpen() const override { return m_tif != nullptr; }
    // Every 8 rows the drawing asks CheckDrawInterrupt and stops when told.
    // Message 1005 when memory is short, 1028 when a band cannot be read.
    bool Draw(CDC& dc, const CRect& dest, const CRect& source, CDC* second) override;

    bool IsTiled() const { return m_tiled; }
    // Rows read together: a strip's or a tile's, fewer when that would
    // take more memory than a band may.
    int GetBandRows() const { return m_bandRows; }
    // Bands read from the file since it was opened.
    int GetBandsRead() const { return m_bandsRead; }

private:
    bool OpenTiff(const std::string& fileName);
    // The pixels of the row's columns left .. left + width - 1 (ABGR words);
    // null, with the message shown, when its band cannot be had.
    const std::uint32_t* Row(_TIFFRGBAImage& image, int row, int left, int width);

    std::unique_ptr<CxStream> m_ownStream;
    CxStream* m_stream = nullptr;
    tiff* m_tif = nullptr;
    bool m_tiled = false;
    // The first stored row is the picture's bottom one.
    bool m_bottomUp = false;
    std::uint16_t m_bitsPerSample = 0;
    std::uint16_t m_photometric = 0;
    std::uint32_t m_rowsPerStrip = 0;
    // Rows of a strip or tile, at most the picture's; a band's, at most those.
    int m_stripRows = 0;
    int m_bandRows = 0;
    // ABGR words of the band held, its bottom row first, of the columns
    // from m_bandLeft on.
    std::vector<std::uint32_t> m_band;
    int m_bandStart = -1; // first stored row of the band held; -1 for none
    int m_bandCount = 0;
    int m_bandLeft = 0;
    int m_bandWidth = 0;
    int m_bandsRead = 0;
};
