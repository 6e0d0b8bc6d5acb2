#include "routing/StopOrder.h"

#include "core/FileUtil.h"
#include "platform/Path.h"
#include "platform/Process.h"
#include "platform/Stream.h"
#include "platform/UserServices.h"
#include "routing/RouteAllocation.h"
#include "routing/TourSolver.h"
#include "routing/TourSolverRunner.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <string>
#include <vector>

namespace {

constexpr int kForbidden = INT_MAX;
constexpr int kRouteNotFound = 1020;
constexpr int kSolverMissing = 1108;

bool ValidArguments(int** rows, int n, int start, int end, const int* order, const int64_t* cost)
{
    if (!rows || n < 1 || !order || !cost || start < 0 || start >= n || end < 0 || end >= n)
        return false;
    for (int i = 0; i < n; ++i)
        if (!rows[i])
            return false;
    return true;
}

bool HasNegativeCost(int** rows, int n)
{
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (rows[i][j] < 0)
                return true;
    return false;
}

// Removes the exchange files however the call ends.
class CTempFiles {
public:
    ~CTempFiles()
    {
        for (const std::string& file : m_files)
            RemoveFile(file);
    }
    // A new temporary file; empty (and the system's error shown) on failure.
    std::string Make()
    {
        std::string name = MakeTempFileName();
        if (!name.empty())
            m_files.push_back(name);
        return name;
    }

private:
    std::vector<std::string> m_files;
};

void AppendLine(std::string& text, int a, int b, int64_t c)
{
    char line[72];
    char* p = std::to_chars(line, line + 24, a).ptr;
    *p++ = ' ';
    p = std::to_chars(p, p + 24, b).ptr;
    *p++ = ' ';
    p = std::to_chars(p, p + 24, c).ptr;
    *p++ = '\n';
    text.append(line, static_cast<size_t>(p - line));
}

struct CGraphFile {
    std::string text;
    int nodes = 0;
};

// The solver works on symmetric graphs: an open path gets a dummy node joined
// to its start and end; an asymmetric matrix becomes a graph of three nodes
// per stop (out-node j, in-node n + j, and 2n + j between them), a way
// j -> k being the edge from j to n + k. The header's edge count is that of
// the lines below it.
CGraphFile MakeGraphFile(int** rows, int n, int start, int end, bool asymmetric)
{
    const bool closed = start == end;
    // Every edge, in the file's order.
    const auto edges = [&](auto&& edge) {
        if (!asymmetric) {
            if (!closed) {
                edge(n, start, 0);
                edge(n, end, 0);
            }
            for (int i = 0; i < n; ++i)
                for (int j = i + 1; j < n; ++j)
                    if (rows[i][j] != kForbidden)
                        edge(i, j, rows[i][j]);
            return;
        }
        for (int j = 0; j < n; ++j) {
            for (int k = 0; k < n; ++k) {
                if (k == j)
                    continue;
                if (!closed && k == start) {
                    // The only way into the start: free, from the end.
                    if (j == end)
                        edge(j, n + k, 0);
                } else if (rows[j][k] != kForbidden) {
                    edge(j, n + k, rows[j][k]);
                }
            }
            edge(j, 2 * n + j, 0);
            edge(2 * n + j, n + j, 0);
        }
    };
    CGraphFile graph;
    graph.nodes = asymmetric ? 3 * n : closed ? n : n + 1;
    // Counted first, so the header is written before the lines, all into one text.
    size_t count = 0;
    edges([&](int, int, int64_t) { ++count; });
    graph.text = std::to_string(graph.nodes) + ' ' + std::to_string(count) + '\n';
    graph.text.reserve(graph.text.size() + count * 16);
    AdviseLargePages(graph.text.data(), graph.text.capacity());
    edges([&](int a, int b, int64_t c) { AppendLine(graph.text, a, b, c); });
    return graph;
}

bool IsAsymmetric(int** rows, int n)
{
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (rows[i][j] != rows[j][i])
                return true;
    return false;
}

bool WriteGraphFile(const std::string& path, const std::string& text)
{
    int error = 0;
    auto stream = CFileStream::Open(path, FileMode::CreateAlways, &error);
    if (stream && stream->WriteExact(text.data(), text.size()) && stream->Flush())
        return true;
    if (stream)
        error = stream->LastError() ? stream->LastError() : EIO;
    AppMessageBox(SystemErrorText(error), MB_OK | MB_ICONERROR);
    return false;
}

// Whitespace-separated integers, as scanf reads them.
class CIntReader {
public:
    explicit CIntReader(const std::string& text) : m_p(text.data()), m_end(text.data() + text.size()) {}
    template <class T>
    bool Next(T& value)
    {
        while (m_p < m_end && IsBlank(*m_p))
            ++m_p;
        auto [next, error] = std::from_chars(m_p, m_end, value);
        if (error != std::errc() || (next < m_end && !IsBlank(*next)))
            return false;
        m_p = next;
        return true;
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
    const char* m_p;
    const char* m_end;
};

std::string ReadTourText(const std::string& path, int graphNodes)
{
    auto stream = CFileStream::Open(path, FileMode::Read);
    if (!stream)
        return std::string();
    // A tour has one short line per graph node; more is never read.
    int64_t limit = 4096 + 64 * (int64_t{graphNodes} + 1);
    int64_t size = std::min(stream->Size(), limit);
    std::string text(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
    text.resize(stream->Read(text.data(), text.size()));
    return text;
}

// The stops of the solver's tour in the order it lists them: a permutation
// of 0..n-1 beginning with 0, else empty. reversed tells that an asymmetric
// tour was written against the direction of travel.
std::vector<int> ReadTourStops(const std::string& text, int n, int graphNodes, bool asymmetric, bool& reversed)
{
    reversed = false;
    CIntReader reader(text);
    int skip = 0;
    if (!reader.Next(skip) || !reader.Next(skip))
        return {};
    std::vector<int> stops;
    std::vector<char> seen(static_cast<size_t>(n), 0);
    int node = 0, next = 0;
    int64_t edgeCost = 0; // the matrix gives the costs
    bool first = true;
    while (static_cast<int>(stops.size()) < n && reader.Next(node) && reader.Next(next) && reader.Next(edgeCost)) {
        if (node < 0 || node >= graphNodes || next < 0 || next >= graphNodes)
            return {};
        // From an out-node the way on leads to an in-node; back through its
        // own middle node means the tour runs backwards.
        if (first && asymmetric && next == 2 * n + node)
            reversed = true;
        first = false;
        if (node < n) {
            if (seen[static_cast<size_t>(node)])
                return {};
            seen[static_cast<size_t>(node)] = 1;
            stops.push_back(node);
        }
    }
    if (static_cast<int>(stops.size()) < n || stops[0] != 0)
        return {};
    return stops;
}

// The solver's cycle as the caller's order: from the start, and for an open
// path through the dummy link from the end back to the start. False when
// the tour does not fit the matrix.
bool OrderFromCycle(int** rows, int n, int start, int end, bool asymmetric, const std::vector<int>& cycle,
                    int* order, int64_t* cost)
{
    size_t at = static_cast<size_t>(std::find(cycle.begin(), cycle.end(), start) - cycle.begin());
    auto step = [&](int k) { return cycle[(at + static_cast<size_t>(k % n + n)) % static_cast<size_t>(n)]; };
    int direction = 1;
    if (start != end) {
        if (step(-1) == end)
            direction = 1;
        else if (!asymmetric && step(1) == end)
            direction = -1;
        else
            return false;
    }
    std::vector<int> result(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
        result[static_cast<size_t>(k)] = step(direction * k);
    int64_t total = 0;
    int legs = start == end && n > 1 ? n : n - 1;
    for (int k = 0; k < legs; ++k) {
        int leg = rows[result[static_cast<size_t>(k)]][result[static_cast<size_t>((k + 1) % n)]];
        if (leg == kForbidden)
            return false;
        total += leg;
    }
    std::copy(result.begin(), result.end(), order);
    if (start == end)
        order[n] = start;
    *cost = total;
    return true;
}

} // namespace

bool SolveTourExternal(int** rows, int n, int start, int end, int* order, int64_t* cost, IProgress* progress)
{
    if (!ValidArguments(rows, n, start, end, order, cost))
        return false;
    bool asymmetric = IsAsymmetric(rows, n);
    CGraphFile graph = MakeGraphFile(rows, n, start, end, asymmetric);
    std::string tour;
    if (!TourSolverRunner().RunOnTexts(graph.text, tour)) {
        CTempFiles files;
        std::string graphFile = files.Make();
        if (graphFile.empty())
            return false;
        std::string tourFile = files.Make();
        if (tourFile.empty())
            return false;
        if (!WriteGraphFile(graphFile, graph.text))
            return false;
        if (!TourSolverRunner().Run(graphFile, tourFile)) {
            AppMessageBox(kSolverMissing, MB_OK | MB_ICONERROR);
            return false;
        }
        tour = ReadTourText(tourFile, graph.nodes);
    }

    bool reversed = false;
    std::vector<int> cycle = ReadTourStops(tour, n, graph.nodes, asymmetric, reversed);
    if (!cycle.empty()) {
        if (reversed)
            std::reverse(cycle.begin() + 1, cycle.end());
        if (OrderFromCycle(rows, n, start, end, asymmetric, cycle, order, cost))
            return true;
    }
    // The solver ran and left no tour of these stops: say so, as the
    // internal solver does, rather than fail the route silently.
    AppMessageBox(kRouteNotFound, MB_OK | MB_ICONWARNING);
    return false;
}

bool SolveTour(int** rows, int n, int start, int end, int* order, int64_t* cost, IProgress* progress)
{
    if (!ValidArguments(rows, n, start, end, order, cost))
        return false;
    if (HasNegativeCost(rows, n)) {
        AppMessageBox(kRouteNotFound, MB_OK | MB_ICONWARNING);
        return false;
    }
    if (n > CTourSolver::kMaxStops)
        return SolveTourExternal(rows, n, start, end, order, cost, progress);
    CTourSolver solver;
    if (!solver.Solve(rows, n, start, end, order, cost, progress)) {
        AppMessageBox(kRouteNotFound, MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}

void ZeroCostsOfSharedNodes(int** rows, int n, const int* stopNodes)
{
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (i != j && stopNodes[i] >= 0 && stopNodes[i] == stopNodes[j])
                rows[i][j] = 0;
}
