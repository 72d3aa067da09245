#include "engine/store/document_text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zstd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "engine/store/store_coding.h"

namespace orvane {

namespace {

constexpr std::string_view kMagic = "OTX1";
constexpr std::size_t kTrailerSize = 8 * 4 + 4 + 4;
// The largest document text a frame may claim: the document reader gives
// no more than 256 MiB of text, and a frame that says more is damaged.
constexpr std::uint64_t kMaxTextBytes = std::uint64_t{512} << 20;
constexpr int kCompressionLevel = 3;

std::string SystemError(int error) {
  return std::generic_category().message(error);
}

bool ReadAt(int fd, std::uint64_t offset, std::size_t size, std::string* out) {
  out->resize(size);
  std::size_t have = 0;
  while (have < size) {
    ssize_t n = ::pread(fd, out->data() + have, size - have,
                        static_cast<off_t>(offset + have));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    have += static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

const std::uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

}  // namespace

std::string TextFilePathFor(std::string_view index_path) {
  constexpr std::string_view kIndexEnding = "_index.tavo";
  std::size_t at = index_path.rfind(kIndexEnding);
  if (at == std::string_view::npos) return std::string();
  return std::string(index_path.substr(0, at)) + std::string(kTextFileEnding);
}

bool StampOfFile(const std::string& path, DocumentStamp* stamp) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  stamp->size = static_cast<std::int64_t>(st.st_size);
  stamp->modified_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) *
                           1000000000 +
                       st.st_mtim.tv_nsec;
  return true;
}

DocumentTextFileWriter::DocumentTextFileWriter(std::string work_path)
    : work_path_(std::move(work_path)) {}

DocumentTextFileWriter::~DocumentTextFileWriter() {
  if (!done_) Discard();
}

Status DocumentTextFileWriter::Open() {
  if (fd_ >= 0 || !failed_.ok()) return failed_;
  fd_ = ::open(work_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
               0644);
  if (fd_ < 0) {
    failed_ = Status::Failed("The text file " + work_path_ +
                             " cannot be written: " + SystemError(errno));
  }
  return failed_;
}

Status DocumentTextFileWriter::Add(std::string_view relative_path,
                                   const DocumentStamp& stamp,
                                   const DocumentSourceText& text) {
  if (Status opened = Open(); !opened.ok()) return opened;
  std::string plain;
  plain.reserve(text.text.size() + text.title.size() + 32);
  store::PutString(&plain, text.title);
  store::PutString(&plain, text.text);
  store::PutVarint(&plain, text.decode_utf8 ? 1 : 0);
  store::PutVarint(&plain, text.page_offsets.size());
  for (std::int64_t offset : text.page_offsets) {
    store::PutVarint(&plain, static_cast<std::uint64_t>(offset));
  }
  std::string frame(ZSTD_compressBound(plain.size()), '\0');
  std::size_t size = ZSTD_compress(frame.data(), frame.size(), plain.data(),
                                   plain.size(), kCompressionLevel);
  if (ZSTD_isError(size)) {
    return failed_ = Status::Failed("The text of " + std::string(relative_path) +
                                    " cannot be compressed: " +
                                    ZSTD_getErrorName(size));
  }
  frame.resize(size);
  if (!WriteAll(fd_, frame)) {
    return failed_ = Status::Failed("The text file " + work_path_ +
                                    " cannot be written: " + SystemError(errno));
  }
  store::PutString(&table_, relative_path);
  store::PutVarint(&table_, static_cast<std::uint64_t>(stamp.size));
  store::PutVarint(&table_, static_cast<std::uint64_t>(stamp.modified_ns));
  store::PutVarint(&table_, offset_);
  store::PutVarint(&table_, size);
  offset_ += size;
  ++count_;
  return Status::Ok();
}

Status DocumentTextFileWriter::Commit(const StoreFingerprint& fingerprint,
                                      const std::string& final_path) {
  if (Status opened = Open(); !opened.ok()) return opened;
  std::string tail;
  store::PutVarint(&tail, count_);
  tail += table_;
  const std::uint64_t table_length = tail.size();
  std::string trailer;
  store::PutU64(&trailer, offset_);
  store::PutU64(&trailer, table_length);
  store::PutU64(&trailer, fingerprint.index_file_size);
  store::PutU64(&trailer, fingerprint.text_length);
  store::PutU32(&trailer, fingerprint.text_checksum);
  trailer += kMagic;
  tail += trailer;
  if (!WriteAll(fd_, tail) || ::fsync(fd_) != 0) {
    return failed_ = Status::Failed("The text file " + work_path_ +
                                    " cannot be written: " + SystemError(errno));
  }
  ::close(fd_);
  fd_ = -1;
  if (std::rename(work_path_.c_str(), final_path.c_str()) != 0) {
    return failed_ = Status::Failed("The text file " + final_path +
                                    " cannot be written: " + SystemError(errno));
  }
  done_ = true;
  return Status::Ok();
}

void DocumentTextFileWriter::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ::unlink(work_path_.c_str());
  done_ = true;
}

