#include "app/files/frmSelectSubfolders.h"

namespace orvane {

frmSelectSubfolders::frmSelectSubfolders(ShellServices services,
                                         QWidget* parent)
    : QDialog(parent), services_(services) {
  setObjectName("frmSelectSubfolders");
  setModal(true);
}

void frmSelectSubfolders::ShowModal() {
  values_.blnFolderSelectionAccepted = false;
  exec();
}

}  // namespace orvane
