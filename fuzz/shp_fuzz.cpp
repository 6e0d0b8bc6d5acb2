// fuzz-deps: drel_layers
// Reads a Shapefile from bytes: the main file up to the length its header
// states, then its index; with no index after it one is made by walking the
// records as they state their lengths. Every record is read through the
// index and the file is walked record after record, as points, boxes and
// shapes. A shape that reads must be whole (part sizes adding up to its
// points) and must read back the same after being written anew. Then the
// files are read as a layer, beside a table of as many records as the
// index lists: every reader and search, which pass over malformed records.
#include "core/Shape.h"
#include "fuzz/FuzzSupport.h"
#include "layers/ShapefileSource.h"
#include "layers/ShpFile.h"
#include "platform/ByteOrder.h"
#include "platform/Stream.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes IndexByWalking(const Bytes& main)
{
    Bytes index(CShpFile::kHeaderSize);
    if (main.size() >= CShpFile::kHeaderSize)
        std::copy_n(main.begin(), CShpFile::kHeaderSize, index.begin());
    size_t at = CShpFile::kHeaderSize;
    while (at + 8 <= main.size() && index.size() < (1u << 20)) {
        const int64_t words = GetBigEndian<int32_t>(main.data() + at + 4);
        if (words < 0)
            break;
        unsigned char entry[8];
        PutBigEndian<int32_t>(entry, static_cast<int32_t>(at / 2));
        PutBigEndian<int32_t>(entry + 4, static_cast<int32_t>(words));
        index.insert(index.end(), entry, entry + 8);
        at += 8 + 2 * static_cast<size_t>(words);
    }
    PutBigEndian<int32_t>(index.data() + 24, static_cast<int32_t>(index.size() / 2));
    return index;
}

void CheckShape(const CShape& shape)
{
    int64_t total = 0;
    for (uint32_t size : shape.PartSizes())
        total += size;
    if (total != shape.GetPointCount())
        __builtin_trap();
    if (shape.GetPointCount() == 0)
        return;
    CShpFile copy;
    if (copy.Create(std::make_unique<CMemoryStream>(), std::make_unique<CMemoryStream>(), CShpFile::kPolyLine) != 0 ||
        copy.AppendShape(shape) != 0)
        __builtin_trap();
    CShpFile::CRecord record;
    CShape back;
    if (copy.ReadIndexedRecord(0, record) != 0 || copy.ReadShape(record, back) != 0 ||
        !(back.Points() == shape.Points()) || back.PartSizes() != shape.PartSizes())
        __builtin_trap();
}

// Reads the record every way; false when the file gave an error.
bool ReadEveryWay(CShpFile& file, const CShpFile::CRecord& record)
{
    if (record.End() <= record.offset || record.End() > file.RecordsEnd())
        __builtin_trap();
    CMapPoint point;
    CMapRect box;
    bool empty = false;
    file.ReadPoint(record, point, empty);
    file.ReadBox(record, box, empty);
    CShape shape;
    if (file.ReadShape(record, shape) != 0)
        return false;
    CheckShape(shape);
    return true;
}

// The files as a layer through the source's readers and searches.
void ReadAsLayer(const Bytes& main, const Bytes& index, int records)
{
    QuietFileServices();
    const std::string base = FuzzFolder("drel-shp-fuzz") + "f";
    WriteFuzzFile(base + ".shp", main.data(), main.size());
    WriteFuzzFile(base + ".shx", index.data(), index.size());
    MakeFuzzAttributes(base + ".dbf", std::min(records, 2000));
    CShapefileSource source;
    if (!source.Open(base + ".shp"))
        return;
    CShape shape;
    CMapPoint point;
    CRecordArray found;
    for (int pass = 0; pass < 2; ++pass) {
        source.Rewind();
        int delivered = 0;
        while (source.ReadNextShape(shape)) {
            CheckShape(shape);
            if (++delivered > records)
                __builtin_trap(); // each record once at most
        }
        source.Rewind();
        for (delivered = 0; source.ReadNextPoint(point);)
            if (++delivered > records)
                __builtin_trap();
        source.SelectWithin(CMapRect(-1e9, 1e9, 1e9, -1e9), found);
        source.FindAreasAt(CMapPoint(1, 1), found);
        source.FindNearestLine(CMapPoint(1, 1), found, nullptr);
        source.FindNearestVertex(CMapPoint(1, 1), point);
        for (int n : {0, 1, records - 1, records})
            source.ReadShape(n, shape);
        source.SetFilter("N > 0");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    size_t split = size;
    if (size >= CShpFile::kHeaderSize) {
        const int64_t stated = int64_t{GetBigEndian<int32_t>(data + 24)} * 2;
        if (stated >= CShpFile::kHeaderSize && stated < static_cast<int64_t>(size))
            split = static_cast<size_t>(stated);
    }
    const Bytes main(data, data + split);
    Bytes index(data + split, data + size);
    if (index.size() < CShpFile::kHeaderSize)
        index = IndexByWalking(main);

    CShpFile file;
    if (file.Open(std::make_unique<CMemoryStream>(main, false), std::make_unique<CMemoryStream>(index, false)) != 0)
        return 0;
    for (int n = 0; n < file.GetRecordCount(); ++n) {
        CShpFile::CRecord record;
        if (file.ReadIndexedRecord(n, record) == 0)
            ReadEveryWay(file, record);
    }
    CShpFile::CRecord record;
    for (int64_t at = CShpFile::FirstRecord(); at < file.RecordsEnd(); at = record.End()) {
        if (file.ReadRecord(at, record) != 0)
            break;
        ReadEveryWay(file, record);
    }
    ReadAsLayer(main, index, file.GetRecordCount());
    return 0;
}
