#include "engine/store/store_reader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "engine/common/file_descriptor.h"
#include "engine/store/postings_block.h"
#include "engine/store/store_checksum.h"
#include "engine/store/store_coding.h"

namespace orvane {

namespace {

using store::LoadU32;
using store::LoadU64;

// True when [offset, offset + length) lies within [0, limit).
bool Within(std::uint64_t offset, std::uint64_t length, std::uint64_t limit) {
  return offset <= limit && length <= limit - offset;
}

std::string Number(std::uint64_t n) { return std::to_string(n); }

}  // namespace

StoreReader::~StoreReader() {
  if (map_ != nullptr) {
    ::munmap(const_cast<std::uint8_t*>(map_), static_cast<std::size_t>(size_));
  }
}

Status StoreReader::Damaged(std::string_view what) const {
  return Status::Failed("The store file " + path_ + " is damaged: " +
                        std::string(what) + ".");
}

Result<std::unique_ptr<StoreReader>> StoreReader::Open(
    const std::string& path, const std::optional<StoreFingerprint>& expected,
    StoreReadOptions options, StoreProblem* problem) {
  std::unique_ptr<StoreReader> reader(new StoreReader(path, options));
  StoreProblem found = StoreProblem::kNone;
  Status status = reader->Load(expected, &found);
  if (problem != nullptr) *problem = found;
  if (!status.ok()) return status;
  return reader;
}

Status StoreReader::Load(const std::optional<StoreFingerprint>& expected,
                         StoreProblem* problem) {
  auto refuse = [&](StoreProblem kind, Status status) {
    *problem = kind;
    return status;
  };
  FileDescriptor fd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st;
  if (!fd.ok() || ::fstat(fd.get(), &st) != 0) {
    if (errno == ENOENT) {
      return refuse(StoreProblem::kMissing,
                    Status::Failed("The store file " + path_ + " does not exist."));
    }
    return refuse(StoreProblem::kUnreadable,
                  Status::Failed("The store file " + path_ + " cannot be read: " +
                                 std::generic_category().message(errno) + "."));
  }
  const Status not_store = Status::Failed(path_ + " is not a store file.");
  const Status cut = Status::Failed("The store file " + path_ + " is cut short.");
  if (!S_ISREG(st.st_mode)) return refuse(StoreProblem::kNotStore, not_store);
  if (st.st_size == 0) return refuse(StoreProblem::kCut, cut);
  size_ = static_cast<std::uint64_t>(st.st_size);
  void* map = ::mmap(nullptr, static_cast<std::size_t>(size_), PROT_READ,
                     MAP_SHARED, fd.get(), 0);
  if (map == MAP_FAILED) {
    size_ = 0;
    return refuse(StoreProblem::kUnreadable,
                  Status::Failed("The store file " + path_ + " cannot be read: " +
                                 std::generic_category().message(errno) + "."));
  }
  map_ = static_cast<const std::uint8_t*>(map);

  const std::size_t magic = std::min<std::size_t>(size_, kStoreMagic.size());
  if (std::memcmp(map_, kStoreMagic.data(), magic) != 0) {
    return refuse(StoreProblem::kNotStore, not_store);
  }
  if (size_ < kStoreHeaderSize) return refuse(StoreProblem::kCut, cut);
  const std::uint32_t version = LoadU32(map_ + 8);
  if (version != kStoreVersion) {
    return refuse(StoreProblem::kVersion,
                  Status::Failed("The store file " + path_ + " has format version " +
                                 Number(version) + "; this program reads version " +
                                 Number(kStoreVersion) + "."));
  }
  const std::uint64_t length = LoadU64(map_ + 16);
  if (size_ < length) {
    return refuse(StoreProblem::kCut,
                  Status::Failed("The store file " + path_ + " is cut short: it holds " +
                                 Number(size_) + " of its " + Number(length) +
                                 " bytes."));
  }
  *problem = StoreProblem::kDamaged;
  if (size_ > length) {
    return Damaged("it is " + Number(size_) + " bytes long, its header says " +
                   Number(length));
  }
  Status status = LoadSections();
  if (!status.ok()) return status;

  Status failure;
  const std::uint8_t* bytes = Need(fingerprint_section_, 0, kFingerprintSize, &failure);
  if (bytes == nullptr) return failure;
  fingerprint_.index_file_size = LoadU64(bytes);
  fingerprint_.text_length = LoadU64(bytes + 8);
  fingerprint_.text_checksum = LoadU32(bytes + 16);
  if (expected.has_value() && !(*expected == fingerprint_)) {
    return refuse(StoreProblem::kStale,
                  Status::Failed("The store file " + path_ +
                                 " does not belong to the index file as it is "
                                 "now."));
  }
  status = LoadHeaders();
  if (!status.ok()) return status;
  *problem = StoreProblem::kNone;
  return Status::Ok();
}

Status StoreReader::LoadSections() {
  if (LoadU32(map_ + 12) != kStorePageSize) {
    return Damaged("its page size is " + Number(LoadU32(map_ + 12)));
  }
  const std::uint32_t count = LoadU32(map_ + 24);
  if (count > kMaxSections || kStoreHeaderSize + count * kSectionEntrySize > size_) {
    return Damaged("its section table lies outside the file");
  }
  const std::uint8_t* table = map_ + kStoreHeaderSize;
  std::string checked(reinterpret_cast<const char*>(map_), 56);
  checked.append(reinterpret_cast<const char*>(table), count * kSectionEntrySize);
  if (store::Checksum64(checked.data(), checked.size()) != LoadU64(map_ + 56)) {
    return Damaged("checksum mismatch in its header");
  }
  const std::uint64_t checksums_offset = LoadU64(map_ + 32);
  const std::uint64_t checksums_length = LoadU64(map_ + 40);
  const std::uint64_t table_end = kStoreHeaderSize + count * kSectionEntrySize;
  if (checksums_offset < table_end ||
      !Within(checksums_offset, checksums_length, size_) ||
      checksums_offset + checksums_length != size_) {
    return Damaged("its page checksums lie outside the file");
  }
  page_checksums_ = map_ + checksums_offset;

  std::uint64_t end_of_last = table_end;
  std::uint64_t pages = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = table + i * kSectionEntrySize;
    Section s;
    s.kind = LoadU32(entry);
    s.offset = LoadU64(entry + 8);
    s.length = LoadU64(entry + 16);
    s.checksum = LoadU64(entry + 24);
    s.first_page = pages;
    if (s.offset % kSectionAlignment != 0 || s.offset < end_of_last ||
        !Within(s.offset, s.length, checksums_offset)) {
      return Damaged("its " + std::string(SectionName(s.kind)) +
                     " section lies outside the file");
    }
    end_of_last = s.offset + s.length;
    pages += store::PagesOf(s.length, kStorePageSize);
    sections_.push_back(s);
  }
  if (pages != checksums_length / 4 || checksums_length % 4 != 0) {
    return Damaged("its page checksums do not fit its sections");
  }
  page_checked_ = std::make_unique<std::atomic<std::uint8_t>[]>(pages);

