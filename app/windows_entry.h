// The one function that the windows module exports, and where the program
// looks for the module. The program loads the module with dlopen and calls
// the function by this name; nothing else crosses between the two.
#pragma once

// The file name of the windows module.
#define ORVANE_WINDOWS_MODULE "liborvane_windows.so"
// What the program says, as one line, when no window can open for want of a
// display (status 2).
#define ORVANE_NO_DISPLAY_MESSAGE                                         \
  "orvane: no display found, so no window can open; on the command line " \
  "try 'orvane demo' (the program at work on its sample files) or "       \
  "'orvane help'."
// The name of its entry point.
#define ORVANE_WINDOWS_ENTRY "orvane_run_windows"

extern "C" {
// Opens the windows (no arguments: the launcher; --screenshots DIR: the
// pictures of the windows) and returns the program's exit status.
int orvane_run_windows(int argc, char** argv);
}
