#include "render/LayerDrawing.h"

#include "core/DbfTable.h"
#include "core/Shape.h"
#include "layers/DrawingView.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerDrawer.h"
#include "layers/LayerReader.h"
#include "layers/RecordStyler.h"
#include "layers/Sublayer.h"
#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/NumberText.h"
#include "platform/UserServices.h"
#include "render/AreaPainter.h"
#include "render/DeviceShape.h"
#include "render/GeoRaster.h"
#include "render/LayerPass.h"
#include "render/PointSymbolHook.h"
#include "render/RasterLayerPicture.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr int kPointsPerPoll = 64;
constexpr int kShapesPerPoll = 8;
// A track pen whose low byte is this repeats its marks between every two fixes.
constexpr std::uint32_t kMarksBetweenFixes = 14;

// The field that splits a track into trips, and the mark of a trip's first fix.
constexpr const char* kStartField = "START";
constexpr char kStartMark = '*';

// Areas drawn as lines: each ring's last edge back to its first point.
void CloseRings(CShape& shape)
{
    CMapPointArray closed;
    std::vector<uint32_t> sizes;
    for (int k = 0, first = 0; k < shape.GetPartCount(); first += shape.GetPartSize(k++)) {
        const int size = std::min(shape.GetPartSize(k), shape.GetPointCount() - first);
        if (size <= 0)
            continue;
        closed.Append(&shape.GetPoint(first), size);
        const bool open = size > 2 && !(shape.GetPoint(first) == shape.GetPoint(first + size - 1));
        if (open)
            closed.Add(shape.GetPoint(first));
        sizes.push_back(static_cast<uint32_t>(size + (open ? 1 : 0)));
    }
    shape.SetParts(std::move(closed), std::move(sizes));
}

// A line or area the painters would not show.
bool IsInvisibleLine(const CDrawStyle& style)
{
    return (style.penStyle & 0xFFFF) == PS_NULL && !style.IsDoubleLine();
}

bool IsInvisibleArea(const CDrawStyle& style)
{
    return IsInvisibleLine(style) && style.brushStyle == BS_HOLLOW;
}

CMapRect ClipRect(const IDrawingView& view)
{
    CMapRect clip = view.GetMapExtent();
    clip.Scale(kDrawClipMargin);
    return clip;
}

// The background mode of both contexts, transparent for a pass and put back.
class CTransparentScope {
public:
    CTransparentScope(CDC& dc, CDC* second) : m_dc(dc), m_second(second)
    {
        m_modes[0] = dc.SetBkMode(TRANSPARENT);
        if (second)
            m_modes[1] = second->SetBkMode(TRANSPARENT);
    }
    ~CTransparentScope()
    {
        m_dc.SetBkMode(m_modes[0]);
        if (m_second)
            m_second->SetBkMode(m_modes[1]);
    }
    CTransparentScope(const CTransparentScope&) = delete;
    CTransparentScope& operator=(const CTransparentScope&) = delete;

private:
    CDC& m_dc;
    CDC* m_second;
    int m_modes[2] = {TRANSPARENT, TRANSPARENT};
};

// Hands a painter its style only when it changes: making pens costs more
// than drawing a short line.
template <class Painter>
class CStyleKeeper {
public:
    explicit CStyleKeeper(Painter& painter) : m_painter(painter) {}
    void Use(const CDrawStyle& style)
    {
        if (m_set && style == m_current)
            return;
        m_painter.SetStyle(style);
        m_current = style;
        m_set = true;
    }

private:
    Painter& m_painter;
    CDrawStyle m_current;
    bool m_set = false;
};

// The per-record style of a pass: the given one, or the sublayer's with
// its classes.
class CPassStyles {
public:
    CPassStyles(const CSublayer* sublayer, CFeatureSource& source) : m_source(source)
    {
        if (sublayer)
            m_styler.emplace(*sublayer, source.GetTable());
    }
    bool IsClassified() const { return m_styler && m_styler->IsClassified(); }
    // The class style of the current record; null when it has none.
    const CStyleRecord* ClassStyle() const
    {
        if (!m_source.GetRecordTable(m_source.GetCurrentRecord()))
            return nullptr;
        return m_styler->StyleOfCurrent();
    }

private:
    CFeatureSource& m_source;
    std::optional<CRecordStyler> m_styler;
};

// The source of a pass over lines or areas, read a little beyond the view,
// and the style of each record: the given one, or the sublayer's with its
// classes.
struct CShapePass {
    CLayerReader reader;
    CFeatureSource* source = nullptr;
    CMapRect clip;
    CDrawStyle own;
    std::optional<CPassStyles> styles;

