#include "tools/demo/DemoTown.h"

#include "core/MapGeometry.h"
#include "platform/NumberText.h"
#include "tools/demo/DemoNames.h"
#include "tools/demo/DemoRandom.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <unordered_map>

// The town is a grid of crossings (i north, j east, 0 at the centre) bent
// and turned onto the map. Street objects join neighbouring crossings; the
// town takes them ring by ring round the centre (a ring being the
// crossings as far from it in either direction) and, within the last ring,
// in turn round it, until it has as many as asked. Every line of the grid
// runs out from the centre in two halves, each cut into named streets that
// never leave a town of the grid; every fifth line is a main street. What
// anything looks like follows from the seed and its place, and names and
// codes are given in the order of the streets' inner ends, so a town grown
// larger keeps the smaller one within it.

namespace {

constexpr double kBlock = CDemoTerrain::kBlock;
constexpr int kTile = CDemoTerrain::kTileNodes;
constexpr int kMainEvery = 5;
// A node id of the grid: positive and well below the ids routing gives
// the points it adds.
constexpr int kNodeBias = 2048;

enum Direction { kRow = 0, kColumn = 1 };

int64_t FloorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The town of the grid a crossing belongs to.
int64_t TileOf(int q)
{
    return FloorDiv(q + kTile / 2, kTile);
}

int Ring(int i, int j)
{
    return std::max(std::abs(i), std::abs(j));
}

// Street objects of the rings 0 to r.
int64_t SegmentsWithin(int64_t r)
{
    return 4 * r * (2 * r + 1);
}

// The place of a point on the square of half-size s round the centre,
// anticlockwise from its bottom-left corner.
int64_t Perimeter(int64_t x, int64_t y, int64_t s)
{
    if (s == 0)
        return 0;
    if (y == -s)
        return x + s;
    if (x == s)
        return 2 * s + (y + s);
    if (y == s)
        return 4 * s + (s - x);
    return 6 * s + (s - y);
}

// The order of the rings: the ring first, then the place on it.
uint64_t RingKey(int64_t halfX, int64_t halfY)
{
    const int64_t s = std::max(std::abs(halfX), std::abs(halfY));
    return (static_cast<uint64_t>(s) << 32) | static_cast<uint64_t>(Perimeter(halfX, halfY, s));
}

int32_t NodeId(int i, int j)
{
    return (i + kNodeBias) * (2 * kNodeBias) + (j + kNodeBias) + 1;
}

// A place: a line of the grid and a half of it.
struct CHalfLine {
    int direction;
    int line;
    int half; // +1 east or north, -1 west or south

    // The crossing at distance d from the centre line.
    void Node(int d, int& i, int& j) const
    {
        const int p = half * d;
        i = direction == kRow ? line : p;
        j = direction == kRow ? p : line;
    }
};

// One lot along a street: its number, or none for a shed.
struct CLot {
    int number = 0; // 0: not numbered
    char letter = 0;
    double roll = 0; // what the building is used for
};

// A named street: a run of street objects along a half line.
struct CRun {
    CHalfLine place;
    int d0 = 0, d1 = 0; // its objects d0 .. d1 - 1
    bool main = false;
    int significance = 1;
    int direction = 0;
    double weight = 1;
    uint64_t key = 0;
    std::string name, town;
    int32_t code = 0;
    // Lots of each object, left (odd) and right (even) looking outwards.
    std::vector<std::vector<CLot>> lots[2];
};

struct CTileNames {
    std::vector<int> minor, main;
    int minorUsed = 0, mainUsed = 0;
    std::string town;
};

double PolylineLength(const std::vector<CMapPoint>& points)
{
    double length = 0;
    for (size_t k = 1; k < points.size(); ++k)
        length += std::hypot(points[k].x - points[k - 1].x, points[k].y - points[k - 1].y);
    return length;
}

std::vector<int> Shuffled(int count, CDemoRandom random)
{
    std::vector<int> order(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k)
        order[static_cast<size_t>(k)] = k;
    for (int k = count - 1; k > 0; --k)
        std::swap(order[static_cast<size_t>(k)], order[static_cast<size_t>(random.Int(0, k))]);
    return order;
}

// Moves the entries that pass the test to the front, in the order they
// had; the others keep theirs.
template <class Test>
void ToFront(std::vector<int>& order, Test test)
{
    std::vector<int> front, rest;
    for (int k : order)
        (test(k) ? front : rest).push_back(k);
    front.insert(front.end(), rest.begin(), rest.end());
    order = std::move(front);
}

class CTownBuilder {
public:
    CTownBuilder(const CDemoOptions& options, CDemoTown& town)
        : m_options(options), m_seed(options.seed), m_town(town), m_names(CDemoNames::Get())
    {
    }

