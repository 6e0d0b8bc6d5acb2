#include "core/PolygonClipper.h"

#include "core/MapRect.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <numeric>
#include <span>
#include <stdexcept>

namespace {

using Int128 = __int128;

struct IPoint {
    int64_t x = 0;
    int64_t y = 0;
    friend bool operator==(const IPoint&, const IPoint&) = default;
};

bool LessXY(const IPoint& a, const IPoint& b)
{
    return a.x != b.x ? a.x < b.x : a.y < b.y;
}

// Grid coordinates stay within 2^53, so differences fit 55 bits and their
// products fit an Int128 with room to spare.
Int128 Cross(const IPoint& u, const IPoint& v)
{
    return Int128(u.x) * v.y - Int128(u.y) * v.x;
}

IPoint Minus(const IPoint& a, const IPoint& b)
{
    return IPoint{a.x - b.x, a.y - b.y};
}

// The conversion the library call makes, inline: the high word scaled by
// 2^64 is exact, so adding the low word rounds once, to the same value.
// The low word is taken signed, the high one making up for it, which
// spares the fix-up of an unsigned load.
inline long double ToLongDouble(Int128 v)
{
    const int64_t low = static_cast<int64_t>(static_cast<uint64_t>(v));
    long double f = static_cast<long double>(static_cast<int64_t>((v - low) >> 64));
    f *= 0x1p64L;
    f += static_cast<long double>(low);
    return f;
}

constexpr int kFinestExponent = -34;
// Rows of more edges than this may be worked by events: once less than a
// quarter of their edges were worked lately; and again whole below half
// of it or once more than four fifths are.
constexpr size_t kEventEdges = 16;
constexpr size_t kMaxEdges = INT32_MAX / 4;
// Chains of a ring are cut into pieces of at most this many edges, whose
// boxes are tried against the others'.
constexpr size_t kPieceEdges = 16;
// Rows that only pass a free chain on are skipped when this many or more
// come one after another.
constexpr size_t kLeastSkip = 4;
// Pieces of the result this far apart in the list are tried as the next
// one along a ring before the hash is.
constexpr size_t kNearPieces = 4;

// llround (half away from zero) for magnitudes below 2^63, without the
// library call: the fraction left after truncating is exact.
template <class Float>
int64_t RoundHalfAway(Float v)
{
    const int64_t whole = static_cast<int64_t>(v); // toward zero
    const Float rest = v - static_cast<Float>(whole);
    // Without branches: the fraction's side is anyone's guess.
    return whole + static_cast<int64_t>(rest >= Float(0.5)) - static_cast<int64_t>(rest <= Float(-0.5));
}

// value = integer * 2^exponent. Scaling by a power of two is exact, as
// ldexp is, and the rounding is llround's (half away from zero) for the
// magnitudes below 2^53 that the grid is chosen for.
struct Grid {
    int exponent = 0;
    double toGrid = 1;   // 2^-exponent
    double fromGrid = 1; // 2^exponent

    void SetExponent(int e)
    {
        exponent = e;
        toGrid = std::ldexp(1.0, -e);
        fromGrid = std::ldexp(1.0, e);
    }
    int64_t ToGrid(double v) const { return RoundHalfAway(v * toGrid); }
    double FromGrid(int64_t v) const { return static_cast<double>(v) * fromGrid; }
};

// Subject and clip membership of a region, one bit each.
enum : int { kSubjectBit = 1, kClipBit = 2 };

struct Edge {
    IPoint bot; // lower end
    IPoint top;
    int64_t xcur = 0;  // x at the current row
    int64_t xnext = 0; // x at the next row
    int bit = 0;       // kSubjectBit or kClipBit
    uint32_t rank = 0; // place in the order of bottoms
    uint32_t topRow = UINT32_MAX; // the row of the top, once asked for
    bool up = false;              // the ring runs from bot to top along it
    int64_t Dx() const { return top.x - bot.x; }
    int64_t Dy() const { return top.y - bot.y; } // > 0
};

// The boundary piece open on an edge: from start up to where the edge
// stops bounding the result; down when the region lies on its +x side.
struct Piece {
    IPoint start;
    bool open = false;
    bool down = false;
    // The segment that ends where it starts (or, down, starts where it
    // ends), closed at a vertex of a free chain that nothing else meets.
    // Taken up where the piece ends at such a vertex too.
    uint32_t joined = UINT32_MAX;
};

// a / b for a quotient known to fit 64 bits: one hardware division where
// there is one, instead of the library's full 128-bit routine.
inline uint64_t DivideWide(unsigned __int128 a, uint64_t b)
{
#if defined(__x86_64__)
    uint64_t quotient = 0;
    uint64_t remainder = 0;
    __asm__("divq %4"
            : "=a"(quotient), "=d"(remainder)
            : "a"(static_cast<uint64_t>(a)), "d"(static_cast<uint64_t>(a >> 64)), "rm"(b));
    return quotient;
#else
    return static_cast<uint64_t>(a / b);
#endif
}

// x of the edge at height y, rounded half up; exact at the ends, and the
// same for every edge on one line.
int64_t XAt(const Edge& e, int64_t y)
{
    if (y <= e.bot.y)
        return e.bot.x;
    if (y >= e.top.y)
        return e.top.x;
    const int64_t dx = e.Dx(), dy = e.Dy();
    // floor((2 dx (y - bot.y) + dy) / (2 dy)), the numerator made positive
    // by adding k times the divisor (no branch on the slope's sign, which
    // is hard to foretell): then the quotient is below 2^57.
    const Int128 a = 2 * (Int128(dx) * (y - e.bot.y)) + dy;
    const uint64_t b = 2 * static_cast<uint64_t>(dy);
    const int64_t k = dx < 0 ? 1 - dx : 0;
    const auto n = static_cast<unsigned __int128>(a + Int128(k) * b);
    return e.bot.x + (static_cast<int64_t>(DivideWide(n, b)) - k);
}

// Sorts by merging the runs the values already stand in (a run going
// down is turned round first); values that compare equal may come out in
// any order. False, and the values as they were, when they stand in many
// short runs. The buffers are scratch space.
template <class T, class Less>
bool SortByRuns(std::vector<T>& values, Less less, std::vector<T>& buffer, std::vector<size_t>& starts,
                std::vector<size_t>& merged)
{
    const size_t n = values.size();
    starts.clear();
    // A run takes its way from its first unequal step, and equal values on
    // either way: rings' vertices shared by two edges give pairs of equal
    // ends, which would cut a strictly falling run at every pair.
    std::vector<size_t>& falling = merged;
    falling.clear();
    for (size_t i = 0; i < n;) {
        size_t j = i + 1;
        while (j < n && !less(values[j], values[i]) && !less(values[i], values[j]))
            ++j;
        if (j < n && less(values[j], values[i])) {
            while (j < n && !less(values[j - 1], values[j]))
                ++j;
            falling.push_back(starts.size());
        } else {
            while (j < n && !less(values[j], values[j - 1]))
                ++j;
        }
        starts.push_back(i);
        if (starts.size() > n / 8 + 1)
            return false;
        i = j;
    }
    for (const size_t k : falling) {
        const size_t i = starts[k], j = k + 1 < starts.size() ? starts[k + 1] : n;
        std::reverse(values.begin() + static_cast<std::ptrdiff_t>(i), values.begin() + static_cast<std::ptrdiff_t>(j));
    }
    starts.push_back(n);
    buffer.resize(n);
    while (starts.size() > 2) {
        merged.clear();
        size_t k = 0;
        for (; k + 2 < starts.size(); k += 2) {
            std::merge(values.begin() + static_cast<std::ptrdiff_t>(starts[k]),
                       values.begin() + static_cast<std::ptrdiff_t>(starts[k + 1]),
                       values.begin() + static_cast<std::ptrdiff_t>(starts[k + 1]),
                       values.begin() + static_cast<std::ptrdiff_t>(starts[k + 2]),
                       buffer.begin() + static_cast<std::ptrdiff_t>(starts[k]), less);
            merged.push_back(starts[k]);
        }
        if (k + 1 < starts.size()) {
            std::copy(values.begin() + static_cast<std::ptrdiff_t>(starts[k]), values.end(),
                      buffer.begin() + static_cast<std::ptrdiff_t>(starts[k]));
            merged.push_back(starts[k]);
        }
        merged.push_back(n);
        std::swap(values, buffer);
        std::swap(starts, merged);
    }
    return true;
}

// Edges that run together through a whole row act as one.
struct Unit {
    int first = 0; // into the row's edge list
    int count = 0;
    int bits = 0; // membership toggled across it
    int rep = 0;  // edge index carrying the unit's piece
    int64_t xnext = 0;
    int window = 0;
};

// A stretch of a row worked like the whole row: the edges of the list
// below in [lo, hi), the edges that start in it, and what it makes.
struct Window {
    size_t lo = 0, hi = 0;
    size_t newBegin = 0, newEnd = 0; // edges starting in it
    int incoming = 0;                // membership left of it
    size_t aboveBegin = 0, aboveEnd = 0; // its edges of the row above, in m_above
    size_t unitBegin = 0, unitEnd = 0;   // its units, in m_units
};

// A pair of neighbours that must be worked at a row: they meet at its
// height, or cross before the next.
struct PairEvent {
    size_t row;
    int left, right;
    friend bool operator>(const PairEvent& a, const PairEvent& b) { return a.row > b.row; }
};

struct Swap {
    int left = 0; // units, left one before the swap
    int right = 0;
    IPoint at;
};

struct Segment {
    IPoint a;
    IPoint b;
};

// Segment to goes on from segment from, known as the sweep made them.
struct Join {
    uint32_t from, to;
};

// An edge in the order of bottoms; passing when its bottom is the top of
// the edge before it on its ring.
struct EdgeKey {
    int64_t y, x;
    uint32_t edge;
    bool passing;
};

// A segment in the order of its start or end.
struct PointKey {
    IPoint p;
    uint32_t segment;
};

// Consecutive edges of one chain of a ring going one way in y, and
// their box.
struct ChainPiece {
    int64_t x0, x1, y0, y1;
    uint32_t first, last; // edges [first, last]
    uint32_t chain;
    bool free;
};

struct Spoke {
    IPoint direction; // away from the node
    uint32_t segment;
    bool arrives;
};

// A sweep's storage is kept between operations up to this size, so that
// repeated clipping of inputs of like sizes does not map fresh pages each time.
constexpr size_t kKeptEdges = size_t(1) << 15;
constexpr size_t kKeptBytes = size_t(16) << 20;

template <class T>
size_t Bytes(const std::vector<T>& v)
{
    return v.capacity() * sizeof(T);
}

class Sweep {
public:
    // A new operation on at most the given number of edges.
    void Start(int op, const Grid& grid, size_t edges);
    // True when the storage is worth keeping for the next operation.
    bool Keep() const;
    void AddContour(const std::vector<CMapPoint>& points, int bit);
    void Run();
    void Result(std::vector<CPolygonClipper::Contour>& result);

private:
    bool In(int bits) const { return m_in[bits & 3]; }
    void Close(int edge, const IPoint& at) { CloseInline(edge, at); }
    // The edge's piece as the memberships either side of it tell: mostly
    // as it was.
    void SetStatus(int edge, int leftBits, int rightBits, const IPoint& at)
    {
        SetStatusInline(edge, leftBits, rightBits, at);
    }
    // The same, inline where they are all a row does: as calls from the
    // sweep, which is too long for the compiler to take them in, they
    // cost more than their work.
    [[gnu::always_inline]] void CloseInline(int edge, const IPoint& at)
    {
        Piece& e = m_pieces[static_cast<size_t>(edge)];
        if (!e.open)
            return;
        e.open = false;
        if (e.start == at)
            return;
        if (e.down)
            m_segments.push_back({at, e.start});
        else
            m_segments.push_back({e.start, at});
    }
    [[gnu::always_inline]] void SetStatusInline(int edge, int leftBits, int rightBits, const IPoint& at)
    {
        const Piece& e = m_pieces[static_cast<size_t>(edge)];
        const bool bounds = In(leftBits) != In(rightBits);
        if (e.open != bounds || (bounds && e.down != In(rightBits))) [[unlikely]]
            ChangeStatus(edge, bounds, In(rightBits), at);
    }
    void ChangeStatus(int edge, bool bounds, bool down, const IPoint& at);
    void Horizontal(int64_t x0, int64_t x1, int64_t y, int belowBits, int aboveBits);
    void BuildWindow(Window& w, int64_t y, int64_t ynext);
    bool RunsOn(size_t i, size_t i1, size_t j, size_t j1) const;
    void WalkWindow(Window& w, int windowIndex, int64_t y);
    void RunBeam(int64_t y, int64_t ynext);
    // A whole row at a vertex that only passes a ring on, worked at once.
    bool PassRow(uint32_t starting, int64_t y, int64_t ynext);
    // Goes on from the edge at from, the first whose x one row up does
    // not rise, with the place of the edge ending and x at it.
    bool PassRowCrossing(uint32_t starting, int64_t y, int64_t ynext, size_t from, size_t place, int64_t previousX);
    // The same where rings also turn: two edges of one ring starting or
    // ending at a point that nothing else meets.
    bool PassTurns(size_t newBegin, size_t newEnd, int64_t y, int64_t ynext);
    // The same on event rows: a vertex passing a ring on, whose new edge
    // may cross a neighbour, with pairs due apart from it that cross; or
    // where a ring turns, its two edges ending at one point (none
    // starting) or starting at one (none ending).
    bool PassEventChain(uint32_t starting, size_t row);
    // The endings and pairs due by the row, taken off their heaps into
    // m_due and m_duePairs; and put back when a pass gives up (false).
    void TakeDue(size_t row);
    bool GiveBackDue();
    bool PassEventTop(size_t row);
    bool PassEventBottom(size_t newBegin, size_t row);
    void SpliceWindows();
    // Event rows: the stretches of the row where anything happens.
    void FindWindows(size_t row, size_t nextNew, size_t newEnd);
    void TakeNewEdges(Window& w) const;
    void AddSeed(size_t lo, size_t hi) { m_seeds.push_back({lo, hi}); }
    // Not past the limits, the windows beside it, which it then meets.
    bool ExtendWindow(Window& w, const Window* before, const Window* after);
    // x of a listed edge at the current row and at the next, worked out
    // once per row.
    int64_t Xcur(int edge)
    {
        if (m_xcurRow[static_cast<size_t>(edge)] != static_cast<uint32_t>(m_row)) [[unlikely]]
            return NewXcur(edge);
        return m_edges[static_cast<size_t>(edge)].xcur;
    }
    int64_t Xnext(int edge)
    {
        if (m_xnextRow[static_cast<size_t>(edge)] != static_cast<uint32_t>(m_row)) [[unlikely]]
            return NewXnext(edge);
        return m_edges[static_cast<size_t>(edge)].xnext;
    }
    // Inside the callers' rare branch: a call of its own there costs more
    // than the code it saves, on rows worked by events.
    [[gnu::always_inline]] int64_t NewXcur(int edge);
    [[gnu::always_inline]] int64_t NewXnext(int edge);
    void Schedule(int left, int right, size_t row);
    void ScheduleWindows(size_t row);
    void StartEvents(size_t row);
    bool EndedAt(int edge, int64_t y) const { return m_edges[static_cast<size_t>(edge)].top.y <= y; }
    // Pieces of chains whose box meets no other piece's but the pieces
    // before and after on their chain: no other edge comes near them, so
    // at a row where one only passes on and nothing else happens, all the
    // row does is end its edge's piece and start the next's.
    void FindFreeChains();
    // The first row from r on that is not one of those.
    size_t QuietRowsEnd(size_t r, size_t nextNew) const;
    // Works rows r up to at most end as PassRow would, where the other
    // edges can be shown to keep apart all along: the row where it stopped.
    size_t SkipQuietRows(size_t r, size_t end, size_t& nextNew);
    bool ApartAt(size_t row, bool known) const;
    // The row of the edge's top, found from the current row on.
    size_t TopRow(int edge);
    void WatchEnd(int edge)
    {
        m_endings.push_back({TopRow(edge), edge, edge});
        std::push_heap(m_endings.begin(), m_endings.end(), std::greater<>());
    }
    IPoint CrossingPoint(const Edge& a, const Edge& b, int64_t y0, int64_t y1) const;
    void LinkRings();
    bool LinkPairs();
    // Compiled apart with joins and without, so that the sweeps that make
    // none, at many crossings, pay nothing for them.
    template <bool joined>
    bool LinkPairs();
    void LinkAtNodes();
    // Scratch no longer needed: emptied, and freed unless kept.
    template <class T>
    void Done(std::vector<T>& v)
    {
        v.clear();
        if (!m_keep)
            v.shrink_to_fit();
    }
    // Scratch that is written whole before it is read: left as it is when
    // kept, so that sizing it again writes no zeros.
    template <class T>
    void Spare(std::vector<T>& v)
    {
        if (!m_keep)
            Done(v);
    }

