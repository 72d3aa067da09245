// orvane_bench_ranking: how well searches find a known file. Indexes a real
// tree with `orvane index`, draws files at random with a fixed seed, makes
// for each the query a person would type to find it again, searches "Any
// word" sorted with `orvane search`, and prints the mean reciprocal rank of
// the file and how often it comes first or among the first ten; the same
// for Xapian (omindex and quest) and Recoll (recollindex and recollq) over
// a copy of the same files with the same queries, installed from Debian's
// packages when missing. Index times are printed for information.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "bench/known_item_queries.h"

extern char** environ;

namespace orvane::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr char kUsage[] =
    "Usage: orvane_bench_ranking --tree DIR --work DIR --program PATH\n"
    "         [--queries N] [--seed N] [--peers xapian,recoll|none]\n"
    "         [--orders score[,relevance]] [--reuse]\n"
    "Indexes the tree into the work folder (with --reuse, indexes and the\n"
    "copy of the tree already there are kept), draws N files (default 200)\n"
    "with the seed (default 1) and prints how well each program ranks them.\n"
    "--orders: the sort orders of `orvane search` compared (\"score\" is\n"
    "--sort, \"relevance\" --sort-by relevance; default both).\n";

// The most files any program is asked for; a file further down counts as
// not found.
constexpr int kListed = 500;

struct Options {
  std::string tree;
  std::string work;
  std::string program;
  int queries = 200;
  std::uint64_t seed = 1;
  std::set<std::string> peers = {"xapian", "recoll"};
  std::vector<std::string> orders = {"score", "relevance"};
  bool reuse = false;
};

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    if (!item.empty()) items.push_back(item);
  }
  return items;
}

// Runs args (args[0] found on PATH), its standard output into *out when out
// is given (else discarded) and its standard error appended to log. Returns
// the exit status, or -1 when it could not be started.
int Run(std::vector<std::string> args, std::string* out, const std::string& log) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int pipe_ends[2] = {-1, -1};
  if (out != nullptr && ::pipe(pipe_ends) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (out != nullptr) {
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
    posix_spawn_file_actions_addclose(&actions, pipe_ends[1]);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_addopen(&actions, 2, log.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid;
  int started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (out != nullptr) {
    ::close(pipe_ends[1]);
    out->clear();
    if (started == 0) {
      char buffer[65536];
      ssize_t n;
      while ((n = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0) {
        out->append(buffer, static_cast<std::size_t>(n));
      }
    }
    ::close(pipe_ends[0]);
  }
  if (started != 0) return -1;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool OnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (::access((fs::path(dir) / name).c_str(), X_OK) == 0) return true;
  }
  return false;
}

// Installs Debian packages when a program they bring is missing; false
// when it is still missing afterwards.
bool EnsureInstalled(const std::vector<std::string>& programs,
                     const std::vector<std::string>& packages,
                     const std::string& log) {
  auto all_there = [&] {
    return std::all_of(programs.begin(), programs.end(), OnPath);
  };
  if (all_there()) return true;
  std::string list;
  for (const std::string& p : packages) list += " " + p;
  std::printf("Installing%s ...\n", list.c_str());
  std::fflush(stdout);
  ::setenv("DEBIAN_FRONTEND", "noninteractive", 1);
  std::vector<std::string> install = {"apt-get", "install", "-y", "--no-install-recommends"};
  install.insert(install.end(), packages.begin(), packages.end());
  if (::geteuid() != 0) install.insert(install.begin(), "sudo");
  if (Run(install, nullptr, log) != 0) {
    std::vector<std::string> update = {"apt-get", "update"};
    if (::geteuid() != 0) update.insert(update.begin(), "sudo");
    Run(update, nullptr, log);
    Run(install, nullptr, log);
  }
  return all_there();
}

bool ReadWhole(const fs::path& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  *bytes = text.str();
  return true;
}

// The program's common words, beside it or in its installed place.
std::unordered_set<std::string> StopWords(const std::string& program) {
  fs::path folder = fs::path(program).parent_path();
  std::string text;
  if (!ReadWhole(folder / "cwds.txt", &text)) {
    ReadWhole(folder / ".." / "share" / "orvane" / "cwds.txt", &text);
  }
  std::unordered_set<std::string> words;
  std::stringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty() && line[0] != '\'') words.insert(line);
  }
  return words;
}

