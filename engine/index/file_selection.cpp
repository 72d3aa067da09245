#include "engine/index/file_selection.h"

#include <sys/stat.h>

#include <cerrno>
#include <utility>
#include <system_error>

#include "engine/common/records.h"
#include "engine/files/filepath_exclusions.h"
#include "engine/files/folder.h"
#include "engine/index/file_judges.h"
#include "engine/text/charset.h"
#include "engine/text/file_checks.h"
#include "engine/text/number_text.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

constexpr std::int32_t kCheckedCharacters = 8192;
constexpr double kControlLimitPercent = 0.1;
constexpr double kSpecialLetterLimitPercent = 0.1;
constexpr int kMaxDistinctSpecialLetters = 2;

// What the file rules say of one file.
struct Verdict {
  enum What { kLeftOut, kUnstorable, kUnopenable, kKept } what = kLeftOut;
  std::int16_t kind = 0;  // kKept: the check's line-end code
  std::int64_t size = 0;  // kKept: its size
  DocumentKind document = DocumentKind::kNone;  // kKept: a document's kind
  FileRule rule = FileRule::kKept;  // the rule that decided
};

Verdict VerdictOf(const FileRuling& ruling) {
  Verdict verdict;
  verdict.rule = ruling.rule;
  switch (ruling.rule) {
    case FileRule::kKept:
      verdict.what = Verdict::kKept;
      verdict.kind = ruling.kind;
      verdict.size = ruling.size;
      verdict.document = ruling.document;
      break;
    case FileRule::kUnstorable:
      verdict.what = Verdict::kUnstorable;
      break;
    case FileRule::kUnopenable:
      verdict.what = Verdict::kUnopenable;
      break;
    default:
      break;
  }
  return verdict;
}

// The one excluded extension that documents carry.
constexpr std::string_view kPdfExtension = "pdf";

class Walk {
 public:
  Walk(const SelectionRules& rules, SelectionMode mode, const IndexPorts& ports,
       bool* stop_flag, Selection* result)
      : rules_(rules),
        file_rules_(rules),
        mode_(mode),
        ports_(ports),
        stop_flag_(stop_flag),
        result_(result) {}

  void Run() { WalkFolder(rules_.top_folder, true); }

 private:
  bool Ended() const {
    return *stop_flag_ || ports_.launcher.blnQuit || result_->too_many_files;
  }

  void ReportFolderError(const std::string& folder, const FolderError& error) {
    ports_.prompter.ShowMessage(
        MessageIcon::kWarning, "Error",
        error.description + ":\r\n" + folder);
    *stop_flag_ = true;
  }

  void WalkFolder(const std::string& folder, bool is_top) {
    FolderListing listing;
    FolderError error;
    if (!ListFolder(folder, &listing, &error)) {
      if (error.number == kErrorPermissionDenied) {
        ++result_->unreadable_folders;
        result_->unreadable_folder_paths.push_back(folder);
      } else if (error.number != kErrorPathNotFound || is_top) {
        // A subfolder that vanished since its parent was listed has nothing
        // left to index; any other failure ends the run.
        ReportFolderError(folder, error);
      }
      return;
    }
    if (!(is_top && rules_.exclude_files_in_top_folder)) {
      const std::string folder_lower = LowerCaseText(folder);
      const std::vector<std::string>& names = listing.files;
      // The files are judged on this thread and the helper's, each taking
      // the next file not yet taken; the verdicts are taken here in the
      // files' order, with every call to the ports.
      judges_.Judge(names.size(), [&](std::size_t i) {
        return VerdictOf(file_rules_.Judge(folder, folder_lower, names[i]));
      }, [&](const Verdict& verdict, std::size_t i) {
        TakeFile(verdict, folder + names[i]);
        return !Ended();
      });
      if (Ended()) return;
    }
    if (ports_.launcher.blnQuit || result_->too_many_files ||
        !file_rules_.includes_subfolders()) {
      return;
    }
    for (const std::string& name : listing.subfolders) {
      std::string path = folder + name;
      if (!file_rules_.VisitsSubfolder(path)) continue;
      WalkFolder(path + "/", false);
      if (Ended()) return;
    }
  }

