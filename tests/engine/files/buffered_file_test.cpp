#include "engine/files/buffered_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

TEST(BufferedFileTest, UnnamedFileReadsBackAndLeavesNothing) {
  testing::TempDir dir;
  const std::string beside = dir.Path("a_store.tavo");
  {
    BufferedFile file;
    ASSERT_TRUE(file.CreateUnnamed(beside).ok());
    file.Append("hello, ");
    file.Append(std::string(3 << 20, 'x'));  // past the buffer
    file.Append("world");
    ASSERT_TRUE(file.WriteAt(0, "J", 1).ok());
    char head[7];
    char tail[5];
    ASSERT_TRUE(file.ReadAt(0, head, sizeof head).ok());
    ASSERT_TRUE(file.ReadAt(file.appended() - 5, tail, sizeof tail).ok());
    EXPECT_EQ(std::string(head, sizeof head), "Jello, ");
    EXPECT_EQ(std::string(tail, sizeof tail), "world");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    // Reading past the end is a failure, named after the work file.
    Status past = file.ReadAt(file.appended() - 2, tail, sizeof tail);
    EXPECT_EQ(past.message(), "Error when reading a work file beside " + beside +
                                  ": Input/output error");
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace orvane
