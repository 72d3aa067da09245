// The engine half of the Search Module window frmSearchMain: its settings
// and state, and the handlers of its controls that carry rules (choosing
// the index file, the top folder and the single file, Search/Stop, "Report
// ->", "List indexed files"). The window copies its widgets into settings()
// before a handler and shows what the handler wrote through the ports; the
// command line drives the same handlers from flags.
//
// While one handler runs (it lets the window system run between files), a
// second click never starts a second run over the same tables: Search and
// "Report ->" clicked while they read "Stop" stop the run, every other
// click is ignored. An exception inside a handler (a want of memory, or a
// bug) ends the run with an error message, never the program.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/index/common_words.h"

#include "engine/search/search_ports.h"
#include "engine/search/search_settings.h"
#include "engine/search/search_state.h"

namespace orvane {

// The Search Module window's caption: the launcher's caption, " -- " and UI
// text 5.
std::string SearchModuleCaption();

class SearchModule {
 public:
  explicit SearchModule(SearchPorts ports);
  SearchModule(const SearchModule&) = delete;
  SearchModule& operator=(const SearchModule&) = delete;

  SearchSettings& settings() { return settings_; }
  const SearchSettings& settings() const { return settings_; }
  SearchState& state() { return state_; }
  const SearchState& state() const { return state_; }
  SearchPorts& ports() { return ports_; }

  // What a click on Search did.
  enum class SearchClick {
    kIgnored,   // another run was going on and was not at "Stop" yet
    kStopped,   // the running search was asked to stop
    kRefused,   // a check refused the search (a message was shown)
    kNotLoaded, // the index could not be loaded
    kSearched,  // the search ran; state().intNumFilesFound files found
    kQuit,      // the application is quitting: the window closes
    kFailed,    // an unexpected failure ended the run (a message was shown)
  };
  SearchClick Search();

  // "Report ->": the report of the last search, HTML or text. Returns false
  // when it refused or failed.
  bool MakeReport();

  // "List indexed files". Returns false when nothing was listed.
  bool ListIndexedFiles();

  // cmdIndexFile_Click after the file dialog gave name: checks the name's
  // ending, puts it into txbIndexFile and loads it. Returns true when the
  // index is loaded. A loaded index offers the top folder it was made from
  // (IndexFoldersPath), when the top folder is empty or came with the index
  // opened before.
  bool ChooseIndexFile(std::string_view name);

  // cmdTopFolder_Click after the folder dialog gave folder.
  void ChooseTopFolder(std::string_view folder);

  // A path dropped on the window: a folder becomes the top folder; a file
  // whose name ends in ".tavo", or any path while no index file is chosen,
  // is chosen as the index file (and refused, as the dialog's choice is,
  // unless its name ends in "_index.tavo"); any other file, once an index
  // file is chosen, is asked "Why not found?" of. Returns true when an
  // index was loaded.
  bool PathDropped(std::string_view path);

  // The answer to "Why not found?" for the file at path (as typed or
  // dropped; relative to the top folder when not absolute), with the
  // search words and, under "Exact phrase", the phrase; the index is
  // loaded first when it is not. Empty, after the refusal was shown, when
  // no index file is chosen or it cannot be loaded.
  std::vector<std::string> AnswerWhyNotFound(std::string_view path);
  // cmdWhyNotFound_Click with path: shows the answer in a message box
  // titled "Why not found?". Returns false when it was refused.
  bool WhyNotFound(std::string_view path);

  // cmdSpecifyFile_Click after the file dialog gave path. Returns false
  // when the file was refused (outside the top folder, not indexed).
  bool SpecifySingleFile(std::string_view path);

  // True when the single file is in the loaded file list (letter case
  // ignored); otherwise shows UI text 75 titled title.
  bool CheckSingleFileIndexed(std::string_view title);

  // The search words box changed (to the display text typed): umlauts
  // typed as a letter and a double quote are made, and the change is noted
  // for "Report ->". Returns the normalised text for the box.
  std::string SearchWordsChanged(std::string_view typed);

  // chkSortMatches was clicked and now reads checked.
  void SortMatchesClicked(bool checked);
  // chkSortByRelevance was clicked and now reads checked; checking it
  // checks chkSortMatches too (the window shows both from settings()).
  void SortByRelevanceClicked(bool checked);

  // Forgets the loaded index (another index file, cleared box, settings).
  void ForgetIndex();

  bool busy() const { return busy_; }
  // The page written by the last HTML report, or empty.
  const std::string& last_report_path() const { return last_report_path_; }

 private:
  SearchClick CheckAndSearch();
  // Puts folder into txbTopFolder and forgets the last results.
  void SetTopFolder(std::string_view folder);
  // Takes noted as the top folder when it exists and the top folder is
  // empty or top_before (the one noted for the index opened before).
  void OfferNotedTopFolder(const std::string& noted,
                           const std::string& top_before);
  void WriteReport();
  void EnableControlsAfterRun();
  // After an unexpected failure: the run stopped, Search and the controls
  // given back.
  void RecoverFromFailure();
  // Runs work through the modules' Guarded, with RecoverFromFailure.
  template <class T, class Work>
  T Guarded(T failure, Work work);

  SearchPorts ports_;
  SearchSettings settings_;
  SearchState state_;
  bool busy_ = false;
  std::string last_report_path_;
  // The common-word list, read when "Why not found?" first needs it.
  std::unique_ptr<CommonWords> common_words_;
};

}  // namespace orvane
