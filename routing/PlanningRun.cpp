#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "core/Shape.h"
#include "core/ShapeArray.h"
#include "geoproc/GeoprocFrame.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "mapdoc/DrelView.h"
#include "platform/AppFolders.h"
#include "platform/IniFile.h"
#include "platform/UserServices.h"
#include "routing/PlanningRun.h"
#include "routing/PlanningTask.h"
#include "routing/RouteNetwork.h"
#include "routing/RoutePoints.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kCannotOpen = 1007;
constexpr int kTooManyPoints = 1082;
const char kIniName[] = "mplan.ini";
const char kResultLines[] = "Results_l.gdb";
const char kResultPoints[] = "Results_p.gdb";

// Every point of the layer with what the selection reads of its record;
// hasRouteField tells whether the route field exists. False, after
// message 1007, when the layer cannot be read.
bool ReadTaskRecords(CLayer& layer, const CPlanningTask& task, const std::string& numberField,
                     std::vector<CTaskRecord>& records, bool& hasRouteField)
{
    CLayerReader reader;
    if (!reader.OpenLayer(&layer)) {
        AppMessageBoxArg(kCannotOpen, layer.GetPath());
        return false;
    }
    CFeatureSource& source = *reader.GetSource();
    const CDbfTable& table = source.GetTable();
    const auto field = [&](const std::string& name) { return name.empty() ? -1 : table.FindField(name); };
    const int route = field(task.routeField), flag = field(task.flagField), number = field(numberField);
    hasRouteField = route >= 0;
    CMapPoint point;
    std::string text;
    while (source.ReadNextPoint(point)) {
        CTaskRecord record;
        record.position = point;
        record.record = source.GetCurrentRecord();
        if (!source.GetRecordTable(record.record))
            return false;
        if (number >= 0 && table.GetFieldString(number, text))
            record.number = static_cast<int>(std::atol(text.c_str()));
        if (flag >= 0)
            table.GetFieldString(flag, record.flag);
        if (route >= 0)
            table.GetFieldString(route, record.route);
        records.push_back(std::move(record));
    }
    return true;
}

// The connector from each point to the network, in km, with AddSeg.
std::vector<double> ConnectorLengths(const CRouteNetwork& network, const std::vector<CTaskPoint>& points, bool addSeg)
{
    std::vector<double> km(points.size(), 0.0);
    if (addSeg)
        for (size_t i = 0; i < points.size(); ++i)
            km[i] = network.DistanceKm(points[i].position, points[i].snapped);
    return km;
}

} // namespace

void WritePlanningBack(CLayer& layer, const CPlanningTask& task, const std::string& numberField,
                       const std::vector<CTaskPoint>& points, const std::vector<double>& connectors,
                       double routeLength, const std::vector<std::string>& streetLists)
{
    CDbfTable table;
    if (!layer.OpenTable(table))
        return;
    const auto field = [&](const std::string& name) { return name.empty() ? -1 : table.FindField(name); };
    const int number = field(numberField), time = field(task.timeField), length = field(task.lengthField),
              arc = field(task.arcLengthField), streets = field(task.streetsField);
    double total = routeLength;
    for (double km : connectors)
        total += 2 * km;
    int running = 0;
    for (size_t k = 0; k < points.size(); ++k) {
        const CTaskPoint& p = points[k];
        if (!table.GoToRecord(p.record))
            return;
        table.SetFieldLong(number, running);
        running += task.step;
        // No count of clients per hour, no times.
        if (time >= 0 && task.clientsPerHour > 0)
            table.SetField(time, FormatClockTime(ArrivalMinute(task.startTime, static_cast<int>(k), task.clientsPerHour)));
        table.SetFieldDouble(length, total);
        if (arc >= 0) {
            const double leg = k == 0 ? 0.0 : p.legKm + connectors[k - 1] + connectors[k];
            table.SetFieldDouble(arc, leg);
        }
        if (streets >= 0 && k > 0 && k - 1 < streetLists.size())
            table.SetField(streets, streetLists[k - 1]);
        if (!table.WriteRecord())
            return;
    }
}

