#include "geoproc/MobileExport.h"

#include "core/DbfFieldInfo.h"
#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "core/Shape.h"
#include "core/ShapeArray.h"
#include "geoproc/GeoprocFrame.h"
#include "geoproc/LayerExport.h"
#include "geoproc/LineTopology.h"
#include "geoproc/MergeAdjacent.h"
#include "geoproc/Overlay.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerArray.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/ResultFiles.h"
#include "platform/AppFolders.h"
#include "platform/AppProfile.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "platform/UserServices.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr char kNoName[] = "Be pavadinimo";
constexpr char kRemovedAdded[] = "Pašalinta taškų: %d\nPridėta taškų: %d";
constexpr char kAdded[] = "Pridėta taškų: %d";
constexpr char kBlankDirections[] = "\nKryptis neįrašyta objektų: %d";
constexpr char kStreetFilterNoTopo[] =
    "(PG_NOTOPO = \"\") AND TIPAS <> 9 AND TIPAS <> 7 AND TIPAS <> 8 AND TIPAS <> 101 AND TIPAS <> -99";
constexpr char kStreetFilter[] = "TIPAS <> 9 AND TIPAS <> 7 AND TIPAS <> 8 AND TIPAS <> 101 AND TIPAS <> -99";
constexpr char kLabelFilter[] = "KODAS > 0";
constexpr char kMainStreetFilter[] = "IS_MAIN = \"1\"";
constexpr double kTopologyTolerance = 2.0;
constexpr double kThinTolerance = 1.0;
constexpr double kCitySegment = 150;
constexpr double kSegment = 100;

// The layer's filter replaced for the lifetime, the user's own put back.
class CFilterScope {
public:
    CFilterScope(CLayer& layer, std::string filter) : m_layer(layer), m_saved(layer.GetFilter())
    {
        layer.SetFilter(std::move(filter));
    }
    ~CFilterScope() { m_layer.SetFilter(m_saved); }
    CFilterScope(const CFilterScope&) = delete;
    CFilterScope& operator=(const CFilterScope&) = delete;

private:
    CLayer& m_layer;
    std::string m_saved;
};

// A file of the export written beside its name by the writer, which
// tells its own failures, and put in place only when it is complete.
bool WriteExportFile(const std::string& path, const std::function<bool(const std::string&)>& write)
{
    CResultFiles files(path);
    if (!files.Reserve()) {
        ShowExportError(path);
        return false;
    }
    if (!write(files.GetWritePath()))
        return false;
    if (!files.Commit()) {
        ShowExportError(path);
        return false;
    }
    return true;
}

// A work file beside the export's file, removed with the scope.
std::string WorkPath(const std::string& path, const char* title)
{
    return GetPathFolder(path) + title + ".gdb";
}

bool CreateTarget(CLayerReader& writer, const std::string& path, int type, const std::vector<CDbfFieldInfo>& fields)
{
    std::vector<CDbfFieldInfo> list = fields;
    list.emplace_back().Set("", 'C', 0, 0);
    return writer.CreateSource(path) && writer.GetSource()->Create(path, type, list.data());
}

bool CloseTarget(CFeatureSource& target)
{
    target.Close();
    return target.GetError() == CFeatureSource::kNoError;
}

bool IsLines(const CLayer* layer)
{
    return layer && layer->GetType() == CLayer::kLine && !layer->HasFlag(CLayer::kGroup);
}

bool IsSingleFileLines(const CLayer* layer)
{
    return IsLines(layer) && !layer->HasFlag(CLayer::kManyFiles);
}

// The trimmed text of the record's field; empty for a field that is not there.
std::string FieldText(CFeatureSource& source, int record, int field)
{
    std::string text;
    if (field >= 0)
        source.GetFieldText(record, field, text);
    return text;
}

double FieldNumber(CFeatureSource& source, int record, int field)
{
    return std::atof(FieldText(source, record, field).c_str());
}

long long FieldCode(CFeatureSource& source, int record, int field)
{
    return std::llround(FieldNumber(source, record, field));
}

// The text between the first "(" and the ")" after it.
std::string TownOf(const std::string& id)
{
    const size_t open = id.find('(');
    if (open == std::string::npos)
        return {};
    const size_t close = id.find(')', open + 1);
    return close == std::string::npos ? std::string() : id.substr(open + 1, close - open - 1);
}

CLayer* FindLayer(CDrelDoc& document, const char* utf8Name)
{
    return document.Layers().FindByName(Utf8ToCp1257(utf8Name));
}

bool PathHolds(const CDrelDoc& document, const char* city)
{
    return document.GetPathName().find(city) != std::string::npos;
}

