// Opening a document or address with a command: the command named by the
// environment variable ORVANE_OPEN when it is set (tests, headless
// machines), else the desktop's opener.
#pragma once

#include <optional>
#include <string>

namespace orvane {

// The value of ORVANE_OPEN, when set and not empty.
std::optional<std::string> OpenCommandFromEnvironment();

// Runs `command target` (the command is one program name or path, the target
// its one argument), waits for it, and returns a result in the opener's
// terms: 42 when it exited with status 0, else its exit status (1 to 32,
// larger statuses become 32), or 2 when it could not be started.
int RunOpenCommand(const std::string& command, const std::string& target);

}  // namespace orvane
