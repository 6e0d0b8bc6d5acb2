#include "routing/TourSolverRunner.h"

#include "platform/AppFolders.h"
#include "platform/NumberText.h"
#include "platform/Process.h"

namespace {

// Starts the solver by its full path, never through the search path, so no
// other program of that name is run in its place.
class CProgramTourSolverRunner : public ITourSolverRunner {
public:
    bool Run(const std::string& graphFile, const std::string& tourFile) override
    {
        std::string arguments = FormatC("\"%s\" \"%s\"", graphFile.c_str(), tourFile.c_str());
        return StartProgram(GetProgramFolder() + kTourSolverProgram, arguments, true);
    }
};

CProgramTourSolverRunner g_defaultRunner;
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
