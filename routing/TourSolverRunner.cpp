#include "routing/TourSolverRunner.h"

#include "routing/TourFileSolver.h"

namespace {

// The solver always runs; when it finds no tour it leaves the tour file
// empty, which the caller reports.
class CInProcessTourSolverRunner : public ITourSolverRunner {
public:
    bool Run(const std::string& graphFile, const std::string& tourFile) override
    {
        SolveTourFiles(graphFile, tourFile);
        return true;
    }
    // In this process the texts need not go through files.
    bool RunOnTexts(std::string_view graph, std::string& tour) override
    {
        SolveTourGraph(graph, tour);
        return true;
    }
};

CInProcessTourSolverRunner g_defaultRunner;
ITourSolverRunner* g_runner = &g_defaultRunner;

} // namespace

ITourSolverRunner& TourSolverRunner()
{
    return *g_runner;
}

void SetTourSolverRunner(ITourSolverRunner* runner)
{
    g_runner = runner ? runner : &g_defaultRunner;
}