    Grid m_grid;
    bool m_in[4] = {};
    std::vector<Edge> m_edges;
    std::vector<Piece> m_pieces; // by edge
    std::vector<int> m_below; // edges of the row below, ordered by x at the current height
    std::vector<int> m_above; // edges of the row above, window by window
    std::vector<Window> m_windows;
    // Event rows, taken once the rows hold many edges: only windows around
    // ends, starts and neighbours that meet or cross are worked; elsewhere
    // nothing changes. Per edge: place in m_below (-1 none), membership
    // left of it, the row of its top, and the rows its x is known for.
    bool m_events = false;
    // Edges worked and edges in the rows, averaged over the last rows (in
    // 1/256), whose ratio is the share worked lately.
    int64_t m_worked = 256, m_edgesSeen = 256;
    const std::vector<int64_t>* m_rows = nullptr;
    size_t m_row = 0;
    std::vector<int> m_place;
    std::vector<int> m_left;
    std::vector<PairEvent> m_endings; // a heap of the listed edges by the row of their tops
    std::vector<uint32_t> m_sorted;   // the edges in the order of their bottoms
    std::vector<uint32_t> m_xcurRow, m_xnextRow;
    std::vector<PairEvent> m_pairs; // a heap, soonest first
    std::vector<PairEvent> m_due, m_duePairs;
    // The windows of an event row worked in one pass: which holds the
    // vertex, and its pairs that cross.
    struct PassSwap {
        int u, v, left;
        IPoint at;
    };
    std::vector<PassSwap> m_passSwaps;
    // Where windows start from, sorted as pairs: whole windows are slow to move.
    struct Seed {
        size_t lo, hi;
    };
    std::vector<Seed> m_seeds;
    size_t m_newFirst = 0;
    std::vector<size_t> m_newPlace; // where the row's starting edges go in the list
    std::vector<int> m_next;        // the windows' rows above in their new order
    std::vector<int> m_spliced;
    struct Stretch {
        size_t p, q;
        int64_t gp, gq;
    };
    std::vector<Stretch> m_stretches;
    std::vector<Unit> m_units;
    std::vector<int> m_states; // membership left of each unit (and right of the last)
    std::vector<Swap> m_swaps;
    // The nodes of a row worked in one pass: two edges (-1 for none) and
    // what they do there.
    enum class Turn { kPass, kChain, kTop, kBottom };
    struct PassNode {
        Turn turn;
        int a, b;
    };
    std::vector<PassNode> m_passNodes;
    std::vector<int> m_order;    // units in x order within the beam
    std::vector<int> m_position; // place of each unit in m_order
    std::vector<Segment> m_segments;
    // Links between segments made at the vertices of free chains, whose
    // points no other segment starts or ends at: they need no hash.
    std::vector<Join> m_joins;
    bool m_keep = false;
    // Scratch of the sorts and of the rings' linking.
    std::vector<EdgeKey> m_keys, m_keyBuffer;
    std::vector<int64_t> m_peaks, m_peakBuffer, m_rowList, m_xs;
    std::vector<size_t> m_runStarts, m_runMerged;
    std::vector<PointKey> m_pointKeys;
    std::vector<uint32_t> m_byStart, m_byEnd;
    std::vector<int64_t> m_link;
    std::vector<Spoke> m_spokes;
    std::vector<uint32_t> m_pending;
    std::vector<uint8_t> m_used;
    std::vector<uint64_t> m_slots;
    // The rings linked: their vertices one after another, and where each ends.
    std::vector<IPoint> m_ringPoints;
    std::vector<size_t> m_ringEnds;
    // Free chains: where each contour's edges end, the free edge ending
    // where each edge starts (-1 for none), which edges are free, the
    // number of tops at each row (2 for more), and while rows are
    // skipped each free edge's place and the memberships left of each place.
    std::vector<size_t> m_contourEnds;
    std::vector<ChainPiece> m_chainPieces;
    struct PieceLeft {
        int64_t x0;
        uint32_t piece;
    };
    std::vector<PieceLeft> m_pieceOrder;
    std::vector<int> m_chainBelow;
    std::vector<uint8_t> m_freeEdge;
    std::vector<uint8_t> m_rowTops;
    std::vector<int> m_freePlace;
    std::vector<int> m_placeBits;
    bool m_anyFree = false;
};

void Sweep::Start(int op, const Grid& grid, size_t edges)
{
    // Which of the four memberships (none, subject, clip, both) is in the result.
    static constexpr bool kTables[4][4] = {
        {false, true, false, false}, // difference
        {false, false, false, true}, // intersection
        {false, true, true, false},  // exclusive-or
        {false, true, true, true},   // union
    };
    for (int i = 0; i < 4; ++i)
        m_in[i] = kTables[op][i];
    m_grid = grid;
    m_keep = edges <= kKeptEdges;
    m_events = false;
    m_worked = 256;
    m_edgesSeen = 256;
    m_rows = nullptr;
    m_row = 0;
    m_newFirst = 0;
    m_edges.clear();
    m_edges.reserve(std::min(edges, kMaxEdges));
    // Per-edge tables of event rows are made afresh when first needed.
    for (auto* v : {&m_place, &m_left})
        v->clear();
    for (auto* v : {&m_xcurRow, &m_xnextRow})
        v->clear();
    m_below.clear();
    m_above.clear();
    m_next.clear();
    m_spliced.clear();
    m_windows.clear();
    m_seeds.clear();
    m_endings.clear();
    m_pairs.clear();
    m_due.clear();
    m_newPlace.clear();
    m_stretches.clear();
    m_units.clear();
    m_states.clear();
    m_swaps.clear();
    m_order.clear();
    m_position.clear();
    m_segments.clear();
    m_joins.clear();
    m_ringEnds.clear();
    m_contourEnds.clear();
    m_anyFree = false;
}

bool Sweep::Keep() const
{
    const size_t bytes = Bytes(m_edges) + Bytes(m_pieces) + Bytes(m_below) + Bytes(m_above) + Bytes(m_windows) +
                         Bytes(m_place) + Bytes(m_left) + Bytes(m_endings) + Bytes(m_sorted) + Bytes(m_xcurRow) +
                         Bytes(m_xnextRow) + Bytes(m_pairs) + Bytes(m_due) + Bytes(m_duePairs) + Bytes(m_passSwaps) + Bytes(m_seeds) + Bytes(m_newPlace) + Bytes(m_next) +
                         Bytes(m_spliced) + Bytes(m_stretches) + Bytes(m_units) + Bytes(m_states) + Bytes(m_swaps) + Bytes(m_passNodes) +
                         Bytes(m_order) + Bytes(m_position) + Bytes(m_segments) + Bytes(m_joins) + Bytes(m_keys) +
                         Bytes(m_keyBuffer) + Bytes(m_peaks) + Bytes(m_peakBuffer) + Bytes(m_rowList) + Bytes(m_xs) +
                         Bytes(m_runStarts) + Bytes(m_runMerged) + Bytes(m_pointKeys) + Bytes(m_byStart) +
                         Bytes(m_byEnd) + Bytes(m_link) + Bytes(m_spokes) + Bytes(m_pending) + Bytes(m_used) +
                         Bytes(m_ringPoints) + Bytes(m_ringEnds) + Bytes(m_slots) +
                         Bytes(m_contourEnds) + Bytes(m_chainPieces) + Bytes(m_pieceOrder) + Bytes(m_chainBelow) +
                         Bytes(m_freeEdge) + Bytes(m_rowTops) + Bytes(m_freePlace) + Bytes(m_placeBits);
    return m_keep && bytes <= kKeptBytes;
}

void Sweep::AddContour(const std::vector<CMapPoint>& points, int bit)
{
    const size_t n = points.size();
    if (n < 2)
        return;
    // Edges and boundary pieces are numbered in 32 bits.
    if (n > kMaxEdges - m_edges.size())
        throw std::length_error("too many edges");
    IPoint first{m_grid.ToGrid(points[0].x), m_grid.ToGrid(points[0].y)};
    IPoint a = first;
    for (size_t i = 0; i < n; ++i) {
        const IPoint b = i + 1 < n ? IPoint{m_grid.ToGrid(points[i + 1].x), m_grid.ToGrid(points[i + 1].y)} : first;
        // Horizontal edges bound nothing along a row; the rows above and
        // below tell where the result has horizontal sides.
        if (a.y != b.y) {
            // Built in place: a whole built apart and copied in stalls on reading back its parts.
            Edge& e = m_edges.emplace_back();
            e.bot = a.y < b.y ? a : b;
            e.top = a.y < b.y ? b : a;
            e.bit = bit;
            e.up = a.y < b.y;
        }
        a = b;
    }
    m_contourEnds.push_back(m_edges.size());
}

void Sweep::ChangeStatus(int edge, bool bounds, bool down, const IPoint& at)
{
    Piece& e = m_pieces[static_cast<size_t>(edge)];
    Close(edge, at);
    if (bounds) {
        e.open = true;
        e.start = at;
        e.down = down;
        e.joined = UINT32_MAX;
    }
}

void Sweep::Horizontal(int64_t x0, int64_t x1, int64_t y, int belowBits, int aboveBits)
{
    const bool below = In(belowBits);
    const bool above = In(aboveBits);
    if (below == above || x0 == x1)
        return;
    // The region on the left: rightwards under it, leftwards over it.
    if (above)
        m_segments.push_back({{x0, y}, {x1, y}});
    else
        m_segments.push_back({{x1, y}, {x0, y}});
}

// The edges of the row starting at y: those of the row below that go on,
// merged with the edges that start here; ordered by x at y, then at ynext.
// The edges of a window's row above: those of the row below that go on,
// merged with the edges that start in it; ordered by x at y, then at ynext.
void Sweep::BuildWindow(Window& w, int64_t y, int64_t ynext)
{
    w.aboveBegin = m_above.size();
    size_t i = w.lo;
    size_t j = w.newBegin;
    for (;;) {
        while (i < w.hi && m_edges[static_cast<size_t>(m_below[i])].top.y <= y)
            ++i;
        const bool haveOld = i < w.hi;
        const bool haveNew = j < w.newEnd;
        if (!haveOld && !haveNew)
            break;
        if (haveNew && (!haveOld || m_edges[m_sorted[j]].bot.x < m_edges[static_cast<size_t>(m_below[i])].xcur)) {
            Edge& e = m_edges[m_sorted[j]];
            e.xcur = e.bot.x;
            m_above.push_back(static_cast<int>(m_sorted[j++]));
        } else {
            m_above.push_back(m_below[i++]);
        }
    }
    w.aboveEnd = m_above.size();
    for (size_t k = w.aboveBegin; k < w.aboveEnd; ++k) {
        if (m_events)
            Xnext(m_above[k]);
        else
            m_edges[static_cast<size_t>(m_above[k])].xnext = XAt(m_edges[static_cast<size_t>(m_above[k])], ynext);
    }
    // Within one x the edges fan out by their x one row up.
    for (size_t a = w.aboveBegin; a < w.aboveEnd;) {
        size_t b = a + 1;
        const int64_t x = m_edges[static_cast<size_t>(m_above[a])].xcur;
        while (b < w.aboveEnd && m_edges[static_cast<size_t>(m_above[b])].xcur == x)
            ++b;
        if (b - a > 1)
            std::sort(m_above.begin() + static_cast<std::ptrdiff_t>(a), m_above.begin() + static_cast<std::ptrdiff_t>(b),
                      [this](int p, int q) {
                          const Edge& ep = m_edges[static_cast<size_t>(p)];
                          const Edge& eq = m_edges[static_cast<size_t>(q)];
                          return ep.xnext != eq.xnext ? ep.xnext < eq.xnext : ep.rank < eq.rank;
                      });
        a = b;
    }
}

// True when the edges meeting at a node are the same below and above and
// act as one above, and only the first of them may carry a piece: then
// that piece goes on through the node unless its side changes, so edges
// shared by both operands get no vertex at every row.
bool Sweep::RunsOn(size_t i, size_t i1, size_t j, size_t j1) const
{
    if (i1 - i != j1 - j)
        return false;
    for (size_t k = 0; k < i1 - i; ++k)
        if (m_below[i + k] != m_above[j + k])
            return false;
    if (m_edges[static_cast<size_t>(m_above[j])].xnext != m_edges[static_cast<size_t>(m_above[j1 - 1])].xnext)
        return false;
    for (size_t k = i + 1; k < i1; ++k)
        if (m_pieces[static_cast<size_t>(m_below[k])].open)
            return false;
    return true;
}

// Along the row line at y: every x where edges meet it is a node. Pieces
// arriving at a node end there and pieces leaving start there, except where
// the edges run on through the node bounding the same side; between
// nodes, a difference between the memberships below and above is a
// horizontal side. Also groups the edges of the row above into units.
// A window starts and ends where the memberships below and above agree.
void Sweep::WalkWindow(Window& w, int windowIndex, int64_t y)
{
    w.unitBegin = m_units.size();
    m_states.push_back(w.incoming);
    int belowBits = w.incoming;
    int aboveBits = w.incoming;
    bool havePrevious = false;
    int64_t previousX = 0;
    size_t i = w.lo;
    size_t j = w.aboveBegin;
    while (i < w.hi || j < w.aboveEnd) {
        int64_t x = INT64_MAX;
        if (i < w.hi)
            x = m_edges[static_cast<size_t>(m_below[i])].xcur;
        if (j < w.aboveEnd)
            x = std::min(x, m_edges[static_cast<size_t>(m_above[j])].xcur);
        size_t i1 = i;
        while (i1 < w.hi && m_edges[static_cast<size_t>(m_below[i1])].xcur == x)
            ++i1;
        size_t j1 = j;
        while (j1 < w.aboveEnd && m_edges[static_cast<size_t>(m_above[j1])].xcur == x)
            ++j1;
        if (havePrevious)
            Horizontal(previousX, x, y, belowBits, aboveBits);
        const IPoint node{x, y};

        if (!RunsOn(i, i1, j, j1))
            for (size_t k = i; k < i1; ++k)
                Close(m_below[k], node);
        for (size_t k = i; k < i1; ++k)
            belowBits ^= m_edges[static_cast<size_t>(m_below[k])].bit;
        for (size_t k = j; k < j1;) {
            Unit unit;
            unit.first = static_cast<int>(k);
            unit.rep = m_above[k];
            unit.xnext = m_edges[static_cast<size_t>(unit.rep)].xnext;
            unit.window = windowIndex;
            while (k < j1 && m_edges[static_cast<size_t>(m_above[k])].xnext == unit.xnext) {
                unit.bits ^= m_edges[static_cast<size_t>(m_above[k])].bit;
                ++unit.count;
                ++k;
            }
            SetStatus(unit.rep, aboveBits, aboveBits ^ unit.bits, node);
            aboveBits ^= unit.bits;
            m_units.push_back(unit);
            m_states.push_back(aboveBits);
        }
        havePrevious = true;
        previousX = x;
        i = i1;
        j = j1;
    }
    w.unitEnd = m_units.size();
}

IPoint Sweep::CrossingPoint(const Edge& a, const Edge& b, int64_t y0, int64_t y1) const
{
    const int64_t xmin = std::min({a.xcur, a.xnext, b.xcur, b.xnext});
    const int64_t xmax = std::max({a.xcur, a.xnext, b.xcur, b.xnext});
    // Parallel edges swap only by rounding, so they are within a unit all
    // along: they meet halfway up the row.
    int64_t y = y0 + (y1 - y0) / 2;
    const int64_t adx = a.Dx(), ady = a.Dy(), bdx = b.Dx(), bdy = b.Dy();
    const Int128 d = Int128(adx) * bdy - Int128(ady) * bdx;
    if (d != 0) {
        const Int128 n = Int128(b.bot.x - a.bot.x) * bdy - Int128(b.bot.y - a.bot.y) * bdx;
        const long double t = ToLongDouble(n) / ToLongDouble(d);
        const long double ty = a.bot.y + t * ady;
        if (ty >= y0 && ty <= y1) {
            const long double x = std::clamp<long double>(a.bot.x + t * adx, xmin, xmax);
            return IPoint{RoundHalfAway(x), std::clamp<int64_t>(RoundHalfAway(ty), y0, y1)};
        }
        // Crossing just beyond the row, swapped by rounding at the near
        // end: there the edges are within a unit.
        y = ty < y0 ? y0 : y1;
    }
    return IPoint{std::clamp((XAt(a, y) + XAt(b, y)) / 2, xmin, xmax), y};
}

// Between the rows at y and ynext units change order only by swapping with
// a neighbour where they cross. An insertion sort by x at ynext lists each
// crossing pair once; they are taken by height, always a pair of neighbours.
// Windows are sorted apart (no unit crosses out of its window), their
// crossings taken by height together; the states of window w's units
// follow w's own state on the left, at index position + w.
void Sweep::RunBeam(int64_t y, int64_t ynext)
{
    const int m = static_cast<int>(m_units.size());
    std::vector<int>& order = m_order;
    order.resize(static_cast<size_t>(m));
    std::iota(order.begin(), order.end(), 0);
    m_swaps.clear();
    for (const Window& w : m_windows) {
        for (int k = static_cast<int>(w.unitBegin) + 1; k < static_cast<int>(w.unitEnd); ++k) {
            const int u = order[static_cast<size_t>(k)];
            int p = k;
            while (p > static_cast<int>(w.unitBegin) &&
                   m_units[static_cast<size_t>(order[static_cast<size_t>(p - 1)])].xnext >
                       m_units[static_cast<size_t>(u)].xnext) {
                m_swaps.push_back({order[static_cast<size_t>(p - 1)], u, {}});
                order[static_cast<size_t>(p)] = order[static_cast<size_t>(p - 1)];
                --p;
            }
            order[static_cast<size_t>(p)] = u;
        }
    }
    if (!m_swaps.empty()) {
        for (Swap& s : m_swaps)
            s.at = CrossingPoint(m_edges[static_cast<size_t>(m_units[static_cast<size_t>(s.left)].rep)],
                                 m_edges[static_cast<size_t>(m_units[static_cast<size_t>(s.right)].rep)], y, ynext);
        // By height, keeping the order found among equals (any stable sort
        // gives the same): a few by insertion, without the library's buffer.
        const auto lower = [](const Swap& a, const Swap& b) { return a.at.y < b.at.y; };
        if (m_swaps.size() <= 16) {
            for (size_t k = 1; k < m_swaps.size(); ++k)
                for (size_t p = k; p > 0 && lower(m_swaps[p], m_swaps[p - 1]); --p)
                    std::swap(m_swaps[p], m_swaps[p - 1]);
        } else {
            std::stable_sort(m_swaps.begin(), m_swaps.end(), lower);
        }
        std::iota(order.begin(), order.end(), 0);
        std::vector<int>& position = m_position;
        position = order;
        for (size_t s = 0; s < m_swaps.size(); ++s) {
            // Rounding may list a crossing before the one that makes its
            // pair neighbours; a pair of neighbours is always left.
            auto adjacent = [&](const Swap& w) {
                return position[static_cast<size_t>(w.right)] == position[static_cast<size_t>(w.left)] + 1;
            };
            if (!adjacent(m_swaps[s])) {
                size_t t = s + 1;
                while (t < m_swaps.size() && !adjacent(m_swaps[t]))
                    ++t;
                if (t == m_swaps.size())
                    throw std::logic_error("crossing order");
                std::swap(m_swaps[s], m_swaps[t]);
            }
            const Swap& w = m_swaps[s];
            const size_t p = static_cast<size_t>(position[static_cast<size_t>(w.left)]);
            const Unit& u = m_units[static_cast<size_t>(w.left)];
            const Unit& v = m_units[static_cast<size_t>(w.right)];
            const size_t q = p + static_cast<size_t>(u.window);
            const int middle = m_states[q] ^ v.bits;
            SetStatus(u.rep, middle, m_states[q + 2], w.at);
            SetStatus(v.rep, m_states[q], middle, w.at);
            m_states[q + 1] = middle;
            std::swap(order[p], order[p + 1]);
            position[static_cast<size_t>(w.left)] = static_cast<int>(p + 1);
            position[static_cast<size_t>(w.right)] = static_cast<int>(p);
        }
    }
    // Each window's row above, in the new order, replaces its stretch
    // below: m_above is rewritten window by window, or taken as it is
    // where nothing crossed.
    if (m_swaps.empty()) {
        for (const Window& w : m_windows)
            for (size_t k = w.aboveBegin; k < w.aboveEnd; ++k) {
                Edge& edge = m_edges[static_cast<size_t>(m_above[k])];
                edge.xcur = edge.xnext;
            }
        std::swap(m_next, m_above);
        return;
    }
    m_next.clear();
    for (Window& w : m_windows) {
        const size_t begin = m_next.size();
        for (size_t k = w.unitBegin; k < w.unitEnd; ++k) {
            const Unit& unit = m_units[static_cast<size_t>(order[k])];
            for (int e = unit.first; e < unit.first + unit.count; ++e) {
                Edge& edge = m_edges[static_cast<size_t>(m_above[static_cast<size_t>(e)])];
                edge.xcur = edge.xnext;
                m_next.push_back(m_above[static_cast<size_t>(e)]);
            }
        }
        w.aboveBegin = begin;
        w.aboveEnd = m_next.size();
    }
}

// Where x one row up, at(0) ... at(n - 1), falls nowhere but between one
// pair of neighbours, which swapping puts in order: the left one's index
// (n when it falls nowhere). Then an insertion sort swaps that pair and
// no other, as the beam would. SIZE_MAX for any other order.
template <class At>
size_t OneSwap(size_t n, At at)
{
    size_t cross = n;
    for (size_t k = 1; k < n; ++k) {
        if (at(k - 1) <= at(k))
            continue;
        if (cross != n)
            return SIZE_MAX;
        cross = k - 1;
    }
    if (cross != n && ((cross > 0 && at(cross - 1) > at(cross + 1)) || (cross + 2 < n && at(cross) > at(cross + 2))))
        return SIZE_MAX;
    return cross;
}

// Most rows of a ring's long chains hold one vertex where one edge ends
// and the next of its ring starts, nothing else meets there, and before
// the next row at most one pair of neighbours crosses. Such a row is worked
// here in one pass, just as the window walk and the beam would work it:
// the new edge takes the old one's place, the old one's piece ends at the
// vertex, every edge's side is set from the memberships left of it, and
// then the crossing pair's. False, with nothing changed but the edges' x
// at the next row, for any other row.
bool Sweep::PassRow(uint32_t starting, int64_t y, int64_t ynext)
{
    const size_t n = m_below.size();
    Edge& added = m_edges[starting];
    size_t place = n;
    int64_t previousX = INT64_MIN, previousNext = INT64_MIN;
    for (size_t k = 0; k < n; ++k) {
        Edge& e = m_edges[static_cast<size_t>(m_below[k])];
        int64_t x = e.xcur;
        Edge* above = &e;
        if (e.top.y <= y) {
            if (place != n || !(e.top == added.bot) || e.bit != added.bit)
                return false;
            place = k;
            above = &added;
        }
        above->xnext = XAt(*above, ynext);
        if (x <= previousX)
            return false;
        if (above->xnext <= previousNext)
            return PassRowCrossing(starting, y, ynext, k, place, x);
        previousX = x;
        previousNext = above->xnext;
    }
    if (place == n)
        return false;
    int bits = 0;
    for (size_t k = 0; k < n; ++k) {
        const int edge = m_below[k];
        Edge& e = m_edges[static_cast<size_t>(edge)];
        if (k == place) {
            Close(edge, e.top);
            const int next = static_cast<int>(starting);
            SetStatus(next, bits, bits ^ added.bit, added.bot);
            added.xcur = added.xnext;
            m_below[k] = next;
        } else {
            SetStatus(edge, bits, bits ^ e.bit, IPoint{e.xcur, y});
            e.xcur = e.xnext;
        }
        bits ^= e.bit;
    }
    return true;
}

bool Sweep::PassRowCrossing(uint32_t starting, int64_t y, int64_t ynext, size_t from, size_t place, int64_t previousX)
{
    const size_t n = m_below.size();
    Edge& added = m_edges[starting];
    int64_t previousNext = INT64_MIN;
    bool ordered = false;
    for (size_t k = from + 1; k < n; ++k) {
        Edge& e = m_edges[static_cast<size_t>(m_below[k])];
        int64_t x = e.xcur;
        Edge* above = &e;
        if (e.top.y <= y) {
            if (place != n || !(e.top == added.bot) || e.bit != added.bit)
                return false;
            place = k;
            above = &added;
        }
        above->xnext = XAt(*above, ynext);
        if (x <= previousX)
            return false;
        // Edges at other x that meet one row up stay apart units.
        ordered = ordered && above->xnext >= previousNext;
        previousX = x;
        previousNext = above->xnext;
    }
    if (place == n)
        return false;
    size_t cross = n;
    if (!ordered) {
        cross = OneSwap(n, [&](size_t k) {
            return k == place ? added.xnext : m_edges[static_cast<size_t>(m_below[k])].xnext;
        });
        if (cross == SIZE_MAX)
            return false;
    }
    IPoint at;
    if (cross != n) [[unlikely]] {
        added.xcur = added.bot.x;
        const auto edgeAt = [&](size_t k) -> const Edge& {
            return k == place ? added : m_edges[static_cast<size_t>(m_below[k])];
        };
        at = CrossingPoint(edgeAt(cross), edgeAt(cross + 1), y, ynext);
    }
    int bits = 0;
    for (size_t k = 0; k < n; ++k) {
        const int edge = m_below[k];
        Edge& e = m_edges[static_cast<size_t>(edge)];
        if (k == place) {
            Close(edge, e.top);
            const int next = static_cast<int>(starting);
            SetStatus(next, bits, bits ^ added.bit, added.bot);
            added.xcur = added.xnext;
            m_below[k] = next;
        } else {
            SetStatus(edge, bits, bits ^ e.bit, IPoint{e.xcur, y});
            e.xcur = e.xnext;
        }
        bits ^= e.bit;
    }
    if (cross != n) [[unlikely]] {
        // As the beam works a swap: the states left of, between and right of the pair.
        int crossBits = 0;
        for (size_t k = 0; k < cross; ++k)
            crossBits ^= m_edges[static_cast<size_t>(m_below[k])].bit;
        const int u = m_below[cross], v = m_below[cross + 1];
        const int ub = m_edges[static_cast<size_t>(u)].bit, vb = m_edges[static_cast<size_t>(v)].bit;
        const int middle = crossBits ^ vb;
        SetStatus(u, middle, crossBits ^ ub ^ vb, at);
        SetStatus(v, crossBits, middle, at);
        std::swap(m_below[cross], m_below[cross + 1]);
        m_swaps.push_back({static_cast<int>(cross), static_cast<int>(cross + 1), at});
    }
    return true;
}

// Each node of the row is an edge going on, a vertex passing a ring on,
// or a ring's lowest or highest vertex (two of its edges starting or
// ending), no two at one x; before the next row at most one pair of
// neighbours crosses.
// Then the memberships below and above agree between the nodes, so there
// are no horizontal sides, and the nodes are worked in x order as the
// window walk works them. False, with nothing changed but the edges' x at
// the next row, for any other row.
bool Sweep::PassTurns(size_t newBegin, size_t newEnd, int64_t y, int64_t ynext)
{
    const size_t n = m_below.size();
    m_next.clear();
    m_passNodes.clear();
    const auto above = [&](int edge) {
        Edge& e = m_edges[static_cast<size_t>(edge)];
        e.xnext = XAt(e, ynext);
        m_next.push_back(edge);
        return true;
    };
    const auto xAt = [&](size_t k) { return m_edges[static_cast<size_t>(m_below[k])].xcur; };
    size_t i = 0, j = newBegin;
    while (i < n || j < newEnd) {
        const Edge* old = i < n ? &m_edges[static_cast<size_t>(m_below[i])] : nullptr;
        const Edge* added = j < newEnd ? &m_edges[m_sorted[j]] : nullptr;
        const int64_t x = old && (!added || old->xcur <= added->bot.x) ? old->xcur : added->bot.x;
        const bool oldHere = old && old->xcur == x;
        const bool twoOld = oldHere && i + 1 < n && xAt(i + 1) == x;
        const bool addedHere = added && added->bot.x == x;
        const bool twoAdded = addedHere && j + 1 < newEnd && m_edges[m_sorted[j + 1]].bot.x == x;
        if ((twoOld && i + 2 < n && xAt(i + 2) == x) ||
            (twoAdded && j + 2 < newEnd && m_edges[m_sorted[j + 2]].bot.x == x))
            return false;
        if (oldHere && !twoOld && !addedHere) {
            if (old->top.y <= y || !above(m_below[i]))
                return false;
            m_passNodes.push_back({Turn::kPass, m_below[i], -1});
            ++i;
        } else if (oldHere && !twoOld && addedHere && !twoAdded) {
            if (old->top.y > y || old->bit != added->bit || !above(static_cast<int>(m_sorted[j])))
                return false;
            m_passNodes.push_back({Turn::kChain, m_below[i], static_cast<int>(m_sorted[j])});
            ++i;
            ++j;
        } else if (twoOld && !addedHere) {
            const Edge& other = m_edges[static_cast<size_t>(m_below[i + 1])];
            if (old->top.y > y || other.top.y > y || old->bit != other.bit)
                return false;
            m_passNodes.push_back({Turn::kTop, m_below[i], m_below[i + 1]});
            i += 2;
        } else if (!oldHere && twoAdded) {
            // Fanned out by their x one row up, as the row's merge does.
            int first = static_cast<int>(m_sorted[j]), second = static_cast<int>(m_sorted[j + 1]);
            if (added->bit != m_edges[static_cast<size_t>(second)].bit)
                return false;
            const int64_t secondNext = XAt(m_edges[static_cast<size_t>(second)], ynext), firstNext = XAt(*added, ynext);
            // Together one row up they would be one unit.
            if (secondNext == firstNext)
                return false;
            if (secondNext < firstNext)
                std::swap(first, second);
            if (!above(first) || !above(second))
                return false;
            m_passNodes.push_back({Turn::kBottom, first, second});
            j += 2;
        } else {
            return false;
        }
    }
    const size_t cross = OneSwap(m_next.size(), [&](size_t k) { return m_edges[static_cast<size_t>(m_next[k])].xnext; });
    if (cross == SIZE_MAX)
        return false;
    IPoint at;
    int crossBits = 0;
    if (cross != m_next.size()) {
        for (size_t k = 0; k < cross; ++k)
            crossBits ^= m_edges[static_cast<size_t>(m_next[k])].bit;
        Edge& a = m_edges[static_cast<size_t>(m_next[cross])];
        Edge& b = m_edges[static_cast<size_t>(m_next[cross + 1])];
        // Edges starting here are at their bottoms.
        for (Edge* e : {&a, &b})
            if (e->bot.y == y)
                e->xcur = e->bot.x;
        at = CrossingPoint(a, b, y, ynext);
    }
    int bits = 0;
    for (const PassNode& node : m_passNodes) {
        Edge& a = m_edges[static_cast<size_t>(node.a)];
        switch (node.turn) {
        case Turn::kPass:
            SetStatus(node.a, bits, bits ^ a.bit, IPoint{a.xcur, y});
            bits ^= a.bit;
            break;
        case Turn::kChain:
            Close(node.a, a.top);
            SetStatus(node.b, bits, bits ^ a.bit, a.top);
            bits ^= a.bit;
            break;
        case Turn::kTop:
            Close(node.a, a.top);
            Close(node.b, a.top);
            break;
        case Turn::kBottom:
            SetStatus(node.a, bits, bits ^ a.bit, a.bot);
            SetStatus(node.b, bits ^ a.bit, bits, a.bot);
            break;
        }
    }
    if (cross != m_next.size()) {
        // As the beam works a swap: the states left of, between and right of the pair.
        const int u = m_next[cross], v = m_next[cross + 1];
        const int ub = m_edges[static_cast<size_t>(u)].bit, vb = m_edges[static_cast<size_t>(v)].bit;
        const int middle = crossBits ^ vb;
        SetStatus(u, middle, crossBits ^ ub ^ vb, at);
        SetStatus(v, crossBits, middle, at);
        std::swap(m_next[cross], m_next[cross + 1]);
        m_swaps.push_back({static_cast<int>(cross), static_cast<int>(cross + 1), at});
    }
    for (int e : m_next) {
        Edge& edge = m_edges[static_cast<size_t>(e)];
        edge.xcur = edge.xnext;
    }
    std::swap(m_below, m_next);
    return true;
}

void Sweep::TakeDue(size_t row)
{
    m_due.clear();
    while (!m_endings.empty() && m_endings.front().row <= row) {
        m_due.push_back(m_endings.front());
        std::pop_heap(m_endings.begin(), m_endings.end(), std::greater<>());
        m_endings.pop_back();
    }
    m_duePairs.clear();
    while (!m_pairs.empty() && m_pairs.front().row <= row) {
        m_duePairs.push_back(m_pairs.front());
        std::pop_heap(m_pairs.begin(), m_pairs.end(), std::greater<>());
        m_pairs.pop_back();
    }
}

bool Sweep::GiveBackDue()
{
    for (const PairEvent& d : m_due) {
        m_endings.push_back(d);
        std::push_heap(m_endings.begin(), m_endings.end(), std::greater<>());
    }
    for (const PairEvent& d : m_duePairs) {
        m_pairs.push_back(d);
        std::push_heap(m_pairs.begin(), m_pairs.end(), std::greater<>());
    }
    return false;
}

// The one ending due passes its ring on to the new edge, which at most
// one neighbour crosses before the next row; each pair due apart from it
// is two edges at other x, which at most swap. Then the windows are as
// the window search finds them, grown only by that neighbour, and are
// worked as the walk and the beam work them: nodes window by window,
// then the crossings by height.
bool Sweep::PassEventChain(uint32_t starting, size_t row)
{
    TakeDue(row);
    const size_t n = m_below.size();
    size_t place = n;
    for (const PairEvent& d : m_due) {
        const int p = m_place[static_cast<size_t>(d.left)];
        if (p >= 0 && static_cast<size_t>(p) < n && m_below[static_cast<size_t>(p)] == d.left) {
            if (place != n)
                return GiveBackDue();
            place = static_cast<size_t>(p);
        }
    }
    if (place == n)
        return GiveBackDue();
    const int old = m_below[place];
    const int next = static_cast<int>(starting);
    const Edge& ending = m_edges[static_cast<size_t>(old)];
    Edge& added = m_edges[starting];
    const int64_t y = (*m_rows)[row];
    if (ending.top.y != y || !(ending.top == added.bot) || ending.bit != added.bit)
        return GiveBackDue();
    const int64_t x = added.bot.x;
    // The new edge goes where the row's merge puts it: after the old one.
    {
        size_t lo = 0, hi = n;
        while (lo < hi) {
            const size_t mid = lo + (hi - lo) / 2;
            if (x < Xcur(m_below[mid]))
                hi = mid;
            else
                lo = mid + 1;
        }
        if (lo != place + 1)
            return GiveBackDue();
    }
    // The windows by where they start: the vertex's first, then the pairs'
    // inserted in order; none may meet another.
    m_windows.clear();
    m_windows.push_back({});
    m_windows.back().lo = place;
    m_windows.back().hi = place + 1;
    for (const PairEvent& d : m_duePairs) {
        const int p = m_place[static_cast<size_t>(d.left)];
        if (p < 0 || static_cast<size_t>(p) + 1 >= n || m_below[static_cast<size_t>(p)] != d.left ||
            m_below[static_cast<size_t>(p) + 1] != d.right)
            continue;
        const size_t lo = static_cast<size_t>(p);
        size_t k = m_windows.size();
        while (k > 0 && m_windows[k - 1].lo > lo)
            --k;
        if (k > 0 && m_windows[k - 1].lo == lo && m_windows[k - 1].hi == lo + 2)
            continue; // listed twice
        if ((k > 0 && lo <= m_windows[k - 1].hi) || (k < m_windows.size() && m_windows[k].lo <= lo + 2))
            return GiveBackDue();
        Window w;
        w.lo = lo;
        w.hi = lo + 2;
        m_windows.insert(m_windows.begin() + static_cast<std::ptrdiff_t>(k), w);
    }
    // Grown as the window search grows them: only the vertex's, by one
    // neighbour that its new edge crosses.
    const int64_t nx = Xnext(next);
    int grow = 0;
    size_t chain = 0;
    for (size_t i = 0; i < m_windows.size(); ++i) {
        Window& w = m_windows[i];
        const Window* before = i > 0 ? &m_windows[i - 1] : nullptr;
        const Window* after = i + 1 < m_windows.size() ? &m_windows[i + 1] : nullptr;
        if (w.lo == place && w.hi == place + 1) {
            chain = i;
            if (place > 0) {
                const int e = m_below[place - 1];
                if (EndedAt(e, y) || Xcur(e) == x)
                    return GiveBackDue();
                if (Xnext(e) > nx)
                    grow = -1;
            }
            if (grow == 0 && place + 1 < n) {
                const int e = m_below[place + 1];
                if (EndedAt(e, y) || Xcur(e) == x)
                    return GiveBackDue();
                if (Xnext(e) < nx)
                    grow = 1;
            }
            if (grow < 0) {
                const int l = m_below[place - 1];
                w.lo = place - 1;
                if (before && w.lo <= before->hi)
                    return GiveBackDue();
                if (w.lo > 0) {
                    const int e = m_below[w.lo - 1];
                    if (EndedAt(e, y) || Xcur(e) == Xcur(l) || Xnext(e) > nx)
                        return GiveBackDue();
                }
                if (place + 1 < n) {
                    const int e = m_below[place + 1];
                    if (EndedAt(e, y) || Xcur(e) == x || Xnext(e) < Xnext(l))
                        return GiveBackDue();
                }
            } else if (grow > 0) {
                const int r = m_below[place + 1];
                w.hi = place + 2;
                if (after && w.hi >= after->lo)
                    return GiveBackDue();
                if (place > 0) {
                    const int e = m_below[place - 1];
                    if (EndedAt(e, y) || Xcur(e) == x || Xnext(e) > Xnext(r))
                        return GiveBackDue();
                }
                if (place + 2 < n) {
                    const int e = m_below[place + 2];
                    if (EndedAt(e, y) || Xcur(e) == Xcur(r) || Xnext(e) < nx)
                        return GiveBackDue();
                }
            }
        } else {
            const int a = m_below[w.lo], b = m_below[w.lo + 1];
            if (EndedAt(a, y) || EndedAt(b, y) || Xcur(a) == Xcur(b))
                return GiveBackDue();
            if ((before && w.lo <= before->hi) || (after && w.hi >= after->lo))
                return GiveBackDue();
            const int64_t minX = std::min(Xcur(a), Xcur(b)), maxX = std::max(Xcur(a), Xcur(b));
            const int64_t minNext = std::min(Xnext(a), Xnext(b)), maxNext = std::max(Xnext(a), Xnext(b));
            if (w.lo > 0) {
                const int e = m_below[w.lo - 1];
                if (EndedAt(e, y) || Xcur(e) == minX || Xnext(e) > minNext)
                    return GiveBackDue();
            }
            if (w.hi < n) {
                const int e = m_below[w.hi];
                if (EndedAt(e, y) || Xcur(e) == maxX || Xnext(e) < maxNext)
                    return GiveBackDue();
            }
        }
    }
    // The walk, window by window.
    const std::vector<int64_t>& rows = *m_rows;
    const int64_t ynext = row + 1 < rows.size() ? rows[row + 1] : y;
    added.xcur = added.bot.x;
    m_passSwaps.clear();
    for (size_t i = 0; i < m_windows.size(); ++i) {
        Window& w = m_windows[i];
        const int incoming = w.incoming = m_left[static_cast<size_t>(m_below[w.lo])];
        const IPoint node{x, y};
        if (i == chain) {
            if (grow < 0) {
                const int l = m_below[place - 1];
                const int lb = m_edges[static_cast<size_t>(l)].bit;
                SetStatus(l, incoming, incoming ^ lb, IPoint{Xcur(l), y});
                Close(old, node);
                SetStatus(next, incoming ^ lb, incoming ^ lb ^ added.bit, node);
                m_passSwaps.push_back({l, next, incoming, CrossingPoint(m_edges[static_cast<size_t>(l)], added, y, ynext)});
            } else {
                Close(old, node);
                SetStatus(next, incoming, incoming ^ added.bit, node);
                if (grow > 0) {
                    const int r = m_below[place + 1];
                    const int rb = m_edges[static_cast<size_t>(r)].bit;
                    SetStatus(r, incoming ^ added.bit, incoming ^ added.bit ^ rb, IPoint{Xcur(r), y});
                    m_passSwaps.push_back({next, r, incoming, CrossingPoint(added, m_edges[static_cast<size_t>(r)], y, ynext)});
                }
            }
        } else {
            const int a = m_below[w.lo], b = m_below[w.lo + 1];
            const int ab = m_edges[static_cast<size_t>(a)].bit, bb = m_edges[static_cast<size_t>(b)].bit;
            SetStatus(a, incoming, incoming ^ ab, IPoint{Xcur(a), y});
            SetStatus(b, incoming ^ ab, incoming ^ ab ^ bb, IPoint{Xcur(b), y});
            if (Xnext(a) > Xnext(b))
                m_passSwaps.push_back(
                    {a, b, incoming, CrossingPoint(m_edges[static_cast<size_t>(a)], m_edges[static_cast<size_t>(b)], y, ynext)});
        }
    }
    // The crossings by height, the window order kept among equals.
    for (size_t k = 1; k < m_passSwaps.size(); ++k)
        for (size_t p = k; p > 0 && m_passSwaps[p].at.y < m_passSwaps[p - 1].at.y; --p)
            std::swap(m_passSwaps[p], m_passSwaps[p - 1]);
    for (const PassSwap& c : m_passSwaps) {
        const int ub = m_edges[static_cast<size_t>(c.u)].bit, vb = m_edges[static_cast<size_t>(c.v)].bit;
        const int middle = c.left ^ vb;
        SetStatus(c.u, middle, c.left ^ ub ^ vb, c.at);
        SetStatus(c.v, c.left, middle, c.at);
    }
    // The windows' rows above in place of theirs below.
    m_below[place] = next;
    for (const PassSwap& c : m_passSwaps) {
        const size_t p = m_below[m_windows[chain].lo] == c.u || m_below[m_windows[chain].lo] == c.v
                             ? m_windows[chain].lo
                             : static_cast<size_t>(m_place[static_cast<size_t>(c.u)]);
        m_below[p] = c.v;
        m_below[p + 1] = c.u;
    }
    for (const Window& w : m_windows) {
        int bits = w.incoming;
        for (size_t k = w.lo; k < w.hi; ++k) {
            const int e = m_below[k];
            Edge& edge = m_edges[static_cast<size_t>(e)];
            edge.xcur = edge.xnext;
            m_place[static_cast<size_t>(e)] = static_cast<int>(k);
            m_left[static_cast<size_t>(e)] = bits;
            bits ^= edge.bit;
        }
    }
    return true;
}

// The two endings due must be neighbours at one point, of one operand,
// with nothing else there; the row is then one window of them, left
// empty, as the window search would find it.
bool Sweep::PassEventTop(size_t row)
{
    TakeDue(row);
    const size_t n = m_below.size();
    size_t first = n, second = n;
    for (const PairEvent& d : m_due) {
        const int p = m_place[static_cast<size_t>(d.left)];
        if (p >= 0 && static_cast<size_t>(p) < n && m_below[static_cast<size_t>(p)] == d.left) {
            if (second != n)
                return GiveBackDue();
            (first == n ? first : second) = static_cast<size_t>(p);
        }
    }
    if (second == n)
        return GiveBackDue();
    if (second < first)
        std::swap(first, second);
    if (second != first + 1)
        return GiveBackDue();
    // The two meet there, so they are mostly due as a pair too.
    for (const PairEvent& d : m_duePairs) {
        const int p = m_place[static_cast<size_t>(d.left)];
        if (p >= 0 && static_cast<size_t>(p) + 1 < n && m_below[static_cast<size_t>(p)] == d.left &&
            m_below[static_cast<size_t>(p) + 1] == d.right && static_cast<size_t>(p) != first)
            return GiveBackDue();
    }
    const int a = m_below[first], b = m_below[second];
    const Edge& ea = m_edges[static_cast<size_t>(a)];
    const Edge& eb = m_edges[static_cast<size_t>(b)];
    const int64_t y = (*m_rows)[row];
    if (ea.top.y != y || !(ea.top == eb.top) || ea.bit != eb.bit)
        return GiveBackDue();
    const int64_t x = ea.top.x;
    const bool right = second + 1 < n;
    if (right && EndedAt(m_below[second + 1], y))
        return GiveBackDue();
    if (first > 0) {
        const int e = m_below[first - 1];
        if (EndedAt(e, y) || Xcur(e) == x || (right && Xnext(e) > Xnext(m_below[second + 1])))
            return GiveBackDue();
    }
    if (right && Xcur(m_below[second + 1]) == x)
        return GiveBackDue();
    Close(a, IPoint{x, y});
    Close(b, IPoint{x, y});
    m_place[static_cast<size_t>(a)] = -1;
    m_place[static_cast<size_t>(b)] = -1;
    m_below.erase(m_below.begin() + static_cast<std::ptrdiff_t>(first),
                  m_below.begin() + static_cast<std::ptrdiff_t>(first + 2));
    // Places left of it stand.
    for (size_t k = first; k < m_below.size(); ++k)
        m_place[static_cast<size_t>(m_below[k])] = static_cast<int>(k);
    m_windows.clear();
    Window& w = m_windows.emplace_back();
    w.lo = first;
    w.hi = first;
    return true;
}

// Nothing due, and the two starting edges from one point of one operand,
// with nothing else there and apart one row up: the row is one window of
// them, as the window search would find it.
bool Sweep::PassEventBottom(size_t newBegin, size_t row)
{
    if ((!m_pairs.empty() && m_pairs.front().row <= row) || (!m_endings.empty() && m_endings.front().row <= row))
        return false;
    int first = static_cast<int>(m_sorted[newBegin]), second = static_cast<int>(m_sorted[newBegin + 1]);
    Edge& ea = m_edges[static_cast<size_t>(first)];
    Edge& eb = m_edges[static_cast<size_t>(second)];
    if (!(ea.bot == eb.bot) || ea.bit != eb.bit)
        return false;
    const int64_t x = ea.bot.x, y = ea.bot.y;
    const size_t n = m_below.size();
    size_t lo = 0, hi = n;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (x < Xcur(m_below[mid]))
            hi = mid;
        else
            lo = mid + 1;
    }
    const size_t q = lo;
    const int64_t na = Xnext(first), nb = Xnext(second);
    if (na == nb)
        return false;
    const int64_t minNext = std::min(na, nb), maxNext = std::max(na, nb);
    if (q > 0) {
        const int e = m_below[q - 1];
        if (EndedAt(e, y) || Xcur(e) == x || Xnext(e) > minNext)
            return false;
    }
    if (q < n) {
        const int e = m_below[q];
        if (EndedAt(e, y) || Xcur(e) == x || Xnext(e) < maxNext)
            return false;
    }
    if (nb < na)
        std::swap(first, second);
    const int incoming = q < n    ? m_left[static_cast<size_t>(m_below[q])]
                         : n > 0 ? m_left[static_cast<size_t>(m_below[n - 1])] ^ m_edges[static_cast<size_t>(m_below[n - 1])].bit
                                 : 0;
    const int bit = ea.bit;
    SetStatus(first, incoming, incoming ^ bit, IPoint{x, y});
    SetStatus(second, incoming ^ bit, incoming, IPoint{x, y});
    ea.xcur = ea.xnext;
    eb.xcur = eb.xnext;
    const int added[2] = {first, second};
    m_below.insert(m_below.begin() + static_cast<std::ptrdiff_t>(q), added, added + 2);
    for (size_t k = q; k < m_below.size(); ++k)
        m_place[static_cast<size_t>(m_below[k])] = static_cast<int>(k);
    m_left[static_cast<size_t>(first)] = incoming;
    m_left[static_cast<size_t>(second)] = incoming ^ bit;
    m_windows.clear();
    Window& w = m_windows.emplace_back();
    w.lo = q;
    w.hi = q + 2;
    return true;
}