    // False when nothing is to be drawn.
    bool Open(CLayer& layer, const IDrawingView& view, const CDrawStyle* given)
    {
        const CSublayer* sublayer = given ? nullptr : SublayerDrawn(layer, view);
        if (!given && !sublayer)
            return false;
        source = OpenForDrawing(layer, reader);
        if (!source)
            return false;
        clip = ClipRect(view);
        source->SetQueryRect(&clip);
        own = given ? *given : sublayer->m_style.Draw();
        styles.emplace(sublayer, *source);
        return true;
    }
    bool IsClassified() const { return styles->IsClassified(); }
    // The style of the current record; false when no class holds it.
    bool StyleOfCurrent(CDrawStyle& style) const
    {
        if (!IsClassified()) {
            style = own;
            return true;
        }
        const CStyleRecord* classStyle = styles->ClassStyle();
        if (classStyle)
            style = classStyle->Draw();
        return classStyle != nullptr;
    }
};

// A number of a field of the current record; false when it holds none.
bool CurrentNumber(CFeatureSource& source, int field, double& value)
{
    std::string text;
    if (!source.GetFieldText(source.GetCurrentRecord(), field, text) || text.empty())
        return false;
    size_t used = 0;
    value = ParseDoubleC(text, &used);
    return used > 0 && std::isfinite(value);
}

class CLayerDrawing final : public ILayerDrawer {
public:
    void DrawLayer(CLayer& layer, CDC& dc, IDrawingView& view) override;
    void DrawLabels(CLayer& layer, CDC& dc, IDrawingView& view) override { DrawLayerLabels(layer, dc, view); }
    void DrawLineObjects(CLayer& layer, CDC& dc, IDrawingView& view, const CDrawStyle& style) override
    {
        DrawLines(layer, dc, view, &style);
    }
    void DrawAreaObjects(CLayer& layer, CDC& dc, IDrawingView& view, const CDrawStyle& style) override
    {
        DrawAreas(layer, dc, view, &style);
    }

private:
    static void DrawPoints(CLayer& layer, CDC& dc, IDrawingView& view, bool track);
    // With a style, every line in it; else in the sublayer's look.
    static void DrawLines(CLayer& layer, CDC& dc, IDrawingView& view, const CDrawStyle* given);
    static void DrawAreas(CLayer& layer, CDC& dc, IDrawingView& view, const CDrawStyle* given);
    // Lines and areas once for each style pass of the layer: lines by the
    // passes of kind 1, areas of an area layer by those of kind 2.
    static void DrawStylePasses(CLayer& layer, CDC& dc, IDrawingView& view);
    static void DrawTrackLine(CLayer& layer, CDC& dc, IDrawingView& view);
    static void DrawRaster(CLayer& layer, CDC& dc, IDrawingView& view);
};

void CLayerDrawing::DrawLayer(CLayer& layer, CDC& dc, IDrawingView& view)
{
    if (layer.HasFlag(CLayer::kGroup))
        return;
    if (layer.HasFlag(CLayer::kManyFiles)) {
        if (layer.StylePasses().empty() && !SublayerDrawn(layer, view))
            return;
        // Each file through the virtual slot, so a subclass draws its own way.
        ForEachFileInView(layer, view, [&] { layer.Draw(dc, view); });
        return;
    }
    if (!MeetsView(layer.GetExtent(), view))
        return;
    switch (layer.GetType()) {
    case CLayer::kPoint:
        DrawPoints(layer, dc, view, false);
        break;
    case CLayer::kLine:
    case CLayer::kArea:
        if (!layer.StylePasses().empty())
            DrawStylePasses(layer, dc, view);
        else if (layer.GetType() == CLayer::kLine)
            DrawLines(layer, dc, view, nullptr);
        else
            DrawAreas(layer, dc, view, nullptr);
        break;
    case CLayer::kRaster:
        DrawRaster(layer, dc, view);
        break;
    case CLayer::kTrack:
        DrawTrackLine(layer, dc, view);
        if (!GetDrawStopFlag())
            DrawPoints(layer, dc, view, true);
        break;
    default:
        break;
    }
}