// A program's answer to each query: the relative paths it lists, best
// first.
using Ranking = std::vector<std::string>;

struct System {
  std::string name;
  std::function<Ranking(const KnownItemQuery&)> search;
  double index_seconds = 0;
  std::string indexes;  // what it indexes, in a few words
};

std::string Joined(const std::vector<std::string>& words, const std::string& by) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : by) + w;
  return text;
}

// Percent-escapes (%41) decoded.
std::string Unescaped(const std::string& text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(text[i + 1]) &&
        std::isxdigit(text[i + 2])) {
      plain += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      plain += text[i];
    }
  }
  return plain;
}

// The lines of text that begin with prefix, the prefix cut off.
std::vector<std::string> LinesAfter(const std::string& text, const std::string& prefix) {
  std::vector<std::string> found;
  std::stringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with(prefix)) found.push_back(line.substr(prefix.size()));
  }
  return found;
}

class Bench {
 public:
  explicit Bench(Options options) : o_(std::move(options)) {
    o_.tree = fs::absolute(o_.tree).lexically_normal().string();
    while (o_.tree.size() > 1 && o_.tree.back() == '/') o_.tree.pop_back();
    o_.work = fs::absolute(o_.work).lexically_normal().string();
    while (o_.work.size() > 1 && o_.work.back() == '/') o_.work.pop_back();
    log_ = o_.work + "/ranking.log";
  }

  int Main() {
    fs::create_directories(o_.work);
    if (!IndexOurs()) return 1;
    std::printf("Drawing %d files (seed %llu) and their queries ...\n", o_.queries,
                static_cast<unsigned long long>(o_.seed));
    std::fflush(stdout);
    queries_ = MakeKnownItemQueries(
        files_,
        [&](const std::string& relative, std::string* bytes) {
          return ReadWhole(o_.tree + "/" + relative, bytes);
        },
        StopWords(o_.program), o_.queries, o_.seed);
    WriteQueries();
    if (o_.peers.count("xapian") > 0) AddXapian();
    if (o_.peers.count("recoll") > 0) AddRecoll();
    std::vector<std::vector<int>> ranks;
    for (System& system : systems_) ranks.push_back(Ranks(system));
    WriteRanks(ranks);
    PrintTable(ranks);
    return 0;
  }

 private:
  // `orvane index` over the tree, timed; the files it holds are the files
  // of the benchmark.
  bool IndexOurs() {
    index_ = o_.work + "/ranking_index.tavo";
    std::vector<std::string> common = {o_.program, "index", "--top", o_.tree,
                                       "--out", o_.work, "--project", "ranking",
                                       "--title", "Ranking", "--include-all",
                                       "--subsub", "--overwrite"};
    double seconds = 0;
    if (!(o_.reuse && fs::exists(index_))) {
      std::printf("Indexing %s with orvane ...\n", o_.tree.c_str());
      std::fflush(stdout);
      std::vector<std::string> args = common;
      args.push_back("--quiet");
      auto start = Clock::now();
      if (Run(args, nullptr, log_) != 0) {
        std::fprintf(stderr, "orvane index failed; see %s\n", log_.c_str());
        return false;
      }
      seconds = Seconds(start);
    }
    std::string listing;
    std::vector<std::string> args = common;
    args.push_back("--list");
    if (Run(args, &listing, log_) != 0) {
      std::fprintf(stderr, "orvane index --list failed; see %s\n", log_.c_str());
      return false;
    }
    std::stringstream lines(listing);
    std::string line;
    while (std::getline(lines, line)) {
      std::size_t dot = line.find(". ");
      if (dot == std::string::npos || dot == 0 ||
          line.find_first_not_of("0123456789") != dot) {
        continue;
      }
      files_.push_back(line.substr(dot + 2));
    }
    for (const std::string& order : o_.orders) {
      System system;
      system.name =
          order == "score" ? "orvane --sort" : "orvane --sort-by " + order;
      system.index_seconds = seconds;
      system.indexes = "whole words as they stand, no stemming";
      system.search = [this, order](const KnownItemQuery& query) {
        std::vector<std::string> args = {o_.program, "search", "--index", index_,
                                         "--top", o_.tree, "--type", "any"};
        if (order == "score") {
          args.push_back("--sort");
        } else {
          args.insert(args.end(), {"--sort-by", order});
        }
        args.push_back("--");
        args.insert(args.end(), query.words.begin(), query.words.end());
        std::string out;
        Run(args, &out, log_);
        return LinesAfter(out, o_.tree + "/");
      };
      systems_.push_back(std::move(system));
    }
    return true;
  }

