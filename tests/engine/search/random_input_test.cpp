// Randomised inputs for the index reader and the query parser: damaged
// index texts and compressed files, and queries of every shape, must give a
// message or a result, never a crash, a hang or an out-of-range read. The
// number of rounds can be raised with ORVANE_RANDOM_ROUNDS and the seed
// changed with ORVANE_RANDOM_SEED for a longer run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <random>

#include "engine/search/classic_store_reader.h"
#include "engine/search/index_loading.h"
#include "engine/search/query.h"
#include "engine/search/search_run.h"
#include "engine/text/extract_builder.h"
#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

int Rounds(int usual) {
  const char* text = std::getenv("ORVANE_RANDOM_ROUNDS");
  return text != nullptr ? std::atoi(text) : usual;
}

unsigned Seed(unsigned usual) {
  const char* text = std::getenv("ORVANE_RANDOM_SEED");
  return text != nullptr ? static_cast<unsigned>(std::atoi(text)) : usual;
}

IndexLayout Sample() {
  IndexLayout layout;
  layout.files = {"a.txt", "b/c.htm", "d e.txt", "f.txt"};
  layout.words = {{"fox", {255, 0, 3, 0}}, {"dog", {0, 0, 0, 0}},
                {"cat", {1, 2, 3, 4}},   {"bird", {0, 255, 0, 255}},
                {"ant", {0, 0, 9, 0}}};
  return layout;
}

std::string Mutate(std::string text, std::mt19937& random) {
  static const char kPieces[] = "\",-0123456789\r\n ";
  int edits = 1 + static_cast<int>(random() % 4);
  for (int e = 0; e < edits && !text.empty(); ++e) {
    std::size_t at = random() % text.size();
    switch (random() % 6) {
      case 0:  // change a byte
        text[at] = static_cast<char>(random() % 256);
        break;
      case 1:  // a character the format uses
        text[at] = kPieces[random() % (sizeof kPieces - 1)];
        break;
      case 2:  // cut a piece out
        text.erase(at, random() % 40);
        break;
      case 3:  // repeat a piece
        text.insert(at, text.substr(at, random() % 40));
        break;
      case 4:  // end early
        text.resize(at);
        break;
      case 5:  // a huge number
        text.insert(at, random() % 2 ? "99999999999" : "-2147483648");
        break;
    }
  }
  return text;
}

TEST(RandomInputTest, DamagedIndexesNeverCrashTheReader) {
  std::mt19937 random(Seed(20240611));
  const std::string valid = IndexText(Sample());
  TempDir dir;
  const std::string compressed =
      ReadFileBytes(WriteCompressed(dir, "v_index.tavo", valid));
  const int rounds = Rounds(400);
  int loaded = 0;
  for (int round = 0; round < rounds; ++round) {
    SearchFixture f;
    std::string path;
    if (round % 4 == 3) {
      path = dir.Write("r_index.tavo", Mutate(compressed, random));
    } else {
      path = WriteCompressed(dir, "r_index.tavo", Mutate(valid, random));
    }
    std::filesystem::remove(dir.Path("r_data.tavo"));
    bool ok = LoadIndexFile(path, &f.state().index, f.module.ports(),
                            f.state().results);
    if (!ok) {
      ASSERT_FALSE(f.prompter.boxes().empty());
      ASSERT_FALSE(std::filesystem::exists(dir.Path("r_data.tavo.part")));
      continue;
    }
    ++loaded;
    // Whatever loaded must be searchable without reading out of range.
    const LoadedIndex& index = f.state().index;
    const ClassicIndex& classic =
        static_cast<const ClassicStoreReader&>(*index.store).index();
    ASSERT_EQ(static_cast<std::int64_t>(std::filesystem::file_size(index.strDataFile)),
              classic.DataFileRows() * index.intNumFiles + 4);
    f.settings().txbTopFolder = dir.folder();
    f.settings().chkSortMatches = round % 2 == 0;
    f.state().strSearchWords = {"fox", "cat", "bird", "zebra"};
    f.settings().cboSearchType = static_cast<SearchType>(round % 3);
    RunSearch(f.settings(), &f.state(), f.module.ports());
  }
  EXPECT_GT(loaded, 0);  // some damage leaves a usable index
}

