// The markup of an HTML file that the search results show: its title and the
// content of a named meta tag, and the extension test that decides whether a
// file is HTML at all. The readers never fail: every failure becomes one of
// the status texts "File not found", "Not HTML file", "No title",
// "Untitled" or "Error: " with a description. They read a UTF-16 file
// decoded, and decode the UTF-8 sequences of the title, of each line of a
// first text and of a description of any other file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "engine/text/content_file.h"
#include "engine/text/file_facts.h"

namespace orvane {

inline constexpr std::string_view kFileNotFound = "File not found";
inline constexpr std::string_view kNotHtmlFile = "Not HTML file";
inline constexpr std::string_view kNoTitle = "No title";
inline constexpr std::string_view kUntitled = "Untitled";

// The characters after the last "." of the file name (not of a folder name;
// paths use "/"), with A-Z lower-cased when lower_case (the path's other
// bytes are UTF-8 and stay as they are); empty when the name has no ".".
std::string GetExtension(std::string_view path, bool lower_case);

// The title of an HTML file (content text), or a status text. For a file
// whose extension does not contain "htm" the result is "Not HTML file" and
// *first_text receives the file's first text, at most max_length characters.
std::string GetHtmlTitle(const std::filesystem::path& path,
                         std::string* first_text, int max_length);

// The content of the meta tag with the given name (content text), an empty
// text, or a status text. Reads lines while fewer than max_chars characters
// have been read, each cut to max_chars; stops at "</head>". The content
// must follow the name directly (name="..." content="..."); a tag that
// gives it elsewhere yields an empty text.
std::string GetMetaContent(const std::filesystem::path& path,
                           std::string_view name, int max_chars);

// The start of one file, read once for both of the readers above: a search
// shows the title (or first text) and the description of every file it
// finds, and most pages give both within their first few kilobytes. Title
// and MetaContent give exactly what GetHtmlTitle and GetMetaContent give;
// when a file's lines go on beyond what the head holds, or the file cannot
// be opened or read, they hand over to those two.
class FileHead {
 public:
  // Bytes read at the first need, and at most.
  static constexpr std::size_t kFirstRead = 16 * 1024;
  static constexpr std::size_t kMaxBytes = 64 * 1024;

  explicit FileHead(const std::string& path);
  ~FileHead();
  FileHead(const FileHead&) = delete;
  FileHead& operator=(const FileHead&) = delete;

  // FileExists(path): a regular file is there.
  bool exists();
  // The size and modification time of the file, from the one stat that
  // opening it (or exists(), when it could not be opened) made; nothing
  // when no regular file was found.
  const std::optional<FileFacts>& facts() const { return facts_; }
  // GetHtmlTitle(path, first_text, max_length).
  std::string Title(std::string* first_text, int max_length);
  // GetMetaContent(path, name, max_chars).
  std::string MetaContent(std::string_view name, int max_chars);

  // The characters read so far, from the file's first one (a UTF-16 file
  // decoded).
  const std::string& bytes() const { return bytes_; }
  bool utf16() const { return content_.utf16(); }
  // Reads more of the file behind bytes(); false at its end, when the head
  // is full or on a read error.
  bool Extend();
  // True once the whole file has been read.
  bool at_end() const { return at_end_; }

 private:
  bool opened() const { return fd_ >= 0 || !regular_; }
  void Close();

  std::string path_;
  int fd_ = -1;
  std::optional<FileFacts> facts_;
  ContentFile content_;
  // False for a path that is not a regular file (a folder, a pipe ...).
  bool regular_ = true;
  bool at_end_ = false;
  bool failed_ = false;
  std::string bytes_;
};

}  // namespace orvane