  // The sections of kinds 1 to 5 are in every store; the documents' texts
  // only in some.
  Section* known[] = {&summary_, &fingerprint_section_, &files_, &lexicon_,
                      &postings_, &document_texts_};
  constexpr std::uint32_t kKindsRequired = 5;
  for (const Section& s : sections_) {
    const std::uint64_t section_pages = store::PagesOf(s.length, kStorePageSize);
    if (options_.verify_checksums &&
        store::Checksum64(page_checksums_ + s.first_page * 4, section_pages * 4) !=
            s.checksum) {
      return Damaged("checksum mismatch in its " + std::string(SectionName(s.kind)) +
                     " section");
    }
    if (s.kind < 1 || s.kind > std::size(known)) continue;  // a later kind
    Section* slot = known[s.kind - 1];
    if (slot->kind != 0) {
      return Damaged("it has two " + std::string(SectionName(s.kind)) + " sections");
    }
    *slot = s;
  }
  for (std::uint32_t kind = 1; kind <= kKindsRequired; ++kind) {
    if (known[kind - 1]->kind == 0) {
      return Damaged("it has no " + std::string(SectionName(kind)) + " section");
    }
  }
  return Status::Ok();
}

Status StoreReader::LoadHeaders() {
  Status failure;
  const std::uint8_t* s = Need(summary_, 0, kSummaryHeaderSize, &failure);
  if (s == nullptr) return failure;
  file_count_ = LoadU32(s);
  const std::uint32_t words = LoadU32(s + 4);
  posting_count_ = LoadU64(s + 8);
  const std::uint32_t title_length = LoadU32(s + 16);
  const std::uint8_t* title = Need(summary_, kSummaryHeaderSize, title_length, &failure);
  if (title == nullptr) return failure;
  title_.assign(reinterpret_cast<const char*>(title), title_length);
  if (words > static_cast<std::uint32_t>(INT32_MAX)) {
    return Damaged("it claims " + Number(words) + " words");
  }
  word_count_ = static_cast<std::int32_t>(words);
  const Status disagree = Damaged("the counts of its sections disagree");

  const std::uint8_t* f = Need(files_, 0, kFileTableHeaderSize, &failure);
  if (f == nullptr) return failure;
  entries_offset_ = LoadU64(f + 8);
  texts_offset_ = LoadU64(f + 16);
  texts_length_ = LoadU64(f + 24);
  if (LoadU32(f) != file_count_ || LoadU32(f + 4) != kFileEntrySize) return disagree;
  if (!Within(entries_offset_, std::uint64_t{file_count_} * kFileEntrySize, files_.length) ||
      !Within(texts_offset_, texts_length_, files_.length)) {
    return Damaged("its file table refers past its end");
  }

  const std::uint8_t* l = Need(lexicon_, 0, kLexiconHeaderSize, &failure);
  if (l == nullptr) return failure;
  block_count_ = LoadU32(l + 4);
  words_per_block_ = LoadU32(l + 8);
  index_offset_ = LoadU64(l + 16);
  keys_offset_ = LoadU64(l + 24);
  keys_length_ = LoadU64(l + 32);
  blocks_offset_ = LoadU64(l + 40);
  blocks_length_ = LoadU64(l + 48);
  if (LoadU32(l) != words || words_per_block_ < 1 ||
      words_per_block_ > kMaxWordsPerBlock ||
      block_count_ != store::BlocksOf(words, words_per_block_)) {
    return disagree;
  }
  if (!Within(index_offset_, std::uint64_t{block_count_} * kBlockIndexEntrySize,
              lexicon_.length) ||
      !Within(keys_offset_, keys_length_, lexicon_.length) ||
      !Within(blocks_offset_, blocks_length_, lexicon_.length)) {
    return Damaged("its lexicon refers past its end");
  }

  const std::uint8_t* p = Need(postings_, 0, kPostingsHeaderSize, &failure);
  if (p == nullptr) return failure;
  directory_offset_ = LoadU64(p + 16);
  lists_offset_ = LoadU64(p + 24);
  lists_length_ = LoadU64(p + 32);
  if (LoadU32(p) != words || LoadU32(p + 4) != file_count_ ||
      LoadU32(p + 8) != kPostingsPerBlock) {
    return disagree;
  }
  if (!Within(directory_offset_, (std::uint64_t{words} + 1) * 8, postings_.length) ||
      !Within(lists_offset_, lists_length_, postings_.length)) {
    return Damaged("its postings refer past their end");
  }
  return Status::Ok();
}

