// The modal editor of the filepath exclusions: shows the Index Module's
// one-line list txbExcludedFilepaths one item per line and, on Confirm,
// writes the cleaned list back into it. Cancel and the close box leave the
// list as it was; every showing starts again from the list.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

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

  // Colours, places and fills the editor and shows it without waiting;
  // ShowModal runs it and then waits.
  void Activate();

  QLabel* lblExcludeFilepathsContaining;
  QPlainTextEdit* txbFilepathExclusions;
  QPushButton* cmdConfirm;
  QPushButton* cmdCancel;

 private slots:
  void cmdConfirm_Click();
  void cmdCancel_Click();

 private:
  ShellServices services_;
  QWidget& index_window_;
  QLineEdit& txbExcludedFilepaths_;
};

}  // namespace orvane
