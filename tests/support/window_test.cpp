#include "tests/support/window_test.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QMimeData>
#include <QStringList>
#include <QUrl>

namespace orvane::testing {

void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

bool DropPath(QWidget* target, const std::string& path) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QFile::decodeName(path.c_str()))});
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, &data,
                        Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::LinkAction, &data,
                  Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &drop);
  return drop.isAccepted();
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
