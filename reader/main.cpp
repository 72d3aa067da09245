// orvane-reader: the worker process that reads documents for the program.
// It reads requests (a path and a zero byte) on standard input and answers
// each with frames on standard output (engine/reading/reader_protocol.h),
// one document after another, until its input ends. The program starts it,
// limits its memory through --memory-limit (it sets RLIMIT_AS on itself
// before it reads anything) and ends it when a document takes too long.
//
// Built with ORVANE_READER_FAKES (the tests' build, orvane-reader-fakes),
// a document whose name begins with "fake-" makes it misbehave on purpose:
// fake-hang waits for ever, fake-crash dies of SIGSEGV, fake-hog takes
// memory until none is left, fake-hog-abort does the same through malloc
// and aborts as C libraries do, fake-garbage answers nonsense, fake-exit
// ends without an answer, fake-slow reads the document after 2 s.
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "engine/common/file_descriptor.h"
#include "engine/common/sanitizers.h"
#include "engine/documents/document_readers.h"
#include "engine/reading/document_kind.h"
#include "engine/reading/reader_protocol.h"

#ifdef ORVANE_READER_FAKES
#include <vector>
#endif

namespace orvane {
namespace {

// The exit status after a document that exhausted memory: the libraries'
// state is not to be trusted any more, and the program starts another
// worker.
constexpr int kExitAfterMemory = 3;
constexpr int kExitUsage = 2;

struct Options {
  std::uint64_t memory_limit = 0;  // 0: none
  std::uint64_t text_limit = ReaderLimits{}.text_bytes;
};

bool ParseNumber(const char* text, std::uint64_t* value) {
  char* end = nullptr;
  errno = 0;
  unsigned long long parsed = std::strtoull(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0') return false;
  *value = parsed;
  return true;
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    std::string_view option = argv[i];
    if (i + 1 >= argc) return false;
    if (option == "--memory-limit") {
      if (!ParseNumber(argv[++i], &options->memory_limit)) return false;
    } else if (option == "--text-limit") {
      if (!ParseNumber(argv[++i], &options->text_limit)) return false;
    } else {
      return false;
    }
  }
  return true;
}

#ifdef ORVANE_READER_FAKES
// Misbehaves as the document's name asks; returns false for a name that
// asks nothing.
bool Misbehave(const std::string& path, FrameWriter& writer) {
  std::string_view name = path;
  name.remove_prefix(name.rfind('/') + 1);
  if (name.rfind("fake-hang", 0) == 0) {
    while (true) pause();
  }
  if (name.rfind("fake-crash", 0) == 0) {
    // As a library's fault ends the worker, also where a sanitizer would
    // catch the signal and exit in its own way.
    std::signal(SIGSEGV, SIG_DFL);
    std::raise(SIGSEGV);
  }
  if (name.rfind("fake-hog-abort", 0) == 0) {
    while (void* block = std::malloc(std::size_t{16} << 20)) {
      std::memset(block, 1, std::size_t{16} << 20);
    }
    std::abort();
  }
  if (name.rfind("fake-hog", 0) == 0) {
    std::vector<std::vector<char>> blocks;
    while (true) blocks.emplace_back(std::size_t{16} << 20, '\1');
  }
  if (name.rfind("fake-garbage", 0) == 0) {
    static_cast<void>(WriteFully(STDOUT_FILENO, "garbage!", 8));
    writer.Done();
    return true;
  }
  if (name.rfind("fake-exit", 0) == 0) _exit(0);
  if (name.rfind("fake-slow", 0) == 0) {
    // Takes its time, then reads the document as it is.
    usleep(2000 * 1000);
  }
  return false;
}
#endif

// Reads one document and answers. Returns false when the worker is to end.
bool Answer(const std::string& path, FrameWriter& writer) {
  writer.Begin();
  try {
#ifdef ORVANE_READER_FAKES
    if (Misbehave(path, writer)) return true;
#endif
    DocumentKind kind = RecognizeDocumentFile(path);
    ReadResult problem = ReadDocument(path, kind, writer);
    if (!problem) return writer.Done();
    return writer.Failed(problem->failure, problem->detail);
  } catch (const std::bad_alloc&) {
    writer.Failed(WireFailure::kOutOfMemory, {});
    std::exit(kExitAfterMemory);
  }
}

int Serve(const Options& options) {
  FrameWriter writer(STDOUT_FILENO, options.text_limit);
  std::string pending;
  char block[4096];
  while (true) {
    std::size_t end;
    while ((end = pending.find('\0')) != std::string::npos) {
      std::string path = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (!Answer(path, writer)) return 0;
    }
    ssize_t got = read(STDIN_FILENO, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return 0;  // the program is done with this worker
    pending.append(block, static_cast<std::size_t>(got));
  }
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv) {
  orvane::Options options;
  if (!orvane::ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "Usage: orvane-reader [--memory-limit BYTES] "
                 "[--text-limit BYTES]\n"
                 "Reads documents for Orvane File Search; the program starts "
                 "it.\n");
    return orvane::kExitUsage;
  }
  // The worker ends with the program that started it, even when that one
  // was killed in the middle of a document.
  pid_t parent = getppid();
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) return 0;
    // A sanitizer's build reads without a memory limit (sanitizers.h).
#ifndef ORVANE_SANITIZER_RESERVES_MEMORY
  if (options.memory_limit != 0) {
    rlimit limit{options.memory_limit, options.memory_limit};
    setrlimit(RLIMIT_AS, &limit);
  }
#endif
  return orvane::Serve(options);
}
