#include "engine/documents/zip_container.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <new>

#include "engine/reading/document_reader.h"

namespace orvane {

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;

struct ArchiveCloser {
  void operator()(archive* zip) const { archive_read_free(zip); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveCloser>;

ArchivePtr NewZipReader() {
  ArchivePtr zip(archive_read_new());
  if (zip == nullptr) throw std::bad_alloc();
  archive_read_support_format_zip(zip.get());
  return zip;
}

ReadProblem Damaged(archive* zip, std::string_view what) {
  const char* said = archive_error_string(zip);
  std::string detail(what);
  if (said != nullptr && *said != '\0') detail += std::string(": ") + said;
  return ReadProblem{WireFailure::kDamaged, detail};
}

}  // namespace

ReadResult ZipContainer::OpenFile(const std::string& path,
                                  const Wanted& wanted) {
  ArchivePtr zip = NewZipReader();
  if (archive_read_open_filename(zip.get(), path.c_str(), kBlockSize) !=
      ARCHIVE_OK) {
    return Damaged(zip.get(), "not a zip that can be read");
  }
  return ReadEntries(zip.get(), wanted);
}

ReadResult ZipContainer::OpenMemory(std::string_view bytes,
                                    const Wanted& wanted) {
  ArchivePtr zip = NewZipReader();
  if (archive_read_open_memory(zip.get(), bytes.data(), bytes.size()) !=
      ARCHIVE_OK) {
    return Damaged(zip.get(), "not a zip that can be read");
  }
  return ReadEntries(zip.get(), wanted);
}

ReadResult ZipContainer::ReadEntries(archive* zip, const Wanted& wanted) {
  std::uint64_t unpacked = 0;
  std::string block(kBlockSize, '\0');
  while (true) {
    archive_entry* entry = nullptr;
    int status = archive_read_next_header(zip, &entry);
    if (status == ARCHIVE_EOF) return std::nullopt;
    // ARCHIVE_WARN still gives the entry; a retry could repeat forever.
    if ((status != ARCHIVE_OK && status != ARCHIVE_WARN) || entry == nullptr) {
      return Damaged(zip, "its zip is damaged");
    }
    const char* name_bytes = archive_entry_pathname(entry);
    if (name_bytes == nullptr) continue;
    std::string name(name_bytes);
    if (!wanted(name) || entries_.count(name) != 0) continue;
    if (archive_entry_is_encrypted(entry)) {
      return ReadProblem{WireFailure::kEncrypted, {}};
    }
    std::string& data = entries_[name];
    while (true) {
      la_ssize_t got = archive_read_data(zip, block.data(), block.size());
      if (got == 0) break;
      if (got < 0) return Damaged(zip, name);
      unpacked += static_cast<std::uint64_t>(got);
      if (unpacked > max_unpacked_bytes_) {
        return ReadProblem{WireFailure::kTooLarge,
                           "its parts unpack to more than " +
                               ByteLimitText(max_unpacked_bytes_) + " (" +
                               name + ")"};
      }
      data.append(block.data(), static_cast<std::size_t>(got));
    }
  }
}

std::string* ZipContainer::Find(std::string_view name) {
  auto found = entries_.find(name);
  return found == entries_.end() ? nullptr : &found->second;
}

}  // namespace orvane
