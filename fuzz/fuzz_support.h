// What the fuzz targets share: a scratch folder of their own, where each
// input becomes the file that a reader opens, and a Search Module over the
// recording ports of the tests, so that no input can open a window or wait
// for an answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/modules/search_module.h"
#include "engine/reading/document_text.h"
#include "tests/support/fakes.h"

namespace orvane::fuzz {

// The input as text (bytes as they are).
inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

// The folder (folder form, ending in "/") that this process writes its
// files into, made at the first call and removed when the process ends.
// XDG_DATA_HOME and HOME point into it, so that nothing the engine writes
// for the user lands outside.
const std::string& ScratchFolder();

// Writes bytes as the file name of the scratch folder, replacing it, and
// returns its path. Aborts when the file cannot be written: a target that
// cannot set up its input finds nothing.
std::string WriteScratchFile(std::string_view name, std::string_view bytes);

// Removes the file name of the scratch folder, if it is there.
void RemoveScratchFile(std::string_view name);

// The input cut at its first LF: head, a line of options or words, and
// body, the rest (a file's contents). Without an LF the whole input is the
// head.
struct HeadAndBody {
  std::string_view head;
  std::string_view body;
};
HeadAndBody SplitAtFirstLine(std::string_view input);

// A Search Module over recording fakes of its ports.
struct QuietSearch {
  testing::RecordingPrompter prompter;
  testing::RecordingViewState view;
  testing::ScriptedYield yield;
  testing::RecordingOpener opener;
  testing::FakeLargeDisplay display;
  LauncherState launcher;
  SearchModule module{
      SearchPorts{prompter, view, yield, opener, display, launcher}};
};

// Loads the index file (whose data file, beside it, is checked and rebuilt
// as a search needs) and, when it loads, searches it with each search type
// for words of its own lexicon: the first, the last and a stem.
void LoadAndSearch(const std::string& index_path);

// Aborts with a message on standard error when a reader breaks its own
// contract: libFuzzer and the replay both report an abort as a finding.
void Require(bool holds, std::string_view what);

// Requires what a document reader promises of its text: lines that are not
// blank, hold no line end or other control character but TAB and have no
// blanks at their ends; page starts in order and within the lines.
void RequireWellFormed(const DocumentText& text);

}  // namespace orvane::fuzz
