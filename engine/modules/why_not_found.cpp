#include "engine/modules/why_not_found.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "engine/common/cp1252.h"
#include "engine/files/folder.h"
#include "engine/format/file_names.h"
#include "engine/index/file_selection.h"
#include "engine/index/settings_file.h"
#include "engine/index/word_extraction.h"
#include "engine/search/file_changes.h"
#include "engine/text/charset.h"
#include "engine/text/extract_builder.h"
#include "engine/text/file_checks.h"
#include "engine/text/number_text.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

// Answers no question: the settings are read without messages.
class SilentPrompter : public Prompter {
 public:
  void ShowMessage(MessageIcon, std::string_view, std::string_view) override {}
  Answer Ask(MessageIcon, std::string_view, std::string_view,
             MessageButtons) override {
    return Answer::kCancel;
  }
};

// The words as typed, split at blanks only: a word that holds characters
// which split it is answered as it was typed.
std::vector<std::string> SplitAtBlanks(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::size_t end = i;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
    if (end > i) words.emplace_back(text.substr(i, end - i));
    i = end;
  }
  return words;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

std::string Plural(std::int64_t n, std::string_view one, std::string_view many) {
  return FormatNumber(static_cast<double>(n), 0) + " " +
         std::string(n == 1 ? one : many);
}