  // The same files as the index holds, copied for the peers (which index
  // a folder tree as a whole).
  std::string CopyOfTree() {
    const std::string copy = o_.work + "/tree";
    if (o_.reuse && fs::exists(copy)) return copy;
    fs::remove_all(copy);
    for (const std::string& relative : files_) {
      fs::path to = fs::path(copy) / relative;
      fs::create_directories(to.parent_path());
      fs::copy_file(fs::path(o_.tree) / relative, to);
    }
    return copy;
  }

  // The endings of the files besides pages and mail, which the peers are
  // told to read as plain text, as orvane reads every file.
  std::set<std::string> PlainTextEndings() const {
    std::set<std::string> endings;
    for (const std::string& relative : files_) {
      std::string name = fs::path(relative).filename().string();
      std::size_t dot = name.rfind('.');
      if (dot == std::string::npos || dot == 0) continue;
      std::string ending = name.substr(dot + 1);
      if (ending != "html" && ending != "htm" && ending != "eml") endings.insert(ending);
    }
    return endings;
  }

  void AddXapian() {
    if (!EnsureInstalled({"omindex", "quest"},
                         {"xapian-omega", "xapian-tools", "libmime-tools-perl",
                          "libhtml-parser-perl"},
                         log_)) {
      std::printf("Xapian's omindex and quest could not be installed; left out.\n");
      return;
    }
    const std::string copy = CopyOfTree();
    const std::string db = o_.work + "/xapian";
    System system;
    system.name = "xapian quest";
    system.indexes = "omindex: pages, mail (its MIME parser), text; English stemming";
    if (!(o_.reuse && fs::exists(db))) {
      std::printf("Indexing the copy with omindex ...\n");
      std::fflush(stdout);
      std::vector<std::string> args = {"omindex", "--db", db, "--url", "/", "--overwrite",
                                       "-Meml:message/rfc822"};
      for (const std::string& ending : PlainTextEndings()) {
        args.push_back("-M" + ending + ":text/plain");
      }
      args.push_back(copy);
      auto start = Clock::now();
      if (Run(args, nullptr, log_) != 0) {
        std::printf("omindex failed (see %s); Xapian left out.\n", log_.c_str());
        return;
      }
      system.index_seconds = Seconds(start);
    }
    system.search = [this, db](const KnownItemQuery& query) {
      std::string out;
      Run({"quest", "-d", db, "-m", std::to_string(kListed), Joined(query.words, " ")},
          &out, log_);
      Ranking ranking;
      for (const std::string& url : LinesAfter(out, "url=/")) {
        ranking.push_back(Unescaped(url));
      }
      return ranking;
    };
    systems_.push_back(std::move(system));
  }

