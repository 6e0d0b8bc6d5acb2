#include "core/Shape.h"
#include "layers/DrawingView.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/Sublayer.h"
#include "platform/NumberText.h"
#include "render/LabelPainter.h"
#include "render/LayerPass.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr int kLabelsPerPoll = 8;
// A point table with this field turns each label by its value in degrees.
constexpr const char* kAngleField = "_Angle";

// Placements of line labels: the top edge, the bottom edge or the middle on the line.
constexpr int kTopOnLine = 0;
constexpr int kBottomOnLine = 8;
constexpr int kCentredOnLine = 24;

int RoundToInt(double v)
{
    return static_cast<int>(std::lround(std::clamp(v, -1e9, 1e9)));
}

// A label's frame turned about its anchor, in logical units: s runs along
// the text, t down across it; the angle is counterclockwise as the
// contexts turn text, in tenths of a degree.
class CTurnedFrame {
public:
    // Along the text is the unit vector (ux, uy) of the device.
    CTurnedFrame(double x, double y, double ux, double uy) : m_x(x), m_y(y), m_ux(ux), m_uy(uy) {}
    static CTurnedFrame ByAngle(double x, double y, int tenths)
    {
        const double radians = tenths * std::numbers::pi / 1800;
        return CTurnedFrame(x, y, std::cos(radians), -std::sin(radians));
    }
    // Across the text is along it turned a quarter clockwise on the device.
    double X(double s, double t) const { return m_x + s * m_ux - t * m_uy; }
    double Y(double s, double t) const { return m_y + s * m_uy + t * m_ux; }
    CPoint At(double s, double t) const { return CPoint(RoundToInt(X(s, t)), RoundToInt(Y(s, t))); }
    void Corners(double s0, double t0, double s1, double t1, CPoint corners[4]) const
    {
        corners[0] = At(s0, t0);
        corners[1] = At(s1, t0);
        corners[2] = At(s1, t1);
        corners[3] = At(s0, t1);
    }

private:
    double m_x, m_y;
    double m_ux, m_uy;
};

bool CornersInside(const CPoint corners[4], const CRect& visible)
{
    for (int i = 0; i < 4; ++i)
        if (!visible.PtInRect(corners[i]))
            return false;
    return true;
}

// Logical units of the view's contexts back to map units.
class CDeviceToMap {
public:
    explicit CDeviceToMap(const IDrawingView& view) : m_extent(view.GetMapExtent()), m_device(view.GetDeviceRect()) {}
    bool IsUsable() const { return m_device.right != m_device.left && m_device.bottom != m_device.top; }
    CMapPoint operator()(double x, double y) const
    {
        return CMapPoint(m_extent.left + (x - m_device.left) * m_extent.Width() / (m_device.right - m_device.left),
                         m_extent.top + (y - m_device.top) * (m_extent.bottom - m_extent.top) /
                                            (m_device.bottom - m_device.top));
    }

private:
    CMapRect m_extent;
    CRect m_device;
};

// What every label of one layer pass shares.
struct CLabelPass {
    IDrawingView& view;
    CFeatureSource& source;
    CLabelPainter& painter;
    const CSublayer& sublayer;
    int field;
    CRect visible;
    bool frame;
    int force;

    // The label text of the current record; false when it has none.
    bool Text(std::string& text) const
    {
        return source.GetFieldText(source.GetCurrentRecord(), field, text) && !text.empty();
    }
    // Draws the text turned, from the corner (s0, t0) of its box w x h in
    // the frame, when the frame's corners lie in the view and the register
    // takes them.
    bool DrawTurned(const CTurnedFrame& turned, double s0, double t0, const CSize& size, int angle,
                    const std::string& text) const
    {
        CPoint corners[4];
        FrameCorners(turned, s0, t0, size, corners);
        if (!CornersInside(corners, visible) || !view.ReserveLabelQuad(corners, force))
            return false;
        const CPoint at = turned.At(s0, t0);
        painter.DrawRotatedText(at.x, at.y, text, angle, corners);
        return true;
    }
    // The frame of the text's box w x h from (s0, t0): the box, enlarged with a frame.
    void Frame(double s0, double t0, const CSize& size, double& fs0, double& ft0, double& fs1, double& ft1) const
    {
        const double h = size.cy;
        const double dx = frame ? h / 6 : 0, dy = frame ? h / 10 : 0;
        fs0 = s0 - dx;
        ft0 = t0 - dy;
        fs1 = s0 + size.cx + dx;
        ft1 = t0 + h + dy;
    }
    void FrameCorners(const CTurnedFrame& turned, double s0, double t0, const CSize& size, CPoint corners[4]) const
    {
        double fs0, ft0, fs1, ft1;
        Frame(s0, t0, size, fs0, ft0, fs1, ft1);
        turned.Corners(fs0, ft0, fs1, ft1, corners);
    }
};

