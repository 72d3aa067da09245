#include "engine/text/markup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "engine/text/charset.h"
#include "engine/text/line_reader.h"
#include "engine/text/string_ops.h"
#include "engine/text/utf_decoding.h"

namespace orvane {

namespace {

// The title search looks at the first 4096 characters of a page.
constexpr std::int64_t kTitleBudget = 4096;

// A file without CR is a single line, however large. The readers keep at
// most this much of any line, so such a file is never held in memory whole;
// a title that starts more than a megabyte into one line is not found.
constexpr std::size_t kMaxKeptLine = std::size_t{1} << 20;

bool IsExistingFile(const std::filesystem::path& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(path, error);
}

bool IsHtmlPath(std::string_view path) {
  return GetExtension(path, true).find("htm") != std::string::npos;
}

std::string ErrorText(const Status& status) {
  return "Error: " + status.message();
}

// The first text of a file that is not HTML: the first line that still
// holds text after its line breaks are shown as " / " and its control
// characters are dropped, cut to max_length characters.
template <class Reader>
Status ReadFirstText(Reader& reader, int max_length, std::string* text) {
  std::string line;
  const std::size_t cut = 4 * static_cast<std::size_t>(max_length);
  // A line is decoded before it is cut; a character takes at most four
  // bytes of UTF-8.
  while (reader.ReadLine(&line, 4 * cut)) {
    if (!reader.utf16()) DecodeUtf8Text(line);
    if (line.size() > cut) line.resize(cut);
    std::size_t begin = 0;
    while (begin < line.size() &&
           static_cast<unsigned char>(line[begin]) <= 32) {
      ++begin;
    }
    std::string piece =
        ReplaceAll(std::string_view(line).substr(begin), "\r\n", "\n");
    piece = CollapseSpaces(piece);
    piece = ReplaceAll(piece, "\n", " / ");
    piece = ReplaceRepeatedly(piece, " /  / ", " / ");
    std::erase_if(piece,
                  [](char c) { return static_cast<unsigned char>(c) < 32; });
    if (!piece.empty()) {
      piece.resize(
          std::min(piece.size(), static_cast<std::size_t>(max_length)));
      *text = std::move(piece);
      return Status::Ok();
    }
  }
  return reader.error();
}

}  // namespace

std::string GetExtension(std::string_view path, bool lower_case) {
  std::size_t slash = path.rfind('/');
  std::string_view name =
      slash == std::string_view::npos ? path : path.substr(slash + 1);
  std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return "";
  std::string extension(name.substr(dot + 1));
  if (lower_case) {
    // A path is UTF-8, which folding its bytes as single-byte letters would
    // garble; the extensions the program compares are plain ASCII.
    for (char& c : extension) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return extension;
}

namespace {

// LowerCaseText(text).find(pattern, from) for a pattern of ASCII bytes with
// its letters in lower case, without lower-casing the text: the code page's
// lower-casing turns A-Z into a-z and no other byte into an ASCII one, and
// keeps every position. A page is often one long line.
std::size_t FindIgnoringCase(std::string_view text, std::string_view pattern,
                             std::size_t from) {
  if (pattern.empty()) return from <= text.size() ? from : std::string::npos;
  if (from > text.size() || text.size() - from < pattern.size()) {
    return std::string::npos;
  }
  auto same = [](char c, char p) {
    return c == p || (p >= 'a' && p <= 'z' && c == p - ('a' - 'A'));
  };
  const char first = pattern[0];
  const bool first_is_letter = first >= 'a' && first <= 'z';
  const std::size_t last_start = text.size() - pattern.size();
  for (std::size_t i = from; i <= last_start; ++i) {
    if (!first_is_letter) {
      const void* hit =
          std::memchr(text.data() + i, first, last_start - i + 1);
      if (hit == nullptr) return std::string::npos;
      i = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    } else if (!same(text[i], first)) {
      continue;
    }
    std::size_t k = 1;
    while (k < pattern.size() && same(text[i + k], pattern[k])) ++k;
    if (k == pattern.size()) return i;
  }
  return std::string::npos;
}

// TrimSpaces(LowerCaseText(text).substr(begin, length)) == wanted.
bool LowerCasePartEquals(std::string_view text, std::size_t begin,
                         std::size_t length, std::string_view wanted) {
  const bool ascii = std::all_of(wanted.begin(), wanted.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80;
  });
  if (!ascii) {
    // Whether a non-ASCII byte is lower-cased depends on the whole text.
    return TrimSpaces(std::string_view(LowerCaseText(text))
                          .substr(begin, length)) == wanted;
  }
  std::string_view part = text.substr(begin, length);
  while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
  while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
  return part.size() == wanted.size() &&
         FindIgnoringCase(part, wanted, 0) == 0;
}

// The title of an opened HTML page (or a status text) from its lines.
template <class Reader>
std::string TitleOfPage(Reader& reader) {
  std::int64_t count = 0;
  std::string line;
  std::string title;
  bool found = false;
  while (count <= kTitleBudget && reader.ReadLine(&line, kMaxKeptLine)) {
    count += reader.last_line_length();
    std::string text = TrimSpaces(line);
    if (text.empty()) continue;
    std::size_t open = FindIgnoringCase(text, "<title>", 0);
    if (open != std::string::npos) {
      std::size_t start = open + 7;
      std::size_t close = FindIgnoringCase(text, "</title>", start);
      if (close == std::string::npos) {
        // A title tag may close on the next line.
        std::string next;
        if (reader.ReadLine(&next, kMaxKeptLine)) {
          count += reader.last_line_length();
        }
        text += ' ';
        text += next;
        close = FindIgnoringCase(text, "</title>", start);
        if (close == std::string::npos) close = text.size();
      }
      title = TrimSpaces(std::string_view(text).substr(start, close - start));
      if (!reader.utf16()) DecodeUtf8Text(title);
      found = true;
      break;
    }
    if (FindIgnoringCase(text, "</head>", 0) != std::string::npos) {
      return std::string(kUntitled);
    }
  }
  if (!reader.error().ok()) return ErrorText(reader.error());
  if (!found && count > kTitleBudget) return std::string(kUntitled);
  if (title.empty()) return std::string(kNoTitle);
  return ReplaceAll(title, "&#151;", "&#8212;");
}

// The content of the meta tag named wanted (lower case, trimmed) from the
// lines of an opened HTML page.
template <class Reader>
std::string MetaContentOfPage(Reader& reader, const std::string& wanted,
                              int max_chars) {
  constexpr std::string_view kMetaTag = "<meta ";
  constexpr std::string_view kNameAttribute = " name=\"";
  constexpr std::string_view kContentAttribute = " content=\"";
  const std::size_t cut =
      max_chars > 0 ? static_cast<std::size_t>(max_chars) : 0;
  std::int64_t count = 0;
  std::string line;
  while (count < max_chars && reader.ReadLine(&line, cut)) {
    count += reader.last_line_length();
    std::string text = TrimSpaces(line);
    if (text.empty()) continue;
    // Every meta tag of the line is tried: pages often put all of them on
    // one line, and the wanted one need not be the first.
    for (std::size_t meta = FindIgnoringCase(text, kMetaTag, 0);
         meta != std::string::npos;
         meta = FindIgnoringCase(text, kMetaTag, meta + 1)) {
      std::size_t name_at = FindIgnoringCase(text, kNameAttribute, meta);
      if (name_at == std::string::npos) break;
      std::size_t value_start = name_at + kNameAttribute.size();
      std::size_t value_end = text.find('"', value_start);
      if (value_end == std::string::npos) break;
      if (!LowerCasePartEquals(text, value_start, value_end - value_start,
                               wanted)) {
        continue;
      }
      // The content must follow the name directly; a tag that gives it
      // elsewhere (before the name, say) yields no description rather than
      // a piece of the markup.
      if (FindIgnoringCase(std::string_view(text).substr(
                               value_end + 1, kContentAttribute.size()),
                           kContentAttribute, 0) != 0) {
        return "";
      }
      std::size_t content_start = value_end + 1 + kContentAttribute.size();
      std::size_t content_end = text.find('"', content_start);
      if (content_end == std::string::npos) content_end = text.size();
      std::string content =
          text.substr(content_start, content_end - content_start);
      if (!reader.utf16()) DecodeUtf8Text(content);
      return TrimSpaces(content);
    }
    if (FindIgnoringCase(text, "</head>", 0) != std::string::npos) return "";
  }
  if (!reader.error().ok()) return ErrorText(reader.error());
  return "";
}

// Reads the lines of a FileHead as LineReader reads a file's, from the
// file's first byte. When the lines go on beyond what the head may hold,
// the reader stops and tells so: the caller then reads the file itself.
class HeadLineReader {
 public:
  explicit HeadLineReader(FileHead& head) : head_(head) {}

  bool ReadLine(std::string* line, std::size_t max_keep) {
    line->clear();
    last_line_length_ = 0;
    if (pos_ == head_.bytes().size() && !More()) return false;
    for (;;) {
      const std::string& bytes = head_.bytes();
      const char* start = bytes.data() + pos_;
      std::size_t available = bytes.size() - pos_;
      const char* cr =
          static_cast<const char*>(std::memchr(start, '\r', available));
      std::size_t take =
          cr != nullptr ? static_cast<std::size_t>(cr - start) : available;
      if (line->size() < max_keep) {
        line->append(start, std::min(take, max_keep - line->size()));
      }
      last_line_length_ += static_cast<std::int64_t>(take);
      pos_ += take;
      if (cr != nullptr) {
        ++pos_;
        // The LF of a CR LF pair may lie behind the bytes read so far.
        if (pos_ == head_.bytes().size()) More();
        if (pos_ < head_.bytes().size() && head_.bytes()[pos_] == '\n') ++pos_;
        break;
      }
      if (!More()) break;  // the end of the file ends the line
    }
    return !exhausted_;
  }
  std::int64_t last_line_length() const { return last_line_length_; }
  const Status& error() const { return error_; }
  bool utf16() const { return head_.utf16(); }
  // True when the lines went on beyond the head: nothing read is valid.
  bool exhausted() const { return exhausted_; }

 private:
  // False at the end of the file, or when the head is full (exhausted()).
  bool More() {
    if (head_.Extend()) return true;
    if (!head_.at_end()) exhausted_ = true;
    return false;
  }

  FileHead& head_;
  std::size_t pos_ = 0;
  std::int64_t last_line_length_ = 0;
  bool exhausted_ = false;
  Status error_;
};

}  // namespace

std::string GetHtmlTitle(const std::filesystem::path& path,
                         std::string* first_text, int max_length) {
  if (first_text != nullptr) first_text->clear();
  if (!IsExistingFile(path)) return std::string(kFileNotFound);

  LineReader reader;
  if (!IsHtmlPath(path.native())) {
    if (first_text != nullptr && max_length > 0) {
      Status opened = reader.Open(path);
      if (!opened.ok()) return ErrorText(opened);
      Status read = ReadFirstText(reader, max_length, first_text);
      if (!read.ok()) return ErrorText(read);
    }
    return std::string(kNotHtmlFile);
  }

  Status opened = reader.Open(path);
  if (!opened.ok()) return ErrorText(opened);
  return TitleOfPage(reader);
}

std::string GetMetaContent(const std::filesystem::path& path,
                           std::string_view name, int max_chars) {
  if (!IsHtmlPath(path.native())) return std::string(kNotHtmlFile);
  if (!IsExistingFile(path)) return std::string(kFileNotFound);
  LineReader reader;
  Status opened = reader.Open(path);
  if (!opened.ok()) return ErrorText(opened);
  return MetaContentOfPage(reader, LowerCaseText(TrimSpaces(name)), max_chars);
}

FileHead::FileHead(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) return;
  struct stat st;
  if (::fstat(fd_, &st) != 0) {
    Close();
    return;
  }
  regular_ = S_ISREG(st.st_mode);
  if (!regular_) {
    Close();
    return;
  }
  facts_ = FactsOfStat(st);
  content_.Start(fd_);
}