const std::uint8_t* StoreReader::Need(const Section& section,
                                      std::uint64_t offset, std::uint64_t length,
                                      Status* failure) const {
  if (!Within(offset, length, section.length)) {
    *failure = Damaged("its " + std::string(SectionName(section.kind)) +
                       " section refers past its end");
    return nullptr;
  }
  if (options_.verify_checksums && length > 0) {
    const std::uint64_t last = (offset + length - 1) / kStorePageSize;
    for (std::uint64_t page = offset / kStorePageSize; page <= last; ++page) {
      std::atomic<std::uint8_t>& checked = page_checked_[section.first_page + page];
      if (checked.load(std::memory_order_acquire) != 0) continue;
      const std::uint64_t start = page * kStorePageSize;
      const std::size_t size = static_cast<std::size_t>(
          std::min<std::uint64_t>(kStorePageSize, section.length - start));
      if (store::PageChecksum(map_ + section.offset + start, size) !=
          LoadU32(page_checksums_ + (section.first_page + page) * 4)) {
        *failure = Damaged("checksum mismatch in its " +
                           std::string(SectionName(section.kind)) +
                           " section, page " + Number(page + 1));
        return nullptr;
      }
      checked.store(1, std::memory_order_release);
    }
  }
  return map_ + section.offset + offset;
}