  // The counting step for a file that passed.
  void TakeFile(const Verdict& verdict, const std::string& path) {
    if (verdict.what != Verdict::kKept) {
      ++result_->left_out[static_cast<std::size_t>(verdict.rule)];
      if (rules_.keep_left_out_files) {
        result_->left_out_files.emplace_back(path, verdict.rule);
      }
    }
    if (verdict.what == Verdict::kUnstorable) {
      ++result_->unstorable_paths;
      result_->unstorable_file_paths.push_back(path);
    } else if (verdict.what == Verdict::kUnopenable) {
      result_->unopenable_file_paths.push_back(path);
    } else if (verdict.what == Verdict::kKept) {
      Count(std::string_view(path).substr(rules_.top_folder.size()),
            verdict.size, verdict.kind, verdict.document);
    }
  }

  void Count(std::string_view relative, std::int64_t size,
             std::int16_t kind, DocumentKind document) {
    if (LetWindowSystemRun(ports_.yield, ports_.launcher, *stop_flag_).stop) {
      return;
    }
    ++result_->count;
    // The one place where the store's file limit is checked.
    if (static_cast<std::uint32_t>(result_->count) > rules_.file_limit) {
      result_->too_many_files = true;
      return;
    }
    result_->total_size += static_cast<double>(size);
    if (document != DocumentKind::kNone) ++result_->documents;
    result_->file_list.push_back(
        SelectedFile{std::string(relative), kind, size, document});
    if (mode_ == SelectionMode::kListing) {
      ports_.display.Output(
          std::to_string(result_->count) + ". " + std::string(relative), 1,
          true);
      if (!ports_.display.IsVisible()) ports_.launcher.blnQuit = true;
      return;
    }
    ports_.progress.Counting(result_->count);
    if (result_->count % 10 == 0 && result_->count >= 50) {
      ports_.view.SetText("lblNowProcessingFile",
                           "Counting files to be indexed ... " +
                               std::to_string(result_->count));
      ports_.view.Repaint();
    }
  }

  const SelectionRules& rules_;
  FileRules file_rules_;
  SelectionMode mode_;
  const IndexPorts& ports_;
  bool* stop_flag_;
  Selection* result_;
  FileJudges<Verdict> judges_;
};

