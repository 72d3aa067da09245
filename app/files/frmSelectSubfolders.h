// The modal window in which the user ticks the direct subfolders of the top
// folder that are to be indexed. The caller fills values(), calls
// ShowModal() and reads the results from values() when it returns.
#pragma once

#include <QDialog>

#include "app/shell/shell_services.h"
#include "engine/files/subfolder_selection.h"

namespace orvane {

class frmSelectSubfolders : public QDialog {
  Q_OBJECT

 public:
  frmSelectSubfolders(ShellServices services, QWidget* parent);

  SelectSubfoldersValues& values() { return values_; }

  // Reads the disk, lets the user tick, and returns when the window has
  // been hidden by Accept, Cancel or its close box.
  void ShowModal();

 private:
  ShellServices services_;
  SelectSubfoldersValues values_;
};

}  // namespace orvane
