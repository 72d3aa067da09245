#include "engine/index/word_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::TempDir;

// Counts the stretches handed on; answers false after stretch stop_at
// (1-based; 0: never).
class StretchCounter : public ExtractionObserver {
 public:
  bool AfterLine() override { return ++lines != stop_at; }
  int lines = 0;
  int stop_at = 0;
};

// "read", "vanished" or the failure's description.
std::string Told(const Result<WordExtractor::FileResult>& result) {
  if (!result.ok()) return result.status().message();
  return *result == WordExtractor::FileResult::kRead ? "read" : "vanished";
}

// Details whose title is the file's path, so that each file's own are
// seen to come with it.
FileDetails TitleOf(const std::string& path) {
  FileDetails details;
  details.known = true;
  details.title = path;
  return details;
}

// What the lexicon saw of one file.
struct FileSeen {
  std::string result;  // Told
  std::vector<int> counts;  // of words 1 to W, at the file's end
  std::string title;        // of its details, when asked for
  bool operator==(const FileSeen&) const = default;
};

std::vector<int> Counts(const Lexicon& lexicon) {
  std::vector<int> counts;
  for (std::int32_t n = 1; n <= lexicon.word_count(); ++n) {
    counts.push_back(lexicon.CountInFile(lexicon.word(n)));
  }
  return counts;
}

class WordReaderTest : public ::testing::Test {
 protected:
  WordReaderTest() { common_.SetWords({"and", "the"}); }

  // The files as one pass of word extraction on this thread.
  std::vector<FileSeen> Direct(const std::vector<WordReader::FileToRead>& files) {
    Lexicon lexicon;
    WordExtractor extractor(&common_, &lexicon);
    extractor.StartWordExtraction();
    std::vector<FileSeen> seen;
    for (const auto& file : files) {
      extractor.StartFile();
      StretchCounter counter;
      auto result =
          extractor.ExtractFileWords(file.path, file.split_at_lf, &counter);
      seen.push_back({Told(result), Counts(lexicon), TitleOf(file.path).title});
    }
    return seen;
  }

  // The same through the reader's threads, each file's details found there.
  std::vector<FileSeen> ReadAhead(const std::vector<WordReader::FileToRead>& files) {
    Lexicon lexicon;
    lexicon.StartPass();
    WordReader reader(&common_, true);
    reader.Start(files, TitleOf);
    std::vector<FileSeen> seen;
    for (std::size_t f = 0; f < files.size(); ++f) {
      lexicon.StartFile();
      StretchCounter counter;
      FileDetails details;
      auto result = reader.HandOnFile(&lexicon, &counter, &details);
      seen.push_back({Told(result), Counts(lexicon), details.title});
      pieces_.push_back(counter.lines);
    }
    reader.Stop();
    return seen;
  }

  CommonWords common_;
  TempDir dir_;
  std::vector<int> pieces_;  // stretches handed on per file, by ReadAhead
};

// Word numbers and counts as a single thread finds them, a word's
// occurrences gathered per stretch: counts past 255 within one stretch and
// across stretches stop at 255, a word first seen in a later stretch gets
// its number in order.
TEST_F(WordReaderTest, HandsOnWhatWordExtractionFinds) {
  std::string many_words;  // several pieces of words
  for (int i = 0; i < 40000; ++i) many_words += "w" + std::to_string(i % 20000) + " x\r\n";
  std::vector<WordReader::FileToRead> files = {
      {dir_.Write("a.txt", "The cat and the hat\r\nsat on THE mat\r\n"), false},
      {dir_.Write("b.txt", "lf only\nlines here\n\nthe end"), true},
      {dir_.Write("c.htm", "<p>Caf&eacute; <b\nclass=x>bold</b> M\xFC" "ller"), false},
      {dir_.Path("vanished.txt"), false},
      {dir_.Write("d.eml", "Subject: hi\r\nContent-Transfer-Encoding: base64\r\n"
                          "aGVsbG8=\r\nmore\r\n"), false},
      {dir_.Write("big.txt", many_words), false},
      // Line ends alone fill pieces too.
      {dir_.Write("empty.txt", std::string(200000, '\n') + "last word"), true},
      {dir_.Write("e.txt", "the cat again\r\n"), false},
  };
  std::vector<FileSeen> direct = Direct(files);
  std::vector<FileSeen> ahead = ReadAhead(files);
  ASSERT_EQ(ahead.size(), direct.size());
  for (std::size_t f = 0; f < files.size(); ++f) {
    EXPECT_TRUE(ahead[f] == direct[f]) << files[f].path << ": "
                                       << ahead[f].counts.size() << " words";
  }
  EXPECT_EQ(ahead[3].result, "vanished");
  // Many distinct words, and long runs of lines without any, both come in
  // several stretches (the caller answers Pause and Cancel in between).
  EXPECT_GT(pieces_[5], 1);
  EXPECT_GT(pieces_[6], 1);
}

TEST_F(WordReaderTest, AFileEndedEarlyLeavesTheNextOneWhole) {
  std::string lines;
  for (int i = 0; i < 30000; ++i) lines += "line " + std::to_string(i) + "\r\n";
  std::vector<WordReader::FileToRead> files;
  for (int i = 0; i < 50; ++i) {
    files.push_back({dir_.Write("f" + std::to_string(i) + ".txt", lines), false});
  }
  files[1].path = dir_.Write("short.txt", "short file\r\n");
  Lexicon lexicon;
  lexicon.StartPass();
  WordReader reader(&common_, true);
  reader.Start(files);
  StretchCounter stop;
  stop.stop_at = 1;  // the user stops in the middle of the first file
  lexicon.StartFile();
  EXPECT_EQ(Told(reader.HandOnFile(&lexicon, &stop)), "read");
  EXPECT_EQ(stop.lines, 1);
  // Should the caller go on, the next file comes whole, not the rest of the
  // first.
  StretchCounter counter;
  lexicon.StartFile();
  EXPECT_EQ(Told(reader.HandOnFile(&lexicon, &counter)), "read");
  EXPECT_EQ(counter.lines, 1);
  EXPECT_EQ(lexicon.CountInFile("short"), 1);
  EXPECT_EQ(lexicon.CountInFile("line"), 0);
  // Stopping with files still being read ahead ends the thread.
  reader.Stop();
}

TEST_F(WordReaderTest, AFailedFileIsToldInItsPlace) {
  std::vector<WordReader::FileToRead> files = {
      {dir_.Write("a.txt", "first file\r\n"), false},
      {dir_.Write("locked.txt", "cannot be read\r\n"), false},
      {dir_.Write("c.txt", "third file\r\n"), false},
  };
  ASSERT_EQ(chmod(files[1].path.c_str(), 0), 0);
  testing::AllowEveryone(dir_.path());
  int result = testing::RunUnprivileged([&] {
    Lexicon lexicon;
    lexicon.StartPass();
    WordReader reader(&common_, true);
    reader.Start(files);
    int code = 0;
    for (const char* expected : {"read", "Permission denied", "read"}) {
      StretchCounter counter;
      lexicon.StartFile();
      if (Told(reader.HandOnFile(&lexicon, &counter)) != expected) {
        return 1 + code;
      }
      ++code;
    }
    return lexicon.word_count() == 3 ? 0 : 20;  // first, file, third
  });
  if (result == -1000) GTEST_SKIP() << "cannot run as an unprivileged user";
  EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace orvane