Result<std::string_view> StoreReader::DocumentTextBytes(
    std::uint64_t offset, std::uint64_t length) const {
  if (document_texts_.kind == 0) {
    return Status::Failed("The store file " + path_ +
                          " holds no documents' texts.");
  }
  Status failure;
  const std::uint8_t* bytes = Need(document_texts_, offset, length, &failure);
  if (bytes == nullptr) return failure;
  return std::string_view(reinterpret_cast<const char*>(bytes),
                          static_cast<std::size_t>(length));
}

Result<StoreFileEntry> StoreReader::File(std::uint32_t file_index) const {
  if (file_index >= file_count_) {
    return Status::Failed("The store file " + path_ + " has no file number " +
                          Number(file_index + std::uint64_t{1}) + ".");
  }
  Status failure;
  const bool last = file_index + std::uint64_t{1} == file_count_;
  const std::uint8_t* entry =
      Need(files_, entries_offset_ + std::uint64_t{file_index} * kFileEntrySize,
           last ? kFileEntrySize : 2 * kFileEntrySize, &failure);
  if (entry == nullptr) return failure;
  const std::uint64_t begin = LoadU64(entry + 24);
  const std::uint64_t end = last ? texts_length_ : LoadU64(entry + kFileEntrySize + 24);
  auto which = [&] { return "the entry of file number " + Number(file_index + std::uint64_t{1}); };
  if (begin > end || end > texts_length_) return Damaged(which() + " is out of order");
  const std::uint8_t* texts = Need(files_, texts_offset_ + begin, end - begin, &failure);
  if (texts == nullptr) return failure;

  StoreFileEntry file;
  file.size = LoadU64(entry);
  file.mtime_seconds = static_cast<std::int64_t>(LoadU64(entry + 8));
  file.mtime_nanoseconds = LoadU32(entry + 16);
  file.path_only = (LoadU32(entry + 20) & kFilePathOnlyFlag) != 0;
  store::ByteReader reader(texts, texts + (end - begin));
  if (!reader.String(&file.path) || !reader.String(&file.title) ||
      !reader.String(&file.first_text) || !reader.String(&file.description) ||
      reader.remaining() != 0 || file.mtime_nanoseconds > 999999999) {
    return Damaged(which() + " is malformed");
  }
  return file;
}

bool StoreReader::BlockKey(std::uint32_t block, std::string_view* key,
                           Status* failure) const {
  const std::uint8_t* entry =
      Need(lexicon_, index_offset_ + std::uint64_t{block} * kBlockIndexEntrySize,
           kBlockIndexEntrySize, failure);
  if (entry == nullptr) return false;
  const std::uint32_t offset = LoadU32(entry);
  const std::uint32_t length = LoadU32(entry + 4);
  if (!Within(offset, length, keys_length_)) {
    *failure = Damaged("its lexicon refers past its end");
    return false;
  }
  const std::uint8_t* bytes = Need(lexicon_, keys_offset_ + offset, length, failure);
  if (bytes == nullptr) return false;
  *key = std::string_view(reinterpret_cast<const char*>(bytes), length);
  return true;
}

