// PDF files through poppler's C++ interface: each page's text in reading
// order (as pdftotext gives it without -layout), the title from the
// document information dictionary.
#include "engine/documents/pdf_document.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <memory>
#include <string>

#include "engine/documents/line_maker.h"

namespace orvane {

namespace {

// poppler reports what it finds wrong through this function; the last
// report is the detail of a document it cannot load.
void KeepLastReport(const std::string& message, void* closure) {
  std::string_view text = message;
  if (text.rfind("error: ", 0) == 0) text.remove_prefix(7);
  static_cast<std::string*>(closure)->assign(text);
}

std::string Utf8(const poppler::ustring& text) {
  poppler::byte_array bytes = text.to_utf8();
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

ReadResult ReadPdf(const std::string& path, DocumentSink& sink) {
  std::string last_report;
  poppler::set_debug_error_function(KeepLastReport, &last_report);
  std::unique_ptr<poppler::document> doc(
      poppler::document::load_from_file(path));
  if (doc == nullptr) {
    return ReadProblem{WireFailure::kDamaged, last_report.empty()
                                                  ? "poppler cannot read it"
                                                  : last_report};
  }
  // A document that opens without a password is read even when it is
  // encrypted (its permissions concern printing and copying, not search).
  if (doc->is_locked()) return ReadProblem{WireFailure::kEncrypted, {}};
  std::string title = Utf8(doc->info_key("Title"));
  if (title.find_first_not_of(" \t\r\n") != std::string::npos) {
    sink.Title(title);
  }
  LineMaker lines(sink);
  int pages = doc->pages();
  for (int i = 0; i < pages; ++i) {
    sink.PageStart();
    std::unique_ptr<poppler::page> page(doc->create_page(i));
    if (page == nullptr) continue;
    std::string text = Utf8(page->text(
        poppler::rectf(), poppler::page::non_raw_non_physical_layout));
    if (!lines.AppendLines(text) || !lines.Break()) {
      return ReadProblem{WireFailure::kTooMuchText, {}};
    }
  }
  return std::nullopt;
}

}  // namespace orvane
