#include "cli/search_commands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/console_ports.h"
#include "engine/common/launcher_state.h"
#include "engine/common/program_texts.h"
#include "engine/files/folder.h"
#include "engine/modules/search_module.h"
#include "engine/search/search_run.h"
#include "engine/text/file_checks.h"

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
    "  --sort-by occurrence|relevance\n"
    "                        sort by the sum of the words' scores (as\n"
    "                        --sort) or by relevance: rare words weigh\n"
    "                        more, many occurrences of a word less\n"
    "  --explain             under each file, its score for each word and\n"
    "                        the sum (also in the HTML report)\n"
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

constexpr std::string_view kWhyHelp =
    "Usage: orvane why --index FILE_index.tavo [--top DIR] [--phrase]\n"
    "                  PATH [WORDS...]\n"
    "\n"
    "Tells whether the file PATH is in the index and, if not, which rule of\n"
    "the settings the index was made with left it out; for each word,\n"
    "whether the index holds it and, if not, why not, or its score in the\n"
    "file and how many files hold it.\n"
    "\n"
    "  --index FILE   the index file (its name ends in _index.tavo)\n"
    "  --top DIR      the folder that holds the indexed files now (default:\n"
    "                 the top folder the index was made from)\n"
    "  --phrase       the words are an exact phrase: tell whether the file\n"
    "                 holds it\n"
    "\n"
    "A PATH that is not absolute is taken from the current folder.\n";

constexpr std::string_view kDemoHelp =
    "Usage: orvane demo\n"
    "\n"
    "Indexes the sample tree that ships with the program into a temporary\n"
    "folder, runs searches of each type over it and prints their text\n"
    "reports.\n";

int Usage(std::string_view command, std::string_view message) {
  return RefuseArguments(command, message);
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

// "orvane search: " and the message on standard error; status 2.
int Refused(const std::string& message) {
  Print(stderr, "orvane search: " + message + "\n");
  return 2;
}

// The single file as a path under the top folder as given: a file reached
// through a link to the top folder (or from within it) is still in it.
// Otherwise the file as given.
std::string SingleFileUnderTop(const std::string& file, const std::string& top) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path real_file = fs::weakly_canonical(file, ec);
  if (ec) return file;
  fs::path real_top = fs::weakly_canonical(top, ec);
  if (ec) return file;
  fs::path relative = real_file.lexically_relative(real_top);
  if (relative.empty() || *relative.begin() == "..") return file;
  std::string under = top;
  if (under.back() != '/') under += '/';
  return under + relative.string();
}

// The view state of the command line: the engine keeps the results box and
// the command prints it at the end, so its many updates are not copied.
class SearchConsoleView : public ConsoleViewState {
 public:
  void SetText(std::string_view control, std::string_view text) override {
    if (control == "txbFiles") return;
    ConsoleViewState::SetText(control, text);
  }
};

// How many files the search listed, once it has ended with a count.
class SearchEnd : public RunProgress {
 public:
  void Found(std::int64_t count) override { count_ = count; }
  const std::optional<std::int64_t>& count() const { return count_; }

