// orvane_bench_documents: reads every document of a folder tree through the
// document reader (the pool of orvane-reader workers the program uses), on
// one worker and on every processor, and prints documents read per second
// beside pdftotext run on the same PDFs one after another.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/reading/document_kind.h"
#include "engine/reading/reader_pool.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using orvane::DocumentKind;
using SteadyClock = std::chrono::steady_clock;

constexpr std::string_view kUsage =
    "Usage: orvane_bench_documents --folder DIR [--runs N] [--workers N]\n"
    "                              [--program PATH] [--pdftotext PATH]\n"
    "\n"
    "Finds the documents of DIR and all its subfolders by their first\n"
    "bytes, and reads them all N times (default 5) through the document\n"
    "reader: with one worker, and with --workers (default: one for each\n"
    "processor). Then runs pdftotext (default: the one on the PATH) on the\n"
    "PDFs one after another, N times, and reads the same PDFs with one\n"
    "worker and with all. Prints documents per second (median of the\n"
    "runs), megabytes of text, and the reasons of the documents that could\n"
    "not be read, and how soon a wait ends when the largest PDF is\n"
    "cancelled while it is read. --program names orvane-reader (default:\n"
    "the one beside this program). Build a folder with\n"
    "bench/make_document_tree.sh.\n";

struct Options {
  fs::path folder;
  int runs = 5;
  int workers = static_cast<int>(std::thread::hardware_concurrency());
  fs::path program = orvane::ReaderProgramPath();
  std::string pdftotext = "pdftotext";
};

struct Document {
  std::string path;
  DocumentKind kind;
};

double Seconds(SteadyClock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle]
                                : (values[middle - 1] + values[middle]) / 2;
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    std::string_view option = argv[i];
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (option == "--folder") {
      options->folder = value;
    } else if (option == "--runs") {
      options->runs = std::max(1, std::atoi(value));
    } else if (option == "--workers") {
      options->workers = std::max(1, std::atoi(value));
    } else if (option == "--program") {
      options->program = value;
    } else if (option == "--pdftotext") {
      options->pdftotext = value;
    } else {
      return false;
    }
  }
  return !options->folder.empty();
}

std::vector<Document> FindDocuments(const fs::path& folder) {
  std::vector<Document> documents;
  for (const fs::directory_entry& entry :
       fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.is_symlink()) continue;
    DocumentKind kind = orvane::RecognizeDocumentFile(entry.path());
    if (kind != DocumentKind::kNone) {
      documents.push_back(Document{entry.path().string(), kind});
    }
  }
  std::sort(
      documents.begin(), documents.end(),
      [](const Document& a, const Document& b) { return a.path < b.path; });
  return documents;
}

// What one pass over the documents gave.
struct Pass {
  double seconds = 0;
  std::uint64_t text_bytes = 0;
  std::map<std::string, int> reasons;  // reason, count
};

Pass ReadThrough(const Options& options, int workers,
                 const std::vector<Document>& documents) {
  orvane::ReaderPoolOptions pool_options;
  pool_options.program = options.program;
  pool_options.workers = workers;
  orvane::ReaderPool pool(pool_options);
  Pass pass;
  // Outcomes come back in the order queued: with few documents queued
  // ahead, one long PDF at the head leaves the other workers idle once they
  // have read the rest. 32 a worker keeps them busy past most such PDFs.
  const std::size_t ahead = static_cast<std::size_t>(workers) * 32;
  std::size_t queued = 0;
  SteadyClock::time_point start = SteadyClock::now();
  for (std::size_t done = 0; done < documents.size(); ++done) {
    while (queued < documents.size() && queued - done < ahead) {
      pool.Queue(documents[queued++].path);
    }
    std::optional<orvane::DocumentOutcome> outcome =
        pool.Next([] { return true; });
    if (!outcome) break;
    if (!outcome->ok()) {
      // The reason without its detail: "damaged", "encrypted" ...
      ++pass.reasons[outcome->reason.substr(0, outcome->reason.find(':'))];
      continue;
    }
    pass.text_bytes += outcome->text.bytes.size();
    for (const std::string& line : outcome->text.lines) {
      pass.text_bytes += line.size() + 1;
    }
  }
  pass.seconds = Seconds(SteadyClock::now() - start);
  return pass;
}

// Runs pdftotext on each PDF in turn, its text thrown away; the seconds.
double RunPdftotext(const Options& options, const std::vector<Document>& pdfs,
                    int* failed) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null",
                                   O_WRONLY, 0);
  SteadyClock::time_point start = SteadyClock::now();
  *failed = 0;
  for (const Document& pdf : pdfs) {
    std::vector<char*> argv = {const_cast<char*>(options.pdftotext.c_str()),
                               const_cast<char*>("-q"),
                               const_cast<char*>(pdf.path.c_str()),
                               const_cast<char*>("/dev/null"), nullptr};
    pid_t pid;
    if (posix_spawnp(&pid, options.pdftotext.c_str(), &actions, nullptr,
                     argv.data(), environ) != 0) {
      std::fprintf(stderr, "%s cannot be started\n", options.pdftotext.c_str());
      std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++*failed;
  }
  posix_spawn_file_actions_destroy(&actions);
  return Seconds(SteadyClock::now() - start);
}

