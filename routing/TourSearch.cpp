#include "routing/TourSearch.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kNoWay = INT_MAX;

} // namespace

CTourSearch::CTourSearch(const int* cells, int n) : m_cells(cells), m_n(cells && n > 0 ? n : 0)
{
    int64_t most = 0;
    for (int i = 0; i < m_n; ++i)
        for (int j = 0; j < m_n; ++j) {
            if (i == j)
                continue;
            const int cost = Cell(i, j);
            if (cost == kNoWay || cost < 0)
                ++m_missingWays;
            else
                most = std::max<int64_t>(most, cost);
        }
    // Dearer than the n + 1 ways of any order that has only existing ones.
    m_penalty = (most + 1) * (m_n + 1);
}

bool CTourSearch::HasWay(int from, int to) const
{
    const int cost = Cell(from, to);
    return from != to && cost != kNoWay && cost >= 0;
}

int64_t CTourSearch::Weight(int from, int to) const
{
    return HasWay(from, to) ? Cell(from, to) : m_penalty;
}

int64_t CTourSearch::Cost(const std::vector<int>& order) const
{
    int64_t total = 0;
    for (size_t k = 1; k < order.size(); ++k) {
        if (!HasWay(order[k - 1], order[k]))
            return -1;
        total += Cell(order[k - 1], order[k]);
    }
    return total;
}

bool CTourSearch::Solve(int first, int last, std::vector<int>& order)
{
    NearestNeighbour(first, last, order);
    if (order.empty())
        return false;
    Improve(order);
    return Cost(order) >= 0;
}

// -------------------------------------------------------------- nearest neighbour

void CTourSearch::BuildWayLists()
{
    // Dense costs are walked through the unreached nodes instead: most of
    // them are reached at the first look.
    const int64_t cells = static_cast<int64_t>(m_n) * m_n;
    m_haveLists = m_missingWays * 2 >= cells;
    if (!m_haveLists)
        return;
    m_outStart.assign(static_cast<size_t>(m_n) + 1, 0);
    m_inStart.assign(static_cast<size_t>(m_n) + 1, 0);
    for (int i = 0; i < m_n; ++i)
        for (int j = 0; j < m_n; ++j)
            if (HasWay(i, j)) {
                ++m_outStart[static_cast<size_t>(i) + 1];
                ++m_inStart[static_cast<size_t>(j) + 1];
            }
    for (int i = 0; i < m_n; ++i) {
        m_outStart[static_cast<size_t>(i) + 1] += m_outStart[static_cast<size_t>(i)];
        m_inStart[static_cast<size_t>(i) + 1] += m_inStart[static_cast<size_t>(i)];
    }
    m_outWays.resize(static_cast<size_t>(m_outStart.back()));
    m_inWays.resize(static_cast<size_t>(m_inStart.back()));
    std::vector<int> outAt(m_outStart.begin(), m_outStart.end() - 1);
    std::vector<int> inAt(m_inStart.begin(), m_inStart.end() - 1);
    for (int i = 0; i < m_n; ++i)
        for (int j = 0; j < m_n; ++j)
            if (HasWay(i, j)) {
                m_outWays[static_cast<size_t>(outAt[static_cast<size_t>(i)]++)] = j;
                m_inWays[static_cast<size_t>(inAt[static_cast<size_t>(j)]++)] = i;
            }
}

