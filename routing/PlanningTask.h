#pragma once

#include "core/MapPoint.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CLayer;

// The parameters of one client-visit run: which points of the task layer
// form the route, which fields hold the flags and take the stop numbers,
// times, lengths and street lists, and how the stops are ordered.
// Text is code page 1257.
class CPlanningTask {
public:
    // Ini strings keep at most this many characters; the input file more.
    static constexpr size_t kTextCap = 20;
    static constexpr size_t kPathCap = 260;

    CPlanningTask();
    virtual ~CPlanningTask() = default;

    // Reads [Fields] and [Task] of an ini file (a stored-form path). Every
    // field name the file does not give becomes empty, the time field is
    // emptied and the numbering step set to 1. False when the file cannot
    // be read.
    bool LoadIni(const std::string& file);
    // Dialog 310 (PlanningTaskDialog); 1 on OK, 0 on cancel or without one.
    int RunDialog();
    // What OK of dialog 310 leaves besides its values: no lengths or street
    // lists, no connectors, free order.
    void TakeDialogDefaults();

    int useLinkWeight = 0;
    int addSeg = 0;
    // -1 and 1: fixed points when there are any, else free; 0 free;
    // 2 priority levels; 3 the given numbers.
    int taskId = 0;
    CLayer* layer = nullptr; // borrowed
    std::string routeField;
    std::string flagField;
    std::string numberField;
    std::string timeField;
    std::string lengthField;
    std::string arcLengthField;
    std::string priorityField;
    std::string streetsField;
    std::string routeValue;
    int startTime = 480; // minutes after midnight
    int reserved = 10;
    int step = 10;
    int clientsPerHour = 10;
    // The point file of an ini task.
    std::string inputFile;
};

// The dialog that edits a task; set by the routing widgets.
std::function<int(CPlanningTask&)>& PlanningTaskDialog();

// One point of a run.
struct CTaskPoint {
    CMapPoint position;
    CMapPoint snapped;
    int record = 0;
    int number = 0;
    int node = 0;
    int group = 0;
    double legKm = 0; // the leg arriving here
    char flag = 0;
};

// What the run reads of one record of the task layer.
struct CTaskRecord {
    CMapPoint position;
    int record = 0;
    int number = 0;
    std::string flag;  // the flag field's text
    std::string route; // the route field's text
};

struct CTaskSelection {
    std::vector<CTaskPoint> points; // the start first, a finish last
    bool hasFinish = false;
    bool hasFixed = false;
};

enum class ETaskSelect { kOk, kTooMany, kTooFew };

// More points than this are refused.
constexpr int kMaxTaskPoints = 1000;

// The points of the route: every record when hasRouteField is false, else
// those whose route text (blanks trimmed) equals routeValue ignoring case,
// and always the start ('s') and finish ('f') points (flags lower-cased).
// The last start goes to the front and the last finish, unless it stands
// first after that, to the end. kTooMany when more than min(records,
// kMaxTaskPoints) are taken, kTooFew below two; selection is then empty.
ETaskSelect SelectTaskPoints(const std::vector<CTaskRecord>& records, bool hasRouteField,
                             const std::string& routeValue, CTaskSelection& selection);

// The ordering mode a run uses for taskId (see CPlanningTask).
int ResolvePlanningMode(int taskId, const CTaskSelection& selection, bool priorityNamed);

// "HH:MM" of minutes after midnight, hours wrapping at 24.
std::string FormatClockTime(unsigned minutes);
// Minutes of "HH:MM": (hours mod 24) * 60 + minutes mod 60; 0 for what
// does not start as a time.
int ParseClockTime(const std::string& text);
// The arrival minute of the k-th visited point (k from 0); clientsPerHour
// must be positive.
unsigned ArrivalMinute(int startTime, int k, int clientsPerHour);
