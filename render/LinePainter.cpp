#include "render/LinePainter.h"

#include "core/DeviceGeometry.h"
#include "platform/DC.h"
#include "render/ChessboardWalk.h"
#include "render/LineStroke.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Line codes beyond the pen styles of the drawing interface.
enum : int {
    kDots = 9,
    kDashedCasing = 10,
    kBlackCasing = 11,
    kArrowAtEnd = 12,
    kArrowAtStart = 13,
    kArrowsAtBoth = 14,
    kDoubleLine = 15,
    kDashedDoubleLine = 16,
    kArrowPieces = 17,
};

// Dash lengths of the double lines refer to an inner line of this width.
constexpr int kReferenceWidth = 39;
// The pieces of code 17, in logical units whatever the mapping.
constexpr int kPieceDrawn = 197;
constexpr int kPieceSkipped = 394;

LOGBRUSH SolidBrush(COLORREF colour)
{
    return LOGBRUSH{BS_SOLID, colour, 0};
}

} // namespace

CLinePainter::CLinePainter(CDC& dc, CDC* second)
    : m_dc(dc), m_second(second), m_mapMode(dc.GetMapMode()), m_logPixelsX(std::max(1, dc.GetDeviceCaps(LOGPIXELSX)))
{
}

CLinePainter::~CLinePainter()
{
    Reset();
}

int CLinePainter::ToThousandths(double pixels) const
{
    const double value = pixels * 1000 / m_logPixelsX;
    if (!(value > 0))
        return 0;
    return static_cast<int>(std::min(value, 65535.0));
}

int CLinePainter::DeviceLength(int logical) const
{
    CSize size(logical, 0);
    m_dc.LPtoDP(&size);
    return std::max(size.cx, 0);
}

int CLinePainter::LogicalLength(int device) const
{
    CSize size(device, 0);
    m_dc.DPtoLP(&size);
    return std::max(size.cx, 0);
}

bool CLinePainter::IsPrinter() const
{
    return m_dc.IsPrinting() || m_dc.GetDeviceCaps(TECHNOLOGY) == DT_RASPRINTER;
}

void CLinePainter::SelectBoth(const CPen& pen)
{
    m_dc.SelectObject(pen);
    if (m_second)
        m_second->SelectObject(pen);
}

void CLinePainter::SelectBoth(const CBrush& brush)
{
    m_dc.SelectObject(brush);
    if (m_second)
        m_second->SelectObject(brush);
}

void CLinePainter::SelectLineBrush(COLORREF colour)
{
    m_brush = CBrush(colour);
    m_saved[0].brush = m_dc.SelectObject(m_brush);
    m_saved[0].brushSaved = true;
    if (m_second) {
        m_saved[1].brush = m_second->SelectObject(m_brush);
        m_saved[1].brushSaved = true;
    }
}

void CLinePainter::SetStyleFromPixels(int code, double pixels, COLORREF colour)
{
    CDrawStyle style;
    style.penStyle = static_cast<std::uint32_t>(code);
    style.penWidth = static_cast<std::uint32_t>(ToThousandths(pixels));
    style.penColor = colour;
    style.backColor = kWhite;
    SetStyle(style);
}

void CLinePainter::SetStyle(const CDrawStyle& style)
{
    Reset();
    const std::uint32_t code = style.penStyle;
    const int recordWidth = static_cast<int>(style.penWidth & 0xFFFF);
    int width = recordWidth;
    if (m_mapMode == MM_TEXT)
        width = (m_logPixelsX * width + 500) / 1000;
    const COLORREF colour = style.penColor;
    m_width = width;
    switch (code) {
    case PS_DASH:
    case PS_DOT:
    case PS_DASHDOT:
    case PS_DASHDOTDOT:
        SetDashPens(static_cast<int>(code), width, colour);
        break;
    case kDots:
        SetDots(width, colour);
        break;
    case kDashedCasing:
    case kBlackCasing:
    case kDoubleLine:
    case kDashedDoubleLine:
        SetDoubleLine(static_cast<int>(code), width, colour);
        break;
    case kArrowAtEnd:
    case kArrowAtStart:
    case kArrowsAtBoth:
    case kArrowPieces:
        SetEndMarks(static_cast<int>(code), width, recordWidth, colour);
        break;
    default:
        m_pen = CPen(static_cast<int>(code), width, colour);
        break;
    }
    m_saved[0].pen = m_dc.SelectObject(m_pen);
    if (m_second)
        m_saved[1].pen = m_second->SelectObject(m_pen);
    m_styled = true;
}

