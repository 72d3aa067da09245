#include "engine/search/index_loading.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <zstd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "engine/common/sanitizers.h"
#include "engine/search/classic_store_reader.h"
#include "engine/search/data_file.h"
#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

namespace fs = std::filesystem;

// The message of an index whose compressed text cannot be read, with what
// the loader found (once it was only the code, without a blank after its
// colon).
std::string DecompressionMessage(const std::string& found) {
  return "Error when reading the index file: -3\r\n"
         "Probably the index file is incomplete or corrupted.\r\n" +
         found + "\r\nTry using the index module to recreate the index file.";
}

class IndexLoadingTest : public ::testing::Test {
 protected:
  bool Load(const std::string& index_path) {
    return LoadIndexFile(index_path, &f_.state().index, f_.module.ports(),
                         f_.state().results);
  }
  // The classic pair's index text as loaded.
  const ClassicIndex& index() {
    return static_cast<const ClassicStoreReader&>(*f_.state().index.store)
        .index();
  }

  TempDir dir_;
  SearchFixture f_;
};

IndexLayout ThreeFiles() {
  IndexLayout layout;
  layout.files = {"a.txt", "sub/b c.txt", "z,1.txt"};
  layout.title = "Company manuals";
  layout.words = {{"beta", {0, 5, 0}}, {"alpha", {255, 0, 3}}};
  return layout;
}

TEST_F(IndexLoadingTest, ReadsFileListLexiconAndTitle) {
  IndexLayout layout = ThreeFiles();
  std::string path = WriteIndex(dir_, "manuals", layout, false);
  ASSERT_TRUE(Load(path)) << f_.Messages();
  EXPECT_EQ(index().intNumFiles, 3);
  EXPECT_EQ(index().strFileList, layout.files);
  ASSERT_EQ(index().lngNumWords, 2);
  EXPECT_EQ(index().Word(0), "alpha");
  EXPECT_EQ(index().lexicon[0].lngWordNumber, 2);
  EXPECT_EQ(index().Word(1), "beta");
  EXPECT_EQ(index().lexicon[1].lngWordNumber, 1);
  EXPECT_EQ(f_.view.Text("lblTitle[1]"), "Company manuals");
  EXPECT_EQ(f_.view.Text("lblSearchableWords"),
            "There are 2 searchable words in 3 files.");
  // The data file is built from the count lines: beta's row first.
  EXPECT_EQ(Visible(ReadFileBytes(dir_.Path("manuals_data.tavo"))),
            Visible(DataFileBytes(layout, IndexText(layout).size())));
  EXPECT_EQ(f_.results(), "");
  EXPECT_TRUE(f_.prompter.boxes().empty());
  EXPECT_FALSE(fs::exists(dir_.Path("manuals_data.tavo.part")));
}

