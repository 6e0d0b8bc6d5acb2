#include "routing/TourFileSolver.h"

#include "platform/Stream.h"
#include "routing/RouteAllocation.h"
#include "routing/TourSearch.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr int kNoWay = INT_MAX;
// Far more than the edges of the largest graph taken.
constexpr int64_t kMaxGraphBytes = int64_t{1} << 30;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The lines of a text that hold more than blanks.
class CLineReader {
public:
    explicit CLineReader(std::string_view text) : m_text(text) {}
    bool Next(std::string_view& line)
    {
        while (m_at < m_text.size()) {
            size_t end = m_text.find('\n', m_at);
            if (end == std::string_view::npos)
                end = m_text.size();
            line = m_text.substr(m_at, end - m_at);
            m_at = end + 1;
            if (!std::all_of(line.begin(), line.end(), IsBlank))
                return true;
        }
        return false;
    }

private:
    std::string_view m_text;
    size_t m_at = 0;
};

// Exactly count whole numbers (no sign) separated by blanks. None of the
// numbers a graph file may hold has more than 18 digits past its leading
// zeros; a longer one is no such number either.
bool ReadNumbers(std::string_view line, int64_t* values, int count)
{
    const char* p = line.data();
    const char* end = p + line.size();
    for (int k = 0; k < count; ++k) {
        while (p < end && IsBlank(*p))
            ++p;
        const char* digits = p;
        while (p < end && *p == '0')
            ++p;
        const char* significant = p;
        int64_t value = 0;
        for (; p < end && static_cast<unsigned>(*p - '0') < 10; ++p) {
            if (p - significant >= 18)
                return false;
            value = value * 10 + (*p - '0');
        }
        if (p == digits || (p < end && !IsBlank(*p)))
            return false;
        values[k] = value;
    }
    while (p < end && IsBlank(*p))
        ++p;
    return p == end;
}

struct CEdge {
    int a, b, cost;
};

// The header, then every edge line through visit; false on the first line
// that is not an edge of the graph, or when the count differs.
template <class Visit>
bool ReadEdges(std::string_view text, int& nodes, Visit&& visit)
{
    CLineReader lines(text);
    std::string_view line;
    int64_t header[2];
    if (!lines.Next(line) || !ReadNumbers(line, header, 2) || header[0] < 1 || header[0] > INT_MAX / 4 ||
        header[1] < 0)
        return false;
    nodes = static_cast<int>(header[0]);
    int64_t count = 0;
    while (lines.Next(line)) {
        int64_t v[3];
        if (++count > header[1] || !ReadNumbers(line, v, 3) || v[0] < 0 || v[0] >= nodes || v[1] < 0 ||
            v[1] >= nodes || v[2] < 0 || v[2] >= kNoWay)
            return false;
        visit(CEdge{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2])});
    }
    return count == header[1];
}

void Lower(int& cell, int cost)
{
    cell = std::min(cell, cost);
}

// Square costs held as one block, INT_MAX where there is no way.
struct CCosts {
    std::unique_ptr<int[]> cells;
    int n = 0;
    bool Allocate(int size)
    {
        n = size;
        cells = AllocateRouteArray<int>(static_cast<size_t>(size) * static_cast<size_t>(size));
        if (cells)
            std::fill(cells.get(), cells.get() + static_cast<size_t>(size) * size, kNoWay);
        return cells != nullptr;
    }
    int& At(int from, int to) { return cells[static_cast<size_t>(from) * n + to]; }
};

// What the first reading learns of the graph's shape.
struct CShapeOfGraph {
    int nodes = 0;
    // Three nodes per stop: stops, and for each the costs of its two inner edges.
    bool threeNodes = false;
    std::vector<int> outToMiddle, middleToIn;
    // The first two neighbours of each node and whether it has more.
    std::vector<int> first, second;
    std::vector<char> more;
    // Taken in the same reading (none when memory failed): the ways between
    // the stops of a graph that may be of three nodes per stop, else the
    // edges between all nodes.
    CCosts ways, edges;
};

