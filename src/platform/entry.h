// The program's entry, which the platform's own entry point (WinMain) calls: defined by the
// program above the platform, declared here so that the platform never includes it.
#pragma once

// Creates the program state and runs the start-up, the main loop and the shutdown; never returns
// normally: the run ends through platform::endProcess.
int tandrelMain();