// The lines the Index Module writes are read on a quick path; every other
// form of a line must still give what a reader of delimited records gives.
TEST_F(IndexLoadingTest, ReadsEveryFormOfFileListAndLexiconLine) {
  const std::string text =
      "\"plain.txt\"\r\n"
      " \"lead.txt\"\r\n"          // a blank before the quote
      "\"trail.txt\" \r\n"         // text after the closing quote
      "\"one\",\"two\"\r\n"        // two items on a line
      "bare.txt\r\n"               // not quoted
      "\"cut\"off.txt\"\r\n"        // a quote inside
      "\"\"\r\n"                   // an empty path
      "\"End of file list\"\r\n"
      "7,\"Forms\"\r\n"
      "1,\"alpha\"\r\n"
      "2, \"beta\"\r\n"            // a blank after the comma
      "0003,\"delta\"\r\n"         // leading zeros
      "4,\"ep\"silon\"\r\n"         // a quote inside the word
      " 5,\"eta\"\r\n"             // a blank before the number
      "6,\"iota\"x\r\n"            // text after the closing quote
      "000000007,\"kappa\"\r\n"    // nine digits
      "101,\"End of lexicon\"\r\n";
  std::string path = WriteCompressed(dir_, "forms_index.tavo", text);
  // No count lines: a current data file spares them.
  std::string data(8 * 7, '\0');
  for (int i = 0; i < 4; ++i) data.push_back(static_cast<char>(text.size() >> (8 * i)));
  dir_.Write("forms_data.tavo", data);
  ASSERT_TRUE(Load(path)) << f_.Messages();
  EXPECT_EQ(index().strFileList,
            (std::vector<std::string>{"plain.txt", "lead.txt", "trail.txt",
                                      "one", "two", "bare.txt", "cut", ""}));
  const std::vector<std::pair<std::string, int>> lexicon = {
      {"alpha", 1}, {"beta", 2},  {"delta", 3}, {"ep", 4},
      {"eta", 5},   {"iota", 6}, {"kappa", 7}};
  ASSERT_EQ(index().lexicon.size(), lexicon.size());
  for (std::size_t i = 0; i < lexicon.size(); ++i) {
    EXPECT_EQ(index().Word(i), lexicon[i].first);
    EXPECT_EQ(index().lexicon[i].lngWordNumber, lexicon[i].second);
  }

  // The longest path and word that the Index Module writes.
  std::string longest = WriteCompressed(
      dir_, "longest_index.tavo",
      "\"" + std::string(4095, 'p') +
          "\"\r\n\"End of file list\"\r\n1,\"t\"\r\n1,\"" +
          std::string(60, 'w') + "\"\r\n101,\"End of lexicon\"\r\n\"1\"\r\n");
  ASSERT_TRUE(Load(longest)) << f_.Messages();

  // Ten digits are read as the number they give, which is out of range.
  std::string wide = WriteCompressed(
      dir_, "wide_index.tavo",
      "\"a\"\r\n\"End of file list\"\r\n1,\"t\"\r\n0000000001,\"a\"\r\n"
      "101,\"End of lexicon\"\r\n\"1\"\r\n");
  ASSERT_TRUE(Load(wide)) << f_.Messages();
  std::string wrong = WriteCompressed(
      dir_, "wrong_index.tavo",
      "\"a\"\r\n\"End of file list\"\r\n1,\"t\"\r\n1000000001,\"a\"\r\n"
      "101,\"End of lexicon\"\r\n\"1\"\r\n");
  EXPECT_FALSE(Load(wrong));
  EXPECT_EQ(f_.view.Text("lblSearchableWords"),
            "Error when reading lexicon: The index file is damaged: the word "
            "number on line 4 is out of range.");
}

TEST_F(IndexLoadingTest, LabelCountsWithGroupingAndOneFile) {
  IndexLayout layout;
  layout.files = {"only.txt"};
  for (int i = 0; i < 1234; ++i) {
    layout.words.push_back({"w" + std::to_string(10000 + i), {1}});
  }
  ASSERT_TRUE(Load(WriteIndex(dir_, "one", layout, false)));
  EXPECT_EQ(f_.view.Text("lblSearchableWords"),
            "There are 1,234 searchable words in one file.");
}

TEST_F(IndexLoadingTest, EmptyLexiconKeepsTheReservedRow) {
  IndexLayout layout;
  layout.files = {"a.txt", "b.txt"};
  ASSERT_TRUE(Load(WriteIndex(dir_, "empty", layout, false)));
  EXPECT_EQ(f_.view.Text("lblSearchableWords"),
            "There are 0 searchable words in 2 files.");
  std::string text = IndexText(layout);
  EXPECT_EQ(Visible(ReadFileBytes(dir_.Path("empty_data.tavo"))),
            Visible(DataFileBytes(layout, text.size())));
}

TEST_F(IndexLoadingTest, RunsOfZerosExpandAcrossTheRow) {
  IndexLayout layout;
  layout.files = {"1", "2", "3", "4", "5"};
  layout.words = {{"x", {0, 0, 0, 5, 0}}};
  ASSERT_EQ(CountLine(layout.words[0].second), "\"-3,5,0\"");
  ASSERT_TRUE(Load(WriteIndex(dir_, "five", layout, false)));
  std::string bytes = ReadFileBytes(dir_.Path("five_data.tavo"));
  EXPECT_EQ(Visible(bytes.substr(0, 5)), Visible(std::string("\0\0\0\x05\0", 5)));
}

