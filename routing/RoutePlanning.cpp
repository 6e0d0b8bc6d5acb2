#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "platform/UserServices.h"
#include "routing/PlanningOrder.h"
#include "routing/RouteNetwork.h"
#include "routing/StopOrder.h"

#include <climits>
#include <cstdint>
#include <memory>

namespace {

constexpr int kOutOfMemory = 1005;
constexpr int kRouteNotFound = 1020;

// The order of least cost on rows; two stops need no search.
bool SolveOrder(CCostRows& rows, int start, int end, std::vector<int>& order, IProgress* progress)
{
    const int n = static_cast<int>(rows.size());
    if (n <= 2) {
        order.clear();
        for (int k = 0; k < n; ++k)
            order.push_back(k);
        if (start == end && n == 2)
            order.push_back(0);
        return true;
    }
    std::vector<int*> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    order.assign(static_cast<size_t>(n) + 1, -1);
    int64_t cost = 0;
    return SolveTour(pointers.data(), n, start, end, order.data(), &cost, progress);
}

} // namespace

bool CRouteNetwork::PlanRoute(std::vector<CTaskPoint>& points, int mode, bool closedTour)
{
    totalLength = 0;
    legs.clear();
    names.clear();
    const int n = static_cast<int>(points.size());
    if (n < 2)
        return false;
    struct CClear {
        CRouteNetwork& net;
        ~CClear() { net.ClearEdges(); }
    } clear{*this};
    const auto fail = [this] {
        legs.clear();
        names.clear();
        totalLength = 0;
        return false;
    };

    std::vector<CMapPoint> positions;
    for (const CTaskPoint& p : points)
        positions.push_back(p.position);
    if (!BuildGraphAround(positions.data(), n))
        return false;
    for (CTaskPoint& p : points) {
        if (!SnapPoint(p.position, p.snapped, p.node)) {
            AppMessageBox(kRouteNotFound, MB_OK | MB_ICONWARNING);
            return false;
        }
    }
    const int groups = GroupPointsByNode(points);
    CRouteNodeIndex index;
    if (!index.Build(m_edges)) {
        AppMessageBox(kOutOfMemory);
        return false;
    }
    std::vector<int> groupStops(static_cast<size_t>(groups), -1);
    for (const CTaskPoint& p : points)
        groupStops[static_cast<size_t>(p.group)] = index.Find(p.node);
    if (progress) {
        progress->SetRange(0, groups);
        progress->SetStep(1);
        progress->SetPos(0);
    }
    CCostMatrix costs;
    CPredecessorMatrix preds;
    if (!ComputeCostMatrix(costs, preds, groups, index.GetCount(), groups, groupStops.data(), index, progress))
        return false;
    CCostRows groupCosts(static_cast<size_t>(groups));
    for (int g = 0; g < groups; ++g)
        groupCosts[static_cast<size_t>(g)].assign(costs.GetRow(g), costs.GetRow(g) + groups);

    // A finish on the start's node closes the tour with the finish last.
    const bool finishLast = !closedTour;
    const bool solveClosed = closedTour || points.back().group == 0;
    const size_t ordered = finishLast ? points.size() - 1 : points.size();
    std::vector<int> order;
    switch (mode) {
    case 1:
    case 2: {
        SortPointsByNumber(points, 1, ordered, mode == 1);
        CCostRows rows = mode == 1 ? FixedPointMatrix(points, groupCosts) : PriorityMatrix(points, ordered, groupCosts);
        if (!SolveOrder(rows, 0, finishLast ? n - 1 : 0, order, progress))
            return false;
        NumberByPointTour(points, order);
        break;
    }
    case 3:
        SortPointsByNumber(points, 1, ordered, false);
        break;
    default: {
        const int end = solveClosed ? 0 : points.back().group;
        if (!SolveOrder(groupCosts, 0, end, order, progress))
            return false;
        NumberByGroupTour(points, order, finishLast);
        break;
    }
    }

    // Street names only when the routing layer labels its lines.
    CDbfTable table;
    int nameField = -1;
    if (m_layer && m_layer->GetSublayerCount() > 0 && !m_layer->GetSublayer(0)->m_labelField.empty()
        && m_layer->OpenTable(table))
        nameField = table.FindField(m_layer->GetSublayer(0)->m_labelField);

    std::vector<int> leg, previousLeg;
    const int legCount = closedTour ? n : n - 1;
    for (int k = 0; k < legCount; ++k) {
        CTaskPoint& from = points[static_cast<size_t>(k)];
        CTaskPoint& to = points[static_cast<size_t>((k + 1) % n)];
        leg.clear();
        if (from.group != to.group
            && !preds.GetLeg(from.group, groupStops[static_cast<size_t>(from.group)],
                             groupStops[static_cast<size_t>(to.group)], leg)) {
            AppMessageBox(kRouteNotFound, MB_OK | MB_ICONWARNING);
            return fail();
        }
        int64_t metres = 0;
        for (int reference : leg)
            metres += EdgeOf(reference)->length;
        to.legKm = static_cast<double>(metres) * 0.001;
        totalLength += to.legKm;
        auto shape = std::make_unique<CShape>();
        if (leg.empty()) {
            const CMapPoint line[2] = {from.snapped, to.snapped};
            shape->SetPoints(2, line);
            shape->RecalcBounds();
        } else {
            AssembleRouteShape(leg.data(), static_cast<int>(leg.size()), *shape);
        }
        legs.push_back(std::move(shape));
        std::string text;
        if (nameField >= 0) {
            if (k == n - 1) {
                // The way back joins the list of the leg before it.
                std::vector<int> both = leg;
                both.insert(both.end(), previousLeg.begin(), previousLeg.end());
                BuildStreetList(text, table, nameField, static_cast<int>(previousLeg.size()), both.data(),
                                static_cast<int>(both.size()));
                names.back() = text;
                continue;
            }
            BuildStreetList(text, table, nameField, static_cast<int>(leg.size()), leg.data(),
                            static_cast<int>(leg.size()));
        }
        if (k < n - 1)
            names.push_back(text);
        previousLeg = leg;
    }
    return true;
}
