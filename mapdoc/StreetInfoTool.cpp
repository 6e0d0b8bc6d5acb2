#include "mapdoc/StreetInfoTool.h"

#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/ViewHost.h"
#include "platform/UserServices.h"

#include <cfloat>
#include <cstdlib>

namespace {

CStreetInfoTool::AddressLabeller& Labeller()
{
    static CStreetInfoTool::AddressLabeller labeller;
    return labeller;
}

} // namespace

void CStreetInfoTool::SetAddressLabeller(AddressLabeller labeller)
{
    Labeller() = std::move(labeller);
}

int CStreetInfoTool::OnLButtonDown(unsigned flags, int x, int y)
{
    m_view->ClearOverlays();
    CDrelDoc& document = m_view->GetDocument();
    // Looked up quietly: a click is no place for a settings message.
    const CMapSettings& settings = document.Settings();
    CLayer* streets = settings.streetsLayer.empty() ? nullptr : document.Layers().FindByName(settings.streetsLayer);
    if (!streets || streets->GetType() != CLayer::kLine) {
        AppBeep();
        return 1;
    }
    const CMapPoint clicked = m_view->ClientToMap(x, y);
    CLayerReader reader;
    const int record = streets->HitTest(clicked, reader, *m_view);
    CFeatureSource* source = reader.GetSource();
    CShape shape;
    if (record < 0 || !source || !source->ReadShape(record, shape))
        return 1;
    m_view->AddOverlayShape(shape);

    std::string name;
    const int nameField = settings.streetNameField.empty() ? -1 : source->GetTable().FindField(settings.streetNameField);
    if (nameField >= 0)
        source->GetFieldText(record, nameField, name);
    ViewHost().SetMessageText(name);

    const int codeField = settings.codeField.empty() ? -1 : source->GetTable().FindField(settings.codeField);
    std::string code;
    if (codeField >= 0 && source->GetFieldText(record, codeField, code)) {
        if (Labeller())
            Labeller()(std::atoi(code.c_str()), *m_view);
        else
            document.LabelStreetAddresses(std::atoll(code.c_str()), *m_view);
    }

    if (!name.empty()) {
        int segment = 0;
        CMapPoint nearest = clicked;
        shape.HitTestSegment(clicked, DBL_MAX, -1, segment, &nearest);
        m_view->AddOverlayText(nearest, name, 0);
    }
    return 1;
}

