#include "engine/common/open_command.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <vector>

extern char** environ;

namespace orvane {

std::optional<std::string> OpenCommandFromEnvironment() {
  const char* value = std::getenv("ORVANE_OPEN");
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

int RunOpenCommand(const std::string& command, const std::string& target) {
  std::vector<char*> argv = {const_cast<char*>(command.c_str()),
                             const_cast<char*>(target.c_str()), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, command.c_str(), nullptr, nullptr, argv.data(),
                   environ) != 0) {
    return 2;
  }
  int wstatus = 0;
  if (waitpid(pid, &wstatus, 0) < 0) return 2;
  if (WIFEXITED(wstatus)) {
    int code = WEXITSTATUS(wstatus);
    if (code == 0) return 42;
    return code > 32 ? 32 : code;
  }
  return 2;
}

}  // namespace orvane
