#include "tests/tools/demo/DemoMapDigest.h"

#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/GridFile.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/Sublayer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdint>

namespace {

std::string Hex(const unsigned char* bytes, size_t size)
{
    std::string text;
    for (size_t k = 0; k < size; ++k)
        text += FormatC("%02X", bytes[k]);
    return text;
}

template <class T>
std::string HexOf(const T& value)
{
    return Hex(reinterpret_cast<const unsigned char*>(&value), sizeof value);
}

std::string RectText(const CMapRect& r)
{
    return FormatC("%.6f %.6f %.6f %.6f", r.left, r.top, r.right, r.bottom);
}

// The attributes of the record the source delivered last.
std::string RecordText(CFeatureSource& source)
{
    std::string text = FormatC("#%d", source.GetCurrentRecord());
    CDbfTable* table = source.GetRecordTable(source.GetCurrentRecord());
    if (!table)
        return text + " unreadable";
    for (int field = 0; field < table->GetFieldCount(); ++field) {
        std::string value;
        table->GetFieldString(field, value);
        text += "|" + value;
    }
    return text;
}

void DigestSublayer(const CSublayer& s, std::vector<std::string>& lines)
{
    lines.push_back(FormatC("  sublayer from %d kind %d placement %d distance %d label flags %u reference %d",
                            s.m_lowerLimit, s.m_kind, s.m_labelPlacement, s.m_labelDistance, s.m_labelFlags,
                            s.m_referenceScale));
    lines.push_back("  fields label=" + s.m_labelField + " class=" + s.m_classField + " rotation=" + s.m_rotationField);
    lines.push_back("  style " + Hex(s.m_style.Bytes(), CStyleRecord::kSize) + " " +
                    (s.m_style.NamesSymbol() ? s.m_style.Point().GetName() : std::string()));
    lines.push_back("  label " + HexOf(s.m_labelStyle) + " frame " + HexOf(s.m_labelFrameStyle));
    const CThemeClassList& classes = s.m_classes;
    lines.push_back(FormatC("  classes kind %d count %d", classes.GetKind(), classes.GetCount()));
    for (int k = 0; k < classes.GetCount(); ++k)
        lines.push_back("   " + classes.GetClassText(k) + " " +
                        Hex(classes.GetClass(k)->m_style.Bytes(), CStyleRecord::kSize));
}

void DigestVectorData(const CLayer& layer, std::vector<std::string>& lines)
{
    CLayerReader reader;
    if (!reader.OpenLayer(&layer)) {
        lines.push_back("  data unreadable");
        return;
    }
    CFeatureSource& source = *reader.GetSource();
    std::string fields = "  fields";
    for (const CDbfFieldInfo& f : source.GetFieldInfos())
        if (f.length > 0)
            fields += FormatC(" %s %c%d.%d", f.name, f.type, f.length, f.decimals);
    lines.push_back(fields);
    if (layer.GetType() == CLayer::kPoint || layer.GetType() == CLayer::kTrack) {
        CMapPoint p;
        while (source.ReadNextPoint(p))
            lines.push_back(FormatC("  point %.6f %.6f ", p.x, p.y) + RecordText(source));
    } else {
        CShape shape;
        while (source.ReadNextShape(shape)) {
            std::string text = FormatC("  shape %d parts:", shape.GetPartCount());
            for (int part = 0; part < shape.GetPartCount(); ++part)
                text += FormatC(" %d", shape.GetPartSize(part));
            for (int k = 0; k < shape.GetPointCount(); ++k)
                text += FormatC(" %.6f,%.6f", shape.GetPoint(k).x, shape.GetPoint(k).y);
            lines.push_back(text + " " + RecordText(source));
        }
    }
    lines.push_back(FormatC("  error %d", source.GetError()));
}

void DigestPicture(const CLayer& layer, std::vector<std::string>& lines)
{
    QImage image;
    if (!image.load(QString::fromStdString(ResolvePath(layer.GetPath())))) {
        lines.push_back("  picture unreadable");
        return;
    }
    uint64_t hash = 1469598103934665603ull;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            hash = (hash ^ image.pixel(x, y)) * 1099511628211ull;
    lines.push_back(FormatC("  picture %dx%d %016llx", image.width(), image.height(), static_cast<unsigned long long>(hash)));
    std::string world = ReadWholeFile(ChangeExtensionCopy(layer.GetPath(), "wld"));
    lines.push_back("  world " + world);
}

void DigestGrids(const CLayer& layer, std::vector<std::string>& lines)
{
    for (const CLayerFileEntry& file : layer.Files()) {
        lines.push_back("  tile " + GetPathFileName(file.path) + " " + RectText(file.extent));
        CGridFile grid;
        if (!grid.Open(file.path)) {
            lines.push_back("  grid unreadable");
            continue;
        }
        CMapRect extent;
        grid.GetExtent(extent);
        uint64_t hash = 1469598103934665603ull;
        for (int row = 0; row < grid.GetRowCount(); ++row)
            for (int column = 0; column < grid.GetColumnCount(); ++column) {
                const CMapPoint at(extent.left + column * grid.GetCellWidth(), extent.top + row * grid.GetCellHeight());
                hash = (hash ^ static_cast<uint64_t>(grid.ValueAt(at) + 2)) * 1099511628211ull;
            }
        lines.push_back(FormatC("  grid type %d %dx%d ", grid.GetCellType(), grid.GetColumnCount(), grid.GetRowCount()) +
                        RectText(extent) + FormatC(" %016llx", static_cast<unsigned long long>(hash)));
    }
}

} // namespace

