#include "app/shell/module_window.h"

#include <QCloseEvent>

#include "app/qt_text.h"
#include "app/shell/accessibility.h"
#include "engine/shell/shell.h"

namespace orvane {

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

}  // namespace orvane