FileHead::~FileHead() { Close(); }

bool FileHead::exists() {
  if (fd_ >= 0) return true;
  if (!regular_) return false;
  // Not opened: a file may be there all the same (one that cannot be read).
  facts_ = RegularFileFacts(path_);
  return facts_.has_value();
}

void FileHead::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool FileHead::Extend() {
  if (at_end_ || failed_ || fd_ < 0) return false;
  std::size_t have = bytes_.size();
  std::size_t want = have == 0 ? kFirstRead : have;
  if (have + want > kMaxBytes) want = kMaxBytes - have;
  if (want == 0) return false;
  bytes_.resize(have + want);
  ssize_t n = content_.Read(bytes_.data() + have, want);
  if (n < 0) {
    // The file is read again by the plain readers, which tell the error.
    failed_ = true;
    bytes_.resize(have);
    return false;
  }
  bytes_.resize(have + static_cast<std::size_t>(n));
  // A short read of a regular file is its end.
  if (static_cast<std::size_t>(n) < want) at_end_ = true;
  return n > 0;
}

std::string FileHead::Title(std::string* first_text, int max_length) {
  if (first_text != nullptr) first_text->clear();
  if (!opened()) return GetHtmlTitle(path_, first_text, max_length);
  if (!regular_) return std::string(kFileNotFound);
  if (!IsHtmlPath(path_)) {
    if (first_text != nullptr && max_length > 0) {
      HeadLineReader reader(*this);
      Status read = ReadFirstText(reader, max_length, first_text);
      if (reader.exhausted() || failed_) {
        return GetHtmlTitle(path_, first_text, max_length);
      }
      if (!read.ok()) return ErrorText(read);
    }
    return std::string(kNotHtmlFile);
  }
  HeadLineReader reader(*this);
  std::string title = TitleOfPage(reader);
  if (reader.exhausted() || failed_) {
    return GetHtmlTitle(path_, first_text, max_length);
  }
  return title;
}

std::string FileHead::MetaContent(std::string_view name, int max_chars) {
  if (!IsHtmlPath(path_)) return std::string(kNotHtmlFile);
  if (!opened()) return GetMetaContent(path_, name, max_chars);
  if (!regular_) return std::string(kFileNotFound);
  HeadLineReader reader(*this);
  std::string content =
      MetaContentOfPage(reader, LowerCaseText(TrimSpaces(name)), max_chars);
  if (reader.exhausted() || failed_) {
    return GetMetaContent(path_, name, max_chars);
  }
  return content;
}

}  // namespace orvane
