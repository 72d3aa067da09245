// The launcher: the program's first window. It loads the numbered UI texts
// and the shared values, shows its introduction, and opens one of the two
// modules at a time, hiding itself meanwhile. It carries the values the
// modules exchange (LauncherState) and owns the shared windows: the pop-up
// note and the large display window.
#pragma once

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <memory>
#include <string>

#include "app/shell/link_label.h"
#include "app/shell/module_window.h"
#include "app/shell/shell_services.h"
#include "engine/common/launcher_state.h"
#include "engine/common/ports.h"

namespace orvane {

class frmPopUp;
class frmLargeDisplay;
class frmSearchMain;

class frmMain : public QWidget {
  Q_OBJECT

 public:
  // The ports must outlive the window.
  frmMain(Prompter& prompter, Yield& yield, Opener& opener,
          Dialogs& dialogs, Clock& clock);
  ~frmMain() override;

  // Loads the UI texts named after the window's tag, sets the shared values,
  // fills the introduction, paints the window and shows it. Returns false
  // when the UI texts cannot be loaded; the loader's message has then been
  // shown and the program ends.
  bool Form_Load();

  // The window's tag text, which names the UI text file ("TAVO": tavo.dat).
  const std::string& tag() const { return tag_; }
  void set_tag(std::string tag) { tag_ = std::move(tag); }

  LauncherState& state() { return state_; }
  ShellServices services();
  frmPopUp& pop_up() { return *pop_up_; }
  frmLargeDisplay& large_display() { return *large_display_; }
  // The module window that is open, or null.
  ModuleWindow* module() const { return module_; }

  QPlainTextEdit* txbIntro;
  QPushButton* cmdIndexModule;
  QPushButton* cmdSearchModule;
  QPushButton* cmdHelp;
  QPushButton* cmdQuit;
  LinkLabel* lblOrvaneSystems;

 signals:
  // The user quit: the program ends.
  void ProgramEnd();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private slots:
  void cmdIndexModule_Click();
  void cmdSearchModule_Click();
  void cmdHelp_Click();
  void cmdQuit_Click();
  void lblOrvaneSystems_Click();
  // A module window has unloaded: the launcher comes back.
  void ModuleUnloaded();

 private:
  // The launcher is shown again: with the hand-over flag set, the Search
  // Module opens with the Index Module's top folder and index file.
  void Form_Activate();
  void OpenModule(ModuleWindow* window);
  frmSearchMain& LoadSearchModule();

  Prompter& prompter_;
  Yield& yield_;
  Opener& opener_;
  Dialogs& dialogs_;
  Clock& clock_;
  std::string tag_ = "TAVO";
  bool ending_ = false;  // cmdQuit ran: nothing comes back
  LauncherState state_;
  std::unique_ptr<frmPopUp> pop_up_;
  std::unique_ptr<frmLargeDisplay> large_display_;
  QPointer<ModuleWindow> module_;
};

}  // namespace orvane