std::int64_t NsOf(const struct timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The file with that relative path in the index (exact comparison, as
// the search's single file is found), or nothing.
std::optional<std::uint32_t> FindIndexedFile(const IndexStoreReader& store,
                                             std::string_view relative) {
  const std::uint32_t n = store.file_count();
  for (std::uint32_t k = 0; k < n; ++k) {
    if (store.File(k).relative_path == relative) return k;
  }
  return std::nullopt;
}

// What the system says when the file is opened for reading.
std::string OpenError(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd >= 0) {
    ::close(fd);
    return "it could not be read";
  }
  return std::strerror(errno);
}

// Why the file rules left the file out, after "It is not in the index: ".
std::string RuleReason(const FileRuling& ruling, const SelectionRules& rules,
                       const std::string& path) {
  switch (ruling.rule) {
    case FileRule::kExtension:
      return "its extension " + Quoted(ruling.setting) +
             " is one of the excluded extensions.";
    case FileRule::kTopFolder:
      return "it lies directly in the top folder, and the files of the top "
             "folder are excluded.";
    case FileRule::kExcludedFile:
      return "it is one of the excluded files (" + Quoted(ruling.setting) +
             ").";
    case FileRule::kExcludedFilepath:
      return "its path holds the excluded filepath " + Quoted(ruling.setting) +
             ".";
    case FileRule::kNotRegular:
      return "it is a link or not a regular file, and links are not "
             "followed.";
    case FileRule::kMinimumSize:
      return "it holds " + Plural(ruling.size, "byte", "bytes") +
             ", under the minimum file size of " +
             Plural(rules.minimum_size, "byte", "bytes") + ".";
    case FileRule::kUnopenable:
      return "it cannot be read (" + OpenError(path) + ").";
    case FileRule::kNotText: {
      if (ruling.kind == kCheckFileEmpty) return "it is empty.";
      if (ruling.kind == kCheckFileMissing) {
        return "it vanished while it was looked at.";
      }
      const TextFileFacts& facts = ruling.facts;
      if (facts.first_control_position == 0) {
        return "it is not text by the text check.";
      }
      return "it is not text: the text check found control characters in "
             "its first 8,192 characters (" +
             FormatNumber(facts.control_percentage, 2) +
             " %), the first of code " +
             std::to_string(facts.first_control_char) + " at byte " +
             FormatNumber(static_cast<double>(facts.first_control_position),
                          0) +
             ".";
    }
    case FileRule::kSpecialLetters: {
      const TextFileFacts& facts = ruling.facts;
      std::string letters;
      for (char c : facts.special_letters) {
        if (!letters.empty()) letters += ' ';
        letters += ContentToDisplay(std::string_view(&c, 1));
      }
      return "it holds too many special letters, and files with special "
             "letters are excluded: " +
             Plural(facts.distinct_special_letters, "different one",
                    "different ones") +
             " (" + letters + "), " +
             FormatNumber(facts.special_letter_percentage, 2) +
             " % of the characters looked at.";
    }
    case FileRule::kUnstorable:
      return "its path holds a double quote or a line break, which an index "
             "cannot store.";
    case FileRule::kKept:
      break;
  }
  return std::string();
}

// Why the folder rule keeps the walk out of the file's folder, after "It is
// not in the index: "; empty when the walk reaches it.
std::string FolderReason(const FileRules& rules, std::string_view relative) {
  const std::string& top = rules.rules().top_folder;
  std::size_t slash = relative.find('/');
  if (slash == std::string_view::npos) return std::string();
  if (!rules.includes_subfolders()) {
    return "it lies in a subfolder, and no subfolder is included (only the "
           "files directly in the top folder are taken).";
  }
  for (; slash != std::string_view::npos; slash = relative.find('/', slash + 1)) {
    const std::string folder(relative.substr(0, slash));
    std::string filepath;
    if (rules.VisitsSubfolder(top + folder, &filepath)) continue;
    if (!filepath.empty()) {
      return "its folder " + Quoted(folder) + " holds the excluded filepath " +
             Quoted(filepath) + ".";
    }
    return "it lies outside the included subfolders: the folder " +
           Quoted(folder) + " is not one of them" +
           (rules.rules().include_subfolders_of_subfolders
                ? std::string(".")
                : std::string(" (subfolders of the included subfolders are "
                              "not included)."));
  }
  return std::string();
}

std::string AnswerFile(const WhyQuestion& question, const FileRules& rules,
                       const IndexStoreReader& store,
                       std::optional<std::uint32_t>* file_index) {
  const std::string& top = rules.rules().top_folder;
  const std::string& path = question.path;
  if (path.size() <= top.size() || path.compare(0, top.size(), top) != 0) {
    return path + " is not in the top folder " + top +
           " of this index, so the index does not hold it.";
  }
  const std::string relative = path.substr(top.size());
  *file_index = FindIndexedFile(store, relative);
  struct stat st;
  const bool exists = ::lstat(path.c_str(), &st) == 0;
  const std::optional<std::int64_t> index_time = ModifiedNs(question.index_file);
  if (*file_index) {
    std::string answer = path + " is in the index (file " +
                         FormatNumber(**file_index + 1.0, 0) + " of " +
                         FormatNumber(store.file_count(), 0) + ").";
    std::optional<FileFacts> now = RegularFileFacts(path);
    if (!now) {
      answer += " It no longer exists, so a search does not list it.";
    } else if (ChangedSinceIndexed(store.File(**file_index), now, index_time)) {
      answer +=
          " It changed after the index was made: a search finds it by the "
          "words it held then and shows what it holds now.";
    }
    return answer;
  }
  const std::string not_in = path + " is not in the index: ";
  if (!exists) return path + " does not exist.";
  std::string reason = FolderReason(rules, relative);
  if (!reason.empty()) return not_in + reason;
  const std::size_t slash = path.rfind('/');
  const std::string folder = path.substr(0, slash + 1);
  const FileRuling ruling =
      rules.Judge(folder, LowerCaseText(folder), path.substr(slash + 1));
  reason = RuleReason(ruling, rules.rules(), path);
  if (!reason.empty()) return not_in + reason;
  // Every rule takes it: what the index cannot know of.
  const std::int64_t touched =
      std::max(NsOf(st.st_mtim), NsOf(st.st_ctim));
  if (index_time && touched > *index_time) {
    return not_in +
           "it was created, changed or moved here after the index was made.";
  }
  if (store.file_count() >= rules.rules().file_limit) {
    return not_in + "the index holds the most files a run may take (" +
           FormatNumber(rules.rules().file_limit, 0) + ").";
  }
  return not_in +
         "the settings it was made with take it, so the index was made from "
         "other settings or another tree.";
}

// Collects what word extraction makes of a typed word.
class WordsOfText : public WordSink {
 public:
  bool TakeWord(std::string_view word, std::uint32_t) override {
    taken.emplace_back(word);
    return true;
  }
  void DropWord(std::string_view word, WordDrop why) override {
    dropped.emplace_back(std::string(word), why);
  }
  std::vector<std::string> taken;
  std::vector<std::pair<std::string, WordDrop>> dropped;
};

std::string DropReason(WordDrop why) {
  switch (why) {
    case WordDrop::kTooLong:
      return "it is too long: words of more than " +
             std::to_string(WordExtractor::kMaxWordLength) +
             " characters are not indexed.";
    case WordDrop::kSpecialLetters:
      return "it holds special letters, and words with special letters are "
             "excluded.";
    case WordDrop::kThreeInARow:
      return "it holds three identical characters in a row, and such words "
             "are not indexed.";
  }
  return std::string();
}

std::string AnswerWord(std::string_view typed, const IndexSettings& settings,
                       IndexStoreReader& store, CommonWords& common_words,
                       std::optional<std::uint32_t> file_index,
                       std::string* lower_out) {
  std::optional<Content> content = DisplayToContent(typed);
  if (!content) {
    return "The word " + Quoted(typed) +
           " holds a character that no index can hold.";
  }
  const std::string lower = LowerCaseText(*content);
  *lower_out = lower;
  const std::string shown = Quoted(ContentToDisplay(lower));
  // A stem stands for the words of the lexicon that begin with it.
  if (lower.size() >= 2 && lower.back() == '*' &&
      lower.find('*') == lower.size() - 1) {
    const WordRange range =
        store.StemRange(std::string_view(lower).substr(0, lower.size() - 1));
    const std::uint32_t words = range.empty() ? 0 : range.last - range.first;
    return "The stem " + shown +
           (words == 0 ? std::string(" matches no word of the lexicon.")
                       : " matches " + Plural(words, "word", "words") +
                             " of the lexicon.");
  }
  const std::vector<std::string>& common = common_words.words();
  const bool is_common = std::binary_search(common.begin(), common.end(), lower);
  const std::string common_note =
      is_common ? " It is a common word: only its first occurrence in a file "
                  "counts."
                : "";
  if (std::optional<std::int32_t> number = store.FindWord(lower)) {
    Postings postings;
    Status read = store.ReadPostings(*number, &postings);
    if (!read.ok()) return read.message();
    std::string answer = "The word " + shown + " is in the lexicon: " +
                         Plural(static_cast<std::int64_t>(postings.size()),
                                "file holds", "files hold") +
                         " it";
    if (file_index) {
      auto at = std::lower_bound(postings.file_indexes.begin(),
                                 postings.file_indexes.end(), *file_index);
      if (at != postings.file_indexes.end() && *at == *file_index) {
        answer += ", and its score in this file is " +
                  std::to_string(postings.scores[static_cast<std::size_t>(
                      at - postings.file_indexes.begin())]) +
                  " (of 255).";
      } else {
        answer += ", but not this file.";
      }
    } else {
      answer += ".";
    }
    return answer + common_note;
  }
  // The word as a line of its own, blanks round it, through the rules of
  // word extraction.
  WordsOfText words;
  WordExtractor extractor(&common_words, &words);
  extractor.SetTagMarkers("");
  extractor.set_exclude_special_letters(settings.chkExcludeSpecialLetters);
  extractor.StartFile();
  std::string line = " " + lower + " ";
  extractor.ExtractLineWords(line);
  const std::string not_in = "The word " + shown + " is not in the lexicon: ";
  if (words.taken.empty() && words.dropped.size() == 1 &&
      words.dropped[0].first == lower) {
    return not_in + DropReason(words.dropped[0].second);
  }
  if (words.taken.size() == 1 && words.taken[0] == lower) {
    return not_in + "it never occurs in an indexed file." + common_note;
  }
  if (words.taken.empty() && words.dropped.empty()) {
    return not_in + "it holds no character of a word.";
  }
  std::string pieces;
  for (const std::string& piece : words.taken) {
    if (!pieces.empty()) pieces += ", ";
    pieces += Quoted(ContentToDisplay(piece));
  }
  std::string answer = not_in + "it holds characters that split it";
  answer += pieces.empty() ? std::string(", and no piece of it is indexed.")
                           : " into the words " + pieces + ".";
  return answer;
}

}  // namespace

