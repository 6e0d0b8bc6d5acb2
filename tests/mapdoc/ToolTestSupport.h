#pragma once

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/LayerQueries.h"
#include "mapdoc/MeasureBoxes.h"
#include "mapdoc/ObjectMeasureBox.h"
#include "mapdoc/ObjectEditTool.h"
#include "mapdoc/RoadRouter.h"
#include "mapdoc/RoutePoints.h"
#include "mapdoc/ViewWindow.h"
#include "platform/DC.h"
#include "platform/WindowSurface.h"
#include "tests/mapdoc/ViewTestSupport.h"

#include <QImage>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class CRecordingBoxes;

// A window with pixels: the surface the view draws onto, the cursor it
// was given last, the legend's active layer, the result boxes it makes
// (logged when boxes is set). A repaint asked for runs at an update.
class CSurfaceWindow : public CRecordingWindow {
public:
    CSurfaceWindow(int width, int height) : surface(width, height) {}

    void InvalidateView() override
    {
        CRecordingWindow::InvalidateView();
        pending = true;
    }
    void UpdateView() override;
    CWindowSurface* GetSurface() override { return &surface; }
    void SetCursor(int cursorId) override { cursor = cursorId; }
    CLayer* GetActiveLayer() override { return activeLayer; }
    std::unique_ptr<IDistanceBox> CreateDistanceBox() override;
    std::unique_ptr<IAreaPerimeterBox> CreateAreaPerimeterBox() override;
    std::unique_ptr<IAzimuthBox> CreateAzimuthBox() override;
    std::unique_ptr<IObjectMeasureBox> CreateObjectAreaBox() override;
    std::unique_ptr<IObjectMeasureBox> CreateObjectLengthBox() override;

    CWindowSurface surface;
    int cursor = -1;
    CLayer* activeLayer = nullptr;
    CDrelView* view = nullptr;
    CRecordingBoxes* boxes = nullptr;
    bool pending = false;
};

inline void CSurfaceWindow::UpdateView()
{
    if (!pending || !view)
        return;
    pending = false;
    CDC dc(surface);
    view->OnDraw(dc);
}

// A view with a window of 400 x 200 pixels drawn once, over a metre map
// of 0..2000 x 0..1000 whose layers draw nothing.
struct CToolFixture {
    explicit CToolFixture(CDrelDoc& doc, int width = 400, int height = 200) : window(width, height)
    {
        view = std::make_unique<CTestView>(doc);
        window.view = view.get();
        view->SetWindow(&window);
        view->OnSize(width, height);
        Paint();
    }
    ~CToolFixture() { view->SetWindow(nullptr); }

    // A paint of the window, as the host runs it.
    void Paint()
    {
        window.pending = false;
        CDC dc(window.surface);
        view->OnDraw(dc);
    }
    // The window shows the map and nothing over it.
    bool SurfaceIsMap()
    {
        auto dc = view->OpenWindowDC();
        auto memory = view->OpenBackBufferDC(*dc);
        if (!memory)
            return false;
        QImage map(window.surface.Width(), window.surface.Height(), QImage::Format_RGB32);
        {
            CDC copy(map);
            copy.BitBlt(0, 0, map.width(), map.height(), memory.get(), 0, 0, SRCCOPY);
        }
        return window.surface.Image().convertToFormat(QImage::Format_RGB32) == map;
    }
    // Pixels of the window that are not white.
    int MarkedPixels() const
    {
        const QImage& image = window.surface.Image();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
        return count;
    }
    CPoint Client(double x, double y) const { return view->MapToClient(CMapPoint(x, y)); }

    CSurfaceWindow window;
    std::unique_ptr<CTestView> view;
};

// The log of the result boxes a CSurfaceWindow makes.
class CRecordingBoxes {
public:
    // "distance 0.000 1.500" and the like, in km with three decimals.
    std::vector<std::string> log;
    int open = 0; // boxes alive

    static std::string Pair(const char* name, double a, double b)
    {
        char text[96];
        std::snprintf(text, sizeof text, "%s %.3f %.3f", name, std::abs(a) < 5e-4 ? 0.0 : a, std::abs(b) < 5e-4 ? 0.0 : b);
        return text;
    }
    const std::string& Last() const
    {
        static const std::string none;
        return log.empty() ? none : log.back();
    }
};

template <class Interface>
class CLoggedBox : public Interface {
public:
    CLoggedBox(CRecordingBoxes& owner, const char* name) : m_owner(owner), m_name(name)
    {
        ++m_owner.open;
        m_owner.log.push_back(std::string("open ") + name);
    }
    ~CLoggedBox() override
    {
        --m_owner.open;
        m_owner.log.push_back(std::string("close ") + m_name);
    }

protected:
    void Log(double a, double b) { m_owner.log.push_back(CRecordingBoxes::Pair(m_name, a, b)); }
    CRecordingBoxes& m_owner;
    const char* m_name;
};

class CLoggedDistanceBox : public CLoggedBox<IDistanceBox> {
public:
    using CLoggedBox::CLoggedBox;
    void SetDistances(double segment, double total) override { Log(segment, total); }
};
class CLoggedAreaBox : public CLoggedBox<IAreaPerimeterBox> {
public:
    using CLoggedBox::CLoggedBox;
    void SetValues(double area, double perimeter) override { Log(area, perimeter); }
};
class CLoggedAzimuthBox : public CLoggedBox<IAzimuthBox> {
public:
    using CLoggedBox::CLoggedBox;
    void SetAzimuths(double forward, double back) override { Log(forward, back); }
};
class CLoggedValueBox : public CLoggedBox<IObjectMeasureBox> {
public:
    using CLoggedBox::CLoggedBox;
    void ShowMeasure(const std::string& name, double value) override
    {
        m_owner.log.push_back(std::string(m_name) + " " + name + " " + CRecordingBoxes::Pair("", value, 0).substr(1));
    }
};