    void Build();

private:
    // The grid.
    size_t RowSegment(int i, int j) const { return static_cast<size_t>(i + m_r) * (2 * m_r) + (j + m_r); }
    size_t ColumnSegment(int i, int j) const
    {
        return m_rowSegments + static_cast<size_t>(j + m_r) * (2 * m_r) + (i + m_r);
    }
    // The object d of a half line, from its crossing d to d + 1.
    size_t SegmentOf(const CHalfLine& place, int d) const;
    bool Included(size_t segment) const { return m_included[segment] != 0; }
    const CMapPoint& Local(int i, int j) const
    {
        return m_local[static_cast<size_t>(i + m_r) * (2 * m_r + 1) + (j + m_r)];
    }
    CMapPoint ToMap(const CMapPoint& local) const { return m_town.terrain.ToMap(local.x, local.y); }

    void ChooseSegments();
    void PlaceCrossings();
    void MakeRuns();
    void MakeRunsOf(const CHalfLine& place);
    void NameRuns();
    CTileNames& TileNames(int64_t tu, int64_t tv);
    void NumberLots(CRun& run);
    void MakeStreets();
    void MakeBlocks();
    void MakeBlock(int i, int j);
    void MakeBuildings(int i, int j, const CMapPoint (&corners)[4]);
    void MakeRiver();
    void MakeTrack();
    void AddTrip(const std::vector<CMapPoint>& path, int& seconds, int trip);

