#include "routing/PredecessorMatrix.h"

bool CPredecessorMatrix::GetLeg(int row, int source, int target, std::vector<int>& edges) const
{
    edges.clear();
    const int columns = GetColumnCount();
    if (row < 0 || row >= GetRowCount() || source < 0 || source >= columns || target < 0 || target >= columns)
        return false;
    const CRouteStep* steps = GetRow(row);
    // A tree has at most columns - 1 steps; more means a row that was never
    // filled by a search from this source.
    for (int node = target; node != source;) {
        const CRouteStep& step = steps[node];
        if (step.previous < 0 || step.previous >= columns || static_cast<int>(edges.size()) >= columns) {
            edges.clear();
            return false;
        }
        edges.push_back(step.edge);
        node = step.previous;
    }
    return true;
}
