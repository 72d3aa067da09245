#include "engine/store/store_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "engine/store/postings_block.h"
#include "tests/engine/store/store_model.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::Describe;
using testing::MakeModel;
using testing::ReadFileBytes;
using testing::Reseal;
using testing::SectionOf;
using testing::StoreModel;
using testing::TempDir;
using testing::WriteModel;

std::uint8_t* At(std::string* bytes, std::uint64_t offset) {
  return reinterpret_cast<std::uint8_t*>(bytes->data()) + offset;
}

// A store changed in one way, and what the reader says of it: a refusal at
// the open, or damage found when everything is read.
struct Damage {
  const char* name;
  std::function<void(std::string*)> change;
  StoreProblem problem;  // kNone: opens, and the damage shows on reading
  std::string message;   // after "The store file PATH "
};

TEST(StoreReaderTest, RefusesOrReportsEveryKindOfDamage) {
  TempDir dir;
  StoreModel model = MakeModel(400, 2000, 5);
  testing::AddModelTexts(&model, 8, 3000);
  const std::string path = dir.Path("a_store.tavo");
  ASSERT_TRUE(WriteModel(model, path).ok());
  const std::string good = ReadFileBytes(path);
  const std::uint64_t size = good.size();
  auto section = [&](StoreSectionKind kind) { return SectionOf(good, kind); };
  auto flip_in = [&](StoreSectionKind kind) {
    return [=](std::string* b) {
      auto [offset, length] = section(kind);
      (*b)[offset + length / 2] ^= 0x20;
    };
  };
  auto cut = [](std::uint64_t length) {
    return [=](std::string* b) { b->resize(length); };
  };
  const auto files = section(StoreSectionKind::kFileTable);
  const auto lexicon = section(StoreSectionKind::kLexicon);
  const auto postings = section(StoreSectionKind::kPostings);
  const auto summary = section(StoreSectionKind::kSummary);
  const auto texts = section(StoreSectionKind::kDocumentTexts);

  const std::string cut_short = "is cut short: it holds ";
  // With 150 of the 400 files left, the first word in lexicon order that
  // is in a later file, and the first such file.
  std::string out_of_range;
  for (const StoreWord& w : testing::SortedLexicon(model)) {
    for (std::uint32_t f = 150; f < model.files.size() && out_of_range.empty(); ++f) {
      for (const StoreScore& s : model.files[f].scores) {
        if (s.word_index + 1 == static_cast<std::uint32_t>(w.word_number)) {
          out_of_range = "is damaged: the postings list of word number " +
                         std::to_string(w.word_number) + " names file number " +
                         std::to_string(f + 1) + " of 150.";
        }
      }
    }
    if (!out_of_range.empty()) break;
  }
  std::vector<Damage> cases = {
      {"empty", cut(0), StoreProblem::kCut, "is cut short."},
      {"cut in the magic", cut(5), StoreProblem::kCut, "is cut short."},
      {"cut in the header", cut(63), StoreProblem::kCut, "is cut short."},
      {"cut in the table", cut(100), StoreProblem::kCut,
       cut_short + "100 of its " + std::to_string(size) + " bytes."},
      {"cut in half", cut(size / 2), StoreProblem::kCut,
       cut_short + std::to_string(size / 2) + " of its " + std::to_string(size) + " bytes."},
      {"last byte cut", cut(size - 1), StoreProblem::kCut,
       cut_short + std::to_string(size - 1) + " of its " + std::to_string(size) + " bytes."},
      {"a byte too many", [](std::string* b) { b->push_back('\0'); }, StoreProblem::kDamaged,
       "is damaged: it is " + std::to_string(size + 1) + " bytes long, its header says " +
           std::to_string(size) + "."},
      {"no store", [](std::string* b) { *b = "\"README.txt\"\r\n\"End of file list\"\r\n"; },
       StoreProblem::kNotStore, ""},
      {"version 2", [](std::string* b) { (*b)[8] = 2; }, StoreProblem::kVersion,
       "has format version 2; this program reads version 1."},
      {"flipped in the header", [](std::string* b) { (*b)[28] ^= 1; }, StoreProblem::kDamaged,
       "is damaged: checksum mismatch in its header."},
      {"flipped in the page checksums", [&](std::string* b) { (*b)[size - 3] ^= 1; },
       StoreProblem::kDamaged, "is damaged: checksum mismatch in its fingerprint section."},
      {"flipped in the summary", flip_in(StoreSectionKind::kSummary), StoreProblem::kDamaged,
       "is damaged: checksum mismatch in its summary section, page 1."},
      {"flipped in the fingerprint", flip_in(StoreSectionKind::kFingerprint),
       StoreProblem::kDamaged, "is damaged: checksum mismatch in its fingerprint section, page 1."},
      // Damage in the body of a large section is found when that page is
      // read, not at the open.
      {"flipped in the file table", flip_in(StoreSectionKind::kFileTable), StoreProblem::kNone,
       "is damaged: checksum mismatch in its file table section, page " +
           std::to_string(files.second / 2 / kStorePageSize + 1) + "."},
      {"flipped in the lexicon", flip_in(StoreSectionKind::kLexicon), StoreProblem::kNone,
       "is damaged: checksum mismatch in its lexicon section, page " +
           std::to_string(lexicon.second / 2 / kStorePageSize + 1) + "."},
      {"flipped in the postings", flip_in(StoreSectionKind::kPostings), StoreProblem::kNone,
       "is damaged: checksum mismatch in its postings section, page " +
           std::to_string(postings.second / 2 / kStorePageSize + 1) + "."},
      {"flipped in the documents' texts", flip_in(StoreSectionKind::kDocumentTexts),
       StoreProblem::kNone,
       "is damaged: checksum mismatch in its documents' texts section, page " +
           std::to_string(texts.second / 2 / kStorePageSize + 1) + "."},
      // Changes with their checksums made to match: only the checks of the
      // structure can find them.
      {"section past the end",
       [](std::string* b) {
         store::StoreU64(At(b, kStoreHeaderSize + 2 * kSectionEntrySize + 16), 1ull << 40);
         Reseal(b);
       },
       StoreProblem::kDamaged, "is damaged: its lexicon section lies outside the file."},
      {"sections overlap",
       [&](std::string* b) {
         store::StoreU64(At(b, kStoreHeaderSize + kSectionEntrySize + 8), files.first);
         Reseal(b);
       },
       StoreProblem::kDamaged, "is damaged: its postings section lies outside the file."},
      {"no lexicon",
       [](std::string* b) {
         store::StoreU32(At(b, kStoreHeaderSize + 2 * kSectionEntrySize), 77);
         Reseal(b);
       },
       StoreProblem::kDamaged, "is damaged: it has no lexicon section."},
      {"counts disagree",
       [&](std::string* b) {
         store::StoreU32(At(b, summary.first), 399);
         Reseal(b);
       },
       StoreProblem::kDamaged, "is damaged: the counts of its sections disagree."},
      {"file table past its end",
       [&](std::string* b) {
         store::StoreU64(At(b, files.first + 24), files.second);
         Reseal(b);
       },
       StoreProblem::kDamaged, "is damaged: its file table refers past its end."},
      {"lexicon out of order",
       [&](std::string* b) {
         // The first word of the first block that differs from the word
         // before it within that word's length gets zeros in place of its
         // own bytes: it then sorts before that word.
         std::uint64_t blocks = lexicon.first + store::LoadU64(At(b, lexicon.first + 40));
         store::ByteReader r(At(b, blocks), At(b, lexicon.first + lexicon.second));
         std::uint64_t shared = 0;
         std::uint64_t number = 0;
         std::string_view rest;
         std::uint64_t before = 0;
         for (int word = 0; word < 16; ++word) {
           r.Varint(&shared);
           r.String(&rest);
           r.Varint(&number);
           if (word > 0 && shared < before && !rest.empty()) {
             std::fill_n(const_cast<char*>(rest.data()), rest.size(), '\0');
             break;
           }
           before = shared + rest.size();
         }
         Reseal(b);
       },
       StoreProblem::kNone, "is damaged: its lexicon is out of order."},
      {"file number out of range",
       [&](std::string* b) {
         // 150 files remain: "the", in every file with words, names more.
         const std::uint64_t entries = files.first + store::LoadU64(At(b, files.first + 8));
         store::StoreU64(At(b, files.first + 24), store::LoadU64(At(b, entries + 150 * 32 + 24)));
         store::StoreU32(At(b, summary.first), 150);
         store::StoreU32(At(b, files.first), 150);
         store::StoreU32(At(b, postings.first + 4), 150);
         Reseal(b);
       },
       StoreProblem::kNone, out_of_range},
      {"documents' texts table past its end",
       [&](std::string* b) {
         store::StoreU64(At(b, texts.first + 32), texts.second);
         Reseal(b);
       },
       StoreProblem::kNone, "is damaged: its documents' texts section is malformed."},
      {"a document's text out of place",
       [&](std::string* b) {
         // The table's first entry says its frame starts at byte 1 of the
         // frames, not 0.
         const std::uint64_t table = texts.first + store::LoadU64(At(b, texts.first + 24));
         store::ByteReader r(At(b, table), At(b, texts.first + texts.second));
         std::string_view path;
         std::uint64_t number = 0;
         r.String(&path);
         r.Varint(&number);
         r.Varint(&number);
         *const_cast<std::uint8_t*>(r.at()) = 1;
         Reseal(b);
       },
       StoreProblem::kNone,
       "is damaged: the text of " + model.texts[0].path + " is malformed."},
      {"postings directory out of order",
       [&](std::string* b) {
         std::uint64_t directory = postings.first + store::LoadU64(At(b, postings.first + 16));
         store::StoreU64(At(b, directory + 8), 1ull << 40);
         Reseal(b);
       },
       StoreProblem::kNone, "is damaged: its postings directory is out of order."},
  };
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = good;
    c.change(&bytes);
    const std::string damaged = dir.Write("damaged_store.tavo", bytes);
    const std::string expected =
        c.problem == StoreProblem::kNotStore
            ? damaged + " is not a store file."
            : "The store file " + damaged + " " + c.message;
    StoreProblem problem = StoreProblem::kDamaged;
    auto store = StoreReader::Open(damaged, model.fingerprint, {}, &problem);
    EXPECT_EQ(problem, c.problem);
    if (c.problem != StoreProblem::kNone) {
      ASSERT_FALSE(store.ok());
      EXPECT_EQ(store.status().message(), expected);
      continue;
    }
    ASSERT_TRUE(store.ok()) << store.status().message();
    std::string read = Describe(**store);
    std::size_t failed = read.find("failed: ");
    ASSERT_NE(failed, std::string::npos) << "nothing found wrong";
    EXPECT_EQ(read.substr(failed + 8, expected.size()), expected);
  }
}

