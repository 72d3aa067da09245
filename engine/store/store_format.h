// The store file, NAME_store.tavo beside the index file NAME_index.tavo:
// the index of a project in a binary form that the Search Module reads
// through a read-only memory map, section by section, without parsing it
// whole. It holds the file table (each file's path, size, time and what the
// results box shows for it), the lexicon, each word's postings (its files
// and scores), the fingerprint of the index file it was made with and,
// when the run read documents, their texts.
//
// Layout. Numbers are little-endian; uN is an unsigned N-bit number, iN a
// signed one, varint an unsigned LEB128 number (7 bits a byte, lowest
// first, the high bit set on every byte but the last; at most 10 bytes).
//
// Header, bytes 0 to 63:
//    0  8 bytes  magic 89 4F 56 53 0D 0A 1A 0A ("\x89OVS\r\n\x1a\n": a
//                transfer that drops the high bit or turns line ends shows)
//    8  u32      format version, kStoreVersion
//   12  u32      page size P, kStorePageSize
//   16  u64      length of the whole file
//   24  u32      number of sections S, at most kMaxSections (1,024)
//   28  u32      0
//   32  u64      offset of the page checksums
//   40  u64      length of the page checksums (4 bytes a page)
//   48  u64      0
//   56  u64      header checksum: Checksum64 of bytes 0 to 55 followed by
//                the section table
// Section table, at 64: S entries of 32 bytes:
//    0  u32      kind (StoreSectionKind; a reader skips kinds it does not
//                know, so later sections need no new version)
//    4  u32      0
//    8  u64      offset of the section, a multiple of 64
//   16  u64      length of the section
//   24  u64      section checksum: Checksum64 of the section's page
//                checksums (its run of u32 below, as stored)
// Sections follow the table in table order, each starting at a multiple of
// 64 bytes (kSectionAlignment) and ending before the next one starts; the
// bytes between them are zero. A section's pages are its bytes cut into
// pieces of P from its start (the last one may be shorter).
// Page checksums, after the last section at the next multiple of 8, up to
// the end of the file: for each section in table order, one u32 per page
// of the section: the low 32 bits of Checksum64 of the page's bytes.
//
// So opening a store reads the header, the section table and the page
// checksums (a 1,024th of the file); a page of a section is checked when
// it is first read, and no other byte is read before a search needs it.
//
// Summary section (kind 1):
//    0  u32      number of files N
//    4  u32      number of words W
//    8  u64      number of postings (word-file pairs with a score)
//   16  u32      length of the project title
//   20  bytes    the project title (content)
// Fingerprint section (kind 2): the index file the store belongs to
// (StoreFingerprint):
//    0  u64      the compressed index file's length in bytes
//    8  u64      the length of the index text (the zstd frame's content
//                size)
//   16  u32      the frame's last four bytes (its content checksum)
//   20  u32      0
// File table section (kind 3):
//    0  u32      N
//    4  u32      entry size, 32
//    8  u64      offset of the entries, from the section's start
//   16  u64      offset of the texts, from the section's start
//   24  u64      length of the texts
//   entries, N of 32 bytes, by file index (file number - 1):
//    0  u64      the file's size in bytes
//    8  i64      its modification time: seconds since 1970 (UTC)
//   16  u32      and nanoseconds
//   20  u32      flags: bit 0 (kFilePathOnlyFlag) set when only the path
//                is known (size, time and texts are then 0 and empty);
//                others are 0
//   24  u64      offset of its texts, from the start of the texts; the
//                offsets ascend with the file index
//   texts, for each file: four strings, each a varint length and its
//   bytes: the relative path (path bytes), the title as the results box
//   takes it ("Not HTML file" and the other status texts included), the
//   first text of a file that is not HTML, and the description (content
//   bytes, Windows-1252).
// Lexicon section (kind 4): the words in ascending order of their bytes
// (unsigned), in blocks of B front-coded words:
//    0  u32      W
//    4  u32      number of blocks, ceil(W / B)
//    8  u32      B, words a block (1 to 1024)
//   12  u32      0
//   16  u64      offset of the block index, from the section's start
//   24  u64      offset of the keys (each block's first word)
//   32  u64      length of the keys
//   40  u64      offset of the blocks
//   48  u64      length of the blocks
//   block index, 16 bytes a block: u32 offset of its key in the keys,
//   u32 the key's length, u64 offset of the block in the blocks (a block
//   ends where the next begins)
//   block, for each word: varint bytes shared with the word before it in
//   the block (0 for the first), varint length of the rest, the rest,
//   varint the word number (1 to W)
// Postings section (kind 5):
//    0  u32      W
//    4  u32      N
//    8  u32      postings a block, kPostingsPerBlock
//   12  u32      0
//   16  u64      offset of the directory, from the section's start
//   24  u64      offset of the lists
//   32  u64      length of the lists
//   directory: W + 1 u64, by word number: the list of word number n runs
//   from entry n - 1 to entry n, offsets from the start of the lists
//   list: varint count of its files c (0 to N); when c > 128, ceil(c/128)
//   skip entries of 8 bytes (u32 the last file index of the block, u32
//   the offset where the block ends, from the end of the skip entries);
//   then the blocks of 128 postings (the last one shorter), each: u8 bits
//   a gap g (0 to 32), u8 bits a score s (0 to 8), the gaps packed in g
//   bits each, the scores less one packed in s bits each, each packing
//   from the lowest bit of its first byte up and padded to whole bytes.
//   The gap of a file is its index less the index before it less one (the
//   first file of a list counts from -1), so file indexes ascend.
// Documents' texts section (kind 6), only in the store of a run that read
// documents: the text the document reader found in each of them, so that
// extracts, the phrase check and titles read it instead of the document
// while the document is unchanged (same size and modification time):
//    0  u32      number of documents D
//    4  u32      0
//    8  u64      offset of the frames, from the section's start
//   16  u64      length of the frames
//   24  u64      offset of the table
//   32  u64      length of the table
//   frames: one zstd frame a document, holding: varint-length strings the
//   title and the text (content), a varint 1 when the text holds UTF-8 to
//   decode (else 0), a varint page count and each page's offset in the
//   text as a varint
//   table: D entries: the relative path (a varint length and its bytes),
//   varints the document's size in bytes and its modification time (ns
//   since 1970) when it was read, and its frame's offset (from the start
//   of the frames) and length
//
// Checksum64 is XXH3_64bits of libxxhash (64 bits, seed 0).
#pragma once