Result<std::unique_ptr<DocumentTextFile>> DocumentTextFile::Open(
    const std::string& text_path, const StoreFingerprint& fingerprint) {
  std::unique_ptr<DocumentTextFile> file(new DocumentTextFile());
  file->fd_ = ::open(text_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file->fd_ < 0) {
    return Status::Failed("The text file " + text_path + " cannot be opened: " +
                          SystemError(errno));
  }
  const Status damaged =
      Status::Failed("The text file " + text_path + " is damaged.");
  struct stat st;
  if (::fstat(file->fd_, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<std::uint64_t>(st.st_size) < kTrailerSize) {
    return damaged;
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  std::string trailer;
  if (!ReadAt(file->fd_, size - kTrailerSize, kTrailerSize, &trailer) ||
      trailer.substr(kTrailerSize - kMagic.size()) != kMagic) {
    return damaged;
  }
  const std::uint8_t* t = Bytes(trailer);
  const std::uint64_t table_offset = store::LoadU64(t);
  const std::uint64_t table_length = store::LoadU64(t + 8);
  StoreFingerprint found;
  found.index_file_size = store::LoadU64(t + 16);
  found.text_length = store::LoadU64(t + 24);
  found.text_checksum = store::LoadU32(t + 32);
  if (table_offset > size - kTrailerSize ||
      table_length != size - kTrailerSize - table_offset) {
    return damaged;
  }
  if (!(found == fingerprint)) {
    return Status::Failed("The text file " + text_path +
                          " belongs to another index.");
  }
  std::string table;
  if (!ReadAt(file->fd_, table_offset, table_length, &table)) return damaged;
  store::ByteReader reader(Bytes(table), Bytes(table) + table.size());
  std::uint64_t count = 0;
  if (!reader.Varint(table.size(), &count)) return damaged;
  for (std::uint64_t i = 0; i < count; ++i) {
    std::string_view path;
    std::uint64_t numbers[4];
    reader.String(&path);
    for (std::uint64_t& number : numbers) reader.Varint(&number);
    if (!reader.ok() || numbers[2] > table_offset ||
        numbers[3] > table_offset - numbers[2]) {
      return damaged;
    }
    Entry entry;
    entry.stamp.size = static_cast<std::int64_t>(numbers[0]);
    entry.stamp.modified_ns = static_cast<std::int64_t>(numbers[1]);
    entry.offset = numbers[2];
    entry.length = numbers[3];
    file->entries_[std::string(path)] = entry;
  }
  return file;
}

std::vector<std::pair<std::string, DocumentStamp>> DocumentTextFile::Documents()
    const {
  std::vector<std::pair<std::string, DocumentStamp>> documents;
  for (const auto& [path, entry] : entries_) documents.emplace_back(path, entry.stamp);
  return documents;
}

DocumentTextFile::~DocumentTextFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::shared_ptr<DocumentSourceText> DocumentTextFile::Find(
    std::string_view relative_path, const DocumentStamp& stamp) const {
  auto found = entries_.find(std::string(relative_path));
  if (found == entries_.end() || !(found->second.stamp == stamp)) return nullptr;
  const Entry& entry = found->second;
  std::string frame;
  if (!ReadAt(fd_, entry.offset, entry.length, &frame)) return nullptr;
  const unsigned long long plain_size =
      ZSTD_getFrameContentSize(frame.data(), frame.size());
  if (plain_size == ZSTD_CONTENTSIZE_UNKNOWN ||
      plain_size == ZSTD_CONTENTSIZE_ERROR || plain_size > kMaxTextBytes) {
    return nullptr;
  }
  std::string plain(plain_size, '\0');
  std::size_t got =
      ZSTD_decompress(plain.data(), plain.size(), frame.data(), frame.size());
  if (ZSTD_isError(got) || got != plain_size) return nullptr;
  auto text = std::make_shared<DocumentSourceText>();
  store::ByteReader reader(Bytes(plain), Bytes(plain) + plain.size());
  std::string_view title;
  std::string_view body;
  std::uint64_t decode = 0;
  std::uint64_t pages = 0;
  reader.String(&title);
  reader.String(&body);
  reader.Varint(1, &decode);
  reader.Varint(plain.size(), &pages);
  if (!reader.ok()) return nullptr;
  text->title = title;
  text->text = body;
  text->decode_utf8 = decode == 1;
  for (std::uint64_t p = 0; p < pages; ++p) {
    std::uint64_t offset = 0;
    if (!reader.Varint(body.size(), &offset)) return nullptr;
    text->page_offsets.push_back(static_cast<std::int64_t>(offset));
  }
  return text;
}

}  // namespace orvane