// The layer's objects copied into the folder's file; a missing layer is
// told here, by the folder's file and not by the one written beside it.
void CopyLayerInto(CLayer* layer, const std::string& path)
{
    if (!CanCopyLayer(layer)) {
        ShowExportError(path);
        return;
    }
    WriteExportFile(path, [layer](const std::string& writePath) {
        return ExportLayerCopy(layer, writePath, nullptr, nullptr, nullptr, false);
    });
}

void ClipLayerInto(CLayer* layer, CLayer* areas, CDrelDoc& document, const std::string& path)
{
    if (!CanClipLayer(layer, areas)) {
        ShowExportError(path);
        return;
    }
    WriteExportFile(path, [&](const std::string& writePath) {
        return ExportClippedLayer(layer, areas, document, writePath, kOverlayClip);
    });
}

} // namespace

std::string StreetIdText(int number)
{
    return FormatC("06%06X", static_cast<unsigned>(number));
}

bool ExportStreetLines(CDrelDoc& document, CLayer* streets, const std::string& path)
{
    if (!IsSingleFileLines(streets)) {
        ShowExportError(path);
        return false;
    }
    bool noTopoField = false;
    {
        CDbfTable table;
        if (!streets->OpenTable(table))
            return false;
        noTopoField = table.FindField("PG_NOTOPO") >= 0;
    }
    CResultFiles topology(WorkPath(path, "~gat_topo"));
    if (!topology.Reserve()) {
        ShowExportError(path);
        return false;
    }
    {
        CFilterScope filter(*streets, noTopoField ? kStreetFilterNoTopo : kStreetFilter);
        CTopologyOptions options;
        options.copyFields = 1;
        options.tolerance = kTopologyTolerance;
        if (BuildTopology(*streets, document, topology.GetWritePath(), options) != EOperationEnd::kDone)
            return false;
    }
    const bool city = PathHolds(document, "Vilnius");
    int removed = 0, added = 0, blanks = 0;
    const bool written = WriteExportFile(path, [&](const std::string& writePath) {
        CLayerReader reader;
        if (!reader.Open(topology.GetWritePath()))
            return false;
        CFeatureSource& links = *reader.GetSource();
        const int nameField = links.GetTable().FindField("PAVADINIM");
        const int directionField = links.GetTable().FindField("KRYPTIS");
        std::vector<CDbfFieldInfo> fields(2);
        fields[0].Set("NAME", 'C', 30, 0);
        fields[1].Set("DIRECTION", 'N', 1, 0);
        CLayerReader writer;
        if (!CreateTarget(writer, writePath, CLayer::kLine, fields))
            return false;
        CFeatureSource& target = *writer.GetSource();
        CDbfTable& table = target.GetTable();
        CShape link;
        while (links.ReadNextShape(link)) {
            const int record = links.GetCurrentRecord();
            if (city) {
                removed += link.Generalize(kThinTolerance, 1, 1, 0);
                added += link.Densify(kCitySegment, 1, 1);
            } else {
                added += link.Densify(kSegment, 1, 1);
            }
            if (!target.AppendShape(link, false))
                return false;
            const std::string name = FieldText(links, record, nameField);
            table.SetField(0, name.empty() ? std::string(kNoName) : name);
            // A blank "KRYPTIS" counts as 0, as the table reads it.
            const double value = 3 - FieldNumber(links, record, directionField);
            // N(1) holds one digit; anything else would fail the write.
            if (directionField >= 0 && value >= 0 && value <= 9 && value == std::floor(value))
                table.SetFieldLong(1, static_cast<long>(value));
            else
                ++blanks;
            if (!table.WriteRecord())
                return false;
        }
        return links.GetError() == CFeatureSource::kNoError && CloseTarget(target);
    });
    if (!written)
        return false;
    std::string report = removed > 0 ? FormatC(kRemovedAdded, removed, added) : FormatC(kAdded, added);
    if (blanks > 0)
        report += FormatC(kBlankDirections, blanks);
    AppMessageBox(Utf8ToCp1257(report), MB_OK | MB_ICONINFORMATION);
    return true;
}

