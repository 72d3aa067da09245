#include "cli/status_line.h"

#include <unistd.h>

namespace orvane {

namespace {

// Back to the start of the line, then erase to its end (VT100 EL), so a
// shorter text leaves nothing of a longer one.
constexpr std::string_view kRewind = "\r\x1b[K";

}  // namespace

StatusLine::StatusLine(std::FILE* to)
    : to_(to), terminal_(isatty(fileno(to)) == 1) {}

void StatusLine::Show(std::string_view text) {
  if (terminal_) {
    std::fwrite(kRewind.data(), 1, kRewind.size(), to_);
    std::fwrite(text.data(), 1, text.size(), to_);
    shown_ = true;
  } else {
    std::fwrite(text.data(), 1, text.size(), to_);
    std::fputc('\n', to_);
  }
  std::fflush(to_);
}

void StatusLine::Clear() {
  if (!shown_) return;
  std::fwrite(kRewind.data(), 1, kRewind.size(), to_);
  std::fflush(to_);
  shown_ = false;
}

}  // namespace orvane
