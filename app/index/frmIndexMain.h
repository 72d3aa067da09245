// The Index Module window. For now it holds what the launcher and the
// Search Module need from it: the top folder and the index path that the
// switch to the Search Module hands over, the switch itself and Quit.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "app/shell/link_label.h"
#include "app/shell/module_window.h"

namespace orvane {

class frmIndexMain : public ModuleWindow {
  Q_OBJECT

 public:
  explicit frmIndexMain(ShellServices services);

  // The index file of the project (output folder, project name,
  // "_index.tavo").
  const std::string& index_path() const { return index_path_; }
  void set_index_path(std::string path) { index_path_ = std::move(path); }

  QLabel* lblIntro;
  QLabel* lblTopFolder;
  QLineEdit* txbTopFolder;
  QPushButton* cmdSwitchToSearchModule;
  QPushButton* cmdQuit;
  LinkLabel* lblOrvaneSystems;

 private slots:
  void cmdSwitchToSearchModule_Click();
  void cmdQuit_Click();
  void lblOrvaneSystems_Click();

 private:
  void Form_Load();

  std::string index_path_;
};

}  // namespace orvane
