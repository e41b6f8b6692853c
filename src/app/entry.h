// The program's entry: creates the program state and runs the start-up, the main loop and the shutdown.
#pragma once

// Never returns normally: the run ends through platform::endProcess.
int tandrelMain();
