// The large display window: the one window in which long texts are shown
// (file lists, the text report). Callers append through Output and
// DisplayArray; the text rules (the 61,440-character limit and the
// buffer-full message) are LargeDisplayText's, mirrored here in txbOutput.
//
// The copy button copies the selection or the whole text; while a caller
// still produces text it reads "Pause", and a click on it holds the caller's
// loop inside the click until "Continue" is clicked or the window is hidden.
//
// cmdClose hides the window and keeps its text until the next Clear. The
// window's close box also hides it and then discards it: the next caller
// finds it as it was after loading (empty, "BUFFER FULL", "Copy to
// clipboard", not yet activated). The object itself stays, so the callers'
// references to it stay valid.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/large_display_text.h"
#include "engine/common/ports.h"

namespace orvane {

class frmLargeDisplay : public QWidget, public LargeDisplay {
  Q_OBJECT

 public:
  frmLargeDisplay();

  // The LargeDisplay port.
  void SetCaption(std::string_view caption) override;
  void SetBufferFullMessage(std::string_view message) override;
  void SetCopyButtonCaption(std::string_view caption) override;
  void SetReadOnly(bool read_only) override;
  void Show() override;
  void Hide() override;
  bool IsVisible() override { return isVisible(); }
  bool ReportBufferFull() override { return text_.report_buffer_full(); }
  void Clear() override;
  void Output(std::string_view strText, std::int16_t intNumCRLFs,
              bool blnToEnd) override;
  void DisplayArray(const std::vector<std::string>& strArray,
                    std::int32_t lngStart, std::int32_t lngEnd,
                    std::string_view strSuccessMessage,
                    bool blnSeparateFolders) override;
  void ShowBeginning() override;
  void ShowEnd() override;
  // The transient note ("Searching file ...") stands at the end of
  // txbOutput only; the text of the rules never holds it.
  void ShowNote(std::string_view note) override;
  void RemoveNote() override;

  // Sets the copy button's caption and width from the current selection.
  void SetCopyToClipboardButton();

  // Places the window; the measures are twips of the screen.
  void SetGeometryTwips(std::int32_t top, std::int32_t left, std::int32_t width,
                        std::int32_t height);

  const std::string& strBufferFullMessage() const {
    return text_.buffer_full_message();
  }
  // The text as the rules keep it (display text, CR LF).
  const std::string& text() const { return text_.text(); }

  bool blnActivated = false;

  QPlainTextEdit* txbOutput;
  QPushButton* cmdCopyToClipboard;
  QPushButton* cmdClose;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private slots:
  void cmdCopyToClipboard_Click();
  void cmdClose_Click();

 private:
  // The window as loading leaves it.
  void Form_Load();
  // Brings txbOutput in line with a change of the text.
  void Mirror(const LargeDisplayText::Change& change);
  void MoveCaretToEnd();
  void CopyToClipboard();

  LargeDisplayText text_;
  bool paused_ = false;
  // The last piece mirrored ended in CR: an LF at the start of the next
  // piece completes that line break.
  bool ended_in_cr_ = false;
  // Where the note shown at the end of txbOutput begins, or -1.
  int note_start_ = -1;
};

}  // namespace orvane
