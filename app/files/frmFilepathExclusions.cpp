#include "app/files/frmFilepathExclusions.h"

namespace orvane {

frmFilepathExclusions::frmFilepathExclusions(ShellServices services,
                                             QWidget& index_window,
                                             QLineEdit& txbExcludedFilepaths)
    : QDialog(&index_window),
      services_(services),
      index_window_(index_window),
      txbExcludedFilepaths_(txbExcludedFilepaths) {
  setObjectName("frmFilepathExclusions");
  setModal(true);
}

void frmFilepathExclusions::ShowModal() { exec(); }

}  // namespace orvane
