#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class IProgress;

// The least-cost visiting order of a few stops, found exactly by Little's
// branch and bound on the cost matrix: reduce rows and columns, branch on
// the zero whose exclusion costs most, and undo every change through a log
// instead of copying the matrix at each node.
class CTourSolver {
public:
    // The row and column numbers packed into the undo log leave room for far
    // more, but the search grows too fast to be worth it beyond this.
    static constexpr int kMaxStops = 15;
    // Searches that run longer learn the least cost of a tour, which is
    // cheap by comparison at this size.
    static constexpr int kBranchesBeforeLeastCost = 1000;

    // rows: n rows of n non-negative costs, INT_MAX where the way is
    // forbidden or unknown. start == end asks for a closed tour (order gets
    // n + 1 entries, starting and ending at start); otherwise an open path
    // from start to end (order gets n entries). For an open path the start
    // column and cell [start][end] are rewritten in the caller's matrix;
    // every other change is undone before returning.
    // With a progress window a cancel stops the search and the best order
    // found so far stands. False when no order was found.
    bool Solve(int** rows, int n, int start, int end, int* order, int64_t* cost, IProgress* progress);

private:
    // Circular doubly linked list of the live rows or columns, with the
    // sentinel at -1 (stored at index 0).
    struct CLiveList {
        std::vector<int> prev, next;
        void Reset(int n);
        int First() const { return next[0]; }
        int Next(int i) const { return next[static_cast<size_t>(i + 1)]; }
        void Unlink(int i);
        void Relink(int i);
    };

    struct CZero {
        int row = -1, col = -1;
        int64_t penalty = -1;
        int rowMin = 0, colMin = 0;
    };

    // A row (row true) or a column of the matrix: line is its number, and
    // across the number of the column or row that crosses it.
    int& Cell(bool row, int line, int across) const { return row ? m_rows[line][across] : m_rows[across][line]; }
    // The least cell of a line over the live lines across it; the search
    // stops at a zero.
    int LeastCell(bool row, int line) const;
    void SubtractFromLine(bool row, int line, int value);
    // Subtracts value from the finite cells of a line, logged.
    void Shrink(bool row, int line, int value);

    int64_t Reduce();
    bool ChooseZero(CZero& zero) const;
    int Branch(int64_t bound);
    void RecordLastPair(int64_t bound);
    int64_t BestOrNone() const { return m_haveBest ? m_bestCost : INT64_MAX; }
    int64_t LeastTourCost() const;
    // What a branch must cost less than to be searched: less than the best
    // tour, and no more than the least cost once that is known.
    int64_t Limit() const;
    bool BestIsLeast() const;

    void Log(unsigned op, int row, int col, int value);
    void Forbid(int row, int col);
    void PushMark() { m_marks.push_back(m_log.size()); }
    void UndoToMark();

    int** m_rows = nullptr;
    int m_n = 0;
    CLiveList m_liveRows, m_liveCols;
    int m_live = 0;
    std::vector<uint32_t> m_log;
    std::vector<int> m_values;
    std::vector<size_t> m_marks;
    std::vector<int> m_succ, m_pred, m_bestSucc;
    int64_t m_bestCost = 0;
    bool m_haveBest = false;
    // The matrix as the search began, and the least cost of a tour through
    // it once a long search has asked for it (-1 before).
    std::vector<int> m_start;
    int64_t m_optimum = -1;
    int m_branches = 0;
    IProgress* m_progress = nullptr;
};