TEST(StoreReaderTest, RefusesMissingAndStaleStores) {
  TempDir dir;
  StoreModel model = MakeModel(10, 20, 1);
  const std::string path = dir.Path("a_store.tavo");
  StoreProblem problem = StoreProblem::kNone;
  auto missing = StoreReader::Open(path, model.fingerprint, {}, &problem);
  EXPECT_EQ(problem, StoreProblem::kMissing);
  EXPECT_EQ(missing.status().message(), "The store file " + path + " does not exist.");

  ASSERT_TRUE(WriteModel(model, path).ok());
  StoreFingerprint changes[3] = {model.fingerprint, model.fingerprint, model.fingerprint};
  changes[0].index_file_size += 1;
  changes[1].text_length -= 1;
  changes[2].text_checksum ^= 0x100;
  for (const StoreFingerprint& other : changes) {
    auto stale = StoreReader::Open(path, other, {}, &problem);
    EXPECT_EQ(problem, StoreProblem::kStale);
    EXPECT_EQ(stale.status().message(),
              "The store file " + path + " does not belong to the index file as it is now.");
  }
  // Without an expected fingerprint any store opens.
  EXPECT_TRUE(StoreReader::Open(path, std::nullopt, {}, &problem).ok());
  EXPECT_EQ(problem, StoreProblem::kNone);
}

