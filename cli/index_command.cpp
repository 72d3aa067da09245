#include "cli/index_command.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console_ports.h"
#include "cli/index_progress.h"
#include "cli/status_line.h"
#include "engine/common/launcher_state.h"
#include "engine/common/program_folder.h"
#include "engine/common/program_texts.h"
#include "engine/files/folder.h"
#include "engine/index/common_words.h"
#include "engine/modules/index_module.h"
#include "engine/index/settings_file.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

constexpr std::string_view kHelp =
    "Usage: orvane index --settings FILE.usri [--list]\n"
    "       orvane index --top DIR --out DIR --project NAME --title TITLE\n"
    "                    [OPTIONS...] [--list] [--save-settings FILE.usri]\n"
    "\n"
    "Creates the index file NAME_index.tavo and the store file\n"
    "NAME_store.tavo in the output folder from the text files of a folder\n"
    "tree, as \"Create index file\" of the Index Module does. Messages and\n"
    "progress go to standard error; the last line on standard output is the\n"
    "closing status.\n"
    "\n"
    "  --settings FILE    take the settings from an Index Module settings\n"
    "                     file; flags given as well change single settings\n"
    "  --top DIR          top folder holding the files to be indexed\n"
    "  --out DIR          output folder for the index and store files\n"
    "  --project NAME     project name (the files' names begin with it)\n"
    "  --title TITLE      title of the project, stored in the index\n"
    "  --include SUB      index the files of subfolder SUB of the top folder\n"
    "                     (relative to it; may be given more than once);\n"
    "                     without any, only the top folder's own files count\n"
    "  --include-all      include every subfolder of the top folder\n"
    "  --subsub           include the subfolders of the included subfolders\n"
    "                     too, at every depth\n"
    "  --exclude-top      leave out the files directly in the top folder\n"
    "  --exclude-file REL leave out this file (relative to the top folder;\n"
    "                     may be given more than once)\n"
    "  --exclude-paths \"a, b\"\n"
    "                     leave out files and folders whose paths contain\n"
    "                     any of these comma-separated strings\n"
    "  --min-size N       leave out files shorter than N bytes (default 400;\n"
    "                     0: no minimum)\n"
    "  --special-letters 0|1\n"
    "                     1 (default): leave out files with many accented\n"
    "                     letters and words with any; 0: keep them\n"
    "  --classic-data-file\n"
    "                     also write the classic data file NAME_data.tavo,\n"
    "                     for programs that read only the index and data\n"
    "                     files (a run then takes at most 32000 files)\n"
    "  --documents, --no-documents\n"
    "                     read PDF, OpenDocument, Office, EPUB files and\n"
    "                     compressed text and index their text (default),\n"
    "                     or leave them out as files that are not text\n"
    "  --overwrite        replace an index file of the same name (without it,\n"
    "                     an existing index file is kept and the run refused)\n"
    "  --list             list the files that would be indexed, numbered, on\n"
    "                     standard output, instead of creating the index\n"
    "  --left-out         also list the files the rules leave out, each with\n"
    "                     its reason, after the files (or the closing status)\n"
    "  --save-settings FILE\n"
    "                     write these settings to a settings file (.usri)\n"
    "                     and do nothing else\n"
    "  --quiet            no progress on standard error (on a terminal one\n"
    "                     line rewritten in place, else a line a second)\n"
    "\n"
    "Exit status: 0 when the index was created (or the files listed, or the\n"
    "settings saved), 1 when the run stopped or failed, 2 when the settings\n"
    "or arguments were refused. Folders that cannot be read and files that\n"
    "cannot be opened are skipped, counted and named. Ctrl-C stops the run;\n"
    "no half-written index is left behind.\n";

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) {
  g_interrupted = 1;
  // A second Ctrl-C ends the program at once.
  std::signal(SIGINT, SIG_DFL);
}

// The console's "process pending input": a Ctrl-C arrives here as a stop.
class InterruptibleYield : public Yield {
 public:
  void set_stop_flag(bool* stop_flag) { stop_flag_ = stop_flag; }
  void ProcessPendingEvents() override {
    if (g_interrupted && stop_flag_ != nullptr) *stop_flag_ = true;
  }

 private:
  bool* stop_flag_ = nullptr;
};

// The large display window of "List files" on standard output: the
// numbered lines as they are found; the sorted list that the window shows
// afterwards is left out, its caption is printed last.
// "Files left out:" and a line for each, its path under the top folder
// and its reason, as --left-out asks.
void PrintLeftOutFiles(const IndexModule& module) {
  const auto& files = module.selection().left_out_files;
  if (files.empty()) return;
  std::string top = TrimSpaces(module.settings().txbTopFolder);
  AddTrailingBackslash(top);
  std::printf("Files left out:\n");
  for (const auto& [path, rule] : files) {
    const std::string shown =
        path.compare(0, top.size(), top) == 0 ? path.substr(top.size()) : path;
    std::printf("%s (%s)\n", shown.c_str(),
                std::string(FileRuleReason(rule)).c_str());
  }
}

