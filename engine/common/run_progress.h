// What a long run tells as it goes, as numbers and paths rather than as
// the texts of its labels: the files counted, the file being read of the
// files counted, the different words found so far, the files a search
// finds, and the closing status of an indexing run. The runs raise these
// beside the labels they set through ViewState; the command line draws its
// progress line and prints its summaries from them, and the tests compare
// the whole sequence. Every call does nothing by default, so that an
// adapter takes only what it shows.
//
// Also the one "keep going?" check that every long loop makes after a unit
// of work.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/common/launcher_state.h"
#include "engine/common/ports.h"

namespace orvane {

class RunProgress {
 public:
  virtual ~RunProgress() = default;

  // Indexing: files_counted files are selected so far.
  virtual void Counting(std::int64_t /*files_counted*/) {}
  // Indexing: the counting pass selected files files of bytes bytes.
  virtual void Counted(std::int64_t /*files*/, double /*bytes*/) {}
  // Indexing: file number (1-based) of total is read now; path is its
  // full path.
  virtual void FileStarted(std::int64_t /*number*/, std::int64_t /*total*/,
                           std::string_view /*path*/) {}
  // Indexing: different_words different words are found so far.
  virtual void Words(std::int64_t /*different_words*/) {}
  // Indexing: every file is read; the index of different_words words is
  // being written.
  virtual void Writing(std::int64_t /*different_words*/) {}
  // Indexing: the run ended; closing is the status it shows last (for
  // example "Data extraction completed.   Index file is ...  Time = ...").
  virtual void Finished(std::string_view /*closing*/) {}
  // Indexing: the run made an index of files files of bytes bytes;
  // left_out tells what the rules left out, by reason (empty when
  // nothing). Raised just before Finished.
  virtual void Summary(std::int64_t /*files*/, double /*bytes*/,
                       std::string_view /*left_out*/) {}

  // Searching: the search lists found file number (1-based, in listing
  // order); relative_path is its path under the top folder.
  virtual void FileFound(std::int64_t /*number*/,
                         std::string_view /*relative_path*/) {}
  // Searching: the search ended, having listed count files.
  virtual void Found(std::int64_t /*count*/) {}
};

// The RunProgress that tells nobody: the default of the ports.
RunProgress& NoRunProgress();

// The "keep going?" check of every long loop: lets the window system
// process pending input (a click on Stop, Pause, Cancel or Quit is handled
// inside it), then reads the launcher's quit flag and the loop's own stop
// flag, which that click may have set.
// Inline: the extraction asks it after every line it reads.
inline RunFlags LetWindowSystemRun(Yield& yield, const LauncherState& launcher,
                                   const bool& stop_flag) {
  yield.ProcessPendingEvents();
  return RunFlags{launcher.blnQuit, stop_flag};
}

}  // namespace orvane