// A store whose lexicon spans several blocks of 16 words, with words that
// share beginnings across the blocks' edges.
class StoreLexiconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model_.title = "Lexicon";
    model_.fingerprint = {};
    // 40 words: "a", "ab", "abc", ... and "b0".."b9", "ca", accented.
    for (const char* w : {"a", "ab", "abc", "abd", "abda", "abdb", "ac", "b"}) {
      model_.words.push_back(w);
    }
    for (int i = 0; i < 26; ++i) model_.words.push_back(std::string("b") + char('a' + i));
    for (const char* w : {"ca", "cab", "zz", "\xE9t\xE9", "\xE9tude", "\xFF"}) {
      model_.words.push_back(w);
    }
    testing::ModelFile file;
    file.path = "one.txt";
    for (std::uint32_t i = 0; i < model_.words.size(); ++i) {
      file.scores.push_back({i, static_cast<std::uint8_t>(i + 1)});
    }
    model_.files.push_back(file);
    ASSERT_TRUE(WriteModel(model_, dir_.Path("l_store.tavo")).ok());
    auto store = StoreReader::Open(dir_.Path("l_store.tavo"), model_.fingerprint);
    ASSERT_TRUE(store.ok()) << store.status().message();
    store_ = std::move(*store);
  }

  TempDir dir_;
  StoreModel model_;
  std::unique_ptr<StoreReader> store_;
};

