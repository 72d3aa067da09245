#include "engine/store/store_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "engine/common/file_descriptor.h"
#include "engine/store/postings_block.h"
#include "engine/store/store_checksum.h"
#include "engine/store/store_coding.h"
#include "engine/store/store_format.h"

namespace orvane {

namespace {

using store::PutString;
using store::PutU32;
using store::PutU64;
using store::PutVarint;

// The most sections this writer writes: summary, fingerprint, file table,
// lexicon, postings and documents' texts. The table's room is kept for all
// of them: the first section starts at byte 256 either way.
constexpr std::size_t kSectionsWritten = 6;

// Bytes copied or checksummed at a time: whole pages.
constexpr std::size_t kChunk = std::size_t{256} * kStorePageSize;

std::string Description(int error) {
  return std::generic_category().message(error);
}

void PadTo(BufferedFile* file, std::uint64_t alignment) {
  std::uint64_t rest = file->appended() % alignment;
  if (rest != 0) file->Append(std::string(alignment - rest, '\0'));
}

std::size_t SharedPrefix(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  std::size_t i = 0;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

}  // namespace

StoreWriter::StoreWriter(std::string path, std::string partial_path,
                         StoreWriterOptions options)
    : path_(std::move(path)),
      partial_path_(std::move(partial_path)),
      sorter_(partial_path_, options.memory_budget) {}

StoreWriter::~StoreWriter() {
  if (!committed_) Discard();
}

Status StoreWriter::Fail(Status failure) {
  if (status_.ok()) status_ = std::move(failure);
  Discard();
  return status_;
}

void StoreWriter::Discard() {
  if (committed_) return;
  out_.Abandon();
  entries_.Abandon();
  if (created_) ::unlink(partial_path_.c_str());
  created_ = false;
}

Status StoreWriter::Create() {
  Status status = out_.Create(partial_path_);
  if (!status.ok()) return Fail(status);
  created_ = true;
  status = entries_.CreateUnnamed(partial_path_);
  if (!status.ok()) return Fail(status);
  // The header and the section table come first; they are written last,
  // when every section is known.
  out_.Append(std::string(kStoreHeaderSize + kSectionsWritten * kSectionEntrySize, '\0'));
  BeginSection(StoreSectionKind::kFileTable);
  out_.Append(std::string(kFileTableHeaderSize, '\0'));
  return out_.status().ok() ? Status::Ok() : Fail(out_.status());
}

void StoreWriter::BeginSection(StoreSectionKind kind) {
  PadTo(&out_, kSectionAlignment);
  sections_.push_back(
      Section{static_cast<std::uint32_t>(kind), out_.appended(), 0, 0});
}

Status StoreWriter::EndSection(std::string_view header) {
  Section& section = sections_.back();
  section.length = out_.appended() - section.offset;
  Status status = out_.WriteAt(section.offset, header.data(), header.size());
  return status.ok() ? status : Fail(status);
}

Status StoreWriter::AddFile(const StoreFileEntry& file,
                            std::span<const StoreScore> scores) {
  if (!status_.ok()) return status_;
  if (by_word_) {
    return Status::Refused("A file cannot be added after the postings of a word.");
  }
  const std::uint64_t number = sorter_.file_count() + std::uint64_t{1};
  if (file.mtime_nanoseconds > 999999999) {
    return Status::Refused("The modification time of file number " +
                           std::to_string(number) + " has " +
                           std::to_string(file.mtime_nanoseconds) +
                           " nanoseconds.");
  }
  if (number > UINT32_MAX) {
    return Status::Refused("A store holds at most 4,294,967,295 files.");
  }
  Status status = sorter_.AddFile(scores);
  if (status.kind() == Status::Kind::kRefused) return status;
  if (!status.ok()) return Fail(status);

  std::string entry;
  PutU64(&entry, file.path_only ? 0 : file.size);
  PutU64(&entry, static_cast<std::uint64_t>(file.path_only ? 0 : file.mtime_seconds));
  PutU32(&entry, file.path_only ? 0 : file.mtime_nanoseconds);
  PutU32(&entry, file.path_only ? kFilePathOnlyFlag : 0);
  PutU64(&entry, texts_length_);
  entries_.Append(entry);

  std::string texts;
  PutString(&texts, file.path);
  PutString(&texts, file.path_only ? std::string_view() : file.title);
  PutString(&texts, file.path_only ? std::string_view() : file.first_text);
  PutString(&texts, file.path_only ? std::string_view() : file.description);
  out_.Append(texts);
  texts_length_ += texts.size();
  if (!entries_.status().ok()) return Fail(entries_.status());
  if (!out_.status().ok()) return Fail(out_.status());
  return Status::Ok();
}

Status StoreWriter::CheckLexicon(std::span<const StoreWord> lexicon) const {
  const std::size_t words = lexicon.size();
  if (words > static_cast<std::size_t>(store::PostingsSorter::kMaxWordIndex) + 1) {
    return Status::Refused("The lexicon has more words than word numbers allow.");
  }
  if (words < sorter_.word_limit()) {
    return Status::Refused("The lexicon has " + std::to_string(words) +
                           " words, but the scores name word number " +
                           std::to_string(sorter_.word_limit()) + ".");
  }
  std::vector<bool> seen(words, false);
  for (std::size_t i = 0; i < words; ++i) {
    const std::int32_t number = lexicon[i].word_number;
    if (number < 1 || static_cast<std::size_t>(number) > words || seen[number - 1]) {
      return Status::Refused("The lexicon gives word " + std::to_string(i + 1) +
                             " of " + std::to_string(words) +
                             " the word number " + std::to_string(number) +
                             ", out of range or given before.");
    }
    seen[number - 1] = true;
    if (i > 0 && !(lexicon[i - 1].word < lexicon[i].word)) {
      return Status::Refused("The lexicon is not in ascending order: word " +
                             std::to_string(i + 1) + " of " +
                             std::to_string(words) +
                             " does not sort after the word before it.");
    }
  }
  return Status::Ok();
}

Status StoreWriter::Finish(std::string_view title,
                           std::span<const StoreWord> lexicon,
                           const EachWord& each_word) {
  if (!status_.ok()) return status_;
  Status status = CheckLexicon(lexicon);
  if (!status.ok()) return status;
  const auto word_count = static_cast<std::uint32_t>(lexicon.size());
  if (by_word_) {
    if (directory_.size() != word_count) {
      return Status::Refused("The lexicon has " + std::to_string(word_count) +
                             " words, but the postings of " +
                             std::to_string(directory_.size()) + " were given.");
    }
  } else {
    status = WriteFileTable();
    if (status.ok()) status = BeginPostings();
    if (status.ok()) {
      status = sorter_.Merge(word_count, [&](std::uint32_t, std::span<const std::uint32_t> files,
                                             std::span<const std::uint8_t> scores) {
        if (each_word) {
          Status seen = each_word(files, scores);
          if (!seen.ok()) return seen;
        }
        return AppendList(files, scores);
      });
      if (!status.ok()) return Fail(status);
    }
  }
  if (status.ok()) status = EndPostings(word_count);
  if (status.ok()) status = WriteLexicon(lexicon);
  if (!status.ok()) return status;

  BeginSection(StoreSectionKind::kSummary);
  std::string summary;
  PutU32(&summary, sorter_.file_count());
  PutU32(&summary, word_count);
  PutU64(&summary, posting_count());
  PutU32(&summary, static_cast<std::uint32_t>(title.size()));
  summary.append(title);
  out_.Append(summary);
  status = EndSection({});
  if (!status.ok()) return status;
  finished_ = true;
  return Status::Ok();
}

Status StoreWriter::WriteFileTable() {
  // The entries follow the texts, from their work file.
  PadTo(&out_, 8);
  const std::uint64_t entries_offset = out_.appended() - SectionStart();
  std::string chunk;
  for (std::uint64_t at = 0; at < entries_.appended(); at += kChunk) {
    chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, entries_.appended() - at)));
    Status status = entries_.ReadAt(at, chunk.data(), chunk.size());
    if (!status.ok()) return Fail(status);
    out_.Append(chunk);
  }
  entries_.Abandon();
  std::string header;
  PutU32(&header, sorter_.file_count());
  PutU32(&header, kFileEntrySize);
  PutU64(&header, entries_offset);
  PutU64(&header, kFileTableHeaderSize);
  PutU64(&header, texts_length_);
  return EndSection(header);
}

