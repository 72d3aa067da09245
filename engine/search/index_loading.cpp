#include "engine/search/index_loading.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>
#include <system_error>
#include <utility>

#include "engine/common/cp1252.h"
#include "engine/common/records.h"
#include "engine/files/background_deletion.h"
#include "engine/format/file_names.h"
#include "engine/format/index_store.h"
#include "engine/format/index_text.h"
#include "engine/format/run_files.h"
#include "engine/search/classic_store_reader.h"
#include "engine/search/data_file.h"
#include "engine/search/store_building.h"
#include "engine/search/store_index_reader.h"
#include "engine/store/store_fingerprint.h"
#include "engine/store/store_reader.h"
#include "engine/search/search_controls.h"
#include "engine/text/file_checks.h"

namespace orvane {

namespace fs = std::filesystem;

namespace {

// The longest entries the Index Module writes: a path it could open (the
// system takes paths of at most 4095 bytes) and a word of word extraction.
// A longer one is damage; were it read, a small damaged index (lines that
// compress to almost nothing) could fill the memory with copies of it.
constexpr std::size_t kMaxPathLength = 4095;
constexpr std::size_t kMaxWordLength = 60;

Status Damaged(std::string_view what) {
  return Status::Failed(IndexFileDamaged(what));
}

std::string LineText(std::int64_t line_number) {
  return "line " + std::to_string(line_number);
}

// The end of the text or a decompression failure inside a section; the
// failure says where the compressed text breaks off.
Status EndedInside(const IndexTextLines& lines, std::string_view where) {
  if (lines.error() != 0) {
    std::string found =
        "the compressed text breaks off inside " + std::string(where);
    if (lines.line_number() > 0) {
      found += ", after " + LineText(lines.line_number());
    }
    return Damaged(found);
  }
  if (lines.line_too_long()) return Damaged(lines.LineTooLongText());
  return Damaged("the index text ends inside " + std::string(where));
}

// Splits a lexicon line "number,"word"" into its two items, as a reader
// of delimited records would.
void SplitLexiconLine(std::string_view line, std::string_view* number,
                      std::string_view* word) {
  const char* begin = line.data();
  const char* end = begin + line.size();
  const char* comma = begin;
  while (comma < end && *comma != ',') ++comma;
  *number = std::string_view(begin, static_cast<std::size_t>(comma - begin));
  if (comma == end) {
    *word = std::string_view();
    return;
  }
  const char* p = comma + 1;
  while (p < end && *p == ' ') ++p;
  if (p < end && *p == '"') {
    const char* close = ++p;
    while (close < end && *close != '"') ++close;
    *word = std::string_view(p, static_cast<std::size_t>(close - p));
    return;
  }
  const char* stop = p;
  while (stop < end && *stop != ',') ++stop;
  while (stop > p && stop[-1] == ' ') --stop;
  *word = std::string_view(p, static_cast<std::size_t>(stop - p));
}

// The number of a lexicon line: plain digits the common case, read here at
// the lexicon's pace; anything else as the leading number of the text.
std::int32_t WordNumber(std::string_view text, bool* overflow) {
  if (text.empty() || text.size() > 9) return LeadingNumber(text, overflow);
  std::int32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return LeadingNumber(text, overflow);
    value = value * 10 + (c - '0');
  }
  *overflow = false;
  return value;
}

// A lexicon line as the Index Module writes it: up to nine digits, a comma
// and the quoted word, which ends the line and holds no quote. Sets the
// two items as SplitLexiconLine and WordNumber would; false for any other
// line. Half the time of a load goes into these lines.
bool ParsePlainLexiconLine(std::string_view line, std::int32_t* number,
                           std::string_view* word) {
  const char* begin = line.data();
  const char* end = begin + line.size();
  const char* p = begin;
  std::int32_t value = 0;
  while (p < end && p - begin < 9 && static_cast<unsigned char>(*p - '0') <= 9) {
    value = value * 10 + (*p - '0');
    ++p;
  }
  if (p == begin || end - p < 3 || p[0] != ',' || p[1] != '"' ||
      end[-1] != '"') {
    return false;
  }
  const char* first = p + 2;
  const auto length = static_cast<std::size_t>(end - 1 - first);
  if (std::memchr(first, '"', length) != nullptr) return false;
  *number = value;
  *word = std::string_view(first, length);
  return true;
}

// The folder of a path, for the free-space query.
std::string FolderOf(const std::string& path) {
  fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

// A reader of the index text standing just before its first count line.
std::unique_ptr<IndexTextLines> OpenAtCountLines(const std::string& index_file,
                                                 std::int64_t offset) {
  auto lines = std::make_unique<IndexTextLines>();
  if (lines->Open(index_file) == 0) lines->SkipTo(offset);
  return lines;
}

}  // namespace

Status ReadFileList(IndexTextLines& lines, ClassicIndex* index,
                    std::uint32_t max_files) {
  index->strFileList.clear();
  index->strFileList.reserve(500);
  std::string_view line;
  std::string item;
  // Takes one item; false when the list ends here (with error set when it
  // ends badly).
  Status error;
  auto take = [&](std::string_view path) {
    if (path == kEndOfFileList) {
      if (index->strFileList.empty()) {
        error = Damaged("the file list is empty");
      } else {
        index->intNumFiles =
            static_cast<std::int32_t>(index->strFileList.size());
      }
      return false;
    }
    // The one place where the limit on reading is checked.
    if (index->strFileList.size() == max_files) {
      error = Status::Failed("Overflow: the index file lists more than " +
                             std::to_string(max_files) + " files.");
      return false;
    }
    if (path.size() > kMaxPathLength) {
      error = Damaged("the path on " + LineText(lines.line_number()) +
                      " is longer than any path");
      return false;
    }
    // Stored as written: a name may begin or end with blanks here.
    index->strFileList.emplace_back(path);
    return true;
  };
  while (lines.Next(&line)) {
    // The Index Module writes one quoted path a line: its item is the text
    // between the quotes. Any other line is read item by item.
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"' &&
        std::memchr(line.data() + 1, '"', line.size() - 2) == nullptr) {
      if (!take(line.substr(1, line.size() - 2))) return error;
      continue;
    }
    DelimitedReader reader(line);
    while (reader.NextItem(&item)) {
      if (!take(item)) return error;
    }
  }
  return EndedInside(lines, "the file list");
}