void CLayerDrawing::DrawPoints(CLayer& layer, CDC& dc, IDrawingView& view, bool track)
{
    const CSublayer* sublayer = SublayerDrawn(layer, view);
    if (!sublayer)
        return;
    CLayerReader reader;
    CFeatureSource* source = OpenForDrawing(layer, reader);
    if (!source)
        return;
    const CMapRect extent = view.GetMapExtent();
    source->SetQueryRect(&extent);
    source->SetReadConverter(view.GetGeoToMapConverter());

    CPointStyle own = sublayer->m_style.Point();
    if (track) {
        // The fixes of a track show the track style's library symbol.
        own = CPointStyle();
        own.symbol = static_cast<uint16_t>(sublayer->m_style.Track().symbol);
    }
    const CPassStyles styles(sublayer, *source);
    const int rotation = (sublayer->m_labelFlags & CSublayer::kRotatedSymbols) && !sublayer->m_rotationField.empty()
                             ? source->GetTable().FindField(sublayer->m_rotationField)
                             : -1;
    const int scale = RoundedScale(view);
    CDC* second = view.GetMemoryDC();
    CDrawPoll poll(kPointsPerPoll);
    CMapPoint point;
    const auto drawOne = [&] {
        CPointStyle style = own;
        if (styles.IsClassified()) {
            const CStyleRecord* classStyle = styles.ClassStyle();
            if (!classStyle)
                return;
            style = classStyle->Point();
        }
        double degrees = 0;
        if (rotation >= 0 && CurrentNumber(*source, rotation, degrees))
            style.angle = static_cast<int32_t>(std::trunc(std::fmod(degrees, 360.0) * 10));
        const CPoint at = view.MapToDevice(point);
        DrawPointSymbol(dc, at.x, at.y, style, scale);
        if (second)
            DrawPointSymbol(*second, at.x, at.y, style, scale);
    };
    while (source->ReadNextPoint(point)) {
        drawOne();
        if (poll.Stop())
            return;
    }
}

void CLayerDrawing::DrawStylePasses(CLayer& layer, CDC& dc, IDrawingView& view)
{
    const std::vector<CStylePass> passes = layer.StylePasses();
    for (const CStylePass& pass : passes) {
        if (GetDrawStopFlag())
            break;
        if (pass.kind == 1)
            DrawLines(layer, dc, view, &pass.style);
        else if (pass.kind == 2 && layer.GetType() == CLayer::kArea)
            DrawAreas(layer, dc, view, &pass.style);
    }
}

void CLayerDrawing::DrawLines(CLayer& layer, CDC& dc, IDrawingView& view, const CDrawStyle* given)
{
    CShapePass pass;
    if (!pass.Open(layer, view, given))
        return;
    CFeatureSource* source = pass.source;
    CDC* second = view.GetMemoryDC();
    const CTransparentScope transparent(dc, second);
    CLinePainter painter(dc, second);
    CStyleKeeper<CLinePainter> pen(painter);
    CDeviceShape device;
    CShape shape;
    CDrawPoll poll(kShapesPerPoll);
    // Double lines get their inner pen only when every outer pen is down.
    std::vector<int32_t> inner;
    std::vector<CDrawStyle> innerStyles;
    const auto drawOne = [&] {
        CDrawStyle style;
        if (!pass.StyleOfCurrent(style) || IsInvisibleLine(style))
            return;
        if (style.IsDoubleLine()) {
            inner.push_back(source->GetCurrentRecord());
            if (pass.IsClassified())
                innerStyles.push_back(style);
        }
        if (device.Convert(shape, view, pass.clip, false)) {
            pen.Use(style.FirstPen());
            painter.DrawPolyPolyline(device.Points(), device.Counts(), device.PartCount());
        }
    };
    const bool outlines = layer.GetType() == CLayer::kArea;
    while (source->ReadNextShape(shape)) {
        if (outlines)
            CloseRings(shape);
        drawOne();
        if (poll.Stop())
            return;
    }
    if (inner.empty())
        return;

    source->SetRecordList(inner.data(), static_cast<int>(inner.size()));
    source->Rewind();
    size_t k = 0;
    while (k < inner.size() && source->ReadNextShape(shape)) {
        // A record the file no longer gives is passed over.
        while (k < inner.size() && inner[k] != source->GetCurrentRecord())
            ++k;
        if (k == inner.size())
            break;
        if (outlines)
            CloseRings(shape);
        const CDrawStyle& style = pass.IsClassified() ? innerStyles[k] : pass.own;
        ++k;
        if (device.Convert(shape, view, pass.clip, false)) {
            pen.Use(style.SecondPen());
            painter.DrawPolyPolyline(device.Points(), device.Counts(), device.PartCount());
        }
        if (poll.Stop())
            return;
    }
}

