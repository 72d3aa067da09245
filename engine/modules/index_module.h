// The Index Module's engine and its indexing run: "Create index file" from
// the checks of the settings through the counting pass, the extraction pass
// and the writing of the index and data files to the closing status text,
// and "List files", which runs the same procedure in a listing mode that
// ends after the counting pass. The run talks to the user only through its
// ports.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/status.h"
#include "engine/files/background_deletion.h"
#include "engine/format/index_store.h"
#include "engine/index/common_words.h"
#include "engine/index/file_selection.h"
#include "engine/index/index_ports.h"
#include "engine/index/index_settings.h"
#include "engine/index/lexicon.h"
#include "engine/reading/document_reader.h"

namespace orvane {

// How a call ended.
enum class RunOutcome {
  kCompleted,          // the index and the data file were written
  kListed,             // "List files" listed its files
  kStopped,            // stopped by the user or an error; nothing kept
  kCompressionFailed,  // the index text could not be compressed; nothing kept
  kQuit,               // the user quit; nothing kept, no message
  kRefused,            // a setting was refused; nothing written
  kNoFiles,            // the selection holds no file
  kTooManyFiles,       // more files than the limit; nothing written
  kNotOverwritten,     // the user kept the existing index file
};

// What the Index Module holds between its handlers and shows in its
// window: whether a run goes on, the run's stop flag, the outcome of the
// last run and the files it found or indexed.
struct IndexState {
  // True while a run goes on: the "Create index file" button then pauses.
  bool running = false;
  // The stop flag of the run, set by Cancel in the pause box and by the
  // error handlers; the loops of the run test it after each file.
  bool stop_flag = false;
  // Keep every file the rules leave out, with its rule, in the selection
  // (for the command line's listing of them).
  bool keep_left_out_files = false;
  // True once the last run wrote both files ("List files which were
  // indexed" then shows).
  bool index_created = false;
  // After a listing: the relative paths found. After a completed run: the
  // relative paths of the indexed files, in file-number order.
  std::vector<std::string> file_list;
  // The files of the last run that got as far as writing.
  std::string index_path;
  std::string data_path;
  // The store a run writes, and the most files a run accepts (the store's
  // limit, MaxFilesIndexed); tests lower it. With the classic data file
  // asked for, a run takes no more than the classic pair's limit.
  IndexStoreKind store_kind = IndexStoreKind::kStore;
  std::uint32_t file_limit = MaxFilesIndexed(IndexStoreKind::kStore);
  // Every path that the last run told it left out (unreadable folders,
  // files that cannot be opened or stored, files missing when read), in
  // the order told: the list behind its counts.
  std::vector<std::string> left_out;
  // How many paths a message that counts left-out paths names before
  // "... and N more." (10; the command line names them all).
  std::size_t paths_shown = 10;
};

// The engine half of the Index Module window frmIndexMain: its settings and
// state, and the handlers of its buttons that carry rules. The window copies
// its widgets into settings() before a handler and shows what the handler
// wrote through the ports, then copies settings() back (a run trims some
// fields); the command line drives the same handlers from flags.
class IndexModule {
 public:
  // The ports must outlive the module. The common words start empty: the
  // window or command loads them (cwds.txt) into common_words(). deletion
  // frees the blocks of the large files the runs remove or replace; a
  // deletion of the module's own when none is given.
  explicit IndexModule(IndexPorts ports,
                       std::shared_ptr<BackgroundDeletion> deletion = nullptr);
  IndexModule(const IndexModule&) = delete;
  IndexModule& operator=(const IndexModule&) = delete;

  IndexSettings& settings() { return settings_; }
  const IndexSettings& settings() const { return settings_; }
  IndexState& state() { return state_; }
  const IndexState& state() const { return state_; }
  IndexPorts& ports() { return ports_; }
  // The words that are never indexed.
  CommonWords& common_words() { return common_words_; }

  // "Create index file" while no run goes on: refuses a selection that
  // includes nothing, asks before an existing index file is replaced, runs
  // ExtractData and reports too many files.
  RunOutcome CreateIndexFile();

  // The same button while a run goes on (its caption is then UI text 30):
  // the pause box, whose Cancel stops the run at its next check.
  void PauseRun();

  // "List files": shows the numbered files as they are found, then the
  // sorted list, in the large display window.
  RunOutcome ListFiles();
  // "List files which were indexed": the files of the last run.
  void ListIndexedFiles();

  // The document reader of the runs (not owned; tests give a fake). Without
  // one the module starts its own pool of workers at the first document.
  void set_document_reader(DocumentReader* reader) { document_reader_ = reader; }

  // The index file that "Go to search module" hands over: the project's
  // index file when it exists (made now or by an earlier run), else
  // nothing (empty).
  std::string IndexFileToHandOver() const;

  // The run; listing_mode selects "List files".
  RunOutcome ExtractData(bool listing_mode);

