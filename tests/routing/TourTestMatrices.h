#pragma once

// Cost matrices for checking stop orders, shared by the tests and the
// benchmark: seeded generators and an exact oracle by dynamic programming
// over subsets (Held-Karp), independent of the branch and bound.

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

class TestMatrix {
public:
    explicit TestMatrix(int n = 0, int fill = INT_MAX) : m_n(n), m_cells(static_cast<size_t>(n) * n, fill)
    {
        for (int i = 0; i < n; ++i)
            At(i, i) = INT_MAX;
        Bind();
    }
    TestMatrix(const TestMatrix& other) : m_n(other.m_n), m_cells(other.m_cells) { Bind(); }
    TestMatrix& operator=(const TestMatrix& other)
    {
        m_n = other.m_n;
        m_cells = other.m_cells;
        Bind();
        return *this;
    }

    int Size() const { return m_n; }
    int& At(int i, int j) { return m_cells[static_cast<size_t>(i) * m_n + j]; }
    int At(int i, int j) const { return m_cells[static_cast<size_t>(i) * m_n + j]; }
    int** Rows() { return m_rows.data(); }
    // The cells row by row.
    const int* Cells() const { return m_cells.data(); }

private:
    void Bind()
    {
        m_rows.clear();
        for (int i = 0; i < m_n; ++i)
            m_rows.push_back(m_cells.data() + static_cast<size_t>(i) * m_n);
    }
    int m_n;
    std::vector<int> m_cells;
    std::vector<int*> m_rows;
};

inline TestMatrix MatrixFromRows(const std::vector<std::vector<int>>& rows)
{
    TestMatrix m(static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i)
        for (size_t j = 0; j < rows.size(); ++j)
            m.At(static_cast<int>(i), static_cast<int>(j)) = rows[i][j];
    return m;
}

struct TourResult {
    bool ok = false;
    std::vector<int> order; // n + 1 entries for a closed tour, n for an open path
    int64_t cost = -1;
};

// Runs solve (rows, n, start, end, order, cost) on a copy of the matrix, so
// the rewrite of an open path's start column leaves the original to check.
template <class Solver>
TourResult SolveCopy(TestMatrix m, int start, int end, Solver&& solve)
{
    TourResult result;
    result.order.assign(static_cast<size_t>(m.Size() + 1), -1);
    result.ok = solve(m.Rows(), m.Size(), start, end, result.order.data(), &result.cost);
    if (start != end)
        result.order.pop_back();
    return result;
}

// Small deterministic generator (the same numbers on every platform).
class TestRandom {
public:
    explicit TestRandom(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return m_state;
    }
    // 0 .. bound - 1
    int Below(int bound) { return static_cast<int>(Next() % static_cast<uint64_t>(bound)); }
    bool Chance(int percent) { return Below(100) < percent; }

private:
    uint64_t m_state;
};

// The least cost of a closed tour through all stops (start == end) or of an
// open path from start to end through all stops; -1 when there is none.
inline int64_t ExactTourCost(const TestMatrix& m, int start, int end)
{
    const int n = m.Size();
    if (start == end && n == 1)
        return 0;
    const int64_t none = INT64_MAX;
    const size_t subsets = size_t{1} << n;
    std::vector<int64_t> best(subsets * n, none);
    best[(size_t{1} << start) * n + start] = 0;
    for (size_t mask = 1; mask < subsets; ++mask) {
        if (!(mask >> start & 1))
            continue;
        for (int j = 0; j < n; ++j) {
            int64_t here = best[mask * n + j];
            if (here == none)
                continue;
            for (int k = 0; k < n; ++k) {
                if (mask >> k & 1 || m.At(j, k) == INT_MAX)
                    continue;
                int64_t& there = best[(mask | size_t{1} << k) * n + k];
                there = std::min(there, here + m.At(j, k));
            }
        }
    }
    const size_t all = subsets - 1;
    int64_t result = none;
    if (start != end) {
        result = best[all * n + end];
    } else {
        for (int j = 0; j < n; ++j)
            if (j != start && best[all * n + j] != none && m.At(j, start) != INT_MAX)
                result = std::min(result, best[all * n + j] + m.At(j, start));
    }
    return result == none ? -1 : result;
}

// The cost of an order as SolveTour returns it (n + 1 entries for a closed
// tour); -1 when it is not a proper order from start to end.
inline int64_t OrderCost(const TestMatrix& m, int start, int end, const std::vector<int>& order)
{
    const int n = m.Size();
    const bool closed = start == end;
    if (static_cast<int>(order.size()) != (closed ? n + 1 : n) || order.front() != start || order.back() != end)
        return -1;
    std::vector<char> seen(static_cast<size_t>(n), 0);
    for (int k = 0; k < n; ++k) {
        int stop = order[static_cast<size_t>(k)];
        if (stop < 0 || stop >= n || seen[static_cast<size_t>(stop)])
            return -1;
        seen[static_cast<size_t>(stop)] = 1;
    }
    int64_t total = 0;
    for (size_t k = 0; k + 1 < order.size(); ++k) {
        int leg = m.At(order[k], order[k + 1]);
        if (leg == INT_MAX)
            return -1;
        total += leg;
    }
    return total;
}

