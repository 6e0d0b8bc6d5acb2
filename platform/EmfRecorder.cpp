#include "platform/EmfRecorder.h"

#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/MetafileParts.h"
#include "platform/MetafileRecords.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

constexpr std::uint32_t kHeaderSize = 108;

// right - left of the calls' rectangles, which may hold any corners.
std::int32_t Span(int from, int to)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t(to) - from, INT_MIN, INT_MAX));
}

bool Fits16(const CPoint* points, std::size_t count)
{
    return std::all_of(points, points + count, [](const CPoint& p) {
        return p.x >= -32768 && p.x <= 32767 && p.y >= -32768 && p.y <= 32767;
    });
}

// A stock object's index when the object is one.
template <class T>
bool StockIndex(const T& object, int first, int last, std::uint32_t& index)
{
    for (int n = first; n <= last; ++n)
        if (object == T::FromStock(n)) {
            index = kEmfStock | static_cast<std::uint32_t>(n);
            return true;
        }
    return false;
}

void Body32(std::string& body, std::uint32_t v)
{
    unsigned char b[4];
    PutLittleEndian(b, v);
    body.append(reinterpret_cast<const char*>(b), 4);
}

} // namespace

CEmfRecorder::CEmfRecorder(const CDC& dc, const CRect& frame, CSize devicePixels, CSize deviceMicrometres)
    : CMetafileRecorder(dc, true)
{
    m_out.U32(EMR_HEADER);
    m_out.U32(kHeaderSize);
    m_out.Zeros(16); // bounds, known at the end
    RectL(frame);
    m_out.U32(kEmfSignature);
    m_out.U32(0x10000);
    m_out.Zeros(4 + 4 + 2); // bytes, records, handles
    m_out.U16(0);
    m_out.U32(0); // no description
    m_out.U32(0);
    m_out.U32(0); // no palette
    m_out.I32(devicePixels.cx);
    m_out.I32(devicePixels.cy);
    m_out.I32((deviceMicrometres.cx + 500) / 1000);
    m_out.I32((deviceMicrometres.cy + 500) / 1000);
    m_out.U32(0); // no pixel format
    m_out.U32(0);
    m_out.U32(0); // no OpenGL
    m_out.I32(deviceMicrometres.cx);
    m_out.I32(deviceMicrometres.cy);
    m_records = 1;
}

std::vector<std::uint8_t> CEmfRecorder::Finish()
{
    const std::size_t eof = Begin(EMR_EOF);
    m_out.U32(0);  // palette entries
    m_out.U32(16); // where they would start
    m_out.U32(20); // this record's size, read backwards
    End(eof);
    const CRect bounds = m_anyBounds ? m_bounds : CRect(0, 0, -1, -1);
    m_out.PatchU32(8, static_cast<std::uint32_t>(bounds.left));
    m_out.PatchU32(12, static_cast<std::uint32_t>(bounds.top));
    m_out.PatchU32(16, static_cast<std::uint32_t>(bounds.right));
    m_out.PatchU32(20, static_cast<std::uint32_t>(bounds.bottom));
    m_out.PatchU32(48, static_cast<std::uint32_t>(m_out.Size()));
    m_out.PatchU32(52, m_records);
    m_out.PatchU16(56, static_cast<std::uint16_t>(std::min(SlotsUsed() + 1, 0xFFFF)));
    return m_out.Take();
}

std::size_t CEmfRecorder::Begin(std::uint32_t type)
{
    const std::size_t start = m_out.Size();
    m_out.U32(type);
    m_out.U32(0);
    return start;
}

void CEmfRecorder::End(std::size_t start)
{
    m_out.Align(4);
    m_out.PatchU32(start + 4, static_cast<std::uint32_t>(m_out.Size() - start));
    ++m_records;
}

void CEmfRecorder::Record(std::uint32_t type, std::initializer_list<std::int32_t> values)
{
    const std::size_t start = Begin(type);
    for (std::int32_t v : values)
        m_out.I32(v);
    End(start);
}

void CEmfRecorder::RectL(const CRect& r)
{
    m_out.I32(r.left);
    m_out.I32(r.top);
    m_out.I32(r.right);
    m_out.I32(r.bottom);
}

CRect CEmfRecorder::Bounds(const CPoint* points, std::size_t count)
{
    CRect box(0, 0, -1, -1);
    for (std::size_t i = 0; i < count; ++i) {
        CPoint p = points[i];
        m_dc.LPtoDP(&p);
        if (i == 0)
            box = CRect(p.x, p.y, p.x, p.y);
        box = CRect(std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
                    std::max(box.bottom, p.y));
    }
    if (count > 0) {
        if (!m_anyBounds)
            m_bounds = box;
        m_bounds = CRect(std::min(m_bounds.left, box.left), std::min(m_bounds.top, box.top),
                         std::max(m_bounds.right, box.right), std::max(m_bounds.bottom, box.bottom));
        m_anyBounds = true;
    }
    return box;
}

