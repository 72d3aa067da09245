// The store file at the load: reused when it belongs to the index file,
// made again from the index text with its reason told when it is missing,
// stale, foreign or damaged, and kept aside for the session when the
// index's folder takes none.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/format/file_names.h"
#include "engine/search/index_loading.h"
#include "engine/search/store_index_reader.h"
#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCreating = "\r\nNow creating store file ...";

class StoreLoadingTest : public ::testing::Test {
 protected:
  StoreLoadingTest() {
    dir_.Write("top/a.txt", "alpha beta beta");
    dir_.Write("top/b.txt", "beta gamma");
    dir_.Write("top/c.txt", "alpha alphabet");
    layout_ = IndexOfTree(dir_, "top/", {"a.txt", "b.txt", "c.txt"});
    index_path_ = WriteIndex(dir_, "s", layout_, false);
    store_path_ = dir_.Path("s_store.tavo");
  }

  // A new window loads the index; the texts the results box showed while
  // it loaded.
  std::vector<std::string> Load() {
    f_ = std::make_unique<SearchFixture>(IndexStoreKind::kStore);
    f_->settings().txbTopFolder = dir_.folder() + "top/";
    f_->settings().chkGenerateHTML = false;
    loaded_ = LoadIndexFile(index_path_, &f_->state().index, f_->module.ports(),
                            f_->state().results);
    return f_->view.History("txbFiles");
  }

  // The files found for the words, as the search lists them.
  std::vector<std::string> Found(const std::string& words) {
    f_->settings().txbSearchWords = words;
    f_->settings().cboSearchType = SearchType::kAnyWord;
    f_->settings().txbIndexFile = index_path_;
    f_->module.Search();
    return f_->state().strFilesFound;
  }

  std::string StoreBytes() { return ReadFileBytes(store_path_); }

  TempDir dir_;
  IndexLayout layout_;
  std::string index_path_, store_path_;
  std::unique_ptr<SearchFixture> f_;
  bool loaded_ = false;
};

TEST_F(StoreLoadingTest, MakesTheStoreOnceAndReusesIt) {
  // What a search killed while it made the store left goes; nothing of
  // this one's making stays.
  dir_.Write("s_store.search-999999999.part.tavo", "killed");
  EXPECT_EQ(Load(), (std::vector<std::string>{std::string(kCreating), ""}));
  ASSERT_TRUE(loaded_) << f_->Messages();
  EXPECT_TRUE(fs::exists(store_path_));
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"s_index.tavo",
                                                    "s_store.tavo", "top"}));
  EXPECT_FALSE(fs::exists(dir_.Path("s_data.tavo")));
  EXPECT_EQ(f_->view.Text("lblSearchableWords"),
            "There are 4 searchable words in 3 files.");
  EXPECT_EQ(f_->view.Text("lblTitle[1]"), "Test index");
  EXPECT_EQ(Found("beta"), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(Found("alpha*"), (std::vector<std::string>{"a.txt", "c.txt"}));

  const std::string bytes = StoreBytes();
  EXPECT_TRUE(Load().empty());  // nothing made, nothing shown
  ASSERT_TRUE(loaded_);
  EXPECT_TRUE(StoreBytes() == bytes);
  EXPECT_EQ(Found("gamma"), (std::vector<std::string>{"b.txt"}));
  EXPECT_EQ(f_->Messages(), "");
}

