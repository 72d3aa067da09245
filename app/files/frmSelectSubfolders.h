// The modal window in which the user ticks the direct subfolders of the top
// folder that are to be indexed. The caller fills values(), calls
// ShowModal() and reads the results from values() when it returns.
//
// The selection (SubfolderSelection) holds the list and the ticks; the
// window shows at most intMaxNumCheckboxes check boxes and reuses them
// while the scroll bar moves through any number of subfolders.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <memory>
#include <vector>

#include "app/shell/shell_services.h"
#include "engine/files/subfolder_selection.h"

namespace orvane {

class frmSelectSubfolders : public QDialog {
  Q_OBJECT

 public:
  frmSelectSubfolders(ShellServices services, QWidget* parent);
  ~frmSelectSubfolders() override;

  SelectSubfoldersValues& values() { return values_; }

  // Reads the disk, lets the user tick, and returns when the window has
  // been hidden by Accept, Cancel or its close box.
  void ShowModal();

  // Shows the window without waiting and reads the disk ("Reading disk
  // . . ." while it reads, Cancel answering); returns when the list is
  // complete or the reading has ended. ShowModal runs it and then waits.
  void Activate();

  // The selection of the current showing; null before the first.
  const SubfolderSelection* selection() const { return selection_.get(); }

  QFrame* picSubfolders;
  // The check boxes in use; element 0 always exists.
  std::vector<QCheckBox*> chkSubfolder;
  QScrollBar* vsbScrollBar;
  QLabel* lblNumSubfolders;
  // Element 0 "Deselect all", element 1 "Select all".
  QPushButton* cmdSelectDeselectAllSubfolders[2];
  QPushButton* cmdAccept;
  QPushButton* cmdCancel;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Escape: as cmdCancel.
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void cmdAccept_Click();
  void cmdCancel_Click();
  void cmdSelectDeselectAllSubfolders_Click(int index);
  void chkSubfolder_Click(int k, bool ticked);
  void vsbScrollBar_Change(int value);

 private:
  void ApplyColours();
  void ShowReading(std::string_view text);
  // Creates check boxes 1 .. n - 1 below element 0.
  void MakeCheckboxes(int n);
  void RemoveRunTimeCheckboxes();
  // Captions and ticks of the visible check boxes from the selection.
  void MirrorCheckboxes();
  void UpdateStatus();
  // Widens the window to the longest label, and fits its height to the
  // check boxes in use.
  void FitToList();
  // The arrow and page keys on check box k: the focus moves through the
  // boxes, and the list scrolls under them at either end. False for other
  // keys.
  bool MoveThroughList(int k, int key);
  // Hides the window with the result; the run-time check boxes go.
  void Finish(bool accepted);

  ShellServices services_;
  SelectSubfoldersValues values_;
  std::unique_ptr<SubfolderSelection> selection_;
  QLabel* reading_;  // "Reading disk . . ." inside picSubfolders
  QVBoxLayout* boxes_layout_;
};

}  // namespace orvane