bool LearnShape(std::string_view text, CShapeOfGraph& shape)
{
    int nodes = 0;
    CLineReader peek(text);
    std::string_view line;
    int64_t header[2];
    if (!peek.Next(line) || !ReadNumbers(line, header, 2) || header[0] < 1 ||
        header[0] > 3 * static_cast<int64_t>(kMaxTourFileStops) + 3)
        return false;
    const int n = static_cast<int>(header[0]);
    const int stops = n / 3;
    // One stop alone has no tour; from two on, the inner edges fix the shape.
    shape.threeNodes = n % 3 == 0 && stops >= 2;
    shape.outToMiddle.assign(static_cast<size_t>(stops), kNoWay);
    shape.middleToIn.assign(static_cast<size_t>(stops), kNoWay);
    shape.first.assign(static_cast<size_t>(n), -1);
    shape.second.assign(static_cast<size_t>(n), -1);
    shape.more.assign(static_cast<size_t>(n), 0);
    auto neighbour = [&](int v, int w) {
        int& a = shape.first[static_cast<size_t>(v)];
        int& b = shape.second[static_cast<size_t>(v)];
        if (a < 0 || a == w)
            a = w;
        else if (b < 0 || b == w)
            b = w;
        else
            shape.more[static_cast<size_t>(v)] = 1;
    };
    const bool ways = shape.threeNodes && shape.ways.Allocate(stops);
    const bool edges = !shape.threeNodes && n <= kMaxTourFileStops + 1 && shape.edges.Allocate(n);
    const bool read = ReadEdges(text, nodes, [&](const CEdge& e) {
        if (e.a == e.b)
            return;
        neighbour(e.a, e.b);
        neighbour(e.b, e.a);
        if (edges) {
            Lower(shape.edges.At(e.a, e.b), e.cost);
            Lower(shape.edges.At(e.b, e.a), e.cost);
        }
        if (!shape.threeNodes)
            return;
        const int lo = std::min(e.a, e.b), hi = std::max(e.a, e.b);
        if (lo < stops && hi == 2 * stops + lo)
            Lower(shape.outToMiddle[static_cast<size_t>(lo)], e.cost);
        else if (lo >= stops && lo < 2 * stops && hi == stops + lo)
            Lower(shape.middleToIn[static_cast<size_t>(lo - stops)], e.cost);
        else if (!(lo < stops && hi >= stops && hi < 2 * stops))
            shape.threeNodes = false;
        else if (ways && hi - stops != lo)
            Lower(shape.ways.At(lo, hi - stops), e.cost);
    });
    if (!read)
        return false;
    shape.nodes = nodes;
    for (int j = 0; j < stops && shape.threeNodes; ++j)
        if (shape.outToMiddle[static_cast<size_t>(j)] == kNoWay || shape.middleToIn[static_cast<size_t>(j)] == kNoWay)
            shape.threeNodes = false;
    return true;
}

void AppendLine(std::string& text, int a, int b, int cost)
{
    char buffer[40];
    char* p = std::to_chars(buffer, buffer + 12, a).ptr;
    *p++ = ' ';
    p = std::to_chars(p, p + 12, b).ptr;
    *p++ = ' ';
    p = std::to_chars(p, p + 12, cost).ptr;
    *p++ = '\n';
    text.append(buffer, static_cast<size_t>(p - buffer));
}

std::string TourHeader(int nodes)
{
    return std::to_string(nodes) + ' ' + std::to_string(nodes) + '\n';
}

// The path fixed by a stop with one way in (from the stop before it) or one
// way out; else a closed tour from stop 0. False when some stop has no way
// in or out at all.
bool ChooseEnds(CCosts& costs, int& first, int& last)
{
    const int n = costs.n;
    std::vector<int> in(static_cast<size_t>(n), 0), out(static_cast<size_t>(n), 0);
    std::vector<int> from(static_cast<size_t>(n), -1), to(static_cast<size_t>(n), -1);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (i != j && costs.At(i, j) != kNoWay) {
                ++out[static_cast<size_t>(i)];
                ++in[static_cast<size_t>(j)];
                from[static_cast<size_t>(j)] = i;
                to[static_cast<size_t>(i)] = j;
            }
    first = last = 0;
    for (int i = 0; i < n; ++i)
        if (in[static_cast<size_t>(i)] == 0 || out[static_cast<size_t>(i)] == 0)
            return false;
    for (int i = 0; i < n; ++i)
        if (in[static_cast<size_t>(i)] == 1) {
            first = i;
            last = from[static_cast<size_t>(i)];
            return true;
        }
    for (int i = 0; i < n; ++i)
        if (out[static_cast<size_t>(i)] == 1) {
            first = to[static_cast<size_t>(i)];
            last = i;
            return true;
        }
    return true;
}

// The stops of a solved order as a cycle starting at stop 0.
std::vector<int> CycleFromZero(const std::vector<int>& order, bool closed)
{
    std::vector<int> cycle(order.begin(), closed ? order.end() - 1 : order.end());
    std::rotate(cycle.begin(), std::find(cycle.begin(), cycle.end(), 0), cycle.end());
    return cycle;
}

// An asymmetric matrix: stop j's way to k is the edge j, n + k.
bool SolveThreeNodeGraph(CShapeOfGraph& shape, std::string& tour)
{
    const int n = shape.nodes / 3;
    CCosts& costs = shape.ways;
    if (n < 2 || n > kMaxTourFileStops || !costs.cells)
        return false;
    int first = 0, last = 0;
    if (!ChooseEnds(costs, first, last))
        return false;
    CTourSearch search(costs.cells.get(), n);
    std::vector<int> order;
    if (!search.Solve(first, last, order))
        return false;
    const std::vector<int> cycle = CycleFromZero(order, first == last);
    tour = TourHeader(shape.nodes);
    for (int i = 0; i < n; ++i) {
        const int a = cycle[static_cast<size_t>(i)];
        const int b = cycle[static_cast<size_t>((i + 1) % n)];
        AppendLine(tour, a, n + b, costs.At(a, b));
        AppendLine(tour, n + b, 2 * n + b, shape.middleToIn[static_cast<size_t>(b)]);
        AppendLine(tour, 2 * n + b, b, shape.outToMiddle[static_cast<size_t>(b)]);
    }
    return true;
}

