#pragma once

// The layers of the geoprocessing benchmarks: a town on a grid of square
// blocks, written once per run as GDB layers of a metre map in a folder
// of its own (removed with the object), laid out by a seed but with every
// answer known in closed form:
// - streets: every edge of a block is one straight line of `streetVertices`
//   points evenly spaced (so thinning keeps only its ends), `block` metres
//   long; the grid of C x R blocks has (R + 1) C + (C + 1) R of them,
//   meeting at (C + 1)(R + 1) crossings;
// - buildings: one rectangle of width x height per block, placed by the
//   seed inside it at least `setback` metres from its edges;
// - points: `pointsPerBuilding` per building, placed by the seed inside it;
// - districts: D x D rectangles tiling the grid, each holding whole blocks
//   (C and R are multiples of D), so every building lies in exactly one.
// Attributes: "ID" (from 1, in writing order) and, for buildings and
// points, "BLOCK" (the block's number from 1, row by row).

#include "core/Shape.h"
#include "core/ShapeArray.h"
#include "layers/DrawStyle.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/MapSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

struct CGeoprocTownPlan {
    int columns = 20;
    int rows = 20;
    int districtsPerSide = 4;
    double block = 100;
    int streetVertices = 2;
    double width = 40;
    double height = 30;
    double setback = 10;
    int pointsPerBuilding = 1;
    uint64_t seed = 1;
};

class CGeoprocTown {
public:
    explicit CGeoprocTown(const CGeoprocTownPlan& plan) : m_plan(plan)
    {
        static int made = 0;
        m_folder = (std::filesystem::temp_directory_path() /
                    ("drel-bench-town-" + std::to_string(::getpid()) + "-" + std::to_string(++made)))
                       .string() +
                   "/";
        std::filesystem::create_directories(m_folder);
        m_document.SetPathName(m_folder + "town.map");
        m_document.Settings().mapUnits = kUnitsMetres;
        m_document.Settings().limits = CMapRect(0, plan.rows * plan.block, plan.columns * plan.block, 0);
        m_ready = plan.columns % plan.districtsPerSide == 0 && plan.rows % plan.districtsPerSide == 0 &&
                  WriteStreets() && WriteBuildingsAndPoints() && WriteDistricts();
    }
    ~CGeoprocTown()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    CGeoprocTown(const CGeoprocTown&) = delete;
    CGeoprocTown& operator=(const CGeoprocTown&) = delete;

    bool IsReady() const { return m_ready; }
    const std::string& Folder() const { return m_folder; }
    const CGeoprocTownPlan& Plan() const { return m_plan; }
    CDrelDoc& Document() { return m_document; }
    CLayer& Streets() { return *m_document.GetLayer(0); }
    CLayer& Buildings() { return *m_document.GetLayer(1); }
    CLayer& Points() { return *m_document.GetLayer(2); }
    CLayer& Districts() { return *m_document.GetLayer(3); }