int CTourSearch::Spread(int source, bool forward)
{
    const uint32_t stamp = ++m_stamp;
    m_unreached = m_unvisitedList;
    for (size_t k = 0; k < m_unreached.size(); ++k)
        m_position[static_cast<size_t>(m_unreached[k])] = static_cast<int>(k);
    m_queue.clear();
    m_queue.push_back(source);
    int reached = 0;
    auto reach = [&](int node) {
        m_mark[static_cast<size_t>(node)] = stamp;
        const int at = m_position[static_cast<size_t>(node)];
        const int moved = m_unreached.back();
        m_unreached[static_cast<size_t>(at)] = moved;
        m_position[static_cast<size_t>(moved)] = at;
        m_unreached.pop_back();
        m_queue.push_back(node);
        ++reached;
    };
    for (size_t head = 0; head < m_queue.size() && !m_unreached.empty(); ++head) {
        const int x = m_queue[head];
        const std::vector<int>& starts = forward ? m_outStart : m_inStart;
        const std::vector<int>& ways = forward ? m_outWays : m_inWays;
        const int degree =
            m_haveLists ? starts[static_cast<size_t>(x) + 1] - starts[static_cast<size_t>(x)] : INT_MAX;
        if (degree < static_cast<int>(m_unreached.size())) {
            for (int k = starts[static_cast<size_t>(x)]; k < starts[static_cast<size_t>(x) + 1]; ++k) {
                const int y = ways[static_cast<size_t>(k)];
                if (m_unvisited[static_cast<size_t>(y)] && m_mark[static_cast<size_t>(y)] != stamp)
                    reach(y);
            }
        } else {
            for (size_t k = 0; k < m_unreached.size();) {
                const int y = m_unreached[k];
                if (forward ? HasWay(x, y) : HasWay(y, x))
                    reach(y); // the last one moved to k
                else
                    ++k;
            }
        }
    }
    return reached;
}

// The way on from current must reach every unvisited node and each of them
// must still lead to the target; and when some unvisited nodes lead back to
// current, they lie in current's strongly connected part and must all be
// visited before the order leaves it, so the next step goes to one of them.
// Marks the candidates for the next step.
bool CTourSearch::CanFinish(int current, int target, int unvisited)
{
    m_unvisitedList.clear();
    for (int i = 0; i < m_n; ++i)
        if (m_unvisited[static_cast<size_t>(i)])
            m_unvisitedList.push_back(i);
    if (Spread(current, true) != unvisited || Spread(target, false) != unvisited)
        return false;
    m_candidateCount = Spread(current, false);
    m_candidateStamp = m_stamp;
    return true;
}

// The nearest candidate after (afterCost, afterNode) in the order of
// (cost, node); -1 when none is left.
int CTourSearch::NextCandidate(int current, int64_t afterCost, int afterNode) const
{
    int best = -1;
    int64_t bestCost = 0;
    for (int v = 0; v < m_n; ++v) {
        if (!m_unvisited[static_cast<size_t>(v)] || !HasWay(current, v))
            continue;
        if (m_candidateCount > 0 && m_mark[static_cast<size_t>(v)] != m_candidateStamp)
            continue;
        const int64_t cost = Cell(current, v);
        if (cost < afterCost || (cost == afterCost && v <= afterNode))
            continue;
        if (best < 0 || cost < bestCost) {
            best = v;
            bestCost = cost;
        }
    }
    return best;
}

void CTourSearch::CompleteGreedily(std::vector<int>& path, int last, int unvisited)
{
    m_candidateCount = 0;
    for (; unvisited > 0; --unvisited) {
        const int current = path.back();
        int next = NextCandidate(current, -1, -1);
        if (next < 0)
            next = static_cast<int>(std::find(m_unvisited.begin(), m_unvisited.end(), 1) - m_unvisited.begin());
        m_unvisited[static_cast<size_t>(next)] = 0;
        path.push_back(next);
    }
    path.push_back(last);
}

bool CTourSearch::NearestNeighbour(int first, int last, std::vector<int>& order)
{
    order.clear();
    const int n = m_n;
    const bool closed = first == last;
    if (first < 0 || first >= n || last < 0 || last >= n || n < 2)
        return false;
    BuildWayLists();
    m_unvisited.assign(static_cast<size_t>(n), 1);
    m_unvisited[static_cast<size_t>(first)] = 0;
    m_unvisited[static_cast<size_t>(last)] = 0;
    m_mark.assign(static_cast<size_t>(n), 0);
    m_position.assign(static_cast<size_t>(n), 0);
    m_stamp = 0;
    int unvisited = n - (closed ? 1 : 2);

    // A depth-first search that takes the nearest candidate first; each
    // level remembers the last candidate it tried.
    struct Tried {
        int64_t cost;
        int node;
    };
    std::vector<int> path = {first};
    std::vector<Tried> tried = {{-1, -1}};
    // Backing up is for the orders that mostly forbidden costs leave open;
    // past this many steps the order is finished greedily and the moves
    // are left to mend it.
    int64_t steps = 0;
    const int64_t budget = 10 * static_cast<int64_t>(n) + 1000;
    while (!tried.empty()) {
        const int current = path.back();
        if (unvisited == 0) {
            if (HasWay(current, last)) {
                path.push_back(last);
                order = std::move(path);
                return true;
            }
        } else {
            m_candidateCount = 0;
            int next = -1;
            if (CanFinish(current, last, unvisited)) {
                // The candidates marked by CanFinish are those of this level.
                next = NextCandidate(current, tried.back().cost, tried.back().node);
            }
            if (next >= 0) {
                if (++steps > budget) {
                    CompleteGreedily(path, last, unvisited);
                    order = std::move(path);
                    return false;
                }
                tried.back() = {Cell(current, next), next};
                m_unvisited[static_cast<size_t>(next)] = 0;
                --unvisited;
                path.push_back(next);
                tried.push_back({-1, -1});
                continue;
            }
        }
        tried.pop_back();
        if (tried.empty())
            break;
        m_unvisited[static_cast<size_t>(path.back())] = 1;
        ++unvisited;
        path.pop_back();
    }
    return false;
}