Status ReadLexicon(IndexTextLines& lines, ClassicIndex* index) {
  std::string_view line;
  if (!lines.Next(&line)) return EndedInside(lines, "the lexicon header");
  std::vector<std::string> header = SplitRecord(line);
  bool overflow = false;
  std::int32_t num_words =
      header.empty() ? -1 : LeadingNumber(header[0], &overflow);
  if (num_words < 0 || overflow) {
    return Damaged("the lexicon header on " + LineText(lines.line_number()) +
                   " gives no word count");
  }
  index->lngNumWords = num_words;
  index->title = header.size() > 1 ? header[1] : std::string();

  // The header's count is not trusted for the allocation: a damaged count
  // must not reserve gigabytes.
  index->lexicon.clear();
  index->lexicon.reserve(static_cast<std::size_t>(std::min(num_words, 1 << 20)));
  index->lexicon_words.clear();
  // Room for words of 16 letters on average: the part not used is never
  // touched, while growing the text would copy it.
  index->lexicon_words.reserve(index->lexicon.capacity() * 16);
  std::string_view previous;
  for (std::int64_t i = 1; i <= static_cast<std::int64_t>(num_words) + 1; ++i) {
    if (!lines.Next(&line)) return EndedInside(lines, "the lexicon");
    std::int32_t number = 0;
    std::string_view word;
    overflow = false;
    if (!ParsePlainLexiconLine(line, &number, &word)) {
      std::string_view number_text;
      SplitLexiconLine(line, &number_text, &word);
      number = WordNumber(number_text, &overflow);
    }
    if (word == kEndOfLexicon) {
      if (i <= num_words) {
        return Damaged("the lexicon ends after " + std::to_string(i - 1) +
                       " of its " + std::to_string(num_words) + " words");
      }
      // Every number 1 to W once: checked now that the W lines are known to
      // be there, so that the table's size follows the text read.
      std::vector<bool> number_seen(static_cast<std::size_t>(num_words) + 1);
      for (const SearchLexiconEntry& e : index->lexicon) {
        auto n = static_cast<std::size_t>(e.lngWordNumber);
        if (number_seen[n]) {
          return Damaged("the word number " + std::to_string(n) +
                         " occurs twice in the lexicon");
        }
        number_seen[n] = true;
      }
      return Status::Ok();
    }
    if (i > num_words) {
      return Damaged("the lexicon holds more words than its header gives (" +
                     std::to_string(num_words) + ")");
    }
    if (word.size() > kMaxWordLength) {
      return Damaged("the word on " + LineText(lines.line_number()) +
                     " is longer than " + std::to_string(kMaxWordLength) +
                     " characters");
    }
    if (overflow || number < 1 || number > num_words) {
      return Damaged("the word number on " + LineText(lines.line_number()) +
                     " is out of range");
    }
    // The search looks words up by binary search, which needs the order.
    if (i > 1 && !(previous < word)) {
      return Damaged("the lexicon is out of order on " +
                     LineText(lines.line_number()));
    }
    SearchLexiconEntry entry;
    entry.word_offset = static_cast<std::uint32_t>(index->lexicon_words.size());
    entry.word_length = static_cast<std::uint32_t>(word.size());
    entry.lngWordNumber = number;
    index->lexicon.push_back(entry);
    index->lexicon_words.append(word);
    previous = index->Word(index->lexicon.size() - 1);
  }
  return Status::Ok();
}