void CLinePainter::SetDashPens(int code, int width, COLORREF colour)
{
    const int device = DeviceLength(width);
    if (device < 2) {
        // Thin dashes are the cosmetic dash pens.
        m_pen = CPen(code, width, colour);
        return;
    }
    m_pen = CPen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_SOLID, width, SolidBrush(colour));
    // Wide dashes grow with the width: L = 4 x width, in device pixels.
    const int full = LogicalLength(4 * device);
    const int half = LogicalLength(2 * device);
    const int quarter = LogicalLength(device);
    std::vector<int> lengths;
    switch (code) {
    case PS_DASH: lengths = {full, half}; break;
    case PS_DOT: lengths = {quarter, quarter}; break;
    case PS_DASHDOT: lengths = {full, quarter, quarter, quarter}; break;
    default: lengths = {full, quarter, quarter, quarter, quarter, quarter}; break;
    }
    auto dashes = std::make_unique<CDashStroke>(m_dc, m_second);
    dashes->SetElements(lengths);
    dashes->SetPhase(0);
    dashes->SetPath(true);
    m_first = std::move(dashes);
}

void CLinePainter::SetDots(int width, COLORREF colour)
{
    // Dots are placed in device pixels: in logical units their sizes and
    // gaps would round unevenly.
    auto dots = std::make_unique<CDotStroke>(m_dc, m_second);
    dots->SetDeviceSpacing(true);
    const int device = DeviceLength(width);
    if (device < 2) {
        m_pen = CPen(PS_NULL, 0, colour);
        dots->SetDot(1, 1, 3, colour);
    } else {
        m_pen = CPen(PS_SOLID, 0, colour);
        SelectLineBrush(colour);
        dots->SetDot(device, device, 2 * device, colour);
    }
    m_first = std::move(dots);
}

std::vector<int> CLinePainter::DoubleLineDashes(int on, int off, int inner) const
{
    int reference = kReferenceWidth;
    if (m_mapMode == MM_TEXT) {
        on = (m_logPixelsX * on + 500) / 1000;
        off = (m_logPixelsX * off + 500) / 1000;
        reference = (m_logPixelsX * kReferenceWidth + 500) / 1000;
    }
    if (reference > 0 && inner > reference) {
        on = static_cast<int>(std::int64_t(on) * inner / reference);
        off = static_cast<int>(std::int64_t(off) * inner / reference);
    }
    return {on, off};
}

void CLinePainter::SetDoubleLine(int code, int width, COLORREF colour)
{
    const int inner = std::max(1, DeviceLength(width));
    int outer = 0;
    bool thin = false;
    if (inner > 3)
        outer = 2 * inner - 2;
    else if (inner >= 2)
        outer = inner + 2;
    else if (IsPrinter())
        outer = 3;
    else
        thin = true; // hairlines side by side instead of a pen 3 pixels wide
    const int innerWidth = LogicalLength(inner);
    const int outerWidth = LogicalLength(outer);
    const CSize one(LogicalLength(1), LogicalLength(1));
    const CSize two(LogicalLength(2), LogicalLength(2));
    m_snap = thin;

    auto dashes = [&](int phase, bool plus, const std::vector<int>& lengths) -> std::unique_ptr<CLineStroke> {
        std::unique_ptr<CDashStroke> stroke;
        if (plus) {
            auto shifted = std::make_unique<CPlusDashStroke>(m_dc, m_second);
            shifted->SetShift(one.cx, one.cy);
            stroke = std::move(shifted);
        } else {
            stroke = std::make_unique<CDashStroke>(m_dc, m_second);
        }
        stroke->SetElements(lengths);
        stroke->SetPhase(phase);
        stroke->SetPath(!thin);
        return stroke;
    };

    switch (code) {
    case kDashedCasing: {
        const std::vector<int> lengths = DoubleLineDashes(59, 79, innerWidth);
        m_pen = CPen(PS_SOLID, outerWidth, colour);
        m_secondPen = CPen(PS_GEOMETRIC | PS_ENDCAP_FLAT, innerWidth, SolidBrush(kWhite));
        m_first = dashes(2, thin, lengths);
        m_secondStroke = dashes(0, false, lengths);
        break;
    }
    case kBlackCasing:
    case kDoubleLine: {
        const bool black = code == kBlackCasing;
        m_pen = CPen(PS_SOLID, outerWidth, black ? kBlack : colour);
        m_secondPen = CPen(PS_SOLID, innerWidth, black ? colour : kWhite);
        if (thin) {
            auto casing = std::make_unique<CCasingStroke>(m_dc, m_second);
            casing->SetOffsets(two.cx, two.cy);
            auto inside = std::make_unique<CShiftedStroke>(m_dc, m_second);
            inside->SetOffsets(one.cx, one.cy);
            m_first = std::move(casing);
            m_secondStroke = std::move(inside);
        } else {
            m_first = std::make_unique<CPolylineStroke>(m_dc, m_second);
            m_secondStroke = std::make_unique<CPolylineStroke>(m_dc, m_second);
        }
        break;
    }
    default: { // kDashedDoubleLine
        const std::vector<int> lengths = DoubleLineDashes(79, 39, innerWidth);
        const int reference = m_mapMode == MM_TEXT ? (m_logPixelsX * kReferenceWidth + 500) / 1000 : kReferenceWidth;
        if (2 * innerWidth > reference) {
            m_pen = CPen(PS_GEOMETRIC | PS_ENDCAP_FLAT, outerWidth, SolidBrush(colour));
            m_secondPen = outer > 1 ? CPen(PS_GEOMETRIC, innerWidth, SolidBrush(kWhite))
                                    : CPen(PS_SOLID, innerWidth, kWhite);
        } else {
            m_pen = CPen(PS_SOLID, outerWidth, colour);
            m_secondPen = CPen(PS_SOLID, innerWidth, kWhite);
        }
        m_first = dashes(0, thin, lengths);
        m_secondStroke = dashes(2, false, lengths);
        break;
    }
    }
}

