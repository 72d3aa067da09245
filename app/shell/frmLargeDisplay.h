// The large display window: the one window in which long texts are shown
// (file lists, the text report). Callers append through Output and
// DisplayArray; the text is LargeDisplayText's, kept whole, and txbOutput
// shows it as a table of its lines, one column wide, all of one height,
// which paints only the lines in view: a report or a listing of a hundred
// megabytes opens and scrolls at once. While a caller appends line after
// line to a long text, the new lines are shown at most every tenth of a
// second, so that showing them never costs more than the appending.
//
// Whole lines are selected, with the mouse, the keyboard or Ctrl+A. The
// copy button copies the selected lines or the whole text; while a caller
// still produces text it reads "Pause", and a click on it holds the
// caller's loop inside the click until "Continue" is clicked or the window
// is hidden.
//
// cmdClose, and Escape, hide the window and keep its text until the next
// Clear. The window's close box also hides it and then discards it: the
// next caller finds it as it was after loading (empty, "BUFFER FULL", "Copy
// to clipboard", not yet activated). The object itself stays, so the callers'
// references to it stay valid.
#pragma once

#include <QElapsedTimer>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/large_display_text.h"
#include "engine/common/ports.h"

namespace orvane {

class LargeDisplayLines;

class frmLargeDisplay : public QWidget, public LargeDisplay {
  Q_OBJECT

 public:
  frmLargeDisplay();
  ~frmLargeDisplay() override;

  // The LargeDisplay port.
  void SetCaption(std::string_view caption) override;
  void SetBufferFullMessage(std::string_view message) override;
  void SetCopyButtonCaption(std::string_view caption) override;
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
  // The transient note ("Searching file ...") stands at the end of the last
  // line shown only; the text never holds it.
  void ShowNote(std::string_view note) override;
  void RemoveNote() override;

  // Sets the copy button's caption and width from the current selection.
  void SetCopyToClipboardButton();

  // Shows at once the lines that wait for their tenth of a second.
  void ShowPendingLines();

  // Places the window; the measures are twips of the screen.
  void SetGeometryTwips(std::int32_t top, std::int32_t left, std::int32_t width,
                        std::int32_t height);

  const std::string& strBufferFullMessage() const {
    return text_.buffer_full_message();
  }
  // The text as the engine keeps it (display text, CR LF).
  std::string text() const { return text_.text(); }

  bool blnActivated = false;

  QTableView* txbOutput;
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
  // Shows the lines the text has gained, and the last line as it has grown:
  // at once while the text is short or the last showing is a tenth of a
  // second past, otherwise when that tenth is over.
  void Publish();
  // Every line as wide as the widest line of the text, or the view.
  void FitLineWidth();
  void MoveCaretToEnd();
  void CopyToClipboard();
  // The selected lines, in order, joined by line ends; empty when none is
  // selected.
  QString SelectedLines() const;
  bool HasSelection() const;

  LargeDisplayText text_;
  std::unique_ptr<LargeDisplayLines> lines_;
  bool paused_ = false;
  // The width of a line that txbOutput last took, in pixels.
  int line_width_ = 0;
  QElapsedTimer since_shown_;  // since lines were last shown
  QTimer show_pending_;        // shows the lines that wait
};

}  // namespace orvane
