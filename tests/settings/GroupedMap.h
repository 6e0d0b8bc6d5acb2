#pragma once

#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "tests/mapdoc/DocTestSupport.h"

#include <string>

// A map of nested groups without files, for the layer management rules:
//   0 Keliai      line, shown
//   1 [Miestas]   group of 3, partly shown
//   2   Pastatai  area, shown, in the overview
//   3   [Vanduo]  group of 2, hidden
//   4     Upes    line, hidden
//   5     Ezerai  area, hidden
//   6   Taskai    point, shown
//   7 Trasa       track, hidden
//   8 Ortofoto    raster map, shown
//   9 Reljefas    elevation model, hidden
struct CGroupedMap {
    CGroupedMap()
    {
        const uint32_t shown = CLayer::kDefaultFlags & ~CLayer::kInOverview;
        const uint32_t hidden = shown & ~CLayer::kShown;
        doc.AddLayer(MakeLayer("Keliai", CLayer::kLine, shown), false);
        doc.AddLayer(MakeGroup("Miestas", 3), false);
        doc.AddLayer(MakeLayer("Pastatai", CLayer::kArea, shown | CLayer::kInOverview), false);
        doc.AddLayer(MakeGroup("Vanduo", 2), false);
        doc.AddLayer(MakeLayer("Upes", CLayer::kLine, hidden), false);
        doc.AddLayer(MakeLayer("Ezerai", CLayer::kArea, hidden), false);
        doc.AddLayer(MakeLayer("Taskai", CLayer::kPoint, shown), false);
        doc.AddLayer(MakeLayer("Trasa", CLayer::kTrack, hidden), false);
        doc.AddLayer(MakeLayer("Ortofoto", CLayer::kRaster, shown), false);
        doc.AddLayer(MakeLayer("Reljefas", CLayer::kElevation, hidden), false);
        doc.UpdateGroupVisibility(L("Vanduo"));
        doc.SetModifiedFlag(false);
    }
    CLayer* L(const std::string& name) const { return doc.Layers().FindByName(name); }

    CDrelDoc doc;
};
