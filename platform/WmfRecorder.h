#pragma once

#include "platform/MetafileBytes.h"
#include "platform/MetafileRecorder.h"

#include <cstdint>
#include <vector>

// Writes the calls of a recording context as a Windows metafile with a
// placeable header. The format's coordinates are 16-bit and it has no
// paths, so the recorder takes every point through the context's mapping
// into one fixed space: thousandths of an inch from the frame's top left
// corner, made coarser (fewer units an inch) when the frame would not fit
// 16 bits. Paths are kept and written as polygons; fonts carry the Baltic
// character set, text stays code page 1257; pictures with see-through
// pixels are drawn masked (the picture inverted in, its mask and the
// picture again).
class CWmfRecorder : public CMetafileRecorder {
public:
    struct PointD {
        double x = 0;
        double y = 0;
    };

    // frame: thousandths of an inch from the device origin; unitsPerInch
    // from UnitsPerInchFor.
    CWmfRecorder(const CDC& dc, const CRect& frame, int unitsPerInch);

    // 1000, or the coarser unit that fits the frame into 16 bits; 0 for a
    // frame no unit fits or one without area.
    static int UnitsPerInchFor(const CRect& frame);

    // The whole file, placeable header first; recording ends.
    std::vector<std::uint8_t> Finish();

    void IntersectClipRect(const CRect& rect) override;
    void ExcludeClipRect(const CRect& rect) override;
    void SelectClipRgn(const CRgn* deviceRegion, int mode) override;
    void MoveTo(CPoint p) override;
    void LineTo(CPoint p) override;
    void Poly(const CPoint* points, const int* counts, int parts, bool closed) override;
    void Rectangle(const CRect& box) override;
    void Ellipse(const CRect& box) override;
    void FillRect(const CRect& rect, const CBrush& brush) override;
    void SetPixel(CPoint p, COLORREF colour) override;
    void PatBlt(const CRect& rect, std::uint32_t rop) override;
    void Picture(const CRect& rect, const RecordedPicture& picture, std::uint32_t rop) override;
    void Text(CPoint reference, std::string_view text, const std::vector<int>& advances, unsigned align,
              const CRect* clip) override;
    void Path(PathOp op, int mode, const CRgn* deviceRegion) override;

protected:
    ObjectRecord EncodePen(const CPen& pen) override;
    ObjectRecord EncodeBrush(const CBrush& brush, COLORREF text, COLORREF background) override;
    ObjectRecord EncodeFont(const CFont& font) override;
    void EmitCreate(int slot, const ObjectRecord& object) override;
    void EmitSelect(int slot, const ObjectRecord& object) override;
    void EmitDelete(int slot) override;
    void EmitValue(ValueKind kind, std::uint32_t value) override;
    void EmitMiterLimit(float) override {}
    void EmitBrushOrg(CPoint) override {}
    void EmitMapMode(int) override {}
    void EmitWindowExt(CSize) override {}
    void EmitViewportExt(CSize) override {}
    void EmitWindowOrg(CPoint) override {}
    void EmitViewportOrg(CPoint) override {}
    void EmitSaveDC() override;
    void EmitRestoreDC(int relative) override;

private:
    struct Figure {
        std::vector<PointD> points;
        bool closed = false;
    };

    std::size_t Begin(std::uint16_t function);
    void End(std::size_t start);
    void Record(std::uint16_t function, std::initializer_list<std::int32_t> words);
    // A logical point of the context in this file's space, and lengths.
    PointD ToFile(CPoint p) const;
    double ScaleX() const;
    double ScaleY() const;
    static std::int16_t Coord(double v);
    void WriteRectRecord(std::uint16_t function, const CRect& logical);
    // Polylines and polygons cut to the 16-bit range, within the format's counts.
    void WritePolylines(const std::vector<std::vector<PointD>>& lines);
    void WritePolygons(const std::vector<std::vector<PointD>>& rings);
    void WriteStretchDib(const CRect& rect, const std::string& dib, int width, int height, std::uint32_t rop);
    void WriteClipRegion();
    std::vector<PointD> EllipseFigure(const CRect& box) const;

    CRect m_frame;
    int m_unitsPerInch;
    CRecordBytes m_out;
    std::uint32_t m_maxRecordWords = 0;
    PointD m_position;
    bool m_inPath = false;
    std::vector<Figure> m_path;
};
