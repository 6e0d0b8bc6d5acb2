#pragma once

// The demo town's map views in the tests: the town itself, the places
// labels were given, and the objects of a layer in the view.

#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/Point.h"
#include "platform/Rect.h"
#include "tests/support/TestSupport.h"
#include "tools/demo/DemoMapWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The map file of the town of seed 1 at its default size, written once for
// the whole test program into a folder removed at its end.
inline std::string DemoMapPath()
{
    static const std::unique_ptr<CTempDir> folder = [] {
        CScriptedUserServices user;
        auto dir = std::make_unique<CTempDir>();
        std::string error;
        EXPECT_TRUE(MakeDemoMap(dir->Path(), {1, CDemoOptions::kDefaultStreets}, error)) << error;
        return dir;
    }();
    return folder->File(CDemoMapWriter::kMapFile);
}

using CQuad = std::array<CPoint, 4>;

// Whether two convex quadrilaterals share more than an edge: no side of
// either separates them.
inline bool QuadsOverlap(const CQuad& a, const CQuad& b)
{
    for (const CQuad* q : {&a, &b}) {
        for (int i = 0; i < 4; ++i) {
            const CPoint p = (*q)[i], n = (*q)[(i + 1) % 4];
            const double nx = -(n.y - p.y), ny = n.x - p.x;
            double minA = 1e300, maxA = -1e300, minB = 1e300, maxB = -1e300;
            for (const CPoint& c : a) {
                const double d = nx * c.x + ny * c.y;
                minA = std::min(minA, d);
                maxA = std::max(maxA, d);
            }
            for (const CPoint& c : b) {
                const double d = nx * c.x + ny * c.y;
                minB = std::min(minB, d);
                maxB = std::max(maxB, d);
            }
            if (maxA <= minB || maxB <= minA)
                return false;
        }
    }
    return true;
}

inline CQuad QuadOf(const CRect& r)
{
    return {CPoint(r.left, r.top), CPoint(r.right, r.top), CPoint(r.right, r.bottom), CPoint(r.left, r.bottom)};
}

// The map view as the program has it, keeping the places its register gave
// to labels (in the units of the drawing context).
class CLabelKeepingView : public CDrelView {
public:
    using CDrelView::CDrelView;
    int ReserveLabelRect(const CRect& r, int force) override
    {
        const int taken = CDrelView::ReserveLabelRect(r, force);
        if (taken)
            placed.push_back(QuadOf(r));
        return taken;
    }
    int ReserveLabelQuad(const CPoint corners[4], int force) override
    {
        const int taken = CDrelView::ReserveLabelQuad(corners, force);
        if (taken)
            placed.push_back({corners[0], corners[1], corners[2], corners[3]});
        return taken;
    }
    // The pairs of labels placed over each other.
    int CountOverlaps() const
    {
        int overlaps = 0;
        for (size_t i = 0; i < placed.size(); ++i)
            for (size_t j = i + 1; j < placed.size(); ++j)
                overlaps += QuadsOverlap(placed[i], placed[j]);
        return overlaps;
    }

    std::vector<CQuad> placed;
};

// Every object of the document's layer in the view's extent, with its
// attributes; points as shapes of one point.
inline void ForEachShapeInView(const CDrelView& view, const std::string& layerName,
                               const std::function<void(const CShape&, CFeatureSource&)>& visit)
{
    CLayer* layer = view.GetDocument().Layers().FindByName(layerName);
    ASSERT_NE(layer, nullptr);
    CLayerReader reader;
    ASSERT_TRUE(reader.OpenLayer(layer));
    const CMapRect extent = view.GetMapExtent();
    CFeatureSource& source = *reader.GetSource();
    // Tables of coordinates in degrees are read in map units, as drawn.
    source.SetReadConverter(view.GetGeoToMapConverter());
    source.SetQueryRect(&extent);
    CShape shape;
    if (layer->GetType() == CLayer::kPoint || layer->GetType() == CLayer::kTrack) {
        CMapPoint point;
        while (source.ReadNextPoint(point)) {
            shape.SetPoints(1, &point);
            visit(shape, source);
        }
        return;
    }
    while (source.ReadNextShape(shape))
        visit(shape, source);
}