// -------------------------------------------------------------- moves

void CTourSearch::Improve(std::vector<int>& order) const
{
    const int length = static_cast<int>(order.size());
    // The first and the last node stay; at least two must be free to move.
    if (length < 4)
        return;
    int* s = order.data();
    // Cost of the order up to position k along the order, and against it.
    std::vector<int64_t> along(static_cast<size_t>(length)), against(static_cast<size_t>(length));
    auto measure = [&] {
        along[0] = against[0] = 0;
        for (int k = 1; k < length; ++k) {
            along[static_cast<size_t>(k)] = along[static_cast<size_t>(k) - 1] + Weight(s[k - 1], s[k]);
            against[static_cast<size_t>(k)] = against[static_cast<size_t>(k) - 1] + Weight(s[k], s[k - 1]);
        }
    };
    // What the stretch i..j costs more when run backwards.
    auto turned = [&](int i, int j) {
        return (against[static_cast<size_t>(j)] - against[static_cast<size_t>(i)]) -
               (along[static_cast<size_t>(j)] - along[static_cast<size_t>(i)]);
    };
    const int lastFree = length - 2;
    bool improved = true;
    while (improved) {
        improved = false;
        measure();
        // 2-opt: reverse s[i..j].
        for (int i = 1; i < lastFree; ++i) {
            for (int j = i + 1; j <= lastFree; ++j) {
                const int64_t delta = Weight(s[i - 1], s[j]) + Weight(s[i], s[j + 1]) - Weight(s[i - 1], s[i]) -
                                      Weight(s[j], s[j + 1]) + turned(i, j);
                if (delta < 0) {
                    std::reverse(s + i, s + j + 1);
                    measure();
                    improved = true;
                }
            }
        }
        // Or-opt: s[i..e] between s[p] and s[p + 1], as it runs or reversed.
        for (int size = 1; size <= 3; ++size) {
            for (int i = 1; i + size - 1 <= lastFree; ++i) {
                const int e = i + size - 1;
                for (int p = 0; p <= lastFree; ++p) {
                    if (p >= i - 1 && p <= e)
                        continue;
                    const int a = s[i], b = s[e], x = s[p], y = s[p + 1];
                    const int64_t removed = Weight(s[i - 1], a) + Weight(b, s[e + 1]) + Weight(x, y);
                    const int64_t closing = Weight(s[i - 1], s[e + 1]);
                    const int64_t ahead = closing + Weight(x, a) + Weight(b, y) - removed;
                    const int64_t back =
                        size == 1 ? ahead : closing + Weight(x, b) + Weight(a, y) + turned(i, e) - removed;
                    if (ahead >= 0 && back >= 0)
                        continue;
                    const bool reverse = back < ahead;
                    int at; // where the stretch starts afterwards
                    if (p > e) {
                        std::rotate(s + i, s + e + 1, s + p + 1);
                        at = p - size + 1;
                    } else {
                        std::rotate(s + p + 1, s + i, s + e + 1);
                        at = p + 1;
                    }
                    if (reverse)
                        std::reverse(s + at, s + at + size);
                    measure();
                    improved = true;
                }
            }
        }
    }
}
