#include "engine/store/store_format.h"

namespace orvane {

std::string_view SectionName(std::uint32_t kind) {
  switch (static_cast<StoreSectionKind>(kind)) {
    case StoreSectionKind::kSummary:
      return "summary";
    case StoreSectionKind::kFingerprint:
      return "fingerprint";
    case StoreSectionKind::kFileTable:
      return "file table";
    case StoreSectionKind::kLexicon:
      return "lexicon";
    case StoreSectionKind::kPostings:
      return "postings";
    case StoreSectionKind::kDocumentTexts:
      return "documents' texts";
  }
  return "unknown";
}

}  // namespace orvane
