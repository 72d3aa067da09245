// The entries of a document's zip container that its reader needs, unpacked
// into memory through libarchive, with a limit on what they unpack to: a
// small zip whose entry inflates to gigabytes stops at the limit.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "engine/documents/document_readers.h"

struct archive;  // libarchive's reader

namespace orvane {

class ZipContainer {
 public:
  // The most that the kept entries may unpack to, together.
  static constexpr std::uint64_t kMaxUnpackedBytes = std::uint64_t{256} << 20;

  // Which entries to keep, by name.
  using Wanted = std::function<bool(std::string_view name)>;

  explicit ZipContainer(std::uint64_t max_unpacked_bytes = kMaxUnpackedBytes)
      : max_unpacked_bytes_(max_unpacked_bytes) {}

  // Reads the zip at path, or held in bytes, keeping the wanted entries.
  // Fails with kDamaged (the zip cannot be read), kEncrypted (a wanted entry
  // is encrypted) or kTooLarge (the wanted entries unpack to more than the
  // limit given when constructed).
  ReadResult OpenFile(const std::string& path, const Wanted& wanted);
  ReadResult OpenMemory(std::string_view bytes, const Wanted& wanted);

  // Keeps bytes as the entry name, as if the zip held it: the tests' and
  // fuzz targets' way to give a reader its parts.
  void Put(std::string name, std::string bytes) {
    entries_[std::move(name)] = std::move(bytes);
  }

  // The unpacked entry, or null when the zip holds no such wanted entry.
  // Names are as the zip stores them ("word/document.xml").
  std::string* Find(std::string_view name);

 private:
  ReadResult ReadEntries(::archive* zip, const Wanted& wanted);

  std::uint64_t max_unpacked_bytes_;
  std::map<std::string, std::string, std::less<>> entries_;
};

}  // namespace orvane