// ---- Objects and values --------------------------------------------------

CMetafileRecorder::ObjectRecord CEmfRecorder::EncodePen(const CPen& pen)
{
    ObjectRecord object;
    if (StockIndex(pen, WHITE_PEN, NULL_PEN, object.stockIndex)) {
        object.stock = true;
        return object;
    }
    const std::uint32_t style = pen.GetStyle();
    if (pen.IsGeometric() || (style & PS_STYLE_MASK) == PS_USERSTYLE || (style & PS_STYLE_MASK) == PS_ALTERNATE) {
        object.type = EMR_EXTCREATEPEN;
        for (int i = 0; i < 4; ++i)
            Body32(object.body, 0); // no brush bitmap
        Body32(object.body, style);
        Body32(object.body, static_cast<std::uint32_t>(pen.GetWidth()));
        Body32(object.body, (style & PS_STYLE_MASK) == PS_NULL ? BS_NULL : BS_SOLID);
        Body32(object.body, pen.GetColor());
        Body32(object.body, 0);
        const auto& user = pen.GetUserStyle();
        Body32(object.body, static_cast<std::uint32_t>(user.size()));
        for (std::uint32_t length : user)
            Body32(object.body, length);
        return object;
    }
    object.type = EMR_CREATEPEN;
    Body32(object.body, style);
    Body32(object.body, static_cast<std::uint32_t>(pen.GetWidth()));
    Body32(object.body, 0);
    Body32(object.body, pen.GetColor());
    return object;
}

CMetafileRecorder::ObjectRecord CEmfRecorder::EncodeBrush(const CBrush& brush, COLORREF text, COLORREF background)
{
    ObjectRecord object;
    if (StockIndex(brush, WHITE_BRUSH, NULL_BRUSH, object.stockIndex)) {
        object.stock = true;
        return object;
    }
    if (brush.GetStyle() == BS_PATTERN) {
        // A monochrome pattern: players paint its 0 bits in the text colour
        // and its 1 bits in the background colour; the colour table holds
        // the same for players that take it from there.
        object.type = EMR_CREATEMONOBRUSH;
        const std::string dib = MonochromePatternDib(brush.GetBits(), text, background);
        Body32(object.body, DIB_RGB_COLORS);
        Body32(object.body, 32);
        Body32(object.body, 48);
        Body32(object.body, 80);
        Body32(object.body, 32);
        object.body += dib;
        return object;
    }
    object.type = EMR_CREATEBRUSHINDIRECT;
    const std::uint32_t style = brush.GetStyle();
    Body32(object.body, style);
    Body32(object.body, style == BS_NULL ? 0 : brush.GetColor());
    Body32(object.body, style == BS_HATCHED ? static_cast<std::uint32_t>(brush.GetHatch()) : 0);
    return object;
}

CMetafileRecorder::ObjectRecord CEmfRecorder::EncodeFont(const CFont& font)
{
    ObjectRecord object;
    object.type = EMR_EXTCREATEFONTINDIRECTW;
    const LOGFONT& lf = font.LogFont();
    for (std::int32_t v : {lf.lfHeight, lf.lfWidth, lf.lfEscapement, lf.lfOrientation, lf.lfWeight})
        Body32(object.body, static_cast<std::uint32_t>(v));
    for (std::uint8_t v : {lf.lfItalic, lf.lfUnderline, lf.lfStrikeOut, lf.lfCharSet, lf.lfOutPrecision,
                           lf.lfClipPrecision, lf.lfQuality, lf.lfPitchAndFamily})
        object.body.push_back(static_cast<char>(v));
    const std::size_t length = strnlen(lf.lfFaceName, LF_FACESIZE - 1);
    for (std::size_t i = 0; i < static_cast<std::size_t>(LF_FACESIZE); ++i) {
        const char16_t c = i < length ? Cp1257ToUnicode(static_cast<unsigned char>(lf.lfFaceName[i])) : u'\0';
        object.body.push_back(static_cast<char>(c & 0xFF));
        object.body.push_back(static_cast<char>(c >> 8));
    }
    return object;
}

void CEmfRecorder::EmitCreate(int slot, const ObjectRecord& object)
{
    const std::size_t start = Begin(object.type);
    m_out.U32(static_cast<std::uint32_t>(slot + 1));
    m_out.Bytes(object.body.data(), object.body.size());
    End(start);
}