#include <cstdint>
#include <string_view>

namespace orvane {

inline constexpr std::string_view kStoreMagic{"\x89OVS\r\n\x1a\n", 8};
inline constexpr std::uint32_t kStoreVersion = 1;
inline constexpr std::uint32_t kStorePageSize = 4096;
inline constexpr std::size_t kStoreHeaderSize = 64;
inline constexpr std::size_t kSectionEntrySize = 32;
inline constexpr std::uint32_t kMaxSections = 1024;
inline constexpr std::uint64_t kSectionAlignment = 64;

enum class StoreSectionKind : std::uint32_t {
  kSummary = 1,
  kFingerprint = 2,
  kFileTable = 3,
  kLexicon = 4,
  kPostings = 5,
  kDocumentTexts = 6,
};

// The name of a section in messages ("the postings section").
std::string_view SectionName(std::uint32_t kind);

// File table.
inline constexpr std::size_t kFileTableHeaderSize = 32;
inline constexpr std::size_t kFileEntrySize = 32;
inline constexpr std::uint32_t kFilePathOnlyFlag = 1;

// Lexicon.
inline constexpr std::size_t kLexiconHeaderSize = 56;
inline constexpr std::size_t kBlockIndexEntrySize = 16;
inline constexpr std::uint32_t kWordsPerBlock = 16;
inline constexpr std::uint32_t kMaxWordsPerBlock = 1024;

// Postings.
inline constexpr std::size_t kPostingsHeaderSize = 40;
inline constexpr std::uint32_t kPostingsPerBlock = 128;
inline constexpr std::size_t kSkipEntrySize = 8;

// Documents' texts.
inline constexpr std::size_t kDocumentTextsHeaderSize = 40;

// Summary and fingerprint.
inline constexpr std::size_t kSummaryHeaderSize = 20;
inline constexpr std::size_t kFingerprintSize = 24;

}  // namespace orvane
