// Pictures of the program's windows, written without a display: the
// launcher, the pop-up note, the large display window with a file list, the
// subfolder selection over a sample tree with some subfolders ticked, the
// filepath exclusions editor, and the module windows, each as a PNG named
// after its form (frmMain.png ...).
#pragma once

#include <string>

namespace orvane {

// Writes the pictures into folder (created when missing) and reports each
// file on standard output. Returns the program's exit status: 0 when every
// picture was written, 1 otherwise (the reason on standard error).
// REQUIRES: a QApplication exists.
int WriteScreenshots(const std::string& folder);

}  // namespace orvane