// Every store of no use is told and made again; the search then answers as
// from a store made afresh.
TEST_F(StoreLoadingTest, MakesAgainAStoreOfNoUseAndSaysWhy) {
  Load();
  ASSERT_TRUE(loaded_);
  const std::string good = StoreBytes();
  TempDir other;
  IndexLayout foreign_layout = layout_;
  foreign_layout.title = "Another index";
  const std::string foreign_index = WriteIndex(other, "s", foreign_layout, false);
  Load();  // nothing: the store is there
  {
    SearchFixture g(IndexStoreKind::kStore);
    ASSERT_TRUE(LoadIndexFile(foreign_index, &g.state().index, g.module.ports(),
                              g.state().results));
  }
  const std::string foreign = ReadFileBytes(other.Path("s_store.tavo"));

  auto flipped = [&](std::size_t at) {
    std::string bytes = good;
    bytes[at] = static_cast<char>(bytes[at] ^ 0x20);
    return bytes;
  };
  // The postings section, from the section table.
  auto u32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(good[at + i]);
    return v;
  };
  std::size_t postings = 0;
  for (std::uint32_t s = 0; s < u32(24); ++s) {
    if (u32(64 + 32 * s) == 5) postings = u32(64 + 32 * s + 8);
  }
  ASSERT_GT(postings, 0u);
  std::string version = good;
  version[8] = 2;
  const std::string path = store_path_;
  struct Row {
    const char* name;
    std::string bytes;  // empty: no store file
    std::string why;
  } rows[] = {
      {"missing", "", ""},
      {"empty", std::string(), ""},
      {"cut", good.substr(0, good.size() / 2),
       "The store file " + path + " is cut short: it holds " +
           std::to_string(good.size() / 2) + " of its " +
           std::to_string(good.size()) + " bytes.\r\n"},
      {"not a store", "Just some text that is no store at all, long enough.",
       path + " is not a store file.\r\n"},
      {"newer version", version,
       "The store file " + path +
           " has format version 2; this program reads version 1.\r\n"},
      {"header flipped", flipped(30),
       "The store file " + path + " is damaged: checksum mismatch in its header.\r\n"},
      {"postings flipped", flipped(postings + 40),
       "The store file " + path +
           " is damaged: checksum mismatch in its postings section, page 1.\r\n"},
      {"foreign", foreign,
       "The store file " + path +
           " does not belong to the index file as it is now.\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove(store_path_);
    if (std::string_view(row.name) != "missing") dir_.Write("s_store.tavo", row.bytes);
    std::vector<std::string> shown = Load();
    ASSERT_TRUE(loaded_) << f_->Messages();
    ASSERT_FALSE(shown.empty());
    if (std::string_view(row.name) == "empty") {
      EXPECT_NE(shown[0], std::string(kCreating));  // a reason is given
    } else {
      EXPECT_EQ(shown[0], row.why + std::string(kCreating));
    }
    EXPECT_EQ(f_->Messages(), "");
    EXPECT_TRUE(StoreBytes() == good);
    EXPECT_EQ(Found("beta"), (std::vector<std::string>{"a.txt", "b.txt"}));
  }
}

// A rebuilt index file leaves the store beside it stale.
TEST_F(StoreLoadingTest, AStoreOfAnEarlierIndexIsMadeAgain) {
  Load();
  layout_.words.emplace_back("delta", std::vector<int>{0, 0, 9});
  index_path_ = WriteIndex(dir_, "s", layout_, false);
  std::vector<std::string> shown = Load();
  ASSERT_TRUE(loaded_);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown[0], "The store file " + store_path_ +
                          " does not belong to the index file as it is now.\r\n" +
                          std::string(kCreating));
  EXPECT_EQ(Found("delta"), (std::vector<std::string>{"c.txt"}));
}

// A folder that takes no store file: the store is made aside, the user told
// once, and the search answers all the same.
TEST_F(StoreLoadingTest, AStoreThatCannotBeWrittenIsKeptAsideAndToldOnce) {
  // A folder in the store's place: neither read nor replaced by a file.
  fs::create_directory(store_path_);
  f_ = std::make_unique<SearchFixture>(IndexStoreKind::kStore);
  f_->settings().txbTopFolder = dir_.folder() + "top/";
  f_->settings().chkGenerateHTML = false;
  for (int load = 0; load < 2; ++load) {
    ASSERT_TRUE(LoadIndexFile(index_path_, &f_->state().index,
                              f_->module.ports(), f_->state().results))
        << f_->Messages();
  }
  const std::string messages = f_->Messages();
  EXPECT_EQ(messages.find("[Search] The store file " + store_path_ +
                          " cannot be written:"),
            0u)
      << messages;
  EXPECT_NE(messages.find("\r\nThe search uses a temporary copy until the "
                          "program ends.\n"),
            std::string::npos);
  EXPECT_EQ(messages.find("[Search]", 1), std::string::npos);  // once
  EXPECT_EQ(Found("gamma"), (std::vector<std::string>{"b.txt"}));
  EXPECT_TRUE(fs::is_directory(store_path_));
}

}  // namespace
}  // namespace orvane::testing