// A data file is reused only when it matches its index; every other one is
// replaced by the rows of the count lines.
TEST_F(IndexLoadingTest, ReusesOnlyAMatchingDataFile) {
  IndexLayout layout = ThreeFiles();
  const std::string text = IndexText(layout);
  const std::string good = DataFileBytes(layout, text.size());
  // Same size and trailer as the good file, other scores: reused as it is.
  std::string marked = good;
  marked[0] = 9;
  std::string wrong_trailer = good;
  wrong_trailer.back() ^= 1;
  struct Case {
    const char* name;
    std::string data;  // "" with present false: no data file
    bool present;
    bool older;
    std::string expected;
  } cases[] = {
      {"current", marked, true, false, marked},
      {"missing", "", false, false, good},
      {"empty", "", true, false, good},
      {"other index's trailer", wrong_trailer, true, false, good},
      {"one byte too long", marked + "x", true, false, good},
      {"older than the index", marked, true, true, good},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    SearchFixture f;
    std::string path = WriteCompressed(dir, "p_index.tavo", text);
    if (c.present) {
      std::string data = dir.Write("p_data.tavo", c.data);
      auto when = fs::last_write_time(path);
      fs::last_write_time(data, c.older ? when - std::chrono::hours(1)
                                        : when + std::chrono::seconds(1));
    }
    ASSERT_TRUE(LoadIndexFile(path, &f.state().index, f.module.ports(),
                              f.state().results))
        << f.Messages();
    EXPECT_EQ(Visible(ReadFileBytes(dir.Path("p_data.tavo"))),
              Visible(c.expected));
    EXPECT_FALSE(fs::exists(dir.Path("p_data.tavo.part")));
  }
}

// What a crash during a rebuild leaves: a partial file beside a missing
// data file, or a data file of the right size whose blocks never reached
// the disk (they read as zeros, the trailer with them). Both give way to
// the rows of the count lines.
TEST_F(IndexLoadingTest, ReplacesWhatAnInterruptedRebuildLeft) {
  IndexLayout layout = ThreeFiles();
  const std::string text = IndexText(layout);
  const std::string good = DataFileBytes(layout, text.size());
  std::string path = WriteCompressed(dir_, "p_index.tavo", text);
  dir_.Write("p_data.tavo.part", good.substr(0, 3));
  ASSERT_TRUE(Load(path)) << f_.Messages();
  EXPECT_EQ(Visible(ReadFileBytes(dir_.Path("p_data.tavo"))), Visible(good));
  EXPECT_FALSE(fs::exists(dir_.Path("p_data.tavo.part")));

  std::string data = dir_.Write("p_data.tavo", std::string(good.size(), '\0'));
  fs::last_write_time(data, fs::last_write_time(path) + std::chrono::seconds(1));
  ASSERT_TRUE(Load(path)) << f_.Messages();
  EXPECT_EQ(Visible(ReadFileBytes(dir_.Path("p_data.tavo"))), Visible(good));
}

// Rows of zeros are holes: a large, sparse matrix occupies a fraction of
// its size on disk and still reads back byte for byte.
TEST_F(IndexLoadingTest, RebuiltDataFileLeavesZeroRowsAsHoles) {
  IndexLayout layout;
  for (int i = 0; i < 20000; ++i) layout.files.push_back(std::to_string(i));
  for (int w = 0; w < 100; ++w) {
    std::vector<int> row(layout.files.size(), 0);
    row[0] = 255;
    layout.words.push_back({"w" + std::to_string(100 + w), row});
  }
  ASSERT_TRUE(Load(WriteIndex(dir_, "sparse", layout, false)));
  std::string data_path = dir_.Path("sparse_data.tavo");
  EXPECT_EQ(ReadFileBytes(data_path), DataFileBytes(layout, IndexText(layout).size()));
  struct stat st {};
  ASSERT_EQ(stat(data_path.c_str(), &st), 0);
  EXPECT_LT(st.st_blocks * 512, st.st_size / 2);
}

// An index whose compressed form records no plain length is read to its
// end to find it.
TEST_F(IndexLoadingTest, CountsTheLengthWhenTheFileRecordsNone) {
  IndexLayout layout = ThreeFiles();
  const std::string text = IndexText(layout);
  ZSTD_CCtx* cctx = ZSTD_createCCtx();
  std::string out(ZSTD_compressBound(text.size()) + 64, '\0');
  ZSTD_outBuffer o{out.data(), out.size(), 0};
  ZSTD_inBuffer in{text.data(), text.size(), 0};
  // Fed in two steps, the compressor does not know the length when it
  // writes the frame's header.
  ASSERT_FALSE(ZSTD_isError(ZSTD_compressStream2(cctx, &o, &in, ZSTD_e_continue)));
  ZSTD_inBuffer none{nullptr, 0, 0};
  ASSERT_EQ(ZSTD_compressStream2(cctx, &o, &none, ZSTD_e_end), 0u);
  ZSTD_freeCCtx(cctx);
  out.resize(o.pos);
  ASSERT_EQ(ZSTD_getFrameContentSize(out.data(), out.size()),
            ZSTD_CONTENTSIZE_UNKNOWN);
  std::string path = dir_.Write("s_index.tavo", out);
  ASSERT_TRUE(Load(path)) << f_.Messages();
  EXPECT_EQ(index().text_length, static_cast<std::int64_t>(text.size()));
  EXPECT_EQ(ReadFileBytes(dir_.Path("s_data.tavo")),
            DataFileBytes(layout, text.size()));
}