bool SolveSymmetricGraph(std::string_view text, CShapeOfGraph& shape, std::string& tour)
{
    const int nodes = shape.nodes;
    if (nodes < 2 || nodes > kMaxTourFileStops + 1)
        return false;
    // A node with two neighbours only is passed between them: the order runs
    // from one to the other through the rest.
    int dummy = -1;
    for (int v = nodes - 1; v >= 0; --v) {
        const size_t at = static_cast<size_t>(v);
        if (shape.second[at] < 0 && nodes > 2)
            return false;
        if (dummy < 0 && nodes > 2 && !shape.more[at])
            dummy = v;
    }
    const int n = dummy < 0 ? nodes : nodes - 1;
    auto place = [&](int v) { return dummy >= 0 && v > dummy ? v - 1 : v; };
    auto node = [&](int i) { return dummy >= 0 && i >= dummy ? i + 1 : i; };
    // The edges between all nodes, unless the first reading took them.
    CCosts& edges = shape.edges;
    if (!edges.cells) {
        if (!edges.Allocate(nodes))
            return false;
        int read = 0;
        ReadEdges(text, read, [&](const CEdge& e) {
            if (e.a != e.b) {
                Lower(edges.At(e.a, e.b), e.cost);
                Lower(edges.At(e.b, e.a), e.cost);
            }
        });
    }
    int toFirst = kNoWay, toSecond = kNoWay;
    CCosts costs;
    if (dummy < 0) {
        costs = std::move(edges);
    } else {
        toFirst = edges.At(dummy, shape.first[static_cast<size_t>(dummy)]);
        toSecond = edges.At(dummy, shape.second[static_cast<size_t>(dummy)]);
        if (!costs.Allocate(n))
            return false;
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b)
                costs.At(a, b) = edges.At(node(a), node(b));
        edges = CCosts();
    }
    int first = 0, last = 0;
    if (dummy >= 0) {
        first = place(shape.first[static_cast<size_t>(dummy)]);
        last = place(shape.second[static_cast<size_t>(dummy)]);
    }
    CTourSearch search(costs.cells.get(), n);
    std::vector<int> order;
    if (!search.Solve(first, last, order))
        return false;
    std::vector<int> cycle;
    if (dummy >= 0)
        cycle.push_back(dummy);
    for (size_t k = 0; k < order.size() - (dummy < 0 ? 1 : 0); ++k)
        cycle.push_back(node(order[k]));
    std::rotate(cycle.begin(), std::find(cycle.begin(), cycle.end(), 0), cycle.end());
    auto cost = [&](int a, int b) {
        if (a == dummy || b == dummy)
            return (a == dummy ? b : a) == shape.first[static_cast<size_t>(dummy)] ? toFirst : toSecond;
        return costs.At(place(a), place(b));
    };
    tour = TourHeader(nodes);
    for (size_t k = 0; k < cycle.size(); ++k) {
        const int a = cycle[k], b = cycle[(k + 1) % cycle.size()];
        AppendLine(tour, a, b, cost(a, b));
    }
    return true;
}

} // namespace

bool SolveTourGraph(std::string_view graph, std::string& tour)
{
    tour.clear();
    try {
        CShapeOfGraph shape;
        if (!LearnShape(graph, shape))
            return false;
        const bool solved =
            shape.threeNodes ? SolveThreeNodeGraph(shape, tour) : SolveSymmetricGraph(graph, shape, tour);
        if (!solved)
            tour.clear();
        return solved;
    } catch (const std::bad_alloc&) {
        tour.clear();
        return false;
    }
}

bool SolveTourFiles(const std::string& graphFile, const std::string& tourFile)
{
    std::string tour;
    bool solved = false;
    try {
        auto stream = CFileStream::Open(graphFile, FileMode::Read);
        const int64_t size = stream ? stream->Size() : -1;
        if (size >= 0 && size <= kMaxGraphBytes) {
            // Not filled first: the read fills what it reaches.
            std::unique_ptr<char[]> graph(new char[static_cast<size_t>(size)]);
            const size_t read = stream->Read(graph.get(), static_cast<size_t>(size));
            solved = SolveTourGraph(std::string_view(graph.get(), read), tour);
        }
    } catch (const std::bad_alloc&) {
        solved = false;
    }
    if (!solved)
        tour.clear();
    // A file of the exchange, read once the solver is done and then removed:
    // written in place, with no wait for the disk.
    if (auto out = CFileStream::Open(tourFile, FileMode::CreateAlways))
        out->WriteExact(tour.data(), tour.size());
    return solved;
}
