#include "routing/TourSolver.h"

#include "platform/UserServices.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <new>
#include <utility>

namespace {

constexpr int kForbidden = INT_MAX;
// A reduction or a penalty that no tour can pay.
constexpr int64_t kNoTour = INT64_MAX;

// Undo log entries: the operation in the low 16 bits, the row in bits 16-23
// and the column in bits 24-31; the value stack runs parallel to the log.
enum : unsigned {
    kRelinkRowAndCol = 5, // the row, then the column, and one more live row
    kRestoreCell = 2,     // cell [row][col] gets the value back
    kAddToRow = 3,        // the value back to the finite cells of the row
    kAddToCol = 4,        // the value back to the finite cells of the column
};

} // namespace

void CTourSolver::CLiveList::Reset(int n)
{
    prev.assign(static_cast<size_t>(n + 1), 0);
    next.assign(static_cast<size_t>(n + 1), 0);
    for (int i = -1; i < n; ++i) {
        next[static_cast<size_t>(i + 1)] = i + 1 < n ? i + 1 : -1;
        prev[static_cast<size_t>(i + 1)] = i > -1 ? i - 1 : n - 1;
    }
}

void CTourSolver::CLiveList::Unlink(int i)
{
    int p = prev[static_cast<size_t>(i + 1)];
    int n = next[static_cast<size_t>(i + 1)];
    next[static_cast<size_t>(p + 1)] = n;
    prev[static_cast<size_t>(n + 1)] = p;
}

void CTourSolver::CLiveList::Relink(int i)
{
    next[static_cast<size_t>(prev[static_cast<size_t>(i + 1)] + 1)] = i;
    prev[static_cast<size_t>(next[static_cast<size_t>(i + 1)] + 1)] = i;
}

void CTourSolver::Log(unsigned op, int row, int col, int value)
{
    m_log.push_back(op | static_cast<uint32_t>(row & 0xFF) << 16 | static_cast<uint32_t>(col & 0xFF) << 24);
    m_values.push_back(value);
}

void CTourSolver::SubtractFromLine(bool row, int line, int value)
{
    const CLiveList& across = row ? m_liveCols : m_liveRows;
    for (int i = across.First(); i != -1; i = across.Next(i)) {
        int& cell = Cell(row, line, i);
        if (cell != kForbidden)
            cell -= value;
    }
}

void CTourSolver::Shrink(bool row, int line, int value)
{
    Log(row ? kAddToRow : kAddToCol, row ? line : 0, row ? 0 : line, value);
    SubtractFromLine(row, line, value);
}

void CTourSolver::Forbid(int row, int col)
{
    Log(kRestoreCell, row, col, m_rows[row][col]);
    m_rows[row][col] = kForbidden;
}

void CTourSolver::UndoToMark()
{
    size_t mark = m_marks.back();
    m_marks.pop_back();
    for (size_t i = m_log.size(); i-- > mark;) {
        uint32_t entry = m_log[i];
        int value = m_values[i];
        int row = static_cast<int>(entry >> 16 & 0xFF);
        int col = static_cast<int>(entry >> 24 & 0xFF);
        switch (entry & 0xFFFF) {
        case kRelinkRowAndCol:
            m_liveRows.Relink(row);
            m_liveCols.Relink(col);
            ++m_live;
            break;
        case kRestoreCell:
            m_rows[row][col] = value;
            break;
        case kAddToRow:
            SubtractFromLine(true, row, -value);
            break;
        case kAddToCol:
            SubtractFromLine(false, col, -value);
            break;
        }
    }
    m_log.resize(mark);
    m_values.resize(mark);
}

// Subtracts the least cell of every live row, then of every live column, so
// each has a zero; the sum subtracted is a lower bound on what remains.
int64_t CTourSolver::Reduce()
{
    int64_t sum = 0;
    for (bool row : {true, false}) {
        const CLiveList& lines = row ? m_liveRows : m_liveCols;
        for (int i = lines.First(); i != -1; i = lines.Next(i)) {
            int least = LeastCell(row, i);
            if (least == kForbidden)
                return kNoTour;
            if (least > 0) {
                Shrink(row, i, least);
                sum += least;
            }
        }
    }
    return sum;
}

int CTourSolver::LeastCell(bool row, int line) const
{
    const CLiveList& across = row ? m_liveCols : m_liveRows;
    int least = kForbidden;
    for (int i = across.First(); i != -1 && least > 0; i = across.Next(i))
        if (Cell(row, line, i) < least)
            least = Cell(row, line, i);
    return least;
}

