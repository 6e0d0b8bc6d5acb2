#include "routing/PlanningTask.h"

#include "platform/Codepage.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string TrimBlanks(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

CPlanningTask::CPlanningTask()
    : routeField("Mar\xF0rutas"), flagField("Po\xFEymis"), numberField("Sust_nr"), timeField("Laikas")
{
}

bool CPlanningTask::LoadIni(const std::string& file)
{
    CIniFile ini(file);
    if (!ini.Load())
        return false;
    const auto text = [&](const char* section, const char* key, size_t cap) {
        return ini.GetString(section, key, "", cap);
    };
    flagField = text("Fields", "Flag", kTextCap);
    numberField = text("Fields", "Number", kTextCap);
    routeField = text("Fields", "Route", kTextCap);
    lengthField = text("Fields", "Length", kTextCap);
    arcLengthField = text("Fields", "ArcLength", kTextCap);
    priorityField = text("Fields", "Priority", kTextCap);
    streetsField = text("Fields", "Streets", kTextCap);
    addSeg = ini.GetInt("Task", "AddSeg", 0);
    useLinkWeight = ini.GetInt("Task", "UseLinkWeight", 1);
    taskId = ini.GetInt("Task", "TaskID", 0);
    routeValue = text("Task", "Route", kTextCap);
    inputFile = text("Task", "InputFile", kPathCap);
    timeField.clear();
    step = 1;
    return true;
}

int CPlanningTask::RunDialog()
{
    const auto& dialog = PlanningTaskDialog();
    return dialog ? dialog(*this) : 0;
}

void CPlanningTask::TakeDialogDefaults()
{
    lengthField.clear();
    arcLengthField.clear();
    streetsField.clear();
    addSeg = 0;
    taskId = 0;
}

std::function<int(CPlanningTask&)>& PlanningTaskDialog()
{
    static std::function<int(CPlanningTask&)> dialog;
    return dialog;
}

ETaskSelect SelectTaskPoints(const std::vector<CTaskRecord>& records, bool hasRouteField,
                             const std::string& routeValue, CTaskSelection& selection)
{
    selection = CTaskSelection();
    const size_t limit = std::min(records.size(), static_cast<size_t>(kMaxTaskPoints));
    // Remembered by record, so that moving one end cannot lose the other.
    int startRecord = -1, finishRecord = -1;
    bool hasStart = false, hasFinish = false;
    for (const CTaskRecord& record : records) {
        const char flag = record.flag.empty() ? 0 : LowerAscii(record.flag[0]);
        const bool taken = !hasRouteField || flag == 's' || flag == 'f'
                           || EqualsNoCase1257(TrimBlanks(record.route), routeValue);
        if (!taken)
            continue;
        if (selection.points.size() == limit) {
            selection = CTaskSelection();
            return ETaskSelect::kTooMany;
        }
        CTaskPoint point;
        point.position = record.position;
        point.record = record.record;
        point.number = record.number;
        point.flag = flag;
        if (flag == 's') {
            startRecord = record.record;
            hasStart = true;
        } else if (flag == 'f') {
            finishRecord = record.record;
            hasFinish = true;
        } else if (flag == '1') {
            selection.hasFixed = true;
        }
        selection.points.push_back(point);
    }
    auto& points = selection.points;
    if (points.size() < 2) {
        selection = CTaskSelection();
        return ETaskSelect::kTooFew;
    }
    const auto indexOf = [&](int record) {
        return std::find_if(points.begin(), points.end(), [&](const CTaskPoint& p) { return p.record == record; })
               - points.begin();
    };
    if (hasStart)
        std::swap(points.front(), points[static_cast<size_t>(indexOf(startRecord))]);
    if (hasFinish) {
        const auto finish = static_cast<size_t>(indexOf(finishRecord));
        if (finish != 0) {
            std::swap(points.back(), points[finish]);
            selection.hasFinish = true;
        }
    }
    return ETaskSelect::kOk;
}

int ResolvePlanningMode(int taskId, const CTaskSelection& selection, bool priorityNamed)
{
    const auto& points = selection.points;
    switch (taskId) {
    case -1:
    case 1:
        return selection.hasFixed && points.size() > 1 ? 1 : 0;
    case 2:
        if (!priorityNamed)
            return 0;
        for (size_t i = 2; i < points.size(); ++i)
            if (points[i].number != points[i - 1].number)
                return 2;
        return 0;
    case 3:
        return 3;
    default:
        return 0;
    }
}

std::string FormatClockTime(unsigned minutes)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u", minutes / 60 % 24, minutes % 60);
    return text;
}

int ParseClockTime(const std::string& text)
{
    unsigned hours = 0, minutes = 0;
    if (std::sscanf(text.c_str(), "%u:%u", &hours, &minutes) < 1)
        return 0;
    return static_cast<int>(hours % 24 * 60 + minutes % 60);
}

unsigned ArrivalMinute(int startTime, int k, int clientsPerHour)
{
    const double m = std::trunc(startTime + static_cast<double>(k) * 60.0 / clientsPerHour + 0.5);
    return m <= 0 ? 0u : static_cast<unsigned>(std::fmod(m, 1440.0));
}
