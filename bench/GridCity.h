#pragma once

// A synthetic grid city for the routing benchmarks: a square grid of
// streets 100 m apart served as a routing layer, each record made when it
// is read, with seeded lengths (some zero) and some one-way and closed
// links.

#include "layers/Layer.h"
#include "routing/RouteLayerSource.h"
#include "routing/RouteNetwork.h"

#include <cmath>
#include <cstdint>
#include <string>

inline uint64_t GridMix(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// A square grid of streets served as a routing layer, each record made
// when it is read.
class CGridSource : public IRouteLayerSource {
public:
    explicit CGridSource(int side) : m_side(side) {}

    int Records() const { return 2 * m_side * (m_side - 1); }
    // The ends of record k.
    void Ends(int k, int& a, int& b) const
    {
        const int horizontal = m_side * (m_side - 1);
        if (k < horizontal) {
            a = k / (m_side - 1) * m_side + k % (m_side - 1);
            b = a + 1;
        } else {
            a = k - horizontal;
            b = a + m_side;
        }
    }
    static int Length(int k) { return GridMix(uint64_t(k) * 3) % 50 == 0 ? 0 : 50 + int(GridMix(uint64_t(k) * 3) % 101); }
    static int Direction(int k)
    {
        const int roll = int(GridMix(uint64_t(k) * 3 + 1) % 100);
        return roll < 4 ? 1 : roll < 8 ? 2 : roll < 10 ? 3 : 0;
    }

    bool OpenLayer(CLayer&) override
    {
        m_next = 0;
        return true;
    }
    void SetQueryRect(const CMapRect&) override {}
    int GetRecordCount() const override { return Records(); }
    int FindField(const std::string& name) const override
    {
        static const char* const kNames[] = {"FROM", "TO", "LENGTH", "DIR"};
        for (int i = 0; i < 4; ++i)
            if (name == kNames[i])
                return i;
        return -1;
    }
    bool ReadNextShape(CShape& shape) override
    {
        if (m_next >= Records())
            return false;
        m_current = m_next++;
        int a, b;
        Ends(m_current, a, b);
        const CMapPoint points[] = {Place(a), Place(b)};
        shape.SetPoints(2, points);
        return true;
    }
    int GetCurrentRecord() const override { return m_current; }
    long GetFieldLong(int field) const override
    {
        int a, b;
        Ends(m_current, a, b);
        switch (field) {
        case 0:
            return a + 1;
        case 1:
            return b + 1;
        case 2:
            return Length(m_current);
        default:
            return Direction(m_current);
        }
    }
    double GetFieldDouble(int field) const override { return static_cast<double>(GetFieldLong(field)); }

private:
    CMapPoint Place(int node) const { return CMapPoint(node % m_side * 100.0, node / m_side * 100.0); }

    int m_side;
    int m_next = 0;
    int m_current = -1;
};

// The city of about that many nodes with its graph and node index.
struct CGridCity {
    explicit CGridCity(int nodes)
        : side(static_cast<int>(std::lround(std::sqrt(nodes)))), source(side), layer("Grid", "grid.gdb", CLayer::kLine)
    {
        CRouteFields fields;
        fields.fromNodeField = "FROM";
        fields.toNodeField = "TO";
        fields.arcLengthField = "LENGTH";
        fields.dirMaskField = "DIR";
        network.SetFields(fields);
        network.SetLayer(&layer);
        network.SetLayerSource(&source);
        network.SetLengthUnit(4);
    }

    bool Build() { return network.BuildGraph(false, nullptr, 0, nullptr) && index.Build(network.GetEdges()); }

    int side;
    CGridSource source;
    CLayer layer;
    CRouteNetwork network;
    CRouteNodeIndex index;
};