TEST_F(StoreLexiconTest, FindsWordsAndStemsByBinarySearch) {
  ASSERT_EQ(model_.words.size(), 40u);
  struct Case {
    std::string stem;
    std::string words;  // the stem's words, blank-separated
  } cases[] = {
      {"", ""},  // every word: checked below
      {"a", "a ab abc abd abda abdb ac"},
      {"abd", "abd abda abdb"},
      {"abdb", "abdb"},
      {"abdc", ""},
      {"b", "b ba bb bc bd be bf bg bh bi bj bk bl bm bn bo bp bq br bs bt bu bv bw bx by bz"},
      {"bp", "bp"},  // "bp" is a block's first word
      {"c", "ca cab"},
      {"0", ""},  // before the first word
      {"zzz", ""},
      {"\xE9t", "\xE9tude \xE9t\xE9"},  // "u" sorts before "\xE9"
      {"\xFF", "\xFF"},  // the last word
      {"\xFF\xFF", ""},  // after the last word
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("stem " + testing::Visible(c.stem));
    std::string found;
    LexiconCursor cursor = store_->WordsWithStem(c.stem);
    for (; cursor.Valid(); cursor.Next()) {
      found += (found.empty() ? "" : " ") + std::string(cursor.word());
      EXPECT_EQ(model_.words[cursor.word_number() - 1], cursor.word());
    }
    EXPECT_TRUE(cursor.status().ok()) << cursor.status().message();
    if (c.stem.empty()) {
      EXPECT_EQ(std::count(found.begin(), found.end(), ' '), 39);
    } else {
      EXPECT_EQ(found, c.words);
    }
  }
  // Whole words: found with their number, absent ones before, between and
  // after the words, and beginnings of words.
  for (std::size_t i = 0; i < model_.words.size(); ++i) {
    auto number = store_->FindWord(model_.words[i]);
    ASSERT_TRUE(number.ok());
    EXPECT_EQ(*number, static_cast<std::int32_t>(i + 1)) << model_.words[i];
  }
  for (const char* absent : {"", "0", "aa", "abdc", "bzz", "c", "zzz", "\xE9", "\xFF\xFF"}) {
    auto number = store_->FindWord(absent);
    ASSERT_TRUE(number.ok());
    EXPECT_EQ(*number, StoreReader::kNotInLexicon) << testing::Visible(absent);
  }
}

