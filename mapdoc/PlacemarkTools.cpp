#include "mapdoc/PlacemarkTools.h"

#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/StyleRecord.h"
#include "layers/Sublayer.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/SearchDialogs.h"
#include "mapdoc/ViewWindow.h"
#include "platform/UserServices.h"
#include "render/SymbolLibrary.h"

namespace {

constexpr int kObjectsLocked = 1021;
constexpr int kInfoLocked = 1035;
constexpr int kDeleteObjects = 2024;
constexpr int kSymbolSquare = 32;
constexpr int kPlaceCursor = 401;
constexpr int kDeleteCursor = 1077;
constexpr int kPickCursor = 175;
constexpr int kEditCursor = 116;

// The placemark layer named in the map's settings when it is a point ".dbf"
// layer that may be written and has the flag; null (a message for the last
// two) otherwise.
CLayer* UsablePlacemarkLayer(CDrelDoc& document, uint32_t flag, int refusal)
{
    if (!document.HasPlacemarksLayer())
        return nullptr;
    CLayer* layer = document.Layers().FindByName(document.Settings().placemarksLayer);
    if (!layer || layer->CheckReadOnly())
        return nullptr;
    if (!layer->HasFlag(flag)) {
        AppMessageBox(refusal);
        return nullptr;
    }
    return layer;
}

// The placemark under the click, marked alone on the view; -1 when none.
int PickPlacemark(CLayer& layer, CDrelView& view, CLayerReader& reader, int x, int y)
{
    const int record = layer.HitTest(view.ClientToMap(x, y), reader, view);
    CMapPoint point;
    if (record < 0 || !reader.GetSource() || !reader.GetSource()->ReadPoint(record, point))
        return -1;
    view.ClearOverlays();
    view.AddOverlayPoint(point);
    return record;
}

// The usable placemark layer's placemark under the click, marked, open in
// the reader; -1 when none.
int PickUsablePlacemark(CDrelView& view, uint32_t flag, int refusal, CLayerReader& reader, int x, int y,
                        CLayer*& layer)
{
    layer = UsablePlacemarkLayer(view.GetDocument(), flag, refusal);
    return layer ? PickPlacemark(*layer, view, reader, x, y) : -1;
}

} // namespace

// ------------------------------------------------------------ add

int CAddPlacemarkTool::OnLButtonDown(unsigned flags, int x, int y)
{
    CDrelDoc& document = m_view->GetDocument();
    CLayer* layer = document.GetPlacemarksLayer();
    if (!layer || layer->CheckReadOnly())
        return 1;
    m_point = m_view->ClientToMap(x, y);
    CStyleRecord style;
    layer->GetStyleForScale(m_view->GetScaleDenominator(), style);
    // New placemarks take the symbol of the classes' last one (SYMBOL -1).
    if (const CSublayer* first = layer->GetSublayer(0);
        first && first->m_kind == CSublayer::kClassified && first->m_classes.GetCount() > 0)
        style = first->m_classes.GetClass(first->m_classes.GetCount() - 1)->m_style;
    m_style = style.Point();
    m_layer = layer;
    RepaintSymbolArea();

    document.AppendPlacemark(*layer, m_point, true);
    // Accepted, the views redraw anyway; cancelled, the symbol goes.
    m_layer = nullptr;
    RepaintSymbolArea();
    return 1;
}

int CAddPlacemarkTool::OnSetCursor()
{
    m_view->SetCursor(kPlaceCursor);
    return 1;
}

void CAddPlacemarkTool::RepaintSymbolArea()
{
    IViewWindow* window = m_view->GetWindow();
    if (!window)
        return;
    if (m_style.kind != CPointStyle::kLibrary) {
        window->InvalidateView();
    } else {
        const CPoint p = m_view->MapToClient(m_point);
        window->InvalidateRect(CRect(p.x - kSymbolSquare / 2, p.y - kSymbolSquare / 2, p.x + kSymbolSquare / 2,
                                     p.y + kSymbolSquare / 2));
    }
    window->UpdateView();
}

