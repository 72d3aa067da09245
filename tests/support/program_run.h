// Running a program through the shell in a test: its exit status, standard
// output and standard error.
#ifndef ORVANE_TESTS_SUPPORT_PROGRAM_RUN_H_
#define ORVANE_TESTS_SUPPORT_PROGRAM_RUN_H_

#include <string>

namespace orvane::testing {

struct Outcome {
  int status = -1;  // the exit status; -1 when the program did not exit
  std::string out;
  std::string err;
};

// arg in single quotes, safe for the shell whatever it holds.
std::string Quote(const std::string& arg);

// Runs command (already quoted) with its standard error sent to err_path,
// which is read back into the outcome.
Outcome RunShellCommand(const std::string& command, const std::string& err_path);

}  // namespace orvane::testing

#endif  // ORVANE_TESTS_SUPPORT_PROGRAM_RUN_H_