class ListingOutput : public LargeDisplay {
 public:
  void SetCaption(std::string_view caption) override {
    caption_ = std::string(caption);
  }
  void SetBufferFullMessage(std::string_view) override {}
  void SetCopyButtonCaption(std::string_view) override {}
  void Show() override { visible_ = true; }
  void Hide() override { visible_ = false; }
  bool IsVisible() override { return visible_; }
  bool ReportBufferFull() override { return false; }
  void Clear() override {
    if (printed_) done_ = true;
  }
  void Output(std::string_view text, std::int16_t num_crlfs, bool) override {
    if (done_) return;
    printed_ = true;
    std::fwrite(text.data(), 1, text.size(), stdout);
    for (int i = 0; i < num_crlfs; ++i) std::fputc('\n', stdout);
  }
  void DisplayArray(const std::vector<std::string>&, std::int32_t,
                    std::int32_t, std::string_view, bool) override {}
  const std::string& caption() const { return caption_; }

 private:
  std::string caption_;
  bool visible_ = false;
  bool printed_ = false;
  bool done_ = false;
};

struct Arguments {
  std::string settings_file;
  std::string save_settings_file;
  bool list = false;
  bool left_out = false;
  bool quiet = false;
  bool overwrite = false;
  bool include_all = false;
  std::vector<std::string> includes;
  std::vector<std::string> excluded_files;
};

int Refused(const std::string& message) {
  return RefuseArguments("index", message);
}

// Reads the flags into *args and the settings they set into *settings.
// Returns 0, or the exit status of a refusal.
int ParseArguments(int argc, char** argv, Arguments* args,
                   IndexSettings* settings, ConsolePrompter* prompter) {
  // A settings file comes first, whatever its place: the other flags
  // change single settings of it.
  for (int i = 0; i + 1 < argc; ++i) {
    if (std::string_view(argv[i]) == "--settings") args->settings_file = argv[i + 1];
  }
  if (!args->settings_file.empty() &&
      LoadSettings(args->settings_file, settings, prompter, true) !=
          LoadResult::kLoaded) {
    return 2;
  }
  for (int i = 0; i < argc; ++i) {
    std::string_view flag = argv[i];
    auto value = [&](std::string* into) {
      if (i + 1 >= argc) return false;
      *into = argv[++i];
      return true;
    };
    std::string text;
    bool ok = true;
    if (flag == "--settings") {
      ++i;
    } else if (flag == "--top") {
      ok = value(&settings->txbTopFolder);
      AddTrailingBackslash(settings->txbTopFolder);
    } else if (flag == "--out") {
      ok = value(&settings->txbOutputFolder);
      AddTrailingBackslash(settings->txbOutputFolder);
    } else if (flag == "--project") {
      ok = value(&settings->txbProjectName);
    } else if (flag == "--title") {
      ok = value(&settings->txbTitle);
    } else if (flag == "--include") {
      ok = value(&text);
      while (text.size() > 1 && text.back() == '/') text.pop_back();
      args->includes.push_back(text);
    } else if (flag == "--include-all") {
      args->include_all = true;
    } else if (flag == "--subsub") {
      settings->chkIncludeSubfoldersOfSubfolders = true;
    } else if (flag == "--exclude-top") {
      settings->chkExcludeFilesInTopFolder = true;
    } else if (flag == "--exclude-file") {
      ok = value(&text);
      args->excluded_files.push_back(text);
    } else if (flag == "--exclude-paths") {
      ok = value(&settings->txbExcludedFilepaths);
    } else if (flag == "--min-size") {
      ok = value(&text);
      if (ok && (text.empty() || text.size() > 9 ||
                 text.find_first_not_of("0123456789") != std::string::npos)) {
        return Refused(BadValue(flag, text, "a number of bytes, 0 for none"));
      }
      settings->txbMinimumFilesize = text;
    } else if (flag == "--special-letters") {
      ok = value(&text);
      if (ok && text != "0" && text != "1") {
        return Refused(BadValue(flag, text, "0 or 1"));
      }
      settings->chkExcludeSpecialLetters = text == "1";
    } else if (flag == "--classic-data-file") {
      settings->chkWriteClassicDataFile = true;
    } else if (flag == "--documents") {
      settings->chkReadDocuments = true;
    } else if (flag == "--no-documents") {
      settings->chkReadDocuments = false;
    } else if (flag == "--overwrite") {
      args->overwrite = true;
    } else if (flag == "--list") {
      args->list = true;
    } else if (flag == "--left-out") {
      args->left_out = true;
    } else if (flag == "--save-settings") {
      ok = value(&args->save_settings_file);
    } else if (flag == "--quiet") {
      args->quiet = true;
    } else {
      return Refused("unknown argument '" + std::string(flag) + "'");
    }
    if (!ok) return Refused(std::string(flag) + " needs a value");
  }
  // The run itself refuses a top folder that is not there or no folder.
  const bool top_usable = FolderExists(settings->txbTopFolder);
  if (args->include_all && top_usable) {
    FolderListing listing;
    FolderError error;
    if (!ListFolder(settings->txbTopFolder, &listing, &error)) {
      return Refused("the top folder " + settings->txbTopFolder +
                     " cannot be read: " + error.description);
    }
    args->includes.insert(args->includes.end(), listing.subfolders.begin(),
                          listing.subfolders.end());
  }
  for (const std::string& include : args->includes) {
    if (!top_usable) break;
    // A subfolder that cannot be read is skipped by the run, which names
    // it with the other folders it could not read.
    std::string why = WhyNoFolder(settings->txbTopFolder + include);
    if (why.rfind("cannot be read", 0) == 0) continue;
    if (!FolderExists(settings->txbTopFolder + include)) {
      return Refused("the included subfolder '" + include + "' " +
                     (why.empty() ? std::string("does not exist in the top folder")
                                  : why));
    }
  }
  if (!args->includes.empty()) {
    settings->txbIncludedFolders = JoinLines(args->includes);
  }
  if (!args->excluded_files.empty()) {
    settings->txbExcludedFiles = JoinLines(args->excluded_files);
  }
  return 0;
}