// The windows' new stretches in the list; places and left memberships
// kept for event rows.
void Sweep::SpliceWindows()
{
    // One window over the whole row: the row above is the list.
    if (m_windows.size() == 1 && m_windows[0].lo == 0 && m_windows[0].hi == m_below.size() &&
        m_windows[0].aboveBegin == 0 && m_windows[0].aboveEnd == m_next.size()) {
        Window& w = m_windows[0];
        if (m_events)
            for (int e : m_below)
                m_place[static_cast<size_t>(e)] = -1;
        std::swap(m_below, m_next);
        w.hi = m_below.size();
        if (m_events) {
            int bits = w.incoming;
            for (size_t k = 0; k < m_below.size(); ++k) {
                m_place[static_cast<size_t>(m_below[k])] = static_cast<int>(k);
                m_left[static_cast<size_t>(m_below[k])] = bits;
                bits ^= m_edges[static_cast<size_t>(m_below[k])].bit;
            }
        }
        return;
    }
    bool sameSizes = true;
    for (const Window& w : m_windows)
        sameSizes = sameSizes && w.aboveEnd - w.aboveBegin == w.hi - w.lo;
    if (!sameSizes) {
        m_spliced.clear();
        size_t at = 0;
        for (Window& w : m_windows) {
            m_spliced.insert(m_spliced.end(), m_below.begin() + static_cast<std::ptrdiff_t>(at),
                             m_below.begin() + static_cast<std::ptrdiff_t>(w.lo));
            for (size_t k = w.lo; k < w.hi; ++k)
                if (m_events)
                    m_place[static_cast<size_t>(m_below[k])] = -1;
            const size_t lo = m_spliced.size();
            m_spliced.insert(m_spliced.end(), m_next.begin() + static_cast<std::ptrdiff_t>(w.aboveBegin),
                             m_next.begin() + static_cast<std::ptrdiff_t>(w.aboveEnd));
            at = w.hi;
            w.lo = lo;
            w.hi = m_spliced.size();
        }
        m_spliced.insert(m_spliced.end(), m_below.begin() + static_cast<std::ptrdiff_t>(at), m_below.end());
        std::swap(m_below, m_spliced);
        if (m_events)
            for (size_t k = 0; k < m_below.size(); ++k)
                m_place[static_cast<size_t>(m_below[k])] = static_cast<int>(k);
    } else {
        for (const Window& w : m_windows)
            std::copy(m_next.begin() + static_cast<std::ptrdiff_t>(w.aboveBegin),
                      m_next.begin() + static_cast<std::ptrdiff_t>(w.aboveEnd),
                      m_below.begin() + static_cast<std::ptrdiff_t>(w.lo));
        if (m_events)
            for (const Window& w : m_windows)
                for (size_t k = w.lo; k < w.hi; ++k)
                    m_place[static_cast<size_t>(m_below[k])] = static_cast<int>(k);
    }
    if (m_events) {
        for (const Window& w : m_windows) {
            int bits = w.incoming;
            for (size_t k = w.lo; k < w.hi; ++k) {
                m_left[static_cast<size_t>(m_below[k])] = bits;
                bits ^= m_edges[static_cast<size_t>(m_below[k])].bit;
            }
        }
    }
}