    const CDemoOptions& m_options;
    uint64_t m_seed;
    CDemoTown& m_town;
    const CDemoNames& m_names;
    int m_r = 0;        // the square of the grid
    int m_complete = 0; // rings complete
    size_t m_rowSegments = 0;
    std::vector<uint8_t> m_included;
    std::vector<int32_t> m_runOf; // the run of each object, -1
    std::vector<CMapPoint> m_local; // crossings in the town's frame
    std::vector<CRun> m_runs;
    std::unordered_map<uint64_t, CTileNames> m_tiles;
    std::vector<std::pair<std::string, bool>> m_minorNames; // name, a footpath
    std::vector<std::string> m_mainNames;
};

size_t CTownBuilder::SegmentOf(const CHalfLine& place, int d) const
{
    int i0, j0, i1, j1;
    place.Node(d, i0, j0);
    place.Node(d + 1, i1, j1);
    if (place.direction == kRow)
        return RowSegment(i0, std::min(j0, j1));
    return ColumnSegment(std::min(i0, i1), j0);
}

void CTownBuilder::Build()
{
    const CDemoNames& names = m_names;
    for (size_t stem = 0; stem < names.streetStems.size(); ++stem)
        for (const std::string& kind : names.streetKinds)
            m_minorNames.emplace_back(names.streetStems[stem] + " " + kind, false);
    for (size_t stem = 0; stem < names.streetStems.size() / 4; ++stem)
        m_minorNames.emplace_back(names.streetStems[stem * 4] + " " + names.pathKind[0], true);
    for (const std::string& stem : names.mainStems)
        for (const std::string& kind : names.mainKinds)
            m_mainNames.push_back(stem + " " + kind);

    CDemoRandom random = CDemoRandom::At(m_seed, {1});
    m_town.centre = CMapPoint(std::round(random.Uniform(430000, 620000)), std::round(random.Uniform(6030000, 6180000)));
    m_town.terrain = CDemoTerrain(m_seed, m_town.centre);
    m_town.townName = TileNames(0, 0).town;
    m_town.riverName = names.rivers[static_cast<size_t>(random.Int(0, static_cast<int>(names.rivers.size()) - 1))];

    ChooseSegments();
    PlaceCrossings();
    MakeRuns();
    NameRuns();
    MakeStreets();
    MakeBlocks();
    MakeRiver();
    MakeTrack();

    // Whole metres, which the settings file keeps exactly.
    CMapRect& e = m_town.extent;
    e = CMapRect(std::floor(e.left), std::ceil(e.top), std::ceil(e.right), std::floor(e.bottom));
    CMapRect centre;
    for (double u : {-2 * kBlock, 2 * kBlock})
        for (double v : {-2 * kBlock, 2 * kBlock})
            centre.UnionPoint(m_town.terrain.ToMap(u, v));
    m_town.centreExtent = CMapRect(std::floor(centre.left), std::ceil(centre.top), std::ceil(centre.right),
                                   std::floor(centre.bottom));
}

void CTownBuilder::ChooseSegments()
{
    const int64_t wanted = std::clamp(m_options.streets, CDemoOptions::kMinStreets, CDemoOptions::kMaxStreets);
    while (SegmentsWithin(m_r) < wanted)
        ++m_r;
    while (SegmentsWithin(m_complete + 1) <= wanted)
        ++m_complete;
    m_rowSegments = static_cast<size_t>(2 * m_r + 1) * (2 * m_r);
    const size_t count = 2 * m_rowSegments;
    std::vector<std::pair<uint64_t, uint32_t>> order;
    order.reserve(count);
    for (int direction = kRow; direction <= kColumn; ++direction) {
        for (int line = -m_r; line <= m_r; ++line) {
            for (int p = -m_r; p < m_r; ++p) {
                // Crossings in half units: x = 2j, y = 2i.
                const int i0 = direction == kRow ? line : p, j0 = direction == kRow ? p : line;
                const int i1 = direction == kRow ? line : p + 1, j1 = direction == kRow ? p + 1 : line;
                const int ring0 = Ring(i0, j0), ring1 = Ring(i1, j1);
                uint64_t key;
                if (ring0 == ring1)
                    key = RingKey(j0 + j1, i0 + i1); // along the ring: its middle
                else if (ring0 > ring1)
                    key = RingKey(2 * j0, 2 * i0); // out of the ring: its outer end
                else
                    key = RingKey(2 * j1, 2 * i1);
                const size_t index = direction == kRow ? RowSegment(line, p) : ColumnSegment(p, line);
                order.emplace_back(key, static_cast<uint32_t>(index));
            }
        }
    }
    std::sort(order.begin(), order.end());
    m_included.assign(count, 0);
    for (int64_t k = 0; k < wanted && k < static_cast<int64_t>(order.size()); ++k)
        m_included[order[static_cast<size_t>(k)].second] = 1;
}

void CTownBuilder::PlaceCrossings()
{
    CDemoRandom random = CDemoRandom::At(m_seed, {2});
    const double phase1 = random.Uniform(0, 2 * std::numbers::pi);
    const double phase2 = random.Uniform(0, 2 * std::numbers::pi);
    const int side = 2 * m_r + 1;
    m_local.resize(static_cast<size_t>(side) * side);
    for (int i = -m_r; i <= m_r; ++i) {
        for (int j = -m_r; j <= m_r; ++j) {
            CDemoRandom jitter = CDemoRandom::At(m_seed, {3, i, j});
            // Main streets run nearly straight.
            const double du = jitter.Uniform(-12, 12) * (j % kMainEvery == 0 ? 0.15 : 1);
            const double dv = jitter.Uniform(-12, 12) * (i % kMainEvery == 0 ? 0.15 : 1);
            double u = j * kBlock + du;
            double v = i * kBlock + dv;
            u += 16 * std::sin(i * kBlock / 290 + phase1);
            v += 16 * std::sin(j * kBlock / 330 + phase2);
            m_local[static_cast<size_t>(i + m_r) * side + (j + m_r)] = CMapPoint(u, v);
        }
    }
}

void CTownBuilder::MakeRuns()
{
    m_runOf.assign(m_included.size(), -1);
    for (int direction = kRow; direction <= kColumn; ++direction)
        for (int line = -m_r; line <= m_r; ++line)
            for (int half : {1, -1})
                MakeRunsOf(CHalfLine{direction, line, half});
}

void CTownBuilder::MakeRunsOf(const CHalfLine& place)
{
    const bool main = place.line % kMainEvery == 0;
    int d = 0;
    while (d < m_r) {
        // A named street never leaves the town of the grid it starts in.
        int i, j;
        place.Node(d, i, j);
        const int64_t tile = TileOf(place.direction == kRow ? j : i);
        int chunkEnd = d + 1;
        for (;; ++chunkEnd) {
            int ni, nj;
            place.Node(chunkEnd, ni, nj);
            if (chunkEnd >= m_r || TileOf(place.direction == kRow ? nj : ni) != tile)
                break;
        }
        for (int k = 0; d < chunkEnd; ++k) {
            CDemoRandom random = CDemoRandom::At(m_seed, {4, place.direction, place.line, place.half, d});
            const int length = main ? chunkEnd - d : std::min(random.Int(3, 6), chunkEnd - d);
            CRun run;
            run.place = place;
            run.d0 = d;
            run.d1 = d + length;
            run.main = main;
            bool any = false;
            int outerRing = 0;
            for (int e = run.d0; e < run.d1; ++e) {
                any = any || Included(SegmentOf(place, e));
                int oi, oj;
                place.Node(e + 1, oi, oj);
                outerRing = std::max(outerRing, Ring(oi, oj));
            }
            d += length;
            if (!any)
                continue;
            run.significance = main ? 2 : (random.Chance(0.25) ? 0 : 1);
            run.weight = main ? 10 : (run.significance == 1 ? 6 : 3);
            // One-way streets in the old town only, and only along rows:
            // the columns and the main rows keep every crossing reachable.
            if (!main && place.direction == kRow && m_complete >= 6 && outerRing <= 5 && random.Chance(0.3))
                run.direction = random.Chance(0.5) ? 1 : 2;
            int si, sj;
            place.Node(run.d0, si, sj);
            run.key = RingKey(2 * sj, 2 * si);
            m_runs.push_back(std::move(run));
        }
    }
}

CTileNames& CTownBuilder::TileNames(int64_t tu, int64_t tv)
{
    const uint64_t key = (static_cast<uint64_t>(tu) << 32) ^ static_cast<uint32_t>(tv);
    auto found = m_tiles.find(key);
    if (found != m_tiles.end())
        return found->second;
    CTileNames& names = m_tiles[key];
    names.minor = Shuffled(static_cast<int>(m_minorNames.size()), CDemoRandom::At(m_seed, {20, tu, tv}));
    names.main = Shuffled(static_cast<int>(m_mainNames.size()), CDemoRandom::At(m_seed, {21, tu, tv}));
    if (tu == 0 && tv == 0) {
        // One name of each showcase stem first, then the rest.
        std::vector<std::string> stems;
        for (const std::string& stem : m_names.showcaseStems)
            stems.push_back(stem + " ");
        ToFront(names.minor, [&](int k) {
            const auto& name = m_minorNames[static_cast<size_t>(k)];
            for (std::string& stem : stems) {
                if (!stem.empty() && !name.second && name.first.compare(0, stem.size(), stem) == 0) {
                    stem.clear();
                    return true;
                }
            }
            return false;
        });
        const std::string mainStem = m_names.showcaseMainStem + " ";
        bool mainFound = false;
        ToFront(names.main, [&](int k) {
            if (mainFound || m_mainNames[static_cast<size_t>(k)].compare(0, mainStem.size(), mainStem) != 0)
                return false;
            mainFound = true;
            return true;
        });
    }
    // Towns numbered round the centre, the town itself first.
    const int64_t ring = std::max(std::abs(tu), std::abs(tv));
    const int64_t index = ring == 0 ? 0 : (2 * ring - 1) * (2 * ring - 1) + Perimeter(tu, tv, ring);
    const std::vector<std::string>& towns = m_names.towns;
    const auto count = static_cast<int64_t>(towns.size());
    // The town of the centre differs from seed to seed; the first seed's is the first of the list.
    const int64_t shifted = index + static_cast<int64_t>((m_seed - 1) % static_cast<uint64_t>(count));
    names.town = towns[static_cast<size_t>(shifted % count)];
    if (index >= count)
        names.town += FormatC(" %lld", static_cast<long long>(index / count + 1));
    return names;
}

void CTownBuilder::NameRuns()
{
    std::sort(m_runs.begin(), m_runs.end(), [](const CRun& a, const CRun& b) {
        if (a.key != b.key)
            return a.key < b.key;
        if (a.place.direction != b.place.direction)
            return a.place.direction < b.place.direction;
        return a.place.half > b.place.half;
    });
    bool pedestrian = false;
    for (size_t k = 0; k < m_runs.size(); ++k) {
        CRun& run = m_runs[k];
        int i, j;
        run.place.Node(run.d0, i, j);
        CTileNames& names = TileNames(TileOf(i), TileOf(j));
        run.town = names.town;
        if (run.main) {
            run.name = m_mainNames[static_cast<size_t>(names.main[static_cast<size_t>(names.mainUsed++) % names.main.size()])];
        } else {
            const auto& name = m_minorNames[static_cast<size_t>(names.minor[static_cast<size_t>(names.minorUsed++) % names.minor.size()])];
            run.name = name.first;
            if (name.second) {
                run.significance = 0;
                run.weight = 3;
            }
        }
        run.code = static_cast<int32_t>(k + 1);
        // The first street of the old town along a row is for walkers only.
        if (!pedestrian && !run.main && run.place.direction == kRow && m_complete >= 4 && Ring(i, j) <= 2 &&
            run.d1 <= 3) {
            pedestrian = true;
            run.direction = 3;
            run.significance = 0;
            run.weight = 3;
        }
        for (int e = run.d0; e < run.d1; ++e)
            m_runOf[SegmentOf(run.place, e)] = static_cast<int32_t>(k);
        NumberLots(run);
    }
}

void CTownBuilder::NumberLots(CRun& run)
{
    // Numbers run over every lot the street could have, built or not, so
    // they stay when the town grows.
    const CHalfLine& place = run.place;
    for (int side = 0; side < 2; ++side) {
        int next = side == 0 ? 1 : 2;
        int last = 0;
        char letter = 0;
        run.lots[side].resize(static_cast<size_t>(run.d1 - run.d0));
        for (int d = run.d0; d < run.d1; ++d) {
            CDemoRandom count = CDemoRandom::At(m_seed, {5, place.direction, place.line, place.half, d, side});
            std::vector<CLot>& lots = run.lots[side][static_cast<size_t>(d - run.d0)];
            lots.resize(static_cast<size_t>(count.Int(2, 4)));
            for (size_t k = 0; k < lots.size(); ++k) {
                CDemoRandom random = CDemoRandom::At(
                    m_seed, {6, place.direction, place.line, place.half, d, side, static_cast<int64_t>(k)});
                CLot& lot = lots[k];
                lot.roll = random.Uniform();
                if (random.Chance(0.05))
                    continue; // a shed: no number
                if (last > 0 && letter < 'E' && random.Chance(0.08)) {
                    letter = letter ? static_cast<char>(letter + 1) : 'A';
                } else {
                    last = next;
                    next += 2;
                    letter = 0;
                }
                lot.number = last;
                lot.letter = letter;
            }
        }
    }
}

void CTownBuilder::MakeStreets()
{
    m_town.streets.reserve(static_cast<size_t>(m_options.streets));
    for (const CRun& run : m_runs) {
        const CHalfLine& place = run.place;
        for (int d = run.d0; d < run.d1; ++d) {
            if (!Included(SegmentOf(place, d)))
                continue;
            int i0, j0, i1, j1;
            place.Node(d, i0, j0);
            place.Node(d + 1, i1, j1);
            const CMapPoint a = Local(i0, j0), b = Local(i1, j1);
            CDemoStreet street;
            street.line.push_back(ToMap(a));
            CDemoRandom random = CDemoRandom::At(m_seed, {7, place.direction, place.line, place.half, d});
            if (!run.main && random.Chance(0.5)) {
                // A slight bend half-way.
                const double dx = b.x - a.x, dy = b.y - a.y;
                const double length = std::hypot(dx, dy);
                const double offset = random.Uniform(-4, 4);
                street.line.push_back(
                    ToMap(CMapPoint((a.x + b.x) / 2 - dy / length * offset, (a.y + b.y) / 2 + dx / length * offset)));
            }
            street.line.push_back(ToMap(b));
            street.name = run.name;
            street.town = run.town;
            street.code = run.code;
            street.fromNode = NodeId(i0, j0);
            street.toNode = NodeId(i1, j1);
            street.length = std::round(PolylineLength(street.line) * 10) / 10;
            street.direction = run.direction;
            street.significance = run.significance;
            street.weight = run.weight;
            for (const CMapPoint& p : street.line)
                m_town.extent.UnionPoint(p);
            m_town.streets.push_back(std::move(street));
        }
    }
}

void CTownBuilder::MakeBlocks()
{
    // Blocks from the centre outwards, as the streets.
    std::vector<std::pair<uint64_t, std::pair<int, int>>> cells;
    for (int i = -m_r; i < m_r; ++i)
        for (int j = -m_r; j < m_r; ++j)
            if (Included(RowSegment(i, j)) && Included(RowSegment(i + 1, j)) && Included(ColumnSegment(i, j)) &&
                Included(ColumnSegment(i, j + 1)))
                cells.push_back({RingKey(2 * j + 1, 2 * i + 1), {i, j}});
    std::sort(cells.begin(), cells.end());
    for (const auto& cell : cells)
        MakeBlock(cell.second.first, cell.second.second);
}

void CTownBuilder::MakeBlock(int i, int j)
{
    const CMapPoint corners[4] = {Local(i, j), Local(i, j + 1), Local(i + 1, j + 1), Local(i + 1, j)};
    CMapPoint centroid;
    for (const CMapPoint& c : corners) {
        centroid.x += c.x / 4;
        centroid.y += c.y / 4;
    }
    const bool central = i == 0 && j == 0;
    const bool riverside = m_town.terrain.NearRiver(centroid.x, centroid.y, 0.55 * kBlock);
    if (!central && !riverside && !CDemoRandom::At(m_seed, {8, i, j}).Chance(0.05)) {
        MakeBuildings(i, j, corners);
        return;
    }
    CDemoPark park;
    for (const CMapPoint& c : corners) {
        const double dx = c.x - centroid.x, dy = c.y - centroid.y;
        const double scale = 1 - 10 / std::hypot(dx, dy);
        park.outline.push_back(ToMap(CMapPoint(centroid.x + dx * scale, centroid.y + dy * scale)));
    }
    if (central) {
        park.name = m_names.centralPark;
    } else if (riverside) {
        park.name = m_names.riversidePark;
    } else {
        CDemoRandom random = CDemoRandom::At(m_seed, {9, i, j});
        const auto& stems = m_names.streetStems;
        park.name = stems[static_cast<size_t>(random.Int(0, static_cast<int>(stems.size()) - 1))] + " " +
                    m_names.parkKinds[static_cast<size_t>(random.Int(0, 2))];
    }
    park.area = std::abs(SignedRingArea(park.outline.data(), static_cast<int>(park.outline.size())));
    for (const CMapPoint& p : park.outline)
        m_town.extent.UnionPoint(p);
    m_town.parks.push_back(std::move(park));
}

void CTownBuilder::MakeBuildings(int i, int j, const CMapPoint (&corners)[4])
{
    CMapPoint centroid;
    for (const CMapPoint& c : corners) {
        centroid.x += c.x / 4;
        centroid.y += c.y / 4;
    }
    CMapPoint inset[4];
    for (int k = 0; k < 4; ++k) {
        const double dx = corners[k].x - centroid.x, dy = corners[k].y - centroid.y;
        const double scale = 1 - 11 / std::hypot(dx, dy);
        inset[k] = CMapPoint(centroid.x + dx * scale, centroid.y + dy * scale);
    }
    // The four sides anticlockwise from the south one: the street object
    // each faces, which side of it the block lies on (0 left, 1 right,
    // looking outwards), and whether the side runs outwards.
    struct CSide {
        size_t segment;
        bool rowSegment;
        bool blockNorthOrEast; // of the street object
        bool edgeIncreasing;   // the side runs towards larger j (rows) or i (columns)
    };
    const CSide sides[4] = {
        {RowSegment(i, j), true, true, true},
        {ColumnSegment(i, j + 1), false, false, true},
        {RowSegment(i + 1, j), true, false, false},
        {ColumnSegment(i, j), false, true, false},
    };
    const int ring = std::max(Ring(i, j), Ring(i + 1, j + 1));
    for (int edge = 0; edge < 4; ++edge) {
        const CSide& s = sides[static_cast<size_t>(edge)];
        const int32_t runIndex = m_runOf[s.segment];
        if (runIndex < 0)
            continue;
        const CRun& run = m_runs[static_cast<size_t>(runIndex)];
        const bool outwardPositive = run.place.half > 0;
        // Left of a street looking outwards: north of an east-going row,
        // south of a west-going one, west of a north-going column, east of
        // a south-going one.
        int side;
        if (s.rowSegment)
            side = (s.blockNorthOrEast == outwardPositive) ? 0 : 1;
        else
            side = (s.blockNorthOrEast == outwardPositive) ? 1 : 0;
        const bool along = s.edgeIncreasing == outwardPositive;
        // The street object's place along its half line.
        int d;
        if (s.rowSegment)
            d = outwardPositive ? j : -(j + 1);
        else
            d = outwardPositive ? i : -(i + 1);
        const std::vector<CLot>& lots = run.lots[side][static_cast<size_t>(d - run.d0)];

        const CMapPoint a = inset[edge], b = inset[(edge + 1) % 4];
        const double ex = b.x - a.x, ey = b.y - a.y;
        const double length = std::hypot(ex, ey);
        const double nx = -ey / length, ny = ex / length; // inwards
        const double margin = std::min(30 / length, 0.4);
        const auto n = static_cast<double>(lots.size());
        for (size_t k = 0; k < lots.size(); ++k) {
            const CLot& lot = lots[k];
            double t0 = margin + (1 - 2 * margin) * static_cast<double>(k) / n;
            double t1 = margin + (1 - 2 * margin) * static_cast<double>(k + 1) / n;
            if (!along) {
                const double r0 = 1 - t1, r1 = 1 - t0;
                t0 = r0;
                t1 = r1;
            }
            CDemoRandom random = CDemoRandom::At(m_seed, {10, i, j, edge, static_cast<int64_t>(k)});
            const bool shed = lot.number == 0;
            const double gap = (t1 - t0) * (shed ? 0.25 : random.Uniform(0.06, 0.14));
            const double setback = shed ? random.Uniform(10, 14) : random.Uniform(2, 5);
            const double depth = shed ? random.Uniform(4, 6) : random.Uniform(9, 15);
            const double wing = !shed && random.Chance(0.2) ? random.Uniform(5, 9) : 0;
            auto at = [&](double t, double inward) {
                return CMapPoint(a.x + ex * t + nx * inward, a.y + ey * t + ny * inward);
            };
            const double ta = t0 + gap, tb = t1 - gap;
            std::vector<CMapPoint> outline = {at(ta, setback), at(tb, setback), at(tb, setback + depth)};
            if (wing > 0) {
                outline.push_back(at((ta + tb) / 2, setback + depth));
                outline.push_back(at((ta + tb) / 2, setback + depth + wing));
                outline.push_back(at(ta, setback + depth + wing));
            } else {
                outline.push_back(at(ta, setback + depth));
            }
            bool wet = false;
            for (const CMapPoint& p : outline)
                wet = wet || m_town.terrain.NearRiver(p.x, p.y, 15);
            if (wet)
                continue; // the number stays unused

            CDemoBuilding building;
            if (shed) {
                building.use = m_names.shed;
            } else {
                const double roll = lot.roll;
                // Shops and offices round the centre, works at the edge,
                // and a few of unknown use.
                const CDemoNames& n = m_names;
                const std::string none;
                if (ring <= 2)
                    building.use = roll < 0.35 ? n.commercial : roll < 0.5 ? n.publicUse : roll < 0.97 ? n.residential : none;
                else if (ring >= 6)
                    building.use = roll < 0.08   ? n.industrial
                                   : roll < 0.16 ? n.commercial
                                   : roll < 0.19 ? n.publicUse
                                   : roll < 0.96 ? n.residential
                                                 : none;
                else
                    building.use = roll < 0.15 ? n.commercial : roll < 0.2 ? n.publicUse : roll < 0.97 ? n.residential : none;
            }
            building.floors = shed ? 1 : random.Int(1, ring <= 2 ? 5 : 3);
            for (CMapPoint& p : outline)
                p = ToMap(p);
            building.area = std::round(std::abs(SignedRingArea(outline.data(), static_cast<int>(outline.size()))) * 10) / 10;
            building.outline = outline;
            for (const CMapPoint& p : outline)
                m_town.extent.UnionPoint(p);

            if (!shed) {
                CDemoAddress address;
                const CMapPoint front = at((ta + tb) / 2, setback - 1.5);
                address.point = ToMap(front);
                address.streetCode = run.code;
                address.number = lot.number;
                address.letter = lot.letter;
                address.numberText = std::to_string(lot.number);
                if (lot.letter)
                    address.numberText += lot.letter;
                address.text = run.name + " " + address.numberText;
                if (building.use == m_names.publicUse && random.Chance(0.6)) {
                    CDemoSight sight;
                    CMapPoint middle;
                    for (const CMapPoint& p : outline) {
                        middle.x += p.x / static_cast<double>(outline.size());
                        middle.y += p.y / static_cast<double>(outline.size());
                    }
                    sight.point = middle;
                    sight.name = m_names.sights[static_cast<size_t>(random.Int(0, static_cast<int>(m_names.sights.size()) - 1))];
                    sight.address = address.text;
                    m_town.sights.push_back(std::move(sight));
                }
                m_town.addresses.push_back(std::move(address));
            }
            m_town.buildings.push_back(std::move(building));
        }
    }
}

void CTownBuilder::MakeRiver()
{
    const double reach = (m_r + 3) * kBlock;
    for (double u = -reach; u <= reach; u += 10)
        m_town.river.push_back(m_town.terrain.ToMap(u, m_town.terrain.RiverAt(u)));
}

void CTownBuilder::AddTrip(const std::vector<CMapPoint>& path, int& seconds, int trip)
{
    bool first = true;
    double cruise = CDemoRandom::At(m_seed, {11, trip}).Uniform(35, 48);
    int fix = 0;
    for (size_t k = 1; k < path.size(); ++k) {
        const CMapPoint& a = path[k - 1];
        const CMapPoint& b = path[k];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        double course = std::atan2(b.x - a.x, b.y - a.y) * 180 / std::numbers::pi;
        if (course < 0)
            course += 360;
        double along = 0;
        while (along < length) {
            CDemoRandom random = CDemoRandom::At(m_seed, {12, trip, fix++});
            const double speed = std::max(8.0, cruise + 6 * std::sin(fix / 7.0) + random.Uniform(-3, 3));
            const double t = along / length;
            CDemoFix gps;
            gps.point = CMapPoint(a.x + (b.x - a.x) * t + random.Uniform(-2.5, 2.5),
                                  a.y + (b.y - a.y) * t + random.Uniform(-2.5, 2.5));
            gps.speed = std::round(speed * 10) / 10;
            gps.course = std::round(course * 10) / 10;
            gps.seconds = seconds;
            gps.satellites = random.Int(6, 11);
            gps.start = first;
            first = false;
            m_town.track.push_back(gps);
            along += speed / 3.6 * 2;
            seconds += 2;
        }
    }
}

void CTownBuilder::MakeTrack()
{
    CDemoRandom random = CDemoRandom::At(m_seed, {13});
    const uint64_t day = m_seed % 112;
    m_town.trackDate = FormatC("2024.%02d.%02d", static_cast<int>(5 + day / 28), static_cast<int>(1 + day % 28));
    int seconds = 8 * 3600 + random.Int(0, 50) * 60;
    // Along the main row and the main column through the centre, as far
    // as their streets go unbroken.
    for (int trip = 0; trip < 2; ++trip) {
        std::vector<CMapPoint> path;
        const CHalfLine back{trip == 0 ? kRow : kColumn, 0, -1}, ahead{trip == 0 ? kRow : kColumn, 0, 1};
        int west = 0, east = 0;
        while (west < m_r && Included(SegmentOf(back, west)))
            ++west;
        while (east < m_r && Included(SegmentOf(ahead, east)))
            ++east;
        for (int d = west; d > 0; --d) {
            int i, j;
            back.Node(d, i, j);
            path.push_back(ToMap(Local(i, j)));
        }
        for (int d = 0; d <= east; ++d) {
            int i, j;
            ahead.Node(d, i, j);
            path.push_back(ToMap(Local(i, j)));
        }
        AddTrip(path, seconds, trip);
        seconds += 25 * 60;
    }
}

} // namespace

CDemoTown CDemoTown::Generate(const CDemoOptions& options)
{
    CDemoTown town;
    town.options = options;
    town.options.streets = std::clamp(options.streets, CDemoOptions::kMinStreets, CDemoOptions::kMaxStreets);
    CTownBuilder(town.options, town).Build();
    return town;
}
