#include "routing/RoutePoints.h"

#include "layers/Layer.h"
#include "layers/LayerQueries.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "platform/UserServices.h"
#include "routing/DistanceTable.h"
#include "routing/RouteNetwork.h"

#include <vector>

namespace {
constexpr int kCannotOpen = 1007;
}

int CRoutePoints::ComputeDistanceMatrix(CLayer& layer, const std::string& resultsPath, CDrelView& view, bool ask)
{
    bool full = true;
    if (ask) {
        const int answer = AppMessageBox(
            Utf8ToCp1257("Skaičiuoti visą matricą? Pasirinkite:\n\"Taip\" - jeigu norite skaičiuoti visą matricą,\n"
                         "\"Ne\" - jeigu norite skaičiuoti atstumus tik iki pirmojo taško."),
            MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL)
            return 0;
        full = answer == IDYES;
    }
    CWaitCursor wait;
    std::vector<CNamedPoint> named;
    if (!layer.GetNamedPoints(named) || named.size() < 2)
        return 0;
    std::vector<CMatrixPoint> points(named.size());
    std::vector<std::string> names(named.size());
    for (size_t i = 0; i < named.size(); ++i) {
        points[i].given = CMapPoint(named[i].x, named[i].y);
        names[i] = std::move(named[i].name);
    }
    CRouteNetwork network;
    if (!network.LoadSettings(view.GetDocument()))
        return 0;
    if (m_source)
        network.SetLayerSource(m_source);
    CCostMatrix costs;
    if (!network.ComputeDistanceMatrix(points, full, costs))
        return 0;
    const CDrelDoc& document = view.GetDocument();
    auto km = [&document](const CMapPoint& a, const CMapPoint& b) { return document.GetDistanceKm(a, b); };
    return WriteDistanceTable(resultsPath, names, points, costs, full, km) ? 1 : 0;
}

int CRoutePoints::RouteImportedPoints(const std::string& pointsPath, const std::string& resultsPath, CDrelView& view)
{
    // The reader does not say why a file is missing; no question is asked about one.
    if (!PathExists(pointsPath)) {
        AppMessageBoxArg(kCannotOpen, pointsPath);
        return 0;
    }
    CLayer layer(std::string(), pointsPath, CLayer::kPoint);
    return ComputeDistanceMatrix(layer, resultsPath, view, true);
}

int CRoutePoints::CheckNetwork(CDrelView& view)
{
    CRouteNetwork network;
    if (!network.LoadSettings(view.GetDocument()))
        return 0;
    if (m_source)
        network.SetLayerSource(m_source);
    std::vector<CMapPoint> deadEnds;
    {
        CWaitCursor wait;
        if (!network.CheckConnectivity(deadEnds))
            return 0;
    }
    if (deadEnds.size() < 2) {
        AppMessageBox(Utf8ToCp1257("Klaidų nėra."));
        return 1;
    }
    view.SetToolMode(0);
    ClearLegs(view);
    DeletePoints(view);
    view.UpdateWindow();
    const int serial = m_model.NextSerial();
    m_model.Store(CRoutePointsModel::kStart, deadEnds[0], serial);
    m_model.Store(CRoutePointsModel::kFinish, deadEnds[0], serial);
    for (size_t k = 1; k < deadEnds.size(); ++k)
        m_model.Store(CRoutePointsModel::kFirstIntermediate + static_cast<int>(k) - 1, deadEnds[k],
                      m_model.NextSerial());
    InvalidateMarkers(view, 0, -1);
    return 1;
}
