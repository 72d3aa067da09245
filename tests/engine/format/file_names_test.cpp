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
  EXPECT_EQ(PartialFilePath("/idx/a_index.tavo"), "/idx/a_index.part.tavo");
  EXPECT_EQ(PartialFilePath("/idx/a_data.tavo"), "/idx/a_data.part.tavo");
  EXPECT_EQ(CompressionWorkPath("/idx/a_index.tavo"), "/idx/a_index.ttavoc");
  EXPECT_EQ(DataFileWorkPath("/idx/a_data.tavo"), "/idx/a_data.tavo.part");
}

}  // namespace
}  // namespace orvane
