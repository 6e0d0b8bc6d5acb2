#pragma once

#include "layers/DrawingView.h"
#include "platform/DC.h"
#include "tests/render/PixelArt.h"

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

// A view over 100-dpi images, one map unit a pixel: map x to the right,
// map y upwards from the top edge at 0, ten logical units a pixel. It logs
// the labels asked for and accepts them as acceptLabel says (all of them
// unless set).
class CFakeDrawingView : public IDrawingView {
public:
    struct LabelRequest {
        CRect rect;
        int force;
    };

    CFakeDrawingView(int width, int height, COLORREF paper = kWhite)
        : window(MakeImageAt(width, height, 100, paper)), backBuffer(MakeImageAt(width, height, 100, paper)),
          m_width(width), m_height(height)
    {
    }

    CMapRect GetMapExtent() const override { return CMapRect(0, 0, m_width, -m_height); }
    double GetScaleDenominator() const override { return 1000; }
    CPoint MapToDevice(const CMapPoint& p) const override
    {
        return CPoint(static_cast<int>(std::lround(p.x * 10)), static_cast<int>(std::lround(-p.y * 10)));
    }
    CRect RectToDevice(const CMapRect& r) const override
    {
        return CRect(MapToDevice(CMapPoint(r.left, r.top)), MapToDevice(CMapPoint(r.right, r.bottom)));
    }
    const std::vector<CPoint>& ShapeToDevicePoints(const CMapPoint* points, int count) override
    {
        converted.emplace_back(points, points + count);
        m_points.clear();
        for (int i = 0; i < count; ++i)
            m_points.push_back(MapToDevice(points[i]));
        return m_points;
    }
    int PrepareDCMapping(CDC& dc) const override
    {
        ++prepared;
        const int previous = dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(10, 10);
        dc.SetViewportExt(1, 1);
        return previous;
    }
    std::unique_ptr<CDC> OpenWindowDC() override
    {
        ++windowOpens;
        return std::make_unique<CDC>(window);
    }
    std::unique_ptr<CDC> OpenBackBufferDC(const CDC&) override
    {
        return hasBackBuffer ? std::make_unique<CDC>(backBuffer) : nullptr;
    }
    CDC* GetMemoryDC() const override { return nullptr; }
    int ReserveLabelRect(const CRect& r, int force) override
    {
        labels.push_back({r, force});
        return !acceptLabel || acceptLabel(r, force) ? 1 : 0;
    }
    int ReserveLabelQuad(const CPoint[4], int) override { return 1; }
    const CCoordConverter* GetGeoToMapConverter() const override { return nullptr; }

    QImage window;
    QImage backBuffer;
    bool hasBackBuffer = false;
    std::vector<std::vector<CMapPoint>> converted;
    mutable int prepared = 0;
    int windowOpens = 0;
    std::vector<LabelRequest> labels;
    std::function<bool(const CRect&, int force)> acceptLabel;

private:
    int m_width;
    int m_height;
    std::vector<CPoint> m_points;
};
