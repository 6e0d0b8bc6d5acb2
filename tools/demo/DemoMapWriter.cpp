#include "tools/demo/DemoMapWriter.h"

#include "core/CoordConverter.h"
#include "core/DbfEngine.h"
#include "core/DbfFieldInfo.h"
#include "core/FileUtil.h"
#include "core/Shape.h"
#include "layers/DtmLayer.h"
#include "layers/GdbSource.h"
#include "layers/GridFile.h"
#include "layers/Layer.h"
#include "layers/LonLatTableSource.h"
#include "layers/ShapefileSource.h"
#include "layers/Sublayer.h"
#include "layers/TrackFields.h"
#include "mapdoc/DrelDoc.h"
#include "platform/ByteOrder.h"
#include "platform/Gdi.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "platform/Stream.h"
#include "tools/demo/DemoNames.h"
#include "tools/demo/DemoStyleSource.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>

#include <unistd.h>

namespace {

// The data files of the map.
constexpr const char* kStreetsFile = "gatves.gdb";
constexpr const char* kBuildingsFile = "pastatai.gdb";
constexpr const char* kAddressesFile = "adresai.gdb";
constexpr const char* kParksFile = "parkai.gdb";
constexpr const char* kRiverFile = "upe.shp";
constexpr const char* kSightsFile = "lankytinos.dbf";
constexpr const char* kTrackFile = "trasa.trk";
constexpr const char* kGridFile = "aukstis.rmp";
constexpr const char* kPictureFile = "reljefas.bmp";
constexpr const char* kWorldFile = "reljefas.wld";

// Around the streets the relief goes on a little.
constexpr double kGroundMargin = 300;

struct CField {
    const char* name;
    char type;
    unsigned length;
    unsigned decimals;
};

std::vector<CDbfFieldInfo> Fields(std::initializer_list<CField> fields)
{
    std::vector<CDbfFieldInfo> list;
    for (const CField& f : fields)
        list.emplace_back().Set(f.name, f.type, f.length, f.decimals);
    list.emplace_back().Set("", 0, 0, 0); // the end
    return list;
}

CShape MakeShape(const std::vector<CMapPoint>& points)
{
    CMapPointArray array;
    for (const CMapPoint& p : points)
        array.Add(p);
    CShape shape;
    shape.SetParts(std::move(array), {static_cast<uint32_t>(points.size())});
    return shape;
}

CDrawStyle LineStyle(uint32_t penStyle, uint32_t width, COLORREF colour, COLORREF second = CDrawStyle::kNone)
{
    CDrawStyle style;
    style.penStyle = penStyle;
    style.penWidth = width;
    style.penColor = colour;
    style.backColor = second;
    style.brushStyle = 1; // hollow
    style.brushColor = CDrawStyle::kNone;
    style.hatch = 0;
    style.backMode = TRANSPARENT;
    return style;
}

// A double line: the outer pen, then the inner one laid over it.
CDrawStyle DoubleLine(uint32_t outerWidth, COLORREF outer, uint32_t innerWidth, COLORREF inner)
{
    return LineStyle(CDrawStyle::kDoubleLine, (innerWidth << 16) | outerWidth, outer, inner);
}

CDrawStyle AreaStyle(COLORREF outline, uint32_t width, COLORREF fill)
{
    CDrawStyle style = LineStyle(0, width, outline);
    style.brushStyle = 0; // solid
    style.brushColor = fill;
    return style;
}

CLabelStyle LabelFont(COLORREF colour, int height, bool italic = false, int weight = 0)
{
    CLabelStyle label = CLabelStyle::Default();
    label.color = colour;
    label.font.lfHeight = height;
    label.font.lfItalic = italic ? 1 : 0;
    label.font.lfWeight = weight;
    return label;
}

class CMapWriter {
public:
    CMapWriter(const CDemoTown& town, const std::string& folder, std::string& error)
        : m_town(town), m_folder(folder), m_error(error), m_names(CDemoNames::Get()),
          m_toGeo(CreateCoordConverter(kCoordTm, kCoordGeographic))
    {
    }

