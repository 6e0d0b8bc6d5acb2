#include "geoproc/StreetBlocks.h"

#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "core/ShapeArray.h"
#include "geoproc/ClosedAreas.h"
#include "geoproc/GeoprocDialogs.h"
#include "geoproc/GeoprocFrame.h"
#include "geoproc/LineTopology.h"
#include "layers/FeatureSource.h"
#include "layers/GdbSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/ResultFiles.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Path.h"
#include "platform/UserServices.h"

#include <cmath>
#include <memory>
#include <utility>

namespace {

enum StreetBlockMessage : int {
    kLayerNameTaken = 1001,
    kCannotCreateFile = 1027,
    kNoStreetWidth = 1103,
    kReplaceFile = 2000,
};

// The width of each line in the temporary files: the chosen width of a
// street, 0 for the frame's lines.
constexpr char kWidthField[] = "_PLOTIS";
constexpr char kRegenerateFilter[] = "Tipas >= 0 .AND. Tipas <> 101";
constexpr char kLanesFilter[] = "Tipas = 7 .OR. Tipas = 9 .OR. Tipas = 101";
constexpr char kLanesFile[] = "gatveles.gdb";
constexpr double kRegenerateTolerance = 1.0;

struct CRemembered {
    std::string widthField = "Plotis";
    std::string frameLayer = Utf8ToCp1257("Rėmelis");
    double tolerance = 1.0;
};

CRemembered& Remembered()
{
    static CRemembered remembered;
    return remembered;
}

int FindNoCase(const std::vector<std::string>& names, const std::string& name)
{
    for (size_t i = 0; i < names.size(); ++i)
        if (EqualsNoCase1257(names[i], name))
            return static_cast<int>(i);
    return -1;
}

// The layer's own filter again when the scope ends, whatever was set.
class CFilterKeeper {
public:
    explicit CFilterKeeper(CLayer& layer) : m_layer(layer), m_filter(layer.GetFilter()) {}
    ~CFilterKeeper() { Restore(); }
    CFilterKeeper(const CFilterKeeper&) = delete;
    CFilterKeeper& operator=(const CFilterKeeper&) = delete;
    void Restore() { m_layer.SetFilter(m_filter); }

private:
    CLayer& m_layer;
    std::string m_filter;
};

// A result file that could not be made or take its name is told.
bool Told(bool done, const CResultFiles& files)
{
    if (!done)
        AppMessageBoxArg(kCannotCreateFile, files.GetPath(), MB_OK | MB_ICONWARNING);
    return done;
}

// The files of a temporary layer go when the scope ends.
class CTemporaryLayer {
public:
    explicit CTemporaryLayer(const CDrelDoc& document, const char* base)
    {
        std::string name;
        document.SuggestNewLayerNames(name, m_path, base);
    }
    ~CTemporaryLayer() { Remove(); }
    CTemporaryLayer(const CTemporaryLayer&) = delete;
    CTemporaryLayer& operator=(const CTemporaryLayer&) = delete;
    const std::string& GetPath() const { return m_path; }
    void Remove()
    {
        for (const std::string& file : CResultFiles::LayerFiles(m_path))
            if (FileExists(file))
                RemoveFile(file);
    }

private:
    std::string m_path;
};

// A result file of the blocks: a new layer of the map, or (regenerating)
// a file only. An empty path writes nowhere.
class CBlockOutput {
public:
    CBlockOutput(CDrelDoc& document, const std::string& name, const std::string& path, bool addLayer)
    {
        if (path.empty())
            return;
        if (addLayer) {
            CResultLayerChoice choice;
            choice.name = name;
            choice.path = path;
            choice.type = CLayer::kArea;
            // Dialog 30806 asked about a file there.
            choice.options.replaceConfirmed = true;
            m_layer = std::make_unique<CNewResultLayer>(document, std::move(choice),
                                                        CNewResultLayer::kCancelAddsNothing);
        } else {
            m_files = std::make_unique<CResultFiles>(path);
        }
    }
    bool Begin()
    {
        if (m_layer)
            return m_layer->Begin();
        return !m_files || Told(m_files->Reserve(), *m_files);
    }
    std::string GetWritePath() const
    {
        return m_layer ? m_layer->GetWritePath() : m_files ? m_files->GetWritePath() : std::string();
    }
    // kept: what a cancel in the tracing wrote stays; a cancel before it
    // wrote nothing.
    bool End(EOperationEnd end, bool kept)
    {
        if (end == EOperationEnd::kCancelled && kept)
            end = EOperationEnd::kDone;
        if (m_layer)
            return m_layer->End(end) != nullptr;
        if (!m_files)
            return true;
        if (end != EOperationEnd::kDone) {
            m_files->Discard();
            return false;
        }
        return Told(m_files->Commit(), *m_files);
    }

private:
    std::unique_ptr<CNewResultLayer> m_layer;
    std::unique_ptr<CResultFiles> m_files;
};

// The street lines the layer's filter passes, each with its width, then
// (the street layer's own filter back) the frame layer's lines, area
// rings as closed lines, with width 0, into a new GDB line file of the
// street table's fields and the width field.
EOperationEnd CopyNetwork(CLayer& streets, CFilterKeeper& filter, CLayer* frame, const CStreetBlockChoice& choice,
                          const std::string& path)
{
    CShapeArray lines;
    std::vector<int32_t> records;
    const bool loaded = LoadShapesIndexed(streets, lines, &records, nullptr) != 0;
    // The frame may be the street layer itself.
    filter.Restore();
    if (!loaded)
        return EOperationEnd::kFailed;
    CLayerReader reader;
    if (!reader.Open(streets.GetPath()))
        return EOperationEnd::kFailed;
    CFeatureSource& source = *reader.GetSource();
    CDbfTable& table = source.GetTable();
    std::vector<CDbfFieldInfo> fields;
    for (const CDbfFieldInfo& field : source.GetFieldInfos())
        if (field.length > 0 && !EqualsNoCase1257(field.name, kWidthField))
            fields.push_back(field);
    fields.push_back(CDbfFieldInfo().Set(kWidthField, 'N', 12, 3));
    fields.push_back(CDbfFieldInfo().Set("", 0, 0, 0));
    const int sourceWidth = choice.mode == 1 && table.IsOpen() ? table.FindField(choice.widthField) : -1;

    CGdbSource target;
    if (!target.Create(path, CFeatureSource::kLine, fields.data()))
        return EOperationEnd::kFailed;
    CDbfTable& out = target.GetTable();
    const int widthColumn = out.FindField(kWidthField);
    target.BeginWrites();
    std::string text;
    for (int i = 0; i < lines.GetSize(); ++i) {
        double width = choice.width;
        if (choice.mode == 1) {
            width = 0;
            const CDbfTable* record = source.GetRecordTable(records[static_cast<size_t>(i)]);
            if (!record)
                return EOperationEnd::kFailed;
            if (sourceWidth >= 0) {
                record->GetFieldText(sourceWidth, text, 64);
                width = AtofC(text);
            }
        } else if (table.IsOpen() && !source.GetRecordTable(records[static_cast<size_t>(i)])) {
            return EOperationEnd::kFailed;
        }
        if (!target.AppendShape(*lines[i], false))
            return EOperationEnd::kFailed;
        if (table.IsOpen())
            source.CopyAttributesTo(out);
        if (!out.SetFieldDouble(widthColumn, std::isfinite(width) && width > 0 ? width : 0) || !out.WriteRecord())
            return EOperationEnd::kFailed;
    }
    if (frame) {
        CShapeArray edges;
        if (!LoadShapesIndexed(*frame, edges, nullptr, nullptr))
            return EOperationEnd::kFailed;
        for (int i = 0; i < edges.GetSize(); ++i) {
            if (frame->GetType() == CLayer::kArea)
                edges[i]->CloseRings();
            if (!target.AppendShape(*edges[i], false) || !out.SetFieldDouble(widthColumn, 0) || !out.WriteRecord())
                return EOperationEnd::kFailed;
        }
    }
    if (!target.EndWrites())
        return EOperationEnd::kFailed;
    target.Close();
    return target.GetError() == CFeatureSource::kNoError ? EOperationEnd::kDone : EOperationEnd::kFailed;
}

// Steps from the chosen streets to the blocks and street surfaces.
// traced: the tracing ran, so a cancel keeps what it wrote.
EOperationEnd MakeBlocks(CLayer& streets, CDrelDoc& document, const CStreetBlockChoice& choice,
                         CBlockOutput& blocks, CBlockOutput& surfaces, bool& traced)
{
    traced = false;
    CTemporaryLayer network(document, "~~~");
    CTemporaryLayer links(document, "~~~~");
    EOperationEnd end = EOperationEnd::kFailed;
    {
        CFilterKeeper filter(streets);
        // Streets of no width of the chosen field take no part.
        if (choice.mode == 1 && streets.GetFilter().empty())
            streets.SetFilter(choice.widthField + " > 0");
        end = CopyNetwork(streets, filter, document.Layers().FindByName(choice.frameLayer), choice,
                          network.GetPath());
    }
    if (end != EOperationEnd::kDone)
        return end;
    CLayer networkLayer("~~~", network.GetPath(), CLayer::kLine);
    CTopologyOptions options;
    options.copyFields = 1;
    options.addCrossings = 1;
    options.tolerance = choice.tolerance;
    end = BuildTopology(networkLayer, document, links.GetPath(), options);
    network.Remove();
    if (end != EOperationEnd::kDone)
        return end;
    CStreetWidths widths;
    widths.field = kWidthField;
    document.GetMetresPerUnit(widths.mx, widths.my);
    if (!(widths.mx > 0) || !std::isfinite(widths.mx))
        widths.mx = 1;
    if (!(widths.my > 0) || !std::isfinite(widths.my))
        widths.my = 1;
    CLayer linkLayer("~~~~", links.GetPath(), CLayer::kLine);
    const std::string surfacePath = surfaces.GetWritePath();
    traced = true;
    return BuildAreasFromLines(linkLayer, document, blocks.GetWritePath(), false, &surfacePath, &widths);
}

// The street layer's topology and its lanes into the map's folder, by
// the layer's "Tipas"; a filter that does not compile is told once and
// stops both.
void RegenerateStreetFiles(CLayer& streets, CDrelDoc& document)
{
    CFilterKeeper filter(streets);
    const std::string folder = document.GetMapDirectory();
    streets.SetFilter(kRegenerateFilter);
    {
        CLayerReader probe;
        if (!probe.OpenLayer(&streets))
            return;
    }
    CResultFiles topology(folder + GetPathTitle(streets.GetPath()) + "_topo.gdb");
    if (!Told(topology.Reserve(), topology))
        return;
    CTopologyOptions options;
    options.copyFields = 1;
    options.addCrossings = 0;
    options.tolerance = kRegenerateTolerance;
    if (BuildTopology(streets, document, topology.GetWritePath(), options) != EOperationEnd::kDone ||
        !Told(topology.Commit(), topology))
        return;

    streets.SetFilter(kLanesFilter);
    CLayerReader reader;
    if (!reader.OpenLayer(&streets))
        return;
    CResultFiles lanes(folder + kLanesFile);
    if (!Told(lanes.Reserve(), lanes))
        return;
    bool copied = false;
    {
        CGdbSource target;
        copied = target.CreateFrom(lanes.GetWritePath(), *reader.GetSource(), false);
        target.Close();
    }
    if (copied)
        Told(lanes.Commit(), lanes);
}

} // namespace