 private:
  std::optional<std::int64_t> count_;
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
  explicit ConsoleSearchPorts(std::string command)
      : prompter(std::move(command)) {}
  ConsolePrompter prompter;
  SearchConsoleView view;
  ConsoleYield yield;
  ConsoleOpener opener;
  LauncherState launcher;
  SearchEnd end;
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

// What `orvane search` is asked for: the flags read into the settings of
// the search, with the paths as given.
struct SearchRequest {
  std::string index_file;
  std::string top;
  std::string single_file;
  std::string report = "none";  // none, text or html
  std::string words;
  SearchSettings wanted;
};

// Takes the value of one flag of `orvane search` into *request. False when
// the value is missing or refused: *value is then what was given and
// *takes what the flag takes.
bool TakeSearchFlag(const std::string& flag, Flags& flags,
                    SearchRequest* request, std::string* value,
                    std::string_view* takes) {
  SearchSettings& wanted = request->wanted;
  if (flag == "--index") return flags.Value(&request->index_file);
  if (flag == "--top") return flags.Value(&request->top);
  if (flag == "--single-file") return flags.Value(&request->single_file);
  if (flag == "--type") {
    *takes = "any, all or phrase";
    if (!flags.Value(value)) return false;
    if (*value == "any") {
      wanted.cboSearchType = SearchType::kAnyWord;
    } else if (*value == "all") {
      wanted.cboSearchType = SearchType::kAllWords;
    } else if (*value == "phrase") {
      wanted.cboSearchType = SearchType::kExactPhrase;
    } else {
      return false;
    }
    return true;
  }
  if (flag == "--sort-by") {
    *takes = "occurrence or relevance";
    if (!flags.Value(value) ||
        (*value != "occurrence" && *value != "relevance")) {
      return false;
    }
    wanted.chkSortMatches = true;
    wanted.sort_by_relevance = *value == "relevance";
    return true;
  }
  if (flag == "--report") {
    *takes = "none, text or html";
    if (!flags.Value(value) ||
        (*value != "none" && *value != "text" && *value != "html")) {
      return false;
    }
    request->report = *value;
    return true;
  }
  if (flag == "--extract-size") {
    *takes = "1 to 9";
    if (!flags.Value(value) || value->size() != 1 || (*value)[0] < '1' ||
        (*value)[0] > '9') {
      return false;
    }
    wanted.cboSizeOfExtract = static_cast<std::int16_t>((*value)[0] - '1');
    return true;
  }
  if (flag == "--max-extracts") {
    // Checked here whether or not a report is asked for, with the bounds
    // of the window's box: up to four digits, not zero.
    *takes = "a number from 1 to 9999";
    if (!flags.Value(value) || value->empty() || value->size() > 4 ||
        value->find_first_not_of("0123456789") != std::string::npos ||
        value->find_first_not_of('0') == std::string::npos) {
      return false;
    }
    wanted.txbMaxNumExtracts = *value;
    return true;
  }
  if (flag == "--descriptions") {
    *takes = "0 or 1";
    return flags.Value(value) &&
           ParseBit(*value, &wanted.chkDisplayDescriptions);
  }
  if (flag == "--filepaths") {
    *takes = "0 or 1";
    return flags.Value(value) && ParseBit(*value, &wanted.chkDisplayFilepaths);
  }
  // --html-out
  if (!flags.Value(value)) return false;
  wanted.html_report_path = Absolute(*value);
  return true;
}

// Reads the arguments of `orvane search` into *request. Returns -1 when
// the search is to run, otherwise the exit status (0 after the help, 2
// for refused arguments).
int ParseSearchArguments(int argc, char** argv, SearchRequest* request) {
  static constexpr std::string_view kValueFlags[] = {
      "--index",     "--top",          "--single-file",  "--type",
      "--report",    "--extract-size", "--max-extracts", "--descriptions",
      "--filepaths", "--html-out",     "--sort-by"};
  request->wanted.chkGenerateHTML = false;
  auto add_word = [request](const std::string& word) {
    request->words += (request->words.empty() ? "" : " ") + word;
  };
  Flags flags(argc, argv);
  while (!flags.Done()) {
    std::string flag = flags.Take();
    if (flag == "--help" || flag == "-h") {
      std::fwrite(kSearchHelp.data(), 1, kSearchHelp.size(), stdout);
      return 0;
    }
    if (flag == "--sort") {
      request->wanted.chkSortMatches = true;
    } else if (flag == "--explain") {
      request->wanted.explain_scores = true;
    } else if (flag == "--no-open") {
      request->wanted.open_html_report = false;
    } else if (flag == "--") {
      while (!flags.Done()) add_word(flags.Take());
    } else if (std::find(std::begin(kValueFlags), std::end(kValueFlags),
                         flag) != std::end(kValueFlags)) {
      std::string value;
      std::string_view takes;
      if (TakeSearchFlag(flag, flags, request, &value, &takes)) continue;
      if (flags.Done() && value.empty()) {
        return Usage("search", flag + " needs a value");
      }
      return Usage("search", BadValue(flag, value, takes));
    } else if (flag.size() > 1 && flag[0] == '-') {
      return Usage("search", "unknown option '" + flag + "'");
    } else {
      add_word(flag);
    }
  }
  if (request->index_file.empty())
    return Usage("search", "--index is required");
  if (request->top.empty()) return Usage("search", "--top is required");
  return -1;
}

// The single file of the request as a path under the top folder, or empty
// when none is asked for. False, after the refusal, when it is a folder or
// does not exist.
bool ResolveSingleFile(const SearchRequest& request, std::string* single) {
  single->clear();
  if (request.single_file.empty()) return true;
  *single =
      SingleFileUnderTop(Absolute(request.single_file), Absolute(request.top));
  std::error_code ec;
  if (std::filesystem::is_directory(*single, ec)) {
    Refused("the --single-file " + request.single_file +
            " is a folder, not a file");
    return false;
  }
  if (!FileExists(*single)) {
    Refused("the --single-file " + request.single_file + " does not exist");
    return false;
  }
  return true;
}

// Prints what a search that ran found: the results box and the found-files
// line, the HTML report's path, or (no file found, a report asked for) the
// results on standard error. Returns the exit status.
int PrintSearchOutcome(const SearchRequest& request, const SearchModule& module,
                       const SearchEnd& end) {
  const SearchState& state = module.state();
  const bool found = state.intNumFilesFound > 0;
  if (request.report == "none") {
    Print(stdout, state.results.text());
    // A search that no file could match (no word begins with a stem) ends
    // before it counts: its line stays empty, as the window's label does.
    Print(stdout,
          (end.count() ? FoundFilesLine(module.settings().optSearchSingleFile,
                                        state)
                       : std::string()) +
              "\n");
  } else if (!found) {
    Print(stderr, state.results.text());
  } else if (request.report == "html") {
    if (module.last_report_path().empty()) return 2;
    Print(stdout, module.last_report_path() + "\n");
  }
  if (!FinishStandardOutput("search")) return 2;
  return found ? 0 : 1;
}

// Runs the search of a request, as the Search Module's window would with
// the same settings. Returns the exit status.
int RunSearchRequest(const SearchRequest& request) {
  if (!LoadTexts()) return 2;
  if (!FolderExists(request.top)) {
    std::string why = WhyNoFolder(request.top);
    return Refused("the top folder " + request.top + " " +
                   (why.empty() ? std::string("does not exist") : why));
  }
  std::string single;
  if (!ResolveSingleFile(request, &single)) return 2;

  ConsoleSearchPorts console("search");
  ConsoleLargeDisplay display(stdout);
  SearchModule module(SearchPorts{console.prompter, console.view, console.yield,
                                  console.opener, display, console.launcher,
                                  NumberFormat{}, console.end});
  SearchSettings& settings = module.settings();
  settings = request.wanted;
  settings.chkGenerateHTML = request.report != "none";
  settings.optHTMLReport = request.report == "html";
  module.ChooseTopFolder(Absolute(request.top));
  if (!single.empty()) settings.optSearchSingleFile = true;
  if (!module.ChooseIndexFile(Absolute(request.index_file))) return 2;
  if (!single.empty() && !module.SpecifySingleFile(single)) return 2;
  module.SearchWordsChanged(request.words);
  if (module.Search() != SearchModule::SearchClick::kSearched) return 2;
  return PrintSearchOutcome(request, module, console.end);
}

}  // namespace

