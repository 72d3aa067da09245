// Whether a found file changed since the index was made: by the size and
// time the store kept of it, or, when it kept none, by the index file's own
// time.
#include "engine/search/file_changes.h"

#include <gtest/gtest.h>

#include <optional>

namespace orvane {
namespace {

TEST(FileChangesTest, ChangedByKeptDetailsOrByTheIndexFilesTime) {
  IndexedFile with_details;
  with_details.has_details = true;
  with_details.size = 100;
  with_details.modified_ns = 5000;
  const IndexedFile path_only;  // the classic pair keeps paths only
  struct Case {
    const char* what;
    const IndexedFile& kept;
    std::optional<FileFacts> now;
    std::optional<std::int64_t> index_time;
    bool changed;
  };
  const Case cases[] = {
      {"same size and time", with_details, FileFacts{100, 5000}, 1, false},
      {"other size", with_details, FileFacts{101, 5000}, 1, true},
      {"earlier time", with_details, FileFacts{100, 4999}, 1, true},
      // Kept details decide, not the index file's time.
      {"details, newer than the index", with_details, FileFacts{100, 5000},
       4000, false},
      {"gone", with_details, std::nullopt, 1, true},
      {"no details, older than the index", path_only, FileFacts{7, 3000}, 4000,
       false},
      {"no details, as old as the index", path_only, FileFacts{7, 4000}, 4000,
       false},
      {"no details, newer than the index", path_only, FileFacts{7, 4001}, 4000,
       true},
      {"no details, index time unknown", path_only, FileFacts{7, 4001},
       std::nullopt, false},
      {"no details, gone", path_only, std::nullopt, 4000, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChangedSinceIndexed(c.kept, c.now, c.index_time), c.changed)
        << c.what;
  }
}

TEST(FileChangesTest, CountsAndNotesSpeakOfWhatChanged) {
  FoundFileChanges changes;
  EXPECT_EQ(ChangeCountsText(changes, false), "");
  EXPECT_EQ(ChangeNotes(changes), "");
  changes.num_changed = 3;
  changes.num_vanished = 2;
  changes.newer_folders = {"docs", "docs/old"};
  EXPECT_EQ(ChangeCountsText(changes, false),
            "; 3 of the files found changed after the index was made; 2 "
            "matching files no longer exist");
  EXPECT_EQ(ChangeCountsText(changes, true),
            "; it changed after the index was made");
  EXPECT_EQ(ChangeNotes(changes),
            "[changed] after a path: the file changed after the index was "
            "made; what is shown of it is what it holds now.\r\n"
            "2 matching files no longer exist and are not listed.\r\n"
            "Files new in the indexed folders are not searched, and 2 folders "
            "changed after the index was made (the folder docs among "
            "them).\r\n");
}

}  // namespace
}  // namespace orvane