CStreetBlockChoice CStreetBlockRules::Start()
{
    CStreetBlockChoice choice;
    choice.widthField = Remembered().widthField;
    choice.frameLayer = Remembered().frameLayer;
    choice.tolerance = Remembered().tolerance;
    return choice;
}

std::vector<std::string> CStreetBlockRules::WidthFields(const CDbfTable& table)
{
    std::vector<std::string> fields;
    for (int f = 0; f < table.GetFieldCount(); ++f) {
        const char type = table.GetFieldType(f);
        if (type == 'N' || type == 'F')
            fields.push_back(table.GetFieldName(f));
    }
    return fields;
}

std::vector<std::string> CStreetBlockRules::FrameLayers(const CDrelDoc& document)
{
    std::vector<std::string> names;
    for (int i = 0; i < document.GetLayerCount(); ++i) {
        const CLayer* layer = document.GetLayer(i);
        if (!layer->HasFlag(CLayer::kGroup) && (layer->GetType() == CLayer::kLine || layer->GetType() == CLayer::kArea))
            names.push_back(layer->GetName());
    }
    return names;
}

int CStreetBlockRules::ProposedField(const std::vector<std::string>& fields)
{
    return FindNoCase(fields, Remembered().widthField);
}

int CStreetBlockRules::ProposedFrame(const std::vector<std::string>& layers)
{
    return FindNoCase(layers, Remembered().frameLayer);
}

