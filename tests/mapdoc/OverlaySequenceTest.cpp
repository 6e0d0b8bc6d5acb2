// What the map view draws over its layers, and in which order, with every
// part that draws there stood in for by a fake that logs its call.
#include "mapdoc/DrelView.h"

#include "core/Shape.h"
#include "mapdoc/ExtensionHooks.h"
#include "mapdoc/MapGps.h"
#include "mapdoc/MapOverlay.h"
#include "mapdoc/PageSetup.h"
#include "mapdoc/RoutePoints.h"
#include "mapdoc/ScaleBarPainter.h"
#include "platform/DrawInterrupt.h"
#include "platform/VirtualKeys.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/ScriptedInputQueue.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

std::string MapModeName(const CDC& dc)
{
    return dc.GetMapMode() == MM_TEXT ? "pixels" : "mils";
}

class CLoggingFeedback : public CMapFeedback {
public:
    CLoggingFeedback(Log& log, std::string name) : m_log(log), m_name(std::move(name)) {}
    // The last phase says what the drawing before it left on the context.
    void DrawFinal(CDC& dc) override
    {
        m_log.push_back(m_name + " final rop " + std::to_string(dc.GetROP2()));
    }
    void DrawAfterCopy(CDC&) override { m_log.push_back(m_name + " copy"); }
    void DrawAfterRebuild(CDC&) override { m_log.push_back(m_name + " rebuild"); }

private:
    Log& m_log;
    std::string m_name;
};

class CLoggingTool : public CMapTool {
public:
    CLoggingTool(CDrelView* view, Log& log) : CMapTool(view), m_log(log) {}
    void DrawFinal(CDC&) override { m_log.push_back("tool final"); }
    void DrawAfterCopy(CDC&) override { m_log.push_back("tool copy"); }
    void DrawAfterRebuild(CDC&) override { m_log.push_back("tool rebuild"); }

private:
    Log& m_log;
};

// Changes the context as route points may, to show that it is put back.
class CLoggingRoutePoints : public IRoutePoints {
public:
    explicit CLoggingRoutePoints(Log& log) : m_log(log) {}
    void Draw(CDC& dc, CDrelView&) override
    {
        m_log.push_back("route points " + MapModeName(dc));
        dc.SetROP2(R2_XORPEN);
    }

private:
    Log& m_log;
};

class CLoggingOverlay : public CMapOverlay {
public:
    CLoggingOverlay(Log& log, std::string name) : m_log(log), m_name(std::move(name)) {}
    void Draw(CDC& dc, CDrelView&) override
    {
        m_log.push_back(m_name + " " + MapModeName(dc));
        dc.SetROP2(R2_NOT);
        dc.SetMapMode(MM_ANISOTROPIC);
    }
    bool GetRect(CDrelView&, CRect& rect) override
    {
        rect.SetRectEmpty();
        return false;
    }

private:
    Log& m_log;
    std::string m_name;
};

class CFakeGps : public IMapGpsSource, public IMapGpsPainter {
public:
    CFakeGps(Log& log) : m_log(log)
    {
        SetMapGpsSource(this);
        SetMapGpsPainter(this);
    }
    ~CFakeGps() override
    {
        SetMapGpsSource(nullptr);
        SetMapGpsPainter(nullptr);
    }
    CMapGpsFix GetFix() const override { return fix; }
    void DrawRecentTrack(CDC&, CDrelView&) override { m_log.push_back("track"); }
    void DrawVehicleMarker(CDC&, CDrelView&, const CMapGpsFix& marked, double course, int lost) override
    {
        m_log.push_back("marker " + std::to_string(static_cast<int>(course)) + " lost " + std::to_string(lost));
    }
    void DrawAutomationVehicle(CDC&, CDrelView&) override { m_log.push_back("vehicle"); }

    CMapGpsFix fix;

private:
    Log& m_log;
};

class CLoggingPageSetup : public IPageSetup {
public:
    explicit CLoggingPageSetup(Log& log) : m_log(log) { SetPageSetup(this); }
    ~CLoggingPageSetup() override { SetPageSetup(nullptr); }
    CPageSetupValues GetValues() const override
    {
        m_log.push_back("page outline");
        return {};
    }

private:
    Log& m_log;
};