  void AddRecoll() {
    if (!EnsureInstalled({"recollindex", "recollq"}, {"recollcmd"}, log_)) {
      std::printf("Recoll's recollindex and recollq could not be installed; left out.\n");
      return;
    }
    const std::string copy = CopyOfTree();
    const std::string config = o_.work + "/recoll";
    System system;
    system.name = "recoll recollq";
    system.indexes = "recollindex: pages, mail (its own parser), text; English stemming";
    if (!(o_.reuse && fs::exists(config + "/xapiandb"))) {
      fs::remove_all(config);
      fs::create_directories(config);
      std::ofstream(config + "/recoll.conf")
          << "topdirs = " << copy << "\n"
          << "dbdir = " << config << "/xapiandb\n"
          << "noaspell = 1\nloglevel = 1\n";
      std::ofstream mimemap(config + "/mimemap");
      for (const std::string& ending : PlainTextEndings()) {
        mimemap << "." << ending << " = text/plain\n";
      }
      mimemap.close();
      std::printf("Indexing the copy with recollindex ...\n");
      std::fflush(stdout);
      auto start = Clock::now();
      if (Run({"recollindex", "-c", config, "-z"}, nullptr, log_) != 0) {
        std::printf("recollindex failed (see %s); Recoll left out.\n", log_.c_str());
        return;
      }
      system.index_seconds = Seconds(start);
    }
    const std::string prefix = "file://" + copy + "/";
    system.search = [this, config, prefix](const KnownItemQuery& query) {
      std::string out;
      Run({"recollq", "-c", config, "-b", "-n", std::to_string(kListed), "-o",
           Joined(query.words, " ")},
          &out, log_);
      return LinesAfter(out, prefix);
    };
    systems_.push_back(std::move(system));
  }

  // The rank of each query's file in the system's answer (1 = first), 0
  // when it is not among the first kListed.
  std::vector<int> Ranks(System& system) {
    std::printf("Searching with %s ...\n", system.name.c_str());
    std::fflush(stdout);
    std::vector<int> ranks;
    for (const KnownItemQuery& query : queries_) {
      Ranking ranking = system.search(query);
      if (ranking.size() > static_cast<std::size_t>(kListed)) ranking.resize(kListed);
      auto found = std::find(ranking.begin(), ranking.end(), query.relative_path);
      ranks.push_back(found == ranking.end()
                          ? 0
                          : static_cast<int>(found - ranking.begin()) + 1);
    }
    return ranks;
  }

  void WriteQueries() const {
    std::ofstream out(o_.work + "/ranking_queries.tsv");
    for (const KnownItemQuery& q : queries_) {
      out << q.relative_path << '\t' << KindName(q.kind) << '\t'
          << Joined(q.words, " ") << '\n';
    }
  }

  void WriteRanks(const std::vector<std::vector<int>>& ranks) const {
    std::ofstream out(o_.work + "/ranking_ranks.tsv");
    out << "file\tquery";
    for (const System& s : systems_) out << '\t' << s.name;
    out << '\n';
    for (std::size_t q = 0; q < queries_.size(); ++q) {
      out << queries_[q].relative_path << '\t' << Joined(queries_[q].words, " ");
      for (const std::vector<int>& r : ranks) out << '\t' << r[q];
      out << '\n';
    }
  }

  struct Figures {
    int n = 0;
    double mrr = 0;
    double top1 = 0;
    double top10 = 0;
  };

  // The figures over the queries whose file is of the kind (all when none).
  Figures FiguresOf(const std::vector<int>& ranks, const DocumentKind* kind) const {
    Figures f;
    for (std::size_t q = 0; q < queries_.size(); ++q) {
      if (kind != nullptr && queries_[q].kind != *kind) continue;
      ++f.n;
      if (ranks[q] == 0) continue;
      f.mrr += 1.0 / ranks[q];
      f.top1 += ranks[q] == 1;
      f.top10 += ranks[q] <= 10;
    }
    if (f.n > 0) {
      f.mrr /= f.n;
      f.top1 = 100.0 * f.top1 / f.n;
      f.top10 = 100.0 * f.top10 / f.n;
    }
    return f;
  }

