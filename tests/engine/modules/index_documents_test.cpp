// Documents in an indexing run: read through the document reader (the
// worker built with its misbehaviours, which reads real documents as the
// program's does), their words in the index as a text file's, the ones
// that cannot be read named with their reasons, and an index made with
// documents left out exactly as one made without them.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/common/program_texts.h"
#include "engine/modules/index_module.h"
#include "engine/reading/reader_pool.h"
#include "engine/text/compression.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::FakeClock;
using testing::FakeLargeDisplay;
using testing::ReadFileBytes;
using testing::RecordingPrompter;
using testing::RecordingViewState;
using testing::TempDir;
using testing::TestDataFolder;

// Calls an action at every yield: the window system's part in a run.
class ActingYield : public Yield {
 public:
  void ProcessPendingEvents() override {
    if (action) action();
  }
  std::function<void()> action;
};

class IndexDocumentsTest : public ::testing::Test {
 protected:
  IndexDocumentsTest() {
    ReaderPoolOptions options;
    options.program = ORVANE_BINARY_DIR "/orvane-reader-fakes";
    options.workers = 2;
    pool_ = std::make_unique<ReaderPool>(options);
    module_ = std::make_unique<IndexModule>(
        IndexPorts{prompter_, view_, yield_, display_, clock_, launcher_});
    module_->set_document_reader(pool_.get());
    module_->common_words().SetWords({"the"});
    IndexSettings& s = module_->settings();
    s.txbProjectName = "p";
    s.txbTitle = "Garden";
    s.txbTopFolder = top_.folder();
    s.txbOutputFolder = out_.folder();
    s.txbMinimumFilesize = "0";
    s.chkExcludeSpecialLetters = false;
  }

  // Copies a document of the test data into the top folder as name.
  void AddDocument(const std::string& document, const std::string& name) {
    std::filesystem::copy_file(TestDataFolder() / "documents" / document,
                               top_.Path(name));
  }

  std::string IndexText(const std::string& folder) {
    std::string plain = folder + "plain.txt";
    if (squeez::_dcf(folder + "p_index.tavo", plain, false) < 0) {
      return "(not a compressed index)";
    }
    std::string text = ReadFileBytes(plain);
    std::filesystem::remove(plain);
    return text;
  }

  TempDir top_;
  TempDir out_;
  RecordingPrompter prompter_;
  RecordingViewState view_;
  ActingYield yield_;
  FakeLargeDisplay display_;
  FakeClock clock_;
  LauncherState launcher_;
  std::unique_ptr<ReaderPool> pool_;
  std::unique_ptr<IndexModule> module_;
};

// Each format alone: the file is indexed, and its words are the words of
// its text (a decoded "café" among them), not of its bytes.
TEST_F(IndexDocumentsTest, IndexesTheWordsOfEachFormat) {
  const struct {
    const char* document;
    std::vector<const char*> words;
  } cases[] = {
      {"notes.pdf", {"aardvark", "chameleon"}},
      {"notes.docx", {"bumblebee", "caf\xE9"}},
      {"notes.odt", {"lavender", "caf\xE9"}},
      {"notes.epub", {"chameleon", "curious"}},
      {"notes.pptx", {"bumblebee"}},
      {"notes.odp", {"chameleon"}},
      {"visits.xlsx", {"bumblebee", "12"}},
      {"visits.ods", {"lavender"}},
      {"compressed.txt.gz", {"compressed", "aardvark"}},
      {"compressed.txt.zst", {"came", "back"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.document);
    for (const TempDir* dir : {&top_, &out_}) {
      std::filesystem::remove_all(dir->folder());
      std::filesystem::create_directories(dir->folder());
    }
    AddDocument(c.document, c.document);
    ASSERT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted)
        << prompter_.Transcript();
    EXPECT_EQ(module_->state().file_list,
              std::vector<std::string>{c.document});
    EXPECT_EQ(view_.Text("lblTotalNumFiles"),
              GetProgramText(45) + ": 1 (one document)");
    const std::string index = IndexText(out_.folder());
    for (const char* word : c.words) {
      EXPECT_NE(index.find(",\"" + std::string(word) + "\"\r\n"),
                std::string::npos)
          << word;
    }
    // Words of the container's bytes and markup never come in.
    EXPECT_EQ(index.find(",\"xml\"\r\n"), std::string::npos);
    EXPECT_TRUE(prompter_.boxes().empty()) << prompter_.Transcript();
  }
}

