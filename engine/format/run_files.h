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
// left under names without a tag, the documents' texts file that earlier
// versions kept beside the index (the store holds them now), and what
// ended searches left while they made the store (RemoveEndedSearchStores).
// The files of a run that goes on stay.
void RemoveEndedRunFiles(const std::string& folder, const std::string& project,
                         BackgroundDeletion* deletion);

// The Search Module's hold on the name under which it makes a store file
// again (StoreFileWorkPath): the file is created and locked before the
// store is written into it, so that a search killed meanwhile leaves a
// file whose lock is free, which the next one to make a store there
// removes.
class SearchStoreWork {
 public:
  SearchStoreWork() = default;
  // Release().
  ~SearchStoreWork();
  SearchStoreWork(const SearchStoreWork&) = delete;
  SearchStoreWork& operator=(const SearchStoreWork&) = delete;

  // Removes the leftovers of ended searches beside store_path, then
  // creates work_path and locks it. Failed: it could not be created or
  // locked (the store's writer then tells why when it tries itself).
  Status Claim(const std::string& store_path, const std::string& work_path);
  // Gives up the lock; removes the work file when it is still there (the
  // store was not published from it).
  void Release();

 private:
  std::string work_path_;
  int fd_ = -1;
};

// Removes the files under which searches that have ended were making the
// store file store_path: those whose lock is free and whose process is
// gone. Those of running searches stay.
void RemoveEndedSearchStores(const std::string& store_path);

}  // namespace orvane