std::string_view SearchCommandHelp(std::string_view command) {
  if (command == "search") return kSearchHelp;
  if (command == "list") return kListHelp;
  if (command == "demo") return kDemoHelp;
  if (command == "why") return kWhyHelp;
  return std::string_view();
}

int RunSearchCommand(int argc, char** argv) {
  SearchRequest request;
  if (int status = ParseSearchArguments(argc, argv, &request); status >= 0) {
    return status;
  }
  return RunSearchRequest(request);
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
        return Usage("list", "--index needs a value");
      }
    } else if (flag == "--by-folder") {
      by_folder = true;
    } else {
      return Usage("list", "unknown argument '" + flag + "'");
    }
  }
  if (index_file.empty()) return Usage("list", "--index is required");
  if (!LoadTexts()) return 2;

  ConsoleSearchPorts console("list");
  CaptionedConsoleDisplay display;
  SearchModule module(SearchPorts{console.prompter, console.view,
                                  console.yield, console.opener, display,
                                  console.launcher});
  module.settings().optByFolder = by_folder;
  if (!module.ChooseIndexFile(Absolute(index_file))) return 2;
  bool listed = module.ListIndexedFiles();
  std::fputc('\n', stdout);
  if (!FinishStandardOutput("list")) return 2;
  return listed ? 0 : 2;
}

int RunWhyCommand(int argc, char** argv) {
  std::string index_file;
  std::string top;
  std::string path;
  std::string words;
  bool phrase = false;
  Flags flags(argc, argv);
  while (!flags.Done()) {
    std::string flag = flags.Take();
    if (flag == "--help" || flag == "-h") {
      std::fwrite(kWhyHelp.data(), 1, kWhyHelp.size(), stdout);
      return 0;
    } else if (flag == "--index" || flag == "--top") {
      if (!flags.Value(flag == "--index" ? &index_file : &top)) {
        return Usage("why", flag + " needs a value");
      }
    } else if (flag == "--phrase") {
      phrase = true;
    } else if (flag.size() > 1 && flag[0] == '-' && path.empty()) {
      return Usage("why", "unknown option '" + flag + "'");
    } else if (path.empty()) {
      path = flag;
    } else {
      words += (words.empty() ? "" : " ") + flag;
    }
  }
  if (index_file.empty()) return Usage("why", "--index is required");
  if (path.empty()) return Usage("why", "the path of a file is required");
  if (!LoadTexts()) return 2;

  ConsoleSearchPorts console("why");
  ConsoleLargeDisplay display(stdout);
  SearchModule module(SearchPorts{console.prompter, console.view,
                                  console.yield, console.opener, display,
                                  console.launcher});
  if (!top.empty()) module.ChooseTopFolder(Absolute(top));
  if (!module.ChooseIndexFile(Absolute(index_file))) return 2;
  // Without --top, the top folder is the one the index was made from, not
  // one noted for the index by the window.
  if (top.empty()) module.settings().txbTopFolder.clear();
  module.settings().txbSearchWords = words;
  module.settings().cboSearchType =
      phrase ? SearchType::kExactPhrase : SearchType::kAllWords;
  std::vector<std::string> answer = module.AnswerWhyNotFound(Absolute(path));
  if (answer.empty()) return 2;
  for (const std::string& paragraph : answer) Print(stdout, paragraph + "\n");
  if (!FinishStandardOutput("why")) return 2;
  return 0;
}

}  // namespace orvane
