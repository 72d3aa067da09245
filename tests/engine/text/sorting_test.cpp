#include "engine/text/sorting.h"

#include <gtest/gtest.h>

#include "engine/common/cp1252.h"

namespace orvane {
namespace {

using List = std::vector<std::string>;

std::string C(std::string_view utf8) { return DisplayToContent(utf8).value(); }

TEST(SortingTest, SortsByCharacterCode) {
  List list = {"b", "a", "c"};
  SortAscending(list, 0, 2);
  EXPECT_EQ(list, (List{"a", "b", "c"}));
  list = {"b", "a", "c"};
  SortDescending(list, 0, 2);
  EXPECT_EQ(list, (List{"c", "b", "a"}));

  // Capitals before small letters, and bytes above 127 after both (é is
  // 233): the comparison is by unsigned byte.
  list = {C("élan"), "zebra", "Zebra", "apple", C("Élan")};
  SortAscending(list, 0, 4);
  EXPECT_EQ(list, (List{"Zebra", "apple", "zebra", C("Élan"), C("élan")}));
}

TEST(SortingTest, FoldedSortIgnoresCaseIncludingAccentedCapitals) {
  List list = {"cherry", "Banana", "apple"};
  SortAscendingFolded(list, 0, 2, true);
  EXPECT_EQ(list, (List{"apple", "Banana", "cherry"}));
  list = {"cherry", "Banana", "apple"};
  SortAscendingFolded(list, 0, 2, false);
  EXPECT_EQ(list, (List{"Banana", "apple", "cherry"}));

  // Élan folds to élan and so sorts beside it, before Ökonom (ö), though by
  // code É (201) < Ö (214) < é (233). The two equal keys end up in the
  // order that the partitioning and the reversal leave them in.
  list = {C("élan"), C("Ökonom"), C("Élan"), "apple"};
  SortAscendingFolded(list, 0, 3, true);
  EXPECT_EQ(list, (List{"apple", C("élan"), C("Élan"), C("Ökonom")}));
}

TEST(SortingTest, EqualKeysComeInTheQuicksortsOrder) {
  // All keys (from column 2) are "1". The partitioning swaps the ends
  // inwards and then each half, leaving c1 d1 a1 b1, which the reversal
  // turns into b1 a1 d1 c1. A stable sort would leave a1 b1 c1 d1.
  List list = {"a1", "b1", "c1", "d1"};
  SortDescending(list, 0, 3, 2);
  EXPECT_EQ(list, (List{"c1", "d1", "a1", "b1"}));
  list = {"a1", "b1", "c1", "d1"};
  SortAscending(list, 0, 3, 2);
  EXPECT_EQ(list, (List{"b1", "a1", "d1", "c1"}));

  list = {"a1x", "b2x", "c3x"};
  SortDescending(list, 0, 2, 3);
  EXPECT_EQ(list, (List{"c3x", "b2x", "a1x"}));
}

TEST(SortingTest, KeyColumnBeyondAnElementGivesAnEmptyKey) {
  List list = {"zz9", "a", "yy1"};
  SortAscending(list, 0, 2, 3);
  EXPECT_EQ(list, (List{"a", "yy1", "zz9"}));
}

TEST(SortingTest, TouchesOnlyTheRange) {
  List list = {"z", "c", "a", "b", "y"};
  SortAscending(list, 1, 3);
  EXPECT_EQ(list, (List{"z", "a", "b", "c", "y"}));

  list = {"z", "c", "a"};
  SortAscending(list, 1, 1);
  EXPECT_EQ(list, (List{"z", "c", "a"}));
  SortAscending(list, 2, 0);
  SortDescending(list, 2, 0);
  SortAscendingFolded(list, 2, 1, true);
  EXPECT_EQ(list, (List{"z", "c", "a"}));

  List empty;
  SortAscending(empty, 0, -1);
  EXPECT_TRUE(empty.empty());
}

TEST(SortingTest, RangePastTheListSortsWhatExists) {
  List list = {"b", "c", "a"};
  SortAscending(list, 0, 9);
  EXPECT_EQ(list, (List{"a", "b", "c"}));
  SortDescending(list, -3, 5);
  EXPECT_EQ(list, (List{"c", "b", "a"}));
  SortAscendingFolded(list, 0, 7, true);
  EXPECT_EQ(list, (List{"a", "b", "c"}));
}

}  // namespace
}  // namespace orvane
