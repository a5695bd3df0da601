#pragma once

namespace tw::cli {

// Runs the command the arguments name, without a window, and gives the exit status.
int runCommandLine(int argc, char* argv[]);

}  // namespace tw::cli