    bool Write();

private:
    std::string PathOf(const char* file) const { return m_folder + file; }
    bool Fail(const std::string& what)
    {
        m_error = what;
        return false;
    }
    // Appends count objects through the source: append puts object k in,
    // attributes fills its record.
    bool WriteObjects(CFeatureSource& source, const std::string& path, size_t count,
                      const std::function<bool(size_t)>& append, const std::function<void(size_t, CDbfTable&)>& attributes);
    // Large layers of sources with an extent get their spatial index, as
    // the program would build it.
    bool IndexIfLarge(CFeatureSource& source, const std::string& path, size_t count);

    bool WriteStreets();
    bool WriteBuildings();
    bool WriteAddresses();
    bool WriteParks();
    bool WriteRiver();
    bool WriteSights();
    bool WriteTrack();
    bool WriteGrid();
    bool WritePicture();
    bool WriteDocument();

    // The map file keeps no extents: the program reads them from the data.
    CLayer& AddLayer(std::unique_ptr<CLayer> layer);
    void StyleStreets(CLayer& layer);
    void StyleBuildings(CLayer& layer);

    const CDemoTown& m_town;
    std::string m_folder;
    std::string& m_error;
    const CDemoNames& m_names;
    std::unique_ptr<CCoordConverter> m_toGeo;
    CDrelDoc m_doc;
    CMapRect m_ground; // of the grid and the picture
    CMapRect m_gridExtent;
};

bool CMapWriter::WriteObjects(CFeatureSource& source, const std::string& path, size_t count,
                              const std::function<bool(size_t)>& append,
                              const std::function<void(size_t, CDbfTable&)>& attributes)
{
    // The new files are the writer's alone: one hold for all their objects
    // instead of a lock for each.
    source.BeginWrites();
    for (size_t k = 0; k < count; ++k) {
        if (!append(k))
            return Fail("cannot append to " + path);
        attributes(k, source.GetTable());
        if (!source.GetTable().WriteRecord())
            return Fail("cannot write a record of " + path);
    }
    source.Close();
    if (source.GetError() != CFeatureSource::kNoError)
        return Fail("cannot finish " + path);
    return IndexIfLarge(source, path, count);
}

bool CMapWriter::IndexIfLarge(CFeatureSource& source, const std::string& path, size_t count)
{
    if (count <= static_cast<size_t>(CFeatureSource::kIndexMinRecords))
        return true;
    if (!source.Open(path))
        return Fail("cannot open " + path);
    CMapRect extent;
    if (source.GetExtent(extent) && !source.BuildSpatialIndex())
        return Fail("cannot index " + path);
    source.Close();
    return true;
}

bool CMapWriter::WriteStreets()
{
    enum { kName, kCode, kTown, kFrom, kTo, kLength, kDirection, kWeight, kSignificance };
    const std::vector<CDbfFieldInfo> fields = Fields({{"PAVAD", 'C', 40, 0},
                                                      {"KODAS", 'N', 8, 0},
                                                      {"MIESTAS", 'C', 30, 0},
                                                      {"NUO", 'N', 10, 0},
                                                      {"IKI", 'N', 10, 0},
                                                      {"ILGIS", 'N', 10, 1},
                                                      {"KRYPTIS", 'N', 1, 0},
                                                      {"SVORIS", 'N', 5, 1},
                                                      {"RANGAS", 'N', 1, 0}});
    const std::string path = PathOf(kStreetsFile);
    CGdbSource source;
    if (!source.Create(path, CFeatureSource::kLine, fields.data()))
        return Fail("cannot create " + path);
    const auto& streets = m_town.streets;
    return WriteObjects(
        source, path, streets.size(), [&](size_t k) { return source.AppendShape(MakeShape(streets[k].line), false); },
        [&](size_t k, CDbfTable& table) {
            const CDemoStreet& s = streets[k];
            table.SetField(kName, s.name);
            table.SetFieldLong(kCode, s.code);
            table.SetField(kTown, s.town);
            table.SetFieldLong(kFrom, s.fromNode);
            table.SetFieldLong(kTo, s.toNode);
            table.SetFieldDouble(kLength, s.length);
            table.SetFieldLong(kDirection, s.direction);
            table.SetFieldDouble(kWeight, s.weight);
            table.SetFieldLong(kSignificance, s.significance);
        });
}

bool CMapWriter::WriteBuildings()
{
    enum { kId, kUse, kFloors, kArea };
    const std::vector<CDbfFieldInfo> fields =
        Fields({{"ID", 'N', 8, 0}, {"PASKIRTIS", 'C', 20, 0}, {"AUKSTAI", 'N', 2, 0}, {"PLOTAS", 'N', 10, 1}});
    const std::string path = PathOf(kBuildingsFile);
    CGdbSource source;
    if (!source.Create(path, CFeatureSource::kArea, fields.data()))
        return Fail("cannot create " + path);
    const auto& buildings = m_town.buildings;
    return WriteObjects(
        source, path, buildings.size(),
        [&](size_t k) { return source.AppendShape(MakeShape(buildings[k].outline), false); },
        [&](size_t k, CDbfTable& table) {
            const CDemoBuilding& b = buildings[k];
            table.SetFieldLong(kId, static_cast<long>(k + 1));
            table.SetField(kUse, b.use);
            table.SetFieldLong(kFloors, b.floors);
            table.SetFieldDouble(kArea, b.area);
        });
}

bool CMapWriter::WriteAddresses()
{
    enum { kStreetCode, kNumber, kLetter, kNumberText, kText };
    const std::vector<CDbfFieldInfo> fields = Fields({{"GAT_KODAS", 'N', 8, 0},
                                                      {"NR", 'N', 4, 0},
                                                      {"RAIDE", 'C', 1, 0},
                                                      {"NUMERIS", 'C', 6, 0},
                                                      {"ADRESAS", 'C', 60, 0}});
    const std::string path = PathOf(kAddressesFile);
    CGdbSource source;
    if (!source.Create(path, CFeatureSource::kPoint, fields.data()))
        return Fail("cannot create " + path);
    const auto& addresses = m_town.addresses;
    return WriteObjects(
        source, path, addresses.size(), [&](size_t k) { return source.AppendPoint(addresses[k].point, false); },
        [&](size_t k, CDbfTable& table) {
            const CDemoAddress& a = addresses[k];
            table.SetFieldLong(kStreetCode, a.streetCode);
            table.SetFieldLong(kNumber, a.number);
            table.SetField(kLetter, a.letter ? std::string(1, a.letter) : std::string());
            table.SetField(kNumberText, a.numberText);
            table.SetField(kText, a.text);
        });
}

bool CMapWriter::WriteParks()
{
    enum { kName, kArea };
    const std::vector<CDbfFieldInfo> fields = Fields({{"PAVAD", 'C', 40, 0}, {"PLOTAS", 'N', 10, 1}});
    const std::string path = PathOf(kParksFile);
    CGdbSource source;
    if (!source.Create(path, CFeatureSource::kArea, fields.data()))
        return Fail("cannot create " + path);
    const auto& parks = m_town.parks;
    return WriteObjects(
        source, path, parks.size(), [&](size_t k) { return source.AppendShape(MakeShape(parks[k].outline), false); },
        [&](size_t k, CDbfTable& table) {
            table.SetField(kName, parks[k].name);
            table.SetFieldDouble(kArea, std::round(parks[k].area * 10) / 10);
        });
}

bool CMapWriter::WriteRiver()
{
    const std::vector<CDbfFieldInfo> fields = Fields({{"PAVAD", 'C', 30, 0}, {"PLOTIS", 'N', 4, 0}});
    const std::string path = PathOf(kRiverFile);
    CShapefileSource source;
    if (!source.Create(path, CFeatureSource::kLine, fields.data()))
        return Fail("cannot create " + path);
    return WriteObjects(
        source, path, 1, [&](size_t) { return source.AppendShape(MakeShape(m_town.river), false); },
        [&](size_t, CDbfTable& table) {
            table.SetField(0, m_town.riverName);
            table.SetFieldLong(1, 18);
        });
}

bool CMapWriter::WriteSights()
{
    // Kept in degrees, as tables of coordinates are: the map converts them.
    enum { kName, kAddress, kLon, kLat };
    const std::vector<CDbfFieldInfo> fields =
        Fields({{"PAVAD", 'C', 30, 0}, {"ADRESAS", 'C', 60, 0}, {"Lon", 'N', 13, 8}, {"Lat", 'N', 13, 8}});
    const std::string path = PathOf(kSightsFile);
    CLonLatTableSource source;
    source.SetWriteConverter(m_toGeo.get());
    if (!source.Create(path, CFeatureSource::kPoint, fields.data()))
        return Fail("cannot create " + path);
    const auto& sights = m_town.sights;
    return WriteObjects(
        source, path, sights.size(), [&](size_t k) { return source.AppendPoint(sights[k].point, false); },
        [&](size_t k, CDbfTable& table) {
            table.SetField(kName, sights[k].name);
            table.SetField(kAddress, sights[k].address);
        });
}

bool CMapWriter::WriteTrack()
{
    // The fields of the track recorder, and START, which splits the trips.
    std::vector<CDbfFieldInfo> fields = TrackFieldList();
    const int kStart = kTrackFieldCount;
    fields.insert(fields.end() - 1, CDbfFieldInfo().Set("START", 'C', 1, 0));
    const std::string path = PathOf(kTrackFile);
    CLonLatTableSource source;
    source.SetWriteConverter(m_toGeo.get());
    if (!source.Create(path, CFeatureSource::kPoint, fields.data()))
        return Fail("cannot create " + path);
    const auto& track = m_town.track;
    return WriteObjects(
        source, path, track.size(), [&](size_t k) { return source.AppendPoint(track[k].point, false); },
        [&](size_t k, CDbfTable& table) {
            const CDemoFix& fix = track[k];
            table.SetField(kTrackStatus, "OK");
            table.SetFieldDouble(kTrackSpeed, fix.speed);
            table.SetFieldDouble(kTrackCourse, fix.course);
            table.SetField(kTrackDate, m_town.trackDate);
            table.SetField(kTrackTime,
                           FormatC("%02d:%02d:%02d", fix.seconds / 3600, fix.seconds / 60 % 60, fix.seconds % 60));
            table.SetFieldLong(kTrackId, static_cast<long>(k + 1));
            table.SetFieldLong(kTrackSatellites, fix.satellites);
            table.SetField(kStart, fix.start ? "*" : "");
        });
}

bool CMapWriter::WriteGrid()
{
    // Cells of 20 m, coarser for a large town; the northern row first, as
    // the import of ASCII grids writes them.
    const double cell = std::max(20.0, std::ceil(std::max(m_ground.Width(), m_ground.Height()) / 640 / 5) * 5);
    const auto columns = static_cast<int>(std::ceil(m_ground.Width() / cell)) + 1;
    const auto rows = static_cast<int>(std::ceil(m_ground.Height() / cell)) + 1;
    CGridFile::Header header;
    header.cellType = CGridFile::kPacked2;
    header.xFirst = m_ground.left;
    header.xLast = m_ground.left + (columns - 1) * cell;
    header.cellWidth = cell;
    header.columns = static_cast<uint16_t>(columns);
    header.yFirst = m_ground.top;
    header.yLast = m_ground.top - (rows - 1) * cell;
    header.cellHeight = cell;
    header.rows = static_cast<uint16_t>(rows);
    m_gridExtent = CMapRect(header.xFirst, header.yFirst, header.xLast, header.yLast);

    const std::string path = PathOf(kGridFile);
    const bool written = WriteFileAtomically(path, [&](CStream& stream) {
        unsigned char bytes[CGridFile::kHeaderSize];
        header.Write(bytes);
        if (!stream.WriteExact(bytes, sizeof bytes))
            return false;
        std::vector<unsigned char> row(static_cast<size_t>(columns) * 2);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const double height = m_town.terrain.Elevation(CMapPoint(header.xFirst + c * cell, header.yFirst - r * cell));
                const auto value = static_cast<uint16_t>(std::clamp(std::lround(height), 0L, 4094L));
                PutLittleEndian<uint16_t>(row.data() + 2 * c, value);
            }
            if (!stream.WriteExact(row.data(), row.size()))
                return false;
        }
        return true;
    });
    return written || Fail("cannot write " + path);
}

