// The files a search finds, told as progress events in the order it lists
// them, compared as whole sequences (the indexing run's events are tested
// with the Index Module).
#include "engine/common/run_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/search/search_run.h"
#include "tests/engine/search/index_fixture.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::SearchFixture;
using testing::TempDir;

class SearchProgressTest : public ::testing::TestWithParam<IndexStoreKind> {
 protected:
  void SetUp() override {
    const std::vector<std::string> files = {"a.txt", "b.txt", "c.txt"};
    dir_.Write("top/a.txt", "fox");
    dir_.Write("top/b.txt", "hen");
    dir_.Write("top/c.txt", "fox fox hen");
    SearchSettings& s = f_.settings();
    s.txbIndexFile =
        WriteIndex(dir_, "s", IndexOfTree(dir_, "top/", files), false);
    s.txbTopFolder = dir_.folder() + "top/";
  }
  void Search(const std::string& words, bool sort) {
    f_.settings().txbSearchWords = words;
    f_.settings().cboSearchType = SearchType::kAnyWord;
    f_.settings().chkSortMatches = sort;
    f_.progress.Clear();
    ASSERT_EQ(f_.module.Search(), SearchModule::SearchClick::kSearched)
        << f_.Messages();
  }

  TempDir dir_;
  SearchFixture f_{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(EveryStore, SearchProgressTest,
                         ::testing::ValuesIn(testing::kEveryStore),
                         testing::StoreName);

TEST_P(SearchProgressTest, FoundFilesAreToldInListingOrder) {
  struct Case {
    std::string words;
    bool sort;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {"fox", false, {"FileFound 1 a.txt", "FileFound 2 c.txt", "Found 2"}},
      {"hen", true, {"FileFound 1 b.txt", "FileFound 2 c.txt", "Found 2"}},
      {"fox", true, {"FileFound 1 c.txt", "FileFound 2 a.txt", "Found 2"}},
      {"owl", false, {"Found 0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words + (c.sort ? " sorted" : ""));
    Search(c.words, c.sort);
    EXPECT_EQ(f_.progress.events(), c.events);
    EXPECT_EQ(f_.view.Text("lblNumFilesFound"),
              FoundFilesLabel(false, f_.state().intNumFilesFound));
  }
}

}  // namespace
}  // namespace orvane
