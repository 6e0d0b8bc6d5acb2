#pragma once

#include <string>

// Runs the external stop-order solver for orders of more than 15 stops: it
// reads the graph file and writes the tour file. The program installs none
// (the default starts the solver program beside the executable); tests
// install a double.
class ITourSolverRunner {
public:
    virtual ~ITourSolverRunner() = default;
    // Runs the solver on the two files (stored-form paths) and waits for it
    // to end. False when it could not be started.
    virtual bool Run(const std::string& graphFile, const std::string& tourFile) = 0;
};

// The solver program's file name in the program folder.
inline constexpr const char* kTourSolverProgram = "Kelto.exe";

ITourSolverRunner& TourSolverRunner();
// Installs a runner; null restores the default. The caller keeps ownership.
void SetTourSolverRunner(ITourSolverRunner* runner);
