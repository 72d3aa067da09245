#include "engine/documents/compressed_text.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <new>

namespace orvane {

namespace {

constexpr std::size_t kBlockSize = 256 * 1024;

struct ArchiveCloser {
  void operator()(archive* stream) const { archive_read_free(stream); }
};

ReadProblem Damaged(archive* stream) {
  const char* said = archive_error_string(stream);
  return ReadProblem{WireFailure::kDamaged,
                     said != nullptr && *said != '\0'
                         ? std::string(said)
                         : std::string("its compressed stream is damaged")};
}

}  // namespace

ReadResult ReadCompressedText(const std::string& path, DocumentSink& sink) {
  std::unique_ptr<archive, ArchiveCloser> stream(archive_read_new());
  if (stream == nullptr) throw std::bad_alloc();
  archive_read_support_filter_gzip(stream.get());
  archive_read_support_filter_bzip2(stream.get());
  archive_read_support_filter_xz(stream.get());
  archive_read_support_filter_zstd(stream.get());
  // The raw format: the filters' output as it is, whatever it holds.
  archive_read_support_format_raw(stream.get());
  if (archive_read_open_filename(stream.get(), path.c_str(), kBlockSize) !=
      ARCHIVE_OK) {
    return Damaged(stream.get());
  }
  archive_entry* entry = nullptr;
  int status = archive_read_next_header(stream.get(), &entry);
  if (status == ARCHIVE_EOF) return std::nullopt;
  if (status != ARCHIVE_OK && status != ARCHIVE_WARN) {
    return Damaged(stream.get());
  }
  // The raw format takes any bytes: without a filter they are no
  // compressed text.
  if (archive_filter_code(stream.get(), 0) == ARCHIVE_FILTER_NONE) {
    return ReadProblem{WireFailure::kDamaged,
                       "it is not compressed with gzip, bzip2, xz or zstd"};
  }
  std::string block(kBlockSize, '\0');
  while (true) {
    la_ssize_t got =
        archive_read_data(stream.get(), block.data(), block.size());
    if (got == 0) return std::nullopt;
    if (got < 0) return Damaged(stream.get());
    if (!sink.Bytes(
            std::string_view(block.data(), static_cast<std::size_t>(got)))) {
      return ReadProblem{WireFailure::kTooMuchText, {}};
    }
  }
}

}  // namespace orvane