bool StoreReader::DecodeBlock(std::uint32_t block, std::vector<std::string>* words,
                              std::vector<std::int32_t>* numbers,
                              Status* failure) const {
  auto block_offset = [&](std::uint32_t b, std::uint64_t* offset) {
    const std::uint8_t* entry =
        Need(lexicon_, index_offset_ + std::uint64_t{b} * kBlockIndexEntrySize,
             kBlockIndexEntrySize, failure);
    if (entry != nullptr) *offset = LoadU64(entry + 8);
    return entry != nullptr;
  };
  std::uint64_t begin = 0;
  std::uint64_t end = blocks_length_;
  if (!block_offset(block, &begin)) return false;
  if (block + 1 < block_count_ && !block_offset(block + 1, &end)) return false;
  if (begin > end || end > blocks_length_) {
    *failure = Damaged("its lexicon's block index is out of order");
    return false;
  }
  const std::uint8_t* bytes = Need(lexicon_, blocks_offset_ + begin, end - begin, failure);
  if (bytes == nullptr) return false;
  std::string_view key;
  if (!BlockKey(block, &key, failure)) return false;

  const std::uint64_t first = std::uint64_t{block} * words_per_block_;
  const std::size_t count = static_cast<std::size_t>(
      std::min<std::uint64_t>(words_per_block_, word_count_ - first));
  words->resize(count);
  numbers->resize(count);
  store::ByteReader reader(bytes, bytes + (end - begin));
  const Status malformed = Damaged("its lexicon is malformed");
  for (std::size_t i = 0; i < count; ++i) {
    std::uint64_t shared = 0;
    std::string_view rest;
    std::uint64_t number = 0;
    const std::size_t before = i == 0 ? 0 : (*words)[i - 1].size();
    if (!reader.Varint(before, &shared) || !reader.String(&rest) ||
        !reader.Varint(static_cast<std::uint64_t>(word_count_), &number) ||
        number == 0) {
      *failure = malformed;
      return false;
    }
    std::string& word = (*words)[i];
    if (i > 0) word.assign((*words)[i - 1], 0, shared);
    else word.clear();
    word.append(rest);
    (*numbers)[i] = static_cast<std::int32_t>(number);
    if (i > 0 && !((*words)[i - 1] < word)) {
      *failure = Damaged("its lexicon is out of order");
      return false;
    }
  }
  if (reader.remaining() != 0) {
    *failure = malformed;
    return false;
  }
  if (count == 0 || (*words)[0] != key) {
    *failure = Damaged("its lexicon's block index does not match its words");
    return false;
  }
  std::string_view next;
  if (block + 1 < block_count_) {
    if (!BlockKey(block + 1, &next, failure)) return false;
    if (!(words->back() < next)) {
      *failure = Damaged("its lexicon is out of order");
      return false;
    }
  }
  return true;
}

std::uint32_t StoreReader::BlockOf(std::string_view word, Status* failure) const {
  // The last block whose first word is at or before word (0 when none is).
  std::uint32_t low = 0;
  std::uint32_t high = block_count_;
  while (low < high) {
    std::uint32_t middle = low + (high - low) / 2;
    std::string_view key;
    if (!BlockKey(middle, &key, failure)) return 0;
    if (key <= word) low = middle + 1;
    else high = middle;
  }
  return low == 0 ? 0 : low - 1;
}

LexiconCursor StoreReader::Seek(std::string_view word) const {
  LexiconCursor cursor(this);
  if (block_count_ == 0) return cursor;
  Status failure;
  std::uint32_t block = BlockOf(word, &failure);
  if (!failure.ok()) {
    cursor.status_ = failure;
    return cursor;
  }
  cursor.Enter(block, word);
  return cursor;
}

LexiconCursor StoreReader::WordsWithStem(std::string_view stem) const {
  LexiconCursor cursor = Seek(stem);
  cursor.prefix_ = std::string(stem);
  cursor.CheckPrefix();
  return cursor;
}