TEST_F(IndexDocumentsTest, NamesTheDocumentsItCannotReadAndGoesOn) {
  top_.Write("a.txt", "The otter swam in the pond.\r\n");
  AddDocument("encrypted.pdf", "b-encrypted.pdf");
  AddDocument("cut.pdf", "c-cut.pdf");
  AddDocument("notes.pdf", "fake-crash.pdf");  // the worker dies on it
  AddDocument("notes.pdf", "z-notes.pdf");
  AddDocument("bomb.docx", "bomb.docx");
  ASSERT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted)
      << prompter_.Transcript();
  // Every one is listed, the unread ones without a word.
  EXPECT_EQ(module_->state().file_list,
            (std::vector<std::string>{"a.txt", "b-encrypted.pdf", "bomb.docx",
                                      "c-cut.pdf", "fake-crash.pdf",
                                      "z-notes.pdf"}));
  EXPECT_EQ(view_.Text("lblTotalNumFiles"),
            GetProgramText(45) + ": 6 (5 documents)");
  ASSERT_EQ(prompter_.boxes().size(), 1u) << prompter_.Transcript();
  const std::string top = top_.folder();
  EXPECT_EQ(prompter_.boxes()[0].text,
            "4 documents were not read; the index lists it without any "
            "word.\r\n" +
                top + "b-encrypted.pdf (encrypted)\r\n" + top +
                "bomb.docx (too large: its parts unpack to more than 256 MiB "
                "(word/document.xml))\r\n" +
                top + "c-cut.pdf (damaged: Couldn't read xref table)\r\n" +
                top + "fake-crash.pdf (the reader stopped (signal 11))");
  EXPECT_EQ(module_->state().left_out.size(), 4u);
  const std::string index = IndexText(out_.folder());
  EXPECT_NE(index.find(",\"otter\"\r\n"), std::string::npos);
  EXPECT_NE(index.find(",\"chameleon\"\r\n"), std::string::npos);
}

// With documents left out, a tree that holds documents gives the very
// index of the same tree without them.
TEST_F(IndexDocumentsTest, LeftOutDocumentsChangeNoByteOfTheIndex) {
  top_.Write("a.txt", "The otter swam in the pond.\r\n");
  top_.Write("b.htm", "<html><title>Pond</title><body>Frogs</body></html>\n");
  ASSERT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted);
  const std::string index = ReadFileBytes(out_.Path("p_index.tavo"));
  const std::string data = ReadFileBytes(out_.Path("p_data.tavo"));

  for (const char* document : {"notes.pdf", "notes.docx", "notes.epub",
                               "visits.ods", "compressed.txt.gz"}) {
    AddDocument(document, document);
  }
  TempDir other_out;
  module_->settings().chkReadDocuments = false;
  module_->settings().txbOutputFolder = other_out.folder();
  ASSERT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted);
  EXPECT_EQ(module_->state().file_list,
            (std::vector<std::string>{"a.txt", "b.htm"}));
  EXPECT_EQ(view_.Text("lblTotalNumFiles"), GetProgramText(45) + ": 2");
  EXPECT_EQ(ReadFileBytes(other_out.Path("p_index.tavo")), index);
  EXPECT_EQ(ReadFileBytes(other_out.Path("p_data.tavo")), data);
}

// Cancel while a worker reads a document that never ends: the run stops
// at once, long before the document's time limit of 30 s.
TEST_F(IndexDocumentsTest, CancelStopsTheWaitForADocument) {
  top_.Write("a.txt", "The otter swam in the pond.\r\n");
  AddDocument("notes.pdf", "fake-hang.pdf");
  int waits = 0;
  yield_.action = [&] {
    if (view_.Text("lblCurrentFile").find("fake-hang") == std::string::npos) {
      return;
    }
    if (++waits == 5) module_->state().stop_flag = true;
  };
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kStopped);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(view_.Text("lblCurrentFile").rfind("Data extraction stopped.", 0),
            0u);
  EXPECT_TRUE(out_.Names().empty());

  // The reader serves the next run.
  yield_.action = nullptr;
  std::filesystem::remove(top_.Path("fake-hang.pdf"));
  AddDocument("notes.pdf", "notes.pdf");
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted)
      << prompter_.Transcript();
}

// A pause while a document is read that takes 2 s, longer than its limit
// of 1.5 s, but less than the limit and the pause together: read all the
// same, as the time the run stood paused does not count. (The margins
// leave a loaded machine 1.5 s to open the pause box.)
TEST_F(IndexDocumentsTest, APauseDoesNotMakeADocumentTooSlow) {
  ReaderPoolOptions options;
  options.program = ORVANE_BINARY_DIR "/orvane-reader-fakes";
  options.workers = 1;
  options.limits.time = std::chrono::milliseconds(1500);
  pool_ = std::make_unique<ReaderPool>(options);
  module_->set_document_reader(pool_.get());
  AddDocument("notes.pdf", "fake-slow.pdf");
  bool paused = false;
  yield_.action = [&] {
    if (paused ||
        view_.Text("lblCurrentFile").find("fake-slow") == std::string::npos) {
      return;
    }
    paused = true;
    prompter_.OnNextBox(
        [] { std::this_thread::sleep_for(std::chrono::milliseconds(2500)); });
    prompter_.QueueAnswer(Answer::kOk);
    module_->PauseRun();
  };
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted)
      << prompter_.Transcript();
  EXPECT_TRUE(paused);
  EXPECT_EQ(prompter_.Transcript().find("not read"), std::string::npos)
      << prompter_.Transcript();
  EXPECT_NE(IndexText(out_.folder()).find("chameleon"), std::string::npos);
}

}  // namespace
}  // namespace orvane
