// File selection of an indexing run (the counting pass): walks the folder
// tree from the top folder, visits the included subfolders, applies the
// exclusion rules to every file and keeps the files that pass, adding up
// their sizes. It serves "List files" (listing mode: every file is shown as
// a numbered line in the large display window) and "Create index file"
// (counting mode: the kept files are what the extraction pass reads).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <unordered_set>
#include <vector>

#include "engine/format/index_store.h"
#include "engine/index/index_ports.h"
#include "engine/index/index_settings.h"
#include "engine/reading/document_kind.h"
#include "engine/text/file_checks.h"
#include "engine/text/number_text.h"

namespace orvane {

// The selection rules of a run, from checked settings.
struct SelectionRules {
  std::string top_folder;                        // folder form
  std::vector<std::string> included_subfolders;  // relative, as listed
  bool include_subfolders_of_subfolders = false;
  bool exclude_files_in_top_folder = false;
  std::vector<std::string> excluded_files;       // relative to the top
  std::vector<std::string> excluded_filepaths;   // no empty item
  std::int32_t minimum_size = 0;                 // 0: no minimum
  bool exclude_special_letters = true;
  // Documents (told by their first bytes) pass where the text check
  // refuses them, and a PDF's extension is no longer excluded.
  bool read_documents = false;
  // Keep the path and the deciding rule of every file left out
  // (Selection::left_out_files), for a listing of them.
  bool keep_left_out_files = false;
  // The most files the run may take (the store's limit).
  std::uint32_t file_limit = kClassicMaxFilesIndexed;
};

// The rules of the settings: the top folder in folder form, the included
// subfolders and excluded files split at line breaks (trimmed, empty lines
// dropped), the excluded filepaths split at commas (empty items dropped),
// the minimum size as the leading number of its field.
SelectionRules RulesFromSettings(const IndexSettings& settings);

// The rule that decided on a file, in the order the rules run.
enum class FileRule {
  kKept,              // passed every rule
  kExtension,         // an excluded extension
  kTopFolder,         // files directly in the top folder are left out
  kExcludedFile,      // one of the excluded files
  kExcludedFilepath,  // holds one of the excluded filepaths
  kNotRegular,        // a link, a folder or another non-regular file
  kMinimumSize,       // shorter than the minimum size
  kUnopenable,        // the text check could not open it
  kNotText,           // the text check found it is not text
  kSpecialLetters,    // too many special letters
  kUnstorable,        // its relative path holds a double quote, CR or LF
};
inline constexpr std::size_t kFileRuleCount =
    static_cast<std::size_t>(FileRule::kUnstorable) + 1;

// What the file rules found of one file.
struct FileRuling {
  FileRule rule = FileRule::kKept;
  // kKept: the text check's line-end code.
  std::int16_t kind = 0;
  // Its size, once the stat has been made.
  std::int64_t size = 0;
  // The entry of the setting that left it out: the extension, the
  // excluded file or the excluded filepath (lower case).
  std::string setting;
  // What the text check found (from kUnopenable on).
  TextFileFacts facts;
  // kKept: kNone for a text file, else the document's kind.
  DocumentKind document = DocumentKind::kNone;
};

// The folder rule and the file rules of a run, prepared once: the counting
// pass applies them to every folder and file it walks, and the answer to
// "why is this file not in the index" applies them to one.
class FileRules {
 public:
  explicit FileRules(const SelectionRules& rules);

  const SelectionRules& rules() const { return rules_; }
  bool includes_subfolders() const { return !included_.empty(); }

  // The folder rule for a subfolder path below the top folder (without its
  // trailing "/"). When an excluded filepath refuses the folder,
  // *filepath (when given) receives it.
  bool VisitsSubfolder(const std::string& path,
                       std::string* filepath = nullptr) const;

  // The file rules for the file name of folder (folder form; folder_lower
  // its lower-case form), in order, the first that rejects deciding. Makes
  // no call to the ports: it may run on any thread.
  FileRuling Judge(const std::string& folder, const std::string& folder_lower,
                   const std::string& name) const;

 private:
  // The excluded filepath that lower_path holds, or null.
  const std::string* HeldFilepath(const std::string& lower_path) const;

  SelectionRules rules_;
  std::string top_lower_;
  std::unordered_set<std::string> included_;
  std::unordered_set<std::string> excluded_files_;
  std::vector<std::string> excluded_filepaths_;
};

enum class SelectionMode { kListing, kCounting };

// A file that passed the rules.
struct SelectedFile {
  std::string relative_path;  // relative to the top folder
  // Its line-end type, as the text-file check found it (kCheckTextCrLf,
  // kCheckTextLfOnly or kCheckTextCrOnly).
  std::int16_t text_kind = 0;
  std::int64_t size = 0;  // in bytes, as it was counted
  // kNone for a text file; a document is read by the document reader.
  DocumentKind document = DocumentKind::kNone;
};

// What the counting pass leaves.
struct Selection {
  // Files that passed; one more than the file limit when the walk stopped
  // there (that file is neither stored nor added to the size).
  std::int32_t count = 0;
  // True when the walk stopped at the first file above the file limit: no
  // index can hold the selection.
  bool too_many_files = false;
  double total_size = 0;
  // How many of the files kept are documents.
  std::int32_t documents = 0;
  // The files kept, in the order of the walk.
  std::vector<SelectedFile> file_list;
  // Folders passed over because they cannot be read for lack of
  // permission.
  std::int32_t unreadable_folders = 0;
  // Files left out because their relative paths hold a double quote, CR or
  // LF, which the index text cannot store.
  std::int32_t unstorable_paths = 0;
  // The full paths of what is counted above (folders in folder form), and
  // of the files that passed every rule but could not be opened, in the
  // order the walk found them.
  std::vector<std::string> unreadable_folder_paths;
  std::vector<std::string> unstorable_file_paths;
  std::vector<std::string> unopenable_file_paths;
  // The files of the folders walked that the rules left out, by the rule
  // that decided (a FileRule as the index).
  std::array<std::int32_t, kFileRuleCount> left_out{};
  // With SelectionRules::keep_left_out_files: each file left out, as a
  // full path, and the rule that left it out, in the order of the walk.
  std::vector<std::pair<std::string, FileRule>> left_out_files;
};

// The reason a rule gives for the files it leaves out, as the closing
// status and the listing of files left out say it ("not text").
std::string_view FileRuleReason(FileRule rule);

// What the rules left out, by reason, for the closing status of a run:
// "Left out: 2,418 not text, 35 under the minimum size." in the order of
// the reasons, those with no file omitted; empty when nothing was left out.
std::string LeftOutText(const Selection& selection,
                        const NumberFormat& format = {});

// Runs the counting pass. Each file that passes lets the window system
// process pending input; the walk ends when *stop_flag or the quit flag is
// set (a closed listing window sets the quit flag), and at the first file
// above the file limit (too_many_files). A folder that cannot be read for
// another reason is reported (warning, title "Error") and sets
// *stop_flag.
void SelectFiles(const SelectionRules& rules, SelectionMode mode,
                 const IndexPorts& ports, bool* stop_flag, Selection* result);

}  // namespace orvane