// The zero whose exclusion raises the bound most; the first one met wins a tie.
// Left out, a zero's row pays the least of the row's other cells: the
// least beside the row's first zero for that zero, nothing (the first
// zero) for any later one; its column likewise. One pass over the matrix
// finds those for every line.
bool CTourSolver::ChooseZero(CZero& zero) const
{
    zero = CZero();
    int rowZero[kMaxStops], rowRest[kMaxStops], colZero[kMaxStops], colRest[kMaxStops];
    for (int c = m_liveCols.First(); c != -1; c = m_liveCols.Next(c)) {
        colZero[c] = -1;
        colRest[c] = kForbidden;
    }
    for (int r = m_liveRows.First(); r != -1; r = m_liveRows.Next(r)) {
        rowZero[r] = -1;
        rowRest[r] = kForbidden;
        const int* row = m_rows[r];
        for (int c = m_liveCols.First(); c != -1; c = m_liveCols.Next(c)) {
            const int cell = row[c];
            if (cell == 0 && rowZero[r] == -1)
                rowZero[r] = c;
            else
                rowRest[r] = std::min(rowRest[r], cell);
            if (cell == 0 && colZero[c] == -1)
                colZero[c] = r;
            else
                colRest[c] = std::min(colRest[c], cell);
        }
    }
    for (int r = m_liveRows.First(); r != -1; r = m_liveRows.Next(r)) {
        const int* row = m_rows[r];
        for (int c = rowZero[r]; c != -1; c = m_liveCols.Next(c)) {
            if (row[c] != 0)
                continue;
            const int a = c == rowZero[r] ? rowRest[r] : 0;
            const int b = r == colZero[c] ? colRest[c] : 0;
            const int64_t penalty = a == kForbidden || b == kForbidden ? kNoTour : int64_t{a} + b;
            if (penalty > zero.penalty)
                zero = CZero{r, c, penalty, a, b};
        }
    }
    return zero.row >= 0;
}

// Two rows and two columns are left and the matrix is reduced: one of the two
// ways to pair them costs nothing more (the other would close a subtour and
// was forbidden), so the bound is the cost of the tour.
void CTourSolver::RecordLastPair(int64_t bound)
{
    int r0 = m_liveRows.First(), r1 = m_liveRows.Next(r0);
    int c0 = m_liveCols.First(), c1 = m_liveCols.Next(c0);
    if (!(m_rows[r0][c0] == 0 && m_rows[r1][c1] == 0)) {
        if (!(m_rows[r0][c1] == 0 && m_rows[r1][c0] == 0))
            return;
        std::swap(c0, c1);
    }
    m_bestCost = bound;
    m_haveBest = true;
    m_bestSucc = m_succ;
    m_bestSucc[static_cast<size_t>(r0)] = c0;
    m_bestSucc[static_cast<size_t>(r1)] = c1;
}