LexiconCursor StoreReader::At(std::uint32_t position) const {
  LexiconCursor cursor(this);
  if (position >= static_cast<std::uint32_t>(word_count_)) return cursor;
  const std::uint32_t block = position / words_per_block_;
  cursor.Enter(block, {});
  if (!cursor.valid_) return cursor;
  cursor.position_ = position % words_per_block_;
  cursor.valid_ = cursor.position_ < cursor.words_.size();
  return cursor;
}

std::uint32_t LexiconCursor::position() const {
  return block_ * reader_->words_per_block_ +
         static_cast<std::uint32_t>(position_);
}

Result<std::int32_t> StoreReader::FindWord(std::string_view word) const {
  LexiconCursor cursor = Seek(word);
  if (!cursor.status().ok()) return cursor.status();
  if (cursor.Valid() && cursor.word() == word) return cursor.word_number();
  return kNotInLexicon;
}

void LexiconCursor::Enter(std::uint32_t block, std::string_view target) {
  valid_ = false;
  while (block < reader_->block_count_) {
    Status failure;
    if (!reader_->DecodeBlock(block, &words_, &numbers_, &failure)) {
      status_ = failure;
      return;
    }
    block_ = block;
    auto found = std::lower_bound(words_.begin(), words_.end(), target,
                                  [](const std::string& w, std::string_view t) {
                                    return std::string_view(w) < t;
                                  });
    if (found != words_.end()) {
      position_ = static_cast<std::size_t>(found - words_.begin());
      valid_ = true;
      return;
    }
    // Every word of the block sorts before target: the next block's first
    // word is the one.
    ++block;
    target = {};
  }
}

void LexiconCursor::CheckPrefix() {
  if (valid_ && !prefix_.empty() &&
      std::string_view(words_[position_]).substr(0, prefix_.size()) != prefix_) {
    valid_ = false;
  }
}

void LexiconCursor::Next() {
  if (!valid_) return;
  if (++position_ < words_.size()) {
    CheckPrefix();
    return;
  }
  Enter(block_ + 1, {});
  CheckPrefix();
}

PostingsIterator StoreReader::Postings(std::int32_t word_number) const {
  PostingsIterator it(this);
  it.word_number_ = word_number;
  if (word_number < 1 || word_number > word_count_) {
    it.status_ = Status::Failed("The store file " + path_ + " has no word number " +
                                std::to_string(word_number) + ".");
    return it;
  }
  Status failure;
  const std::uint8_t* entry = Need(
      postings_, directory_offset_ + (static_cast<std::uint64_t>(word_number) - 1) * 8,
      16, &failure);
  if (entry == nullptr) {
    it.status_ = failure;
    return it;
  }
  const std::uint64_t begin = LoadU64(entry);
  const std::uint64_t end = LoadU64(entry + 8);
  if (begin > end || end > lists_length_) {
    it.status_ = Damaged("its postings directory is out of order");
    return it;
  }
  const std::uint64_t start = lists_offset_ + begin;
  const std::uint8_t* head =
      Need(postings_, start, std::min<std::uint64_t>(10, end - begin), &failure);
  if (head == nullptr) {
    it.status_ = failure;
    return it;
  }
  store::ByteReader reader(head, head + std::min<std::uint64_t>(10, end - begin));
  std::uint64_t count = 0;
  if (!reader.Varint(file_count_, &count)) {
    it.status_ = Damaged("the postings list of word number " + std::to_string(word_number) +
                         " is malformed");
    return it;
  }
  const std::uint64_t count_size = static_cast<std::uint64_t>(reader.at() - head);
  it.count_ = static_cast<std::uint32_t>(count);
  it.blocks_ = static_cast<std::uint32_t>(store::BlocksOf(count, kPostingsPerBlock));
  const std::uint64_t skip_size = it.blocks_ > 1 ? it.blocks_ * std::uint64_t{kSkipEntrySize} : 0;
  if (count_size + skip_size > end - begin || (count == 0 && end - begin != count_size)) {
    it.status_ = Damaged("the postings list of word number " + std::to_string(word_number) +
                         " is malformed");
    return it;
  }
  if (skip_size > 0) {
    it.skip_ = Need(postings_, start + count_size, skip_size, &failure);
    if (it.skip_ == nullptr) {
      it.status_ = failure;
      return it;
    }
  }
  it.blocks_start_ = start + count_size + skip_size;
  it.blocks_length_ = end - begin - count_size - skip_size;
  if (count > 0) it.Enter(0, -1);
  return it;
}

