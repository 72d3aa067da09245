// The files of one indexing run before it publishes them. Each run has a
// tag of its own (its process id and a random part) and holds a lock on its
// lock file NAME_run.TAG.part.tavo for as long as it lasts; every file it
// writes is named NAME_WHAT.TAG.part.tavo (PartialFilePath). So no run
// takes another's files for its own, even one of another process writing
// into the same folder, and a later run removes what an ended run (killed,
// or lost with its machine) left behind: the files of every tag whose lock
// is free or gone.
#pragma once

#include <string>
#include <string_view>

#include "engine/common/status.h"
#include "engine/files/background_deletion.h"

namespace orvane {

class RunFiles {
 public:
  RunFiles() = default;
  // Release().
  ~RunFiles();
  RunFiles(const RunFiles&) = delete;
  RunFiles& operator=(const RunFiles&) = delete;

  // Removes what ended runs of the project left in the folder (folder
  // form), then takes a tag of its own and its lock. deletion, when given,
  // frees the blocks of large leftovers behind; it must outlive the call.
  // Failed: the lock file could not be created (the message names it).
  Status Claim(const std::string& folder, const std::string& project,
               BackgroundDeletion* deletion);

  // The run's tag; empty until Claim succeeds.
  const std::string& tag() const { return tag_; }
  // The name under which the run writes final_path.
  // REQUIRES: Claim succeeded.
  std::string PartialPath(std::string_view final_path) const;

  // Removes the lock file and gives up the lock. The run's other files
  // must be published or removed first.
  void Release();

 private:
  std::string lock_path_;
  std::string tag_;
  int lock_fd_ = -1;
};

// Removes from the folder (folder form) every temporary file of the
// project's runs that have ended, those that runs of earlier versions
// left under names without a tag, and the documents' texts file that
// earlier versions kept beside the index (the store holds them now). The files of a run that goes on stay.
void RemoveEndedRunFiles(const std::string& folder, const std::string& project,
                         BackgroundDeletion* deletion);

}  // namespace orvane