TEST_F(IndexLoadingTest, MissingIndexFileAndWrongName) {
  EXPECT_FALSE(Load(dir_.Path("none_index.tavo")));
  std::string other = dir_.Write("notes.tavo", "x");
  EXPECT_FALSE(Load(other));
  EXPECT_EQ(f_.Messages(),
            "[Search] The index file does not exist.\r\n"
            "Perhaps it has not yet been created by the index module.\n"
            "[Invalid input] Index file names must end in '_index.tavo'.\n");
}

// Damaged, truncated, empty and foreign index files: a clear message, the
// index not ready, no data file written.
TEST_F(IndexLoadingTest, DamagedIndexesGiveTheirMessage) {
  const std::string head = "\"a\"\r\n\"b\"\r\n\"End of file list\"\r\n";
  const std::string valid = IndexText(ThreeFiles());
  std::string compressed;
  {
    TempDir scratch;
    compressed = ReadFileBytes(WriteCompressed(scratch, "v_index.tavo", valid));
  }
  struct Case {
    const char* name;
    std::string text;  // compressed before writing, unless raw
    bool raw;
    std::string message;
  } cases[] = {
      {"not compressed", valid, true,
       DecompressionMessage("The file is not a compressed index text.")},
      {"empty file", "", true, DecompressionMessage("The file is empty.")},
      {"truncated", compressed.substr(0, compressed.size() - 12), true,
       DecompressionMessage("The index file is damaged: the compressed text "
                            "breaks off inside the file list.")},

      {"file list without end", "\"a\"\r\n\"b\"\r\n", false,
       "Error when reading file list: The index file is damaged: the index "
       "text ends inside the file list."},
      {"empty file list", "\"End of file list\"\r\n0,\"t\"\r\n", false,
       "Error when reading file list: The index file is damaged: the file "
       "list is empty."},
      {"no lexicon header", head, false,
       "Error when reading lexicon: The index file is damaged: the index "
       "text ends inside the lexicon header."},
      {"negative word count", head + "-5,\"t\"\r\n", false,
       "Error when reading lexicon: The index file is damaged: the lexicon "
       "header on line 4 gives no word count."},
      {"fewer words than the header",
       head + "3,\"t\"\r\n1,\"a\"\r\n2,\"b\"\r\n101,\"End of lexicon\"\r\n",
       false,
       "Error when reading lexicon: The index file is damaged: the lexicon "
       "ends after 2 of its 3 words."},
      {"more words than the header", head + "1,\"t\"\r\n1,\"a\"\r\n2,\"b\"\r\n",
       false,
       "Error when reading lexicon: The index file is damaged: the lexicon "
       "holds more words than its header gives (1)."},
      {"lexicon out of order",
       head + "2,\"t\"\r\n1,\"b\"\r\n2,\"a\"\r\n101,\"End of lexicon\"\r\n",
       false,
       "Error when reading lexicon: The index file is damaged: the lexicon "
       "is out of order on line 6."},
      {"word number twice",
       head + "2,\"t\"\r\n1,\"a\"\r\n1,\"b\"\r\n101,\"End of lexicon\"\r\n",
       false,
       "Error when reading lexicon: The index file is damaged: the word "
       "number 1 occurs twice in the lexicon."},
      {"word number out of range",
       head + "2,\"t\"\r\n3,\"a\"\r\n1,\"b\"\r\n101,\"End of lexicon\"\r\n",
       false,
       "Error when reading lexicon: The index file is damaged: the word "
       "number on line 5 is out of range."},
      {"too many scores",
       head + "1,\"t\"\r\n1,\"a\"\r\n101,\"End of lexicon\"\r\n\"1,2,3\"\r\n",
       false,
       "Error when creating data file: The index file is damaged: the count "
       "line of word number 1 holds more than 2 scores."},
      {"too few scores",
       head + "1,\"t\"\r\n1,\"a\"\r\n101,\"End of lexicon\"\r\n\"-1\"\r\n",
       false,
       "Error when creating data file: The index file is damaged: the count "
       "line of word number 1 holds fewer than 2 scores."},
      {"score above 255",
       head + "1,\"t\"\r\n1,\"a\"\r\n101,\"End of lexicon\"\r\n\"256,0\"\r\n",
       false,
       "Error when creating data file: The index file is damaged: the count "
       "line of word number 1 holds the score 256."},
      // Issue 13: a line longer than any index holds is damage, told before
      // the reader holds gigabytes of it.
      {"file list line too long",
       "\"" + std::string(IndexTextLines::kMaxLineLength, 'a'), false,
       "Error when reading file list: The index file is damaged: line 1 is "
       "longer than any line of an index."},
      {"count line too long",
       head + "1,\"t\"\r\n1,\"a\"\r\n101,\"End of lexicon\"\r\n\"" +
           std::string(IndexTextLines::kMaxLineLength, '1'),
       false,
       "Error when creating data file: The index file is damaged: line 7 is "
       "longer than any line of an index."},
      // Issue 13: a path or word longer than the Index Module writes would
      // let lines that compress to nothing fill the memory with copies.
      {"path longer than any", "\"" + std::string(4096, 'p') + "\"\r\n", false,
       "Error when reading file list: The index file is damaged: the path "
       "on line 1 is longer than any path."},
      {"word longer than 60",
       head + "1,\"t\"\r\n1,\"" + std::string(61, 'w') +
           "\"\r\n101,\"End of lexicon\"\r\n\"1,1\"\r\n",
       false,
       "Error when reading lexicon: The index file is damaged: the word on "
       "line 5 is longer than 60 characters."},
      {"count line missing",
       head + "2,\"t\"\r\n1,\"a\"\r\n2,\"b\"\r\n101,\"End of lexicon\"\r\n"
              "\"1,1\"\r\n",
       false,
       "Error when creating data file: The index file is damaged: the index "
       "text ends before the count line of word number 2."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    SearchFixture f;
    std::string path = c.raw ? dir.Write("d_index.tavo", c.text)
                             : WriteCompressed(dir, "d_index.tavo", c.text);
    // An index loaded before: its title and count do not stay on screen.
    f.view.SetText("lblTitle[1]", "Company manuals");
    f.view.SetText("lblSearchableWords", "There are 2 searchable words");
    EXPECT_FALSE(LoadIndexFile(path, &f.state().index, f.module.ports(),
                               f.state().results));
    EXPECT_EQ(f.view.Text("lblTitle[1]"), "");
    EXPECT_NE(f.view.Text("lblSearchableWords"),
              "There are 2 searchable words");
    ASSERT_EQ(f.prompter.boxes().size(), 1u);
    EXPECT_EQ(f.prompter.boxes()[0].text, c.message);
    EXPECT_FALSE(f.state().index.blnDataFileReady);
    EXPECT_EQ(f.state().index.store, nullptr);
    EXPECT_FALSE(fs::exists(dir.Path("d_data.tavo")));
    EXPECT_FALSE(fs::exists(dir.Path("d_data.tavo.part")));
  }
}

// Memory running out while an index is read is the allocation error, with
// the memory given back, not an abort. Run in a child process whose address
// space leaves 64 MiB free, over a file list of 128 MiB (32,768 paths of the
// longest length, in frames that all hold the same 16).
// AddressSanitizer and ThreadSanitizer reserve far more address space than
// that, so the test needs a build without them.
TEST_F(IndexLoadingTest, RunningOutOfMemoryIsAMessage) {
#ifdef ORVANE_SANITIZER_RESERVES_MEMORY
  GTEST_SKIP() << "needs a build without AddressSanitizer or ThreadSanitizer";
#endif
  std::string lines;
  for (int i = 0; i < 16; ++i) {
    lines += "\"" + std::string(4095, 'a') + "\"\r\n";
  }
  std::string frame(ZSTD_compressBound(lines.size()), '\0');
  frame.resize(ZSTD_compress(frame.data(), frame.size(), lines.data(),
                             lines.size(), 1));
  std::string compressed;
  for (int i = 0; i < 2048; ++i) compressed += frame;
  std::string path = dir_.Write("big_index.tavo", compressed);
  // In the child: bounds the address space, loads, and exits with 0 when
  // the load failed with the allocation error and gave its memory back.
  auto load_with_bounded_memory = [&] {
    long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr || std::fscanf(statm, "%ld", &pages) != 1) {
      std::_Exit(3);
    }
    std::fclose(statm);
    rlimit bound;
    bound.rlim_cur = static_cast<rlim_t>(pages) * 4096 + (rlim_t{64} << 20);
    bound.rlim_max = bound.rlim_cur;
    if (setrlimit(RLIMIT_AS, &bound) != 0) std::_Exit(4);
    bool loaded = Load(path);
    bool told = f_.Messages() ==
                "[Error] Allocation error when reading the index file.\n";
    std::_Exit(!loaded && told && f_.state().index.store == nullptr ? 0 : 1);
  };
  EXPECT_EXIT(load_with_bounded_memory(), ::testing::ExitedWithCode(0), "");
}