inline std::unique_ptr<IDistanceBox> CSurfaceWindow::CreateDistanceBox()
{
    return boxes ? std::make_unique<CLoggedDistanceBox>(*boxes, "distance") : nullptr;
}
inline std::unique_ptr<IAreaPerimeterBox> CSurfaceWindow::CreateAreaPerimeterBox()
{
    return boxes ? std::make_unique<CLoggedAreaBox>(*boxes, "area") : nullptr;
}
inline std::unique_ptr<IAzimuthBox> CSurfaceWindow::CreateAzimuthBox()
{
    return boxes ? std::make_unique<CLoggedAzimuthBox>(*boxes, "azimuth") : nullptr;
}
inline std::unique_ptr<IObjectMeasureBox> CSurfaceWindow::CreateObjectAreaBox()
{
    return boxes ? std::make_unique<CLoggedValueBox>(*boxes, "object-area") : nullptr;
}
inline std::unique_ptr<IObjectMeasureBox> CSurfaceWindow::CreateObjectLengthBox()
{
    return boxes ? std::make_unique<CLoggedValueBox>(*boxes, "object-length") : nullptr;
}

// Route points that log the clicks they are given.
class CLoggingRoutePointsDouble : public IRoutePoints {
public:
    explicit CLoggingRoutePointsDouble(std::shared_ptr<std::vector<std::string>> log) : m_log(std::move(log)) {}
    void Draw(CDC&, CDrelView&) override {}
    void SetStart(CDrelView&, int x, int y) override { Log("start", x, y); }
    void SetFinish(CDrelView&, int x, int y) override { Log("finish", x, y); }
    void AddIntermediate(CDrelView&, int x, int y) override { Log("intermediate", x, y); }
    void MovePoint(CDrelView&, int x, int y) override { Log("move", x, y); }

private:
    void Log(const char* what, int x, int y)
    {
        m_log->push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
    }
    std::shared_ptr<std::vector<std::string>> m_log;
};

// The views' layer queries, but the area, length and record dialog only
// logged. Installed for its lifetime.
class CLoggingLayerQueries : public CLayerQueries {
public:
    CLoggingLayerQueries() { SetLayerQueries(this); }
    ~CLoggingLayerQueries() override { InstallLayerQueries(); }

    void ShowAreaAt(CLayer& layer, const CMapPoint& p, CDrelView&) override { Log("area", layer, p); }
    void ShowLengthAt(CLayer& layer, const CMapPoint& p, CDrelView&) override { Log("length", layer, p); }
    bool EditRecord(CLayer& layer, CDrelView&, int record, CDbfTable*) override
    {
        log.push_back("edit " + layer.GetName() + " " + std::to_string(record));
        return true;
    }

    std::vector<std::string> log;

private:
    void Log(const char* what, const CLayer& layer, const CMapPoint& p)
    {
        char text[128];
        std::snprintf(text, sizeof text, "%s %s %.0f,%.0f", what, layer.GetName().c_str(), p.x, p.y);
        log.push_back(text);
    }
};

// An editing tool with a selection set by the test; Save logs the edit it
// carries out.
class CScriptedEditTool : public CObjectEditTool {
public:
    CScriptedEditTool(CDrelView* view, std::shared_ptr<std::vector<std::string>> log)
        : CObjectEditTool(view), m_log(std::move(log))
    {
    }
    ~CScriptedEditTool() override { m_log->push_back("editor deleted"); }

    int GetSelectedCount() const override { return static_cast<int>(records.size()); }
    bool GetSelectedObject(int index, CLayer*& layer, int& record) const override
    {
        if (index < 0 || index >= GetSelectedCount())
            return false;
        layer = selectedLayer;
        record = records[static_cast<size_t>(index)];
        return true;
    }
    int Save() override
    {
        m_log->push_back("save " + std::to_string(m_pendingOperation));
        return CObjectEditTool::Save();
    }
    void Clear() override
    {
        m_log->push_back("clear");
        records.clear();
    }
    int MayQuit() override
    {
        m_log->push_back("editor may quit");
        return mayQuit;
    }
    int AcceptsNavigationChild() override { return acceptsChild; }

    CLayer* selectedLayer = nullptr;
    std::vector<int> records;
    int mayQuit = 1;
    int acceptsChild = 0;

private:
    std::shared_ptr<std::vector<std::string>> m_log;
};

// The road network of a test: straight legs along y = 0 from the x of one
// point to the x of the next, the end snapped onto that line; x above
// `unreachableFrom` cannot be routed. Installed for its lifetime.
class CLineRoadRouter : public IRoadRouter {
public:
    explicit CLineRoadRouter(double unreachableFrom) : m_unreachableFrom(unreachableFrom) {}
    bool RouteBetween(const CMapPoint& a, const CMapPoint& b, CMapPointArray& leg) override
    {
        if (b.x >= m_unreachableFrom)
            return false;
        leg.Add(CMapPoint(a.x, 0));
        leg.Add(CMapPoint(b.x, 0));
        return true;
    }

private:
    double m_unreachableFrom;
};

struct CInstalledLineRouter {
    explicit CInstalledLineRouter(double unreachableFrom = 1e300)
    {
        previous = SetRoadRouterMaker([unreachableFrom](const CDrelDoc&, const CRouteSettings&) {
            return std::make_unique<CLineRoadRouter>(unreachableFrom);
        });
    }
    ~CInstalledLineRouter() { SetRoadRouterMaker(std::move(previous)); }
    RoadRouterMaker previous;
};