void CLinePainter::SetEndMarks(int code, int width, int recordWidth, COLORREF colour)
{
    m_pen = CPen(PS_SOLID, width, colour);
    m_secondPen = CPen(PS_SOLID, 0, colour);
    SelectLineBrush(colour);
    m_endMarks = code == kArrowAtStart ? 2 : (code == kArrowsAtBoth ? 3 : 1);
    int size = recordWidth <= 18 ? 28 : recordWidth * 3 / 2;
    if (m_mapMode == MM_TEXT)
        size = (m_logPixelsX * size + 500) / 1000;
    m_markSize = size;
    m_pattern = code == kArrowPieces;
}

void CLinePainter::Reset()
{
    m_first.reset();
    m_secondStroke.reset();
    if (m_styled) {
        CDC* contexts[2] = {&m_dc, m_second};
        for (int i = 0; i < 2; ++i) {
            if (!contexts[i])
                continue;
            contexts[i]->SelectObject(m_saved[i].pen);
            if (m_saved[i].brushSaved)
                contexts[i]->SelectObject(m_saved[i].brush);
        }
    }
    m_saved[0] = Saved();
    m_saved[1] = Saved();
    m_pen = CPen();
    m_secondPen = CPen();
    m_brush = CBrush();
    m_styled = false;
    m_width = 0;
    m_endMarks = 0;
    m_markSize = 0;
    m_snap = false;
    m_pattern = false;
}

// ---- Drawing -------------------------------------------------------------

bool CLinePainter::PartCounts(const CPoint* points, const int* counts, int partCount, std::vector<int>& out)
{
    out.clear();
    if (!points || !counts || partCount <= 0)
        return false;
    out.assign(counts, counts + partCount);
    return std::none_of(out.begin(), out.end(), [](int n) { return n < 0; });
}

bool CLinePainter::PartCounts(const CPoint* points, const std::uint32_t* counts, int partCount,
                              std::vector<int>& out)
{
    out.clear();
    if (!points || !counts || partCount <= 0)
        return false;
    for (int i = 0; i < partCount; ++i) {
        if (counts[i] > static_cast<std::uint32_t>(INT_MAX))
            return false;
        out.push_back(static_cast<int>(counts[i]));
    }
    return true;
}

bool CLinePainter::DrawPolyPolyline(CPoint* points, const int* counts, int partCount)
{
    std::vector<int> parts;
    return PartCounts(points, counts, partCount, parts) && DrawParts(points, parts.data(), partCount);
}

bool CLinePainter::DrawPolyPolyline(CPoint* points, const std::uint32_t* counts, int partCount)
{
    std::vector<int> parts;
    return PartCounts(points, counts, partCount, parts) && DrawParts(points, parts.data(), partCount);
}

bool CLinePainter::DrawPolyline(CPoint* points, int count)
{
    return DrawPolyPolyline(points, &count, 1);
}

bool CLinePainter::DrawSegment(int x1, int y1, int x2, int y2)
{
    CPoint points[2] = {CPoint(x1, y1), CPoint(x2, y2)};
    return DrawPolyline(points, 2);
}

int CLinePainter::ThinParts(CPoint* points, int* counts, int partCount)
{
    const int mode = m_mapMode == MM_TEXT ? 2 : 1;
    int total = 0;
    CPoint* part = points;
    for (int i = 0; i < partCount; ++i) {
        const int n = counts[i];
        m_scratch.resize(static_cast<std::size_t>(std::max(n, 1)));
        const int kept = SimplifyDevicePolyline(part, m_scratch.data(), n, mode);
        std::copy(m_scratch.begin(), m_scratch.begin() + kept, part);
        part += n;
        counts[i] = kept;
        total += kept;
    }
    return total;
}

