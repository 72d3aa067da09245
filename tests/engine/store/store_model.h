// What the store tests share: a model of a small index (files with their
// metadata and scores, a lexicon numbered in order of first appearance), a
// writer of it into a store file, a description of a model and of a store
// read back in one text form (so that a round trip compares whole
// outputs), and the resealing of a store whose bytes a test changed.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/store/document_text_section.h"
#include "engine/store/store_checksum.h"
#include "engine/store/store_coding.h"
#include "engine/store/store_reader.h"
#include "engine/store/store_writer.h"

namespace orvane::testing {

struct ModelFile {
  std::string path;
  std::uint64_t size = 0;
  std::int64_t mtime_seconds = 0;
  std::uint32_t mtime_nanoseconds = 0;
  bool path_only = false;
  std::string title;
  std::string first_text;
  std::string description;
  std::vector<StoreScore> scores;
};

// A document's text kept in the store.
struct ModelText {
  std::string path;
  DocumentStamp stamp;
  DocumentSourceText text;
};

struct StoreModel {
  std::string title;
  std::vector<ModelFile> files;
  std::vector<std::string> words;  // by word number - 1
  std::vector<ModelText> texts;    // in ascending order of their paths
  StoreFingerprint fingerprint{123456, 7890123, 0xC0FFEE11};
};

// A word made of the letters of n (different n, different words).
inline std::string WordOf(std::uint32_t n) {
  std::string word;
  do {
    word.push_back(static_cast<char>('a' + n % 26));
    n /= 26;
  } while (n > 0);
  return word;
}

// files files over a vocabulary of about vocabulary words, drawn with a
// skewed frequency (a few common words, many rare ones); word 0, "the",
// is in every file, so that its list spans several blocks. One file in 50
// is known by its path only (it was missing), one in 7 has no word.
inline StoreModel MakeModel(std::uint32_t files, std::uint32_t vocabulary,
                            std::uint32_t seed) {
  StoreModel model;
  model.title = "Caf\xE9 manuals";  // content: Windows-1252
  std::mt19937 random(seed);
  std::vector<std::int32_t> number_of(vocabulary + 1, 0);
  auto word_index = [&](std::uint32_t v) {
    if (number_of[v] == 0) {
      model.words.push_back(v == 0 ? "the" : WordOf(v) + (v % 5 == 0 ? "\xE9" : ""));
      number_of[v] = static_cast<std::int32_t>(model.words.size());
    }
    return static_cast<std::uint32_t>(number_of[v] - 1);
  };
  for (std::uint32_t f = 0; f < files; ++f) {
    ModelFile file;
    file.path = "folder" + std::to_string(f % 7) + "/file " + std::to_string(f) + ".txt";
    file.path_only = f % 50 == 49;
    if (!file.path_only) {
      file.size = 1000 + random() % 100000;
      file.mtime_seconds = 1700000000 + static_cast<std::int64_t>(random() % 1000000);
      file.mtime_nanoseconds = random() % 1000000000;
      file.title = f % 3 == 0 ? "Page " + std::to_string(f) : "Not HTML file";
      file.first_text = f % 3 == 0 ? "" : "The first words of file " + std::to_string(f);
      file.description = f % 6 == 0 ? "A description \x93quoted\x94" : "";
    }
    if (f % 7 != 3) {
      std::vector<bool> taken(vocabulary + 1, false);
      file.scores.push_back({word_index(0), static_cast<std::uint8_t>(1 + random() % 255)});
      taken[0] = true;
      const std::uint32_t draws = 5 + random() % 40;
      for (std::uint32_t d = 0; d < draws; ++d) {
        // Skewed: the square of a uniform draw favours small numbers.
        double u = std::uniform_real_distribution<double>(0, 1)(random);
        auto v = static_cast<std::uint32_t>(1 + u * u * (vocabulary - 1));
        if (taken[v]) continue;
        taken[v] = true;
        file.scores.push_back({word_index(v), static_cast<std::uint8_t>(1 + random() % 255)});
      }
    }
    model.files.push_back(std::move(file));
  }
  return model;
}

// Gives every step-th file of the model a document's text of about size
// bytes, in pages of at most 1,000 bytes.
inline void AddModelTexts(StoreModel* model, std::size_t step, std::size_t size) {
  for (std::size_t f = 0; f < model->files.size(); f += step) {
    ModelText kept;
    kept.path = model->files[f].path;
    kept.stamp = {static_cast<std::int64_t>(model->files[f].size),
                  model->files[f].mtime_seconds * 1000000000};
    kept.text.title = f % 2 == 0 ? "" : "Title of " + kept.path;
    kept.text.decode_utf8 = f % 3 == 0;
    while (kept.text.text.size() < size) {
      if (kept.text.text.size() % 1000 < 40) {
        kept.text.page_offsets.push_back(static_cast<std::int64_t>(kept.text.text.size()));
      }
      kept.text.text += "Line " + std::to_string(kept.text.text.size() * 7919 % 100003) +
                        " of " + kept.path + "\r\n";
    }
    model->texts.push_back(std::move(kept));
  }
  std::sort(model->texts.begin(), model->texts.end(),
            [](const ModelText& a, const ModelText& b) { return a.path < b.path; });
}

// The model's lexicon in ascending order (views into the model).
inline std::vector<StoreWord> SortedLexicon(const StoreModel& model) {
  std::vector<StoreWord> lexicon;
  for (std::size_t i = 0; i < model.words.size(); ++i) {
    lexicon.push_back({model.words[i], static_cast<std::int32_t>(i + 1)});
  }
  std::sort(lexicon.begin(), lexicon.end(),
            [](const StoreWord& a, const StoreWord& b) { return a.word < b.word; });
  return lexicon;
}

inline StoreFileEntry EntryOf(const ModelFile& file) {
  StoreFileEntry entry;
  entry.path = file.path;
  entry.size = file.size;
  entry.mtime_seconds = file.mtime_seconds;
  entry.mtime_nanoseconds = file.mtime_nanoseconds;
  entry.path_only = file.path_only;
  entry.title = file.title;
  entry.first_text = file.first_text;
  entry.description = file.description;
  return entry;
}

// Writes the model as a store at path (through path + ".part"); the first
// failure, or ok. *runs: the sorted runs the writer spilled.
inline Status WriteModel(const StoreModel& model, const std::string& path,
                         std::size_t memory_budget = std::size_t{64} << 20,
                         std::size_t* runs = nullptr) {
  StoreWriter writer(path, path + ".part", StoreWriterOptions{memory_budget});
  Status status = writer.Create();
  for (std::size_t f = 0; status.ok() && f < model.files.size(); ++f) {
    status = writer.AddFile(EntryOf(model.files[f]), model.files[f].scores);
  }
  if (status.ok()) status = writer.Finish(model.title, SortedLexicon(model));
  if (runs != nullptr) *runs = writer.run_count();
  if (status.ok() && !model.texts.empty()) {
    DocumentTextGatherer texts(path + ".text");
    for (std::size_t t = 0; status.ok() && t < model.texts.size(); ++t) {
      status = texts.Add(model.texts[t].path, model.texts[t].stamp, model.texts[t].text);
    }
    if (status.ok()) status = writer.AddDocumentTexts(texts);
  }
  if (status.ok()) status = writer.Commit(model.fingerprint);
  return status;
}

inline std::string DescribeText(const ModelText& kept) {
  std::string pages;
  for (std::int64_t offset : kept.text.page_offsets) pages += " " + std::to_string(offset);
  return "text of " + kept.path + " (" + std::to_string(kept.stamp.size) + ", " +
         std::to_string(kept.stamp.modified_ns) + "): " + kept.text.title + " | " +
         std::to_string(kept.text.text.size()) + " bytes, " +
         std::to_string(std::hash<std::string>()(kept.text.text)) +
         (kept.text.decode_utf8 ? " | UTF-8 |" : " |") + pages + "\n";
}

inline std::string DescribeFile(std::uint32_t index, const StoreFileEntry& f) {
  return "file " + std::to_string(index + 1) + ": " + std::string(f.path) + " | " +
         (f.path_only ? "path only" : std::to_string(f.size) + " bytes, " +
                                      std::to_string(f.mtime_seconds) + "." +
                                      std::to_string(f.mtime_nanoseconds)) +
         " | " + std::string(f.title) + " | " + std::string(f.first_text) + " | " +
         std::string(f.description) + "\n";
}

// The model as a store should read back: the summary, every file, and
// every word in ascending order with its number and postings.
inline std::string Describe(const StoreModel& model) {
  std::uint64_t postings = 0;
  for (const ModelFile& f : model.files) postings += f.scores.size();
  std::string text = "title " + model.title + "; " + std::to_string(model.files.size()) +
                     " files, " + std::to_string(model.words.size()) + " words, " +
                     std::to_string(postings) + " postings\n";
  for (std::size_t f = 0; f < model.files.size(); ++f) {
    text += DescribeFile(static_cast<std::uint32_t>(f), EntryOf(model.files[f]));
  }
  std::vector<std::string> lists(model.words.size());
  for (std::size_t f = 0; f < model.files.size(); ++f) {
    std::vector<StoreScore> scores = model.files[f].scores;
    for (const StoreScore& s : scores) {
      lists[s.word_index] += " " + std::to_string(f) + ":" + std::to_string(s.score);
    }
  }
  for (const StoreWord& w : SortedLexicon(model)) {
    text += std::string(w.word) + " #" + std::to_string(w.word_number) + ":" +
            lists[w.word_number - 1] + "\n";
  }
  for (const ModelText& kept : model.texts) text += DescribeText(kept);
  return text;
}

// The store read back in the form of Describe(model); the first failure
// ends it with a line "failed: MESSAGE".
inline std::string Describe(const StoreReader& store) {
  std::string text = "title " + store.title() + "; " + std::to_string(store.file_count()) +
                     " files, " + std::to_string(store.word_count()) + " words, " +
                     std::to_string(store.posting_count()) + " postings\n";
  for (std::uint32_t f = 0; f < store.file_count(); ++f) {
    Result<StoreFileEntry> file = store.File(f);
    if (!file.ok()) return text + "failed: " + file.status().message() + "\n";
    text += DescribeFile(f, *file);
  }
  LexiconCursor word = store.WordsWithStem("");
  for (; word.Valid(); word.Next()) {
    text += std::string(word.word()) + " #" + std::to_string(word.word_number()) + ":";
    PostingsIterator it = store.Postings(word.word_number());
    for (; it.Valid(); it.Next()) {
      text += " " + std::to_string(it.file_index()) + ":" + std::to_string(it.score());
    }
    if (!it.status().ok()) return text + "\nfailed: " + it.status().message() + "\n";
    text += "\n";
  }
  if (!word.status().ok()) return text + "failed: " + word.status().message() + "\n";
  Result<std::unique_ptr<DocumentTextSection>> texts = DocumentTextSection::Open(store);
  if (!texts.ok()) return text + "failed: " + texts.status().message() + "\n";
  std::vector<std::pair<std::string, DocumentStamp>> documents = (*texts)->Documents();
  std::sort(documents.begin(), documents.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [path, stamp] : documents) {
    Result<std::shared_ptr<DocumentSourceText>> found = (*texts)->Find(path, stamp);
    if (!found.ok()) return text + "failed: " + found.status().message() + "\n";
    text += DescribeText(ModelText{path, stamp, **found});
  }
  return text;
}

// Recomputes the page checksums, the section checksums and the header
// checksum of a store's bytes after a test changed them, so that only the
// reader's checks of the structure can find the change.
inline void Reseal(std::string* bytes) {
  auto* b = reinterpret_cast<std::uint8_t*>(bytes->data());
  const std::uint32_t count = store::LoadU32(b + 24);
  std::uint64_t page = 0;
  const std::uint64_t checksums = store::LoadU64(b + 32);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint8_t* entry = b + kStoreHeaderSize + i * kSectionEntrySize;
    const std::uint64_t offset = store::LoadU64(entry + 8);
    const std::uint64_t length = store::LoadU64(entry + 16);
    const std::uint64_t first = page;
    // A section a test moved outside the file keeps its old checksums.
    if (offset > bytes->size() || length > bytes->size() - offset) continue;
    for (std::uint64_t at = 0; at < length; at += kStorePageSize, ++page) {
      std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(kStorePageSize, length - at));
      store::StoreU32(b + checksums + page * 4, store::PageChecksum(b + offset + at, size));
    }
    store::StoreU64(entry + 24, store::Checksum64(b + checksums + first * 4, (page - first) * 4));
  }
  std::string checked(bytes->data(), 56);
  checked.append(bytes->data() + kStoreHeaderSize, count * kSectionEntrySize);
  store::StoreU64(b + 56, store::Checksum64(checked.data(), checked.size()));
}

// Where the section of that kind lies in a store's bytes: {offset,
// length}; {0, 0} when there is none.
inline std::pair<std::uint64_t, std::uint64_t> SectionOf(const std::string& bytes,
                                                         StoreSectionKind kind) {
  const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
  for (std::uint32_t i = 0; i < store::LoadU32(b + 24); ++i) {
    const std::uint8_t* entry = b + kStoreHeaderSize + i * kSectionEntrySize;
    if (store::LoadU32(entry) == static_cast<std::uint32_t>(kind)) {
      return {store::LoadU64(entry + 8), store::LoadU64(entry + 16)};
    }
  }
  return {0, 0};
}

}  // namespace orvane::testing
