#pragma once

#include "platform/MetafileBytes.h"
#include "platform/MetafileRecorder.h"

#include <cstdint>
#include <vector>

// Writes the calls of a recording context as enhanced-metafile records.
// Coordinates stay the context's logical ones, with its mapping written
// as mapping records, so the picture is exact at any size it is played
// at; regions are in the reference device's pixels, as the format has
// them. Text goes as UTF-16.
class CEmfRecorder : public CMetafileRecorder {
public:
    // frame: the picture's rectangle in hundredths of a millimetre;
    // device: the reference device's size in pixels and in micrometres.
    CEmfRecorder(const CDC& dc, const CRect& frame, CSize devicePixels, CSize deviceMicrometres);

    // The whole file; recording ends.
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
    void EmitMiterLimit(float limit) override;
    void EmitBrushOrg(CPoint origin) override;
    void EmitMapMode(int mode) override;
    void EmitWindowExt(CSize extent) override;
    void EmitViewportExt(CSize extent) override;
    void EmitWindowOrg(CPoint origin) override;
    void EmitViewportOrg(CPoint origin) override;
    void EmitSaveDC() override;
    void EmitRestoreDC(int relative) override;

private:
    std::size_t Begin(std::uint32_t type);
    void End(std::size_t start);
    void Record(std::uint32_t type, std::initializer_list<std::int32_t> values);
    void RectL(const CRect& r);
    // Inclusive device bounds of logical points; they widen the picture's bounds.
    CRect Bounds(const CPoint* points, std::size_t count);
    void WritePoly(const CPoint* points, const int* counts, int parts, bool closed);
    // A blit without source, with the selected brush.
    void WriteBitBlt(const CRect& rect, std::uint32_t rop);
    // The bounds, corner and extents of a blit's destination; its source's
    // corner at the origin and an identity transform.
    void WriteDestination(const CRect& rect);
    void WriteSource();

    CRecordBytes m_out;
    std::uint32_t m_records = 0;
    CRect m_bounds;
    bool m_anyBounds = false;
    CPoint m_position;
    bool m_inPath = false;
};