TEST(StorePostingsTest, SkipsToEachFileAsASearchOfAllWordsDoes) {
  // One word in every third file of 2,000 (667 postings, 6 blocks), one in
  // the last file only, one in every file.
  TempDir dir;
  StoreModel model;
  model.words = {"third", "last", "every"};
  const std::uint32_t files = 2000;
  for (std::uint32_t f = 0; f < files; ++f) {
    testing::ModelFile file;
    file.path = std::to_string(f);
    if (f % 3 == 1) file.scores.push_back({0, static_cast<std::uint8_t>(1 + f % 255)});
    if (f == files - 1) file.scores.push_back({1, 255});
    file.scores.push_back({2, 1});
    model.files.push_back(file);
  }
  ASSERT_TRUE(WriteModel(model, dir.Path("p_store.tavo")).ok());
  auto store = StoreReader::Open(dir.Path("p_store.tavo"), model.fingerprint);
  ASSERT_TRUE(store.ok());
  for (std::int32_t word = 1; word <= 3; ++word) {
    std::vector<std::uint32_t> expected;
    for (std::uint32_t f = 0; f < files; ++f) {
      for (const StoreScore& s : model.files[f].scores) {
        if (s.word_index + 1 == static_cast<std::uint32_t>(word)) expected.push_back(f);
      }
    }
    EXPECT_EQ((*store)->Postings(word).count(), expected.size());
    // From a fresh list, and from one that has already moved on.
    for (std::uint32_t target = 0; target <= files; target += 7) {
      auto want = std::lower_bound(expected.begin(), expected.end(), target);
      PostingsIterator fresh = (*store)->Postings(word);
      fresh.SkipTo(target);
      ASSERT_EQ(fresh.Valid(), want != expected.end()) << word << " to " << target;
      if (fresh.Valid()) {
        EXPECT_EQ(fresh.file_index(), *want);
      }
    }
    PostingsIterator walking = (*store)->Postings(word);
    for (std::uint32_t target = 0; target <= files && walking.Valid(); target += 130) {
      walking.SkipTo(target);
      auto want = std::lower_bound(expected.begin(), expected.end(), target);
      ASSERT_EQ(walking.Valid(), want != expected.end());
      if (walking.Valid()) {
        EXPECT_EQ(walking.file_index(), *want);
      }
    }
    EXPECT_TRUE(walking.status().ok());
  }
  PostingsIterator none = (*store)->Postings(4);
  EXPECT_FALSE(none.Valid());
  EXPECT_NE(none.status().message().find("has no word number 4."), std::string::npos);
}

TEST(StorePostingsTest, DecodesOnlySoundBlocks) {
  // Files 0, 5 and 4294967295 with scores 1, 255 and 7.
  std::uint32_t files[] = {0, 5, 4294967295u};
  std::uint8_t scores[] = {1, 255, 7};
  std::string list;
  store::EncodePostingsList(files, scores, 3, &list);
  ASSERT_EQ(static_cast<std::uint8_t>(list[0]), 3);  // the count
  const auto* block = reinterpret_cast<const std::uint8_t*>(list.data()) + 1;
  const std::size_t size = list.size() - 1;
  std::uint32_t got_files[3];
  std::uint8_t got_scores[3];
  ASSERT_TRUE(store::DecodePostingsBlock(block, size, 3, -1, got_files, got_scores));
  EXPECT_EQ(std::vector<std::uint32_t>(got_files, got_files + 3),
            std::vector<std::uint32_t>(files, files + 3));
  EXPECT_EQ(std::vector<std::uint8_t>(got_scores, got_scores + 3),
            std::vector<std::uint8_t>(scores, scores + 3));
  struct Case {
    const char* name;
    std::function<void(std::string*)> change;
    std::size_t size;
    std::int64_t previous;
  } cases[] = {
      {"one byte short", [](std::string*) {}, size - 1, -1},
      {"gap bits above 32", [](std::string* b) { (*b)[0] = 33; }, size, -1},
      {"score bits above 8", [](std::string* b) { (*b)[1] = 9; }, size, -1},
      {"a file beyond 32 bits", [](std::string*) {}, size, 0},
      {"a score of 256", [](std::string* b) { (*b)[b->size() - 1] = static_cast<char>(0xFF); },
       size, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes(reinterpret_cast<const char*>(block), size);
    c.change(&bytes);
    EXPECT_FALSE(store::DecodePostingsBlock(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                            c.size, 3, c.previous, got_files, got_scores));
  }
}

}  // namespace
}  // namespace orvane
