// `orvane index`: "Create index file" or "List files" of the Index Module on
// the command line, from a settings file or from flags.
#pragma once

namespace orvane {

// Runs the command; argv holds the arguments after "index". Returns the
// exit status: 0 for a created index (or a listing, or saved settings), 1
// for a stopped or failed run, 2 for refused settings or arguments.
int RunIndexCommand(int argc, char** argv);

// Prints the explanation of every flag (`orvane help index`).
int PrintIndexHelp();

}  // namespace orvane
