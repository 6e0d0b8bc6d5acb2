// fuzz-deps: drel_layers
// Opens a GDB layer whose geometry table and geometry file come from the
// input, reads it through every reader and search, writes into it, packs
// it and reads the result. Input: a 16-bit little-endian length n, n bytes
// of ".gdb" table, the rest the ".vec" file. The attribute table is made
// with as many records as the geometry table claims (up to a limit).
#include "fuzz/FuzzSupport.h"
#include "layers/GdbSource.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace {

constexpr int kMaxAttributeRecords = 2000;

void ReadEverything(CGdbSource& source)
{
    const CMapRect rects[] = {CMapRect(-1e9, 1e9, 1e9, -1e9), CMapRect(0, 10, 10, 0)};
    CShape shape;
    CMapPoint point;
    CGdbText text;
    CRecordArray records;
    double distance = 0;
    for (const CMapRect& rect : rects) {
        source.SetQueryRect(nullptr);
        source.SetQueryRect(&rect);
        source.Rewind();
        for (int i = 0; i < 10000 && source.ReadNextShape(shape); ++i)
            shape.GetPointCount();
        source.Rewind();
        for (int i = 0; i < 10000 && source.ReadNextPoint(point); ++i)
            source.GetRecordTable(source.GetCurrentRecord());
        source.Rewind();
        for (int i = 0; i < 10000 && source.ReadNextText(text); ++i)
            text.text.size();
        source.FindNearestVertex(CMapPoint(1, 1), point);
        source.FindNearestLine(CMapPoint(1, 1), records, &distance);
        source.FindNearestPoints(CMapPoint(1, 1), records, &distance);
        source.FindAreasAt(CMapPoint(1, 1), records);
        source.SelectWithin(rect, records);
        const int count = source.GetTable().GetRecordCount();
        for (int n : {0, 1, count - 1, count, -1}) {
            CMapRect box;
            source.ReadShape(n, shape);
            source.ReadPoint(n, point);
            source.GetRecordBox(n, box);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QuietFileServices();
    if (size < 2)
        return 0;
    const size_t gdbSize = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
    const std::string folder = FuzzFolder("drel-gdb-fuzz");
    const std::string base = folder + "f";
    std::error_code ignored;
    for (const char* leftover : {"~f.gdb", "~f.vec", "~f.dbf", "f.spx"})
        std::filesystem::remove(folder + leftover, ignored);
    WriteFuzzFile(base + ".gdb", data + 2, gdbSize);
    WriteFuzzFile(base + ".vec", data + 2 + gdbSize, size - 2 - gdbSize);
    int claimed = 0;
    if (gdbSize >= 8)
        claimed = data[6] | (data[7] << 8) | (data[8] << 16) | (data[9] << 24);
    MakeFuzzAttributes(base + ".dbf", std::clamp(claimed, 0, kMaxAttributeRecords));

    CGdbSource source;
    if (!source.Open(base + ".gdb"))
        return 0;
    ReadEverything(source);
    source.SetFilter("N > 0 .AND. OBJ_NUMPOINTS() > 1");
    ReadEverything(source);

    // Writes on whatever the input held, then a pack and a fresh read.
    source.Open(base + ".gdb");
    CShape shape;
    shape.SetPoints(3, std::array<CMapPoint, 3>{CMapPoint(0, 0), CMapPoint(5, 5), CMapPoint(9, 1)}.data());
    shape.RecalcBounds();
    source.AppendShape(shape, true);
    source.ReplaceShape(shape, 0);
    source.AppendPoint(CMapPoint(2, 3), true);
    source.ReplacePoint(CMapPoint(4, 4), 0);
    source.DeleteRecord(1);
    source.BuildSpatialIndex();
    if (source.Pack() && source.Open(base + ".gdb"))
        ReadEverything(source);
    return 0;
}