Status StoreWriter::BeginPostings() {
  BeginSection(StoreSectionKind::kPostings);
  out_.Append(std::string(kPostingsHeaderSize, '\0'));
  lists_offset_ = out_.appended() - SectionStart();
  return out_.status().ok() ? Status::Ok() : Fail(out_.status());
}

Status StoreWriter::AppendList(std::span<const std::uint32_t> files,
                               std::span<const std::uint8_t> scores) {
  directory_.push_back(out_.appended() - SectionStart() - lists_offset_);
  list_.clear();
  store::EncodePostingsList(files.data(), scores.data(), files.size(), &list_);
  out_.Append(list_);
  return out_.status();
}

Status StoreWriter::AddWordPostings(std::int32_t word_number,
                                    std::span<const std::uint32_t> files,
                                    std::span<const std::uint8_t> scores) {
  if (!status_.ok()) return status_;
  const std::string which = "The postings of word number " + std::to_string(word_number);
  if (static_cast<std::uint64_t>(word_number) != directory_.size() + 1) {
    return Status::Refused(which + " come where those of word number " +
                           std::to_string(directory_.size() + 1) + " belong.");
  }
  if (sorter_.posting_count() > 0) {
    return Status::Refused(which + " come after files that had scores.");
  }
  if (files.size() != scores.size()) {
    return Status::Refused(which + " have " + std::to_string(files.size()) + " files and " +
                           std::to_string(scores.size()) + " scores.");
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i] >= sorter_.file_count() || (i > 0 && files[i] <= files[i - 1]) ||
        scores[i] == 0) {
      return Status::Refused(which + " name file index " + std::to_string(files[i]) +
                             " with the score " + std::to_string(scores[i]) +
                             ": out of order, beyond the " +
                             std::to_string(sorter_.file_count()) + " files or 0.");
    }
  }
  if (!by_word_) {
    by_word_ = true;
    Status status = WriteFileTable();
    if (status.ok()) status = BeginPostings();
    if (!status.ok()) return status;
  }
  word_postings_ += files.size();
  Status status = AppendList(files, scores);
  return status.ok() ? status : Fail(status);
}

