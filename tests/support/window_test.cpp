#include "tests/support/window_test.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QEvent>
#include <QStringList>

namespace orvane::testing {

void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

QString Shown(frmLargeDisplay& display) {
  display.ShowPendingLines();
  const QAbstractItemModel& rows = *display.txbOutput->model();
  QStringList lines;
  for (int row = 0; row < rows.rowCount(); ++row) {
    lines << rows.data(rows.index(row, 0)).toString();
  }
  return lines.join('\n');
}

}  // namespace orvane::testing
