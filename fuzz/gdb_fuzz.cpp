// fuzz-deps: drel_layers
// Opens a GDB layer whose geometry table and geometry file come from the
// input, reads it through every reader and search, writes into it, packs
// it and reads the result. Input: a 16-bit little-endian length n, n bytes
// of ".gdb" table, the rest the ".vec" file. The attribute table is made
// with as many records as the geometry table claims (up to a limit).
#include "core/DbfEngine.h"
#include "layers/GdbSource.h"
#include "platform/Stream.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

class CSilentServices : public IUserServices {
public:
    int MessageBox(const std::string&, unsigned, unsigned) override { return IDOK; }
    std::unique_ptr<IProgress> CreateProgress(int) override { return nullptr; }
};

constexpr int kMaxAttributeRecords = 2000;

// A folder of this process for the layer files, gone with the process.
struct CWorkFolder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("drel-gdb-fuzz-" + std::to_string(::getpid()));
    CWorkFolder() { std::filesystem::create_directories(path); }
    ~CWorkFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

std::string Folder()
{
    static const CWorkFolder folder;
    return folder.path.string() + "/";
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void MakeAttributes(const std::string& path, int records)
{
    CDbfFieldInfo fields[3];
    fields[0].Set("NAME", 'C', 8, 0);
    fields[1].Set("N", 'N', 4, 0);
    fields[2].Set("", 0, 0, 0);
    auto h = DbfCreate(path, fields);
    if (!h)
        return;
    DbfLock(*h);
    for (int n = 0; n < records; ++n) {
        DbfAppendBlank(*h);
        DbfPutLong(*h, 1, n);
        DbfWriteHere(*h);
    }
    DbfFlush(*h);
    DbfUnlock(*h);
}

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
    static CSilentServices services;
    SetUserServices(&services);
    GetFileRetryPolicy().lockTries = 1;
    GetFileRetryPolicy().openRetries = 0;
    if (size < 2)
        return 0;
    const size_t gdbSize = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
    const std::string base = Folder() + "f";
    std::error_code ignored;
    for (const char* leftover : {"~f.gdb", "~f.vec", "~f.dbf", "f.spx"})
        std::filesystem::remove(Folder() + leftover, ignored);
    WriteFile(base + ".gdb", data + 2, gdbSize);
    WriteFile(base + ".vec", data + 2 + gdbSize, size - 2 - gdbSize);
    int claimed = 0;
    if (gdbSize >= 8)
        claimed = data[6] | (data[7] << 8) | (data[8] << 16) | (data[9] << 24);
    MakeAttributes(base + ".dbf", std::clamp(claimed, 0, kMaxAttributeRecords));

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