WhySettingsSource SettingsOfIndex(const std::string& index_file,
                                  IndexSettings* settings) {
  SilentPrompter silent;
  SetDefaults(settings);
  const std::string kept = IndexSettingsPathFor(index_file);
  // As written: the tree may have moved since, and its rules hold still.
  if (!kept.empty() && FileExists(kept) &&
      ReadSettingsAsWritten(kept, settings) == LoadResult::kLoaded) {
    return WhySettingsSource::kKeptWithIndex;
  }
  SetDefaults(settings);
  const std::string saved =
      GetAppDataFilePath(kDefaultIndexSettingsFile, kAppDataSubfolder);
  if (FileExists(saved) &&
      LoadSettings(saved, settings, &silent, false) == LoadResult::kLoaded) {
    return WhySettingsSource::kSavedForNextRun;
  }
  SetDefaults(settings);
  return WhySettingsSource::kDefaults;
}

std::vector<std::string> AnswerWhyNotFound(const WhyQuestion& question,
                                           IndexStoreReader& store,
                                           CommonWords& common_words) {
  std::vector<std::string> answer;
  IndexSettings settings;
  switch (SettingsOfIndex(question.index_file, &settings)) {
    case WhySettingsSource::kKeptWithIndex:
      break;
    case WhySettingsSource::kSavedForNextRun:
      answer.push_back(
          "The settings this index was made with are not kept beside it; "
          "the answer takes the settings saved for the next run of the "
          "Index Module.");
      break;
    case WhySettingsSource::kDefaults:
      answer.push_back(
          "The settings this index was made with are not kept beside it; "
          "the answer takes the default settings.");
      break;
  }
  if (!question.top_folder.empty()) settings.txbTopFolder = question.top_folder;
  if (TrimSpaces(settings.txbTopFolder).empty()) {
    answer.push_back(
        "The top folder of this index is not known: choose the folder that "
        "holds its files, and ask again.");
    return answer;
  }
  const FileRules rules(RulesFromSettings(settings));

  std::optional<std::uint32_t> file_index;
  answer.push_back(AnswerFile(question, rules, store, &file_index));

  std::vector<std::string> phrase;
  for (const std::string& typed : SplitAtBlanks(question.words)) {
    std::string lower;
    answer.push_back(
        AnswerWord(typed, settings, store, common_words, file_index, &lower));
    if (!lower.empty()) phrase.push_back(lower);
  }
  if (question.phrase && phrase.size() >= 2 && file_index &&
      FileExists(question.path)) {
    ExtractBuilder builder;
    builder.options.search_words = phrase;
    builder.options.exact_phrase = true;
    std::string joined;
    for (const std::string& word : phrase) {
      joined += (joined.empty() ? "" : " ") + ContentToDisplay(word);
    }
    answer.push_back(builder.ContainsPhrase(question.path, phrase)
                         ? "The phrase " + Quoted(joined) +
                               " is confirmed in this file."
                         : "The phrase " + Quoted(joined) +
                               " is not in this file: its words do not "
                               "stand there together in that order.");
  }
  return answer;
}

}  // namespace orvane