void CEmfRecorder::EmitSelect(int slot, const ObjectRecord& object)
{
    Record(EMR_SELECTOBJECT, {static_cast<std::int32_t>(object.stock ? object.stockIndex : std::uint32_t(slot + 1))});
}

void CEmfRecorder::EmitDelete(int slot)
{
    Record(EMR_DELETEOBJECT, {slot + 1});
}

void CEmfRecorder::EmitValue(ValueKind kind, std::uint32_t value)
{
    std::uint32_t type = EMR_SETTEXTCOLOR;
    switch (kind) {
    case ValueKind::TextColour: type = EMR_SETTEXTCOLOR; break;
    case ValueKind::BkColour: type = EMR_SETBKCOLOR; break;
    case ValueKind::BkMode: type = EMR_SETBKMODE; break;
    case ValueKind::Rop2: type = EMR_SETROP2; break;
    case ValueKind::FillMode: type = EMR_SETPOLYFILLMODE; break;
    case ValueKind::Align: type = EMR_SETTEXTALIGN; break;
    case ValueKind::Stretch: type = EMR_SETSTRETCHBLTMODE; break;
    }
    Record(type, {static_cast<std::int32_t>(value)});
}

void CEmfRecorder::EmitMiterLimit(float limit)
{
    const std::size_t start = Begin(EMR_SETMITERLIMIT);
    m_out.F32(limit);
    End(start);
}

void CEmfRecorder::EmitBrushOrg(CPoint origin)
{
    Record(EMR_SETBRUSHORGEX, {origin.x, origin.y});
}

void CEmfRecorder::EmitMapMode(int mode)
{
    Record(EMR_SETMAPMODE, {mode});
}

void CEmfRecorder::EmitWindowExt(CSize extent)
{
    Record(EMR_SETWINDOWEXTEX, {extent.cx, extent.cy});
}

void CEmfRecorder::EmitViewportExt(CSize extent)
{
    Record(EMR_SETVIEWPORTEXTEX, {extent.cx, extent.cy});
}

void CEmfRecorder::EmitWindowOrg(CPoint origin)
{
    Record(EMR_SETWINDOWORGEX, {origin.x, origin.y});
}

void CEmfRecorder::EmitViewportOrg(CPoint origin)
{
    Record(EMR_SETVIEWPORTORGEX, {origin.x, origin.y});
}

void CEmfRecorder::EmitSaveDC()
{
    Record(EMR_SAVEDC, {});
}

void CEmfRecorder::EmitRestoreDC(int relative)
{
    Record(EMR_RESTOREDC, {relative});
}

// ---- Clipping ------------------------------------------------------------

void CEmfRecorder::IntersectClipRect(const CRect& rect)
{
    Sync(0);
    Record(EMR_INTERSECTCLIPRECT, {rect.left, rect.top, rect.right, rect.bottom});
}

void CEmfRecorder::ExcludeClipRect(const CRect& rect)
{
    Sync(0);
    Record(EMR_EXCLUDECLIPRECT, {rect.left, rect.top, rect.right, rect.bottom});
}

void CEmfRecorder::SelectClipRgn(const CRgn* deviceRegion, int mode)
{
    const std::size_t start = Begin(EMR_EXTSELECTCLIPRGN);
    if (!deviceRegion) {
        m_out.U32(0);
        m_out.U32(RGN_COPY);
        End(start);
        return;
    }
    const std::vector<CRect> rects = RegionRects(*deviceRegion);
    CRect box;
    deviceRegion->GetRgnBox(&box);
    m_out.U32(static_cast<std::uint32_t>(32 + 16 * rects.size()));
    m_out.U32(static_cast<std::uint32_t>(mode));
    m_out.U32(32);
    m_out.U32(1); // rectangles
    m_out.U32(static_cast<std::uint32_t>(rects.size()));
    m_out.U32(static_cast<std::uint32_t>(16 * rects.size()));
    RectL(box);
    for (const CRect& r : rects)
        RectL(r);
    End(start);
}

// ---- Drawing -------------------------------------------------------------

void CEmfRecorder::MoveTo(CPoint p)
{
    Sync(0);
    Record(EMR_MOVETOEX, {p.x, p.y});
    m_position = p;
}

void CEmfRecorder::LineTo(CPoint p)
{
    Sync(kStroke);
    const CPoint ends[2] = {m_position, p};
    Bounds(ends, 2);
    Record(EMR_LINETO, {p.x, p.y});
    m_position = p;
}

