// The orvane program: a subcommand goes to the command line without creating
// a window; no arguments open the launcher; --screenshots DIR writes
// pictures of the windows without a display and ends.
//
// The windows live in a module of their own (liborvane_windows.so), loaded
// only when they are asked for: a command-line run then maps no Qt library,
// which would cost it more than its whole search.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/cli.h"
#include "cli/heap_pages.h"

#ifdef ORVANE_WITH_WINDOWS
#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "app/windows_entry.h"
#include "engine/common/program_folder.h"

namespace {

// Where the windows module may be: beside the program (the build folder),
// or in ../lib/orvane beside it (the installed layout).
std::vector<std::filesystem::path> ModuleCandidates() {
  std::filesystem::path folder = orvane::ProgramFolder();
  return {folder / ORVANE_WINDOWS_MODULE,
          folder.parent_path() / "lib" / "orvane" / ORVANE_WINDOWS_MODULE};
}

// A desktop session hands its programs DISPLAY (X11) or WAYLAND_DISPLAY;
// with neither, and no Qt platform named in QT_QPA_PLATFORM, no window can
// open. The pictures of --screenshots need no display.
bool DisplayAvailable(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--screenshots") return true;
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

int RunWindows(int argc, char** argv) {
  if (!DisplayAvailable(argc, argv)) {
    std::fputs(ORVANE_NO_DISPLAY_MESSAGE "\n", stderr);
    return 2;
  }
  std::vector<std::filesystem::path> candidates = ModuleCandidates();
  for (const std::filesystem::path& path : candidates) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) continue;
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
      std::fprintf(stderr, "orvane: the windows cannot be opened: %s\n",
                   dlerror());
      return 2;
    }
    auto entry = reinterpret_cast<int (*)(int, char**)>(
        dlsym(module, ORVANE_WINDOWS_ENTRY));
    if (entry == nullptr) {
      std::fprintf(stderr,
                   "orvane: the windows cannot be opened: %s has no entry "
                   "point " ORVANE_WINDOWS_ENTRY "\n",
                   path.c_str());
      return 2;
    }
    // The module stays loaded until the program ends: Qt's objects and
    // their destructors live in it.
    return entry(argc, argv);
  }
  std::string tried;
  for (const std::filesystem::path& path : candidates) {
    tried += "\n  " + path.string();
  }
  std::fprintf(stderr,
               "orvane: the windows cannot be opened: the windows module is "
               "missing. It was looked for at:%s\n"
               "The command line works without it (orvane help).\n",
               tried.c_str());
  return 2;
}

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef ORVANE_WITH_WINDOWS
  if (!orvane::IsCommandLineRequest(argc, argv)) return RunWindows(argc, argv);
#endif
  // Only a one-shot command-line run keeps its heap to the end: a window
  // that stays open should give freed memory back.
  orvane::UseLargeHeapPages();
  return orvane::RunCommandLine(argc, argv);
}
