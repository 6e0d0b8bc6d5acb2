#pragma once

#include "core/MapRect.h"
#include "layers/DrawingView.h"
#include "platform/DrawInterrupt.h"

#include <functional>
#include <string>

class CDC;
class CFeatureSource;
class CLayer;
class CLayerReader;
class CSublayer;

// What the drawing passes over a layer's data share: the objects drawn by
// render/LayerDrawing.cpp, the labels by render/LayerLabels.cpp.

// Lines, areas and tracks are read and clipped this much beyond the view,
// so that line caps and outlines at its border stay out of sight.
constexpr double kDrawClipMargin = 1.1;

// The sublayer in force at the view's scale when it draws anything (kind
// 1 or 2); null otherwise.
const CSublayer* SublayerDrawn(const CLayer& layer, const IDrawingView& view);
// The view's scale denominator rounded, as the painters take it.
int RoundedScale(const IDrawingView& view);

// Opens the layer's data afresh for one pass, with the layer's view of
// them, and takes a usable extent from the source into the layer. A file
// that will not open is told of once (message 1007 with its path), and
// what a file says while it opens (a damaged table) once too, not at every
// redraw. Null when there is nothing to read.
CFeatureSource* OpenForDrawing(CLayer& layer, CLayerReader& reader);
// Message 1007 for the layer's file, once.
void ReportUnopenedFile(const CLayer& layer);

// Runs draw once for each file of a layer made of many files whose extent
// meets the view, with the layer pointed at that file alone and its extent
// the file's; the extent the pass leaves goes back into the file entry.
// Stops when the interrupt check says so. Path, flags and extent of the
// layer come back afterwards.
void ForEachFileInView(CLayer& layer, const IDrawingView& view, const std::function<void()>& draw);

// The interrupt check every so many objects of a pass.
class CDrawPoll {
public:
    explicit CDrawPoll(int every) : m_every(every) {}
    // Counts an object; true when the pass must stop.
    bool Stop() { return ++m_count % m_every == 0 && CheckDrawInterrupt(); }

private:
    int m_every;
    int m_count = 0;
};

// The labels of the layer (CLayer::DrawLabels).
void DrawLayerLabels(CLayer& layer, CDC& dc, IDrawingView& view);