// A long file list cut in the middle of its compressed text: the message
// says how far the file list could be read.
TEST_F(IndexLoadingTest, ATruncatedIndexTellsWhereItBreaksOff) {
  IndexLayout many;
  for (int i = 0; i < 40000; ++i) {
    many.files.push_back("folder " + std::to_string(i % 97) + "/file " +
                         std::to_string(i * 7919 % 100003) + ".txt");
  }
  many.words = {{"w", std::vector<int>(many.files.size(), 1)}};
  const std::string whole =
      ReadFileBytes(WriteCompressed(dir_, "l_index.tavo", IndexText(many)));
  const std::string cut =
      dir_.Write("cut_index.tavo", whole.substr(0, whole.size() / 3));
  EXPECT_FALSE(Load(cut));
  ASSERT_EQ(f_.prompter.boxes().size(), 1u);
  const std::string& text = f_.prompter.boxes()[0].text;
  const std::string head = DecompressionMessage(
      "The index file is damaged: the compressed text breaks off inside the "
      "file list, after line ");
  ASSERT_EQ(text.substr(0, head.find("after line ") + 11),
            head.substr(0, head.find("after line ") + 11));
  const long line = std::atol(text.c_str() + head.find("after line ") + 11);
  EXPECT_GT(line, 0);
  EXPECT_LT(line, 40000);
}