std::string WithoutTrailingSlashes(std::string text) {
  while (!text.empty() && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

FileRules::FileRules(const SelectionRules& rules) : rules_(rules) {
  top_lower_ = LowerCaseText(rules.top_folder);
  for (const std::string& s : rules.included_subfolders) {
    std::string folded = LowerCaseText(s);
    if (rules.include_subfolders_of_subfolders) AddTrailingBackslash(folded);
    included_.insert(std::move(folded));
  }
  for (const std::string& e : rules.excluded_files) {
    excluded_files_.insert(LowerCaseText(rules.top_folder + e));
  }
  for (const std::string& p : rules.excluded_filepaths) {
    excluded_filepaths_.push_back(LowerCaseText(p));
  }
}

const std::string* FileRules::HeldFilepath(const std::string& lower_path) const {
  for (const std::string& item : excluded_filepaths_) {
    if (lower_path.find(item) != std::string::npos) return &item;
  }
  return nullptr;
}

bool FileRules::VisitsSubfolder(const std::string& path,
                                std::string* filepath) const {
  std::string relative =
      LowerCaseText(std::string_view(path).substr(rules_.top_folder.size()));
  if (!rules_.include_subfolders_of_subfolders) {
    return included_.count(relative) > 0;
  }
  // The folder lies within an included subfolder when one of its
  // ancestors in folder form (or the folder itself) is one.
  relative.push_back('/');
  for (std::size_t slash = relative.find('/'); slash != std::string::npos;
       slash = relative.find('/', slash + 1)) {
    if (included_.count(relative.substr(0, slash + 1)) > 0) {
      const std::string* held = HeldFilepath(LowerCaseText(path));
      if (held != nullptr && filepath != nullptr) *filepath = *held;
      return held == nullptr;
    }
  }
  return false;
}

FileRuling FileRules::Judge(const std::string& folder,
                            const std::string& folder_lower,
                            const std::string& name) const {
  FileRuling ruling;
  auto left_out = [&ruling](FileRule rule) {
    ruling.rule = rule;
    return ruling;
  };
  bool document_only = false;
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) {
    std::string extension = LowerCaseText(name.substr(dot + 1));
    if (IsExcludedExtension(extension)) {
      // With documents read, a ".pdf" file is looked into: only a file
      // that begins as a PDF is kept.
      if (!rules_.read_documents || extension != kPdfExtension) {
        ruling.setting = std::move(extension);
        return left_out(FileRule::kExtension);
      }
      document_only = true;
    }
  }
  if (rules_.exclude_files_in_top_folder && folder_lower == top_lower_) {
    return left_out(FileRule::kTopFolder);
  }
  std::string path = folder + name;
  if (!excluded_files_.empty() || !excluded_filepaths_.empty()) {
    std::string lower = LowerCaseText(path);
    if (excluded_files_.count(lower) > 0) {
      ruling.setting = lower.substr(top_lower_.size());
      return left_out(FileRule::kExcludedFile);
    }
    if (const std::string* held = HeldFilepath(lower)) {
      ruling.setting = *held;
      return left_out(FileRule::kExcludedFilepath);
    }
  }
  // The size decides before the look into the file: the outcome is the
  // same, and a stat costs less than a read.
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return left_out(FileRule::kNotRegular);
  }
  ruling.size = static_cast<std::int64_t>(st.st_size);
  if (rules_.minimum_size > 0 && ruling.size < rules_.minimum_size) {
    return left_out(FileRule::kMinimumSize);
  }
  std::string_view relative =
      std::string_view(path).substr(rules_.top_folder.size());
  const bool unstorable =
      relative.find_first_of("\"\r\n") != std::string_view::npos;
  // A file that passed every rule but the text check: kept when its first
  // bytes tell a document.
  auto judge_document = [&](FileRule otherwise) {
    ruling.document = RecognizeDocumentFile(path);
    if (ruling.document == DocumentKind::kNone) {
      if (otherwise == FileRule::kExtension) ruling.setting = kPdfExtension;
      return left_out(otherwise);
    }
    if (unstorable) return left_out(FileRule::kUnstorable);
    ruling.kind = kCheckTextCrLf;
    return ruling;
  };
  if (document_only) return judge_document(FileRule::kExtension);
  // CheckTextFileAndLetters when special letters are excluded, else
  // CheckTextFile; the lstat above has just found a regular file there.
  std::int16_t kind = CheckWalkedTextFile(
      path, kCheckedCharacters, true, rules_.exclude_special_letters,
      &ruling.facts, kControlLimitPercent);
  ruling.kind = kind;
  // A file that cannot be opened is told, not passed over in silence.
  if (kind == kCheckCannotOpen) return left_out(FileRule::kUnopenable);
  // What the text check refuses may be a document; a text file is never
  // looked into again, so a tree without documents costs nothing more.
  if (kind <= 0) {
    return rules_.read_documents ? judge_document(FileRule::kNotText)
                                 : left_out(FileRule::kNotText);
  }
  if (rules_.exclude_special_letters &&
      ruling.facts.distinct_special_letters > kMaxDistinctSpecialLetters &&
      ruling.facts.special_letter_percentage > kSpecialLetterLimitPercent) {
    return left_out(FileRule::kSpecialLetters);
  }
  if (unstorable) return left_out(FileRule::kUnstorable);
  return ruling;
}

