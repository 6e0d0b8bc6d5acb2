// fuzz-deps: drel_layers
// Reads a drawing from bytes through the DXF source: every shape and every
// point, twice, and some records by number. What a pass delivers must be
// whole (part sizes adding up to its points, finite coordinates, NP the
// point count), the second pass must deliver the same, and record n read by
// number must be the pass's n-th object with the same attributes.
#include "layers/DxfSource.h"
#include "platform/Stream.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

struct CObject {
    CShape shape;
    CMapPoint point;
    std::string label, layer;
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

std::string FieldText(CFeatureSource& source, int field)
{
    std::string text;
    source.GetTable().GetFieldText(field, text, 256);
    return text;
}

CObject Current(CFeatureSource& source, const CShape* shape, const CMapPoint& point)
{
    CObject object;
    if (shape)
        object.shape.Copy(*shape);
    object.point = point;
    object.label = FieldText(source, CDxfSource::kLabelField);
    object.layer = FieldText(source, CDxfSource::kLayerField);
    return object;
}

std::vector<CObject> ReadPass(CDxfSource& source, bool shapes)
{
    std::vector<CObject> objects;
    source.Rewind();
    CShape shape;
    CMapPoint point;
    while (shapes ? source.ReadNextShape(shape) : source.ReadNextPoint(point)) {
        Check(source.GetCurrentRecord() == static_cast<int>(objects.size()));
        if (shapes) {
            int64_t total = 0;
            for (uint32_t size : shape.PartSizes())
                total += size;
            Check(total == shape.GetPointCount() && shape.GetPointCount() > 0);
            for (const CMapPoint& p : shape.Points())
                Check(Finite(p));
            if (shape.GetPointCount() <= 999999)
                Check(FieldText(source, CDxfSource::kPointCountField) == std::to_string(shape.GetPointCount()));
        } else {
            Check(Finite(point));
        }
        objects.push_back(Current(source, shapes ? &shape : nullptr, point));
    }
    return objects;
}

void CheckByNumber(CDxfSource& source, bool shapes, const std::vector<CObject>& objects)
{
    const int count = static_cast<int>(objects.size());
    for (const int n : {count - 1, 0, count / 2, count / 2, count}) {
        if (n < 0)
            continue;
        CShape shape;
        CMapPoint point;
        const bool read = shapes ? source.ReadShape(n, shape) : source.ReadPoint(n, point);
        Check(read == (n < count));
        if (!read)
            continue;
        const CObject& object = objects[static_cast<size_t>(n)];
        Check(shapes ? shape.IsEqual(object.shape) : point == object.point);
        Check(FieldText(source, CDxfSource::kLabelField) == object.label &&
              FieldText(source, CDxfSource::kLayerField) == object.layer);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CDxfSource source;
    if (!source.OpenStream(std::make_unique<CMemoryStream>(data, size)))
        return 0;
    for (const bool shapes : {true, false}) {
        const std::vector<CObject> first = ReadPass(source, shapes);
        if (source.GetError() != 0)
            return 0;
        const std::vector<CObject> again = ReadPass(source, shapes);
        Check(again.size() == first.size());
        for (size_t i = 0; i < first.size(); ++i)
            Check(again[i].shape.IsEqual(first[i].shape) && again[i].point == first[i].point &&
                  again[i].label == first[i].label && again[i].layer == first[i].layer);
        CheckByNumber(source, shapes, first);
    }
    return 0;
}
