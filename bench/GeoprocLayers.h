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
#include "layers/DrawStyle.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/MapSettings.h"

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