void CAddPlacemarkTool::DrawFinal(CDC& dc)
{
    CMapTool::DrawFinal(dc);
    if (!m_layer)
        return;
    const CPoint p = m_view->MapToDevice(m_point);
    SymbolLibrary().DrawPointStyle(dc, p.x, p.y, m_style, static_cast<int>(m_view->GetScaleDenominator() + 0.5));
}

// ------------------------------------------------------------ delete

int CDeletePlacemarkTool::OnLButtonDown(unsigned flags, int x, int y)
{
    CLayerReader reader;
    CLayer* layer;
    const int record = PickUsablePlacemark(*m_view, CLayer::kObjectsEditable, kObjectsLocked, reader, x, y, layer);
    if (record < 0)
        return 1;
    CDrelDoc& document = m_view->GetDocument();
    const bool yes = AskYesNo(kDeleteObjects);
    m_view->ClearOverlays();
    if (yes && reader.GetSource()->DeleteRecord(record)) {
        reader.Close();
        document.UpdateAllViews(kHintRedraw);
    }
    return 1;
}

int CDeletePlacemarkTool::OnSetCursor()
{
    m_view->SetCursor(kDeleteCursor);
    return 1;
}

// ------------------------------------------------------------ edit

int CEditPlacemarkTool::OnSetCursor()
{
    m_view->SetCursor(kEditCursor);
    return 1;
}

int CEditPlacemarkTool::OnLButtonDown(unsigned flags, int x, int y)
{
    CLayerReader reader;
    CLayer* layer;
    const int record = PickUsablePlacemark(*m_view, CLayer::kInfoEditable, kInfoLocked, reader, x, y, layer);
    if (record < 0)
        return 1;
    CDrelDoc& document = m_view->GetDocument();
    CDbfTable* table = reader.GetSource()->GetRecordTable(record);
    const bool accepted = table && SearchDialogs().EditPlacemark(*table, *layer);
    m_view->ClearOverlays();
    if (accepted) {
        table->WriteRecord();
        reader.Close();
        document.UpdateAllViews(kHintRedraw);
    }
    return 1;
}

// ------------------------------------------------------------ move

CMovePlacemarkTool::~CMovePlacemarkTool()
{
    Clear();
}

void CMovePlacemarkTool::Clear()
{
    if (m_view)
        m_view->ClearOverlays();
}

int CMovePlacemarkTool::OnSetCursor()
{
    m_view->SetCursor(m_record < 0 ? kPickCursor : kPlaceCursor);
    return 1;
}

int CMovePlacemarkTool::OnLButtonDown(unsigned flags, int x, int y)
{
    CDrelDoc& document = m_view->GetDocument();
    CLayer* layer = UsablePlacemarkLayer(document, CLayer::kInfoEditable, kInfoLocked);
    if (!layer)
        return 1;
    if (m_record < 0) {
        CLayerReader reader;
        m_record = PickPlacemark(*layer, *m_view, reader, x, y);
        return 1;
    }
    CLayerReader reader;
    if (!reader.Open(layer->GetPath()))
        return 1;
    CFeatureSource& source = *reader.GetSource();
    source.SetReadConverter(document.GetGeoToMapConverter());
    source.SetWriteConverter(document.GetMapToGeoConverter());
    const bool moved = source.ReplacePoint(m_view->ClientToMap(x, y), m_record);
    reader.Close();
    m_view->ClearOverlays();
    m_record = -1;
    if (moved)
        document.UpdateAllViews(kHintRedraw);
    return 1;
}

std::unique_ptr<CMapTool> MakePlacemarkTool(CDrelView& view, int mode)
{
    switch (mode) {
    case kModeAddPlacemark:
        return std::make_unique<CAddPlacemarkTool>(&view);
    case kModeDeletePlacemark:
        return std::make_unique<CDeletePlacemarkTool>(&view);
    case kModeMovePlacemark:
        return std::make_unique<CMovePlacemarkTool>(&view);
    case kModeEditPlacemark:
        return std::make_unique<CEditPlacemarkTool>(&view);
    default:
        return nullptr;
    }
}