void WritePlanningResults(CLayer& layer, const std::vector<CTaskPoint>& points, const std::vector<std::unique_ptr<CShape>>& legs)
{
    const std::string linePath = WritableProgramFile(kResultLines);
    CLayerReader lines;
    if (lines.CreateSource(linePath) && lines.GetSource()->Create(linePath, CLayer::kLine, nullptr)) {
        for (const auto& leg : legs)
            if (leg->GetPointCount() > 0 && !lines.GetSource()->AppendShape(*leg, true))
                break;
        lines.GetSource()->Close();
    }
    CShapeArray stops;
    std::vector<int32_t> records;
    for (const CTaskPoint& p : points) {
        auto shape = std::make_unique<CShape>();
        shape->SetPoints(1, &p.position);
        shape->RecalcBounds();
        stops.Add(std::move(shape));
        records.push_back(p.record);
    }
    WriteShapesToFile(layer, WritableProgramFile(kResultPoints), CLayer::kPoint, stops, &records);
}

int CRoutePoints::RunPlanning(CPlanningTask& task, CDrelView& view)
{
    Clear(view);
    view.Invalidate();
    if (!task.layer)
        return 0;
    CWaitCursor wait;
    CLayer& layer = *task.layer;
    const std::string& numberField =
        task.taskId == 2 && !task.priorityField.empty() ? task.priorityField : task.numberField;
    std::vector<CTaskRecord> records;
    bool hasRouteField = false;
    if (!ReadTaskRecords(layer, task, numberField, records, hasRouteField) || records.empty())
        return 0;
    CTaskSelection selection;
    switch (SelectTaskPoints(records, hasRouteField, task.routeValue, selection)) {
    case ETaskSelect::kTooMany:
        AppMessageBox(kTooManyPoints, MB_OK | MB_ICONWARNING);
        return 0;
    case ETaskSelect::kTooFew:
        return 0;
    case ETaskSelect::kOk:
        break;
    }
    std::vector<CTaskPoint>& points = selection.points;
    const int mode = ResolvePlanningMode(task.taskId, selection, !task.priorityField.empty());

    CRouteNetwork network;
    if (!network.LoadSettings(view.GetDocument()))
        return 0;
    if (m_source)
        network.SetLayerSource(m_source);
    if (!task.useLinkWeight) {
        CRouteFields fields = network.GetFields();
        fields.weightField.clear();
        network.SetFields(fields);
    }
    std::unique_ptr<IProgress> progress = UserServices().CreateProgress(0);
    network.progress = progress.get();
    if (!network.PlanRoute(points, mode, !selection.hasFinish))
        return 0;
    progress.reset();

    const std::vector<double> connectors = ConnectorLengths(network, points, task.addSeg != 0);
    std::vector<std::unique_ptr<CShape>> shown;
    if (task.addSeg) {
        for (const CTaskPoint& p : points) {
            auto connector = std::make_unique<CShape>();
            const CMapPoint ends[2] = {p.position, p.snapped};
            connector->SetPoints(2, ends);
            connector->RecalcBounds();
            shown.push_back(std::move(connector));
        }
    }
    for (auto& leg : network.legs)
        shown.push_back(std::move(leg));
    network.legs.clear();
    ShowLegs(view, shown, network.totalLength);

    WritePlanningBack(layer, task, numberField, points, connectors, network.totalLength, network.names);
    WritePlanningResults(layer, points, shown);

    // One marker for start and finish on the first point, then one for
    // every place not marked yet.
    m_model.Clear();
    const int serial = m_model.NextSerial();
    m_model.Store(CRoutePointsModel::kStart, points.front().snapped, serial);
    m_model.Store(CRoutePointsModel::kFinish, points.front().snapped, serial);
    for (size_t i = 1; i < points.size(); ++i) {
        bool marked = false;
        for (int k = 0; k < m_model.GetCount() && !marked; ++k)
            marked = m_model.Get(k)->position == points[i].snapped;
        if (!marked)
            m_model.Store(m_model.GetCount(), points[i].snapped, m_model.NextSerial());
    }
    view.Invalidate();
    return 1;
}

int CRoutePoints::RunPlanningFromIni(CDrelView& view)
{
    const std::string ini = FindProgramFile(kIniName);
    CPlanningTask task;
    if (!task.LoadIni(ini))
        return 0;
    std::string folder = ini.substr(0, ini.find_last_of("/\\") + 1);
    CLayer points("", MakeAbsolutePath(task.inputFile, folder), CLayer::kPoint);
    task.layer = &points;
    return RunPlanning(task, view);
}

int CRoutePoints::RunRoundTrip(CLayer& layer, CDrelView& view)
{
    static CPlanningTask task;
    task.layer = &layer;
    task.useLinkWeight = 1;
    const int ran = task.RunDialog() == 1 ? RunPlanning(task, view) : 0;
    task.layer = nullptr;
    return ran;
}
