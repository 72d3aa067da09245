// The indexing run of the Index Module: "Create index file" from the checks
// of the settings through the counting pass, the extraction pass and the
// writing of the index and data files to the closing status text, and
// "List files", which runs the same procedure in a listing mode that ends
// after the counting pass. The run talks to the user only through its
// ports; the Index Module window wires its buttons to the calls here and
// copies the settings to and from its fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/files/background_deletion.h"
#include "engine/index/common_words.h"
#include "engine/index/file_selection.h"
#include "engine/index/index_ports.h"
#include "engine/index/index_settings.h"
#include "engine/index/lexicon.h"

namespace orvane {

// How a call ended.
enum class RunOutcome {
  kCompleted,          // the index and the data file were written
  kListed,             // "List files" listed its files
  kStopped,            // stopped by the user or an error; nothing kept
  kCompressionFailed,  // both files kept, the index not counted as made
  kQuit,               // the user quit; nothing kept, no message
  kRefused,            // a setting was refused; nothing written
  kNoFiles,            // the selection holds no file
  kTooManyFiles,       // more files than the limit; nothing written
  kNotOverwritten,     // the user kept the existing index file
};

// The Index Module's engine: the values of the window that a run reads and
// writes, and its commands.
class IndexModule {
 public:
  // None of the arguments is owned; all must outlive the module. The
  // settings are the window's fields: the run trims some of them (the
  // field then holds the trimmed text) and the window shows them again
  // afterwards.
  IndexModule(IndexSettings* settings, const IndexPorts& ports,
              CommonWords* common_words);

  // "Create index file" while no run goes on: refuses a selection that
  // includes nothing, asks before an existing index file is replaced, runs
  // ExtractData and reports too many files.
  RunOutcome CreateIndexFile();

  // The same button while a run goes on (its caption is then UI text 30):
  // the pause box, whose Cancel stops the run at its next check.
  void PauseRun();
  bool running() const { return running_; }

  // "List files": shows the numbered files as they are found, then the
  // sorted list, in the large display window.
  RunOutcome ListFiles();
  // "List files which were indexed": the files of the last run.
  void ListIndexedFiles();

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

  bool index_created() const { return index_created_; }
  // After a listing: the relative paths found. After a completed run: the
  // relative paths of the indexed files, in file-number order.
  const std::vector<std::string>& file_list() const { return file_list_; }
  std::int32_t file_count() const { return selection_.count; }
  double total_size() const { return selection_.total_size; }
  const std::string& index_path() const { return index_path_; }
  const std::string& data_path() const { return data_path_; }
  // W of the last extraction.
  std::int32_t word_count() const { return lexicon_.word_count(); }

  // Every path that the last run told it left out (unreadable folders,
  // files that cannot be opened or stored, files missing when read), in
  // the order told: the list behind its counts.
  const std::vector<std::string>& left_out() const { return left_out_; }
  // How many paths a message that counts left-out paths names before
  // "... and N more." (10; the command line names them all).
  void set_paths_shown(std::size_t paths) { paths_shown_ = paths; }

  // The file limit (32000); tests lower it.
  void set_file_limit(std::int32_t limit) { file_limit_ = limit; }
  // The stop flag of the run, set by Cancel in the pause box and by the
  // error handlers.
  bool* stop_flag() { return &stop_flag_; }

 private:
  RunOutcome Refuse(std::string_view text, bool focus);
  bool CheckSettings(bool listing_mode, std::string* title_content,
                     RunOutcome* outcome);
  void RunCountingPass(bool listing_mode, const SelectionRules& rules);
  RunOutcome RunExtraction(const SelectionRules& rules,
                           const std::string& title_content);
  void ShowCountingMessages();
  // Tells how many whats were left out and why, followed by their paths.
  void TellLeftOut(std::string_view what, std::string_view why,
                   const std::vector<std::string>& paths);
  void PrepareLargeDisplay(std::string_view caption);
  void ShowSortedList(std::string caption);
  std::string FormatGrouped(double value) const;

  IndexSettings* settings_;
  IndexPorts ports_;
  // Frees the blocks of replaced and discarded data files while the run
  // goes on; the module waits for it when it is destroyed.
  BackgroundDeletion deletion_;
  CommonWords* common_words_;
  Lexicon lexicon_;
  Selection selection_;
  std::vector<std::string> file_list_;
  std::vector<std::string> left_out_;
  std::size_t paths_shown_ = 10;
  std::string index_path_;
  std::string data_path_;
  std::int32_t file_limit_ = kFileLimit;
  bool stop_flag_ = false;
  bool running_ = false;
  bool listing_mode_ = false;
  bool index_created_ = false;
  double start_time_ = 0;
};

// The caption of "Create index file" and the other fixed captions.
inline constexpr std::string_view kCreateIndexFileCaption = "Create index file";
inline constexpr std::string_view kListFilesCaption = "List files";
inline constexpr std::string_view kListIndexedFilesCaption =
    "List files which were indexed";

}  // namespace orvane