bool CMapWriter::WritePicture()
{
    // At most 1024 pixels a side, 4 m a pixel for a small town.
    const double pixel = std::max(4.0, std::max(m_ground.Width(), m_ground.Height()) / 1024);
    const auto width = static_cast<int>(std::ceil(m_ground.Width() / pixel));
    const auto height = static_cast<int>(std::ceil(m_ground.Height() / pixel));
    const CMapRect pictureExtent(m_ground.left, m_ground.top, m_ground.left + width * pixel, m_ground.top - height * pixel);
    const std::vector<unsigned char> rgb = m_town.terrain.ReliefPicture(pictureExtent, width, height);

    // An uncompressed 24-bit BMP, bottom row first, rows padded to 4 bytes.
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    const size_t imageSize = stride * static_cast<size_t>(height);
    std::vector<unsigned char> bmp(54 + imageSize, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    PutLittleEndian<uint32_t>(&bmp[2], static_cast<uint32_t>(bmp.size()));
    PutLittleEndian<uint32_t>(&bmp[10], 54);
    PutLittleEndian<uint32_t>(&bmp[14], 40);
    PutLittleEndian<int32_t>(&bmp[18], width);
    PutLittleEndian<int32_t>(&bmp[22], height);
    PutLittleEndian<uint16_t>(&bmp[26], 1);
    PutLittleEndian<uint16_t>(&bmp[28], 24);
    PutLittleEndian<uint32_t>(&bmp[34], static_cast<uint32_t>(imageSize));
    PutLittleEndian<int32_t>(&bmp[38], 2835); // 72 dpi
    PutLittleEndian<int32_t>(&bmp[42], 2835);
    for (int row = 0; row < height; ++row) {
        unsigned char* out = &bmp[54 + stride * static_cast<size_t>(height - 1 - row)];
        const unsigned char* in = &rgb[static_cast<size_t>(row) * width * 3];
        for (int col = 0; col < width; ++col) {
            out[col * 3] = in[col * 3 + 2];
            out[col * 3 + 1] = in[col * 3 + 1];
            out[col * 3 + 2] = in[col * 3];
        }
    }
    const std::string path = PathOf(kPictureFile);
    if (!WriteFileAtomically(path, [&](CStream& stream) { return stream.WriteExact(bmp.data(), bmp.size()); }))
        return Fail("cannot write " + path);

    // The world file: pixel size, two turns, minus the pixel height, and
    // the middle of the top-left pixel.
    const std::string world = FormatC("%.12g\r\n0\r\n0\r\n%.12g\r\n%.12g\r\n%.12g\r\n", pixel, -pixel,
                                      pictureExtent.left + pixel / 2, pictureExtent.top - pixel / 2);
    const std::string worldPath = PathOf(kWorldFile);
    if (!WriteFileAtomically(worldPath, [&](CStream& stream) { return stream.WriteExact(world.data(), world.size()); }))
        return Fail("cannot write " + worldPath);
    return true;
}

CLayer& CMapWriter::AddLayer(std::unique_ptr<CLayer> layer)
{
    CLayer& added = *layer;
    m_doc.AddLayer(std::move(layer), false);
    return added;
}

void CMapWriter::StyleStreets(CLayer& layer)
{
    const CDrawStyle main = DoubleLine(44, RGB(120, 95, 60), 26, RGB(255, 214, 120));
    const CDrawStyle street = LineStyle(11, 16, RGB(254, 254, 254)); // cased in black
    const CDrawStyle lane = LineStyle(0, 8, RGB(150, 150, 150));
    const CDrawStyle other = LineStyle(0, 4, RGB(150, 150, 150));
    const CDrawStyle hidden = LineStyle(PS_NULL, 0, 0);

    CSublayer& near = *layer.GetSublayer(0);
    near.m_kind = CSublayer::kClassified;
    near.m_classField = "RANGAS";
    CThemeClassList& classes = near.m_classes;
    classes.SetKind(true, true);
    const CDrawStyle styles[] = {main, street, lane};
    for (int k = 0; k < 3; ++k)
        classes.InsertNumberClass(k, CLayer::kLine, 2 - k)->m_style = styles[k];
    classes.AddClass(CLayer::kLine)->m_style = other;
    near.m_labelField = "PAVAD";
    near.m_labelPlacement = 24; // centred on the line
    near.m_labelStyle = LabelFont(RGB(40, 40, 40), -8);

    // Further out the lanes and the names go, then all but the main streets.
    layer.AddSublayer(25000);
    CSublayer& middle = *layer.GetSublayer(1);
    middle.m_labelField.clear();
    middle.m_classes.GetClass(2)->m_style = hidden;
    layer.AddSublayer(100000);
    CSublayer& far = *layer.GetSublayer(2);
    far.m_classes.GetClass(0)->m_style = LineStyle(0, 12, RGB(230, 150, 60));
    far.m_classes.GetClass(1)->m_style = hidden;
    far.m_classes.GetClass(3)->m_style = hidden;
}

void CMapWriter::StyleBuildings(CLayer& layer)
{
    const COLORREF outline = RGB(125, 105, 95);
    CSublayer& near = *layer.GetSublayer(0);
    near.m_kind = CSublayer::kClassified;
    near.m_classField = "PASKIRTIS";
    CThemeClassList& classes = near.m_classes;
    classes.SetKind(true, false);
    const struct {
        const std::string& use;
        COLORREF fill;
    } uses[] = {
        {m_names.residential, RGB(222, 196, 176)}, {m_names.commercial, RGB(240, 165, 145)},
        {m_names.publicUse, RGB(200, 170, 220)},   {m_names.industrial, RGB(185, 185, 190)},
        {m_names.shed, RGB(215, 210, 190)},
    };
    int k = 0;
    for (const auto& use : uses)
        classes.InsertTextClass(k++, CLayer::kArea, use.use)->m_style = AreaStyle(outline, 4, use.fill);
    classes.AddClass(CLayer::kArea)->m_style = AreaStyle(outline, 4, RGB(230, 230, 230));
    // Houses are not drawn at the scales of the whole town.
    layer.AddSublayer(20000);
    layer.GetSublayer(1)->m_kind = CSublayer::kHidden;
}

bool CMapWriter::WriteDocument()
{
    const auto& l = m_names.layers;
    const CMapRect& extent = m_town.extent;

    // Under everything the relief, hidden until asked for.
    auto reliefGroup = std::make_unique<CLayer>(l.reliefGroup, "", -1);
    reliefGroup->SetFlags(CLayer::kGroup | CLayer::kWorking | CLayer::kShown);
    reliefGroup->SetMemberCount(2);
    CLayer& relief = AddLayer(std::move(reliefGroup));
    AddLayer(std::make_unique<CLayer>(l.relief, PathOf(kPictureFile), CLayer::kRaster));
    auto elevation = std::make_unique<CDtmLayer>(l.elevation, PathOf(kGridFile));
    elevation->SetDefaultClasses();
    elevation->AddFile(PathOf(kGridFile), &m_gridExtent);
    AddLayer(std::move(elevation));
    m_doc.SetLayerVisible(&relief, false);

    auto natureGroup = std::make_unique<CLayer>(l.natureGroup, "", -1);
    natureGroup->SetFlags(CLayer::kGroup | CLayer::kWorking | CLayer::kShown);
    natureGroup->SetMemberCount(2);
    AddLayer(std::move(natureGroup));

    CLayer& parks = AddLayer(std::make_unique<CLayer>(l.parks, PathOf(kParksFile), CLayer::kArea));
    parks.SetIdField("PAVAD");
    {
        CSublayer& s = *parks.GetSublayer(0);
        CDrawStyle fill = LineStyle(0, 6, RGB(90, 150, 80), RGB(205, 235, 185));
        fill.brushStyle = BS_PATTERN;
        fill.brushColor = RGB(120, 185, 100);
        fill.hatch = 21; // rings: trees
        s.m_style = fill;
        s.m_labelField = "PAVAD";
        s.m_labelPlacement = 512; // inside the area
        s.m_labelStyle = LabelFont(RGB(40, 100, 40), -8, true);
        // A large town's names of parks would cover it.
        parks.AddSublayer(25000);
        parks.GetSublayer(1)->m_labelField.clear();
        // Too small there for the trees of the pattern.
        parks.GetSublayer(1)->m_style = AreaStyle(RGB(90, 150, 80), 0, RGB(170, 215, 150));
    }

    CLayer& river = AddLayer(std::make_unique<CLayer>(l.river, PathOf(kRiverFile), CLayer::kLine));
    river.SetFlag(CLayer::kInOverview, true);
    river.SetIdField("PAVAD");
    {
        CSublayer& s = *river.GetSublayer(0);
        s.m_style = LineStyle(0, 70, RGB(90, 150, 215));
        s.m_labelField = "PAVAD";
        s.m_labelPlacement = 8; // above the line
        s.m_labelStyle = LabelFont(RGB(30, 80, 160), -10, true);
    }

    CLayer& buildings = AddLayer(std::make_unique<CLayer>(l.buildings, PathOf(kBuildingsFile), CLayer::kArea));
    buildings.SetIdField("ID");
    StyleBuildings(buildings);

    CLayer& streets = AddLayer(std::make_unique<CLayer>(l.streets, PathOf(kStreetsFile), CLayer::kLine));
    // The street box lists the names of the id field.
    streets.SetIdField("PAVAD");
    streets.SetFlag(CLayer::kInOverview, true);
    StyleStreets(streets);

    CLayer& addresses = AddLayer(std::make_unique<CLayer>(l.addresses, PathOf(kAddressesFile), CLayer::kPoint));
    addresses.SetIdField("ADRESAS");
    {
        CSublayer& s = *addresses.GetSublayer(0);
        CPointStyle dot;
        dot.symbol = 27; // a small black dot
        s.m_style = dot;
        s.m_labelField = "NUMERIS";
        s.m_labelPlacement = 256; // round the point
        s.m_labelDistance = 40;
        s.m_labelStyle = LabelFont(RGB(100, 40, 40), -7);
        addresses.AddSublayer(6000);
        addresses.GetSublayer(1)->m_kind = CSublayer::kHidden;
    }

    CLayer& sights = AddLayer(std::make_unique<CLayer>(l.sights, PathOf(kSightsFile), CLayer::kPoint));
    sights.SetIdField("PAVAD");
    {
        CSublayer& s = *sights.GetSublayer(0);
        CPointStyle symbol;
        symbol.symbol = 16; // a red disc
        s.m_style = symbol;
        s.m_labelField = "PAVAD";
        s.m_labelPlacement = 256;
        s.m_labelDistance = 79;
        s.m_labelStyle = LabelFont(RGB(140, 20, 20), -8, false, 700);
        // A large town's sights would bury it in red.
        sights.AddSublayer(25000);
        sights.GetSublayer(1)->m_kind = CSublayer::kHidden;
    }

    CLayer& track = AddLayer(std::make_unique<CLayer>(l.track, PathOf(kTrackFile), CLayer::kTrack));
    track.SetIdField("Time");
    {
        CTrackStyle style;
        style.symbol = 20; // a small red disc at each fix
        style.lineShown = 1;
        style.penStyle = 0;
        style.penWidth = 16;
        style.penColor = RGB(220, 30, 30);
        track.GetSublayer(0)->m_style = style;
        // Its fixes would run together into a thick line.
        track.AddSublayer(25000);
        track.GetSublayer(1)->m_kind = CSublayer::kHidden;
    }

    CMapSettings& s = m_doc.Settings();
    s.name = m_town.townName + m_names.mapTitle;
    s.autoLoad = 0;
    s.autoRecalcMapExtent = 1;
    s.mapUnits = kUnitsMetres;
    m_doc.SetCoordSystem(kCoordTm);
    s.limits = extent;
    s.optimScale = 5000;
    s.legendType = 0; // every layer
    s.legendAutoUpdate = 1;
    s.routesLayer = l.streets;
    s.fromNodeField = "NUO";
    s.toNodeField = "IKI";
    s.arcLengthField = "ILGIS";
    s.dirMaskField = "KRYPTIS";
    s.weightField = "SVORIS";
    s.significanceField = "RANGAS";
    s.streetsLayer = l.streets;
    s.streetNameField = "PAVAD";
    s.codeField = "KODAS";
    s.cityNameField = "MIESTAS";
    s.addressesLayer = l.addresses;
    s.streetCodeField = "GAT_KODAS";
    s.numField = "NR";
    s.letterField = "RAIDE";
    s.scaleBarShow = 1;
    s.scaleBarOffsetX = 500;
    s.scaleBarOffsetY = 500;
    s.scaleBarFromLeft = 1;
    s.scaleBarFromTop = 0;

    const auto around = [](const CMapPoint& p, double half) {
        return CMapRect(p.x - half, p.y + half, p.x + half, p.y - half);
    };
    m_doc.AddBookmark(m_names.bookmarks[0], extent);
    m_doc.AddBookmark(m_names.bookmarks[1], m_town.centreExtent);
    m_doc.AddBookmark(m_names.bookmarks[2], around(m_town.terrain.ToMap(0, m_town.terrain.RiverAt(0)), 300));
    m_doc.AddBookmark(m_names.bookmarks[3], around(m_town.terrain.ToMap(0, 0), 120));

    const std::string path = PathOf(CDemoMapWriter::kMapFile);
    return m_doc.OnSaveDocument(path) || Fail("cannot write " + path);
}

bool CMapWriter::Write()
{
    // What layers take from the style source while they are made follows the seed.
    CDemoStyleSource styles(m_town.options.seed);
    const CMapRect& e = m_town.extent;
    m_ground = CMapRect(std::floor(e.left - kGroundMargin), std::ceil(e.top + kGroundMargin),
                        std::ceil(e.right + kGroundMargin), std::floor(e.bottom - kGroundMargin));
    return WriteStreets() && WriteBuildings() && WriteAddresses() && WriteParks() && WriteRiver() && WriteSights() &&
           WriteTrack() && WriteGrid() && WritePicture() && WriteDocument();
}

std::string WithSeparator(std::string folder)
{
    if (folder.empty() || !IsPathSeparator(folder.back()))
        folder += '/';
    return folder;
}

} // namespace