namespace {

// A failed load leaves no index on screen: the labels of an index loaded
// before go with it.
void ClearIndexLabels(SearchPorts& ports) {
  ports.view.SetText("lblTitle[1]", "");
  ports.view.SetText("lblSearchableWords", "");
}

// What the loader found of a file that could not be opened as a compressed
// index.
std::string FoundAtOpen(const std::string& index_file, std::int32_t code) {
  if (code == squeez::kSourceUnreadable) return "The file cannot be read.";
  std::error_code ec;
  if (fs::file_size(index_file, ec) == 0 && !ec) return "The file is empty.";
  return "The file is not a compressed index text.";
}

// A load that failed inside the compressed text: the index is cleared and
// the failure shown (error icon), with what the loader found when it knows
// (found: where the text breaks off).
Status ShowDecompressionFailure(std::int32_t code, LoadedIndex* index,
                                SearchPorts& ports,
                                std::string_view found = {}) {
  index->Clear();
  ClearIndexLabels(ports);
  if (code == squeez::kBuffersUnavailable) {
    std::string text = "Allocation error when reading the index file.";
    ports.prompter.ShowMessage(MessageIcon::kError, "Error", text);
    return Status::Failed(std::move(text));
  }
  std::string text =
      "Error when reading the index file: " + std::to_string(code) +
      "\r\nProbably the index file is incomplete or corrupted.";
  if (!found.empty()) text += "\r\n" + std::string(found);
  text += "\r\nTry using the index module to recreate the index file.";
  ports.prompter.ShowMessage(MessageIcon::kError, "Error", text);
  SetSearchControlsEnabled(ports.view, true, false, false, true);
  return Status::Failed(std::move(text));
}

// Any other failed load: the index is cleared, the text shown (warning
// icon) and left in lblSearchableWords.
Status ShowReadFailure(std::string text, LoadedIndex* index,
                       SearchPorts& ports) {
  index->Clear();
  ClearIndexLabels(ports);
  ports.prompter.ShowMessage(MessageIcon::kWarning, "Error", text);
  ports.view.SetText("lblSearchableWords", text);
  return Status::Failed(std::move(text));
}

// A failure found while the index text was read: a decompression failure
// when the text broke off, the read failure with its prefix otherwise.
Status ShowTextFailure(const IndexTextLines& lines, std::string_view prefix,
                       const Status& failure, LoadedIndex* index,
                       SearchPorts& ports) {
  if (lines.error() != 0) {
    return ShowDecompressionFailure(lines.error(), index, ports,
                                    failure.message());
  }
  return ShowReadFailure(std::string(prefix) + failure.message(), index,
                         ports);
}

// Opens the index text into *lines and reads its file list and lexicon
// into *classic, showing the title; shows any failure.
Status ReadListAndLexicon(const std::string& index_file,
                          std::unique_ptr<IndexTextLines>* lines,
                          ClassicIndex* classic, LoadedIndex* index,
                          SearchPorts& ports,
                          std::uint32_t max_files = kClassicMaxFilesRead) {
  *lines = std::make_unique<IndexTextLines>();
  if (std::int32_t code = (*lines)->Open(index_file); code != 0) {
    return ShowDecompressionFailure(code, index, ports,
                                    FoundAtOpen(index_file, code));
  }
  Status read = ReadFileList(**lines, classic, max_files);
  if (!read.ok() || (*lines)->error() != 0) {
    return ShowTextFailure(**lines, "Error when reading file list: ", read,
                           index, ports);
  }
  read = ReadLexicon(**lines, classic);
  if (!read.ok() || (*lines)->error() != 0) {
    return ShowTextFailure(**lines, "Error when reading lexicon: ", read,
                           index, ports);
  }
  ports.view.SetText("lblTitle[1]", ContentToDisplay(classic->title));
  return Status::Ok();
}

// ReadIndexFile, but for running out of memory.
Status ReadAndCheckIndexFile(const std::string& index_file,
                             LoadedIndex* index, SearchPorts& ports,
                             ResultsBox& results) {
  index->blnDataFileReady = false;
  std::unique_ptr<IndexTextLines> lines;
  ClassicIndex classic;
  if (Status read = ReadListAndLexicon(index_file, &lines, &classic, index, ports);
      !read.ok()) {
    return read;
  }
  auto failed = [&](std::string_view prefix, const Status& failure) {
    return ShowTextFailure(*lines, prefix, failure, index, ports);
  };

  const std::int64_t count_lines_offset = lines->offset();
  classic.text_length = lines->recorded_length();
  if (classic.text_length < 0) {
    classic.text_length = lines->CountToEnd();
    if (classic.text_length < 0) {
      return ShowDecompressionFailure(
          lines->error(), index, ports,
          IndexFileDamaged("the compressed text breaks off among the count "
                           "lines"));
    }
  }
  // The index is ready once its data file is current.
  auto ready = [&] {
    index->Use(std::make_unique<ClassicStoreReader>(std::move(classic),
                                                    index->strDataFile));
    index->blnDataFileReady = true;
    return Status::Ok();
  };

  const std::int64_t rows = classic.DataFileRows();
  const std::int64_t files = classic.intNumFiles;
  DataFileState state = CheckDataFile(index->strDataFile, index_file, rows,
                                      classic.intNumFiles, classic.text_length);
  if (state == DataFileState::kCurrent) return ready();

  static constexpr std::string_view kCreating = "Error when creating data file: ";
  if (classic.text_length > 0x7FFFFFFF) {
    return ShowReadFailure(
        std::string(kCreating) +
            "The index text is too long for the data file's trailer.",
        index, ports);
  }
  // A stale data file is of no use to any index: it goes before the space
  // check, so that its own space counts as free. Its blocks are freed
  // behind the window (a data file may take gigabytes), and waited for
  // only when the space is short without them.
  BackgroundDeletion deletion;
  (void)deletion.Delete(index->strDataFile, /*forcibly=*/false);
  std::error_code ec;
  fs::remove(DataFileWorkPath(index->strDataFile), ec);

  if (lines->offset() != count_lines_offset) {
    lines = OpenAtCountLines(index_file, count_lines_offset);
  }
  const std::int64_t logical_size = rows * files + 4;
  auto available = [&] {
    fs::space_info space = fs::space(FolderOf(index->strDataFile), ec);
    // A failing query counts as enough space.
    return ec ? std::numeric_limits<std::int64_t>::max()
              : static_cast<std::int64_t>(space.available);
  };
  std::int64_t free_bytes = available();
  if (free_bytes < logical_size && deletion.pending() > 0) {
    deletion.Wait();
    free_bytes = available();
  }
  if (free_bytes < logical_size) {
    // Rows of zeros become holes, so the file may fit all the same.
    Result<std::int64_t> needed = CountDataFileBytes(*lines, classic);
    if (!needed.ok()) return failed(kCreating, needed.status());
    if (free_bytes < *needed) {
      std::string folder = FolderOf(index->strDataFile);
      ports.prompter.ShowMessage(
          MessageIcon::kError, "Insufficient disk space",
          "There is not enough space on Drive " + folder +
              " to create the data file.\r\n\r\n"
              "You could try moving the index file to a disk with more "
              "space.");
      return ShowReadFailure("Not enough disk space to create the data file.",
                             index, ports);
    }
    lines = OpenAtCountLines(index_file, count_lines_offset);
  }

  results.Set("\r\nNow creating data file ...");
  results.Repaint();
  Status created = CreateDataFile(*lines, classic, index->strDataFile);
  if (!created.ok()) {
    results.Set(created.message());
    return failed(kCreating, created);
  }
  results.Clear();
  return ready();
}

// Makes the store of the index from its count lines (lines standing just
// before them) in a temporary folder, and opens it there: the file's name
// goes at once, its mapping stays for the session.
Result<std::unique_ptr<StoreReader>> BuildStoreAside(
    IndexTextLines& lines, const ClassicIndex& classic,
    const StoreFingerprint& fingerprint) {
  std::error_code ec;
  fs::path folder = fs::temp_directory_path(ec);
  if (ec) return Status::Failed("There is no temporary folder.");
  static int made = 0;
  const std::string path =
      (folder / ("orvane-" + std::to_string(::getpid()) + "-" +
                 std::to_string(++made) + std::string(kStoreFileEnding)))
          .string();
  bool write_failed = false;
  Status built = BuildStoreFile(lines, classic, fingerprint, path,
                                path + ".part", &write_failed);
  if (!built.ok()) return built;
  auto opened = StoreReader::Open(path, fingerprint);
  fs::remove(path, ec);
  return opened;
}

// The store of the index file: the store file when it belongs to the index
// file, else one made from the index text beside it, else one made in a
// temporary folder when none can be written there, else the classic pair.
Status ReadAndCheckStore(const std::string& index_file, LoadedIndex* index,
                         SearchPorts& ports, ResultsBox& results) {
  index->blnDataFileReady = false;
  Result<StoreFingerprint> fingerprint = FingerprintOfIndexFile(index_file);
  // An index text that records no length (or no index text at all): the
  // classic pair reads it, or tells what is wrong with it.
  if (!fingerprint.ok()) return ReadAndCheckIndexFile(index_file, index, ports, results);
  const std::string store_path = StoreFilePathFor(index_file);
  auto ready = [&](std::unique_ptr<StoreReader> reader) {
    index->Use(std::make_unique<StoreIndexReader>(std::move(reader)));
    index->blnDataFileReady = true;
    return Status::Ok();
  };
  StoreProblem problem = StoreProblem::kNone;
  auto opened = StoreReader::Open(store_path, *fingerprint, {}, &problem);
  if (opened.ok()) {
    ports.view.SetText("lblTitle[1]", ContentToDisplay((*opened)->title()));
    return ready(std::move(*opened));
  }

  std::unique_ptr<IndexTextLines> lines;
  ClassicIndex classic;
  if (Status read = ReadListAndLexicon(index_file, &lines, &classic, index,
                                       ports, kStoreMaxFilesIndexed);
      !read.ok()) {
    return read;
  }
  const std::int64_t count_lines_offset = lines->offset();
  // A store that is there but of no use says why before it is made again.
  std::string why;
  if (problem != StoreProblem::kMissing) why = opened.status().message() + "\r\n";
  results.Set(why + "\r\nNow creating store file ...");
  results.Repaint();
  static constexpr std::string_view kCreating = "Error when creating store file: ";
  bool write_failed = false;
  // What searches killed while they made the store left goes first; this
  // one's work file is locked while it is written. A failed claim is told
  // by the writer, which then fails to create the file itself.
  const std::string work_path = StoreFileWorkPath(store_path, ::getpid());
  SearchStoreWork work;
  (void)work.Claim(store_path, work_path);
  Status built = BuildStoreFile(*lines, classic, *fingerprint, store_path,
                                work_path, &write_failed);
  work.Release();
  if (built.ok()) {
    opened = StoreReader::Open(store_path, *fingerprint);
    if (!opened.ok()) built = opened.status();
  }
  if (built.ok()) {
    results.Clear();
    return ready(std::move(*opened));
  }
  if (!write_failed) {
    results.Set(built.message());
    return ShowTextFailure(*lines, kCreating, built, index, ports);
  }
  // The folder takes no store (read-only, full): one is made aside for the
  // session, and the user told once.
  lines = OpenAtCountLines(index_file, count_lines_offset);
  auto aside = BuildStoreAside(*lines, classic, *fingerprint);
  if (!aside.ok()) {
    // Nowhere to write a store: the classic pair, with a current data
    // file, or the reason why none can be made.
    results.Clear();
    return ReadAndCheckIndexFile(index_file, index, ports, results);
  }
  results.Clear();
  if (index->store_kept_aside != store_path) {
    index->store_kept_aside = store_path;
    ports.prompter.ShowMessage(
        MessageIcon::kInformation, "Search",
        "The store file " + store_path + " cannot be written:\r\n" +
            built.message() +
            "\r\nThe search uses a temporary copy until the program ends.");
  }
  return ready(std::move(*aside));
}

}  // namespace

