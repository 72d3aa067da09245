#include "engine/reading/reader_pool.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "engine/common/sanitizers.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using std::chrono::milliseconds;
using testing::TempDir;
using testing::TestDataFolder;

// The worker built with its misbehaviours: a document named fake-... makes
// it hang, crash, exhaust its memory, answer nonsense or end.
const char* const kFakesProgram = ORVANE_BINARY_DIR "/orvane-reader-fakes";

std::string Document(const char* name) {
  return (TestDataFolder() / "documents" / name).string();
}

ReaderPoolOptions Options(int workers, ReaderLimits limits = {}) {
  ReaderPoolOptions options;
  options.program = kFakesProgram;
  options.workers = workers;
  options.limits = limits;
  return options;
}

bool Always() { return true; }

// What a pool gives for each path, in order: the reason, or "read: " and
// the first and last lines.
std::vector<std::string> ReadAll(DocumentReader& reader,
                                 const std::vector<std::string>& paths) {
  for (const std::string& path : paths) reader.Queue(path);
  std::vector<std::string> seen;
  while (std::optional<DocumentOutcome> outcome = reader.Next(Always)) {
    if (!outcome->ok()) {
      seen.push_back(outcome->reason);
    } else if (!outcome->text.bytes.empty()) {
      seen.push_back("read: " + outcome->text.bytes);
    } else {
      const std::vector<std::string>& lines = outcome->text.lines;
      seen.push_back("read: " + (lines.empty() ? "" : lines.front()) + " | " +
                     (lines.empty() ? "" : lines.back()));
    }
  }
  EXPECT_EQ(seen.size(), paths.size());
  return seen;
}

TEST(ReaderPoolTest, ReadsEveryKindAndNamesWhatItCannot) {
  ReaderPool pool(Options(2));
  std::vector<std::string> seen =
      ReadAll(pool, {Document("notes.pdf"), Document("encrypted.pdf"),
                     Document("owner-only.pdf"), Document("cut.pdf"),
                     Document("notes.docx"), Document("cut.docx"),
                     Document("visits.xlsx"), Document("notes.odp"),
                     Document("notes.epub"), Document("compressed.txt.zst"),
                     Document("bomb.docx"), Document("make_documents.sh"),
                     Document("missing.pdf")});
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "read: Field Notes on Garden Visitors | The chameleon "
                      "stayed hidden.",
                      "encrypted",
                      // A password only its owner needs: read.
                      "read: Field Notes on Garden Visitors | The chameleon "
                      "stayed hidden.",
                      "damaged: Couldn't read xref table",
                      "read: Field Notes on Garden Visitors | The bumblebee "
                      "rested on the lavender, and the chameleon stayed "
                      "hidden.",
                      "damaged: its zip is damaged: Truncated ZIP file header",
                      "read: visits | bumblebee\t12\tlavender",
                      "read: Field Notes on Garden Visitors | The bumblebee "
                      "rested on the lavender, and the chameleon stayed "
                      "hidden.",
                      "read: Field Notes on Garden Visitors | The bumblebee "
                      "rested on the lavender, and the chameleon stayed "
                      "hidden.",
                      "read: Compressed notes\r\nThe aardvark came back.\r\n",
                      "too large: its parts unpack to more than 256 MiB "
                      "(word/document.xml)",
                      "not a document of a known kind",
                      "cannot be opened: No such file or directory",
                  }));
  // Nothing made a worker end.
  EXPECT_EQ(pool.workers_started(), 2);
}

TEST(ReaderPoolTest, ReusesItsWorkersForManyDocuments) {
  ReaderPool pool(Options(2));
  std::vector<std::string> paths(60, Document("notes.odt"));
  for (const std::string& outcome : ReadAll(pool, paths)) {
    EXPECT_EQ(outcome.rfind("read: ", 0), 0u) << outcome;
  }
  EXPECT_EQ(pool.workers_started(), 2);
  EXPECT_EQ(pool.worker_count(), 2);
}

const char* const kReadPdf =
    "read: Field Notes on Garden Visitors | The chameleon stayed hidden.";

TEST(ReaderPoolTest, EndsAWorkerThatMisbehavesAndGoesOn) {
  TempDir dir;
  auto fake = [&dir](const char* name) { return dir.Write(name, "fake"); };
  ReaderLimits limits;
  limits.time = milliseconds(500);
  ReaderPool pool(Options(1, limits));
  std::vector<std::string> seen =
      ReadAll(pool, {fake("fake-hang.pdf"), Document("notes.pdf"),
                     fake("fake-crash.pdf"), Document("notes.pdf"),
                     fake("fake-garbage.pdf"), Document("notes.pdf"),
                     fake("fake-exit.pdf"), Document("notes.pdf")});
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "took longer than 0.5 s",
                      kReadPdf,
                      "the reader stopped (signal 11)",
                      kReadPdf,
                      "the reader's answer was damaged: a frame is too long",
                      kReadPdf,
                      "the reader stopped (exit status 0)",
                      kReadPdf,
                  }));
  // One worker, and one more after each document that ended one.
  EXPECT_EQ(pool.workers_started(), 5);
}

