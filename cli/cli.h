// The command line: `orvane SUBCOMMAND ...` runs the same engine as the
// windows, with messages on standard error.
#pragma once

namespace orvane {

// True when the arguments ask for the command line rather than the windows
// (any argument but the windows' own options).
bool IsCommandLineRequest(int argc, char** argv);

// The exit status of a run that an unexpected failure (a want of memory,
// or a bug) ended; its message goes to standard error. The commands' own
// statuses are 0 to 2.
inline constexpr int kUnexpectedFailureStatus = 70;

// Runs the command line and returns the program's exit status.
int RunCommandLine(int argc, char** argv);

}  // namespace orvane