bool CDemoMapWriter::Write(const CDemoTown& town, const std::string& folder, std::string& error)
{
    return CMapWriter(town, WithSeparator(folder), error).Write();
}

const std::vector<std::string>& CDemoMapWriter::FileNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> files = {kMapFile, ChangeExtensionCopy(kMapFile, "ini")};
        for (const char* gdb : {kStreetsFile, kBuildingsFile, kAddressesFile, kParksFile})
            for (const char* extension : {"gdb", "vec", "dbf", "spx"})
                files.push_back(ChangeExtensionCopy(gdb, extension));
        for (const char* extension : {"shp", "shx", "dbf"})
            files.push_back(ChangeExtensionCopy(kRiverFile, extension));
        for (const char* file : {kSightsFile, kTrackFile, kGridFile, kPictureFile, kWorldFile})
            files.push_back(file);
        return files;
    }();
    return names;
}

bool MakeDemoMap(const std::string& folder, const CDemoOptions& options, std::string& error)
{
    const std::string target = WithSeparator(folder);
    std::error_code ignored;
    const std::filesystem::path native = ResolvePath(target.substr(0, target.size() - 1));
    if (std::filesystem::exists(native, ignored) && !std::filesystem::is_directory(native, ignored)) {
        error = target.substr(0, target.size() - 1) + " is not a folder";
        return false;
    }
    if (!PathExists(target) && !MakeFolder(target)) {
        error = "cannot make the folder " + target;
        return false;
    }
    const std::string work = target + "~demo" + std::to_string(::getpid()) + "/";
    std::filesystem::remove_all(ResolvePath(work), ignored);
    if (!MakeFolder(work)) {
        error = "cannot make the folder " + work;
        return false;
    }
    const bool written = CDemoMapWriter::Write(CDemoTown::Generate(options), work, error);
    if (written) {
        // The old map goes only now, file by file, each replaced at once;
        // the map file and its settings last, so until then the old map
        // still opens.
        const std::vector<std::string>& names = CDemoMapWriter::FileNames();
        for (auto it = names.rbegin(); it != names.rend(); ++it) {
            const std::string& name = *it;
            const bool made = PathExists(work + name);
            if (made ? !RenameFile(work + name, target + name) : (PathExists(target + name) && !RemoveFile(target + name))) {
                error = "cannot put " + target + name + " in place";
                std::filesystem::remove_all(ResolvePath(work), ignored);
                return false;
            }
        }
    }
    std::filesystem::remove_all(ResolvePath(work), ignored);
    return written;
}