    // The answers.
    int BlockCount() const { return m_plan.columns * m_plan.rows; }
    int StreetCount() const { return (m_plan.rows + 1) * m_plan.columns + (m_plan.columns + 1) * m_plan.rows; }
    int CrossingCount() const { return (m_plan.columns + 1) * (m_plan.rows + 1); }
    double StreetLength() const { return m_plan.block; }
    int BuildingCount() const { return BlockCount(); }
    double BuildingArea() const { return m_plan.width * m_plan.height; }
    int PointCount() const { return BlockCount() * m_plan.pointsPerBuilding; }
    int DistrictCount() const { return m_plan.districtsPerSide * m_plan.districtsPerSide; }
    int BuildingsPerDistrict() const { return BlockCount() / DistrictCount(); }

private:
    static std::vector<CDbfFieldInfo> Fields(bool block)
    {
        std::vector<CDbfFieldInfo> fields(block ? 3 : 2);
        fields[0].Set("ID", 'N', 9, 0);
        if (block)
            fields[1].Set("BLOCK", 'N', 9, 0);
        fields.back().Set("", 0, 0, 0);
        return fields;
    }
    bool Write(CFeatureSource& source, int id, int block)
    {
        CDbfTable& table = source.GetTable();
        table.SetFieldLong(0, id);
        if (block > 0)
            table.SetFieldLong(1, block);
        return table.WriteRecord();
    }
    void Add(const char* name, const char* file, int type)
    {
        auto layer = std::make_unique<CLayer>(name, m_folder + file, type);
        CMapRect extent;
        if (layer->GetExtent(extent))
            layer->SetExtent(extent);
        m_document.AddLayer(std::move(layer), false);
    }
    bool WriteStreets()
    {
        {
            CGdbSource source;
            const std::vector<CDbfFieldInfo> fields = Fields(false);
            if (!source.Create(m_folder + "streets.gdb", CFeatureSource::kLine, fields.data()))
                return false;
            int id = 0;
            const auto street = [&](CMapPoint a, CMapPoint b) {
                CShape line;
                line.SetSize(0, 1);
                for (int i = 0; i < m_plan.streetVertices; ++i) {
                    const double t = static_cast<double>(i) / (m_plan.streetVertices - 1);
                    line.AddPoint(CMapPoint(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)));
                }
                return source.AppendShape(line, false) && Write(source, ++id, 0);
            };
            const double s = m_plan.block;
            for (int r = 0; r <= m_plan.rows; ++r)
                for (int c = 0; c < m_plan.columns; ++c)
                    if (!street({c * s, r * s}, {(c + 1) * s, r * s}))
                        return false;
            for (int c = 0; c <= m_plan.columns; ++c)
                for (int r = 0; r < m_plan.rows; ++r)
                    if (!street({c * s, r * s}, {c * s, (r + 1) * s}))
                        return false;
        }
        Add("Streets", "streets.gdb", CLayer::kLine);
        return true;
    }
    bool WriteBuildingsAndPoints()
    {
        {
            CGdbSource buildings, points;
            const std::vector<CDbfFieldInfo> fields = Fields(true);
            if (!buildings.Create(m_folder + "buildings.gdb", CFeatureSource::kArea, fields.data()) ||
                !points.Create(m_folder + "points.gdb", CFeatureSource::kPoint, fields.data()))
                return false;
            std::mt19937_64 random(m_plan.seed);
            const double s = m_plan.block, room = s - 2 * m_plan.setback;
            std::uniform_real_distribution<double> placeX(0, room - m_plan.width), placeY(0, room - m_plan.height);
            std::uniform_real_distribution<double> inside(0.05, 0.95);
            int pointId = 0;
            for (int block = 0; block < BlockCount(); ++block) {
                const double x = (block % m_plan.columns) * s + m_plan.setback + placeX(random);
                const double y = (block / m_plan.columns) * s + m_plan.setback + placeY(random);
                CShape house;
                house.SetFromRect(CMapRect(x, y + m_plan.height, x + m_plan.width, y));
                if (!buildings.AppendShape(house, false) || !Write(buildings, block + 1, block + 1))
                    return false;
                for (int p = 0; p < m_plan.pointsPerBuilding; ++p) {
                    const CMapPoint point(x + inside(random) * m_plan.width, y + inside(random) * m_plan.height);
                    if (!points.AppendPoint(point, false) || !Write(points, ++pointId, block + 1))
                        return false;
                }
            }
        }
        Add("Buildings", "buildings.gdb", CLayer::kArea);
        Add("Points", "points.gdb", CLayer::kPoint);
        return true;
    }
    bool WriteDistricts()
    {
        {
            CGdbSource source;
            const std::vector<CDbfFieldInfo> fields = Fields(false);
            if (!source.Create(m_folder + "districts.gdb", CFeatureSource::kArea, fields.data()))
                return false;
            const int d = m_plan.districtsPerSide;
            const double w = m_plan.columns / d * m_plan.block, h = m_plan.rows / d * m_plan.block;
            for (int i = 0; i < d * d; ++i) {
                const double x = (i % d) * w, y = (i / d) * h;
                CShape district;
                district.SetFromRect(CMapRect(x, y + h, x + w, y));
                if (!source.AppendShape(district, false) || !Write(source, i + 1, 0))
                    return false;
            }
        }
        Add("Districts", "districts.gdb", CLayer::kArea);
        return true;
    }

    CGeoprocTownPlan m_plan;
    std::string m_folder;
    CDrelDoc m_document;
    bool m_ready = false;
};

// The plan's street grid in memory, as topology and error fixing meet it,
// with its answers counted while it is laid out.
//
// Near misses (ForTopology): every street end pulled back along its street
// by 0.1 to 0.3 m and sideways by up to 0.05 m, so no two streets touch
// and the ends of a crossing lie within 0.61 m of one another; at every
// inner crossing (c, r) with c % 5 == 2 and r % 5 == 2 the two streets on
// each side are one line, so two lines cross there with no vertex.
//
// Missed ends (ForFixing): the streets meet exactly, but at about a fifth
// of the crossings (5 % of all ends) one end chosen by the seed is pulled
// back 0.5 m; two lines of 50,000 vertices run across the grid along the
// middle of a row of blocks, 10 m past its sides, crossing every street
// across their way inside its segment.
struct CStreetGrid {
    std::vector<CShape> lines;
    int crossings = 0; // of the grid
    int unnoded = 0;   // crossings where two lines cross with no vertex
    int endsOff = 0;   // missed ends
    int longLineCrossings = 0;
    double length = 0; // metres, all lines

    static CStreetGrid ForTopology(const CGeoprocTownPlan& plan) { return CStreetGrid(plan, false); }
    static CStreetGrid ForFixing(const CGeoprocTownPlan& plan) { return CStreetGrid(plan, true); }

