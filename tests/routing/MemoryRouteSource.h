#pragma once

// A routing layer held in memory: lines with the texts of their fields,
// served in record order the way the layer reader serves a line layer.

#include "core/Shape.h"
#include "platform/Codepage.h"
#include "routing/RouteLayerSource.h"

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

struct CMemoryRouteLine {
    std::vector<std::vector<CMapPoint>> parts;
    std::vector<std::string> values; // by field index; missing ones are blank
};

class CMemoryRouteSource : public IRouteLayerSource {
public:
    std::vector<std::string> fieldNames;
    std::vector<CMemoryRouteLine> lines;
    bool openFails = false;
    int failAtRead = -1; // this read (from 0) after opening runs out of memory
    // What the network asked for.
    int opened = 0;
    std::vector<CMapRect> queries;

    // A one-part line.
    void Add(std::vector<CMapPoint> points, std::vector<std::string> values)
    {
        lines.push_back({{std::move(points)}, std::move(values)});
    }

    bool OpenLayer(CLayer&) override
    {
        ++opened;
        m_next = m_current = -1;
        m_reads = 0;
        m_query = CMapRect();
        m_hasQuery = false;
        if (openFails)
            return false;
        m_next = 0;
        return true;
    }
    void SetQueryRect(const CMapRect& rect) override
    {
        queries.push_back(rect);
        m_query = rect;
        m_hasQuery = true;
    }
    int GetRecordCount() const override { return static_cast<int>(lines.size()); }
    int FindField(const std::string& name) const override
    {
        for (size_t i = 0; i < fieldNames.size(); ++i)
            if (EqualsNoCase1257(fieldNames[i], name))
                return static_cast<int>(i);
        return -1;
    }
    bool ReadNextShape(CShape& shape) override
    {
        while (m_next >= 0 && m_next < static_cast<int>(lines.size())) {
            if (m_reads++ == failAtRead)
                throw std::bad_alloc();
            const CMemoryRouteLine& line = lines[static_cast<size_t>(m_next++)];
            shape = CShape();
            for (const auto& part : line.parts)
                shape.AddPartPoints(static_cast<int>(part.size()), part.data(), false);
            shape.RecalcBounds();
            const CMapRect& box = shape.GetExtent();
            if (m_hasQuery && !(m_query.left <= box.right && m_query.right >= box.left &&
                                m_query.top >= box.bottom && m_query.bottom <= box.top))
                continue;
            m_current = m_next - 1;
            return true;
        }
        return false;
    }
    int GetCurrentRecord() const override { return m_current; }
    long GetFieldLong(int field) const override { return std::atol(Text(field).c_str()); }
    double GetFieldDouble(int field) const override { return std::atof(Text(field).c_str()); }

private:
    std::string Text(int field) const
    {
        if (field < 0 || m_current < 0)
            return {};
        const auto& values = lines[static_cast<size_t>(m_current)].values;
        return static_cast<size_t>(field) < values.size() ? values[static_cast<size_t>(field)] : std::string();
    }

    int m_next = -1;
    int m_current = -1;
    int m_reads = 0;
    CMapRect m_query;
    bool m_hasQuery = false;
};