Status StoreWriter::EndPostings(std::uint32_t word_count) {
  const std::uint64_t lists_length = out_.appended() - SectionStart() - lists_offset_;
  directory_.push_back(lists_length);
  PadTo(&out_, 8);
  const std::uint64_t directory_offset = out_.appended() - SectionStart();
  std::string bytes;
  bytes.reserve(directory_.size() * 8);
  for (std::uint64_t offset : directory_) PutU64(&bytes, offset);
  out_.Append(bytes);
  std::vector<std::uint64_t>().swap(directory_);
  std::string header;
  PutU32(&header, word_count);
  PutU32(&header, sorter_.file_count());
  PutU32(&header, kPostingsPerBlock);
  PutU32(&header, 0);
  PutU64(&header, directory_offset);
  PutU64(&header, lists_offset_);
  PutU64(&header, lists_length);
  return EndSection(header);
}

Status StoreWriter::WriteLexicon(std::span<const StoreWord> lexicon) {
  BeginSection(StoreSectionKind::kLexicon);
  out_.Append(std::string(kLexiconHeaderSize, '\0'));
  const std::uint64_t blocks_offset = out_.appended() - SectionStart();
  const std::size_t words = lexicon.size();
  const std::size_t blocks = (words + kWordsPerBlock - 1) / kWordsPerBlock;
  std::string index;
  std::string keys;
  std::string block;
  std::uint64_t blocks_length = 0;
  for (std::size_t b = 0; b < blocks; ++b) {
    const std::size_t first = b * kWordsPerBlock;
    const std::size_t last = std::min(words, first + kWordsPerBlock);
    PutU32(&index, static_cast<std::uint32_t>(keys.size()));
    PutU32(&index, static_cast<std::uint32_t>(lexicon[first].word.size()));
    PutU64(&index, blocks_length);
    keys.append(lexicon[first].word);
    block.clear();
    for (std::size_t i = first; i < last; ++i) {
      std::string_view word = lexicon[i].word;
      std::size_t shared = i == first ? 0 : SharedPrefix(lexicon[i - 1].word, word);
      PutVarint(&block, shared);
      PutString(&block, word.substr(shared));
      PutVarint(&block, static_cast<std::uint64_t>(lexicon[i].word_number));
    }
    out_.Append(block);
    blocks_length += block.size();
  }
  PadTo(&out_, 8);
  const std::uint64_t index_offset = out_.appended() - SectionStart();
  out_.Append(index);
  const std::uint64_t keys_offset = out_.appended() - SectionStart();
  out_.Append(keys);
  std::string header;
  PutU32(&header, static_cast<std::uint32_t>(words));
  PutU32(&header, static_cast<std::uint32_t>(blocks));
  PutU32(&header, kWordsPerBlock);
  PutU32(&header, 0);
  PutU64(&header, index_offset);
  PutU64(&header, keys_offset);
  PutU64(&header, keys.size());
  PutU64(&header, blocks_offset);
  PutU64(&header, blocks_length);
  return EndSection(header);
}