bool ExportStreetLabels(CLayer* streets, const std::string& path, CStreetIdMap& streetIds)
{
    if (!IsLines(streets)) {
        ShowExportError(path);
        return false;
    }
    CResultFiles copy(WorkPath(path, "~gatves"));
    if (!copy.Reserve()) {
        ShowExportError(path);
        return false;
    }
    {
        // A layer of several files comes file after file into the one copy.
        CFilterScope filter(*streets, kLabelFilter);
        if (!ExportLayerCopy(streets, copy.GetWritePath(), nullptr, nullptr, nullptr, false))
            return false;
    }
    CLayer lines("", copy.GetWritePath(), CLayer::kLine);
    CShapeArray shapes;
    std::vector<int32_t> records;
    std::vector<int> joinedInto;
    if (!LoadShapesIndexed(lines, shapes, &records, nullptr) ||
        !MergeAdjacentLines(lines, shapes, records, "KODAS", &joinedInto))
        return false;
    CLayerReader reader;
    if (!reader.Open(copy.GetWritePath()))
        return false;
    CFeatureSource& source = *reader.GetSource();
    const CDbfTable& sourceTable = source.GetTable();
    const int codeField = sourceTable.FindField("KODAS");
    const int nameField = sourceTable.FindField("PAVADINIM");
    const int noNameField = sourceTable.FindField("PG_NONAME");
    const int idField = sourceTable.FindField("ID");
    // The joined lines of which some piece carries its name; a line is
    // only ever joined to a later one, so one pass carries it to the end.
    std::vector<char> named(records.size(), 0);
    for (size_t i = 0; i < records.size(); ++i) {
        if (noNameField < 0 || FieldNumber(source, records[i], noNameField) == 0)
            named[i] = 1;
        if (named[i] && i < joinedInto.size() && joinedInto[i] >= 0)
            named[static_cast<size_t>(joinedInto[i])] = 1;
    }

    return WriteExportFile(path, [&](const std::string& writePath) {
        std::vector<CDbfFieldInfo> fields(4);
        fields[0].Set("LABEL", 'C', 30, 0);
        fields[1].Set("NAME", 'C', 30, 0);
        fields[2].Set("TOWN", 'C', 30, 0);
        fields[3].Set("ID", 'C', 8, 0);
        CLayerReader writer;
        if (!CreateTarget(writer, writePath, CLayer::kLine, fields))
            return false;
        CFeatureSource& target = *writer.GetSource();
        CDbfTable& table = target.GetTable();
        int number = 0;
        for (int i = 0; i < shapes.GetSize(); ++i) {
            const CShape& shape = *shapes[i];
            const int record = records[static_cast<size_t>(i)];
            const long long code = FieldCode(source, record, codeField);
            if (shape.GetPointCount() == 0 || !named[static_cast<size_t>(i)])
                continue;
            if (!target.AppendShape(shape, false))
                return false;
            const std::string name = FieldText(source, record, nameField);
            table.SetField(0, name);
            table.SetField(1, name);
            table.SetField(2, TownOf(FieldText(source, record, idField)));
            table.SetField(3, StreetIdText(number));
            if (!table.WriteRecord())
                return false;
            streetIds[code] = number++;
        }
        return CloseTarget(target);
    });
}

bool ExportAddresses(CLayer* addresses, const std::string& path, const CStreetIdMap& streetIds)
{
    if (!addresses || addresses->HasFlag(CLayer::kGroup) ||
        (addresses->GetType() != CLayer::kPoint && addresses->GetType() != CLayer::kTrack)) {
        ShowExportError(path);
        return false;
    }
    CLayerReader reader;
    if (!reader.OpenLayer(addresses)) {
        ShowExportError(path);
        return false;
    }
    CFeatureSource& source = *reader.GetSource();
    const CDbfTable& sourceTable = source.GetTable();
    const int textField = sourceTable.FindField("UZRASAS");
    const int codeField = sourceTable.FindField("G_KODAS");
    const int numberField = sourceTable.FindField("NR");
    if (textField < 0 || codeField < 0 || numberField < 0) {
        ShowExportError(path);
        return false;
    }
    const int letterField = sourceTable.FindField("RAIDE");
    const int code2Field = sourceTable.FindField("G_KODAS2");
    const int number2Field = sourceTable.FindField("NR2");
    const int letter2Field = sourceTable.FindField("RAIDE2");

    return WriteExportFile(path, [&](const std::string& writePath) {
        std::vector<CDbfFieldInfo> fields(5);
        fields[0].Set("NAME", 'C', 8, 0);
        fields[1].Set("NOMER", 'C', 4, 0);
        fields[2].Set("DROB", 'C', 4, 0);
        fields[3].Set("KORPUS", 'C', 2, 0);
        fields[4].Set("IDULITSY", 'C', 8, 0);
        CLayerReader writer;
        if (!CreateTarget(writer, writePath, CLayer::kPoint, fields))
            return false;
        CFeatureSource& target = *writer.GetSource();
        CDbfTable& table = target.GetTable();
        const auto write = [&](const CMapPoint& point, const std::string& name, const std::string& number,
                               const std::string& other, int street) {
            if (!target.AppendPoint(point, false))
                return false;
            table.SetField(0, name);
            table.SetField(1, number);
            table.SetField(2, other);
            table.SetField(4, StreetIdText(street));
            return table.WriteRecord();
        };
        CMapPoint point;
        while (source.ReadNextPoint(point)) {
            const int record = source.GetCurrentRecord();
            const std::string name = FieldText(source, record, textField);
            const std::string number =
                FieldText(source, record, numberField).substr(0, 3) + FieldText(source, record, letterField).substr(0, 1);
            const std::string number2 = FieldText(source, record, number2Field).substr(0, 3) +
                                        FieldText(source, record, letter2Field).substr(0, 1);
            const bool hasNumber = FieldNumber(source, record, numberField) != 0;
            const bool hasNumber2 = number2Field >= 0 && FieldNumber(source, record, number2Field) != 0;
            const auto street = streetIds.find(FieldCode(source, record, codeField));
            if (street != streetIds.end() &&
                !write(point, name, number, hasNumber2 ? number2 : std::string(), street->second))
                return false;
            const long long code2 = code2Field >= 0 ? FieldCode(source, record, code2Field) : 0;
            const auto street2 = code2 != 0 ? streetIds.find(code2) : streetIds.end();
            if (street2 != streetIds.end() &&
                !write(point, name, number2, hasNumber ? number : std::string(), street2->second))
                return false;
        }
        return source.GetError() == CFeatureSource::kNoError && CloseTarget(target);
    });
}

