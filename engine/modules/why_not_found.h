// "Why is this file not found?": whether a file is in an index and, if not,
// which rule of the settings the index was made with left it out; for each
// word given, whether the lexicon holds it and, if not, which rule of word
// extraction keeps it out, or its score in the file and the number of files
// that hold it; for an exact phrase, whether the file holds it. The answer
// applies the engine's own rules (the file rules of the counting pass, the
// text check, word extraction) to the one file and the words, and reads
// the index through its store.
#pragma once

#include <string>
#include <vector>

#include "engine/format/index_store.h"
#include "engine/index/common_words.h"
#include "engine/index/index_settings.h"

namespace orvane {

struct WhyQuestion {
  // The index file (full path); the settings it was made with lie beside
  // it (IndexSettingsPathFor).
  std::string index_file;
  // Where the indexed files are now (folder form); empty: the top folder
  // of the settings the index was made with.
  std::string top_folder;
  // The file asked about (full path).
  std::string path;
  // The words, as typed (display text), separated by blanks; may be empty.
  std::string words;
  // The words are an exact phrase.
  bool phrase = false;
};

// Where the rules of the answer came from.
enum class WhySettingsSource {
  kKeptWithIndex,  // the settings kept beside the index file
  kSavedForNextRun,  // no kept settings: those saved for the next run
  kDefaults,         // neither: the default settings
};

// The settings an index was made with: those kept beside the index file,
// else those the Index Module saved for its next run, else the defaults.
WhySettingsSource SettingsOfIndex(const std::string& index_file,
                                  IndexSettings* settings);

// The answer: sentences in display text, one paragraph each (about the
// settings when they are not the index's own, the file, then each word
// and the phrase). store is the loaded index of question.index_file;
// common_words the list the Index Module reads.
std::vector<std::string> AnswerWhyNotFound(const WhyQuestion& question,
                                           IndexStoreReader& store,
                                           CommonWords& common_words);

}  // namespace orvane
