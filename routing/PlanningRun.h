#pragma once

#include "routing/PlanningTask.h"

#include <memory>
#include <string>
#include <vector>

class CLayer;
class CShape;

// The last steps of a client-visit run, points in visiting order.

// Into the task layer's table, record by record: the stop numbers (0,
// step, 2 x step, ...) into numberField, the arrival times (with a time
// field and clients per hour above 0), the route's length (with the
// connectors both ways), each arriving leg's length with its connectors
// (connectors[k] in km, 0 without AddSeg) and, from the second point on,
// the arriving leg's street list.
void WritePlanningBack(CLayer& layer, const CPlanningTask& task, const std::string& numberField,
                       const std::vector<CTaskPoint>& points, const std::vector<double>& connectors,
                       double routeLength, const std::vector<std::string>& streetLists);
// "Results_l.gdb" with the legs and connectors and "Results_p.gdb" with a
// copy of every point the run took and its record, in the user folder.
void WritePlanningResults(CLayer& layer, const std::vector<CTaskPoint>& points,
                          const std::vector<std::unique_ptr<CShape>>& legs);