inline int64_t Sweep::NewXcur(int edge)
{
    Edge& e = m_edges[static_cast<size_t>(edge)];
    e.xcur = XAt(e, (*m_rows)[m_row]);
    m_xcurRow[static_cast<size_t>(edge)] = static_cast<uint32_t>(m_row);
    return e.xcur;
}

inline int64_t Sweep::NewXnext(int edge)
{
    Edge& e = m_edges[static_cast<size_t>(edge)];
    const std::vector<int64_t>& rows = *m_rows;
    e.xnext = XAt(e, m_row + 1 < rows.size() ? rows[m_row + 1] : rows[m_row]);
    m_xnextRow[static_cast<size_t>(edge)] = static_cast<uint32_t>(m_row);
    return e.xnext;
}

size_t Sweep::TopRow(int edge)
{
    Edge& e = m_edges[static_cast<size_t>(edge)];
    if (e.topRow == UINT32_MAX) {
        // Galloping from the current row: tops mostly lie close above.
        const std::vector<int64_t>& rows = *m_rows;
        size_t lo = m_row, step = 1;
        while (lo + step < rows.size() && rows[lo + step] < e.top.y) {
            lo += step;
            step *= 2;
        }
        const auto at = std::lower_bound(rows.begin() + static_cast<std::ptrdiff_t>(lo),
                                         rows.begin() + static_cast<std::ptrdiff_t>(std::min(lo + step + 1, rows.size())),
                                         e.top.y);
        e.topRow = static_cast<uint32_t>(at - rows.begin());
    }
    return e.topRow;
}

