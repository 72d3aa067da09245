#include "engine/common/program_texts.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <unordered_map>

#include "engine/common/large_display_text.h"
#include "engine/common/program_folder.h"

namespace orvane {

namespace {

constexpr std::int32_t kMaxTextLength = 1024;  // characters
constexpr std::size_t kMaxTexts = 4096;
// Line-numbered codes carry lines 1 to 500 before they would run into the
// next code's range; later lines are told through the error-line output.
constexpr std::int32_t kLastCodedLine = 500;

std::unordered_map<std::int16_t, std::string>& Texts() {
  static std::unordered_map<std::int16_t, std::string> texts;
  return texts;
}

bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2
                           : (c & 0xF8) == 0xF0   ? 3
                                                  : -1;
    if (extra < 0 || (extra == 1 && c < 0xC2)) return false;
    if (extra > 0 && i + extra >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

// "\n" becomes CR LF, "\t" a TAB, "\\" a backslash.
std::string Unescape(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\\' && i + 1 < raw.size()) {
      char next = raw[i + 1];
      if (next == 'n') {
        out += "\r\n";
        ++i;
        continue;
      }
      if (next == 't') {
        out += '\t';
        ++i;
        continue;
      }
      if (next == '\\') {
        out += '\\';
        ++i;
        continue;
      }
    }
    out += raw[i];
  }
  return out;
}

std::int32_t LineCode(std::int32_t base, std::int32_t line) {
  return base - (line < kLastCodedLine ? line : kLastCodedLine);
}

std::int32_t Parse(const std::string& content,
                   std::unordered_map<std::int16_t, std::string>* texts,
                   std::int32_t* error_line) {
  std::int32_t line_number = 0;
  std::size_t pos = 0;
  while (pos < content.size()) {
    std::size_t end = content.find('\n', pos);
    if (end == std::string::npos) end = content.size();
    std::string_view line(content.data() + pos, end - pos);
    pos = end + 1;
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    if (error_line) *error_line = line_number;
    // NUMBER<TAB>text
    std::size_t digits = 0;
    long number = 0;
    while (digits < line.size() && line[digits] >= '0' &&
           line[digits] <= '9' && number <= 32767) {
      number = number * 10 + (line[digits] - '0');
      ++digits;
    }
    if (digits == 0 || number < 1 || number > 32767 ||
        digits >= line.size() || line[digits] != '\t' ||
        digits + 1 >= line.size()) {
      return LineCode(auxkit::kMissingBase, line_number);
    }
    std::string text = Unescape(line.substr(digits + 1));
    if (Utf8Length(text) > kMaxTextLength) {
      return LineCode(auxkit::kTooLongBase, line_number);
    }
    auto [it, inserted] =
        texts->emplace(static_cast<std::int16_t>(number), std::move(text));
    if (!inserted) return auxkit::kDuplicateBase - line_number;
    if (texts->size() > kMaxTexts) return auxkit::kTooMuchText;
  }
  if (error_line) *error_line = 0;
  return static_cast<std::int32_t>(texts->size());
}

}  // namespace

namespace auxkit {

std::int32_t _lt(const std::string& full_path, std::int32_t /*flags*/,
                 std::int32_t* error_line) {
  if (error_line) *error_line = 0;
  try {
    // Only a regular file: a folder cannot be read, and opening a pipe
    // would hold the start-up.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(full_path, ec)) return kCannotOpen;
    std::ifstream in(full_path, std::ios::binary);
    if (!in) return kCannotOpen;
    std::string content;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
      content.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) return kReadError;
    if (content.empty()) return kFileEmpty;
    // A byte-order mark that an editor put in front of the first line is not
    // part of it.
    if (content.starts_with("\xEF\xBB\xBF")) content.erase(0, 3);
    if (!IsValidUtf8(content)) return kTextNotRecovered;
    std::unordered_map<std::int16_t, std::string> texts;
    std::int32_t result = Parse(content, &texts, error_line);
    if (result < 1) return result;
    Texts() = std::move(texts);
    return result;
  } catch (const std::bad_alloc&) {
    return kGeneralAllocation;
  }
}

std::int32_t _gt(std::int16_t number, std::int16_t /*language*/, char* buffer,
                 std::int32_t buffer_length, std::int32_t /*flags*/) {
  auto it = Texts().find(number);
  if (it == Texts().end() || buffer_length < 1) return 0;
  std::size_t n = it->second.size();
  if (n > static_cast<std::size_t>(buffer_length)) n = buffer_length;
  std::memcpy(buffer, it->second.data(), n);
  return static_cast<std::int32_t>(n);
}

}  // namespace auxkit

std::string ProgramTextLoadMessage(std::int32_t code,
                                   std::string_view full_path,
                                   std::int32_t error_line) {
  auto with_line = [&](std::string_view text, std::int32_t coded_line) {
    std::int32_t line = error_line > 0 ? error_line : coded_line;
    return std::string(text) + " " + std::to_string(line) + ".";
  };
  switch (code) {
    case auxkit::kNoTextRead:
      return "No program text was read.";
    case auxkit::kCannotOpen:
      return "Cannot open file containing program text.\r\n" +
             std::string(full_path);
    case auxkit::kParticularAllocation:
      return "Particular memory allocation error.";
    case auxkit::kTooMuchText:
      return "Too much program text.";
    case auxkit::kTextNotRecovered:
      return "Text not recovered.";
    case auxkit::kFileEmpty:
      return "File is empty.";
    case auxkit::kReadError:
      return "Error reading file.";
    case auxkit::kGeneralAllocation:
      return "General memory allocation error.";
    default:
      break;
  }
  if (code < -1500) {
    return with_line("Duplicate in program text at line", -1500 - code);
  }
  if (code <= -1001) {
    return with_line("String too long at line", -1000 - code);
  }
  if (code <= -501) return with_line("Missing string at line", -500 - code);
  return "Error " + std::to_string(code);
}

Status LoadProgramTextsFrom(const std::string& full_path) {
  std::int32_t error_line = 0;
  std::int32_t result = auxkit::_lt(full_path, 0, &error_line);
  if (result >= 1) return Status::Ok();
  return Status::Failed(ProgramTextLoadMessage(result, full_path, error_line));
}

Status LoadProgramTexts(std::string_view file_name) {
  return LoadProgramTextsFrom(ProgramFilePath(file_name).string());
}

std::string GetProgramText(std::int16_t number) {
  // Room for 1024 characters of up to four UTF-8 bytes each.
  char buffer[4 * kMaxTextLength];
  std::int32_t n = auxkit::_gt(number, 0, buffer, sizeof buffer, 1);
  if (n < 1) return std::string();
  return std::string(buffer, static_cast<std::size_t>(n));
}

}  // namespace orvane