std::string MobileExportFolder()
{
    std::string folder = CAppProfile::Instance().GetString("MobileExport", "Folder");
    if (folder.empty())
        folder = GetUserFolder() + "temp/";
    if (folder.back() != '/' && folder.back() != '\\')
        folder += '/';
    return folder;
}

void PrepareMobileData(CDrelDoc& document)
{
    const std::string folder = MobileExportFolder();
    MakeFolders(folder);
    CLayer* streets = document.GetStreetsLayer();
    {
        CStreetIdMap streetIds;
        ExportStreetLabels(streets, folder + "gatves.gdb", streetIds);
        ExportAddresses(FindLayer(document, "Adresai"), folder + "adresai.gdb", streetIds);
    }
    ExportStreetLines(document, streets, folder + "gat_topo.gdb");

    struct CFileOfLayer {
        const char* file;
        const char* layer;
    };
    constexpr CFileOfLayer kCopies[] = {
        {"p_upes.gdb", "Pagrindinės upės"}, {"temp.gdb", "Miesto riba"},   {"baznyc.gdb", "Bažnyčios"},
        {"gelezink.gdb", "Geležinkeliai"},  {"linijos.gdb", "Linijos"},    {"pastatai.gdb", "Pastatai"},
        {"stadion.gdb", "Stadionai"},       {"tiltai.gdb", "Tiltai"},      {"upeliai.gdb", "Upeliai"},
        {"gyd_ist.gdb", "Gydymo įstaigos"},
    };
    for (const CFileOfLayer& copy : kCopies)
        CopyLayerInto(FindLayer(document, copy.layer), folder + copy.file);

    constexpr CFileOfLayer kPointsOfInterest[] = {
        {"St_aikst.gdb", "POI-stovėjimo aikštelės"}, {"Bankai.gdb", "POI-bankai"},
        {"Degalin.gdb", "POI-degalinės"},            {"Kavines.gdb", "POI-kavinės"},
        {"pc.gdb", "POI-prekybos centrai"},          {"Restoran.gdb", "POI-restoranai"},
        {"Viesb.gdb", "POI-viešbučiai"},
    };
    CLayer* frame = FindLayer(document, "Rėmelis");
    for (const CFileOfLayer& clip : kPointsOfInterest)
        ClipLayerInto(FindLayer(document, clip.layer), frame, document, folder + clip.file);

    if (CLayer* main = FindLayer(document, "Gatvės")) {
        CFilterScope filter(*main, kMainStreetFilter);
        CopyLayerInto(main, folder + "p_gatves.gdb");
    } else {
        ShowExportError(folder + "p_gatves.gdb");
    }

    constexpr CFileOfLayer kQuarters[] = {
        {"aikstel.gdb", "Aikštelės"},           {"kapines.gdb", "Kapinės"},
        {"gyvenami.gdb", "Gyvenamieji kvartalai"}, {"kvartalai.gdb", "Kvartalų ribos"},
        {"pramon.gdb", "Pramoniniai kvartalai"}, {"zali.gdb", "Žalieji plotai"},
        {"sodai.gdb", "Sodai"},                  {"vandenys.gdb", "Vandenys"},
    };
    const bool copies = PathHolds(document, "Kaunas");
    CLayer* quarters = FindLayer(document, "Kvartalų ribos");
    for (const CFileOfLayer& quarter : kQuarters) {
        if (copies)
            CopyLayerInto(FindLayer(document, quarter.layer), folder + quarter.file);
        else
            ClipLayerInto(FindLayer(document, quarter.layer), quarters, document, folder + quarter.file);
    }
}