// When, after the given row, neighbours left and right must next be worked:
// at a row where they meet, or at the row before they cross. Rounded x
// stray from the lines by at most half a unit, so where the gap is 2 or
// more at both ends of a stretch of rows it is more than 0 all along it.
void Sweep::Schedule(int left, int right, size_t row)
{
    const std::vector<int64_t>& rows = *m_rows;
    if (row + 1 >= rows.size())
        return;
    const Edge& a = m_edges[static_cast<size_t>(left)];
    const Edge& b = m_edges[static_cast<size_t>(right)];
    const size_t last = std::min(TopRow(left), TopRow(right));
    auto gap = [&](size_t k) { return XAt(b, rows[k]) - XAt(a, rows[k]); };
    size_t p = row + 1;
    // x one row up is mostly known already, for the row's own edges.
    int64_t gp = row == m_row ? Xnext(right) - Xnext(left) : gap(p);
    if (gp <= 0) {
        m_pairs.push_back({p, left, right});
        std::push_heap(m_pairs.begin(), m_pairs.end(), std::greater<>());
        return;
    }
    // The first row in (p, q] where the gap is 0 or less, searched from
    // the left; stretches known clear are passed over.
    std::vector<Stretch>& stack = m_stretches;
    stack.clear();
    if (last > p)
        stack.push_back({p, last, gp, gap(last)});
    while (!stack.empty()) {
        Stretch s = stack.back();
        stack.pop_back();
        for (;;) {
            if (s.q == s.p + 1) {
                if (s.gq <= 0) {
                    const size_t at = s.gq == 0 ? s.q : s.q - 1;
                    m_pairs.push_back({at, left, right});
                    std::push_heap(m_pairs.begin(), m_pairs.end(), std::greater<>());
                    return;
                }
                break;
            }
            if (std::min(s.gp, s.gq) >= 2)
                break;
            // Split where the gap, taken as straight, falls to 1.
            size_t k = s.p + (s.q - s.p) / 2;
            if (s.gq < s.gp) {
                const long double t = static_cast<long double>(s.gp - 1) / static_cast<long double>(s.gp - s.gq);
                const long double yk = rows[s.p] + t * static_cast<long double>(rows[s.q] - rows[s.p]);
                const size_t at = static_cast<size_t>(
                    std::upper_bound(rows.begin() + static_cast<std::ptrdiff_t>(s.p),
                                     rows.begin() + static_cast<std::ptrdiff_t>(s.q), yk,
                                     [](long double v, int64_t r) { return v < static_cast<long double>(r); }) -
                    rows.begin());
                k = std::clamp<size_t>(at > 0 ? at - 1 : 0, s.p + 1, s.q - 1);
            } else {
                k = s.p + 1;
            }
            const int64_t gk = gap(k);
            // The stretch right of k waits while the left is searched.
            stack.push_back({k, s.q, gk, s.gq});
            s = {s.p, k, s.gp, gk};
        }
    }
}

// Pairs of neighbours in and around the windows of the row just worked.
void Sweep::ScheduleWindows(size_t row)
{
    for (const Window& w : m_windows) {
        const size_t from = w.lo > 0 ? w.lo - 1 : 0;
        const size_t to = std::min(w.hi + 1, m_below.size());
        for (size_t k = from; k + 1 < to; ++k)
            Schedule(m_below[k], m_below[k + 1], row);
    }
}

// Turns to event rows before the given row: every pair of neighbours
// scheduled, and the edges' places and memberships kept.
void Sweep::StartEvents(size_t row)
{
    if (m_place.empty()) {
        const size_t edges = m_edges.size();
        m_place.assign(edges, -1);
        m_left.assign(edges, 0);
        m_xcurRow.assign(edges, UINT32_MAX);
        m_xnextRow.assign(edges, UINT32_MAX);
    }
    // Places of edges that left the list may be stale: they only ever
    // make a pair look due, and a window more costs no correctness.
    m_events = true;
    m_pairs.clear();
    m_endings.clear();
    int bits = 0;
    for (size_t k = 0; k < m_below.size(); ++k) {
        const int e = m_below[k];
        WatchEnd(e);
        m_place[static_cast<size_t>(e)] = static_cast<int>(k);
        m_left[static_cast<size_t>(e)] = bits;
        bits ^= m_edges[static_cast<size_t>(e)].bit;
    }
    for (size_t k = 0; k + 1 < m_below.size(); ++k)
        Schedule(m_below[k], m_below[k + 1], row - 1);
}

