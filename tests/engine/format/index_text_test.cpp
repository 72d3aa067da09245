// The index and data files as a whole: what the indexing run's writer
// writes, the Search Module's reader reads back unchanged.
#include "engine/format/index_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/format/count_line.h"
#include "engine/format/data_file_trailer.h"
#include "engine/format/file_names.h"
#include "engine/index/classic_store_writer.h"
#include "engine/index/lexicon.h"
#include "engine/search/data_file.h"
#include "engine/search/index_loading.h"
#include "engine/search/index_text_lines.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

TEST(IndexTextTest, TheReaderReadsBackWhatTheWriterWrites) {
  TempDir dir;
  const std::vector<std::string> paths = {"a.txt", "sub/b b.htm", "c.txt",
                                          "d.eml"};
  const std::vector<std::vector<std::string>> words = {
      {"cat", "dog", "cat"}, {"emu"}, {}, {"dog", "yak", "yak", "yak"}};
  const std::string index_path = IndexFilePath(dir.folder(), "p");
  const std::string data_path = DataFilePath(dir.folder(), "p");

  Lexicon lexicon;
  lexicon.StartPass();
  std::uint64_t text_length = 0;
  {
    ClassicStoreWriter writer(index_path, data_path);
    ASSERT_TRUE(writer.Begin(4).ok());
    for (std::size_t f = 0; f < paths.size(); ++f) {
      lexicon.StartFile();
      IndexedFile file;
      file.relative_path = paths[f];
      writer.AddFile(file);
      for (const std::string& word : words[f]) lexicon.AddWordToLexicon(word);
      if (lexicon.largest_count() > 0) lexicon.WriteFileScores(writer);
    }
    ASSERT_TRUE(writer.WriteLexicon("Animals", lexicon).ok());
    ASSERT_TRUE(writer.FinishWriting().ok());
    ASSERT_TRUE(writer.CompressIndexFile().ok());
    ASSERT_TRUE(writer.Commit().ok());
    text_length = writer.index_text_length();
  }

  // The file list, the lexicon header and the words in ascending order.
  ClassicIndex index;
  EXPECT_EQ(DataFilePathFor(index_path), data_path);
  index.text_length = static_cast<std::int64_t>(text_length);
  IndexTextLines lines;
  ASSERT_EQ(lines.Open(index_path), 0);
  ASSERT_TRUE(ReadFileList(lines, &index).ok());
  EXPECT_EQ(index.strFileList, paths);
  EXPECT_EQ(index.intNumFiles, 4);
  ASSERT_TRUE(ReadLexicon(lines, &index).ok());
  EXPECT_EQ(index.title, "Animals");
  ASSERT_EQ(index.lngNumWords, 4);
  std::vector<std::string> read_words;
  for (std::size_t i = 0; i < index.lexicon.size(); ++i) {
    read_words.emplace_back(index.Word(i));
  }
  EXPECT_EQ(read_words, (std::vector<std::string>{"cat", "dog", "emu", "yak"}));
  const std::int64_t count_lines_at = lines.offset();

  // Each count line expands to the row of the data file, which ends in
  // the trailer recording the text's length.
  const std::string data = ReadFileBytes(data_path);
  ASSERT_EQ(data.size(), 4u * 4u + kTrailerSize);
  for (std::int32_t r = 1; r <= index.lngNumWords; ++r) {
    std::string_view line;
    ASSERT_TRUE(lines.Next(&line));
    std::string row(4, '\0');
    EXPECT_EQ(WalkCountLine(line, 4, r,
                            [&](std::uint32_t p, std::uint8_t score) {
                              row[p] = static_cast<char>(score);
                            }),
              "");
    EXPECT_EQ(row, data.substr(static_cast<std::size_t>(r - 1) * 4, 4)) << r;
  }
  std::string_view end;
  EXPECT_FALSE(lines.Next(&end));
  EXPECT_EQ(
      DecodeTrailer(reinterpret_cast<const std::uint8_t*>(data.data()) + 16),
      static_cast<std::int32_t>(text_length));
  EXPECT_EQ(CheckDataFile(data_path, index_path, index.DataFileRows(), 4,
                          index.text_length),
            DataFileState::kCurrent);

  // The data file rebuilt from the count lines is the one written.
  std::filesystem::remove(data_path);
  IndexTextLines again;
  ASSERT_EQ(again.Open(index_path), 0);
  ASSERT_TRUE(again.SkipTo(count_lines_at));
  EXPECT_TRUE(CreateDataFile(again, index, data_path).ok());
  EXPECT_EQ(ReadFileBytes(data_path), data);
}

}  // namespace
}  // namespace orvane