// A data file that goes between the load and the search is told at the
// search, and built again by the next one.
TEST_F(IndexLoadingTest, ADataFileGoneAfterTheLoadIsBuiltAgain) {
  dir_.Write("top/a.txt", "alpha beta");
  IndexLayout layout = IndexOfTree(dir_, "top/", {"a.txt"});
  f_.settings().txbTopFolder = dir_.folder() + "top/";
  f_.settings().chkGenerateHTML = false;
  f_.settings().txbSearchWords = "beta";
  ASSERT_TRUE(f_.module.ChooseIndexFile(WriteIndex(dir_, "g", layout, false)))
      << f_.Messages();
  const std::string data = dir_.Path("g_data.tavo");
  fs::remove(data);
  using SearchClick = SearchModule::SearchClick;
  EXPECT_EQ(f_.module.Search(), SearchClick::kNotLoaded);
  EXPECT_EQ(f_.Messages(),
            "[Error] Error when reading the data file " + data +
                ".\r\nIt will be created again at the next search.\n");
  EXPECT_EQ(f_.module.Search(), SearchClick::kSearched)
      << f_.Messages();
  EXPECT_EQ(f_.state().intNumFilesFound, 1);
  EXPECT_TRUE(fs::exists(data));
}

TEST(DataFileTest, CountsTheBlocksANewFileOccupies) {
  TempDir dir;
  IndexLayout layout;
  for (int i = 0; i < 10000; ++i) layout.files.push_back(std::to_string(i));
  std::vector<int> row(10000, 0);
  row[0] = 1;            // block 0
  row[5000] = 1;         // block 1
  layout.words = {{"a", row}, {"b", std::vector<int>(10000, 0)}};
  // Rows end at 20000; the trailer lies in block 4.
  std::string path = WriteIndex(dir, "c", layout, false);
  ClassicIndex index;
  IndexTextLines lines;
  ASSERT_EQ(lines.Open(path), 0);
  ASSERT_TRUE(ReadFileList(lines, &index).ok());
  ASSERT_TRUE(ReadLexicon(lines, &index).ok());
  Result<std::int64_t> bytes = CountDataFileBytes(lines, index);
  ASSERT_TRUE(bytes.ok()) << bytes.status().message();
  EXPECT_EQ(*bytes, 3 * 4096);
}

}  // namespace
}  // namespace orvane::testing
