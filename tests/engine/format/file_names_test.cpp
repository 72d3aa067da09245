#include "engine/format/file_names.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(FileNamesTest, TheIndexFileLeadsToItsDataFile) {
  for (const char* project : {"p", "my notes", "a_index"}) {
    const std::string index = IndexFilePath("/out/", project);
    EXPECT_EQ(index, "/out/" + std::string(project) + "_index.tavo");
    EXPECT_EQ(DataFilePathFor(index), DataFilePath("/out/", project));
  }
  EXPECT_EQ(DataFilePathFor("/out/p.tavo"), "");
}

TEST(FileNamesTest, WorkNamesKeepTheExtensionThatExcludesThem) {
  EXPECT_EQ(PartialFilePath("/idx/a_index.tavo", "12-0c9e5d2a"),
            "/idx/a_index.12-0c9e5d2a.part.tavo");
  EXPECT_EQ(PartialFilePath("/idx/a_data.tavo", ""), "/idx/a_data.part.tavo");
  EXPECT_EQ(CompressionWorkPath("/idx/a_index.12-0c9e5d2a.part.tavo"),
            "/idx/a_index.12-0c9e5d2a.part.ttavoc");
  EXPECT_EQ(CompressionWorkPath("/idx/a_index.tavo"), "/idx/a_index.ttavoc");
  EXPECT_EQ(DataFileWorkPath("/idx/a_data.tavo"), "/idx/a_data.tavo.part");
}

// A run's files are told from everything else in the output folder by
// their names alone: another project's, the published ones, a user's.
TEST(FileNamesTest, TellsARunsFilesByTheirNames) {
  struct Row {
    const char* name;
    const char* what;  // nullptr: not a run's file of project "p"
    const char* tag;
  } rows[] = {
      {"p_index.12-0c9e5d2a.part.tavo", "index", "12-0c9e5d2a"},
      {"p_data.12-0c9e5d2a.part.tavo", "data", "12-0c9e5d2a"},
      {"p_run.7-ffffffff.part.tavo", "run", "7-ffffffff"},
      {"p_index.12-0c9e5d2a.part.ttavoc", "index", "12-0c9e5d2a"},
      {"p_index.tavo", nullptr, nullptr},
      {"p_index.part.tavo", nullptr, nullptr},       // an earlier version's
      {"pp_index.1-1.part.tavo", nullptr, nullptr},   // another project
      {"p_x_index.1-1.part.tavo", nullptr, nullptr},  // project "p_x"
      {"p_index.1-1.part.tavo.bak", nullptr, nullptr},
      {"p_index.my copy.part.tavo", nullptr, nullptr},
      {"p_.1-1.part.tavo", nullptr, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::optional<PartialFileName> name = ParsePartialFileName(row.name, "p");
    ASSERT_EQ(name.has_value(), row.what != nullptr);
    if (name) {
      EXPECT_EQ(name->what, row.what);
      EXPECT_EQ(name->tag, row.tag);
    }
  }
}

}  // namespace
}  // namespace orvane