// The least cost of a closed tour of the matrix as the search began, by
// dynamic programming over the subsets of the stops (Held and Karp); the
// paths start at stop 0. kNoTour when there is none, -1 when memory is short.
int64_t CTourSolver::LeastTourCost() const
{
    const int n = m_n, others = n - 1;
    const int64_t none = kNoTour;
    auto cost = [&](int i, int j) { return m_start[static_cast<size_t>(i) * n + j]; };
    std::vector<int64_t> least; // [subset of stops 1 .. n - 1][last stop - 1]
    try {
        least.assign((size_t{1} << others) * others, none);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    for (int j = 0; j < others; ++j)
        if (cost(0, j + 1) != kForbidden)
            least[(size_t{1} << j) * others + j] = cost(0, j + 1);
    const uint32_t all = (uint32_t{1} << others) - 1;
    for (uint32_t subset = 1; subset < all; ++subset) {
        const int64_t* here = &least[size_t{subset} * others];
        for (uint32_t ends = subset; ends != 0; ends &= ends - 1) {
            const int j = std::countr_zero(ends);
            if (here[j] == none)
                continue;
            const int* row = &m_start[static_cast<size_t>(j + 1) * n + 1];
            for (uint32_t rest = all & ~subset; rest != 0; rest &= rest - 1) {
                const int k = std::countr_zero(rest);
                if (row[k] == kForbidden)
                    continue;
                int64_t& there = least[size_t{subset | uint32_t{1} << k} * others + k];
                there = std::min(there, here[j] + row[k]);
            }
        }
    }
    int64_t best = none;
    const int64_t* full = &least[size_t{all} * others];
    for (int j = 0; j < others; ++j)
        if (full[j] != none && cost(j + 1, 0) != kForbidden)
            best = std::min(best, full[j] + cost(j + 1, 0));
    return best;
}

int64_t CTourSolver::Limit() const
{
    return m_optimum >= 0 && m_optimum != kNoTour ? std::min(BestOrNone(), m_optimum + 1) : BestOrNone();
}

bool CTourSolver::BestIsLeast() const
{
    return m_optimum == kNoTour || (m_haveBest && m_bestCost == m_optimum);
}

// Returns 0 when cancelled, or when the best tour is known to cost least.
int CTourSolver::Branch(int64_t bound)
{
    if (m_live == 2) {
        RecordLastPair(bound);
        return BestIsLeast() ? 0 : 1;
    }
    if (m_progress && m_progress->CheckCancel())
        return 0;
    // A long search mostly proves that the tour found first is the best.
    // Knowing the least cost ends it at the first tour of that cost, which
    // is the one the whole search would end with: the search meets the
    // same tours in the same order, only passing over those dearer than the
    // least and stopping when no cheaper one can come.
    if (++m_branches == kBranchesBeforeLeastCost)
        m_optimum = LeastTourCost();
    if (BestIsLeast())
        return 0;

    PushMark();
    int result = 1;
    CZero zero;
    while (ChooseZero(zero)) {
        int r = zero.row, c = zero.col;

        // Take the way r -> c, and forbid the way that would close its chain early.
        PushMark();
        Log(kRelinkRowAndCol, r, c, 0);
        m_liveCols.Unlink(c);
        m_liveRows.Unlink(r);
        --m_live;
        m_succ[static_cast<size_t>(r)] = c;
        m_pred[static_cast<size_t>(c)] = r;
        int chainEnd = c, chainStart = r;
        for (int steps = 0; m_succ[static_cast<size_t>(chainEnd)] != -1 && steps < m_n; ++steps)
            chainEnd = m_succ[static_cast<size_t>(chainEnd)];
        for (int steps = 0; m_pred[static_cast<size_t>(chainStart)] != -1 && steps < m_n; ++steps)
            chainStart = m_pred[static_cast<size_t>(chainStart)];
        Forbid(chainEnd, chainStart);
        int64_t g = Reduce();
        // When r -> c cannot be taken, its penalty is infinite too and the
        // loop ends below.
        if (g != kNoTour && bound + g < Limit())
            result = Branch(bound + g);
        m_succ[static_cast<size_t>(r)] = -1;
        m_pred[static_cast<size_t>(c)] = -1;
        UndoToMark();

        if (zero.penalty == kNoTour || bound + zero.penalty >= Limit() || result == 0)
            break;

        // Leave r -> c out: its row and column pay their next least cells.
        Forbid(r, c);
        if (zero.rowMin > 0)
            Shrink(true, r, zero.rowMin);
        if (zero.colMin > 0)
            Shrink(false, c, zero.colMin);
        bound += zero.penalty;
    }
    UndoToMark();
    return result;
}

bool CTourSolver::Solve(int** rows, int n, int start, int end, int* order, int64_t* cost, IProgress* progress)
{
    if (n < 1 || n > kMaxStops)
        return false;
    m_rows = rows;
    m_n = n;
    m_progress = progress;
    m_liveRows.Reset(n);
    m_liveCols.Reset(n);
    m_live = n;
    m_log.clear();
    m_values.clear();
    m_marks.clear();
    m_succ.assign(static_cast<size_t>(n), -1);
    m_pred.assign(static_cast<size_t>(n), -1);
    m_bestSucc.assign(static_cast<size_t>(n), -1);
    m_haveBest = false;
    m_bestCost = 0;
    m_optimum = -1;
    m_branches = 0;

    bool closed = start == end;
    if (!closed) {
        // The only way back to the start is a free one from the end: the
        // closed tour then is the open path.
        for (int i = 0; i < n; ++i)
            rows[i][start] = i == end ? 0 : kForbidden;
        rows[start][end] = kForbidden;
    } else if (n == 1) {
        order[0] = order[1] = start;
        *cost = 0;
        return true;
    }

    m_start.resize(static_cast<size_t>(n) * n);
    for (int i = 0; i < n; ++i)
        std::copy(rows[i], rows[i] + n, m_start.begin() + static_cast<std::ptrdiff_t>(i) * n);

    PushMark();
    // A stop to itself is no way on; a finite diagonal would let the search
    // close a one-stop loop.
    for (int i = 0; i < n; ++i)
        if (rows[i][i] != kForbidden)
            Forbid(i, i);
    int64_t bound = Reduce();
    if (bound != kNoTour)
        Branch(bound); // after a cancel the best tour so far stands
    UndoToMark();

    if (!m_haveBest)
        return false;
    order[0] = start;
    for (int k = 1; k < n; ++k)
        order[k] = m_bestSucc[static_cast<size_t>(order[k - 1])];
    if (closed)
        order[n] = start;
    *cost = m_bestCost;
    return true;
}
