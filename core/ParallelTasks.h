#pragma once

#include <functional>

// Runs task(0) .. task(count - 1), on the calling thread and on a few
// threads kept for the purpose, and returns when every one has run. For
// short independent work such as reads scattered over a file, where each
// read waits on memory more than on the processor. Tasks must not throw;
// a task may not call RunTasks itself.
void RunTasks(int count, const std::function<void(int)>& task);

// The threads RunTasks may use besides the caller's.
int TaskWorkerCount();
