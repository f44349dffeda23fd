// celvio --training: the program on the simulated tester, in a training station.
#pragma once

namespace celvio {

struct CommandLine;

// Prepares the training station, starts the tester simulator on a pseudo-terminal of
// its own and runs the program there until it ends; returns the exit code.
int RunTraining(int argc, char* argv[], CommandLine& line);

}  // namespace celvio
