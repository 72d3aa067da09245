// The values the launcher window carries for the modules: the quit flag
// that every long loop tests, and the hand-over from the Index Module to
// the Search Module. The launcher owns one; the modules and their engine
// runs receive it by reference.
#pragma once

#include <string>

namespace orvane {

struct LauncherState {
  bool blnStartupCompleted = false;  // false while the launcher is loading
  bool blnQuit = false;  // set when the user leaves a module or quits
  // Set by the Index Module when the user goes on to the Search Module with
  // the index just made.
  bool blnIndexModuleToSearchModule = false;
  std::string strTopFolder;  // handed from the Index to the Search Module
  std::string strIndexFile;  // likewise
  std::string strProgramTextFile = "tavo.dat";
};

}  // namespace orvane
