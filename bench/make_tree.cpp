// orvane_make_tree: writes a synthetic folder tree of text files, HTML pages
// and mail files whose words follow a Zipf distribution, for the
// benchmarks. The same flags and seed always give the same tree.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kUsage =
    "Usage: orvane_make_tree --out DIR [--files N] [--seed S]\n"
    "                        [--kinds text,html,mail] [--vocabulary V]\n"
    "                        [--mean-size BYTES] [--per-folder N]\n"
    "                        [--topic-words T] [--topic-share K]\n"
    "                        [--word-list FILE]\n"
    "\n"
    "Writes N files (default 1000, at most 10,000,000) into DIR, in folders\n"
    "DIR/gNN/dNNN of --per-folder files each (default 100). The kinds are\n"
    "taken in turn: text (.txt, half with CR LF and half with LF line\n"
    "ends), html (.htm, tags across lines, entities) and mail (.eml,\n"
    "headers, a body, every fourth with a base64 part). Words come from a\n"
    "vocabulary of V made-up words (default 20000) drawn with Zipf's law,\n"
    "and one word in --topic-share (default 5) from the folder's own topic\n"
    "of --topic-words words (default 1000), as real folders have their own\n"
    "names and terms; files are about --mean-size bytes long (default\n"
    "4000), spread between a tenth and three times that. --seed (default 1)\n"
    "fixes the tree; DIR must not exist yet or be empty.\n"
    "With --word-list, the vocabulary is the words of FILE (one a line,\n"
    "those with an apostrophe left out) in an order fixed by the seed, and\n"
    "a folder's topic is --topic-words of them drawn with the same law; the\n"
    "words a benchmark may search for are printed after the summary: a\n"
    "rare one, two frequent ones, a stem and the most common word.\n";

// A small, fixed generator: the tree must not depend on the standard
// library's distributions.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  std::uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
  }
  // 0 .. n-1
  std::uint64_t Below(std::uint64_t n) { return Next() % n; }
  double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }

 private:
  std::uint64_t state_;
};

struct Options {
  std::string out;
  int files = 1000;
  std::uint64_t seed = 1;
  bool text = true, html = true, mail = true;
  int vocabulary = 20000;
  int mean_size = 4000;
  int per_folder = 100;
  int topic_words = 1000;
  int topic_share = 5;
  std::string word_list;
};

std::vector<std::string> MakeVocabulary(int size, Random& random) {
  static const char* kOnsets[] = {"b", "c", "d", "f", "g", "h", "j", "k", "l",
                                  "m", "n", "p", "r", "s", "t", "v", "w", "z",
                                  "br", "ch", "cl", "dr", "fl", "gr", "pl",
                                  "pr", "sh", "st", "th", "tr", ""};
  static const char* kVowels[] = {"a", "e", "i", "o", "u", "ai", "ea", "io",
                                  "ou", "y"};
  static const char* kCodas[] = {"", "", "", "n", "r", "s", "t", "l", "nd",
                                 "st", "ck", "m"};
  std::vector<std::string> words;
  words.reserve(size);
  for (int i = 0; i < size; ++i) {
    // Frequent words are short, rare ones long, as in real text.
    int syllables = 1 + static_cast<int>(std::log10(i + 10.0) - 1) +
                    static_cast<int>(random.Below(2));
    std::string word;
    for (int s = 0; s < syllables; ++s) {
      word += kOnsets[random.Below(std::size(kOnsets))];
      word += kVowels[random.Below(std::size(kVowels))];
      word += kCodas[random.Below(std::size(kCodas))];
    }
    if (i % 50 == 7) word += std::to_string(i % 1000);  // some with digits
    words.push_back(word);
  }
  return words;
}

// The words of a word list, one a line, without those with an apostrophe
// (possessives), shuffled by the generator: the rank of a word in Zipf's
// law is its place here. Empty when the file cannot be read.
std::vector<std::string> ReadWordList(const std::string& path, Random& random) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> words;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.find('\'') != std::string::npos) continue;
    words.push_back(line);
  }
  for (std::size_t i = words.size(); i > 1; --i) {
    std::swap(words[i - 1], words[random.Below(i)]);
  }
  return words;
}

// Draws word ranks with Zipf's law (exponent 1).
class Zipf {
 public:
  explicit Zipf(int n) : cumulative_(n) {
    double sum = 0;
    for (int i = 0; i < n; ++i) {
      sum += 1.0 / (i + 1);
      cumulative_[i] = sum;
    }
    for (double& c : cumulative_) c /= sum;
  }
  int Draw(Random& random) const {
    double u = random.Unit();
    auto it = std::lower_bound(cumulative_.begin(), cumulative_.end(), u);
    return static_cast<int>(std::min<std::ptrdiff_t>(
        it - cumulative_.begin(), cumulative_.size() - 1));
  }

