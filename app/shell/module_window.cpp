#include "app/shell/module_window.h"

#include <QAbstractScrollArea>
#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <optional>

#include "app/qt_text.h"
#include "app/shell/accessibility.h"
#include "engine/shell/shell.h"

namespace orvane {

namespace {

// The first local file or folder a drag carries.
std::optional<std::string> DraggedPath(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return PathFromQt(url.toLocalFile());
  }
  return std::nullopt;
}

}  // namespace

ModuleWindow::ModuleWindow(ShellServices services) : services_(services) {
  InstallAccessibleInterfaces();
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowIcon(services_.launcher_window.windowIcon());
}

void ModuleWindow::Form_Unload() { services_.launcher.blnQuit = true; }

void ModuleWindow::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
  emit Unloaded();
}

QString ModuleWindow::ModuleCaption(const std::string& module_name) const {
  return services_.launcher_window.windowTitle() + QStringLiteral(" -- ") +
         ToQt(module_name);
}

void ModuleWindow::LaunchBrowser(const std::string& address) {
  Shell::LaunchBrowser(services_.opener, services_.prompter, address);
}

void ModuleWindow::AcceptPathDrops() {
  setAcceptDrops(true);
  for (QWidget* control : findChildren<QWidget*>()) {
    if (!control->acceptDrops()) continue;
    control->installEventFilter(this);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
      area->viewport()->installEventFilter(this);
    }
  }
}

bool ModuleWindow::TakeDrag(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove &&
      type != QEvent::Drop) {
    return false;
  }
  auto* drag = static_cast<QDropEvent*>(event);
  std::optional<std::string> path = DraggedPath(drag->mimeData());
  if (!path) return false;
  drag->acceptProposedAction();
  if (type == QEvent::Drop) PathDropped(*path);
  return true;
}

bool ModuleWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != this && TakeDrag(event)) return true;
  return QWidget::eventFilter(watched, event);
}

void ModuleWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!TakeDrag(event)) QWidget::dragEnterEvent(event);
}

void ModuleWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (!TakeDrag(event)) QWidget::dragMoveEvent(event);
}

void ModuleWindow::dropEvent(QDropEvent* event) {
  if (!TakeDrag(event)) QWidget::dropEvent(event);
}

}  // namespace orvane
