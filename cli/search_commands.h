// The Search Module on the command line: `orvane search` runs a query over
// an index, `orvane list` lists the indexed files, `orvane demo` indexes the
// sample tree that ships with the program and searches it. They run the
// same engine as the window; messages go to standard error.
#pragma once

#include <string_view>

namespace orvane {

// Each takes the arguments after the command's name and returns the exit
// status.
//   search: 0 files found, 1 none, 2 refused query, unusable index or flags.
//   list:   0 listed, 2 when the index cannot be read or the flags are bad.
//   demo:   0 when every step worked.
int RunSearchCommand(int argc, char** argv);
int RunListCommand(int argc, char** argv);
int RunDemoCommand(int argc, char** argv);
//   why:    0 answered, 2 when the index cannot be read or the flags are
//           bad.
int RunWhyCommand(int argc, char** argv);

// The help text of search, list, why or demo; empty for another name.
std::string_view SearchCommandHelp(std::string_view command);

}  // namespace orvane
