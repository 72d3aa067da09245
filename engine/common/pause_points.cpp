#include "engine/common/pause_points.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace orvane {

void PausePoint(std::string_view point) {
  const char* wanted = std::getenv("ORVANE_PAUSE_AT");
  if (wanted == nullptr || point != wanted) return;
  if (const char* paused = std::getenv("ORVANE_PAUSED_FILE")) {
    if (std::FILE* file = std::fopen(paused, "w")) std::fclose(file);
  }
  std::this_thread::sleep_for(std::chrono::seconds(60));
}

}  // namespace orvane
