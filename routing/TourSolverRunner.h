#pragma once

#include <string>
#include <string_view>

// Runs the stop-order solver for orders of more than 15 stops: it reads the
// graph file and writes the tour file. The default is the program's own
// solver, run in this process (routing/TourFileSolver.h); tests install
// doubles.
class ITourSolverRunner {
public:
    virtual ~ITourSolverRunner() = default;
    // Runs the solver on the two files (stored-form paths) and waits for it
    // to end. False when it could not be started.
    virtual bool Run(const std::string& graphFile, const std::string& tourFile) = 0;
    // The same on the texts of the two files, for a runner that needs no
    // files; false when it cannot, and the caller then writes the files.
    virtual bool RunOnTexts(std::string_view graph, std::string& tour) { return false; }
};

ITourSolverRunner& TourSolverRunner();
// Installs a runner; null restores the default. The caller keeps ownership.
void SetTourSolverRunner(ITourSolverRunner* runner);
