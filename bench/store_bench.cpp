// orvane_bench_store: writes store files of synthetic indexes (files of
// about 1 KB whose words follow a Zipf distribution) and prints what the
// store costs: writing (time, throughput, peak memory), size (bytes a
// posting), and the reads a search makes, each from a fresh open: a rare
// word, a stem, a word in about 500 files with the titles of its files,
// two words whose lists are intersected, and a whole process that opens a
// store and prints a rare word's files, beside the same program's start.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/index/lexicon.h"
#include "engine/store/store_reader.h"
#include "engine/store/store_writer.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using orvane::LexiconCursor;
using orvane::PostingsIterator;
using orvane::StoreReader;

constexpr std::string_view kUsage =
    "Usage: orvane_bench_store [--files N]... [--work DIR] [--runs N]\n"
    "                          [--words-per-file N] [--budget MB]\n"
    "\n"
    "For each --files N (default: 20000 and 1000000) writes the store of N\n"
    "files of --words-per-file words (default 160, about 1 KB) drawn from a\n"
    "Zipf distribution over a vocabulary that grows with N, into --work\n"
    "(default: a new temporary folder, removed afterwards), with a memory\n"
    "budget of --budget MB for the postings (default 256). Prints the\n"
    "writing's time, throughput and peak memory, the store's size, and the\n"
    "median time of --runs (default 21) fresh opens with each kind of read,\n"
    "and of whole processes that open the store and print a rare word's\n"
    "files, beside whole processes that only start.\n";

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The process's peak resident memory (VmHWM), in MB, since the last reset.
double PeakMb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  }
  return 0;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The word of rank r (0 the most frequent): syllables of r + 1 in base
// 20, so that words share beginnings as real ones do.
std::string WordOfRank(std::uint32_t r) {
  static const char* const kSyllables[20] = {"ba", "ce", "di", "fo", "gu", "ha", "je",
                                             "ki", "lo", "mu", "na", "pe", "ri", "so",
                                             "tu", "va", "we", "xi", "yo", "zu"};
  std::string word;
  for (std::uint32_t n = r + 1; n > 0; n /= 20) word += kSyllables[n % 20];
  return word;
}

// Draws ranks 0..n-1 with probability proportional to 1 / (rank + 1):
// Walker's alias method, one draw in constant time.
class ZipfDraw {
 public:
  explicit ZipfDraw(std::uint32_t n) : probability_(n), alias_(n) {
    std::vector<double> p(n);
    double sum = 0;
    for (std::uint32_t i = 0; i < n; ++i) sum += p[i] = 1.0 / (i + 1);
    std::vector<std::uint32_t> small, large;
    for (std::uint32_t i = 0; i < n; ++i) {
      p[i] *= n / sum;
      (p[i] < 1 ? small : large).push_back(i);
    }
    while (!small.empty() && !large.empty()) {
      std::uint32_t s = small.back(), l = large.back();
      small.pop_back();
      probability_[s] = p[s];
      alias_[s] = l;
      p[l] -= 1 - p[s];
      if (p[l] < 1) {
        large.pop_back();
        small.push_back(l);
      }
    }
    for (std::uint32_t i : small) probability_[i] = 1;
    for (std::uint32_t i : large) probability_[i] = 1;
  }
  template <class Random>
  std::uint32_t operator()(Random& random) {
    std::uint32_t i = static_cast<std::uint32_t>(random() % probability_.size());
    double u = (random() >> 11) * 0x1.0p-53;
    return u < probability_[i] ? i : alias_[i];
  }

 private:
  std::vector<double> probability_;
  std::vector<std::uint32_t> alias_;
};

struct Written {
  std::uint64_t postings = 0;
  std::uint64_t bytes = 0;
  // Per word number - 1: its files; per word number - 1: its word.
  std::vector<std::uint32_t> files_of;
  std::vector<std::string> words;
};