std::vector<std::string> DigestMap(const std::string& mapPath)
{
    std::vector<std::string> lines;
    CDrelDoc doc;
    if (!doc.OnOpenDocument(mapPath)) {
        ADD_FAILURE() << "the map does not open: " << mapPath;
        return lines;
    }
    const CMapSettings& s = doc.Settings();
    lines.push_back("name " + s.name);
    lines.push_back(FormatC("units %d system %d load %d recalc %d scale %.6f legend %d %d bar %d %d %d %d %d",
                            s.mapUnits, doc.GetCoordSystem(), s.autoLoad, s.autoRecalcMapExtent, s.optimScale,
                            s.legendType, s.legendAutoUpdate, s.scaleBarShow, s.scaleBarOffsetX, s.scaleBarOffsetY,
                            s.scaleBarFromLeft, s.scaleBarFromTop));
    lines.push_back("limits " + RectText(s.limits));
    lines.push_back("routes " + s.routesLayer + " " + s.fromNodeField + " " + s.toNodeField + " " + s.arcLengthField +
                    " " + s.dirMaskField + " " + s.weightField + " " + s.significanceField);
    lines.push_back("streets " + s.streetsLayer + " " + s.streetNameField + " " + s.codeField + " " + s.cityNameField);
    lines.push_back("addresses " + s.addressesLayer + " " + s.streetCodeField + " " + s.numField + " " +
                    s.letterField + " " + s.streetCodeField2 + " " + s.numField2 + " " + s.letterField2);
    lines.push_back("placemarks " + s.placemarksLayer);
    for (int k = 0; k < doc.GetBookmarkCount(); ++k)
        lines.push_back("bookmark " + doc.GetBookmarkName(k) + " " + RectText(doc.GetBookmarkExtent(k)));

    for (int k = 0; k < doc.GetLayerCount(); ++k) {
        const CLayer& layer = *doc.GetLayer(k);
        lines.push_back(FormatC("layer %d ", k) + layer.GetName() + FormatC(" type %d flags %08X members %d ",
                                                                            layer.GetType(), layer.GetFlags(),
                                                                            layer.GetMemberCount()) +
                        layer.GetRuntimeClass()->className + std::string(" file ") + GetPathFileName(layer.GetPath()) + " id " +
                        layer.GetIdField() + " filter " + layer.GetFilter() + " extent " + RectText(layer.GetExtent()));
        for (int n = 0; n < layer.GetSublayerCount(); ++n)
            DigestSublayer(*layer.GetSublayer(n), lines);
        if (layer.HasFlag(CLayer::kGroup))
            continue;
        if (layer.GetType() == CLayer::kRaster)
            DigestPicture(layer, lines);
        else if (layer.GetType() == CLayer::kElevation)
            DigestGrids(layer, lines);
        else if (layer.IsVectorType())
            DigestVectorData(layer, lines);
    }
    return lines;
}

std::string FirstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    for (size_t k = 0; k < std::min(a.size(), b.size()); ++k)
        if (a[k] != b[k])
            return FormatC("line %zu:\n", k) + a[k] + "\n" + b[k];
    if (a.size() != b.size())
        return FormatC("%zu lines against %zu", a.size(), b.size());
    return "";
}

CLayerObjects ReadLayerObjects(const CLayer& layer, const std::string& field)
{
    CLayerObjects objects;
    CLayerReader reader;
    if (!reader.OpenLayer(&layer)) {
        ADD_FAILURE() << "cannot read " << layer.GetName();
        return objects;
    }
    CFeatureSource& source = *reader.GetSource();
    const int index = source.GetTable().FindField(field);
    EXPECT_GE(index, 0) << field;
    objects.records = source.GetTable().GetRecordCount();
    const auto take = [&] {
        std::string text;
        CDbfTable* table = source.GetRecordTable(source.GetCurrentRecord());
        if (table)
            table->GetFieldString(index, text);
        objects.texts.push_back(text);
    };
    if (layer.GetType() == CLayer::kPoint || layer.GetType() == CLayer::kTrack) {
        CMapPoint p;
        while (source.ReadNextPoint(p)) {
            objects.points.push_back(p);
            take();
        }
    } else {
        CShape shape;
        while (source.ReadNextShape(shape))
            take();
    }
    return objects;
}

CLayer& LayerNamed(const CDrelDoc& doc, const std::string& name)
{
    CLayer* layer = doc.Layers().FindByName(name);
    if (!layer)
        ADD_FAILURE() << "no layer " << name;
    static CLayer none;
    return layer ? *layer : none;
}
