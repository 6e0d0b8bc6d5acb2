#pragma once

#include "layers/PointStyle.h"
#include "mapdoc/MapTool.h"
#include "core/MapPoint.h"

#include <memory>

class CLayer;

// The mouse tools of the document's placemark layer (modes 24 to 27):
// add a placemark at a click, delete, move or describe the one under the
// cursor. Every change goes to the layer's file at once and the views of
// the document redraw. The tools other than adding need the placemark
// layer named in the map's settings; a read-only file is refused with
// message 1044, a layer without the right flag with 1021 or 1035.
class CAddPlacemarkTool : public CMapTool {
public:
    using CMapTool::CMapTool;
    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnSetCursor() override;
    // The placemark's symbol while its dialog is open.
    void DrawFinal(CDC& dc) override;

private:
    // The view's pixels the temporary symbol takes, or all of them.
    void RepaintSymbolArea();

    CLayer* m_layer = nullptr; // while the dialog is open
    CPointStyle m_style;
    CMapPoint m_point;
};

class CDeletePlacemarkTool : public CMapTool {
public:
    using CMapTool::CMapTool;
    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnSetCursor() override;
};

class CEditPlacemarkTool : public CMapTool {
public:
    using CMapTool::CMapTool;
    int OnLButtonDown(unsigned flags, int x, int y) override;
    int OnSetCursor() override;
};

class CMovePlacemarkTool : public CMapTool {
public:
    using CMapTool::CMapTool;
    ~CMovePlacemarkTool() override;
    // The first click picks the placemark under it, the next one moves it there.
    int OnLButtonDown(unsigned flags, int x, int y) override;
    // 175 while nothing is picked, 401 while a placemark is.
    int OnSetCursor() override;
    void Clear() override;
    int GetPickedRecord() const { return m_record; }

private:
    int m_record = -1;
};

// The placemark tool of modes 24 to 27; null for other modes.
std::unique_ptr<CMapTool> MakePlacemarkTool(CDrelView& view, int mode);
