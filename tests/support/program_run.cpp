#include "tests/support/program_run.h"

#include <sys/wait.h>

#include <cstdio>

#include "tests/support/temp_tree.h"

namespace orvane::testing {

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

Outcome RunShellCommand(const std::string& command, const std::string& err_path) {
  Outcome run;
  std::FILE* pipe = popen((command + " 2>" + Quote(err_path)).c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = ReadFileBytes(err_path);
  return run;
}

}  // namespace orvane::testing
