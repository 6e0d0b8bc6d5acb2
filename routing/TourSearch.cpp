#include "routing/TourSearch.h"

#include "routing/RouteAllocation.h"

#include <algorithm>
#include <climits>
#include <deque>

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
            // Where every way exists every step can finish, with every node a candidate.
            if (m_missingWays == 0 || CanFinish(current, last, unvisited)) {
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

namespace {

// The nearest others of each node, out of it and into it.
constexpr int kNeighbours = 10;
// Kicks out of the first optimum found: one per node, and no fewer than
// this, which small orders afford.
constexpr int kLeastKicks = 300;

} // namespace

// The moves on one order. First the moves that join a node to one of its
// nearest others, node by node from a queue of the nodes whose ways changed
// (the others wait until one of their ways does); then every move of both
// kinds in turn, as a last word: when that finds one, the queue starts over
// from the nodes it touched.
class CTourSearch::CMoves {
public:
    CMoves(const CTourSearch& search, std::vector<int>& order)
        : m_search(search), m_n(search.m_n), m_s(order.data()), m_length(static_cast<int>(order.size())),
          m_lastFree(m_length - 2)
    {
        const size_t n = static_cast<size_t>(m_n);
        m_position.assign(n, 0);
        for (int k = m_length - 1; k >= 0; --k)
            m_position[static_cast<size_t>(m_s[k])] = k; // the first node of a closed tour at 0
        m_along.assign(static_cast<size_t>(m_length), 0);
        m_against.assign(static_cast<size_t>(m_length), 0);
        Measure(1);
        // The costs into each node as rows, so that the full pass reads rows
        // only; turned in tiles that stay in the cache.
        constexpr size_t kTile = 64;
        m_into = AllocateRouteBlock<int>(n * n);
        for (size_t from0 = 0; from0 < n; from0 += kTile)
            for (size_t to0 = 0; to0 < n; to0 += kTile)
                for (size_t from = from0; from < std::min(n, from0 + kTile); ++from)
                    for (size_t to = to0; to < std::min(n, to0 + kTile); ++to)
                        m_into[to * n + from] = search.m_cells[from * n + to];
        FindNeighbours();
        m_queued.assign(n, 0);
        for (int k = 0; k < m_length; ++k)
            Push(m_s[k]);
    }

    void Run(int kicks)
    {
        Settle();
        if (kicks > 0 && m_lastFree >= 3) {
            Kick(kicks);
            Settle();
        }
    }

private:
    struct CMove {
        int64_t delta = 0;
        int kind = 0; // 0 none, 1 reverse i..j, 2 move i..j after p, 3 the same reversed
        int i = 0, j = 0, p = 0;
    };

    // The moves near the nodes queued, then a full pass, until that finds none.
    void Settle()
    {
        do
            Drain();
        while (FullPass());
    }

    void Drain()
    {
        while (!m_queue.empty()) {
            const int v = m_queue.front();
            m_queue.pop_front();
            m_queued[static_cast<size_t>(v)] = 0;
            TryNear(v);
        }
    }

    // Kicks out of the optimum found: two stretches side by side change
    // places (which no 2-opt or Or-opt move of longer stretches undoes),
    // the moves near them follow, and the order is kept when it is no
    // dearer, else the best one is taken back. The kicks are the same for
    // the same costs.
    void Kick(int kicks)
    {
        constexpr int kLongest = 30;
        std::vector<int> best(m_s, m_s + m_length);
        int64_t bestCost = m_along.back();
        uint64_t state = 0x2545F4914F6CDD1Dull;
        const auto below = [&state](int bound) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            return static_cast<int>((state >> 33) % static_cast<uint64_t>(bound));
        };
        const int most = std::min(kLongest, m_lastFree / 2);
        for (int kick = 0; kick < kicks; ++kick) {
            const int first = 1 + below(most), second = 1 + below(most);
            const int a = 1 + below(m_lastFree - first - second + 1), b = a + first, c = b + second;
            m_changedFrom = m_length;
            m_changedTo = 0;
            std::rotate(m_s + a, m_s + b, m_s + c);
            for (int k = a; k < c; ++k)
                m_position[static_cast<size_t>(m_s[k])] = k;
            Remeasure(a, c - 1);
            for (int k : {a - 1, a, a + second - 1, a + second, c - 1, c})
                Push(m_s[k]);
            Drain();
            // Only the places the kick and its moves changed are copied.
            const int from = m_changedFrom, to = m_changedTo;
            const int64_t cost = m_along.back();
            if (cost <= bestCost) {
                bestCost = cost;
                std::copy(m_s + from, m_s + to + 1, best.begin() + from);
            } else {
                std::copy(best.begin() + from, best.begin() + to + 1, m_s + from);
                for (int k = from; k <= to; ++k)
                    m_position[static_cast<size_t>(m_s[k])] = k;
                Remeasure(from, to);
            }
        }
    }

    int64_t W(int from, int to) const { return m_search.Weight(from, to); }
    // W(from, to) from the row of to.
    int64_t WInto(int to, int from) const
    {
        const int cost = m_into[static_cast<size_t>(to) * m_n + from];
        return from != to && cost != kNoWay && cost >= 0 ? cost : m_search.m_penalty;
    }
    // The way from position k - 1 to k as the order runs.
    int64_t Leg(int k) const { return m_along[static_cast<size_t>(k)] - m_along[static_cast<size_t>(k) - 1]; }
    // What the stretch i..j costs more when run backwards.
    int64_t Turned(int i, int j) const
    {
        return (m_against[static_cast<size_t>(j)] - m_against[static_cast<size_t>(i)]) -
               (m_along[static_cast<size_t>(j)] - m_along[static_cast<size_t>(i)]);
    }
    // Where the node stands as the one a way leads to: the last place too
    // for the first node of a closed tour.
    int PlaceAfter(int node) const { return node == m_s[m_length - 1] ? m_length - 1 : Place(node); }
    int Place(int node) const { return m_position[static_cast<size_t>(node)]; }

    // The places from..to hold other nodes: the sums are made again there
    // and just past, and moved by what they changed beyond.
    void Remeasure(int from, int to)
    {
        m_changedFrom = std::min(m_changedFrom, from);
        m_changedTo = std::max(m_changedTo, to);
        const size_t next = static_cast<size_t>(std::min(to + 1, m_length - 1));
        const int64_t along = m_along[next], against = m_against[next];
        for (size_t k = static_cast<size_t>(from); k <= next; ++k) {
            m_along[k] = m_along[k - 1] + W(m_s[k - 1], m_s[k]);
            m_against[k] = m_against[k - 1] + W(m_s[k], m_s[k - 1]);
        }
        const int64_t moveAlong = m_along[next] - along, moveAgainst = m_against[next] - against;
        if (moveAlong == 0 && moveAgainst == 0)
            return;
        for (size_t k = next + 1; k < m_along.size(); ++k) {
            m_along[k] += moveAlong;
            m_against[k] += moveAgainst;
        }
    }

    void Measure(int from)
    {
        for (int k = from; k < m_length; ++k) {
            m_along[static_cast<size_t>(k)] = m_along[static_cast<size_t>(k) - 1] + W(m_s[k - 1], m_s[k]);
            m_against[static_cast<size_t>(k)] = m_against[static_cast<size_t>(k) - 1] + W(m_s[k], m_s[k - 1]);
        }
    }

    void FindNeighbours()
    {
        const int k = std::min(kNeighbours, m_n - 1);
        m_k = k;
        m_out.resize(static_cast<size_t>(m_n) * k);
        m_in.resize(static_cast<size_t>(m_n) * k);
        // The k least of (cost, node) kept in a heap whose top is the
        // greatest of them: most others fail the one test against it.
        std::vector<std::pair<int64_t, int>> near;
        near.reserve(static_cast<size_t>(k));
        for (int v = 0; v < m_n; ++v) {
            for (int into : {0, 1}) {
                near.clear();
                for (int u = 0; u < m_n; ++u) {
                    if (u == v)
                        continue;
                    const std::pair<int64_t, int> other(into ? WInto(v, u) : W(v, u), u);
                    if (static_cast<int>(near.size()) < k) {
                        near.push_back(other);
                        std::push_heap(near.begin(), near.end());
                    } else if (other < near.front()) {
                        std::pop_heap(near.begin(), near.end());
                        near.back() = other;
                        std::push_heap(near.begin(), near.end());
                    }
                }
                std::sort_heap(near.begin(), near.end());
                int* list = (into ? m_in.data() : m_out.data()) + static_cast<size_t>(v) * k;
                for (int t = 0; t < k; ++t)
                    list[t] = near[static_cast<size_t>(t)].second;
            }
        }
    }

    void Push(int node)
    {
        if (!m_queued[static_cast<size_t>(node)]) {
            m_queued[static_cast<size_t>(node)] = 1;
            m_queue.push_back(node);
        }
    }

    // Reversing s[i..j], 1 <= i < j <= lastFree.
    void Reverse(int i, int j, CMove& best) const
    {
        if (i < 1 || j <= i || j > m_lastFree)
            return;
        const int64_t delta =
            W(m_s[i - 1], m_s[j]) + W(m_s[i], m_s[j + 1]) - Leg(i) - Leg(j + 1) + Turned(i, j);
        if (delta < best.delta)
            best = {delta, 1, i, j, 0};
    }

    // Moving s[i..e] between s[p] and s[p + 1], as it runs or reversed.
    void Shift(int i, int e, int p, CMove& best) const
    {
        if (i < 1 || e > m_lastFree || e < i || e - i > 2 || p < 0 || p > m_lastFree || (p >= i - 1 && p <= e))
            return;
        const int a = m_s[i], b = m_s[e], x = m_s[p], y = m_s[p + 1];
        const int64_t base = W(m_s[i - 1], m_s[e + 1]) - Leg(i) - Leg(e + 1) - Leg(p + 1);
        const int64_t ahead = base + W(x, a) + W(b, y);
        if (ahead < best.delta)
            best = {ahead, 2, i, e, p};
        if (e > i) {
            const int64_t back = base + W(x, b) + W(a, y) + Turned(i, e);
            if (back < best.delta)
                best = {back, 3, i, e, p};
        }
    }

    // The best move that makes a way between v and one of its nearest others.
    void TryNear(int v)
    {
        CMove best;
        const int* out = m_out.data() + static_cast<size_t>(v) * m_k;
        const int* in = m_in.data() + static_cast<size_t>(v) * m_k;
        int places[2] = {Place(v), -1};
        if (v == m_s[m_length - 1] && m_length - 1 != places[0])
            places[1] = m_length - 1;
        for (int q : places) {
            if (q < 0)
                continue;
            // A move that lowers the cost mostly takes out a way of v dearer
            // than the one it makes: the nearest others past that are not tried.
            const int64_t limit = std::max(q > 0 ? Leg(q) : 0, q + 1 < m_length ? Leg(q + 1) : 0);
            for (int t = 0; t < m_k; ++t) {
                const bool outNear = W(v, out[t]) < limit, inNear = WInto(v, in[t]) < limit;
                if (!outNear && !inNear)
                    break;
                const int c = out[t], after = outNear ? PlaceAfter(c) : -100;
                const int d = in[t], before = inNear ? Place(d) : -100;
                // 2-opt: the new way v -> c or d -> v.
                Reverse(q + 1, after, best);
                Reverse(q, after - 1, best);
                Reverse(before + 1, q, best);
                Reverse(before, q - 1, best);
                // Or-opt: a stretch ending or starting at v put beside c or d.
                for (int size = 1; size <= 3; ++size) {
                    for (int i : {q, q - size + 1}) {
                        const int e = i + size - 1;
                        Shift(i, e, after - 1, best);
                        Shift(i, e, before, best);
                    }
                }
            }
        }
        if (best.kind != 0)
            Apply(best);
    }

    // Every move in turn, each one that lowers the cost made at once.
    bool FullPass()
    {
        const int64_t penalty = m_search.m_penalty;
        // No move here joins a node to itself: only missing ways need the penalty.
        const auto way = [penalty](int cost) -> int64_t {
            return static_cast<unsigned>(cost) < static_cast<unsigned>(kNoWay) ? cost : penalty;
        };
        const auto row = [this](const int* cells, int node) { return cells + static_cast<size_t>(node) * m_n; };
        bool improved = false;
        for (int i = 1; i < m_lastFree; ++i) {
            const int* before = row(m_search.m_cells, m_s[i - 1]);
            const int* first = row(m_search.m_cells, m_s[i]);
            for (int j = i + 1; j <= m_lastFree; ++j) {
                const int64_t delta =
                    way(before[m_s[j]]) + way(first[m_s[j + 1]]) - Leg(i) - Leg(j + 1) + Turned(i, j);
                if (delta < 0) {
                    Apply({delta, 1, i, j, 0});
                    improved = true;
                    before = row(m_search.m_cells, m_s[i - 1]);
                    first = row(m_search.m_cells, m_s[i]);
                }
            }
        }
        for (int size = 1; size <= 3; ++size) {
            for (int i = 1; i + size - 1 <= m_lastFree; ++i) {
                const int e = i + size - 1;
                const int a = m_s[i], b = m_s[e];
                const int *intoA = row(m_into.get(), a), *intoB = row(m_into.get(), b);
                const int *outA = row(m_search.m_cells, a), *outB = row(m_search.m_cells, b);
                const int64_t base = W(m_s[i - 1], m_s[e + 1]) - Leg(i) - Leg(e + 1);
                const int64_t turned = size > 1 ? Turned(i, e) : 0;
                // Between s[p] and s[p + 1], on either side of the stretch.
                const auto tryAt = [&](int p) {
                    const int x = m_s[p], y = m_s[p + 1];
                    const int64_t rest = base - Leg(p + 1);
                    const int64_t ahead = rest + way(intoA[x]) + way(outB[y]);
                    const int64_t back = size == 1 ? ahead : rest + way(intoB[x]) + way(outA[y]) + turned;
                    if (ahead >= 0 && back >= 0)
                        return false;
                    Apply({std::min(ahead, back), back < ahead ? 3 : 2, i, e, p});
                    return true;
                };
                bool moved = false;
                for (int p = 0; p < i - 1 && !moved; ++p)
                    moved = tryAt(p);
                for (int p = e + 1; p <= m_lastFree && !moved; ++p)
                    moved = tryAt(p);
                improved = improved || moved; // a stretch that moved: the next one
            }
        }
        return improved;
    }

    void Apply(const CMove& move)
    {
        const int i = move.i, j = move.j, p = move.p;
        // The places whose nodes change, and those beside which ways changed.
        int from = i, to = j;
        std::vector<int>& ends = m_ends;
        ends.clear();
        if (move.kind == 1) {
            std::reverse(m_s + i, m_s + j + 1);
            ends = {i - 1, i, j, j + 1};
        } else {
            const int size = j - i + 1;
            int at; // where the stretch starts afterwards
            if (p > j) {
                std::rotate(m_s + i, m_s + j + 1, m_s + p + 1);
                at = p - size + 1;
                to = p;
                ends = {i - 1, i};
            } else {
                std::rotate(m_s + p + 1, m_s + i, m_s + j + 1);
                at = p + 1;
                from = p + 1;
                ends = {j, j + 1};
            }
            if (move.kind == 3)
                std::reverse(m_s + at, m_s + at + size);
            for (int k : {at - 1, at, at + size - 1, at + size})
                ends.push_back(k);
        }
        for (int k = from; k <= to; ++k)
            m_position[static_cast<size_t>(m_s[k])] = k;
        Remeasure(from, to);
        for (int k : ends)
            if (k >= 0 && k < m_length)
                Push(m_s[k]);
    }

    const CTourSearch& m_search;
    const int m_n;
    int* const m_s;
    const int m_length;
    const int m_lastFree;
    std::vector<int> m_position;
    std::vector<int64_t> m_along, m_against;
    std::unique_ptr<int[]> m_into;
    int m_k = 0;
    std::vector<int> m_out, m_in;
    std::deque<int> m_queue;
    std::vector<char> m_queued;
    std::vector<int> m_ends;
    // The places changed since the last kick.
    int m_changedFrom = 0, m_changedTo = 0;
};

void CTourSearch::Improve(std::vector<int>& order) const
{
    // The first and the last node stay; at least two must be free to move.
    if (order.size() < 4)
        return;
    CMoves(*this, order).Run(std::max(m_n, kLeastKicks));
}
