#pragma once

// Installs the drawing of layers into map views behind CLayer::Draw,
// CLayer::DrawLabels and the one-style passes (layers/LayerDrawer.h):
// points, lines, areas, tracks and raster maps in the view's extent with
// the styles in force at its scale, and their labels. Map views install
// it; calling it again changes nothing.
void InstallLayerDrawing();
