#include "engine/index/file_judges.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

namespace orvane {
namespace {

// Some work, longer for some files than for others, so that the two
// threads finish out of order.
int SlowSquare(std::size_t i) {
  volatile std::size_t spin = 0;
  for (std::size_t k = 0; k < (i % 7) * 2000; ++k) spin = spin + k;
  return static_cast<int>(i * i);
}

TEST(FileJudgesTest, TakesTheVerdictsInOrderOnTheCallingThread) {
  FileJudges<int> judges;
  const std::thread::id caller = std::this_thread::get_id();
  for (std::size_t n : {0u, 3u, 15u, 16u, 1000u}) {
    std::vector<std::size_t> taken;
    bool on_caller = true;
    judges.Judge(n, SlowSquare, [&](int verdict, std::size_t i) {
      EXPECT_EQ(verdict, static_cast<int>(i * i));
      on_caller = on_caller && std::this_thread::get_id() == caller;
      taken.push_back(i);
      return true;
    });
    ASSERT_EQ(taken.size(), n);
    for (std::size_t i = 0; i < n; ++i) EXPECT_EQ(taken[i], i);
    EXPECT_TRUE(on_caller);
  }
}

TEST(FileJudgesTest, StopsTakingWhenToldAndServesTheNextFolder) {
  FileJudges<int> judges;
  std::size_t taken = 0;
  judges.Judge(500, SlowSquare, [&](int, std::size_t i) {
    ++taken;
    return i < 10;
  });
  EXPECT_EQ(taken, 11u);
  // The helper is free again for the next folder.
  taken = 0;
  judges.Judge(200, SlowSquare, [&](int, std::size_t) { return ++taken > 0; });
  EXPECT_EQ(taken, 200u);
}

TEST(FileJudgesTest, AFailureReachesTheCallerInItsTurn) {
  FileJudges<int> judges;
  std::size_t taken = 0;
  auto judge = [](std::size_t i) {
    if (i == 50) throw std::runtime_error("file 50");
    return SlowSquare(i);
  };
  try {
    judges.Judge(300, judge, [&](int, std::size_t) { return ++taken > 0; });
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "file 50");
  }
  EXPECT_EQ(taken, 50u);
  taken = 0;
  judges.Judge(40, SlowSquare, [&](int, std::size_t) { return ++taken > 0; });
  EXPECT_EQ(taken, 40u);
}

}  // namespace
}  // namespace orvane