    int Ends() const { return 2 * static_cast<int>(lines.size()); }
    int GridEdges() const { return static_cast<int>(lines.size()) - (m_fixing ? 2 : 0) + 2 * unnoded; }

    // The lines into the array, in the order given.
    void CopyTo(CShapeArray& shapes, const std::vector<int>& order) const
    {
        shapes.RemoveAll();
        for (int i : order)
            shapes.AddCopy(lines[static_cast<size_t>(i)]);
    }
    std::vector<int> Shuffled(uint64_t seed) const
    {
        std::vector<int> order(lines.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        std::mt19937_64 random(seed);
        std::shuffle(order.begin(), order.end(), random);
        return order;
    }
    // By the first point, x then y.
    std::vector<int> Sorted() const
    {
        std::vector<int> order = Shuffled(1);
        std::sort(order.begin(), order.end(), [this](int a, int b) {
            const CMapPoint& p = lines[static_cast<size_t>(a)].GetPoint(0);
            const CMapPoint& q = lines[static_cast<size_t>(b)].GetPoint(0);
            return p.x != q.x ? p.x < q.x : p.y < q.y;
        });
        return order;
    }

private:
    CStreetGrid(const CGeoprocTownPlan& plan, bool fixing) : m_fixing(fixing)
    {
        const int C = plan.columns, R = plan.rows;
        const double s = plan.block;
        crossings = (C + 1) * (R + 1);
        std::mt19937_64 random(plan.seed);
        std::uniform_real_distribution<double> back(0.1, 0.3), aside(-0.05, 0.05), chance(0, 1);
        const auto unnodedAt = [&](int c, int r) {
            return !fixing && c >= 1 && c < C && r >= 1 && r < R && c % 5 == 2 && r % 5 == 2;
        };
        // One missed end at the chosen crossings: which of its streets.
        std::vector<int> missed(static_cast<size_t>(crossings), -1);
        if (fixing) {
            const double share = 0.05 * 2 * ((R + 1) * C + (C + 1) * R) / crossings;
            for (int& m : missed)
                if (chance(random) < share)
                    m = static_cast<int>(random() % 4); // west, east, south, north
        }
        // A street from grid point a to grid point b; `from` and `to` say
        // which way each end leaves its crossing (0 west .. 3 north).
        const auto street = [&](int ac, int ar, int bc, int br, int from, int to) {
            const CMapPoint a(ac * s, ar * s), b(bc * s, br * s);
            const double len = std::hypot(b.x - a.x, b.y - a.y);
            const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
            CMapPoint p = a, q = b;
            if (!fixing) {
                const double pa = back(random), pb = back(random), sa = aside(random), sb = aside(random);
                p = CMapPoint(a.x + ux * pa - uy * sa, a.y + uy * pa + ux * sa);
                q = CMapPoint(b.x - ux * pb - uy * sb, b.y - uy * pb + ux * sb);
            } else {
                if (missed[static_cast<size_t>(ar * (C + 1) + ac)] == from) {
                    p = CMapPoint(a.x + ux * 0.5, a.y + uy * 0.5);
                    ++endsOff;
                }
                if (missed[static_cast<size_t>(br * (C + 1) + bc)] == to) {
                    q = CMapPoint(b.x - ux * 0.5, b.y - uy * 0.5);
                    ++endsOff;
                }
            }
            CShape line;
            line.SetSize(0, 1);
            line.AddPoint(p);
            line.AddPoint(q);
            length += std::hypot(q.x - p.x, q.y - p.y);
            lines.push_back(std::move(line));
        };
        // The street leaving a crossing eastwards leaves it as its "east" one.
        for (int r = 0; r <= R; ++r)
            for (int c = 0; c < C; ++c) {
                if (unnodedAt(c + 1, r)) {
                    street(c, r, c + 2, r, 1, 0);
                    ++c;
                    ++unnoded;
                } else {
                    street(c, r, c + 1, r, 1, 0);
                }
            }
        for (int c = 0; c <= C; ++c)
            for (int r = 0; r < R; ++r) {
                if (unnodedAt(c, r + 1)) {
                    street(c, r, c, r + 2, 3, 2);
                    ++r;
                } else {
                    street(c, r, c, r + 1, 3, 2);
                }
            }
        if (fixing)
            for (const int row : {R / 3, 2 * R / 3}) {
                constexpr int kVertices = 50000;
                const double y = (row + 0.5) * s, left = -10, right = C * s + 10;
                CShape line;
                line.SetSize(0, 1);
                for (int i = 0; i < kVertices; ++i)
                    line.AddPoint(CMapPoint(left + (right - left) * i / (kVertices - 1), y));
                length += right - left;
                longLineCrossings += C + 1;
                lines.push_back(std::move(line));
            }
    }

    bool m_fixing;
};