// The starting edges placed inside a window (at or between its ends).
void Sweep::TakeNewEdges(Window& w) const
{
    const auto from = std::lower_bound(m_newPlace.begin(), m_newPlace.end(), w.lo);
    const auto to = std::upper_bound(from, m_newPlace.end(), w.hi);
    w.newBegin = m_newFirst + static_cast<size_t>(from - m_newPlace.begin());
    w.newEnd = m_newFirst + static_cast<size_t>(to - m_newPlace.begin());
}

// Grows a window until its ends are quiet: no node shared with the edges
// beside it, the memberships below and above agreeing, and no crossing
// with them before the next row. False when it did not grow.
bool Sweep::ExtendWindow(Window& w, const Window* before, const Window* after)
{
    const size_t n = m_below.size();
    const int64_t y = (*m_rows)[m_row];
    int64_t minX = INT64_MAX, maxX = INT64_MIN, minNext = INT64_MAX, maxNext = INT64_MIN;
    int belowBits = 0, aboveBits = 0;
    const auto addBelow = [&](size_t k) {
        const int e = m_below[k];
        const int64_t x = Xcur(e);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        belowBits ^= m_edges[static_cast<size_t>(e)].bit;
        if (!EndedAt(e, y)) {
            aboveBits ^= m_edges[static_cast<size_t>(e)].bit;
            minNext = std::min(minNext, Xnext(e));
            maxNext = std::max(maxNext, Xnext(e));
        }
    };
    const auto addNew = [&](size_t j) {
        const int e = static_cast<int>(m_sorted[j]);
        minX = std::min(minX, m_edges[static_cast<size_t>(e)].bot.x);
        maxX = std::max(maxX, m_edges[static_cast<size_t>(e)].bot.x);
        aboveBits ^= m_edges[static_cast<size_t>(e)].bit;
        minNext = std::min(minNext, Xnext(e));
        maxNext = std::max(maxNext, Xnext(e));
    };
    TakeNewEdges(w);
    for (size_t k = w.lo; k < w.hi; ++k)
        addBelow(k);
    for (size_t j = w.newBegin; j < w.newEnd; ++j)
        addNew(j);
    bool grown = false;
    for (;;) {
        // Meeting a window beside it, it is merged with that one first.
        if ((before && w.lo <= before->hi) || (after && w.hi >= after->lo))
            return true;
        const size_t newBegin = w.newBegin, newEnd = w.newEnd;
        TakeNewEdges(w);
        for (size_t j = w.newBegin; j < newBegin; ++j)
            addNew(j);
        for (size_t j = newEnd; j < w.newEnd; ++j)
            addNew(j);
        if (w.lo > 0) {
            const int e = m_below[w.lo - 1];
            // With nothing above, the edges beside it become neighbours.
            const int64_t after = minNext != INT64_MAX || w.hi >= n || EndedAt(m_below[w.hi], y) ? minNext : Xnext(m_below[w.hi]);
            if (EndedAt(e, y) || Xcur(e) == minX || Xnext(e) > after) {
                addBelow(--w.lo);
                grown = true;
                continue;
            }
        }
        if (w.hi < n) {
            const int e = m_below[w.hi];
            if (EndedAt(e, y) || Xcur(e) == maxX || belowBits != aboveBits || Xnext(e) < maxNext) {
                addBelow(w.hi++);
                grown = true;
                continue;
            }
        } else if (belowBits != aboveBits) {
            throw std::logic_error("unbalanced row");
        }
        return grown;
    }
}

// The windows of an event row: around the edges ending, the edges
// starting (where they start in the list) and the pairs due, grown until
// quiet and merged where they meet.
void Sweep::FindWindows(size_t row, size_t nextNew, size_t newEnd)
{
    m_seeds.clear();
    while (!m_endings.empty() && m_endings.front().row <= row) {
        const int e = m_endings.front().left;
        std::pop_heap(m_endings.begin(), m_endings.end(), std::greater<>());
        m_endings.pop_back();
        const int place = m_place[static_cast<size_t>(e)];
        if (place >= 0 && static_cast<size_t>(place) < m_below.size() && m_below[static_cast<size_t>(place)] == e) {
            const size_t p = static_cast<size_t>(place);
            AddSeed(p, p + 1);
        }
    }
    while (!m_pairs.empty() && m_pairs.front().row <= row) {
        const PairEvent event = m_pairs.front();
        std::pop_heap(m_pairs.begin(), m_pairs.end(), std::greater<>());
        m_pairs.pop_back();
        const int pa = m_place[static_cast<size_t>(event.left)];
        if (pa >= 0 && static_cast<size_t>(pa) + 1 < m_below.size() && m_below[static_cast<size_t>(pa)] == event.left &&
            m_below[static_cast<size_t>(pa) + 1] == event.right)
            AddSeed(static_cast<size_t>(pa), static_cast<size_t>(pa) + 2);
    }
    // Where each starting edge goes: before the first edge of the list
    // whose x at y is beyond its start, as the row's merge puts it.
    m_newFirst = nextNew;
    m_newPlace.clear();
    for (size_t j = nextNew; j < newEnd; ++j) {
        size_t lo = 0, hi = m_below.size();
        while (lo < hi) {
            const size_t mid = lo + (hi - lo) / 2;
            if (m_edges[m_sorted[j]].bot.x < Xcur(m_below[mid]))
                hi = mid;
            else
                lo = mid + 1;
        }
        m_newPlace.push_back(lo);
        AddSeed(lo, lo);
    }
    std::sort(m_seeds.begin(), m_seeds.end(), [](const Seed& a, const Seed& b) { return a.lo < b.lo; });
    // Merged where they meet or touch, grown, and merged again.
    m_windows.clear();
    for (const Seed& seed : m_seeds) {
        if (!m_windows.empty() && seed.lo <= m_windows.back().hi) {
            m_windows.back().hi = std::max(m_windows.back().hi, seed.hi);
        } else {
            Window& w = m_windows.emplace_back();
            w.lo = seed.lo;
            w.hi = seed.hi;
        }
    }
    for (size_t i = 0; i < m_windows.size();) {
        bool grown = ExtendWindow(m_windows[i], i > 0 ? &m_windows[i - 1] : nullptr,
                                  i + 1 < m_windows.size() ? &m_windows[i + 1] : nullptr);
        if (i > 0 && m_windows[i - 1].hi >= m_windows[i].lo) {
            m_windows[i - 1].hi = std::max(m_windows[i - 1].hi, m_windows[i].hi);
            m_windows.erase(m_windows.begin() + static_cast<std::ptrdiff_t>(i));
            --i;
            continue;
        }
        if (i + 1 < m_windows.size() && m_windows[i + 1].lo <= m_windows[i].hi) {
            m_windows[i].hi = std::max(m_windows[i].hi, m_windows[i + 1].hi);
            m_windows.erase(m_windows.begin() + static_cast<std::ptrdiff_t>(i + 1));
            grown = true;
        }
        if (!grown)
            ++i;
    }
    const size_t n = m_below.size();
    for (Window& w : m_windows) {
        TakeNewEdges(w);
        for (size_t k = w.lo; k < w.hi; ++k)
            Xcur(m_below[k]);
        if (w.lo < n)
            w.incoming = m_left[static_cast<size_t>(m_below[w.lo])];
        else if (n > 0)
            w.incoming = m_left[static_cast<size_t>(m_below[n - 1])] ^ m_edges[static_cast<size_t>(m_below[n - 1])].bit;
        else
            w.incoming = 0;
    }
}

void Sweep::FindFreeChains()
{
    m_anyFree = false;
    const size_t edges = m_edges.size();
    // Few edges are swept as fast as their boxes are tried.
    if (edges < 4 * kPieceEdges)
        return;
    std::vector<ChainPiece>& pieces = m_chainPieces;
    pieces.clear();
    const auto start = [&](size_t i, uint32_t chain) {
        const Edge& e = m_edges[i];
        return ChainPiece{std::min(e.bot.x, e.top.x), std::max(e.bot.x, e.top.x), e.bot.y, e.top.y,
                          static_cast<uint32_t>(i), static_cast<uint32_t>(i), chain, true};
    };
    uint32_t chain = 0;
    size_t begin = 0;
    for (const size_t end : m_contourEnds) {
        for (size_t i = begin; i < end;) {
            ++chain;
            ChainPiece piece = start(i, chain);
            int way = 0;
            size_t j = i + 1;
            // The edges share their vertices: each adds its far end; the
            // heights of a piece going one way are those of its ends.
            const auto close = [&] {
                const Edge& first = m_edges[piece.first];
                const Edge& last = m_edges[piece.last];
                piece.y0 = std::min(first.bot.y, last.bot.y);
                piece.y1 = std::max(first.top.y, last.top.y);
                pieces.push_back(piece);
            };
            for (; j < end; ++j) {
                const Edge& a = m_edges[j - 1];
                const Edge& b = m_edges[j];
                int step = 0;
                int64_t x = 0;
                if (a.top == b.bot) {
                    step = 1;
                    x = b.top.x;
                } else if (a.bot == b.top) {
                    step = -1;
                    x = b.bot.x;
                }
                if (step == 0 || (way != 0 && step != way))
                    break;
                way = step;
                if (j - piece.first == kPieceEdges) {
                    close();
                    piece = start(j, chain);
                    continue;
                }
                piece.x0 = std::min(piece.x0, x);
                piece.x1 = std::max(piece.x1, x);
                piece.last = static_cast<uint32_t>(j);
            }
            close();
            // Rings of short chains (zigzags, stars) have few rows to skip
            // for the cost of the boxes.
            if (pieces.size() > edges / 4)
                return;
            i = j;
        }
        begin = end;
    }
    // Boxes met by the boxes after them in x; pieces next to each other on
    // a chain meet only at their common vertex, where their edges take
    // turns. Boxes heaped on one another end the search: all stay swept.
    const size_t n = pieces.size();
    // Sorted with their left sides beside them. Pieces level in x may come
    // in either order: every pair that meets is tried all the same.
    std::vector<PieceLeft>& order = m_pieceOrder;
    order.resize(n);
    for (size_t q = 0; q < n; ++q)
        order[q] = PieceLeft{pieces[q].x0, static_cast<uint32_t>(q)};
    std::sort(order.begin(), order.end(), [](const PieceLeft& a, const PieceLeft& b) { return a.x0 < b.x0; });
    size_t budget = 16 * n + 1024;
    for (size_t a = 0; a < n; ++a) {
        ChainPiece& pa = pieces[order[a].piece];
        for (size_t b = a + 1; b < n; ++b) {
            if (order[b].x0 > pa.x1)
                break;
            ChainPiece& pb = pieces[order[b].piece];
            if (--budget == 0)
                return;
            if (pb.y0 > pa.y1 || pa.y0 > pb.y1)
                continue;
            if (pa.chain == pb.chain && (order[a].piece + 1 == order[b].piece || order[b].piece + 1 == order[a].piece))
                continue;
            pa.free = pb.free = false;
        }
    }
    m_freeEdge.assign(edges, 0);
    m_chainBelow.assign(edges, -1);
    const auto link = [&](uint32_t a, uint32_t b) {
        if (m_edges[a].top == m_edges[b].bot)
            m_chainBelow[b] = static_cast<int>(a);
        else
            m_chainBelow[a] = static_cast<int>(b);
    };
    for (size_t q = 0; q < n; ++q) {
        const ChainPiece& piece = pieces[q];
        if (!piece.free)
            continue;
        m_anyFree = true;
        m_freeEdge[piece.first] = 1;
        for (uint32_t e = piece.first + 1; e <= piece.last; ++e) {
            m_freeEdge[e] = 1;
            link(e - 1, e);
        }
        if (q + 1 < n && pieces[q + 1].chain == piece.chain && pieces[q + 1].free)
            link(piece.last, pieces[q + 1].first);
    }
    if (m_anyFree)
        m_freePlace.resize(edges);
}

size_t Sweep::QuietRowsEnd(size_t r, size_t nextNew) const
{
    const int64_t* const rows = m_rows->data();
    const size_t rowCount = m_rows->size();
    const size_t edges = m_edges.size();
    // Plain pointers: the vectors' own were read again at every row.
    const uint8_t* const rowTops = m_rowTops.data();
    const EdgeKey* const keys = m_keys.data();
    const uint32_t* const sorted = m_sorted.data();
    const int* const chainBelow = m_chainBelow.data();
    size_t s = r;
    // One top and one bottom at the row, the vertex of a free chain.
    for (size_t j = nextNew; s < rowCount && rowTops[s] == 1 && j < edges; ++s, ++j) {
        if (keys[j].y != rows[s] || chainBelow[sorted[j]] < 0 || (j + 1 < edges && keys[j + 1].y == rows[s]))
            break;
    }
    return s;
}

// True when the listed edges that are not free are 2 or more apart at the
// row, from their x at the current row when known.
bool Sweep::ApartAt(size_t row, bool known) const
{
    const int64_t y = (*m_rows)[row];
    bool havePrevious = false;
    int64_t previous = 0;
    for (const int edge : m_below) {
        if (m_freeEdge[static_cast<size_t>(edge)]) {
            havePrevious = false;
            continue;
        }
        const Edge& e = m_edges[static_cast<size_t>(edge)];
        const int64_t x = known ? e.xcur : XAt(e, y);
        if (havePrevious && x - previous < 2)
            return false;
        havePrevious = true;
        previous = x;
    }
    return true;
}