TEST(ReaderPoolTest, EndsAWorkerThatRunsOutOfMemory) {
#ifdef ORVANE_SANITIZER_RESERVES_MEMORY
  GTEST_SKIP() << "needs a build without AddressSanitizer or ThreadSanitizer";
#endif
  TempDir dir;
  ReaderLimits limits;
  limits.memory_bytes = std::uint64_t{256} << 20;
  ReaderPool pool(Options(1, limits));
  std::vector<std::string> seen = ReadAll(
      pool, {dir.Write("fake-hog.pdf", ""), Document("notes.pdf"),
             dir.Write("fake-hog-abort.pdf", ""), Document("notes.pdf")});
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "needed more than 256 MiB", kReadPdf,
                      // Out of memory in C code: an abort near the limit.
                      "needed more than 256 MiB", kReadPdf}));
  EXPECT_EQ(pool.workers_started(), 3);
}

TEST(ReaderPoolTest, GivesOutcomesInTheOrderQueued) {
  TempDir dir;
  ReaderLimits limits;
  limits.time = milliseconds(300);
  ReaderPool pool(Options(3, limits));
  // The first document takes longest; the others finish before it and wait.
  std::vector<std::string> seen =
      ReadAll(pool, {dir.Write("fake-hang-1.pdf", ""), Document("notes.docx"),
                     Document("compressed.txt.gz"), Document("visits.ods")});
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0], "took longer than 0.3 s");
  EXPECT_EQ(seen[1].rfind("read: Field Notes", 0), 0u) << seen[1];
  EXPECT_EQ(seen[2].rfind("read: Compressed notes", 0), 0u) << seen[2];
  EXPECT_EQ(seen[3], "read: visits | bumblebee\t12\tlavender");
}

TEST(ReaderPoolTest, APauseTakesNothingOffTheTimeLimit) {
  TempDir dir;
  ReaderLimits limits;
  limits.time = milliseconds(400);
  ReaderPool pool(Options(1, limits));
  pool.Queue(dir.Write("fake-hang.pdf", ""));
  // Paused twice over (Pause calls nest) for longer than the limit: the
  // document's time runs again only after the last Resume.
  pool.Pause();
  pool.Pause();
  std::this_thread::sleep_for(milliseconds(500));
  pool.Resume();
  std::this_thread::sleep_for(milliseconds(500));
  const auto resumed = std::chrono::steady_clock::now();
  pool.Resume();
  pool.Resume();  // one too many: no harm
  std::optional<DocumentOutcome> outcome = pool.Next(Always);
  ASSERT_TRUE(outcome.has_value());
  EXPECT_EQ(outcome->reason, "took longer than 0.4 s");
  // Without the pause counted, the outcome would have been known at once.
  EXPECT_GE(std::chrono::steady_clock::now() - resumed, milliseconds(300));
}

TEST(ReaderPoolTest, CancelStopsTheWaitAndTheWorker) {
  TempDir dir;
  // Without Cancel, the hanging document would hold the wait for an hour.
  ReaderLimits limits;
  limits.time = std::chrono::hours(1);
  ReaderPool pool(Options(1, limits));
  pool.Queue(dir.Write("fake-hang.pdf", ""));
  pool.Queue(Document("notes.pdf"));
  int asked = 0;
  std::optional<DocumentOutcome> outcome =
      pool.Next([&asked] { return ++asked < 4; });
  EXPECT_FALSE(outcome.has_value());
  // Asked at every interval until it answered no.
  EXPECT_EQ(asked, 4);
  EXPECT_EQ(pool.pending(), 0u);
  EXPECT_FALSE(pool.Next(Always).has_value());
  // The pool goes on with a new worker.
  std::vector<std::string> seen = ReadAll(pool, {Document("notes.epub")});
  EXPECT_EQ(seen[0].rfind("read: Field Notes", 0), 0u) << seen[0];
  EXPECT_EQ(pool.workers_started(), 2);
}

TEST(ReaderPoolTest, TellsAWorkerThatCannotStart) {
  ReaderPoolOptions options = Options(1);
  options.program = "/nonexistent/orvane-reader";
  ReaderPool pool(options);
  std::vector<std::string> seen = ReadAll(pool, {Document("notes.pdf")});
  EXPECT_EQ(seen,
            (std::vector<std::string>{
                "the reader cannot be started: "
                "/nonexistent/orvane-reader: No such file or directory"}));
}

TEST(ReaderPoolTest, EndsBusyWorkersWhenDestroyed) {
  TempDir dir;
  ReaderLimits limits;
  limits.time = std::chrono::hours(1);
  auto pool = std::make_unique<ReaderPool>(Options(2, limits));
  pool->Queue(dir.Write("fake-hang-a.pdf", ""));
  pool->Queue(dir.Write("fake-hang-b.pdf", ""));
  // Returns once both workers have been ended, not after an hour.
  pool.reset();
  SUCCEED();
}

}  // namespace
}  // namespace orvane
