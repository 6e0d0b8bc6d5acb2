// fuzz-deps: drel_layers
// Reads a layer of the older DOS generation whose map description and
// geometry file come from the input, then copies it into a new GDB layer
// and reads that back. Input: the description file's text up to a zero
// byte; a flags byte (bit 0 a line table, else points; bit 1 an attribute
// table of half as many records; bit 2 every third object deleted); a
// count k; k little-endian 32-bit words, each object's COORD or PTR; the
// rest is the ".vec" file. What a reader delivers must be whole: one part
// of all its points, finite coordinates, the copy as many objects.
#include "core/DbfEngine.h"
#include "fuzz/FuzzSupport.h"
#include "layers/DosGdbImportDialog.h"
#include "layers/GdbSource.h"
#include "layers/PointTableSource.h"
#include "platform/ByteOrder.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

class CAnswer : public IDosGdbImportDialog {
public:
    bool AskMapFile(const std::string&, std::string& mapPath) override
    {
        mapPath = map;
        return true;
    }
    std::string map;
};

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool Finite(const CMapPoint& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

void WriteObjects(const std::string& path, bool lines, bool deleteSome, const uint8_t* words, int count)
{
    CDbfFieldInfo fields[4];
    fields[0].Set("NAME", 'C', 12, 0);
    fields[1].Set(lines ? "RECT" : "COORD", 'C', lines ? 8 : 4, 0);
    fields[2].Set("PTR", 'C', 4, 0);
    fields[lines ? 3 : 2].Set("", 0, 0, 0);
    auto h = DbfCreate(path, fields);
    if (!h)
        return;
    const int word = lines ? 2 : 1;
    for (int i = 0; i < count; ++i) {
        DbfAppendBlank(*h);
        DbfPutString(*h, 0, " \xF7" + std::to_string(i) + " ");
        std::memcpy(DbfFieldPtr(*h, word), words + 4 * i, 4);
        if (deleteSome && i % 3 == 2)
            h->record[0] = '*';
        DbfWriteHere(*h);
    }
    DbfFlush(*h);
}

// Every object the reader delivers, with its attributes; the count.
int ReadAll(CFeatureSource& source, bool lines)
{
    int count = 0;
    source.Rewind();
    if (lines) {
        CShape shape;
        while (count < 100000 && source.ReadNextShape(shape)) {
            Check(shape.GetPointCount() > 0 && shape.GetPartCount() == 1 &&
                  shape.GetPartSize(0) == shape.GetPointCount());
            for (const CMapPoint& p : shape.Points())
                Check(Finite(p));
            Check(source.GetRecordTable(source.GetCurrentRecord()) != nullptr);
            ++count;
        }
    } else {
        CMapPoint point;
        while (count < 100000 && source.ReadNextPoint(point)) {
            Check(Finite(point));
            Check(source.GetRecordTable(source.GetCurrentRecord()) != nullptr);
            ++count;
        }
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QuietFileServices();
    static CAnswer answer;
    SetDosGdbImportDialog(&answer);
    const uint8_t* end = data + size;
    const uint8_t* zero = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    if (!zero || end - zero < 3)
        return 0;
    const uint8_t flags = zero[1];
    const int count = zero[2];
    const uint8_t* words = zero + 3;
    if (end - words < 4 * count)
        return 0;
    const uint8_t* vec = words + 4 * count;

    const std::string folder = FuzzFolder("drel-legacygdb-fuzz");
    const std::string base = folder + "f";
    std::error_code ignored;
    for (const char* leftover : {"f.dbf", "f.fpt", "new.gdb", "new.vec", "new.dbf"})
        std::filesystem::remove(folder + leftover, ignored);
    answer.map = folder + "f.map";
    WriteFuzzFile(answer.map, data, static_cast<size_t>(zero - data));
    const bool lines = flags & 1;
    WriteObjects(base + ".gdb", lines, flags & 4, words, count);
    WriteFuzzFile(base + ".vec", vec, static_cast<size_t>(end - vec));
    if (flags & 2)
        MakeFuzzAttributes(base + ".dbf", count / 2);

    CPointTableSource source;
    if (!source.Open(base + ".gdb"))
        return 0;
    const int read = ReadAll(source, lines);
    Check(ReadAll(source, lines) == read);
    for (int n : {0, count / 2, count - 1, count, -1})
        source.GetRecordTable(n);
    if (lines)
        Check(source.AcceptType(CFeatureSource::kArea));

    CGdbSource copy;
    if (copy.CreateFrom(folder + "new.gdb", source, false)) {
        copy.Close();
        CGdbSource back;
        Check(back.Open(folder + "new.gdb"));
        // Shapes of one point are no lines: the copy leaves them out.
        const int copied = ReadAll(back, lines);
        Check(lines ? copied <= read : copied == read);
    }
    return 0;
}