// Rounded x stray from the lines by at most half a unit, so edges 2 or
// more apart at the first and the last row keep apart at every row
// between; free edges keep apart from all the others. So on each of these
// rows PassRow would find the same order, one row up too, and end the
// free edge's piece and start the next's, changing nothing else.
size_t Sweep::SkipQuietRows(size_t r, size_t end, size_t& nextNew)
{
    if (!ApartAt(r, true))
        return r;
    size_t stop = end;
    while (!ApartAt(stop, false)) {
        stop = r + (stop - r) / 2;
        if (stop - r < kLeastSkip)
            return r;
    }
    const size_t n = m_below.size();
    m_placeBits.resize(n);
    int bits = 0;
    for (size_t k = 0; k < n; ++k) {
        const int e = m_below[k];
        m_placeBits[k] = bits;
        bits ^= m_edges[static_cast<size_t>(e)].bit;
        if (m_freeEdge[static_cast<size_t>(e)])
            m_freePlace[static_cast<size_t>(e)] = static_cast<int>(k);
    }
    const std::vector<int64_t>& rows = *m_rows;
    // Counts and tables in locals and plain pointers: the pieces' stores
    // might otherwise change them, for all the compiler knows, and they
    // were read again at every row.
    int64_t workedShare = m_worked, seenShare = m_edgesSeen;
    size_t sortedAt = nextNew;
    const uint32_t* const sorted = m_sorted.data();
    const int* const chainBelow = m_chainBelow.data();
    int* const freePlace = m_freePlace.data();
    const int* const placeBits = m_placeBits.data();
    int* const below = m_below.data();
    const Edge* const edges = m_edges.data();
    Piece* const pieces = m_pieces.data();
    const bool in[4] = {m_in[0], m_in[1], m_in[2], m_in[3]};
    size_t s = r;
    for (; s < stop; ++s) {
        // The share of the row worked, as the row's pass counts it: an
        // edge starting and one ending. A row after which events would be
        // taken up is left to the sweep.
        const int64_t worked = workedShare + (int64_t(3) * 256 - workedShare) / 8;
        const int64_t seen = seenShare + (static_cast<int64_t>(n) * 256 - seenShare) / 8;
        if (n > kEventEdges && 4 * worked < seen)
            break;
        workedShare = worked;
        seenShare = seen;
        const int next = static_cast<int>(sorted[sortedAt++]);
        const int ending = chainBelow[static_cast<size_t>(next)];
        const int k = freePlace[static_cast<size_t>(ending)];
        const Edge& added = edges[static_cast<size_t>(next)];
        // The chain's vertex, the ending edge's top.
        const IPoint at = added.bot;
        // As CloseInline, knowing whether it made a segment.
        Piece& closing = pieces[static_cast<size_t>(ending)];
        bool closed = false;
        if (closing.open) {
            closing.open = false;
            if (!(closing.start == at)) {
                m_segments.push_back(closing.down ? Segment{at, closing.start} : Segment{closing.start, at});
                closed = true;
                if (closing.joined != UINT32_MAX) {
                    const auto made = static_cast<uint32_t>(m_segments.size() - 1);
                    m_joins.push_back(closing.down ? Join{made, closing.joined} : Join{closing.joined, made});
                }
            }
        }
        // The new edge's piece is untouched yet: it opens where it bounds.
        const int left = placeBits[static_cast<size_t>(k)];
        const bool inRight = in[(left ^ added.bit) & 3];
        if (in[left & 3] != inRight) {
            Piece& opened = pieces[static_cast<size_t>(next)];
            opened.open = true;
            opened.start = at;
            opened.down = inRight;
            // Nothing else meets the vertex: the segment just made and the
            // one the new piece makes follow one another.
            opened.joined = closed && closing.down == inRight
                                ? static_cast<uint32_t>(m_segments.size() - 1)
                                : UINT32_MAX;
        }
        below[static_cast<size_t>(k)] = next;
        freePlace[static_cast<size_t>(next)] = k;
    }
    m_worked = workedShare;
    m_edgesSeen = seenShare;
    nextNew = sortedAt;
    for (const int e : m_below) {
        Edge& edge = m_edges[static_cast<size_t>(e)];
        edge.xcur = edge.xnext = XAt(edge, rows[s]);
    }
    return s;
}

void Sweep::Run()
{
    // By bottom, then x: m_sorted lists the edges so, and each edge knows
    // its place there, which breaks ties of the row's fan-out. Edges that
    // start at one point keep the order their first row gives them, by x
    // one row up, unless two of them are there at one x too: only then does
    // their order tell, as the order the library sort gives them (sorting
    // keys standing for the edges, it orders them as it did the edges
    // themselves, its moves following its comparisons alone). So where the
    // edges stand in few runs, as the long monotone chains of most rings
    // do, they are merged by their runs; else, and in that case, the
    // library sorts them.
    FindFreeChains();
    const auto less = [](const EdgeKey& a, const EdgeKey& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; };
    std::vector<EdgeKey>& keys = m_keys;
    keys.resize(m_edges.size());
    // An edge's top is the next edge's bottom where the ring goes on the
    // same way, so the heights of the ends are the bottoms' and those of
    // the ring's peaks, where two edges end: only the peaks are sorted apart.
    std::vector<int64_t>& peaks = m_peaks;
    peaks.clear();
    // The peaks in the same pass over the edges, which do not fit the cache.
    const auto fillKeys = [&](bool findPeaks) {
        size_t begin = 0;
        for (const size_t end : m_contourEnds) {
            for (size_t i = begin; i < end; ++i) {
                const Edge& e = m_edges[i];
                const Edge& before = m_edges[i > begin ? i - 1 : end - 1];
                const Edge& after = m_edges[i + 1 < end ? i + 1 : begin];
                keys[i] = EdgeKey{e.bot.y, e.bot.x, static_cast<uint32_t>(i), e.up ? before.up : !after.up};
                if (findPeaks && e.up && !after.up)
                    peaks.push_back(e.top.y);
            }
            begin = end;
        }
    };
    fillKeys(true);
    const bool byRuns = SortByRuns(keys, less, m_keyBuffer, m_runStarts, m_runMerged);
    if (!byRuns)
        std::sort(keys.begin(), keys.end(), less);
    if (!SortByRuns(peaks, std::less<int64_t>(), m_peakBuffer, m_runStarts, m_runMerged))
        std::sort(peaks.begin(), peaks.end());
    Spare(m_peakBuffer);
    std::vector<int64_t>& rows = m_rowList;
    rows.clear();
    rows.reserve(m_edges.size() * 2);
    // With free chains, the tops at each row are counted too (2 for more).
    std::vector<uint8_t>& rowTops = m_rowTops;
    rowTops.clear();
    const bool countTops = m_anyFree;
    const auto addPeak = [&](int64_t y) {
        if (rows.empty() || rows.back() != y) {
            rows.push_back(y);
            if (countTops)
                rowTops.push_back(2);
        } else if (countTops) {
            rowTops.back() = 2;
        }
    };
    size_t t = 0;
    for (const EdgeKey& k : keys) {
        for (; t < peaks.size() && peaks[t] < k.y; ++t)
            addPeak(peaks[t]);
        if (rows.empty() || rows.back() != k.y) {
            rows.push_back(k.y);
            if (countTops)
                rowTops.push_back(0);
        }
        if (countTops && k.passing && rowTops.back() < 2)
            ++rowTops.back();
    }
    for (; t < peaks.size(); ++t)
        addPeak(peaks[t]);
    Done(peaks);
    if (byRuns) {
        bool tied = false;
        std::vector<int64_t>& xs = m_xs;
        for (size_t i = 0, r = 0; i < keys.size() && !tied;) {
            size_t j = i + 1;
            while (j < keys.size() && keys[j].y == keys[i].y && keys[j].x == keys[i].x)
                ++j;
            if (j - i > 1) {
                while (rows[r] <= keys[i].y)
                    ++r; // an edge's top lies above its bottom, so there is a row above
                xs.clear();
                for (size_t k = i; k < j; ++k)
                    xs.push_back(XAt(m_edges[keys[k].edge], rows[r]));
                std::sort(xs.begin(), xs.end());
                tied = std::adjacent_find(xs.begin(), xs.end()) != xs.end();
            }
            i = j;
        }
        if (tied) {
            fillKeys(false);
            std::sort(keys.begin(), keys.end(), less);
        }
    }
    m_pieces.assign(m_edges.size(), Piece());
    m_sorted.resize(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        m_sorted[i] = keys[i].edge;
        m_edges[keys[i].edge].rank = static_cast<uint32_t>(i);
    }
    // The keys stay for the rows: the bottoms' heights in order, read
    // without going to the edges.
    Spare(m_keyBuffer);
    m_rows = &rows;
    const size_t edges = m_edges.size();
    // Room for the rows of most inputs from the start; the result has about
    // as many sides as the operands.
    const size_t room = std::min<size_t>(edges, 1024);
    for (std::vector<int>* list : {&m_below, &m_above, &m_next, &m_spliced, &m_states, &m_order, &m_position})
        list->reserve(room);
    m_units.reserve(room);
    m_pairs.reserve(room);
    m_endings.reserve(room);
    m_newPlace.reserve(64);
    m_seeds.reserve(64);
    m_windows.reserve(64);
    m_swaps.reserve(64);
    m_stretches.reserve(64);
    m_segments.reserve(edges);
    if (m_anyFree)
        m_joins.reserve(edges);
    size_t nextNew = 0;
    size_t quietEnd = 0; // rows before it, from where it was found, pass free chains on
    for (size_t r = 0; r < rows.size(); ++r) {
        if (m_anyFree && !m_events) {
            if (r >= quietEnd)
                quietEnd = QuietRowsEnd(r, nextNew);
            if (quietEnd - r >= kLeastSkip) {
                const size_t stopped = SkipQuietRows(r, quietEnd, nextNew);
                if (stopped > r) {
                    r = stopped - 1;
                    continue;
                }
            }
        }
        const int64_t y = rows[r];
        const int64_t ynext = r + 1 < rows.size() ? rows[r + 1] : y;
        m_row = r;
        size_t newEnd = nextNew;
        while (newEnd < edges && keys[newEnd].y == y)
            ++newEnd;
        m_units.clear();
        m_states.clear();
        m_above.clear();
        const size_t edgesBelow = m_below.size(), starting = newEnd - nextNew;
        m_swaps.clear();
        bool passed = false;
        if (!m_events)
            passed = starting == 1 ? PassRow(m_sorted[nextNew], y, ynext) : PassTurns(nextNew, newEnd, y, ynext);
        else if (starting == 1)
            passed = PassEventChain(m_sorted[nextNew], r);
        else if (starting == 0)
            passed = PassEventTop(r);
        else if (starting == 2)
            passed = PassEventBottom(nextNew, r);
        if (!passed) {
            if (m_events) {
                FindWindows(r, nextNew, newEnd);
            } else {
                // The whole row is one window; x at y is known from the row before.
                m_windows.clear();
                Window& w = m_windows.emplace_back();
                w.hi = m_below.size();
                w.newBegin = nextNew;
                w.newEnd = newEnd;
            }
            for (size_t w = 0; w < m_windows.size(); ++w) {
                BuildWindow(m_windows[w], y, ynext);
                WalkWindow(m_windows[w], static_cast<int>(w), y);
            }
            RunBeam(y, ynext);
            SpliceWindows();
        }
        nextNew = newEnd;
        // How much of the row was worked, averaged over the last rows: event
        // rows pay for their bookkeeping, and pay off only where most of a
        // long row lies still.
        size_t worked = 0;
        for (const Window& w : m_windows)
            worked += w.hi - w.lo;
        if (!m_events)
            worked = 2 * starting + m_swaps.size() * 2 + (edgesBelow + starting - m_below.size());
        m_worked += (static_cast<int64_t>(worked) * 256 - m_worked) / 8;
        m_edgesSeen += (static_cast<int64_t>(m_below.size()) * 256 - m_edgesSeen) / 8;
        if (m_events) {
            for (const Window& w : m_windows)
                for (size_t k = w.lo; k < w.hi; ++k)
                    if (m_edges[static_cast<size_t>(m_below[k])].bot.y == y)
                        WatchEnd(m_below[k]);
            ScheduleWindows(r);
            if (m_below.size() < kEventEdges / 2 || 5 * m_worked > 4 * m_edgesSeen) {
                m_events = false;
                m_pairs.clear();
                for (int e : m_below)
                    m_edges[static_cast<size_t>(e)].xcur = XAt(m_edges[static_cast<size_t>(e)], ynext);
            }
        } else if (m_below.size() > kEventEdges && 4 * m_worked < m_edgesSeen && r + 1 < rows.size()) {
            StartEvents(r + 1);
        }
    }
    Spare(keys);
}

// Where every node of the pieces has one arrival and one departure, as
// at most nodes, the one goes on into the other: found by a hash of the
// starts, without the sorts (whose comparisons are hard to foretell).
// False where any node has more or fewer: there the spokes are ordered.
bool Sweep::LinkPairs()
{
    return m_joins.empty() ? LinkPairs<false>() : LinkPairs<true>();
}

template <bool joined>
bool Sweep::LinkPairs()
{
    const size_t n = m_segments.size();
    // The sweep's joins are links found already: the segment joined to
    // starts where nothing else does, so it needs no slot, and the
    // segment joined from needs no look-up. Without joins the hash is
    // filled first: where starts repeat, as at crossings, that is all
    // there is to do.
    std::vector<int64_t>& next = m_link;
    std::vector<uint8_t>& taken = m_used;
    if constexpr (joined) {
        next.assign(n, -1);
        taken.assign(n, 0);
        for (const Join& j : m_joins) {
            next[j.from] = j.to;
            taken[j.to] = 1;
        }
    }
    const size_t hashed = n - m_joins.size();
    Done(m_joins);
    size_t size = 16;
    while (size < 2 * hashed)
        size *= 2;
    const int shift = 64 - std::countr_zero(size);
    const auto mix = [](const IPoint& p) {
        const uint64_t h = static_cast<uint64_t>(p.x) * 0x9E3779B97F4A7C15ULL ^ static_cast<uint64_t>(p.y) * 0xC2B2AE3D27D4EB4FULL;
        return (h ^ (h >> 29)) * 0xFF51AFD7ED558CCDULL;
    };
    // Segment + 1 (0 for none) in the low half, and in the high half low
    // bits of the point's hash, which tell most other points apart
    // without reading their pieces.
    std::vector<uint64_t>& slots = m_slots;
    slots.assign(size, 0);
    const auto holds = [&](uint64_t slot, uint64_t tag, const IPoint& p) {
        return (slot & ~uint64_t(0xFFFFFFFF)) == tag && m_segments[static_cast<uint32_t>(slot) - 1].a == p;
    };
    for (size_t i = 0; i < n; ++i) {
        if constexpr (joined)
            if (taken[i])
                continue;
        const uint64_t h = mix(m_segments[i].a), tag = h << 32;
        size_t k = static_cast<size_t>(h >> shift);
        for (; slots[k] != 0; k = (k + 1) & (size - 1))
            if (holds(slots[k], tag, m_segments[i].a))
                return false;
        slots[k] = tag | (i + 1);
    }
    if constexpr (!joined) {
        next.assign(n, -1);
        taken.assign(n, 0);
    }
    const size_t near = m_anyFree ? kNearPieces : 1;
    for (size_t i = 0; i < n; ++i) {
        if constexpr (joined)
            if (next[i] >= 0)
                continue;
        // Starts are known to differ: a piece near in the list starting
        // where this one ends is the one, as along chains, whose pieces
        // come a few apart where free chains pass on side by side.
        uint32_t found = 0;
        const IPoint& end = m_segments[i].b;
        for (size_t d = 1; d <= near && found == 0; ++d) {
            if (i + d < n && m_segments[i + d].a == end)
                found = static_cast<uint32_t>(i + d + 1);
            else if (i >= d && m_segments[i - d].a == end)
                found = static_cast<uint32_t>(i - d + 1);
        }
        if (found == 0) {
            const uint64_t h = mix(m_segments[i].b), tag = h << 32;
            size_t k = static_cast<size_t>(h >> shift);
            while (slots[k] != 0 && !holds(slots[k], tag, m_segments[i].b))
                k = (k + 1) & (size - 1);
            found = static_cast<uint32_t>(slots[k]);
        }
        if (found == 0 || taken[found - 1])
            return false;
        taken[found - 1] = 1;
        next[i] = found - 1;
    }
    Done(slots);
    return true;
}