void DrawPointLabels(CLabelPass& pass)
{
    CFeatureSource& source = pass.source;
    const int angleField = source.GetTable().FindField(kAngleField);
    CDrawPoll poll(kLabelsPerPoll);
    CMapPoint point;
    std::string text, angleText;
    while (source.ReadNextPoint(point)) {
        if (pass.Text(text)) {
            const CPoint at = pass.view.MapToDevice(point);
            size_t used = 0;
            double degrees = 0;
            if (angleField >= 0 && source.GetFieldText(source.GetCurrentRecord(), angleField, angleText))
                degrees = ParseDoubleC(angleText, &used);
            if (angleField < 0) {
                pass.painter.DrawLabel(at.x, at.y, text);
            } else if (used > 0 && std::isfinite(degrees)) {
                const int angle = RoundToInt(std::fmod(degrees, 360.0) * 10);
                const CSize size = pass.painter.GetTextExtent(text);
                // The text stands on the point, raised by five sixths of its height.
                const CTurnedFrame turned = CTurnedFrame::ByAngle(at.x, at.y, angle);
                pass.DrawTurned(turned, 0, -5.0 * size.cy / 6, size, angle, text);
            }
        }
        if (poll.Stop())
            return;
    }
}

// The label along the segment p-q of the line, when it finds room there.
bool TryLineLabel(const CLabelPass& pass, const CShape& line, CMapPoint p, CMapPoint q, bool first,
                  const CSize& size, const CDeviceToMap& toMap, const std::string& text)
{
    CPoint a = pass.view.MapToDevice(p);
    CPoint b = pass.view.MapToDevice(q);
    // Read from left to right, upwards when upright.
    if (b.x < a.x || (b.x == a.x && b.y > a.y))
        std::swap(a, b);
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0)
        return false;
    const CTurnedFrame turned((a.x + b.x) / 2.0, (a.y + b.y) / 2.0, dx / length, dy / length);

    const double w = size.cx, h = size.cy;
    const int placement = pass.sublayer.m_labelPlacement;
    double s0 = 0, t0 = 0;
    switch (placement) {
    case kTopOnLine:
        s0 = -w / 2;
        break;
    case kBottomOnLine:
        s0 = -w / 2;
        t0 = -h;
        break;
    case kCentredOnLine:
        s0 = -w / 2;
        t0 = -h / 2;
        break;
    default:
        break;
    }
    // A label longer than its segment must still lie along the line: the
    // middles of its short sides.
    double fs0, ft0, fs1, ft1;
    pass.Frame(s0, t0, size, fs0, ft0, fs1, ft1);
    const double middle = (ft0 + ft1) / 2;
    const CMapPoint m1 = toMap(turned.X(fs0, middle), turned.Y(fs0, middle));
    const CMapPoint m2 = toMap(turned.X(fs1, middle), turned.Y(fs1, middle));
    const double labelLength = std::max(std::fabs(m2.x - m1.x), std::fabs(m2.y - m1.y));
    const double segmentLength = std::max(std::fabs(q.x - p.x), std::fabs(q.y - p.y));
    if (first || labelLength > segmentLength) {
        double tolerance = labelLength * h / w;
        if (placement == kCentredOnLine)
            tolerance /= 2;
        // Near the line is near its box first: most labels of short lines end here.
        CMapRect near = line.GetExtent();
        near.left -= tolerance;
        near.right += tolerance;
        near.bottom -= tolerance;
        near.top += tolerance;
        const auto inside = [&near](const CMapPoint& m) {
            return m.x >= near.left && m.x <= near.right && m.y >= near.bottom && m.y <= near.top;
        };
        int index = 0;
        if (!inside(m1) || !inside(m2) || !line.HitTestSegment(m1, tolerance, -1, index) ||
            !line.HitTestSegment(m2, tolerance, -1, index))
            return false;
    }
    const int angle = RoundToInt(std::atan2(-dy, dx) * 1800 / std::numbers::pi);
    return pass.DrawTurned(turned, s0, t0, size, angle, text);
}