  void PrintTable(const std::vector<std::vector<int>>& ranks) const {
    const DocumentKind kinds[] = {DocumentKind::kHtml, DocumentKind::kMail,
                                  DocumentKind::kText};
    std::printf("\nKnown-item search on %s: %zu files indexed, %zu queries, seed %llu\n",
                o_.tree.c_str(), files_.size(), queries_.size(),
                static_cast<unsigned long long>(o_.seed));
    std::printf("Queries: %.*s.\n", static_cast<int>(KnownItemQueryRule().size()),
                KnownItemQueryRule().data());
    std::printf("Each query searched \"Any word\" (OR), best first; a file not among "
                "the first %d counts as rank infinity.\n",
                kListed);
    for (std::size_t q = 0; q < queries_.size() && q < 5; ++q) {
      std::printf("  e.g. %-60s %s\n", queries_[q].relative_path.c_str(),
                  Joined(queries_[q].words, " ").c_str());
    }
    std::printf("\n%-27s %-22s", "", ("all (" + std::to_string(queries_.size()) + ")").c_str());
    for (DocumentKind kind : kinds) {
      Figures n = FiguresOf(std::vector<int>(queries_.size()), &kind);
      std::string head = std::string(KindName(kind)) + " (" + std::to_string(n.n) + ")";
      std::printf(" | %-13s", head.c_str());
    }
    std::printf("\n%-27s %6s %7s %7s", "program", "MRR", "top-1", "top-10");
    for (int i = 0; i < 3; ++i) std::printf(" | %6s %6s", "MRR", "top-10");
    std::printf("\n");
    for (std::size_t s = 0; s < systems_.size(); ++s) {
      Figures all = FiguresOf(ranks[s], nullptr);
      std::printf("%-27s %6.3f %6.1f%% %6.1f%%", systems_[s].name.c_str(), all.mrr,
                  all.top1, all.top10);
      for (DocumentKind kind : kinds) {
        Figures f = FiguresOf(ranks[s], &kind);
        std::printf(" | %6.3f %5.1f%%", f.mrr, f.top10);
      }
      std::printf("\n");
    }
    std::printf("\nIndex times (for information; 0 = reused):\n");
    for (const System& s : systems_) {
      std::printf("  %-27s %8.1f s  %s\n", s.name.c_str(), s.index_seconds,
                  s.indexes.c_str());
    }
    std::printf("Queries and ranks: %s/ranking_queries.tsv, %s/ranking_ranks.tsv\n",
                o_.work.c_str(), o_.work.c_str());
  }

  Options o_;
  std::string log_;
  std::string index_;
  std::vector<std::string> files_;
  std::vector<KnownItemQuery> queries_;
  std::vector<System> systems_;
};

}  // namespace
}  // namespace orvane::bench

int main(int argc, char** argv) {
  orvane::bench::Options options;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (a == "--tree") {
      options.tree = value();
    } else if (a == "--work") {
      options.work = value();
    } else if (a == "--program") {
      options.program = value();
    } else if (a == "--queries") {
      options.queries = std::max(1, std::atoi(value().c_str()));
    } else if (a == "--seed") {
      options.seed = std::strtoull(value().c_str(), nullptr, 10);
    } else if (a == "--peers") {
      std::vector<std::string> peers = orvane::bench::SplitCommas(value());
      options.peers = std::set<std::string>(peers.begin(), peers.end());
      options.peers.erase("none");
    } else if (a == "--orders") {
      options.orders = orvane::bench::SplitCommas(value());
    } else if (a == "--reuse") {
      options.reuse = true;
    } else {
      std::fputs(orvane::bench::kUsage, stderr);
      return 2;
    }
  }
  if (options.tree.empty() || options.work.empty() || options.program.empty() ||
      options.orders.empty()) {
    std::fputs(orvane::bench::kUsage, stderr);
    return 2;
  }
  options.program = std::filesystem::absolute(options.program).string();
  return orvane::bench::Bench(std::move(options)).Main();
}
