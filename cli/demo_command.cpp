// orvane demo: the sample tree that ships with the program is indexed into a
// temporary folder by the Index Module's engine and searched by the Search
// Module's, with a text report for every search.
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "cli/console_ports.h"
#include "cli/index_progress.h"
#include "cli/search_commands.h"
#include "engine/common/launcher_state.h"
#include "engine/common/program_folder.h"
#include "engine/common/program_texts.h"
#include "engine/files/folder.h"
#include "engine/index/common_words.h"
#include "engine/index/index_settings.h"
#include "engine/modules/index_module.h"
#include "engine/modules/search_module.h"

namespace orvane {

namespace {

// A scratch folder removed with everything in it when the demo ends.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "orvane-demo-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  // Empty when the folder could not be made.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

struct DemoSearch {
  const char* words;
  SearchType type;
  bool sort;
};

// A few searches of each type over the sample tree.
constexpr DemoSearch kSearches[] = {
    {"liberty nation", SearchType::kAllWords, false},
    {"raven jabberwock sonnet", SearchType::kAnyWord, false},
    {"licen* warrant*", SearchType::kAnyWord, true},
    {"to be or not to be", SearchType::kExactPhrase, false},
    {"free software", SearchType::kExactPhrase, true},
    {"ratatouille tomates", SearchType::kAllWords, false},
};

// The program as a user types it: "orvane" when its folder is on the
// PATH, else its full path.
std::string ProgramAsTyped() {
  const std::filesystem::path folder = ProgramFolder();
  const char* path = std::getenv("PATH");
  std::string_view rest = path == nullptr ? std::string_view() : path;
  while (!rest.empty()) {
    std::size_t colon = rest.find(':');
    std::string_view entry = rest.substr(0, colon);
    std::error_code ec;
    if (!entry.empty() && std::filesystem::equivalent(entry, folder, ec)) {
      return "orvane";
    }
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return (folder / "orvane").string();
}

// What to run next: the two commands that index a folder of the user's
// and search it.
void PrintNextSteps() {
  const std::string orvane = ProgramAsTyped();
  std::printf(
      "To index a folder of your own (here ~/Documents, with all its "
      "subfolders)\nand search it, run:\n\n"
      "  %s index --top ~/Documents --include-all --subsub --out ~ "
      "--project documents --title \"My documents\"\n"
      "  %s search --index ~/documents_index.tavo --top ~/Documents "
      "--type any WORD...\n\n"
      "'%s help index' and '%s help search' explain every option.\n",
      orvane.c_str(), orvane.c_str(), orvane.c_str(), orvane.c_str());
}

void Heading(const std::string& text) {
  std::string rule(text.size(), '=');
  std::printf("%s\n%s\n\n", text.c_str(), rule.c_str());
}

}  // namespace

int RunDemoCommand(int argc, char** argv) {
  if (argc > 0) {
    return RefuseArguments("demo", "unknown argument '" + std::string(argv[0]) +
                                       "' (the demo takes none)");
  }
  Status texts = LoadProgramTexts("tavo.dat");
  if (!texts.ok()) {
    std::fprintf(stderr, "orvane: %s\n", texts.message().c_str());
    return 1;
  }
  std::string sample = ProgramFilePath("sample").string();
  if (!FolderExists(sample)) {
    std::fprintf(stderr, "orvane: the sample tree %s is missing\n", sample.c_str());
    return 1;
  }
  ScratchFolder scratch;
  if (scratch.path().empty()) {
    std::fprintf(stderr, "orvane: cannot make a temporary folder\n");
    return 1;
  }

  // Indexing.
  ConsolePrompter prompter;
  ConsoleViewState view;
  ConsoleYield yield;
  ConsoleClock clock;
  ConsoleOpener opener;
  ConsoleLargeDisplay quiet(stderr);
  LauncherState launcher;
  IndexProgressLine progress(nullptr, false);  // keeps the closing status
  IndexModule indexer(IndexPorts{prompter, view, yield, quiet, clock, launcher,
                                 NumberFormat{}, progress});
  IndexSettings& settings = indexer.settings();
  SetDefaults(&settings);
  settings.txbProjectName = "sample";
  settings.txbTitle = "The sample tree of Orvane File Search";
  settings.txbTopFolder = sample + "/";
  settings.txbOutputFolder = scratch.path() + "/";
  // Every subfolder of the sample, with its own subfolders; the notes in
  // French and German belong to the demo too.
  FolderError error;
  if (!IncludeWholeTree(&settings, &error)) {
    std::fprintf(stderr, "orvane: the sample tree %s cannot be read: %s\n",
                 settings.txbTopFolder.c_str(), error.description.c_str());
    return 1;
  }
  settings.chkExcludeSpecialLetters = false;
  indexer.common_words().LoadCommonWords(ProgramFilePath("cwds.txt"));
  Heading("Indexing " + settings.txbTopFolder);
  if (indexer.CreateIndexFile() != RunOutcome::kCompleted) {
    std::fprintf(stderr, "orvane: the sample tree could not be indexed\n");
    return 1;
  }
  std::printf("%s\n\n", progress.closing().c_str());

  // Searching, each search with its text report.
  ConsoleLargeDisplay display(stdout);
  SearchModule searcher(
      SearchPorts{prompter, view, yield, opener, display, launcher});
  SearchSettings& search = searcher.settings();
  search.chkGenerateHTML = true;
  search.optHTMLReport = false;
  search.txbMaxNumExtracts = "3";
  searcher.ChooseTopFolder(settings.txbTopFolder);
  if (!searcher.ChooseIndexFile(indexer.state().index_path)) return 1;
  int failures = 0;
  for (const DemoSearch& s : kSearches) {
    search.cboSearchType = s.type;
    search.chkSortMatches = s.sort;
    searcher.SearchWordsChanged(s.words);
    Heading(std::string("Search: ") + s.words + " (" +
            std::string(SearchTypeLabel(s.type)) + (s.sort ? ", sorted" : "") +
            ")");
    SearchModule::SearchClick click = searcher.Search();
    if (click != SearchModule::SearchClick::kSearched) {
      ++failures;
    } else if (searcher.state().intNumFilesFound == 0) {
      std::fputs(ConsoleText(searcher.state().results.text()).c_str(), stdout);
    }
    std::printf("\n");
  }
  PrintNextSteps();
  if (!FinishStandardOutput("demo")) return 1;
  return failures == 0 ? 0 : 1;
}

}  // namespace orvane