bool CStreetBlockRules::Accept(const CDrelDoc& document, CStreetBlockChoice& choice, int& focus)
{
    if (choice.mode == 0 ? !(choice.width > 0) || !std::isfinite(choice.width) : choice.widthField.empty()) {
        AppMessageBox(kNoStreetWidth, MB_OK | MB_ICONWARNING);
        focus = choice.mode == 0 ? kWidth : kWidthField;
        return false;
    }
    const std::pair<const std::string*, int> names[] = {{&choice.blockName, kBlockName},
                                                         {&choice.streetName, kStreetName}};
    for (const auto& [name, control] : names)
        if (!name->empty() && document.Layers().FindByName(*name)) {
            AppMessageBox(kLayerNameTaken, MB_OK | MB_ICONWARNING);
            focus = control;
            return false;
        }
    const std::pair<std::string*, int> files[] = {{&choice.blockPath, kBlockFile}, {&choice.streetPath, kStreetFile}};
    for (const auto& [path, control] : files) {
        if (path->empty())
            continue;
        *path = MakeAbsolutePath(*path, document.GetMapDirectory());
        if (FileExists(*path) && AppMessageBox(kReplaceFile, MB_YESNO | MB_ICONQUESTION) != IDYES) {
            focus = control;
            return false;
        }
    }
    if (choice.mode == 1)
        Remembered().widthField = choice.widthField;
    Remembered().frameLayer = choice.frameLayer;
    if (choice.tolerance >= 0 && choice.tolerance <= kMaxTolerance)
        Remembered().tolerance = choice.tolerance;
    return true;
}

