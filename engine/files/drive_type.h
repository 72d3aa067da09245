// The kind of drive a folder lies on, as far as the Index Module asks: an
// output folder cannot lie on a CD-ROM.
#pragma once

#include <string>

namespace orvane {

// True when the folder's file system is one of a CD-ROM or DVD (iso9660 or
// udf). False when it is anything else or cannot be asked.
bool IsOnCdRom(const std::string& folder);

}  // namespace orvane
