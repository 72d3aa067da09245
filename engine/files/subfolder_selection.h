// The values of the subfolder selection window frmSelectSubfolders that its
// caller sets before showing it and reads back after it has closed. The
// Index Module passes UI text 24 as the caption and 13 check boxes.
#pragma once

#include <cstdint>
#include <string>

namespace orvane {

struct SelectSubfoldersValues {
  // Set by the caller before the window is shown.
  std::string strCaption;
  std::string strTopFolder;  // path; its direct subfolders are listed
  std::int16_t intMaxNumCheckboxes = 13;
  // Names to show ticked, each followed by CR LF; empty for none.
  std::string strFoldersPassedToSelectFoldersForm;
  bool blnOmitTotalFilesize = false;

  // Read by the caller after the window has closed.
  bool blnFolderSelectionAccepted = false;  // only after cmdAccept
  // Names of the ticked subfolders in list order, each followed by CR LF.
  std::string strFoldersReturnedFromSelectFoldersForm;
  bool blnSomeSubfolderHasSubfolders = false;
  double dblTotalBytesSelected = 0;
  bool blnOver = false;  // some ticked size is a lower bound ("over ")
};

}  // namespace orvane