void CLayerDrawing::DrawAreas(CLayer& layer, CDC& dc, IDrawingView& view, const CDrawStyle* given)
{
    CShapePass pass;
    if (!pass.Open(layer, view, given))
        return;
    CAreaPainter painter(dc, view.GetMemoryDC());
    CStyleKeeper<CAreaPainter> look(painter);
    CDeviceShape device;
    CShape shape;
    CDrawPoll poll(kShapesPerPoll);
    const auto drawOne = [&] {
        CDrawStyle style;
        if (!pass.StyleOfCurrent(style) || IsInvisibleArea(style) || !device.Convert(shape, view, pass.clip, true))
            return;
        look.Use(style);
        painter.DrawPolyPolygon(device.Points(), device.Counts(), device.PartCount());
    };
    while (pass.source->ReadNextShape(shape)) {
        drawOne();
        if (poll.Stop())
            return;
    }
}

void CLayerDrawing::DrawTrackLine(CLayer& layer, CDC& dc, IDrawingView& view)
{
    const CSublayer* sublayer = SublayerDrawn(layer, view);
    if (!sublayer)
        return;
    const CTrackStyle track = sublayer->m_style.Track();
    if (!track.lineShown || (track.penStyle & 0xFFFF) == PS_NULL)
        return;
    CLayerReader reader;
    CFeatureSource* source = OpenForDrawing(layer, reader);
    if (!source)
        return;
    // The whole track is read, not only the fixes in the view: a track
    // that leaves the view and comes back must not be joined straight
    // across. The clipping keeps it to the view.
    source->SetReadConverter(view.GetGeoToMapConverter());
    const CMapRect clip = ClipRect(view);
    const int start = source->GetTable().FindField(kStartField);

    CDrawStyle pen;
    pen.penStyle = static_cast<uint32_t>(track.penStyle);
    pen.penWidth = static_cast<uint32_t>(track.penWidth);
    pen.penColor = track.penColor;
    pen.backColor = track.backColor;
    pen.brushStyle = BS_HOLLOW;
    const bool inPairs = (pen.penStyle & 0xFF) == kMarksBetweenFixes;
    CDC* second = view.GetMemoryDC();
    const CTransparentScope transparent(dc, second);
    CLinePainter painter(dc, second);
    painter.SetStyle(pen.FirstPen());

    CDeviceShape device;
    CShape trip;
    std::vector<CMapPoint> points;
    const auto drawTrip = [&] {
        if (points.size() < 2)
            return;
        trip.SetPoints(static_cast<int>(points.size()), points.data());
        if (!device.Convert(trip, view, clip, false))
            return;
        if (!inPairs) {
            painter.DrawPolyPolyline(device.Points(), device.Counts(), device.PartCount());
            return;
        }
        CPoint* part = device.Points();
        for (int k = 0; k < device.PartCount(); part += device.Counts()[k++])
            for (int i = 0; i + 1 < device.Counts()[k]; ++i)
                painter.DrawPolyline(part + i, 2);
    };
    CDrawPoll poll(kPointsPerPoll);
    std::string mark;
    CMapPoint point;
    while (source->ReadNextPoint(point)) {
        if (start >= 0 && !points.empty() && source->GetFieldText(source->GetCurrentRecord(), start, mark) &&
            !mark.empty() && mark[0] == kStartMark) {
            drawTrip();
            points.clear();
        }
        points.push_back(point);
        if (poll.Stop())
            return;
    }
    drawTrip();
}

void CLayerDrawing::DrawRaster(CLayer& layer, CDC& dc, IDrawingView& view)
{
    if (!SublayerDrawn(layer, view))
        return;
    // What the picture has to say (too large, memory short, a strip that
    // cannot be read) is told once, not at every redraw.
    std::vector<CHeldMessages::Message> complaints;
    {
        CHeldMessages held;
        std::unique_ptr<IRasterLayerPicture> picture = OpenRasterLayerPicture(layer.GetPath());
        if (!picture && held.Messages().empty()) {
            held.Release();
            ReportUnopenedFile(layer);
            return;
        }
        CMapRect extent, part;
        if (picture && picture->GetMapExtent(extent) && part.IntersectRect(extent, view.GetMapExtent()) &&
            part.Width() > 0 && part.Height() > 0) {
            picture->SetTransparent(layer.HasFlag(CLayer::kTransparent));
            if (EndsWithNoCase1257(layer.GetPath(), ".img"))
                picture->SetExtentDeviceRect(view.RectToDevice(extent));
            picture->DrawPart(dc, part, view.RectToDevice(part), view.GetMemoryDC());
        }
        complaints = held.Messages();
    }
    if (layer.ShouldReportOpenProblem(layer.GetPath(), !complaints.empty()))
        for (const CHeldMessages::Message& m : complaints)
            AppMessageBox(m.text, m.type, m.helpId);
}

CLayerDrawing g_drawing;

} // namespace

void InstallLayerDrawing()
{
    InstallGeoRasters();
    SetLayerDrawer(&g_drawing);
}
