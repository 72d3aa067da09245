#include "engine/index/file_details.h"

namespace orvane {

IndexedFile FileDetails::Entry() const {
  IndexedFile entry;
  entry.has_details = known;
  entry.size = stamp.size;
  entry.modified_ns = stamp.modified_ns;
  entry.title = title;
  entry.first_text = first_text;
  entry.description = description;
  return entry;
}

}  // namespace orvane
