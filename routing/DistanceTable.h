#pragma once

#include "routing/CostMatrix.h"
#include "routing/RouteNetwork.h"

#include <functional>
#include <string>
#include <vector>

// The first "Results<k>.dbf" (k = 1, 2, ...) that does not exist in the
// folder of pointsPath.
std::string ProposeResultsPath(const std::string& pointsPath);

// Kilometres from point i to point j of a computed matrix (row i of costs
// when full, else row 0): the direct distance on one node, else both gaps
// and the road. Negative when the network has no path between them.
double MatrixDistanceKm(const std::vector<CMatrixPoint>& points, const CCostMatrix& costs, int row, size_t i, size_t j,
                        const std::function<double(const CMapPoint&, const CMapPoint&)>& km);

// Writes the table "From" C(16), "To" C(16), "Dist" N(8,3) of the distances
// from every point (only the first unless full) to every other one, in
// point order; "Dist" stays blank where there is no path or the distance
// does not fit. The table is written beside path and put in its place only
// when complete. False (the table's message shown) when it cannot be made.
bool WriteDistanceTable(const std::string& path, const std::vector<std::string>& names,
                        const std::vector<CMatrixPoint>& points, const CCostMatrix& costs, bool full,
                        const std::function<double(const CMapPoint&, const CMapPoint&)>& km);
