// The modal editor of the filepath exclusions: shows the Index Module's
// one-line list txbExcludedFilepaths one item per line and, on Confirm,
// writes the cleaned list back into it.
#pragma once

#include <QDialog>
#include <QLineEdit>

#include "app/shell/shell_services.h"

namespace orvane {

class frmFilepathExclusions : public QDialog {
  Q_OBJECT

 public:
  // index_window places the editor; txbExcludedFilepaths is read when the
  // editor is shown and written on Confirm. Both must outlive the editor.
  frmFilepathExclusions(ShellServices services, QWidget& index_window,
                        QLineEdit& txbExcludedFilepaths);

  // Returns when the editor has been hidden by Confirm, Cancel or its close
  // box.
  void ShowModal();

 private:
  ShellServices services_;
  QWidget& index_window_;
  QLineEdit& txbExcludedFilepaths_;
};

}  // namespace orvane
