#include "routing/RoutePointsModel.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int kNoStart = 1018;
constexpr int kNoFinish = 1019;
} // namespace

const CRoutePoint* CRoutePointsModel::Get(int index) const
{
    return index >= 0 && index < GetCount() ? &m_points[static_cast<size_t>(index)] : nullptr;
}

CRoutePoint* CRoutePointsModel::Get(int index)
{
    return index >= 0 && index < GetCount() ? &m_points[static_cast<size_t>(index)] : nullptr;
}

int CRoutePointsModel::HitPoint(const CPoint& client, const ToClient& toClient) const
{
    for (int i = 0; i < GetCount(); ++i) {
        const CRoutePoint& point = m_points[static_cast<size_t>(i)];
        if (!point.IsSet())
            continue;
        const CPoint at = toClient(point.position);
        const long long dx = at.x - client.x;
        const long long dy = at.y - client.y;
        if (dx * dx + dy * dy < kHitRadius2)
            return i;
    }
    return -1;
}

int CRoutePointsModel::PlaceTarget(int kind, int hit) const
{
    if (kind == kStart || kind == kFinish) {
        if (hit == kind)
            return kNothing;
        if (hit >= kFirstIntermediate)
            return kBeep;
        return kind;
    }
    if (hit == kStart)
        return kNothing;
    if (hit >= 0)
        return kBeep;
    return std::max(GetCount(), static_cast<int>(kFirstIntermediate));
}

void CRoutePointsModel::Store(int index, const CMapPoint& position, int serial)
{
    if (index < 0)
        return;
    if (index >= GetCount())
        m_points.resize(static_cast<size_t>(index) + 1);
    CRoutePoint& point = m_points[static_cast<size_t>(index)];
    point.position = position;
    point.serial = serial;
}

int CRoutePointsModel::GrabTarget(const CPoint& client, const ToClient& toClient) const
{
    int best = -1;
    long long bestDistance = kGrabReach;
    for (int i = 0; i < GetCount(); ++i) {
        const CRoutePoint& point = m_points[static_cast<size_t>(i)];
        if (!point.IsSet())
            continue;
        const CPoint at = toClient(point.position);
        long long dy = static_cast<long long>(at.y) - client.y;
        if (dy > kMarkerLift)
            dy -= kMarkerLift;
        const long long distance = std::max(std::llabs(static_cast<long long>(at.x) - client.x), std::llabs(dy));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

void CRoutePointsModel::Delete(int index)
{
    if (index < 0 || index >= GetCount())
        return;
    if (index <= kFinish)
        m_points[static_cast<size_t>(index)] = CRoutePoint();
    else
        m_points.erase(m_points.begin() + index);
}

bool CRoutePointsModel::MarkerLook(int index, bool onlyStart, std::string& text, COLORREF& colour) const
{
    const CRoutePoint* point = Get(index);
    if (!point || !point->IsSet())
        return false;
    const CRoutePoint* start = Get(kStart);
    const CRoutePoint* finish = Get(kFinish);
    bool both = false;
    if (index == kStart)
        both = !onlyStart && finish && finish->IsSet() && finish->position == point->position;
    else if (index == kFinish)
        both = start && start->serial == point->serial;
    if (both) {
        text = "S+F";
        colour = kBothColour;
    } else if (index == kStart) {
        text = "S";
        colour = kStartColour;
    } else if (index == kFinish) {
        text = "F";
        colour = kFinishColour;
    } else {
        text = std::to_string(index - 1);
        colour = kIntermediateColour;
    }
    return true;
}

int CRoutePointsModel::MissingEnd() const
{
    const CRoutePoint* start = Get(kStart);
    if (!start || !start->IsSet())
        return kNoStart;
    const CRoutePoint* finish = Get(kFinish);
    if (!finish || !finish->IsSet() || (GetCount() == 2 && finish->serial == start->serial))
        return kNoFinish;
    return 0;
}

std::vector<CMapPoint> CRoutePointsModel::Stops() const
{
    std::vector<CMapPoint> stops;
    if (GetCount() < 2)
        return stops;
    stops.reserve(m_points.size());
    stops.push_back(m_points[kStart].position);
    for (size_t i = kFirstIntermediate; i < m_points.size(); ++i)
        stops.push_back(m_points[i].position);
    stops.push_back(m_points[kFinish].position);
    return stops;
}

int CRoutePointsModel::ProgressHigh() const
{
    const int n = GetCount();
    const bool apart = n >= 2 && m_points[kStart].serial != m_points[kFinish].serial;
    return (apart ? 1 : 0) + (n > 2 ? 1 : 0) + n + (n + 1) / 10;
}

void CRoutePointsModel::ReorderIntermediates(const std::vector<int>& order)
{
    const int n = GetCount();
    // With one intermediate nothing was reordered.
    if (n <= 3 || static_cast<int>(order.size()) < n)
        return;
    std::vector<CRoutePoint> reordered;
    reordered.reserve(static_cast<size_t>(n - 2));
    std::vector<bool> taken(static_cast<size_t>(n), false);
    for (int k = 1; k <= n - 2; ++k) {
        const int stop = order[static_cast<size_t>(k)];
        // Each intermediate once between the ends, or the order is not one.
        if (stop < 1 || stop > n - 2 || taken[static_cast<size_t>(stop)])
            return;
        taken[static_cast<size_t>(stop)] = true;
        reordered.push_back(m_points[static_cast<size_t>(stop + 1)]);
    }
    std::copy(reordered.begin(), reordered.end(), m_points.begin() + kFirstIntermediate);
}