class CLoggingScaleBar : public IScaleBarPainter {
public:
    explicit CLoggingScaleBar(Log& log) : m_log(log) {}
    void OnMapRedrawn(CDrelView&) override { m_log.push_back("scale bar redrawn"); }
    void DrawForExport(CDC&, CDrelView& view, const CRect& deviceRect) override
    {
        m_log.push_back(deviceRect == view.GetDeviceRect() ? "scale bar export" : "scale bar elsewhere");
    }

private:
    Log& m_log;
};

// The extension's drawing, and whether the buffer zone was there before it.
class CZoneCheckingExtension : public CExtensionHooks {
public:
    CZoneCheckingExtension(Log& log, CPoint zoneCentre, int radius) : m_log(log), m_centre(zoneCentre), m_radius(radius)
    {
        SetExtension(this);
    }
    ~CZoneCheckingExtension() override { SetExtension(nullptr); }
    void OnDraw(CDC* dc, CDrelView*) override
    {
        int purple = 0;
        for (int y = m_centre.y - m_radius; y <= m_centre.y + m_radius; y += 5)
            for (int x = m_centre.x - m_radius; x <= m_centre.x + m_radius; x += 5)
                purple += dc->GetPixel(x, y) == RGB(128, 0, 128);
        m_log.push_back(purple > 0 ? "extension over the zone" : "extension without the zone");
    }

private:
    Log& m_log;
    CPoint m_centre;
    int m_radius;
};

class CSequenceView : public CTestView {
public:
    using CTestView::CTestView;

protected:
    std::unique_ptr<CMapTool> MakeTool(int mode) override { return std::make_unique<CLoggingTool>(this, log); }
};

enum class Pass { kRebuild, kCopy, kPrint, kExport };

struct SequenceCase {
    const char* name;
    Pass pass;
    bool fix;
    double speed;
    int lost;
    int overlaysShown;
    Log expected;
};

void PrintTo(const SequenceCase& c, std::ostream* os)
{
    *os << c.name;
}

const Log kOverTheMap = {"route points mils", "overlay 1 pixels", "overlay 2 pixels", "road final rop 13",
                         "tool final", "page outline"};

Log Join(std::initializer_list<Log> pieces)
{
    Log joined;
    for (const Log& piece : pieces)
        joined.insert(joined.end(), piece.begin(), piece.end());
    return joined;
}

const Log kLayers = {"layer A", "layer B", "labels A", "labels B"};
const Log kRebuilt = Join({{"scale bar redrawn"}, kLayers, {"road rebuild", "tool rebuild"}});
const Log kZoneAndExtension = {"extension over the zone"};
const Log kGps = {"track", "marker 45 lost 0", "vehicle"};

const SequenceCase kCases[] = {
    {"rebuilt, with a fix", Pass::kRebuild, true, 10, 0, 1, Join({kRebuilt, kZoneAndExtension, kGps, kOverTheMap})},
    {"copied, with a fix", Pass::kCopy, true, 10, 0, 1,
     Join({{"road copy", "tool copy"}, kZoneAndExtension, kGps, kOverTheMap})},
    {"standing at 3 km/h", Pass::kCopy, true, 3, 0, 1,
     Join({{"road copy", "tool copy"}, kZoneAndExtension, {"track", "marker -1 lost 0", "vehicle"}, kOverTheMap})},
    {"just above 3 km/h, lost", Pass::kCopy, true, 3.01, 1, 1,
     Join({{"road copy", "tool copy"}, kZoneAndExtension, {"track", "marker 45 lost 1", "vehicle"}, kOverTheMap})},
    {"without a fix", Pass::kCopy, false, 10, 0, 1,
     Join({{"road copy", "tool copy"}, kZoneAndExtension, {"vehicle"}, kOverTheMap})},
    {"overlays hidden", Pass::kCopy, true, 10, 0, 0,
     Join({{"road copy", "tool copy"}, kZoneAndExtension, kGps,
           {"route points mils", "road final rop 13", "tool final", "page outline"}})},
    {"printed", Pass::kPrint, true, 10, 0, 1,
     Join({kLayers, {"road rebuild"}, kZoneAndExtension, {"route points mils"}})},
    {"exported", Pass::kExport, true, 10, 0, 1,
     Join({kLayers, {"road rebuild"}, kZoneAndExtension, {"route points mils", "scale bar export"}})},
};

