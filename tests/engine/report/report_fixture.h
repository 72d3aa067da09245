// A small tree, its index and a Search Module set up to make a report on
// completion of a search, for the report tests.
#pragma once

#include <string>
#include <vector>

#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {

// Letters only, so that no two fillers share a word.
inline std::string Filler(int i) {
  std::string s = "q";
  do {
    s.push_back(static_cast<char>('a' + i % 26));
    i /= 26;
  } while (i > 0);
  return s;
}

// count occurrences of "needle", each far enough from the next to get an
// extract of its own at the smallest extract size.
inline std::string Needles(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += "needle";
    for (int k = 0; k < 4; ++k) text += " " + Filler(4 * i + k + 700);
    text += " ";
  }
  return text;
}

// Run over every kind of store (instantiated in html_report_test.cpp).
class ReportTest : public ::testing::TestWithParam<IndexStoreKind> {
 protected:
  // Writes the files below top/ and indexes them.
  void Tree(const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : files) {
      dir_.Write("top/" + name, bytes);
      names.push_back(name);
    }
    SearchSettings& s = f_.settings();
    s.txbIndexFile = WriteIndex(dir_, "r", IndexOfTree(dir_, "top/", names), false);
    s.txbTopFolder = top();
    s.chkGenerateHTML = true;
    s.optHTMLReport = false;
    s.html_report_path = dir_.Path("report.htm");
    f_.module.ForgetIndex();
  }
  std::string top() const { return dir_.folder() + "top/"; }
  void Search(const std::string& words, SearchType type,
              const std::string& max = "") {
    f_.settings().txbSearchWords = words;
    f_.settings().cboSearchType = type;
    f_.settings().txbMaxNumExtracts = max;
    ASSERT_EQ(f_.module.Search(), SearchModule::SearchClick::kSearched)
        << f_.Messages();
  }

  TempDir dir_;
  SearchFixture f_{GetParam()};
};

}  // namespace orvane::testing
