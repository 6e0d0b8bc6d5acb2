#pragma once

#include "layers/GridFile.h"
#include "layers/Layer.h"

#include <string>

class CThemeClassList;

// A raster elevation model: grid tiles (the file entries) drawn as
// coloured cells through the height classes of the first sublayer.
// Values are metres, or with kFieldStrength hundredths of dB(uV/m), or
// with kPlainValues numbers without a unit.
class CDtmLayer : public CLayer {
public:
    static const CRuntimeClass kClass;
    static CObject* CreateObject() { return new CDtmLayer; }

    CDtmLayer() = default;
    // An elevation layer whose first sublayer is classified.
    CDtmLayer(const std::string& name, const std::string& path);

    const CRuntimeClass* GetRuntimeClass() const override { return &kClass; }
    // The tiles whose stored extent meets the view, in order, each opened
    // afresh with its extent stored back into its file entry, and the part
    // of it inside the view painted through the height classes into dc and
    // the view's memory context. A tile that will not open, or says
    // anything while drawn, is told of once. Cells are blended with the
    // first sublayer's kInterpolateGrid.
    void Draw(CDC& dc, IDrawingView& view) override;
    // The elevation layer's sheet (layers/DtmLayerPropertySheet.h); page
    // groups 0 and 3 go to it, any other shows every page.
    bool EditProperties(CDrelDoc* document, int pageGroup) override;

    // The class list of the first sublayer; null when the layer has no sublayer.
    CThemeClassList* GetHeightClasses() const;
    // Twenty height ranges from below sea level to 4000 m in map colours,
    // then grey for every other value.
    void SetDefaultClasses();
    // The height classes as the grid paints them: each class's range and
    // fill colour, the last class taking every value the others leave.
    // Empty without classes or for classes of texts.
    CGridFile::ColourClasses GetColourClasses() const;
    // A grid value as the value tip shows it.
    std::string FormatValue(double value) const;
};
