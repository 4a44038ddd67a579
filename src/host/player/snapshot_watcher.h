#pragma once
// Tells when the snapshot file may have changed: created, replaced (renamed over), written,
// or removed. Watches the file's folder with inotify; while that folder does not exist, the
// nearest existing ancestor, moving down as the missing folders appear. When the snapshot is a
// symbolic link, the folder of the file it leads to is watched too, and follows the link when
// it is pointed elsewhere.
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "base/error.h"

namespace korvel::host {

class SnapshotWatcher {
 public:
  explicit SnapshotWatcher(std::filesystem::path file);
  ~SnapshotWatcher();
  SnapshotWatcher(const SnapshotWatcher&) = delete;
  SnapshotWatcher& operator=(const SnapshotWatcher&) = delete;

  // Nothing when watching works; else why not (the player then runs on entry and reload dates).
  const std::optional<Error>& error() const { return error_; }

  // Readable when events are waiting; -1 when watching failed.
  int fd() const { return fd_; }

  // Reads every waiting event without blocking; true when one concerns the snapshot.
  bool readEvents();

  // The folder being watched now (the snapshot's, or an ancestor while it is missing).
  const std::filesystem::path& watchedFolder() const { return watched_; }

 private:
  // Watches the snapshot's folder or its nearest existing ancestor; true when that is the
  // snapshot's folder itself.
  bool arm();
  // Watches the folder of the file the snapshot's link leads to (none when it is no link).
  void followLink();

  std::filesystem::path folder_;
  std::string name_;
  std::filesystem::path watched_;
  int fd_ = -1;
  int wd_ = -1;
  bool watchingFolder_ = false;
  std::filesystem::path target_;  // where the link leads; empty when the snapshot is no link
  int targetWd_ = -1;             // wd_ itself when the target lies in the snapshot's folder
  std::optional<Error> error_;
};

// A watcher of `file`, or none when watching does not work, said on `log` after `who`: the
// widgets then show a new snapshot at the reload date.
std::unique_ptr<SnapshotWatcher> watchSnapshot(const std::filesystem::path& file, std::ostream& log,
                                               std::string_view who);

}  // namespace korvel::host