Written WriteStore(const std::string& path, std::uint32_t files, std::uint32_t words_per_file,
                   std::size_t budget) {
  const std::uint32_t vocabulary = std::max<std::uint32_t>(50000, files);
  ZipfDraw draw(vocabulary);
  std::mt19937_64 random(files);
  std::vector<std::int32_t> number_of(vocabulary, 0);
  std::vector<std::uint16_t> count(vocabulary, 0);
  std::vector<std::uint32_t> touched;
  std::vector<orvane::StoreScore> scores;
  Written written;

  ResetPeak();
  Clock::time_point start = Clock::now();
  orvane::StoreWriter writer(path, path + ".part", orvane::StoreWriterOptions{budget});
  orvane::Status status = writer.Create();
  Clock::duration generating{};
  for (std::uint32_t f = 0; status.ok() && f < files; ++f) {
    Clock::time_point begin = Clock::now();
    touched.clear();
    scores.clear();
    std::string first_text;
    for (std::uint32_t t = 0; t < words_per_file; ++t) {
      std::uint32_t rank = draw(random);
      if (count[rank]++ == 0) touched.push_back(rank);
      if (first_text.size() < 80) first_text += WordOfRank(rank) + " ";
    }
    std::uint16_t largest = 0;
    for (std::uint32_t rank : touched) largest = std::max(largest, count[rank]);
    for (std::uint32_t rank : touched) {
      if (number_of[rank] == 0) {
        written.words.push_back(WordOfRank(rank));
        written.files_of.push_back(0);
        number_of[rank] = static_cast<std::int32_t>(written.words.size());
      }
      scores.push_back({static_cast<std::uint32_t>(number_of[rank] - 1),
                        orvane::ScoreOfCount(static_cast<std::uint8_t>(std::min<int>(count[rank], 255)),
                                             static_cast<std::uint8_t>(std::min<int>(largest, 255)))});
      ++written.files_of[number_of[rank] - 1];
      count[rank] = 0;
    }
    std::string file_path = "folder" + std::to_string(f % 1000) + "/file" + std::to_string(f) + ".txt";
    first_text.resize(std::min<std::size_t>(first_text.size(), 80));
    orvane::StoreFileEntry entry;
    entry.path = file_path;
    entry.size = words_per_file * 6;
    entry.mtime_seconds = 1700000000 + f;
    entry.title = "Not HTML file";
    entry.first_text = first_text;
    generating += Clock::now() - begin;
    status = writer.AddFile(entry, scores);
    written.postings += scores.size();
  }
  Clock::time_point added = Clock::now();
  std::vector<orvane::StoreWord> lexicon;
  for (std::size_t i = 0; i < written.words.size(); ++i) {
    lexicon.push_back({written.words[i], static_cast<std::int32_t>(i + 1)});
  }
  std::sort(lexicon.begin(), lexicon.end(),
            [](const orvane::StoreWord& a, const orvane::StoreWord& b) { return a.word < b.word; });
  Clock::time_point sorted = Clock::now();
  if (status.ok()) status = writer.Finish("Benchmark", lexicon);
  Clock::time_point finished = Clock::now();
  std::size_t runs = writer.run_count();
  if (status.ok()) status = writer.Commit(orvane::StoreFingerprint{});
  Clock::time_point committed = Clock::now();
  if (!status.ok()) {
    std::fprintf(stderr, "%s\n", status.message().c_str());
    std::exit(1);
  }
  written.bytes = fs::file_size(path);
  const double seconds = Ms(committed - start - generating - (sorted - added)) / 1000;
  std::printf("  written         %.2f s without the generating: adding files %.2f s, "
              "merging and lexicon %.2f s, checksums and sync %.2f s; %zu runs spilled\n",
              seconds, Ms(added - start - generating) / 1000, Ms(finished - sorted) / 1000,
              Ms(committed - finished) / 1000, runs);
  std::printf("  throughput      %.0f files/s, %.1f M postings/s\n", files / seconds,
              written.postings / seconds / 1e6);
  std::printf("  peak memory     %.0f MB (writer and generator; budget %zu MB)\n", PeakMb(),
              budget >> 20);
  std::printf("  store           %.1f MB: %llu files, %zu words, %llu postings, "
              "%.2f bytes a posting\n",
              written.bytes / 1e6, static_cast<unsigned long long>(files), written.words.size(),
              static_cast<unsigned long long>(written.postings),
              static_cast<double>(written.bytes) / written.postings);
  return written;
}

std::unique_ptr<StoreReader> Open(const std::string& path) {
  auto store = StoreReader::Open(path, std::nullopt);
  if (!store.ok()) {
    std::fprintf(stderr, "%s\n", store.status().message().c_str());
    std::exit(1);
  }
  return std::move(*store);
}

// A word's files and scores summed, as "Any word" does.
std::uint64_t SumPostings(const StoreReader& store, std::int32_t word_number) {
  std::uint64_t sum = 0;
  for (PostingsIterator it = store.Postings(word_number); it.Valid(); it.Next()) {
    sum += it.file_index() + it.score();
  }
  return sum;
}

double Time(int runs, const std::function<void()>& body) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    Clock::time_point start = Clock::now();
    body();
    times.push_back(Ms(Clock::now() - start));
  }
  return Median(times);
}

// Runs a program to its end, its output thrown away; the time it took.
double RunProcess(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  Clock::time_point start = Clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
  }
  double ms = Ms(Clock::now() - start);
  posix_spawn_file_actions_destroy(&actions);
  return ms;
}

