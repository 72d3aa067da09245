// The base of the two module windows (the Index Module and the Search
// Module). The launcher opens one at a time and shows itself again when it
// has unloaded.
//
// A module window is built like every window of the program:
//   - its constructor takes the ShellServices, builds the controls (each
//     control's fixed name is its objectName and its member name), wires
//     the click handlers (cmdQuit_Click ...) as private slots, and ends with
//     Form_Load;
//   - a handler is short: it reads the controls, calls the engine with the
//     ports, and writes the result back into the controls;
//   - messages go through services().prompter, never through QMessageBox.
// Unloading: cmdQuit and the window's close box both end in close();
// Form_Unload runs once, then the window is deleted and Unloaded tells the
// launcher.
//
// A file or folder dragged from a file manager may be dropped anywhere on
// a module window, its text boxes included: the window hands the dropped
// path to the module, whose rules decide what it becomes.
#pragma once

#include <QWidget>
#include <string>

#include "app/shell/shell_services.h"

namespace orvane {

class ModuleWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ModuleWindow(ShellServices services);

  // Closes the window: Form_Unload, then Unloaded.
  void Unload() { close(); }

 signals:
  // The window has unloaded (it is deleted right after).
  void Unloaded();

 protected:
  // The module's work when it unloads; the default sets the launcher's
  // blnQuit, so that a loop still running ends at its next check.
  virtual void Form_Unload();

  void closeEvent(QCloseEvent* event) override;

  const ShellServices& services() const { return services_; }
  // The launcher's caption, " -- " and the given text.
  QString ModuleCaption(const std::string& module_name) const;
  // Opens a web address or one of the program's documents; a refusal is
  // told in a message box.
  void LaunchBrowser(const std::string& address);

  // Takes paths dropped anywhere on the window, once its controls are
  // made: its text boxes would take a dropped file's address as text.
  void AcceptPathDrops();
  // A file or folder was dropped on the window (the first, when several
  // were).
  virtual void PathDropped(const std::string& path) = 0;

  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // A drag or drop event of a path: accepted, and on a drop the path is
  // handed on. False for anything else.
  bool TakeDrag(QEvent* event);

  ShellServices services_;
};

}  // namespace orvane