int BuildStreetBlocks(CLayer& streets, CDrelDoc& document, bool regenerate)
{
    if (streets.HasFlag(CLayer::kGroup) || streets.HasFlag(CLayer::kManyFiles) ||
        streets.GetType() != CLayer::kLine)
        return 0;
    {
        CLayerReader probe;
        if (!probe.OpenLayer(&streets))
            return 0;
    }
    CStreetBlockChoice choice = CStreetBlockRules::Start();
    if (regenerate) {
        choice.blockName = "<None1>";
        choice.streetName = "<None2>";
    } else {
        document.SuggestNewLayerNames(choice.blockName, choice.blockPath, "Kvartalai");
        document.SuggestNewLayerNames(choice.streetName, choice.streetPath, "Gatvesp");
    }
    if (!GeoprocDialogs().AskStreetBlocks(document, streets, choice))
        return 0;

    if (!choice.blockPath.empty() || !choice.streetPath.empty()) {
        CBlockOutput blocks(document, choice.blockName, choice.blockPath, !regenerate);
        CBlockOutput surfaces(document, choice.streetName, choice.streetPath, !regenerate);
        if (!blocks.Begin() || !surfaces.Begin())
            return 0;
        bool traced = false;
        const EOperationEnd end = MakeBlocks(streets, document, choice, blocks, surfaces, traced);
        // The later one's message counter goes first.
        const bool surfacesKept = surfaces.End(end, traced);
        const bool blocksKept = blocks.End(end, traced);
        if (end != EOperationEnd::kDone || !blocksKept || !surfacesKept)
            return 0;
    }
    if (regenerate)
        RegenerateStreetFiles(streets, document);
    document.UpdateAllViews(kHintAll);
    return 1;
}