Status StoreWriter::WritePageChecksums() {
  std::string all;
  std::string run;
  std::string chunk;
  for (Section& section : sections_) {
    run.clear();
    for (std::uint64_t at = 0; at < section.length; at += kChunk) {
      chunk.resize(static_cast<std::size_t>(
          std::min<std::uint64_t>(kChunk, section.length - at)));
      Status status = out_.ReadAt(section.offset + at, chunk.data(), chunk.size());
      if (!status.ok()) return Fail(status);
      for (std::size_t page = 0; page < chunk.size(); page += kStorePageSize) {
        std::size_t size = std::min<std::size_t>(kStorePageSize, chunk.size() - page);
        PutU32(&run, store::PageChecksum(chunk.data() + page, size));
      }
    }
    section.checksum = store::Checksum64(run.data(), run.size());
    all.append(run);
  }
  PadTo(&out_, 8);
  const std::uint64_t checksums_offset = out_.appended();
  out_.Append(all);
  size_ = out_.appended();

  std::string head;
  head.append(kStoreMagic);
  PutU32(&head, kStoreVersion);
  PutU32(&head, kStorePageSize);
  PutU64(&head, size_);
  PutU32(&head, static_cast<std::uint32_t>(sections_.size()));
  PutU32(&head, 0);
  PutU64(&head, checksums_offset);
  PutU64(&head, all.size());
  PutU64(&head, 0);
  std::string table;
  for (const Section& section : sections_) {
    PutU32(&table, section.kind);
    PutU32(&table, 0);
    PutU64(&table, section.offset);
    PutU64(&table, section.length);
    PutU64(&table, section.checksum);
  }
  std::string checked = head + table;
  PutU64(&head, store::Checksum64(checked.data(), checked.size()));
  head += table;
  Status status = out_.WriteAt(0, head.data(), head.size());
  return status.ok() ? status : Fail(status);
}

Status StoreWriter::AddDocumentTexts(const DocumentTextGatherer& texts) {
  if (!status_.ok()) return status_;
  BeginSection(StoreSectionKind::kDocumentTexts);
  out_.Append(std::string(kDocumentTextsHeaderSize, '\0'));
  std::string chunk;
  for (std::uint64_t at = 0; at < texts.frames_length(); at += kChunk) {
    Status status = texts.ReadFrames(
        at, static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, texts.frames_length() - at)),
        &chunk);
    if (!status.ok()) return Fail(status);
    out_.Append(chunk);
  }
  const std::uint64_t table_offset = out_.appended() - SectionStart();
  out_.Append(texts.table());
  std::string header;
  PutU32(&header, static_cast<std::uint32_t>(texts.count()));
  PutU32(&header, 0);
  PutU64(&header, kDocumentTextsHeaderSize);
  PutU64(&header, texts.frames_length());
  PutU64(&header, table_offset);
  PutU64(&header, texts.table().size());
  if (!out_.status().ok()) return Fail(out_.status());
  return EndSection(header);
}

Status StoreWriter::Commit(const StoreFingerprint& fingerprint) {
  if (!status_.ok()) return status_;
  BeginSection(StoreSectionKind::kFingerprint);
  std::string bytes;
  PutU64(&bytes, fingerprint.index_file_size);
  PutU64(&bytes, fingerprint.text_length);
  PutU32(&bytes, fingerprint.text_checksum);
  PutU32(&bytes, 0);
  out_.Append(bytes);
  Status status = EndSection({});
  if (status.ok()) status = WritePageChecksums();
  if (!status.ok()) return status;
  status = out_.Close(/*sync=*/true);
  if (!status.ok()) return Fail(status);
  if (std::rename(partial_path_.c_str(), path_.c_str()) != 0) {
    return Fail(Status::Failed("Cannot rename " + partial_path_ + " to " +
                               path_ + ": " + Description(errno) + "."));
  }
  committed_ = true;
  SyncFolderOf(path_);
  return Status::Ok();
}

}  // namespace orvane
