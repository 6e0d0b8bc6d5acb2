#pragma once

class CDC;
class CLayer;
class IDrawingView;
struct CDrawStyle;

// How layers draw into a map view. The drawing needs the painters, which
// sit above the layers; they install their drawer here. Until one is
// installed layers draw nothing.
class ILayerDrawer {
public:
    virtual ~ILayerDrawer() = default;
    // The layer's objects in the view's extent (CLayer::Draw).
    virtual void DrawLayer(CLayer& layer, CDC& dc, IDrawingView& view) = 0;
    // The layer's labels, through the view's label register.
    virtual void DrawLabels(CLayer& layer, CDC& dc, IDrawingView& view) = 0;
    // Every line, or every area, of the layer in the view in one style.
    virtual void DrawLineObjects(CLayer& layer, CDC& dc, IDrawingView& view, const CDrawStyle& style) = 0;
    virtual void DrawAreaObjects(CLayer& layer, CDC& dc, IDrawingView& view, const CDrawStyle& style) = 0;
};

// Null while none is installed.
ILayerDrawer* GetLayerDrawer();
// Installs a drawer; null removes it. The caller keeps ownership.
void SetLayerDrawer(ILayerDrawer* drawer);