std::string_view FileRuleReason(FileRule rule) {
  switch (rule) {
    case FileRule::kKept:
      return "kept";
    case FileRule::kNotText:
      return "not text";
    case FileRule::kMinimumSize:
      return "under the minimum size";
    case FileRule::kSpecialLetters:
      return "with many special letters";
    case FileRule::kExtension:
      return "of an excluded extension";
    case FileRule::kTopFolder:
    case FileRule::kExcludedFile:
    case FileRule::kExcludedFilepath:
      return "excluded by name or path";
    case FileRule::kNotRegular:
      return "links or special files";
    case FileRule::kUnopenable:
      return "unreadable";
    case FileRule::kUnstorable:
      return "with a path the index cannot hold";
  }
  return "left out";
}

std::string LeftOutText(const Selection& selection,
                        const NumberFormat& format) {
  // The reasons a user acts on first: what the files are, then the
  // settings that left them out, then what could not be read or stored.
  // Rules that give one reason are counted together.
  constexpr FileRule kOrder[] = {
      FileRule::kNotText,      FileRule::kMinimumSize,
      FileRule::kSpecialLetters, FileRule::kExtension,
      FileRule::kTopFolder,    FileRule::kExcludedFile,
      FileRule::kExcludedFilepath, FileRule::kNotRegular,
      FileRule::kUnopenable,   FileRule::kUnstorable};
  std::vector<std::pair<std::string_view, std::int64_t>> counts;
  for (FileRule rule : kOrder) {
    const std::int64_t n = selection.left_out[static_cast<std::size_t>(rule)];
    const std::string_view reason = FileRuleReason(rule);
    if (!counts.empty() && counts.back().first == reason) {
      counts.back().second += n;
    } else {
      counts.emplace_back(reason, n);
    }
  }
  std::string text;
  for (const auto& [reason, n] : counts) {
    if (n == 0) continue;
    text += text.empty() ? "Left out: " : ", ";
    text += FormatNumber(static_cast<double>(n), 0, format) + " ";
    text += reason;
  }
  if (selection.unreadable_folders > 0) {
    text += text.empty() ? "Left out: " : ", ";
    text += FormatNumber(selection.unreadable_folders, 0, format) +
            (selection.unreadable_folders == 1 ? " unreadable folder"
                                               : " unreadable folders");
  }
  if (!text.empty()) text += ".";
  return text;
}

SelectionRules RulesFromSettings(const IndexSettings& settings) {
  SelectionRules rules;
  rules.top_folder = TrimSpaces(settings.txbTopFolder);
  AddTrailingBackslash(rules.top_folder);
  for (std::string& entry : SplitTrimmedLines(settings.txbIncludedFolders)) {
    entry = WithoutTrailingSlashes(std::move(entry));
    if (!entry.empty()) rules.included_subfolders.push_back(std::move(entry));
  }
  rules.include_subfolders_of_subfolders =
      settings.chkIncludeSubfoldersOfSubfolders;
  rules.exclude_files_in_top_folder = settings.chkExcludeFilesInTopFolder;
  rules.excluded_files = SplitTrimmedLines(settings.txbExcludedFiles);
  rules.excluded_filepaths =
      SplitExcludedFilepaths(settings.txbExcludedFilepaths);
  rules.minimum_size = LeadingNumber(TrimSpaces(settings.txbMinimumFilesize));
  rules.exclude_special_letters = settings.chkExcludeSpecialLetters;
  rules.read_documents = settings.chkReadDocuments;
  return rules;
}

void SelectFiles(const SelectionRules& rules, SelectionMode mode,
                 const IndexPorts& ports, bool* stop_flag, Selection* result) {
  *result = Selection();
  Walk(rules, mode, ports, stop_flag, result).Run();
}

}  // namespace orvane