bool HasSubfolders(const std::string& folder) {
  std::string error_text;
  std::int32_t error_number = 0;
  return CountSubfolders(folder, &error_text, &error_number) > 0;
}

int ExitStatus(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::kCompleted:
    case RunOutcome::kListed:
      return 0;
    case RunOutcome::kRefused:
    case RunOutcome::kNotOverwritten:
      return 2;
    default:
      return 1;
  }
}

}  // namespace

int PrintIndexHelp() {
  std::fwrite(kHelp.data(), 1, kHelp.size(), stdout);
  return 0;
}

int RunIndexCommand(int argc, char** argv) {
  Status texts = LoadProgramTexts("tavo.dat");
  if (!texts.ok()) {
    std::fprintf(stderr, "orvane: %s\n", texts.message().c_str());
    return 1;
  }
  if (argc == 0) {
    return Refused(
        "nothing to index: give --top, --out, --project and --title, or "
        "--settings FILE.usri");
  }
  ConsolePrompter prompter("index");
  IndexSettings settings;
  Arguments args;
  if (int refused = ParseArguments(argc, argv, &args, &settings, &prompter)) {
    return refused;
  }
  if (!args.save_settings_file.empty()) {
    Status saved = WriteSettingsFile(args.save_settings_file, settings);
    if (saved.ok()) return 0;
    prompter.ShowMessage(MessageIcon::kWarning, "Save settings",
                         saved.message());
    return saved.kind() == Status::Kind::kRefused ? 2 : 1;
  }

  LauncherState launcher;
  prompter.AnswerWithFlag("Overwrite this?", "--overwrite", args.overwrite,
                          "Add --overwrite to replace it.");
  StatusLine status_line(stderr);
  prompter.set_status_line(&status_line);
  ConsoleViewState view;
  IndexProgressLine progress(&status_line, !args.quiet);
  ConsoleClock clock;
  ListingOutput listing;
  ConsoleLargeDisplay no_display(stderr);
  InterruptibleYield yield;
  IndexModule module(IndexPorts{
      prompter, view, yield,
      args.list ? static_cast<LargeDisplay&>(listing) : no_display, clock,
      launcher, NumberFormat{}, progress});
  module.settings() = settings;
  module.common_words().LoadCommonWords(ProgramFilePath("cwds.txt"));
  yield.set_stop_flag(&module.state().stop_flag);
  module.state().paths_shown = static_cast<std::size_t>(-1);
  module.state().keep_left_out_files = args.left_out;

  std::signal(SIGINT, OnInterrupt);
  RunOutcome outcome =
      args.list ? module.ListFiles() : module.CreateIndexFile();
  std::signal(SIGINT, SIG_DFL);
  status_line.Clear();
  if (outcome == RunOutcome::kNoFiles &&
      SplitTrimmedLines(module.settings().txbIncludedFolders).empty() &&
      HasSubfolders(module.settings().txbTopFolder)) {
    prompter.Print(
        "Only the files directly in the top folder count unless subfolders "
        "are included: give --include SUB for a subfolder, or "
        "--include-all --subsub for the whole tree.");
  }
  std::fflush(stdout);
  if (args.list) {
    if (outcome == RunOutcome::kListed) {
      std::printf("%s\n", listing.caption().c_str());
    }
  } else if (!progress.closing().empty()) {
    if (!progress.summary().empty()) {
      std::printf("%s\n", progress.summary().c_str());
    }
    std::printf("%s\n", progress.closing().c_str());
  }
  if (args.left_out) PrintLeftOutFiles(module);
  // The status is out before the module waits for the blocks of a
  // replaced data file to be freed.
  if (!FinishStandardOutput("index")) return 1;
  return ExitStatus(outcome);
}

}  // namespace orvane