// Every way a random cost below `range`; forbidden with the given chance.
inline TestMatrix RandomMatrix(TestRandom& random, int n, int range, int forbiddenPercent, bool symmetric)
{
    TestMatrix m(n);
    for (int i = 0; i < n; ++i)
        for (int j = symmetric ? i + 1 : 0; j < n; ++j) {
            if (i == j)
                continue;
            int cost = random.Chance(forbiddenPercent) ? INT_MAX : random.Below(range);
            m.At(i, j) = cost;
            if (symmetric)
                m.At(j, i) = cost;
        }
    return m;
}

// Rounded distances between random points of a square.
inline TestMatrix EuclideanMatrix(TestRandom& random, int n)
{
    std::vector<double> x(static_cast<size_t>(n)), y(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        x[static_cast<size_t>(i)] = random.Below(10000);
        y[static_cast<size_t>(i)] = random.Below(10000);
    }
    TestMatrix m(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (i != j)
                m.At(i, j) = static_cast<int>(std::hypot(x[static_cast<size_t>(i)] - x[static_cast<size_t>(j)],
                                                         y[static_cast<size_t>(i)] - y[static_cast<size_t>(j)]) +
                                              0.5);
    return m;
}

// City-block distances between distinct random points of a small grid: many
// equal costs and many tours of equal length.
inline TestMatrix LatticeMatrix(TestRandom& random, int n)
{
    std::vector<int> cells;
    while (static_cast<int>(cells.size()) < n) {
        int cell = random.Below(36);
        if (std::find(cells.begin(), cells.end(), cell) == cells.end())
            cells.push_back(cell);
    }
    TestMatrix m(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (i != j)
                m.At(i, j) = std::abs(cells[static_cast<size_t>(i)] % 6 - cells[static_cast<size_t>(j)] % 6) +
                             std::abs(cells[static_cast<size_t>(i)] / 6 - cells[static_cast<size_t>(j)] / 6);
    return m;
}

// Shortest-path costs between random crossings of a street grid whose
// blocks differ in length, with one-way streets and ways that cost more in
// one direction than the other: asymmetric like a road network, and
// obeying the triangle inequality.
inline TestMatrix RoadMatrix(TestRandom& random, int n)
{
    constexpr int kSide = 10;
    constexpr int kNodes = kSide * kSide;
    constexpr int64_t kNone = INT64_MAX / 4;
    std::vector<int64_t> d(static_cast<size_t>(kNodes) * kNodes, kNone);
    auto at = [&](int a, int b) -> int64_t& { return d[static_cast<size_t>(a) * kNodes + b]; };
    for (int a = 0; a < kNodes; ++a) {
        at(a, a) = 0;
        for (int b : {a + 1, a + kSide}) {
            if ((b == a + 1 && a % kSide == kSide - 1) || b >= kNodes)
                continue;
            const int length = 80 + random.Below(60);
            // One street in ten runs only from b to a, another only from a to b.
            const int oneWay = random.Below(100);
            if (oneWay >= 10)
                at(a, b) = length + random.Below(length / 4);
            if (oneWay < 10 || oneWay >= 20)
                at(b, a) = length + random.Below(length / 4);
        }
    }
    for (int k = 0; k < kNodes; ++k)
        for (int i = 0; i < kNodes; ++i)
            for (int j = 0; j < kNodes; ++j)
                at(i, j) = std::min(at(i, j), at(i, k) + at(k, j));
    // Stops that reach each other: crossings of the largest part of the
    // grid whose crossings all do (one-way streets may cut off a corner).
    std::vector<int> joined(kNodes, 0);
    int hub = 0;
    for (int a = 0, most = -1; a < kNodes; ++a) {
        int count = 0;
        for (int b = 0; b < kNodes; ++b)
            count += at(a, b) < kNone && at(b, a) < kNone;
        if (count > most) {
            most = count;
            hub = a;
        }
    }
    for (int b = 0; b < kNodes; ++b)
        joined[static_cast<size_t>(b)] = at(hub, b) < kNone && at(b, hub) < kNone;
    std::vector<int> stops;
    while (static_cast<int>(stops.size()) < n) {
        const int node = random.Below(kNodes);
        bool joins = joined[static_cast<size_t>(node)] && std::find(stops.begin(), stops.end(), node) == stops.end();
        for (int other : stops)
            joins = joins && at(node, other) < kNone && at(other, node) < kNone;
        if (joins)
            stops.push_back(node);
    }
    TestMatrix m(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const int64_t cost = at(stops[static_cast<size_t>(i)], stops[static_cast<size_t>(j)]);
            if (i != j)
                m.At(i, j) = cost >= kNone ? INT_MAX : static_cast<int>(cost);
        }
    return m;
}