void DrawLineLabels(CLabelPass& pass)
{
    const CDeviceToMap toMap(pass.view);
    if (!toMap.IsUsable())
        return;
    const CMapRect extent = pass.view.GetMapExtent();
    CFeatureSource& source = pass.source;
    CDrawPoll poll(kLabelsPerPoll);
    CShape line;
    std::string text;
    const auto labelOne = [&] {
        if (!pass.Text(text))
            return;
        const CSize size = pass.painter.GetTextExtent(text);
        if (size.cx <= 0 || size.cy <= 0)
            return;
        CMapPoint p, q;
        if (line.GetLongestSegment(p, q, &extent) && TryLineLabel(pass, line, p, q, true, size, toMap, text))
            return;
        for (int k = 0, first = 0; k < line.GetPartCount(); first += line.GetPartSize(k++)) {
            const int end = std::min(first + line.GetPartSize(k), line.GetPointCount());
            for (int i = first; i + 1 < end; ++i) {
                if (!extent.ClipSegment(line.GetPoint(i), line.GetPoint(i + 1), p, q) || p == q)
                    continue;
                if (TryLineLabel(pass, line, p, q, false, size, toMap, text))
                    return;
            }
        }
    };
    while (source.ReadNextShape(line)) {
        labelOne();
        if (poll.Stop())
            return;
    }
}

void DrawAreaLabels(CLabelPass& pass)
{
    CDrawPoll poll(kLabelsPerPoll);
    CMapPoint point;
    std::string text;
    while (pass.source.ReadNextShapeLabelPoint(point)) {
        if (pass.Text(text)) {
            const CPoint at = pass.view.MapToDevice(point);
            pass.painter.DrawLabel(at.x, at.y, text);
        }
        if (poll.Stop())
            return;
    }
}

} // namespace

void DrawLayerLabels(CLayer& layer, CDC& dc, IDrawingView& view)
{
    if (layer.HasFlag(CLayer::kGroup))
        return;
    const CSublayer* sublayer = SublayerDrawn(layer, view);
    if (!sublayer || sublayer->m_labelField.empty())
        return;
    if (layer.HasFlag(CLayer::kManyFiles)) {
        ForEachFileInView(layer, view, [&] { DrawLayerLabels(layer, dc, view); });
        return;
    }
    const int type = layer.GetType();
    if (type != CLayer::kPoint && type != CLayer::kTrack && type != CLayer::kLine && type != CLayer::kArea)
        return;
    if (!MeetsView(layer.GetExtent(), view))
        return;
    CLayerReader reader;
    CFeatureSource* source = OpenForDrawing(layer, reader);
    if (!source)
        return;
    const int field = source->GetTable().FindField(sublayer->m_labelField);
    if (field < 0)
        return;
    const CMapRect extent = view.GetMapExtent();
    source->SetQueryRect(&extent);
    if (type == CLayer::kPoint || type == CLayer::kTrack)
        source->SetReadConverter(view.GetGeoToMapConverter());

    CLabelPainter painter(&view, dc, view.GetMemoryDC());
    painter.SetLabelStyle(*sublayer, RoundedScale(view));
    CRect visible = view.GetDeviceRect();
    visible.NormalizeRect();
    const uint32_t flags = sublayer->m_labelFlags;
    CLabelPass pass{view,    *source, painter, *sublayer, field, visible, (flags & CSublayer::kLabelFrame) != 0,
                    (flags & CSublayer::kShowAllLabels) ? 1 : 0};
    if (type == CLayer::kLine)
        DrawLineLabels(pass);
    else if (type == CLayer::kArea)
        DrawAreaLabels(pass);
    else
        DrawPointLabels(pass);
}
