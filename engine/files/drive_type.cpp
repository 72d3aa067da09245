#include "engine/files/drive_type.h"

#include <sys/vfs.h>

namespace orvane {

namespace {

// The f_type values of statfs(2) for the two optical-disc file systems.
constexpr long kIso9660Magic = 0x9660;
constexpr long kUdfMagic = 0x15013346;

}  // namespace

bool IsOnCdRom(const std::string& folder) {
  struct statfs info {};
  if (statfs(folder.c_str(), &info) != 0) return false;
  long type = static_cast<long>(info.f_type);
  return type == kIso9660Magic || type == kUdfMagic;
}

}  // namespace orvane
