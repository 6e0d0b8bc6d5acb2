#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

// Visiting orders of many stops by local search, for more stops than the
// exact solver takes: a nearest-neighbour order, then 2-opt and Or-opt
// moves until none makes it cheaper, and kicks out of that optimum. The
// costs may be asymmetric and may lack ways (INT_MAX); no order ever uses
// a way that is missing.
//
// An order is the sequence of nodes visited from first to last: all n
// nodes, and for a closed tour (first == last) n + 1 entries ending at
// first again. Everything is decided by the costs and the node numbers
// alone, so the same costs always give the same order.
class CTourSearch {
public:
    // cells: n x n costs row by row (from row to column), INT_MAX where
    // there is no way; the diagonal is never used. Borrowed.
    CTourSearch(const int* cells, int n);

    // The nearest-neighbour order, nearer first and then the lower node on
    // equal costs. A step that would leave some node impossible to reach is
    // not taken; when every step fails the search backs up. True with an
    // order that uses only existing ways. False with an empty order when
    // there is none (or the arguments are wrong), and false with the greedy
    // order, missing ways included, when the search gave up backing up.
    bool NearestNeighbour(int first, int last, std::vector<int>& order);

    // 2-opt (a stretch of the order reversed) and Or-opt (one to three
    // consecutive nodes moved elsewhere, either way round) until no move of
    // either kind lowers the cost: first those that join a node to one of
    // its nearest others, then every move in turn. Then kicks out of that
    // optimum (two stretches side by side change places), each followed by
    // the moves, keeping the cheapest order found; it is again an order no
    // single move makes cheaper. Reversed stretches are costed on the ways
    // they then take. A missing way costs more than any order without one,
    // so the moves also mend an order that uses some.
    void Improve(std::vector<int>& order) const;

    // NearestNeighbour, then Improve; false when the order still uses a
    // missing way or there is none.
    bool Solve(int first, int last, std::vector<int>& order);

    // The sum of the ways of the order; -1 when it uses a missing one.
    int64_t Cost(const std::vector<int>& order) const;

private:
    class CMoves;

    int Cell(int from, int to) const { return m_cells[static_cast<size_t>(from) * m_n + to]; }
    bool HasWay(int from, int to) const
    {
        const int cost = Cell(from, to);
        return from != to && cost != INT_MAX && cost >= 0;
    }
    // The cost the moves weigh: a missing way counts as the penalty.
    int64_t Weight(int from, int to) const { return HasWay(from, to) ? Cell(from, to) : m_penalty; }

    // Nodes of the unvisited set reachable from source along the ways
    // (forward) or from which source is reachable (backward), marked with a
    // new stamp; returns how many.
    int Spread(int source, bool forward);
    void BuildWayLists();
    bool CanFinish(int current, int target, int unvisited);
    int NextCandidate(int current, int64_t afterCost, int afterNode) const;
    void CompleteGreedily(std::vector<int>& path, int last, int unvisited);

    const int* m_cells;
    int m_n;
    int64_t m_penalty = 0;
    int64_t m_missingWays = 0;

    // The nearest-neighbour search.
    std::vector<char> m_unvisited;
    std::vector<int> m_unvisitedList;
    std::vector<uint32_t> m_mark;
    uint32_t m_stamp = 0;
    uint32_t m_candidateStamp = 0;
    int m_candidateCount = 0;
    std::vector<int> m_queue, m_unreached, m_position;
    // The existing ways out of and into each node, kept only for sparse
    // costs (start of node i's list at [i], its end at [i + 1]).
    bool m_haveLists = false;
    std::vector<int> m_outStart, m_outWays, m_inStart, m_inWays;
};
