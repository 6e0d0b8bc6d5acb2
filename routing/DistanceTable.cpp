#include "routing/DistanceTable.h"

#include "core/DbfFieldInfo.h"
#include "core/DbfTable.h"
#include "core/FileUtil.h"
#include "platform/Path.h"

#include <climits>

namespace {
// The largest value an N(8,3) field holds.
constexpr double kLargestDistance = 9999.999;
} // namespace

std::string ProposeResultsPath(const std::string& pointsPath)
{
    size_t cut = pointsPath.size();
    while (cut > 0 && !IsPathSeparator(pointsPath[cut - 1]) && pointsPath[cut - 1] != ':')
        --cut;
    const std::string folder = pointsPath.substr(0, cut);
    for (int k = 1;; ++k) {
        std::string path = folder + "Results" + std::to_string(k) + ".dbf";
        if (!PathExists(path) || k == INT_MAX)
            return path;
    }
}

double MatrixDistanceKm(const std::vector<CMatrixPoint>& points, const CCostMatrix& costs, int row, size_t i, size_t j,
                        const std::function<double(const CMapPoint&, const CMapPoint&)>& km)
{
    const CMatrixPoint& a = points[i];
    const CMatrixPoint& b = points[j];
    if (a.node == b.node)
        return km(a.given, b.given);
    const int cost = costs.At(row, b.group);
    if (cost == INT_MAX)
        return -1;
    return km(a.given, a.snapped) + km(b.given, b.snapped) + cost * 0.001;
}

bool WriteDistanceTable(const std::string& path, const std::vector<std::string>& names,
                        const std::vector<CMatrixPoint>& points, const CCostMatrix& costs, bool full,
                        const std::function<double(const CMapPoint&, const CMapPoint&)>& km)
{
    CDbfFieldInfo fields[4];
    fields[0].Set("From", 'C', 16, 0);
    fields[1].Set("To", 'C', 16, 0);
    fields[2].Set("Dist", 'N', 8, 3);
    fields[3].Set("", 'C', 0, 0);
    const std::string work = MakeTildePath(path);
    CDbfTable table;
    if (!table.Create(work, fields, path))
        return false;
    const size_t sources = full ? points.size() : (points.empty() ? 0 : 1);
    for (size_t i = 0; i < sources; ++i) {
        const int row = full ? points[i].group : 0;
        for (size_t j = 0; j < points.size(); ++j) {
            if (j == i)
                continue;
            table.AppendBlank();
            table.SetField(0, i < names.size() ? names[i] : std::string());
            table.SetField(1, j < names.size() ? names[j] : std::string());
            const double distance = MatrixDistanceKm(points, costs, row, i, j, km);
            if (distance >= 0 && distance < kLargestDistance + 0.0005)
                table.SetFieldDouble(2, distance);
            if (!table.WriteRecord()) {
                table.Close();
                RemoveFile(work);
                return false;
            }
        }
    }
    table.Close();
    if (!RenameFile(work, path)) {
        RemoveFile(work);
        return false;
    }
    return true;
}