// The pieces linked into rings, each ring from its first piece on.
void Sweep::LinkRings()
{
    const size_t n = m_segments.size();
    if (!LinkPairs())
        LinkAtNodes();
    std::vector<int64_t>& next = m_link;
    Spare(m_byStart);
    Spare(m_byEnd);
    Done(m_slots);
    std::vector<uint8_t>& used = m_used;
    used.assign(n, 0);
    // Each piece gives at most one point. Written through plain pointers:
    // pushing back, the walk read the vectors again at every step. The
    // room keeps its size between operations (the ends tell what was
    // written), so that sizing it writes no zeros.
    std::vector<IPoint>& points = m_ringPoints;
    if (points.size() < n)
        points.resize(n);
    IPoint* const out = points.data();
    uint8_t* const seen = used.data();
    const int64_t* const after = next.data();
    const Segment* const segments = m_segments.data();
    size_t count = 0;
    for (size_t first = 0; first < n; ++first) {
        if (seen[first])
            continue;
        const size_t begin = count;
        int64_t s = static_cast<int64_t>(first);
        // A node out of balance cannot happen; a ring through one is dropped.
        while (s >= 0 && !seen[static_cast<size_t>(s)]) {
            seen[static_cast<size_t>(s)] = 1;
            out[count++] = segments[static_cast<size_t>(s)].a;
            s = after[static_cast<size_t>(s)];
        }
        if (s == static_cast<int64_t>(first))
            m_ringEnds.push_back(count);
        else
            count = begin;
    }
    Done(next);
    Done(used);
}

// Pairs at every node each arriving piece with a leaving one: around the
// node, clockwise, the region lies between an arrival and the departure
// that follows it, so pairs are matched like brackets. Rings so made never
// cross themselves; where the region touches itself at a point they come
// apart or touch without crossing.
void Sweep::LinkAtNodes()
{
    const size_t n = m_segments.size();
    // Sorted as the segment numbers would be, through keys holding the
    // points (the sort's moves follow its comparisons alone).
    std::vector<uint32_t>& byStart = m_byStart;
    std::vector<uint32_t>& byEnd = m_byEnd;
    byStart.resize(n);
    byEnd.resize(n);
    {
        std::vector<PointKey>& keys = m_pointKeys;
        keys.resize(n);
        for (size_t i = 0; i < n; ++i)
            keys[i] = PointKey{m_segments[i].a, static_cast<uint32_t>(i)};
        const auto less = [](const PointKey& p, const PointKey& q) { return LessXY(p.p, q.p); };
        std::sort(keys.begin(), keys.end(), less);
        for (size_t i = 0; i < n; ++i)
            byStart[i] = keys[i].segment;
        // The end sort started from the start order.
        for (size_t i = 0; i < n; ++i)
            keys[i] = PointKey{m_segments[byStart[i]].b, byStart[i]};
        std::sort(keys.begin(), keys.end(), less);
        for (size_t i = 0; i < n; ++i)
            byEnd[i] = keys[i].segment;
        Spare(keys);
    }
    // Clockwise from +x; an arrival before a departure the same way, so a
    // piece and its exact reverse pair up and drop out as a spike.
    auto clockwise = [](const Spoke& s, const Spoke& t) {
        auto half = [](const IPoint& v) { return v.y < 0 || (v.y == 0 && v.x > 0) ? 0 : 1; };
        const int hs = half(s.direction);
        const int ht = half(t.direction);
        if (hs != ht)
            return hs < ht;
        const Int128 c = Cross(s.direction, t.direction);
        if (c != 0)
            return c < 0;
        return s.arrives && !t.arrives;
    };

    std::vector<int64_t>& next = m_link;
    next.assign(n, -1);
    std::vector<Spoke>& spokes = m_spokes;
    std::vector<uint32_t>& pending = m_pending;
    for (size_t i = 0, j = 0; i < n || j < n;) {
        IPoint node;
        if (j >= n || (i < n && !LessXY(m_segments[byEnd[j]].b, m_segments[byStart[i]].a)))
            node = m_segments[byStart[i]].a;
        else
            node = m_segments[byEnd[j]].b;
        spokes.clear();
        for (; i < n && m_segments[byStart[i]].a == node; ++i)
            spokes.push_back({Minus(m_segments[byStart[i]].b, node), byStart[i], false});
        for (; j < n && m_segments[byEnd[j]].b == node; ++j)
            spokes.push_back({Minus(m_segments[byEnd[j]].a, node), byEnd[j], true});
        // One arrival and one departure: the one goes on into the other.
        if (spokes.size() == 2 && spokes[0].arrives != spokes[1].arrives) {
            const Spoke& in = spokes[0].arrives ? spokes[0] : spokes[1];
            next[in.segment] = spokes[0].arrives ? spokes[1].segment : spokes[0].segment;
            continue;
        }
        std::sort(spokes.begin(), spokes.end(), clockwise);
        // Start after the deepest point, so every departure finds an arrival.
        size_t start = 0;
        for (int64_t depth = 0, lowest = 0, k = 0; k < static_cast<int64_t>(spokes.size()); ++k) {
            depth += spokes[static_cast<size_t>(k)].arrives ? 1 : -1;
            if (depth < lowest) {
                lowest = depth;
                start = static_cast<size_t>(k) + 1;
            }
        }
        pending.clear();
        for (size_t k = 0; k < spokes.size(); ++k) {
            const Spoke& s = spokes[(start + k) % spokes.size()];
            if (s.arrives) {
                pending.push_back(s.segment);
            } else if (!pending.empty()) {
                next[pending.back()] = s.segment;
                pending.pop_back();
            }
        }
    }

}

// Drops repeated and collinear vertices, spikes included, from the n
// vertices at ring; what is left is [begin, end), empty below 3.
void CleanRing(IPoint* ring, size_t n, size_t& begin, size_t& end)
{
    size_t out = 0;
    for (size_t i = 0; i < n; ++i) {
        const IPoint p = ring[i];
        while (out >= 2 && Cross(Minus(ring[out - 1], ring[out - 2]), Minus(p, ring[out - 1])) == 0)
            --out;
        if (out >= 1 && ring[out - 1] == p)
            continue;
        ring[out++] = p;
    }
    begin = 0;
    while (out - begin >= 3) {
        if (Cross(Minus(ring[out - 1], ring[out - 2]), Minus(ring[begin], ring[out - 1])) == 0) {
            --out;
        } else if (Cross(Minus(ring[begin], ring[out - 1]), Minus(ring[begin + 1], ring[begin])) == 0) {
            ++begin;
        } else {
            break;
        }
    }
    end = out - begin < 3 ? begin : out;
}

// |dx| + |dy| of the side from a to b.
inline Int128 Steps(const IPoint& a, const IPoint& b)
{
    const IPoint d = Minus(b, a);
    return (d.x < 0 ? -Int128(d.x) : Int128(d.x)) + (d.y < 0 ? -Int128(d.y) : Int128(d.y));
}

// Twice the ring's area (of at least 3 vertices), with the steps of all
// its sides, the perimeter or more, in the same pass. A call of its own:
// inlined in its caller, the sum went through memory at every step.
[[gnu::noinline]] long double DoubledArea(std::span<const IPoint> ring, Int128& steps)
{
    long double area = 0;
    const size_t n = ring.size();
    const IPoint origin = ring[0];
    Int128 sides = Steps(ring[0], ring[1]) + Steps(ring[n - 1], ring[0]);
    for (size_t i = 1; i + 1 < n; ++i) {
        sides += Steps(ring[i], ring[i + 1]);
        area += ToLongDouble(Cross(Minus(ring[i], origin), Minus(ring[i + 1], origin)));
    }
    steps = sides;
    return area;
}

void Sweep::Result(std::vector<CPolygonClipper::Contour>& result)
{
    LinkRings();
    Done(m_segments);
    // The result's contours are filled again where it has them: the
    // operands are no longer read, and their room saves allocations.
    size_t count = 0;
    for (size_t r = 0, from = 0; r < m_ringEnds.size(); from = m_ringEnds[r++]) {
        size_t begin = 0, end = 0;
        CleanRing(m_ringPoints.data() + from, m_ringEnds[r] - from, begin, end);
        if (begin == end)
            continue;
        const std::span<const IPoint> ring(m_ringPoints.data() + from + begin, end - begin);
        Int128 steps = 0;
        const long double area = DoubledArea(ring, steps);
        // Slivers thinner than two grid units on average are rounding
        // noise. The perimeter's sum, rounded, stays below the steps with
        // their rounding allowed for, so a ring clear of that bound needs
        // no square roots.
        if (!(std::fabs(area) > 2 * ToLongDouble(steps) * (1 + 0x1p-30L))) {
            long double perimeter = 0;
            for (size_t i = 0; i < ring.size(); ++i) {
                const IPoint d = Minus(ring[(i + 1) % ring.size()], ring[i]);
                perimeter += std::hypot(static_cast<long double>(d.x), static_cast<long double>(d.y));
            }
            if (std::fabs(area) <= 2 * perimeter)
                continue;
        }
        if (count == result.size())
            result.emplace_back();
        CPolygonClipper::Contour& contour = result[count++];
        contour.hole = area < 0;
        contour.points.resize(ring.size());
        for (size_t i = 0; i < ring.size(); ++i)
            contour.points[i] = CMapPoint(m_grid.FromGrid(ring[i].x), m_grid.FromGrid(ring[i].y));
    }
    result.resize(count);
}

// The contour's extent; false for a coordinate that is not finite.
bool ContourExtent(const CPolygonClipper::Contour& c, CMapRect& r)
{
    r = CMapRect();
    for (const CMapPoint& p : c.points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return false;
        r.left = std::min(r.left, p.x);
        r.right = std::max(r.right, p.x);
        r.top = std::max(r.top, p.y);
        r.bottom = std::min(r.bottom, p.y);
    }
    return true;
}

bool Touch(const CMapRect& a, const CMapRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

// Contours whose extent meets none of the other set's: they cannot change
// an intersection, nor a difference when they belong to the clip set.
// Taken by the contours' extents.
void FarContours(const std::vector<CMapRect>& these, const std::vector<CMapRect>& theirs, std::vector<uint8_t>& far)
{
    CMapRect all;
    for (const CMapRect& t : theirs)
        all.UnionRect(all, t);
    // Past this many pairs only the whole extent is compared.
    constexpr double kPairLimit = 1e7;
    const bool pairwise = static_cast<double>(these.size()) * static_cast<double>(theirs.size()) <= kPairLimit;
    far.assign(these.size(), 0);
    for (size_t i = 0; i < these.size(); ++i) {
        const CMapRect& r = these[i];
        if (!Touch(r, all))
            far[i] = 1;
        else if (pairwise)
            far[i] = std::none_of(theirs.begin(), theirs.end(), [&](const CMapRect& t) { return Touch(r, t); });
    }
}

// The extents and the far contours of both operands, kept per thread
// unless large: small operations need no allocations for them.
struct Operands {
    std::vector<CMapRect> subjectExtents, clipExtents;
    std::vector<uint8_t> farSubject, farClip;

    void Release()
    {
        constexpr size_t kKeptContours = size_t(1) << 16;
        for (auto* v : {&subjectExtents, &clipExtents})
            if (v->capacity() > kKeptContours)
                std::vector<CMapRect>().swap(*v);
        for (auto* v : {&farSubject, &farClip})
            if (v->capacity() > kKeptContours)
                std::vector<uint8_t>().swap(*v);
    }
};

} // namespace

bool CPolygonClipper::Clip(int op, const std::vector<Contour>& subject, const std::vector<Contour>& clip,
                           std::vector<Contour>& result)
{
    if (op < kDifference || op > kUnion) {
        result.clear();
        return false;
    }
    thread_local Operands operands;
    struct Released {
        Operands& operands;
        ~Released() { operands.Release(); }
    } released{operands};
    std::vector<CMapRect>& subjectExtents = operands.subjectExtents;
    std::vector<CMapRect>& clipExtents = operands.clipExtents;
    double largest = 0;
    try {
        for (auto [set, extents] : {std::pair{&subject, &subjectExtents}, std::pair{&clip, &clipExtents}}) {
            extents->resize(set->size());
            for (size_t i = 0; i < set->size(); ++i) {
                CMapRect& r = (*extents)[i];
                if (!ContourExtent((*set)[i], r)) {
                    result.clear();
                    return false;
                }
                if (!(*set)[i].points.empty())
                    largest = std::max({largest, std::fabs(r.left), std::fabs(r.right), std::fabs(r.top), std::fabs(r.bottom)});
            }
        }
        const bool subjectEmpty = subject.empty();
        const bool clipEmpty = clip.empty();
        if ((subjectEmpty && clipEmpty) || (subjectEmpty && (op == kIntersection || op == kDifference)) ||
            (clipEmpty && op == kIntersection)) {
            result.clear();
            return true;
        }
        // The finest grid that keeps every coordinate within 2^53 units, but
        // no finer than 2^-34 (5.8e-11): vertices and edges closer than that
        // are one.
        Grid grid;
        int gridExponent = kFinestExponent;
        if (largest > 0) {
            int exponent = 0;
            std::frexp(largest, &exponent);
            gridExponent = std::max(exponent - 53, kFinestExponent);
        }
        grid.SetExponent(gridExponent);
        std::vector<uint8_t>& farSubject = operands.farSubject;
        std::vector<uint8_t>& farClip = operands.farClip;
        farSubject.assign(subject.size(), 0);
        farClip.assign(clip.size(), 0);
        if (op == kIntersection || op == kDifference) {
            FarContours(clipExtents, subjectExtents, farClip);
            if (op == kIntersection)
                FarContours(subjectExtents, clipExtents, farSubject);
        }
        size_t points = 0;
        for (size_t i = 0; i < subject.size(); ++i)
            points += farSubject[i] ? 0 : subject[i].points.size();
        for (size_t i = 0; i < clip.size(); ++i)
            points += farClip[i] ? 0 : clip[i].points.size();
        // Taken from the thread while in use, given back when worth keeping.
        thread_local std::unique_ptr<Sweep> kept;
        std::unique_ptr<Sweep> sweep = kept ? std::move(kept) : std::make_unique<Sweep>();
        sweep->Start(op, grid, points);
        for (size_t i = 0; i < subject.size(); ++i)
            if (!farSubject[i])
                sweep->AddContour(subject[i].points, kSubjectBit);
        for (size_t i = 0; i < clip.size(); ++i)
            if (!farClip[i])
                sweep->AddContour(clip[i].points, kClipBit);
        sweep->Run();
        sweep->Result(result);
        if (sweep->Keep())
            kept = std::move(sweep);
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::logic_error&) { // length_error too
    }
    result.clear();
    return false;
}
