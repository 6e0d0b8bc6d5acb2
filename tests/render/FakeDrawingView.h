#pragma once

#include "layers/DrawingView.h"
#include "platform/DC.h"
#include "tests/render/PixelArt.h"

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

// A view over 100-dpi images, one map unit a pixel: map x to the right,
// map y upwards from the top edge at 0, ten logical units a pixel. It logs
// the labels asked for and accepts them as acceptLabel and acceptQuad say
// (all of them unless set). The scale, the memory context and the
// converter from degrees are members.
class CFakeDrawingView : public IDrawingView {
public:
    struct LabelRequest {
        CRect rect;
        int force;
    };
    struct QuadRequest {
        std::array<CPoint, 4> corners;
        int force;
    };

    CFakeDrawingView(int width, int height, COLORREF paper = kWhite)
        : window(MakeImageAt(width, height, 100, paper)), backBuffer(MakeImageAt(width, height, 100, paper)),
          m_width(width), m_height(height)
    {
    }

    CMapRect GetMapExtent() const override { return CMapRect(0, 0, m_width, -m_height); }
    double GetScaleDenominator() const override { return scale; }
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
    CDC* GetMemoryDC() const override { return memoryDC; }
    int ReserveLabelRect(const CRect& r, int force) override
    {
        labels.push_back({r, force});
        return !acceptLabel || acceptLabel(r, force) ? 1 : 0;
    }
    int ReserveLabelQuad(const CPoint corners[4], int force) override
    {
        quads.push_back({{corners[0], corners[1], corners[2], corners[3]}, force});
        return !acceptQuad || acceptQuad(quads.back().corners, force) ? 1 : 0;
    }
    const CCoordConverter* GetGeoToMapConverter() const override { return geoToMap; }

    QImage window;
    QImage backBuffer;
    bool hasBackBuffer = false;
    std::vector<std::vector<CMapPoint>> converted;
    mutable int prepared = 0;
    int windowOpens = 0;
    std::vector<LabelRequest> labels;
    std::function<bool(const CRect&, int force)> acceptLabel;
    std::vector<QuadRequest> quads;
    std::function<bool(const std::array<CPoint, 4>&, int force)> acceptQuad;
    double scale = 1000;
    CDC* memoryDC = nullptr;
    const CCoordConverter* geoToMap = nullptr;

private:
    int m_width;
    int m_height;
    std::vector<CPoint> m_points;
};