// What a one-shot search of one word does with the store: open it, find
// the word, print the paths of its files.
int Probe(const std::string& path, const std::string& word) {
  std::unique_ptr<StoreReader> store = Open(path);
  auto number = store->FindWord(word);
  if (!number.ok() || *number < 1) return 1;
  std::string out;
  for (PostingsIterator it = store->Postings(*number); it.Valid(); it.Next()) {
    auto file = store->File(it.file_index());
    if (file.ok()) out.append(file->path).push_back('\n');
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

void Measure(const std::string& program, const std::string& path, const Written& w, int runs) {
  // The words to read: a word in 2 files, the word closest to 500 files,
  // the most common word, and a stem of about a hundred words.
  std::size_t rare = 0, five_hundred = 0, common = 0;
  for (std::size_t i = 0; i < w.files_of.size(); ++i) {
    if (w.files_of[rare] != 2 && w.files_of[i] == 2) rare = i;
    auto distance = [](std::uint32_t n) { return n > 500 ? n - 500 : 500 - n; };
    if (distance(w.files_of[i]) < distance(w.files_of[five_hundred])) five_hundred = i;
    if (w.files_of[i] > w.files_of[common]) common = i;
  }
  const std::string stem = WordOfRank(20 * 20 + 7).substr(0, 4) + "*";
  std::unique_ptr<StoreReader> probe = Open(path);
  std::size_t stem_words = 0;
  for (LexiconCursor c = probe->WordsWithStem(stem.substr(0, 4)); c.Valid(); c.Next()) ++stem_words;
  probe.reset();

  std::uint64_t sink = 0;
  std::printf("  fresh open + read, median of %d (ms)\n", runs);
  std::printf("    open                          %7.3f\n", Time(runs, [&] { sink += Open(path)->file_count(); }));
  std::printf("    rare word (%s, %u files)  %7.3f\n", w.words[rare].c_str(), w.files_of[rare],
              Time(runs, [&] {
                auto s = Open(path);
                sink += SumPostings(*s, *s->FindWord(w.words[rare]));
              }));
  std::printf("    stem %s (%zu words)       %7.3f\n", stem.c_str(), stem_words, Time(runs, [&] {
                auto s = Open(path);
                for (LexiconCursor c = s->WordsWithStem(stem.substr(0, 4)); c.Valid(); c.Next()) {
                  sink += SumPostings(*s, c.word_number());
                }
              }));
  std::printf("    word in %u files + titles     %7.3f\n", w.files_of[five_hundred], Time(runs, [&] {
                auto s = Open(path);
                for (PostingsIterator it = s->Postings(*s->FindWord(w.words[five_hundred]));
                     it.Valid(); it.Next()) {
                  sink += s->File(it.file_index())->title.size();
                }
              }));
  std::printf("    all words: rare and one in %u files  %7.3f\n", w.files_of[common], Time(runs, [&] {
                auto s = Open(path);
                PostingsIterator a = s->Postings(*s->FindWord(w.words[rare]));
                PostingsIterator b = s->Postings(*s->FindWord(w.words[common]));
                for (; a.Valid() && b.Valid(); a.Next()) {
                  b.SkipTo(a.file_index());
                  if (b.Valid() && b.file_index() == a.file_index()) sink += a.score() + b.score();
                }
              }));
  std::printf("    most common word's list (%u files) %7.3f\n", w.files_of[common], Time(runs, [&] {
                auto s = Open(path);
                sink += SumPostings(*s, *s->FindWord(w.words[common]));
              }));
  // The two kinds of process in turn, so that both meet the same load.
  std::vector<double> starts, searches;
  for (int i = 0; i < runs; ++i) {
    if (i % 2 == 0) starts.push_back(RunProcess({program, "--noop"}));
    searches.push_back(RunProcess({program, "--probe", path, w.words[rare]}));
    if (i % 2 == 1) starts.push_back(RunProcess({program, "--noop"}));
  }
  std::printf("  whole process, median of %d (ms): start only %.2f; open and print a rare "
              "word's files %.2f; difference %.2f\n",
              runs, Median(starts), Median(searches), Median(searches) - Median(starts));
  if (sink == 42) std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::uint32_t> sizes;
  std::string work;
  int runs = 21;
  std::uint32_t words_per_file = 160;
  std::size_t budget = std::size_t{256} << 20;
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    if (a == "--noop") return 0;
    if (a == "--probe" && i + 2 < argc) return Probe(argv[i + 1], argv[i + 2]);
    if (i + 1 >= argc) {
      std::fputs(kUsage.data(), stderr);
      return 2;
    }
    std::string value = argv[++i];
    if (a == "--files") sizes.push_back(static_cast<std::uint32_t>(std::stoul(value)));
    else if (a == "--work") work = value;
    else if (a == "--runs") runs = std::stoi(value);
    else if (a == "--words-per-file") words_per_file = static_cast<std::uint32_t>(std::stoul(value));
    else if (a == "--budget") budget = std::stoul(value) << 20;
    else {
      std::fputs(kUsage.data(), stderr);
      return 2;
    }
  }
  if (sizes.empty()) sizes = {20000, 1000000};
  const bool own_work = work.empty();
  if (own_work) {
    char pattern[] = "/tmp/orvane-store-bench-XXXXXX";
    work = mkdtemp(pattern);
  }
  const std::string program = fs::canonical("/proc/self/exe");
  for (std::uint32_t files : sizes) {
    std::printf("store of %u files\n", files);
    const std::string path = work + "/bench" + std::to_string(files) + "_store.tavo";
    Written written = WriteStore(path, files, words_per_file, budget);
    Measure(program, path, written, runs);
  }
  if (own_work) fs::remove_all(work);
  return 0;
}
