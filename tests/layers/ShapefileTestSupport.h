#pragma once

#include "core/Shape.h"
#include "layers/ShpFile.h"
#include "platform/ByteOrder.h"

#include <cstdint>
#include <vector>

// Shapefile bytes made by hand, for files no writer of ours would make.

using Bytes = std::vector<unsigned char>;

inline CShape MakeShape(const std::vector<std::vector<CMapPoint>>& parts)
{
    CMapPointArray points;
    std::vector<uint32_t> sizes;
    for (const auto& part : parts) {
        for (const CMapPoint& p : part)
            points.Add(p);
        sizes.push_back(static_cast<uint32_t>(part.size()));
    }
    CShape shape;
    shape.SetParts(std::move(points), std::move(sizes));
    return shape;
}

// A main file and its index.
struct CWrittenFiles {
    Bytes main, index;
};

// A record of the given shape type and content, for files made by hand.
inline Bytes Record(int number, const Bytes& content)
{
    Bytes r(8);
    PutBigEndian<int32_t>(r.data(), number);
    PutBigEndian<int32_t>(r.data() + 4, static_cast<int32_t>(content.size() / 2));
    r.insert(r.end(), content.begin(), content.end());
    return r;
}

inline void AddInt(Bytes& b, int32_t v)
{
    b.resize(b.size() + 4);
    PutLittleEndian<int32_t>(b.data() + b.size() - 4, v);
}
inline void AddDouble(Bytes& b, double v)
{
    b.resize(b.size() + 8);
    PutLittleEndian<double>(b.data() + b.size() - 8, v);
}

inline Bytes MultiPoint(const std::vector<CMapPoint>& points)
{
    Bytes c;
    AddInt(c, CShpFile::kMultiPoint);
    for (int i = 0; i < 4; ++i)
        AddDouble(c, 0);
    AddInt(c, static_cast<int32_t>(points.size()));
    for (const CMapPoint& p : points) {
        AddDouble(c, p.x);
        AddDouble(c, p.y);
    }
    return c;
}

// Main and index files of the records, the headers of the given type and box.
inline CWrittenFiles Files(int32_t type, const std::vector<Bytes>& records, const CMapRect& box = CMapRect(0, -1, -1, 0))
{
    CShpFile::CHeader header;
    header.shapeType = type;
    header.xmin = box.left;
    header.ymin = box.bottom;
    header.xmax = box.right;
    header.ymax = box.top;
    CWrittenFiles files;
    files.main.resize(100);
    files.index.resize(100);
    for (const Bytes& r : records) {
        Bytes entry(8);
        PutBigEndian<int32_t>(entry.data(), static_cast<int32_t>(files.main.size() / 2));
        PutBigEndian<int32_t>(entry.data() + 4, static_cast<int32_t>((r.size() - 8) / 2));
        files.index.insert(files.index.end(), entry.begin(), entry.end());
        files.main.insert(files.main.end(), r.begin(), r.end());
    }
    header.lengthWords = static_cast<int32_t>(files.main.size() / 2);
    header.Encode(files.main.data());
    header.lengthWords = static_cast<int32_t>(files.index.size() / 2);
    header.Encode(files.index.data());
    return files;
}


// A record content of only the shape type 0.
inline Bytes NullContent()
{
    Bytes c;
    AddInt(c, CShpFile::kNullShape);
    return c;
}

// A polyline or polygon content of the parts (none: a box of no parts).
inline Bytes ShapeContent(int32_t type, const std::vector<std::vector<CMapPoint>>& parts)
{
    CMapRect box(0, 0, 0, 0);
    bool first = true;
    int points = 0;
    for (const auto& part : parts)
        for (const CMapPoint& p : part) {
            box = first ? CMapRect(p) : box;
            box.UnionPoint(p);
            first = false;
            ++points;
        }
    Bytes c;
    AddInt(c, type);
    for (double v : {box.left, box.bottom, box.right, box.top})
        AddDouble(c, v);
    AddInt(c, static_cast<int32_t>(parts.size()));
    AddInt(c, points);
    int start = 0;
    for (const auto& part : parts) {
        AddInt(c, start);
        start += static_cast<int>(part.size());
    }
    for (const auto& part : parts)
        for (const CMapPoint& p : part) {
            AddDouble(c, p.x);
            AddDouble(c, p.y);
        }
    return c;
}

inline Bytes PointContent(const CMapPoint& p)
{
    Bytes c;
    AddInt(c, CShpFile::kPoint);
    AddDouble(c, p.x);
    AddDouble(c, p.y);
    return c;
}
