// The Search Module window. For now it holds what the launcher hands to it
// from the Index Module: the index file, the top folder, the search words
// and the index title label, and Quit.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <string>

#include "app/shell/link_label.h"
#include "app/shell/module_window.h"

namespace orvane {

class frmSearchMain : public ModuleWindow {
  Q_OBJECT

 public:
  explicit frmSearchMain(ShellServices services);

  // The launcher opens the window with the Index Module's top folder and
  // index file: both boxes filled, the index title and the search words
  // emptied.
  void ReceiveHandOver(const std::string& strTopFolder,
                       const std::string& strIndexFile);

  QPushButton* cmdIndexFile;
  QLineEdit* txbIndexFile;
  QPushButton* cmdTopFolder;
  QLineEdit* txbTopFolder;
  QLabel* lblSearchWords;
  QLineEdit* txbSearchWords;
  std::array<QLabel*, 2> lblTitle;  // "Title:" and the index's title
  QPushButton* cmdQuit;
  LinkLabel* lblOrvaneSystems;

 private slots:
  void cmdQuit_Click();
  void lblOrvaneSystems_Click();

 private:
  void Form_Load();
};

}  // namespace orvane
