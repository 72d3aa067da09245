// The progress line of `orvane index`, drawn from the run's events.
#include "cli/index_progress.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace orvane {
namespace {

TEST(IndexProgressLineTest, EachPhaseOfTheRunHasItsLine) {
  struct Case {
    const char* what;
    std::function<void(IndexProgressLine&)> events;
    std::string line;
  };
  const Case cases[] = {
      {"nothing told yet", [](IndexProgressLine&) {}, ""},
      {"counting", [](IndexProgressLine& p) { p.Counting(1234); },
       "Counting files to be indexed ... 1,234  1:05"},
      {"counted, nothing read",
       [](IndexProgressLine& p) { p.Counted(20417, 1e6); },
       "Indexing: 0 of 20,417 files (0%), 1:05"},
      // The file started is not done yet.
      {"reading",
       [](IndexProgressLine& p) {
         p.Counted(200, 1e6);
         p.FileStarted(51, 200, "/t/a.txt");
       },
       "Indexing: 50 of 200 files (25%), 1:05"},
      {"reading with words",
       [](IndexProgressLine& p) {
         p.Counted(200, 1e6);
         p.FileStarted(200, 200, "/t/z.txt");
         p.Words(106396);
       },
       "Indexing: 199 of 200 files (99%), 106,396 different words, 1:05"},
      {"writing",
       [](IndexProgressLine& p) {
         p.FileStarted(2, 2, "/t/b.txt");
         p.Writing(7);
       },
       "Writing the index file: 7 different words, 1:05"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    IndexProgressLine progress(nullptr, false);
    c.events(progress);
    EXPECT_EQ(progress.Line(65), c.line);
    EXPECT_EQ(progress.closing(), "");
  }
  IndexProgressLine progress(nullptr, false);
  progress.Finished("Data extraction stopped.  Time = 1.0 seconds.");
  EXPECT_EQ(progress.closing(), "Data extraction stopped.  Time = 1.0 seconds.");
}

}  // namespace
}  // namespace orvane