void CEmfRecorder::Poly(const CPoint* points, const int* counts, int parts, bool closed)
{
    if (parts <= 0)
        return;
    Sync(closed ? kStroke | kFill : kStroke);
    WritePoly(points, counts, parts, closed);
}

void CEmfRecorder::WritePoly(const CPoint* points, const int* counts, int parts, bool closed)
{
    std::size_t total = 0;
    for (int i = 0; i < parts; ++i)
        total += static_cast<std::size_t>(counts[i]);
    const bool small = Fits16(points, total);
    std::uint32_t type = 0;
    if (parts == 1)
        type = closed ? (small ? EMR_POLYGON16 : EMR_POLYGON) : (small ? EMR_POLYLINE16 : EMR_POLYLINE);
    else
        type = closed ? (small ? EMR_POLYPOLYGON16 : EMR_POLYPOLYGON)
                      : (small ? EMR_POLYPOLYLINE16 : EMR_POLYPOLYLINE);
    const std::size_t start = Begin(type);
    RectL(Bounds(points, total));
    if (parts > 1) {
        m_out.U32(static_cast<std::uint32_t>(parts));
        m_out.U32(static_cast<std::uint32_t>(total));
        for (int i = 0; i < parts; ++i)
            m_out.U32(static_cast<std::uint32_t>(counts[i]));
    } else {
        m_out.U32(static_cast<std::uint32_t>(total));
    }
    for (std::size_t i = 0; i < total; ++i) {
        if (small) {
            m_out.I16(static_cast<std::int16_t>(points[i].x));
            m_out.I16(static_cast<std::int16_t>(points[i].y));
        } else {
            m_out.I32(points[i].x);
            m_out.I32(points[i].y);
        }
    }
    End(start);
}

void CEmfRecorder::Rectangle(const CRect& box)
{
    Sync(kStroke | kFill);
    const CPoint corners[2] = {box.TopLeft(), box.BottomRight()};
    Bounds(corners, 2);
    Record(EMR_RECTANGLE, {box.left, box.top, box.right, box.bottom});
}

void CEmfRecorder::Ellipse(const CRect& box)
{
    Sync(kStroke | kFill);
    const CPoint corners[2] = {box.TopLeft(), box.BottomRight()};
    Bounds(corners, 2);
    Record(EMR_ELLIPSE, {box.left, box.top, box.right, box.bottom});
}

void CEmfRecorder::FillRect(const CRect& rect, const CBrush& brush)
{
    if (m_inPath) {
        // Fills draw at once even while a path is being made.
        Overrides with;
        with.brush = &brush;
        Sync(kBrush | kBrushOrg | kTextColour | kBkColour, with);
        WriteBitBlt(rect, PATCOPY);
        return;
    }
    // A polygon without outline fills exactly the pixels of the rectangle.
    Sync(kPen | kFill, RectangleFill(brush));
    const CPoint corners[4] = {rect.TopLeft(), {rect.right, rect.top}, rect.BottomRight(), {rect.left, rect.bottom}};
    const int four = 4;
    WritePoly(corners, &four, 1, true);
}

void CEmfRecorder::SetPixel(CPoint p, COLORREF colour)
{
    Sync(0);
    Bounds(&p, 1);
    Record(EMR_SETPIXELV, {p.x, p.y, static_cast<std::int32_t>(colour)});
}

void CEmfRecorder::PatBlt(const CRect& rect, std::uint32_t rop)
{
    Sync(kBrush | kBrushOrg | kTextColour | kBkColour);
    WriteBitBlt(rect, rop);
}

void CEmfRecorder::WriteBitBlt(const CRect& rect, std::uint32_t rop)
{
    const std::size_t start = Begin(EMR_BITBLT);
    WriteDestination(rect);
    m_out.U32(rop);
    WriteSource();
    m_out.Zeros(4 + 4 + 16); // background, usage, no bitmap
    End(start);
}

void CEmfRecorder::WriteDestination(const CRect& rect)
{
    const CPoint corners[2] = {rect.TopLeft(), rect.BottomRight()};
    RectL(Bounds(corners, 2));
    m_out.I32(rect.left);
    m_out.I32(rect.top);
    m_out.I32(Span(rect.left, rect.right));
    m_out.I32(Span(rect.top, rect.bottom));
}

void CEmfRecorder::WriteSource()
{
    m_out.Zeros(8);  // the source's corner
    m_out.F32(1.0f); // and its transform, the identity
    m_out.Zeros(8);
    m_out.F32(1.0f);
    m_out.Zeros(8);
}

