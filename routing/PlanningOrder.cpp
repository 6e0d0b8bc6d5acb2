#include "routing/PlanningOrder.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kNoWay = INT_MAX;

int GroupCost(const std::vector<CTaskPoint>& points, size_t i, size_t j, const CCostRows& groupCosts)
{
    const int a = points[i].group, b = points[j].group;
    return a == b ? 0 : groupCosts[static_cast<size_t>(a)][static_cast<size_t>(b)];
}

void SortByVisit(std::vector<CTaskPoint>& points)
{
    if (points.size() > 1)
        std::stable_sort(points.begin() + 1, points.end(),
                         [](const CTaskPoint& a, const CTaskPoint& b) { return a.number < b.number; });
}

} // namespace

int GroupPointsByNode(std::vector<CTaskPoint>& points)
{
    int groups = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        size_t k = 0;
        while (k < i && points[k].node != points[i].node)
            ++k;
        points[i].group = k < i ? points[k].group : groups++;
    }
    return groups;
}

void SortPointsByNumber(std::vector<CTaskPoint>& points, size_t first, size_t last, bool fixedLast)
{
    last = std::min(last, points.size());
    if (first >= last)
        return;
    std::stable_sort(points.begin() + static_cast<std::ptrdiff_t>(first),
                     points.begin() + static_cast<std::ptrdiff_t>(last),
                     [fixedLast](const CTaskPoint& a, const CTaskPoint& b) {
                         if (a.number != b.number)
                             return a.number < b.number;
                         return fixedLast && a.flag != '1' && b.flag == '1';
                     });
}

CCostRows FixedPointMatrix(const std::vector<CTaskPoint>& points, const CCostRows& groupCosts)
{
    const size_t n = points.size();
    const auto fixed = [&](size_t k) { return k != 0 && points[k].flag == '1'; };
    CCostRows rows(n, std::vector<int>(n, kNoWay));
    for (size_t i = 0; i < n; ++i) {
        const size_t next = (i + 1) % n;
        for (size_t j = 0; j < n; ++j) {
            if (i == j)
                continue;
            if (j != next && (fixed(next) || fixed(j)))
                continue;
            rows[i][j] = GroupCost(points, i, j, groupCosts);
        }
    }
    return rows;
}

CCostRows PriorityMatrix(const std::vector<CTaskPoint>& points, size_t ordered, const CCostRows& groupCosts)
{
    const size_t n = points.size();
    ordered = std::min(ordered, n);
    CCostRows rows(n, std::vector<int>(n, kNoWay));
    const auto allow = [&](size_t i, size_t j) {
        if (i != j)
            rows[i][j] = GroupCost(points, i, j, groupCosts);
    };
    if (ordered < 2)
        return rows;
    // Levels as runs of equal numbers among the sorted points.
    std::vector<size_t> levelStart{1};
    for (size_t i = 2; i < ordered; ++i)
        if (points[i].number != points[i - 1].number)
            levelStart.push_back(i);
    levelStart.push_back(ordered);
    const size_t levels = levelStart.size() - 1;
    for (size_t l = 0; l < levels; ++l) {
        for (size_t i = levelStart[l]; i < levelStart[l + 1]; ++i) {
            for (size_t j = levelStart[l]; j < levelStart[l + 1]; ++j)
                allow(i, j);
            if (l + 1 < levels)
                for (size_t j = levelStart[l + 1]; j < levelStart[l + 2]; ++j)
                    allow(i, j);
        }
    }
    for (size_t j = levelStart[0]; j < levelStart[1]; ++j)
        allow(0, j);
    const size_t last = ordered < n ? ordered : 0; // on to the finish, else back to the start
    for (size_t i = levelStart[levels - 1]; i < ordered; ++i)
        allow(i, last);
    return rows;
}

void NumberByGroupTour(std::vector<CTaskPoint>& points, const std::vector<int>& groupOrder, bool hasFinish)
{
    int number = 0;
    const size_t n = points.size();
    const size_t finish = hasFinish && n > 1 ? n - 1 : n;
    std::vector<bool> seen;
    for (int group : groupOrder) {
        if (group < 0)
            continue;
        if (static_cast<size_t>(group) >= seen.size())
            seen.resize(static_cast<size_t>(group) + 1, false);
        if (seen[static_cast<size_t>(group)])
            continue; // a closed tour names the start again
        seen[static_cast<size_t>(group)] = true;
        for (size_t i = 0; i < n; ++i)
            if (i != finish && points[i].group == group)
                points[i].number = number++;
    }
    if (finish < n)
        points[finish].number = number;
    SortByVisit(points);
}

void NumberByPointTour(std::vector<CTaskPoint>& points, const std::vector<int>& pointOrder)
{
    int number = 0;
    std::vector<bool> seen(points.size(), false);
    for (int k : pointOrder) {
        if (k < 0 || static_cast<size_t>(k) >= points.size() || seen[static_cast<size_t>(k)])
            continue;
        seen[static_cast<size_t>(k)] = true;
        points[static_cast<size_t>(k)].number = number++;
    }
    SortByVisit(points);
}
