// The store file as a crash, a damaged disk or another program may leave
// it: opened with its pages checked against their checksums and, so that
// the fuzzer reaches the structure behind them, without; then read whole:
// every file entry, every word in order with its postings, walked and
// skipped through, and lookups of the words and stems it holds.
#include <string>

#include "engine/store/store_reader.h"
#include "fuzz/fuzz_support.h"

namespace {

using orvane::LexiconCursor;
using orvane::PostingsIterator;
using orvane::StoreReader;
using orvane::fuzz::Require;

// Enough of a large claimed store to reach every kind of part.
constexpr std::uint32_t kMostFiles = 4096;
constexpr std::uint32_t kMostWords = 4096;

void Walk(PostingsIterator it, std::uint32_t file_count, std::uint32_t step) {
  std::int64_t previous = -1;
  for (std::uint32_t n = 0; it.Valid() && n < 100000; ++n) {
    Require(it.file_index() > previous && it.file_index() < file_count,
            "a postings list gave a file out of order or out of range");
    Require(it.score() >= 1, "a postings list gave a score of 0");
    previous = it.file_index();
    if (step == 0) {
      it.Next();
    } else {
      it.SkipTo(it.file_index() + step);
    }
  }
}

void ReadAll(const StoreReader& store) {
  for (std::uint32_t f = 0; f < store.file_count() && f < kMostFiles; ++f) {
    (void)store.File(f);
  }
  std::string before;
  std::uint32_t words = 0;
  for (LexiconCursor word = store.WordsWithStem(""); word.Valid() && words < kMostWords;
       word.Next(), ++words) {
    Require(words == 0 || before < word.word(), "the lexicon gave words out of order");
    Require(word.word_number() >= 1 && word.word_number() <= store.word_count(),
            "the lexicon gave a word number out of range");
    before = word.word();
    Walk(store.Postings(word.word_number()), store.file_count(), 0);
    Walk(store.Postings(word.word_number()), store.file_count(), 1 + words % 300);
    (void)store.FindWord(before);
    std::uint32_t in_stem = 0;
    std::string stem = before.substr(0, before.size() / 2);
    for (LexiconCursor c = store.WordsWithStem(stem); c.Valid() && in_stem < 64;
         c.Next(), ++in_stem) {
      Require(c.word().substr(0, stem.size()) == stem, "a stem gave a word without it");
    }
  }
  (void)store.FindWord("");
  (void)store.FindWord("\xFF\xFF");
  Walk(store.Postings(0), store.file_count(), 0);
  Walk(store.Postings(store.word_count() + 1), store.file_count(), 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane::fuzz;
  std::string path = WriteScratchFile("fuzz_store.tavo", AsText(data, size));
  for (bool verify : {true, false}) {
    auto store = StoreReader::Open(path, std::nullopt, orvane::StoreReadOptions{verify});
    if (store.ok()) ReadAll(**store);
  }
  return 0;
}