 private:
  std::vector<double> cumulative_;
};

class Writer {
 public:
  Writer(const Options& options, std::vector<std::string> vocabulary,
         Random& random)
      : options_(options),
        random_(random),
        vocabulary_(std::move(vocabulary)),
        zipf_(static_cast<int>(vocabulary_.size())),
        topic_zipf_(options.topic_words) {}

  const std::vector<std::string>& vocabulary() const { return vocabulary_; }

  // The folder whose topic words the next files use.
  void StartFolder(int folder) {
    Random topic_random(options_.seed * 7919 + folder);
    if (!options_.word_list.empty()) {
      topic_.clear();
      for (int i = 0; i < options_.topic_words; ++i) {
        topic_.push_back(vocabulary_[zipf_.Draw(topic_random)]);
      }
      return;
    }
    topic_ = MakeVocabulary(options_.topic_words, topic_random);
    for (std::string& word : topic_) word += "q" + std::to_string(folder);
  }

  std::string Word() {
    if (!topic_.empty() && random_.Below(options_.topic_share) == 0) {
      return topic_[topic_zipf_.Draw(random_)];
    }
    return vocabulary_[zipf_.Draw(random_)];
  }

  // Sentences of words until about `bytes` are written, lines of about 70
  // characters ending in `eol`.
  std::string Prose(std::size_t bytes, std::string_view eol, bool html) {
    std::string out;
    std::size_t line_start = 0;
    bool sentence_start = true;
    while (out.size() < bytes) {
      std::string word = Word();
      if (sentence_start) word[0] = static_cast<char>(std::toupper(word[0]));
      sentence_start = false;
      if (html && random_.Below(40) == 0) {
        word = "<b>" + word + "</b>";
      } else if (html && random_.Below(200) == 0) {
        word += " &amp;";
      } else if (random_.Below(300) == 0) {
        word += " caf\xE9";
      }
      out += word;
      if (random_.Below(12) == 0) {
        out += random_.Below(3) == 0 ? "," : ".";
        sentence_start = out.back() == '.';
      }
      if (out.size() - line_start > 70) {
        out += eol;
        line_start = out.size();
      } else {
        out += ' ';
      }
    }
    out += eol;
    return out;
  }

  std::string Title() {
    std::string title = Word() + " " + Word() + " " + Word();
    title[0] = static_cast<char>(std::toupper(title[0]));
    return title;
  }

  std::string Text(std::size_t size, bool crlf) {
    return Prose(size, crlf ? "\r\n" : "\n", false);
  }

  std::string Html(std::size_t size) {
    std::string page = "<html>\n<head><title>" + Title() +
                       "</title>\n<meta name=\"description\" content=\"" +
                       Title() + "\">\n</head>\n<body>\n<p class=\"text\"\n"
                       "   id=\"start\">";
    page += Prose(size, "\n", true);
    page += "</p>\n</body>\n</html>\n";
    return page;
  }

  std::string Mail(std::size_t size, int number) {
    std::string eol = "\r\n";
    std::string mail = "From: " + Word() + "@example.org" + eol +
                       "To: " + Word() + "@example.org" + eol +
                       "Subject: " + Title() + eol +
                       "Content-Type: multipart/mixed; boundary=\"b1\"" + eol +
                       eol + "--b1" + eol +
                       "Content-Type: text/plain" + eol + eol;
    mail += Prose(size, eol, false);
    if (number % 4 == 0) {
      mail += "--b1" + eol + "Content-Type: application/octet-stream" + eol +
              "Content-Transfer-Encoding: base64" + eol + eol;
      static const char kBase64[] =
          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
      for (int line = 0; line < 20; ++line) {
        for (int c = 0; c < 76; ++c) mail += kBase64[random_.Below(64)];
        mail += eol;
      }
    }
    mail += "--b1--" + eol;
    return mail;
  }

  std::size_t Size() {
    // Between a tenth and three times the mean, most near the low end.
    double u = random_.Unit();
    double factor = 0.1 + 2.9 * u * u * u;
    return static_cast<std::size_t>(options_.mean_size * factor * 1.35) + 1;
  }

 private:
  const Options& options_;
  Random& random_;
  std::vector<std::string> vocabulary_;
  Zipf zipf_;
  Zipf topic_zipf_;
  std::vector<std::string> topic_;
};

bool ParseInt(const char* text, int* value) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v <= 0 || v > 100000000) return false;
  *value = static_cast<int>(v);
  return true;
}