Status ReadIndexFile(const std::string& index_file, LoadedIndex* index,
                     SearchPorts& ports, ResultsBox& results) {
  try {
    return ReadAndCheckIndexFile(index_file, index, ports, results);
  } catch (const std::bad_alloc&) {
    // A damaged index, or one too large for this machine, can ask for more
    // memory than there is: the load fails with the allocation error, the
    // memory of what was read is given back, and no half-written data file
    // stays behind.
    index->Clear();
    std::error_code ec;
    fs::remove(DataFileWorkPath(index->strDataFile), ec);
    return ShowDecompressionFailure(squeez::kBuffersUnavailable, index, ports);
  }
}

Status ReadIndexStore(const std::string& index_file, LoadedIndex* index,
                      SearchPorts& ports, ResultsBox& results) {
  const std::string store_path = StoreFilePathFor(index_file);
  try {
    return ReadAndCheckStore(index_file, index, ports, results);
  } catch (const std::bad_alloc&) {
    index->Clear();
    std::error_code ec;
    fs::remove(StoreFileWorkPath(store_path, ::getpid()), ec);
    return ShowDecompressionFailure(squeez::kBuffersUnavailable, index, ports);
  }
}

bool LoadIndexFile(const std::string& index_file, LoadedIndex* index,
                   SearchPorts& ports, ResultsBox& results) {
  index->Clear();
  index->blnDataFileReady = false;
  if (!FileExists(index_file)) {
    ports.prompter.ShowMessage(
        MessageIcon::kWarning, "Search",
        "The index file does not exist.\r\n"
        "Perhaps it has not yet been created by the index module.");
    return false;
  }
  index->strDataFile = DataFilePathFor(index_file);
  if (index->strDataFile.empty()) {
    ports.prompter.ShowMessage(MessageIcon::kWarning, "Invalid input",
                               "Index file names must end in '_index.tavo'.");
    return false;
  }
  switch (index->store_kind) {
    case IndexStoreKind::kClassic:
      if (!ReadIndexFile(index_file, index, ports, results).ok()) return false;
      break;
    case IndexStoreKind::kStore:
      if (!ReadIndexStore(index_file, index, ports, results).ok()) return false;
      break;
  }
  const NumberFormat& format = ports.number_format;
  ports.view.SetText(
      "lblSearchableWords",
      "There are " + FormatNumber(index->store->word_count(), 0, format) +
          " searchable words in " +
          (index->intNumFiles == 1
               ? std::string("one file.")
               : FormatNumber(index->intNumFiles, 0, format) + " files."));
  return true;
}

}  // namespace orvane
