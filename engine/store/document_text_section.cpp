#include "engine/store/document_text_section.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zstd.h>

#include <cerrno>
#include <system_error>

#include "engine/store/store_coding.h"
#include "engine/store/store_format.h"

namespace orvane {

namespace {

// The largest document text a frame may claim: the document reader gives
// no more than 256 MiB of text, and a frame that says more is damaged.
constexpr std::uint64_t kMaxTextBytes = std::uint64_t{512} << 20;
constexpr int kCompressionLevel = 3;

std::string SystemError(int error) {
  return std::generic_category().message(error);
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

const std::uint8_t* Bytes(std::string_view text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

}  // namespace

bool StampOfFile(const std::string& path, DocumentStamp* stamp) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  stamp->size = static_cast<std::int64_t>(st.st_size);
  stamp->modified_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) *
                           1000000000 +
                       st.st_mtim.tv_nsec;
  return true;
}

DocumentTextGatherer::DocumentTextGatherer(std::string work_path)
    : work_path_(std::move(work_path)) {}

DocumentTextGatherer::~DocumentTextGatherer() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(work_path_.c_str());
}

Status DocumentTextGatherer::Open() {
  if (fd_ >= 0 || !failed_.ok()) return failed_;
  fd_ = ::open(work_path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC,
               0644);
  if (fd_ < 0) {
    failed_ = Status::Failed("The documents' texts cannot be written to " +
                             work_path_ + ": " + SystemError(errno));
  }
  return failed_;
}

Status DocumentTextGatherer::Add(std::string_view relative_path,
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
    return failed_ = Status::Failed("The documents' texts cannot be written to " +
                                    work_path_ + ": " + SystemError(errno));
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

Status DocumentTextGatherer::ReadFrames(std::uint64_t offset, std::size_t size,
                                        std::string* out) const {
  out->resize(size);
  std::size_t have = 0;
  while (have < size) {
    ssize_t n = fd_ < 0 ? -1
                        : ::pread(fd_, out->data() + have, size - have,
                                  static_cast<off_t>(offset + have));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      return Status::Failed("The documents' texts cannot be read from " +
                            work_path_ + ": " +
                            (n == 0 ? std::string("it is cut short")
                                    : SystemError(errno)));
    }
    have += static_cast<std::size_t>(n);
  }
  return Status::Ok();
}

Result<std::unique_ptr<DocumentTextSection>> DocumentTextSection::Open(
    const StoreReader& reader) {
  std::unique_ptr<DocumentTextSection> section(new DocumentTextSection(reader));
  const std::uint64_t length = reader.document_texts_length();
  if (length == 0) return section;
  const Status damaged =
      Status::Failed("The store file " + reader.path() +
                     " is damaged: its documents' texts section is malformed.");
  Result<std::string_view> header =
      reader.DocumentTextBytes(0, kDocumentTextsHeaderSize);
  if (!header.ok()) return header.status();
  const std::uint8_t* h = Bytes(*header);
  const std::uint32_t count = store::LoadU32(h);
  const std::uint64_t frames_offset = store::LoadU64(h + 8);
  const std::uint64_t frames_length = store::LoadU64(h + 16);
  const std::uint64_t table_offset = store::LoadU64(h + 24);
  const std::uint64_t table_length = store::LoadU64(h + 32);
  if (frames_offset > length || frames_length > length - frames_offset ||
      table_offset > length || table_length > length - table_offset) {
    return damaged;
  }
  Result<std::string_view> table =
      reader.DocumentTextBytes(table_offset, table_length);
  if (!table.ok()) return table.status();
  store::ByteReader in(Bytes(*table), Bytes(*table) + table->size());
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string_view path;
    std::uint64_t numbers[4];
    in.String(&path);
    for (std::uint64_t& number : numbers) in.Varint(&number);
    if (!in.ok() || numbers[2] > frames_length ||
        numbers[3] > frames_length - numbers[2]) {
      return damaged;
    }
    Entry entry;
    entry.stamp.size = static_cast<std::int64_t>(numbers[0]);
    entry.stamp.modified_ns = static_cast<std::int64_t>(numbers[1]);
    entry.offset = frames_offset + numbers[2];
    entry.length = numbers[3];
    section->entries_[std::string(path)] = entry;
  }
  if (in.remaining() != 0) return damaged;
  return section;
}

std::vector<std::pair<std::string, DocumentStamp>>
DocumentTextSection::Documents() const {
  std::vector<std::pair<std::string, DocumentStamp>> documents;
  for (const auto& [path, entry] : entries_) documents.emplace_back(path, entry.stamp);
  return documents;
}

Result<std::shared_ptr<DocumentSourceText>> DocumentTextSection::Find(
    std::string_view relative_path, const DocumentStamp& stamp) const {
  auto found = entries_.find(std::string(relative_path));
  if (found == entries_.end() || !(found->second.stamp == stamp)) {
    return std::shared_ptr<DocumentSourceText>();
  }
  const Entry& entry = found->second;
  Result<std::string_view> frame =
      store_.DocumentTextBytes(entry.offset, entry.length);
  if (!frame.ok()) return frame.status();
  const Status damaged = Status::Failed(
      "The store file " + store_.path() + " is damaged: the text of " +
      std::string(relative_path) + " is malformed.");
  const unsigned long long plain_size =
      ZSTD_getFrameContentSize(frame->data(), frame->size());
  if (plain_size == ZSTD_CONTENTSIZE_UNKNOWN ||
      plain_size == ZSTD_CONTENTSIZE_ERROR || plain_size > kMaxTextBytes) {
    return damaged;
  }
  std::string plain(plain_size, '\0');
  std::size_t got =
      ZSTD_decompress(plain.data(), plain.size(), frame->data(), frame->size());
  if (ZSTD_isError(got) || got != plain_size) return damaged;
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
  if (!reader.ok()) return damaged;
  text->title = title;
  text->text = body;
  text->decode_utf8 = decode == 1;
  for (std::uint64_t p = 0; p < pages; ++p) {
    std::uint64_t offset = 0;
    if (!reader.Varint(body.size(), &offset)) return damaged;
    text->page_offsets.push_back(static_cast<std::int64_t>(offset));
  }
  return text;
}

}  // namespace orvane
