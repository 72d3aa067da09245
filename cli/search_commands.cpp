#include "cli/search_commands.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/console_ports.h"
#include "engine/common/launcher_state.h"
#include "engine/common/program_texts.h"
#include "engine/files/folder.h"
#include "engine/modules/search_module.h"

namespace orvane {

namespace {

constexpr std::string_view kSearchHelp =
    "Usage: orvane search --index FILE_index.tavo --top DIR [OPTIONS] WORDS...\n"
    "\n"
    "Searches the files of an index for the words, as the Search Module's\n"
    "Search button does. Without a report, standard output holds what the\n"
    "results box shows, then the found-files line.\n"
    "\n"
    "  --index FILE          the index file (its name ends in _index.tavo)\n"
    "  --top DIR             the folder that holds the indexed files\n"
    "  --single-file PATH    search this one indexed file only\n"
    "  --type any|all|phrase \"Any word\", \"All words\" (the default) or\n"
    "                        \"Exact phrase\"; a word ending in * is a stem\n"
    "                        (\"Any word\" only)\n"
    "  --sort                list the files by decreasing score\n"
    "  --report none|text|html\n"
    "                        none (the default); text: print the text report\n"
    "                        only; html: write the HTML report, open it and\n"
    "                        print its path\n"
    "  --extract-size 1-9    size of the extracts (default 5)\n"
    "  --max-extracts N      at most N extracts per file (1 to 9999)\n"
    "  --descriptions 0|1    include HTML descriptions (default 1)\n"
    "  --filepaths 0|1       include file paths in the HTML report (default 0)\n"
    "  --html-out FILE       write the HTML report to FILE instead of tavo.htm\n"
    "  --no-open             do not open the HTML report\n"
    "\n"
    "Exit status: 0 files found, 1 none, 2 refused query or unusable index.\n";

constexpr std::string_view kListHelp =
    "Usage: orvane list --index FILE_index.tavo [--by-folder]\n"
    "\n"
    "Lists the relative paths of the files an index holds, alphabetically or,\n"
    "with --by-folder, in index order grouped by folder.\n";

constexpr std::string_view kDemoHelp =
    "Usage: orvane demo\n"
    "\n"
    "Indexes the sample tree that ships with the program into a temporary\n"
    "folder, runs searches of each type over it and prints their text\n"
    "reports.\n";

int Usage(std::string_view message, std::string_view help) {
  std::fprintf(stderr, "orvane: %.*s\n\n%.*s", static_cast<int>(message.size()),
               message.data(), static_cast<int>(help.size()), help.data());
  return 2;
}

void Print(std::FILE* to, std::string_view text) {
  std::string out = ConsoleText(text);
  std::fwrite(out.data(), 1, out.size(), to);
}

std::string Absolute(const std::string& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

// The view state of the command line: the engine keeps the results box and
// the command prints it at the end, so its many updates are not copied.
class SearchConsoleView : public ConsoleViewState {
 public:
  SearchConsoleView() : ConsoleViewState(false) {}
  void SetText(std::string_view control, std::string_view text) override {
    if (control == "txbFiles") return;
    ConsoleViewState::SetText(control, text);
  }
};

// The large display on standard output, with the window's caption as a
// heading (the listing's caption tells its order and the number of files).
class CaptionedConsoleDisplay : public ConsoleLargeDisplay {
 public:
  void SetCaption(std::string_view caption) override {
    Print(stdout, std::string(caption) + "\n\n");
  }
};

bool LoadTexts() {
  Status loaded = LoadProgramTexts("tavo.dat");
  if (!loaded.ok()) Print(stderr, "orvane: " + loaded.message() + "\n");
  return loaded.ok();
}

// The ports of one command-line run.
struct ConsoleSearchPorts {
  ConsolePrompter prompter;
  SearchConsoleView view;
  ConsoleYield yield;
  ConsoleOpener opener;
  LauncherState launcher;
};

// Reads "--flag value" pairs and plain words.
class Flags {
 public:
  Flags(int argc, char** argv) : args_(argv, argv + argc) {}
  bool Done() const { return at_ >= args_.size(); }
  const std::string& Peek() const { return args_[at_]; }
  std::string Take() { return args_[at_++]; }
  // The value after the flag just taken; false when there is none.
  bool Value(std::string* value) {
    if (Done()) return false;
    *value = Take();
    return true;
  }

 private:
  std::vector<std::string> args_;
  std::size_t at_ = 0;
};

bool ParseBit(const std::string& text, bool* bit) {
  if (text != "0" && text != "1") return false;
  *bit = text == "1";
  return true;
}

}  // namespace

std::string_view SearchCommandHelp(std::string_view command) {
  if (command == "search") return kSearchHelp;
  if (command == "list") return kListHelp;
  if (command == "demo") return kDemoHelp;
  return std::string_view();
}

int RunSearchCommand(int argc, char** argv) {
  std::string index_file;
  std::string top;
  std::string single_file;
  std::string report = "none";
  std::string words;
  SearchSettings wanted;
  wanted.chkGenerateHTML = false;
  Flags flags(argc, argv);
  while (!flags.Done()) {
    std::string flag = flags.Take();
    std::string value;
    bool ok = true;
    if (flag == "--help" || flag == "-h") {
      std::fwrite(kSearchHelp.data(), 1, kSearchHelp.size(), stdout);
      return 0;
    } else if (flag == "--index") {
      ok = flags.Value(&index_file);
    } else if (flag == "--top") {
      ok = flags.Value(&top);
    } else if (flag == "--single-file") {
      ok = flags.Value(&single_file);
    } else if (flag == "--type") {
      ok = flags.Value(&value);
      if (value == "any") {
        wanted.cboSearchType = SearchType::kAnyWord;
      } else if (value == "all") {
        wanted.cboSearchType = SearchType::kAllWords;
      } else if (value == "phrase") {
        wanted.cboSearchType = SearchType::kExactPhrase;
      } else {
        ok = false;
      }
    } else if (flag == "--sort") {
      wanted.chkSortMatches = true;
    } else if (flag == "--report") {
      ok = flags.Value(&report) &&
           (report == "none" || report == "text" || report == "html");
    } else if (flag == "--extract-size") {
      ok = flags.Value(&value) && value.size() == 1 && value[0] >= '1' &&
           value[0] <= '9';
      if (ok) wanted.cboSizeOfExtract = static_cast<std::int16_t>(value[0] - '1');
    } else if (flag == "--max-extracts") {
      ok = flags.Value(&wanted.txbMaxNumExtracts);
    } else if (flag == "--descriptions") {
      ok = flags.Value(&value) && ParseBit(value, &wanted.chkDisplayDescriptions);
    } else if (flag == "--filepaths") {
      ok = flags.Value(&value) && ParseBit(value, &wanted.chkDisplayFilepaths);
    } else if (flag == "--html-out") {
      ok = flags.Value(&value);
      wanted.html_report_path = Absolute(value);
    } else if (flag == "--no-open") {
      wanted.open_html_report = false;
    } else if (flag == "--") {
      while (!flags.Done()) words += (words.empty() ? "" : " ") + flags.Take();
    } else if (flag.size() > 2 && flag.compare(0, 2, "--") == 0) {
      return Usage("unknown option '" + flag + "'", kSearchHelp);
    } else {
      words += (words.empty() ? "" : " ") + flag;
    }
    if (!ok) return Usage("bad or missing value for " + flag, kSearchHelp);
  }
  if (index_file.empty()) return Usage("--index is required", kSearchHelp);
  if (top.empty()) return Usage("--top is required", kSearchHelp);
  if (!LoadTexts()) return 2;
  if (!FolderExists(top)) {
    Print(stderr, "orvane: the top folder " + top + " does not exist\n");
    return 2;
  }

  ConsoleSearchPorts console;
  ConsoleLargeDisplay display(stdout);
  SearchModule module(SearchPorts{console.prompter, console.view,
                                  console.yield, console.opener, display,
                                  console.launcher});
  SearchSettings& settings = module.settings();
  settings = wanted;
  settings.chkGenerateHTML = report != "none";
  settings.optHTMLReport = report == "html";
  module.ChooseTopFolder(Absolute(top));
  if (!single_file.empty()) settings.optSearchSingleFile = true;
  if (!module.ChooseIndexFile(Absolute(index_file))) return 2;
  if (!single_file.empty() && !module.SpecifySingleFile(Absolute(single_file))) {
    return 2;
  }
  module.SearchWordsChanged(words);

  SearchModule::SearchClick click = module.cmdSearch_Click();
  if (click != SearchModule::SearchClick::kSearched) return 2;
  const SearchState& state = module.state();
  const bool found = state.intNumFilesFound > 0;
  if (report == "none") {
    Print(stdout, state.results.text());
    Print(stdout, console.view.Text("lblNumFilesFound") + "\n");
  } else if (!found) {
    Print(stderr, state.results.text());
  } else if (report == "html") {
    if (module.last_report_path().empty()) return 2;
    Print(stdout, module.last_report_path() + "\n");
  }
  std::fflush(stdout);
  return found ? 0 : 1;
}

int RunListCommand(int argc, char** argv) {
  std::string index_file;
  bool by_folder = false;
  Flags flags(argc, argv);
  while (!flags.Done()) {
    std::string flag = flags.Take();
    if (flag == "--help" || flag == "-h") {
      std::fwrite(kListHelp.data(), 1, kListHelp.size(), stdout);
      return 0;
    } else if (flag == "--index") {
      if (!flags.Value(&index_file)) {
        return Usage("bad or missing value for --index", kListHelp);
      }
    } else if (flag == "--by-folder") {
      by_folder = true;
    } else {
      return Usage("unknown argument '" + flag + "'", kListHelp);
    }
  }
  if (index_file.empty()) return Usage("--index is required", kListHelp);
  if (!LoadTexts()) return 2;

  ConsoleSearchPorts console;
  CaptionedConsoleDisplay display;
  SearchModule module(SearchPorts{console.prompter, console.view,
                                  console.yield, console.opener, display,
                                  console.launcher});
  module.settings().optByFolder = by_folder;
  if (!module.ChooseIndexFile(Absolute(index_file))) return 2;
  bool listed = module.cmdListIndexedFiles_Click();
  std::fputc('\n', stdout);
  std::fflush(stdout);
  return listed ? 0 : 2;
}

}  // namespace orvane