int Usage(int status) {
  std::fwrite(kUsage.data(), 1, kUsage.size(), status == 0 ? stdout : stderr);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string_view flag = argv[i];
    if (flag == "--help" || flag == "-h") return Usage(0);
    if (i + 1 >= argc) return Usage(2);
    const char* value = argv[++i];
    int number = 0;
    if (flag == "--out") {
      options.out = value;
    } else if (flag == "--files" && ParseInt(value, &number) &&
               number <= 10000000) {
      options.files = number;
    } else if (flag == "--seed" && ParseInt(value, &number)) {
      options.seed = static_cast<std::uint64_t>(number);
    } else if (flag == "--vocabulary" && ParseInt(value, &number)) {
      options.vocabulary = number;
    } else if (flag == "--mean-size" && ParseInt(value, &number)) {
      options.mean_size = number;
    } else if (flag == "--per-folder" && ParseInt(value, &number)) {
      options.per_folder = number;
    } else if (flag == "--topic-words" && ParseInt(value, &number)) {
      options.topic_words = number;
    } else if (flag == "--topic-share" && ParseInt(value, &number)) {
      options.topic_share = number;
    } else if (flag == "--word-list") {
      options.word_list = value;
    } else if (flag == "--kinds") {
      std::string kinds = value;
      options.text = kinds.find("text") != std::string::npos;
      options.html = kinds.find("html") != std::string::npos;
      options.mail = kinds.find("mail") != std::string::npos;
      if (!options.text && !options.html && !options.mail) return Usage(2);
    } else {
      return Usage(2);
    }
  }
  if (options.out.empty()) return Usage(2);
  std::error_code ec;
  std::filesystem::path out(options.out);
  if (std::filesystem::exists(out, ec) && !std::filesystem::is_empty(out, ec)) {
    std::fprintf(stderr, "orvane_make_tree: %s is not empty\n",
                 options.out.c_str());
    return 1;
  }
  Random random(options.seed);
  std::vector<std::string> vocabulary;
  if (options.word_list.empty()) {
    vocabulary = MakeVocabulary(options.vocabulary, random);
  } else {
    vocabulary = ReadWordList(options.word_list, random);
    if (vocabulary.size() < 1000) {
      std::fprintf(stderr, "orvane_make_tree: %s holds fewer than 1000 words\n",
                   options.word_list.c_str());
      return 1;
    }
  }
  Writer writer(options, std::move(vocabulary), random);
  std::vector<int> kinds;
  if (options.text) kinds.push_back(0);
  if (options.html) kinds.push_back(1);
  if (options.mail) kinds.push_back(2);
  std::uint64_t bytes = 0;
  for (int f = 0; f < options.files; ++f) {
    int folder = f / options.per_folder;
    if (f % options.per_folder == 0) writer.StartFolder(folder);
    char dir[64];
    std::snprintf(dir, sizeof dir, "g%02d/d%03d", folder / 10, folder);
    std::filesystem::create_directories(out / dir, ec);
    int kind = kinds[f % kinds.size()];
    std::size_t size = writer.Size();
    std::string content;
    char name[32];
    if (kind == 0) {
      content = writer.Text(size, f % 2 == 0);
      std::snprintf(name, sizeof name, "f%05d.txt", f);
    } else if (kind == 1) {
      content = writer.Html(size);
      std::snprintf(name, sizeof name, "f%05d.htm", f);
    } else {
      content = writer.Mail(size, f);
      std::snprintf(name, sizeof name, "f%05d.eml", f);
    }
    std::ofstream file(out / dir / name, std::ios::binary);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!file) {
      std::fprintf(stderr, "orvane_make_tree: cannot write %s/%s\n", dir, name);
      return 1;
    }
    bytes += content.size();
  }
  std::printf("%d files, %.1f MB in %s\n", options.files, bytes / 1048576.0,
              options.out.c_str());
  if (!options.word_list.empty()) {
    // Words of plain letters, so that a search takes them as they are.
    const std::vector<std::string>& words = writer.vocabulary();
    auto plain = [&](std::size_t from, std::size_t step) {
      for (std::size_t i = from; i < words.size(); i += step) {
        const std::string& w = words[i];
        if (w.size() >= 5 && std::all_of(w.begin(), w.end(), [](char c) {
              return c >= 'a' && c <= 'z';
            })) {
          return w;
        }
      }
      return std::string("the");
    };
    std::string stem = plain(20, 1).substr(0, 4) + "*";
    std::printf("rare: %s\npair: %s %s\nstem: %s\ncommon: %s\n",
                plain(words.size() / 2, 1).c_str(), plain(30, 1).c_str(),
                plain(60, 1).c_str(), stem.c_str(), plain(0, 1).c_str());
  }
  return 0;
}
