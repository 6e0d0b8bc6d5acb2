#pragma once

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/MapTool.h"
#include "mapdoc/ViewHost.h"
#include "mapdoc/ViewWindow.h"
#include "platform/DC.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// 96 dpi: MulDiv(100000, 96, 2540).
constexpr int kPixelsPerMetre = 3780;

// The application around the views, answering from its members. Installed
// for its lifetime.
class CRecordingViewHost : public IViewHost {
public:
    struct OpenRequest {
        CMapRect extent;
        int units;
        std::string ownPath;
    };

    CRecordingViewHost() { SetViewHost(this); }
    ~CRecordingViewHost() override { SetViewHost(nullptr); }

    void SetScaleText(double denominator) override { scaleTexts.push_back(denominator); }
    void SetMessageText(const std::string& text) override { messageTexts.push_back(text); }
    void SetLineEditing(bool on) override { lineEditing.push_back(on); }
    bool OpenBestMapForExtent(const CMapRect& extent, int units, const std::string& ownPath, int autoLoadOnly,
                              int convert, int zoom) override
    {
        openRequests.push_back({extent, units, ownPath});
        return opensMap;
    }
    bool IsMapLinked(const std::string& path) override { return path == linkedPath; }
    std::string GetConfigFilePath() override { return configPath; }
    int GetLayerOrderInLegend() override { return layerOrder; }

    std::vector<double> scaleTexts;
    std::vector<std::string> messageTexts; // status-bar pane 1
    std::vector<bool> lineEditing;
    std::vector<OpenRequest> openRequests;
    bool opensMap = false;
    std::string linkedPath;
    std::string configPath;
    int layerOrder = 1;
};

// A frame without widgets: counts repaints and legend rebuilds.
class CRecordingWindow : public IViewWindow {
public:
    void InvalidateView() override { ++invalidations; }
    void RebuildLegend() override { ++legendRebuilds; }
    CDrelView* GetOverview() override { return overview; }

    int invalidations = 0;
    int legendRebuilds = 0;
    CDrelView* overview = nullptr;
};

// A tool that logs its keys and answers MayQuit from a member.
class CRecordingTool : public CMapTool {
public:
    // The log is shared: a view deletes its tool after its own members are gone.
    CRecordingTool(CDrelView* view, std::shared_ptr<std::vector<std::string>> log, std::string name)
        : CMapTool(view), m_logOwner(std::move(log)), m_log(*m_logOwner), m_name(std::move(name))
    {
    }
    ~CRecordingTool() override { m_log.push_back(m_name + " deleted"); }
    int OnKeyDown(int key, int repeat, unsigned flags) override
    {
        m_log.push_back(m_name + " key " + std::to_string(key));
        return 1;
    }
    int OnLButtonDown(unsigned flags, int x, int y) override
    {
        m_log.push_back(m_name + " down " + std::to_string(x) + "," + std::to_string(y));
        return 1;
    }
    int MayQuit() override
    {
        m_log.push_back(m_name + " may quit");
        return mayQuit;
    }

    int mayQuit = 1;

private:
    std::shared_ptr<std::vector<std::string>> m_logOwner;
    std::vector<std::string>& m_log;
    std::string m_name;
};

// A layer drawn as its extent filled in the colour given for its name, in
// dc and in the view's memory context; a layer without one draws nothing.
inline void FillLayerExtent(CDrelView& view, CDC& dc, const CLayer& layer,
                            const std::map<std::string, COLORREF>& colours)
{
    auto it = colours.find(layer.GetName());
    if (it == colours.end())
        return;
    const CRect r = view.RectToDevice(layer.GetExtent());
    dc.FillSolidRect(r, it->second);
    if (CDC* memory = view.GetMemoryDC())
        memory->FillSolidRect(r, it->second);
}

// A view whose layers fill their extents with a colour of their own, and
// that logs what it draws and the requests it leaves to other parts.
class CTestView : public CDrelView {
public:
    explicit CTestView(CDrelDoc& document) : CDrelView(document) {}

    std::map<std::string, COLORREF> colours; // by layer name
    std::shared_ptr<std::vector<std::string>> logOwner = std::make_shared<std::vector<std::string>>();
    std::vector<std::string>& log = *logOwner;
    // Called after each layer's labels, with the layer's name.
    std::function<void(const std::string&)> afterLabels;
    // Tool modes that make a CRecordingTool.
    std::vector<int> modesWithTool;

    // The entries of the log that begin with the prefix, without it.
    std::vector<std::string> Drawn(const std::string& prefix) const
    {
        std::vector<std::string> names;
        for (const std::string& entry : log)
            if (entry.rfind(prefix, 0) == 0)
                names.push_back(entry.substr(prefix.size()));
        return names;
    }
    // Those of the first drawing pass in the log.
    std::vector<std::string> DrawnInFirstPass(const std::string& prefix) const
    {
        std::vector<std::string> names;
        for (const std::string& entry : log) {
            if (entry == "pass end")
                break;
            if (entry.rfind(prefix, 0) == 0)
                names.push_back(entry.substr(prefix.size()));
        }
        return names;
    }
    int PassCount() const { return static_cast<int>(Drawn("pass end").size()); }

    void OnDraw(CDC& dc) override
    {
        CDrelView::OnDraw(dc);
        log.push_back("pass end");
    }

protected:
    void DrawLayer(CDC& dc, CLayer& layer) override
    {
        log.push_back("layer " + layer.GetName());
        FillLayerExtent(*this, dc, layer, colours);
    }
    void DrawLayerLabels(CDC& dc, CLayer& layer) override
    {
        log.push_back("labels " + layer.GetName());
        if (afterLabels)
            afterLabels(layer.GetName());
    }
    std::unique_ptr<CMapTool> MakeTool(int mode) override
    {
        for (int m : modesWithTool)
            if (m == mode)
                return std::make_unique<CRecordingTool>(this, logOwner, "tool" + std::to_string(mode));
        return nullptr;
    }
    void OnPointInMap(const CMapPoint& p) override { log.push_back("point in map"); }
    void ShowObjectsAtPoint() override { log.push_back("objects at point"); }
    void ShowContextMenu(int x, int y) override
    {
        log.push_back("menu " + std::to_string(x) + "," + std::to_string(y));
    }
};

// A map in metres (one unit a metre) with the limits.
inline void SetMetreMap(CDrelDoc& doc, const CMapRect& limits)
{
    doc.Settings().mapUnits = kUnitsMetres;
    doc.Settings().limits = limits;
}

// A layer whose extent is the rectangle.
inline std::unique_ptr<CLayer> MakeExtentLayer(const std::string& name, const CMapRect& extent,
                                               uint32_t flags = CLayer::kDefaultFlags)
{
    auto layer = std::make_unique<CLayer>(name, "C:\\data\\" + name + ".gdb", CLayer::kArea);
    layer->SetFlags(flags);
    layer->SetExtent(extent);
    return layer;
}