bool CLinePainter::DrawParts(CPoint* points, int* counts, int partCount)
{
    std::int64_t total = 0;
    for (int i = 0; i < partCount; ++i)
        total += counts[i];

    if (m_pattern) {
        const CPoint* part = points;
        for (int i = 0; i < partCount; ++i) {
            DrawPatterned(part, counts[i]);
            part += counts[i];
        }
        return true;
    }

    if (total > kThinAbove && m_thin) {
        // Each part keeps its place in the buffer; only its count shrinks.
        std::vector<int> starts(static_cast<std::size_t>(partCount));
        for (int i = 0, at = 0; i < partCount; at += counts[i], ++i)
            starts[static_cast<std::size_t>(i)] = at;
        ThinParts(points, counts, partCount);
        for (int i = 0; i < partCount; ++i) {
            CPoint* part = points + starts[static_cast<std::size_t>(i)];
            int n = counts[i];
            if (n <= kThinAbove) {
                DrawParts(part, &n, 1);
                continue;
            }
            // Chunks share their end points, so the line runs on unbroken.
            int chunk = n;
            while (chunk > kMaxChunk)
                chunk = chunk / 2 + 1;
            const int marks = std::exchange(m_endMarks, 0);
            for (int start = 0; start < n - 1; start += chunk - 1) {
                int length = std::min(chunk, n - start);
                DrawParts(part + start, &length, 1);
            }
            // The marks belong to the ends of the part, not of its chunks.
            m_endMarks = marks;
            DrawEndMarks(part, n);
        }
        return true;
    }

    bool drawn = false;
    if (m_first) {
        if (m_snap)
            Snap(points, static_cast<int>(total));
        drawn = m_first->DrawParts(points, counts, partCount);
        if (m_secondStroke) {
            SelectBoth(m_secondPen);
            m_secondStroke->DrawParts(points, counts, partCount);
            SelectBoth(m_pen);
        }
    } else if (partCount == 1) {
        drawn = m_dc.Polyline(points, counts[0]);
        if (m_second)
            m_second->Polyline(points, counts[0]);
    } else {
        drawn = m_dc.PolyPolyline(points, counts, partCount);
        if (m_second)
            m_second->PolyPolyline(points, counts, partCount);
    }
    const CPoint* part = points;
    for (int i = 0; i < partCount; ++i) {
        DrawEndMarks(part, counts[i]);
        part += counts[i];
    }
    return drawn;
}

void CLinePainter::Snap(CPoint* points, int count) const
{
    m_dc.LPtoDP(points, count);
    m_dc.DPtoLP(points, count);
}

void CLinePainter::DrawEndMarks(const CPoint* points, int count)
{
    if (!m_endMarks || count < 2)
        return;
    // A mark points along the last segment that has a length.
    auto markAt = [&](int tip, int step, CPoint out[4]) {
        for (int i = tip - step; i >= 0 && i < count; i -= step) {
            if (!(points[i] == points[tip])) {
                ComputeArrowHead(points[i], points[tip], m_width, m_markSize, out);
                return true;
            }
        }
        return false;
    };
    SelectBoth(m_secondPen);
    CPoint head[4];
    if ((m_endMarks & 1) && markAt(count - 1, 1, head)) {
        m_dc.Polygon(head, 4);
        if (m_second)
            m_second->Polygon(head, 4);
    }
    if ((m_endMarks & 2) && markAt(0, -1, head)) {
        m_dc.Polygon(head, 4);
        if (m_second)
            m_second->Polygon(head, 4);
    }
    SelectBoth(m_pen);
}

void CLinePainter::DrawPatterned(const CPoint* points, int count)
{
    // Skipped half a gap, then drawn pieces and whole gaps in turn.
    bool drawing = false;
    std::vector<CPoint> piece;
    auto drawPiece = [&] {
        int n = static_cast<int>(piece.size());
        if (n >= 2) {
            m_pattern = false;
            DrawParts(piece.data(), &n, 1);
            m_pattern = true;
        }
        piece.clear();
    };
    WalkCuts(
        points, count, kPieceSkipped / 2,
        [&](CPoint a, CPoint b, std::int64_t k, std::int64_t steps) -> std::int64_t {
            piece.emplace_back(static_cast<int>(a.x + RoundedQuotient((std::int64_t(b.x) - a.x) * k, steps)),
                               static_cast<int>(a.y + RoundedQuotient((std::int64_t(b.y) - a.y) * k, steps)));
            drawing = !drawing;
            if (drawing)
                return kPieceDrawn;
            drawPiece();
            return kPieceSkipped;
        },
        [&](CPoint b) {
            if (drawing && !(piece.back() == b))
                piece.push_back(b);
        });
    if (drawing)
        drawPiece();
}
