// Start-up: the command line when there are arguments, otherwise the application object, its
// look and the one window, shown and run until it closes. The program and its start-up probe
// share it, so that the probe measures the very start-up that users get.
#pragma once

#include <functional>

class TMainForm;

// Runs the program with these arguments and returns its exit code. `beforeShow` sees the composed
// window just before it is first shown.
int RunTourwise(int& argc, char** argv, const std::function<void(TMainForm&)>& beforeShow = {});