// Reads the documents runs times with the given workers and prints a line.
void Measure(const Options& options, std::string_view what, int workers,
             const std::vector<Document>& documents, bool show_reasons) {
  std::vector<double> seconds;
  Pass last;
  for (int run = 0; run < options.runs; ++run) {
    last = ReadThrough(options, workers, documents);
    seconds.push_back(last.seconds);
  }
  double median = Median(seconds);
  std::printf(
      "  %-34s %2d worker%s %9.1f documents/s  (median %.2f s, "
      "min %.2f, max %.2f)\n",
      std::string(what).c_str(), workers, workers == 1 ? " " : "s",
      static_cast<double>(documents.size()) / median, median,
      *std::min_element(seconds.begin(), seconds.end()),
      *std::max_element(seconds.begin(), seconds.end()));
  if (!show_reasons) return;
  std::printf("  %-34s %.1f MB of text\n", "",
              static_cast<double>(last.text_bytes) / 1e6);
  for (const auto& [reason, count] : last.reasons) {
    std::printf("  %-34s not read: %d %s\n", "", count, reason.c_str());
  }
}

// Starts reading the largest PDF and cancels while it is read: how long
// Next takes to return after its caller said to stop, and how far apart its
// questions came. Pause and Cancel wait for no document.
void MeasureCancel(const Options& options, const std::vector<Document>& pdfs) {
  const Document* largest = &pdfs.front();
  for (const Document& pdf : pdfs) {
    if (fs::file_size(pdf.path) > fs::file_size(largest->path)) largest = &pdf;
  }
  std::vector<double> latencies;
  double widest_gap = 0;
  for (int run = 0; run < options.runs; ++run) {
    orvane::ReaderPoolOptions pool_options;
    pool_options.program = options.program;
    pool_options.workers = 1;
    orvane::ReaderPool pool(pool_options);
    pool.Queue(largest->path);
    SteadyClock::time_point started = SteadyClock::now();
    SteadyClock::time_point last = started;
    SteadyClock::time_point said_stop;
    std::optional<orvane::DocumentOutcome> outcome = pool.Next([&] {
      SteadyClock::time_point now = SteadyClock::now();
      widest_gap = std::max(widest_gap, Seconds(now - last));
      last = now;
      // Stop a quarter of a second in, while the document is being read.
      if (Seconds(now - started) < 0.25) return true;
      said_stop = now;
      return false;
    });
    // A document read in less than that gives no figure.
    if (outcome) continue;
    latencies.push_back(Seconds(SteadyClock::now() - said_stop));
  }
  if (latencies.empty()) return;
  std::printf("\nCancel while %s (%.1f MB) is read:\n",
              fs::path(largest->path).filename().c_str(),
              static_cast<double>(fs::file_size(largest->path)) / 1e6);
  std::printf(
      "  Next returned %.1f ms after the answer to stop (median; "
      "max %.1f ms); it asked every %.0f ms at most\n",
      Median(latencies) * 1000,
      *std::max_element(latencies.begin(), latencies.end()) * 1000,
      widest_gap * 1000);
}

}  // namespace

int main(int argc, char** argv) {
  // A run takes minutes: each figure shows as soon as it is known.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fputs(kUsage.data(), stderr);
    return 2;
  }
  std::vector<Document> documents = FindDocuments(options.folder);
  std::map<std::string, int> kinds;
  std::vector<Document> pdfs;
  for (const Document& document : documents) {
    ++kinds[std::string(orvane::DocumentKindName(document.kind))];
    if (document.kind == DocumentKind::kPdf) pdfs.push_back(document);
  }
  std::printf("%zu documents in %s:", documents.size(), options.folder.c_str());
  for (const auto& [kind, count] : kinds) {
    std::printf(" %d %s", count, kind.c_str());
  }
  std::printf("\n%u processors; medians of %d runs\n\n",
              std::thread::hardware_concurrency(), options.runs);
  if (documents.empty()) return 1;

  std::printf("Every document, through the document reader:\n");
  Measure(options, "orvane-reader", 1, documents, true);
  if (options.workers > 1) {
    Measure(options, "orvane-reader", options.workers, documents, false);
  }
  if (pdfs.empty()) return 0;

  std::printf("\nThe %zu PDFs only:\n", pdfs.size());
  std::vector<double> seconds;
  int failed = 0;
  for (int run = 0; run < options.runs; ++run) {
    seconds.push_back(RunPdftotext(options, pdfs, &failed));
  }
  double median = Median(seconds);
  std::printf(
      "  %-34s %2d process  %9.1f documents/s  (median %.2f s, "
      "min %.2f, max %.2f)%s\n",
      "pdftotext, one after another", 1,
      static_cast<double>(pdfs.size()) / median, median,
      *std::min_element(seconds.begin(), seconds.end()),
      *std::max_element(seconds.begin(), seconds.end()),
      failed > 0 ? (", " + std::to_string(failed) + " failed").c_str() : "");
  Measure(options, "orvane-reader", 1, pdfs, false);
  if (options.workers > 1) {
    Measure(options, "orvane-reader", options.workers, pdfs, false);
  }
  MeasureCancel(options, pdfs);
  return 0;
}