class OverlaySequence : public ::testing::TestWithParam<SequenceCase> {
protected:
    void SetUp() override
    {
        SetMetreMap(doc, CMapRect(0, 1000, 2000, 0));
        for (const char* name : {"A", "B"})
            doc.AddLayer(MakeExtentLayer(name, CMapRect(0, 1000, 500, 0)), false);
        view.SetWindow(&window);
        view.OnSize(400, 200);
        MapToolMode = 5;
        ASSERT_EQ(view.CreateToolForMode(), 1);
        view.SetRoadDistance(std::make_unique<CLoggingFeedback>(log, "road"));
        view.SetRoutePoints(std::make_unique<CLoggingRoutePoints>(log));
        view.SetScaleBarPainter(&scaleBar);
        view.AddOverlay(std::make_unique<CLoggingOverlay>(log, "overlay 1"));
        view.AddOverlay(std::make_unique<CLoggingOverlay>(log, "overlay 2"));
        // A zone of 100 m round the middle of the map.
        CShape point;
        const CMapPoint middle(1000, 500);
        point.SetPoints(1, &middle);
        doc.BufferZones().AddZone(point, 0.1, CShape::kBufferBand);
        zoneCentre = view.MapToDevice(middle);
        zoneRadius = view.MapToDevice(CMapPoint(1100, 500)).x - zoneCentre.x;
    }
    void TearDown() override { MapToolMode = 0; }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CRecordingWindow window;
    CDrelDoc doc;
    CSequenceView view{doc};
    Log& log = view.log;
    CLoggingScaleBar scaleBar{log};
    CFakeGps gps{log};
    CLoggingPageSetup pageSetup{log};
    CPoint zoneCentre;
    int zoneRadius = 0;
};

} // namespace

TEST_P(OverlaySequence, DrawsInThePartsOrder)
{
    const SequenceCase& c = GetParam();
    gps.fix = CMapGpsFix();
    if (c.fix) {
        gps.fix.longitude = 1000;
        gps.fix.latitude = 500;
        gps.fix.speed = c.speed;
        gps.fix.course = 45;
        gps.fix.lost = c.lost;
    }
    view.SetOverlaysShown(c.overlaysShown);
    CZoneCheckingExtension extension(log, zoneCentre, zoneRadius);
    QImage image(400, 200, QImage::Format_RGB32);
    image.setDotsPerMeterX(kPixelsPerMetre);
    image.setDotsPerMeterY(kPixelsPerMetre);
    image.fill(Qt::white);
    CDC dc(image);
    if (c.pass == Pass::kCopy) {
        view.OnDraw(dc);
        ASSERT_TRUE(view.HasBackBuffer());
    }
    log.clear();

    // Waiting input stops screen passes only.
    CScriptedInputQueue queue;
    switch (c.pass) {
    case Pass::kRebuild:
    case Pass::kCopy:
        view.OnDraw(dc);
        break;
    case Pass::kPrint:
        queue.waiting.assign(4, {CWaitingInput::kKeyDown, VK_ESCAPE});
        dc.SetPrinting(true);
        view.OnDraw(dc);
        break;
    case Pass::kExport:
        queue.waiting.assign(4, {CWaitingInput::kKeyDown, VK_ESCAPE});
        view.DrawToDC(dc, nullptr, 0, 0);
        EXPECT_EQ(view.GetExportFlag(), 0);
        break;
    }
    log.pop_back(); // the test view's pass end
    EXPECT_EQ(log, c.expected) << c.name;
    if (c.pass == Pass::kPrint || c.pass == Pass::kExport) {
        EXPECT_EQ(queue.polls, 0) << "no input is looked at";
        EXPECT_EQ(queue.waiting.size(), 4u);
        EXPECT_EQ(GetDrawStopFlag(), 0);
        EXPECT_EQ(dc.GetMapMode(), MM_TEXT) << "the mapping it found";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OverlaySequence, ::testing::ValuesIn(kCases));