void CEmfRecorder::Picture(const CRect& rect, const RecordedPicture& picture, std::uint32_t rop)
{
    if (picture.width <= 0 || picture.height <= 0)
        return;
    const CPoint corners[2] = {rect.TopLeft(), rect.BottomRight()};
    if (!picture.hasAlpha) {
        Sync(kStretch);
        const std::string dib = PictureDib(picture, false);
        const std::size_t start = Begin(EMR_STRETCHDIBITS);
        RectL(Bounds(corners, 2));
        m_out.I32(rect.left);
        m_out.I32(rect.top);
        m_out.I32(0);
        m_out.I32(0);
        m_out.I32(picture.width);
        m_out.I32(picture.height);
        m_out.U32(80);
        m_out.U32(40);
        m_out.U32(120);
        m_out.U32(static_cast<std::uint32_t>(dib.size() - 40));
        m_out.U32(DIB_RGB_COLORS);
        m_out.U32(rop);
        m_out.I32(Span(rect.left, rect.right));
        m_out.I32(Span(rect.top, rect.bottom));
        m_out.Bytes(dib.data(), dib.size());
        End(start);
        return;
    }
    // See-through pixels: a blend by the picture's own alpha.
    Sync(0);
    const std::string dib = PictureDib(picture, true);
    const std::size_t start = Begin(EMR_ALPHABLEND);
    WriteDestination(rect);
    m_out.U8(0);   // AC_SRC_OVER
    m_out.U8(0);
    m_out.U8(255); // no constant fading
    m_out.U8(1);   // AC_SRC_ALPHA
    WriteSource();
    m_out.U32(0); // background
    m_out.U32(DIB_RGB_COLORS);
    m_out.U32(108);
    m_out.U32(40);
    m_out.U32(148);
    m_out.U32(static_cast<std::uint32_t>(dib.size() - 40));
    m_out.I32(picture.width);
    m_out.I32(picture.height);
    m_out.Bytes(dib.data(), dib.size());
    End(start);
}

void CEmfRecorder::Text(CPoint reference, std::string_view text, const std::vector<int>& advances, unsigned align,
                        const CRect* clip)
{
    Overrides with;
    with.hasAlign = true;
    with.align = align;
    Sync(kTextDrawing, with);
    const std::vector<CPoint> box = TextBox(m_dc, reference, text, align);
    const std::size_t start = Begin(EMR_EXTTEXTOUTW);
    RectL(Bounds(box.data(), box.size()));
    m_out.U32(GM_COMPATIBLE);
    m_out.F32(0.0f);
    m_out.F32(0.0f);
    m_out.I32(reference.x);
    m_out.I32(reference.y);
    const auto count = static_cast<std::uint32_t>(text.size());
    const std::uint32_t stringBytes = (2 * count + 3) / 4 * 4;
    m_out.U32(count);
    m_out.U32(76);
    m_out.U32(clip ? ETO_CLIPPED : 0);
    RectL(clip ? *clip : CRect(0, 0, -1, -1));
    m_out.U32(advances.size() == text.size() && !text.empty() ? 76 + stringBytes : 0);
    for (char c : text)
        m_out.U16(Cp1257ToUnicode(static_cast<unsigned char>(c)));
    m_out.Align(4);
    if (advances.size() == text.size())
        for (int a : advances)
            m_out.I32(a);
    End(start);
}

void CEmfRecorder::Path(PathOp op, int mode, const CRgn*)
{
    switch (op) {
    case PathOp::Begin:
        // Readers that fill a path when it ends find the pen and brush chosen.
        Sync(kStroke | kFill);
        m_inPath = true;
        Record(EMR_BEGINPATH, {});
        break;
    case PathOp::End:
        m_inPath = false;
        Record(EMR_ENDPATH, {});
        break;
    case PathOp::Abort:
        m_inPath = false;
        Record(EMR_ABORTPATH, {});
        break;
    case PathOp::CloseFigure: Record(EMR_CLOSEFIGURE, {}); break;
    case PathOp::Stroke:
    case PathOp::Fill:
    case PathOp::StrokeAndFill: {
        Sync(op == PathOp::Stroke ? kStroke : op == PathOp::Fill ? kFill : kStroke | kFill);
        const CRect box = m_anyBounds ? m_bounds : CRect(0, 0, -1, -1);
        const std::size_t start =
            Begin(op == PathOp::Stroke ? EMR_STROKEPATH : op == PathOp::Fill ? EMR_FILLPATH : EMR_STROKEANDFILLPATH);
        RectL(box);
        End(start);
        break;
    }
    case PathOp::SelectClip:
        Sync(0);
        Record(EMR_SELECTCLIPPATH, {mode});
        break;
    }
}
