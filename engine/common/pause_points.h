// Points where a test of the whole program may hold it, to end it there
// (kill -9) and look at what it leaves behind. Inert unless the environment
// variable ORVANE_PAUSE_AT names the point.
#pragma once

#include <string_view>

namespace orvane {

// When ORVANE_PAUSE_AT equals point: creates the file that
// ORVANE_PAUSED_FILE names (when set), so that the test knows the process
// got there, and sleeps for up to a minute before going on. Does nothing
// otherwise.
void PausePoint(std::string_view point);

}  // namespace orvane