std::uint32_t PostingsIterator::SkipLast(std::uint32_t block) const {
  return store::LoadU32(skip_ + std::size_t{block} * kSkipEntrySize);
}

std::uint32_t PostingsIterator::SkipEnd(std::uint32_t block) const {
  return store::LoadU32(skip_ + std::size_t{block} * kSkipEntrySize + 4);
}

void PostingsIterator::Fail(Status status) {
  valid_ = false;
  status_ = std::move(status);
}

void PostingsIterator::Enter(std::uint32_t block, std::int64_t previous) {
  auto which = [&] { return "the postings list of word number " + std::to_string(word_number_); };
  std::uint64_t begin = 0;
  std::uint64_t end = blocks_length_;
  if (blocks_ > 1) {
    begin = block == 0 ? 0 : SkipEnd(block - 1);
    end = SkipEnd(block);
    if (block + 1 == blocks_ && end != blocks_length_) {
      return Fail(reader_->Damaged(which() + " is malformed"));
    }
  }
  if (begin > end || end > blocks_length_) {
    return Fail(reader_->Damaged(which() + " is malformed"));
  }
  Status failure;
  const std::uint8_t* bytes =
      reader_->Need(reader_->postings_, blocks_start_ + begin, end - begin, &failure);
  if (bytes == nullptr) return Fail(failure);
  in_block_ = std::min<std::uint32_t>(kPostingsPerBlock, count_ - block * kPostingsPerBlock);
  if (!store::DecodePostingsBlock(bytes, static_cast<std::size_t>(end - begin), in_block_,
                                  previous, files_, scores_)) {
    return Fail(reader_->Damaged(which() + " is malformed"));
  }
  const std::uint32_t last = files_[in_block_ - 1];
  if (last >= reader_->file_count_) {
    const std::uint32_t beyond =
        *std::lower_bound(files_, files_ + in_block_, reader_->file_count_);
    return Fail(reader_->Damaged(which() + " names file number " +
                                 std::to_string(beyond + std::uint64_t{1}) + " of " +
                                 std::to_string(reader_->file_count_)));
  }
  if (blocks_ > 1 && last != SkipLast(block)) {
    return Fail(reader_->Damaged(which() + " disagrees with its skip entries"));
  }
  block_ = block;
  at_ = 0;
  valid_ = true;
}

void PostingsIterator::Next() {
  if (!valid_) return;
  if (++at_ < in_block_) return;
  if (block_ + 1 < blocks_) {
    Enter(block_ + 1, files_[in_block_ - 1]);
  } else {
    valid_ = false;
  }
}

void PostingsIterator::SkipTo(std::uint32_t target) {
  if (!valid_ || files_[at_] >= target) return;
  if (files_[in_block_ - 1] < target) {
    // The first later block whose last file reaches target.
    std::uint32_t low = block_ + 1;
    std::uint32_t high = blocks_;
    while (low < high) {
      std::uint32_t middle = low + (high - low) / 2;
      if (SkipLast(middle) < target) low = middle + 1;
      else high = middle;
    }
    if (low == blocks_) {
      valid_ = false;
      return;
    }
    Enter(low, SkipLast(low - 1));
    if (!valid_) return;
  }
  at_ = static_cast<std::uint32_t>(
      std::lower_bound(files_ + at_, files_ + in_block_, target) - files_);
  if (at_ == in_block_) valid_ = false;  // only in a damaged skip table
}

}  // namespace orvane
