// The notes of the top folder each index was made from, and what the
// Search Module does with them when an index is opened.
#include "engine/modules/index_folders.h"

#include <gtest/gtest.h>

#include <fstream>

#include "engine/files/folder.h"
#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

TEST(IndexFoldersTest, KeepsTheLatestNoteOfEachIndexFirst) {
  TempDir dir;
  const std::string notes = dir.Path("notes.txt");
  EXPECT_EQ(NotedTopFolder(notes, "/i/a_index.tavo"), "");  // no file yet
  EXPECT_EQ(LatestNotedIndex(notes), "");
  ASSERT_TRUE(NoteIndexFolder(notes, "/i/a_index.tavo", "/t/one/").ok());
  ASSERT_TRUE(NoteIndexFolder(notes, "/i/b_index.tavo", "/t/two/").ok());
  ASSERT_TRUE(NoteIndexFolder(notes, "/i/./a_index.tavo", "/t/three/").ok());
  EXPECT_EQ(NotedTopFolder(notes, "/i/a_index.tavo"), "/t/three/");
  EXPECT_EQ(NotedTopFolder(notes, "/i/x/../b_index.tavo"), "/t/two/");
  EXPECT_EQ(LatestNotedIndex(notes), "/i/a_index.tavo");
  // A path a record cannot hold is not noted; the notes stay as they were.
  ASSERT_TRUE(NoteIndexFolder(notes, "/i/q\"_index.tavo", "/t/").ok());
  EXPECT_EQ(LatestNotedIndex(notes), "/i/a_index.tavo");
  EXPECT_EQ(ReadFileBytes(notes),
            "\"/i/a_index.tavo\",\"/t/three/\"\r\n"
            "\"/i/b_index.tavo\",\"/t/two/\"\r\n");
}

TEST(IndexFoldersTest, PassesOverDamagedLinesAndKeepsAHundred) {
  TempDir dir;
  const std::string notes = dir.Path("notes.txt");
  {
    std::ofstream file(notes, std::ios::binary);
    file << "garbage\r\n\"/only/one\"\r\n\"/i/ok_index.tavo\",\"/t/\"\r\n";
  }
  EXPECT_EQ(NotedTopFolder(notes, "/i/ok_index.tavo"), "/t/");
  EXPECT_EQ(LatestNotedIndex(notes), "/i/ok_index.tavo");
  for (int i = 0; i < 150; ++i) {
    ASSERT_TRUE(NoteIndexFolder(notes, "/i/" + std::to_string(i) + "_index.tavo",
                                "/t/")
                    .ok());
  }
  EXPECT_EQ(LatestNotedIndex(notes), "/i/149_index.tavo");
  EXPECT_EQ(NotedTopFolder(notes, "/i/50_index.tavo"), "/t/");
  EXPECT_EQ(NotedTopFolder(notes, "/i/49_index.tavo"), "");  // the 101st
}

// Opening an index offers its top folder when the box is empty or holds
// the folder of the index opened before, never over a folder chosen since.
TEST(IndexFoldersTest, AnOpenedIndexOffersTheFolderItWasMadeFrom) {
  TempDir dir;
  dir.Write("one/a.txt", "alpha\r\n");
  dir.Write("two/b.txt", "beta\r\n");
  dir.Write("mine/c.txt", "gamma\r\n");
  const std::string one = dir.folder() + "one/";
  const std::string two = dir.folder() + "two/";
  const std::string index_one =
      WriteIndex(dir, "one", IndexOfTree(dir, "one/", {"a.txt"}), true);
  const std::string index_two =
      WriteIndex(dir, "two", IndexOfTree(dir, "two/", {"b.txt"}), true);
  ASSERT_TRUE(NoteIndexFolder(IndexFoldersPath(), index_one, one).ok());
  ASSERT_TRUE(NoteIndexFolder(IndexFoldersPath(), index_two, two).ok());

  SearchFixture f;
  ASSERT_TRUE(f.module.ChooseIndexFile(index_one));
  EXPECT_EQ(f.settings().txbTopFolder, one);
  ASSERT_TRUE(f.module.ChooseIndexFile(index_two));  // came with index one
  EXPECT_EQ(f.settings().txbTopFolder, two);
  f.module.ChooseTopFolder(dir.folder() + "mine/");
  ASSERT_TRUE(f.module.ChooseIndexFile(index_one));  // chosen: stays
  EXPECT_EQ(f.settings().txbTopFolder, dir.folder() + "mine/");
  // The index file dialog opens where the named index lies.
  EXPECT_EQ(f.window.IndexFileDialogFolder(), dir.folder());
}

}  // namespace
}  // namespace orvane::testing