TEST(RandomInputTest, QueriesOfEveryShape) {
  std::mt19937 random(Seed(7));
  const LoadedIndex index = [] {
    ClassicIndex i;
    for (const char* w : {"ab", "abc", "abd", "b", "caf\xE9", "zz"}) {
      SearchLexiconEntry e;
      e.word_offset = static_cast<std::uint32_t>(i.lexicon_words.size());
      e.word_length = static_cast<std::uint32_t>(std::strlen(w));
      e.lngWordNumber = static_cast<std::int32_t>(i.lexicon.size()) + 1;
      i.lexicon.push_back(e);
      i.lexicon_words += w;
    }
    i.lngNumWords = static_cast<std::int32_t>(i.lexicon.size());
    LoadedIndex loaded;
    loaded.Use(std::make_unique<ClassicStoreReader>(std::move(i), ""));
    return loaded;
  }();
  const std::vector<std::string> pieces = {
      "a", "b", "Ab", "ZZ", "*", " ", "  ", "\t", "1", "-", "'", "\"",
      "caf\xC3\xA9", "\xC3\x89", "\xE2\x82\xAC", "\xD0\xB6", "\xFF", "**"};
  const int rounds = Rounds(3000);
  for (int round = 0; round < rounds; ++round) {
    std::string typed;
    int n = static_cast<int>(random() % 8);
    for (int k = 0; k < n; ++k) typed += pieces[random() % pieces.size()];
    SearchFixture f;
    f.settings().txbSearchWords = typed;
    f.settings().cboSearchType = static_cast<SearchType>(random() % 3);
    if (!CheckSearchWordCharacters(typed)) continue;
    std::vector<std::string> words;
    QueryCheck check = CheckQuery(&f.settings(), index, f.module.ports(),
                                  "W", &words);
    if (check != QueryCheck::kSearch) continue;
    ASSERT_FALSE(words.empty()) << typed;
    for (const std::string& w : words) {
      ASSERT_FALSE(w.empty()) << typed;
      ASSERT_EQ(w.find('*'), std::string::npos) << typed;
      ASSERT_EQ(w, LowerCaseText(w)) << typed;
    }
  }
}

// Files of markup, entities, line ends and high bytes through the extract
// builder: every scan ends, and the extracts keep their form.
TEST(RandomInputTest, ExtractsOfArbitraryFiles) {
  std::mt19937 random(Seed(11));
  const std::vector<std::string> pieces = {
      "a", "b", "ab", " ", "  ", "<", ">", "&", ";", "&amp;", "&eacute;",
      "\r\n", "\n", "\r", "\xE2\x80\x94", "\xE9", std::string(1, '\0'), "1", "/",
      // UTF-8 whole and cut, a mark, a surrogate's bytes.
      "\xC3\xA9", "\xC3", "\xEF\xBB\xBF", "\xD8\x3D", "\xED\xA0\x80"};
  // Every fourth file begins with a UTF-16 mark of either order, whatever
  // follows it, of an odd length or not.
  const std::string marks[] = {"\xFF\xFE", "\xFE\xFF", "", ""};
  TempDir dir;
  const int rounds = Rounds(300);
  for (int round = 0; round < rounds; ++round) {
    std::string text = marks[round % 4];
    std::size_t length = random() % 9000;
    while (text.size() < length) text += pieces[random() % pieces.size()];
    ExtractBuilder builder;
    std::vector<std::string> words = {"a", "b", "ab"};
    std::shuffle(words.begin(), words.end(), random);
    words.resize(1 + random() % 3);
    builder.options.search_words = words;
    builder.options.exact_phrase = round % 2 == 1;
    builder.options.context_size = 10 * (1 + static_cast<int>(random() % 9));
    builder.options.max_extracts = round % 3 == 0 ? -1 : 1 + random() % 5;
    builder.BuildExtracts(dir.Write("r.txt", text));
    for (const std::string& e : builder.extracts()) {
      ASSERT_GE(e.size(), 10u);
      ASSERT_TRUE(e[0] >= '1' && e[0] <= '9');
      ASSERT_EQ(e.substr(1, 6), "} ... ");
      ASSERT_EQ(e.substr(e.size() - 4), " ...");
    }
    if (builder.options.max_extracts > 0) {
      ASSERT_LE(builder.extracts().size(),
                4u * static_cast<std::size_t>(builder.options.max_extracts) + 1);
    }
  }
}

}  // namespace
}  // namespace orvane::testing