  // Enables or disables every input of the window, as a run needs them.
  void EnableControls(bool enabled);
  // The "no files" warning, with the text that fits the settings.
  void ShowNoFilesMessage(std::string_view title);
  // Gives the focus to the first field that needs attention.
  void FocusNextControl();
  // "Different words found so far: " and W.
  void ShowWordsFoundSoFar();

  // N and the total size in bytes of the files the last run selected.
  std::int32_t file_count() const { return selection_.count; }
  double total_size() const { return selection_.total_size; }
  // The last run's selection: the files kept, and those left out.
  const Selection& selection() const { return selection_; }
  // W of the last extraction.
  std::int32_t word_count() const { return lexicon_.word_count(); }

 private:
  RunOutcome Refuse(std::string_view text, bool focus);
  bool CheckSettings(bool listing_mode, std::string* title_content,
                     RunOutcome* outcome);
  // The passes of ExtractData once its settings are accepted.
  RunOutcome RunPasses(bool listing_mode, const SelectionRules& rules,
                       const std::string& title_content);
  void RunCountingPass(bool listing_mode, const SelectionRules& rules);
  // The extraction pass and the writing of the index, in their steps: the
  // store's writer begins, the selected files are read into the lexicon
  // and their scores handed to the writer, the lexicon is written, the
  // index is finished and published, and the closing status is shown. The
  // files of an earlier index stay until the new ones replace them.
  RunOutcome RunExtraction(const SelectionRules& rules,
                           const std::string& title_content);
  // The files that the extraction pass lists without any word.
  struct Unread {
    std::vector<std::string> vanished;   // paths of files gone meanwhile
    std::vector<std::string> documents;  // paths of unreadable documents
    std::vector<std::string> reasons;    // why, for each of documents
  };
  Unread ReadSelectedFiles(const SelectionRules& rules,
                           IndexStoreWriter& writer);
  // The reader of the run's documents.
  DocumentReader& Documents();
  // Keeps a document's text with the run's index.
  void KeepDocumentText(const std::string& relative_path,
                        const std::string& path,
                        const DocumentSourceText& text,
                        IndexStoreWriter& writer);
  void WriteLexicon(const std::string& title_content, IndexStoreWriter& writer);
  RunOutcome FinishIndexFiles(IndexStoreWriter& writer,
                              std::string* status_text);
  void ShowClosingStatus(std::string status_text);
  // Writes the run's settings beside the published index file (replaced
  // whole once complete), so that a later question on why a file is not in
  // the index is answered by the rules that made it. A failure is told as
  // a warning; the index stays.
  void KeepSettingsBesideIndex();

  // Lets the window system process pending input (a click on Pause or
  // Quit is handled inside it), then reads the run's flags: every loop of
  // the run tests them through this.
  RunFlags LetWindowSystemRun();
  // Runs a step of the index's writer (sorting and writing the lexicon,
  // compressing, publishing) on a thread of its own while the window
  // system processes pending input, so that finishing a large index never
  // freezes the window; the step's result. The step calls no port.
  Status KeepWindowLive(const std::function<Status()>& step);
  // Shows a failure of the files being written and stops the run.
  void FailRun(const Status& status);
  // "Too many files!", after a walk that stopped above the file limit.
  RunOutcome ReportTooManyFiles(std::string_view caption);
  // The most files this run may take: the state's limit, and the classic
  // pair's when the classic data file is to be written.
  std::uint32_t FileLimit() const;
  void ShowCountingMessages();
  // Tells how many whats were left out and why, followed by their paths.
  // reasons, when given, stand after their paths.
  void TellLeftOut(std::string_view what, std::string_view why,
                   const std::vector<std::string>& paths,
                   const std::vector<std::string>* reasons = nullptr);
  void PrepareLargeDisplay(std::string_view caption);
  void ShowSortedList(std::string caption);
  // After the sorted list of "List files": the files the rules left out,
  // each with its reason.
  void ShowLeftOutFiles();
  std::string FormatGrouped(double value) const;

  class RunObserver;

  IndexPorts ports_;
  IndexSettings settings_;
  IndexState state_;
  CommonWords common_words_;
  // Frees the blocks of replaced and discarded data files behind the run;
  // nobody waits for it, not even the module's end.
  std::shared_ptr<BackgroundDeletion> deletion_;
  Lexicon lexicon_;
  DocumentReader* document_reader_ = nullptr;
  std::unique_ptr<DocumentReader> own_document_reader_;
  Selection selection_;
  bool listing_mode_ = false;
  double start_time_ = 0;
};

// The caption of "Create index file" and the other fixed captions.
inline constexpr std::string_view kCreateIndexFileCaption = "Create index file";
inline constexpr std::string_view kListFilesCaption = "List files";
inline constexpr std::string_view kListIndexedFilesCaption =
    "List files which were indexed";
// The progress bar under the progress labels: files read of the files
// counted, a busy bar while they are counted.
inline constexpr std::string_view kRunProgressBar = "prgRunProgress";

}  // namespace orvane
