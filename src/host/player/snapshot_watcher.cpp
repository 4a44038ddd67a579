#include "host/player/snapshot_watcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace korvel::host {

namespace {

namespace fs = std::filesystem;

// In the snapshot's folder: every way the file can come, change or go. IN_MODIFY catches a
// writer that keeps the file open; the player's debounce folds the burst into one reload.
constexpr std::uint32_t kFolderMask = IN_CREATE | IN_CLOSE_WRITE | IN_MODIFY | IN_MOVED_TO |
                                      IN_MOVED_FROM | IN_DELETE | IN_ATTRIB | IN_DELETE_SELF |
                                      IN_MOVE_SELF | IN_ONLYDIR;
// In an ancestor: only the folders on the way down appearing, or the ancestor going away.
constexpr std::uint32_t kAncestorMask =
    IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

bool isDirectory(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

}  // namespace

SnapshotWatcher::SnapshotWatcher(fs::path file) {
  std::error_code ec;
  fs::path absolute = fs::absolute(file, ec);
  if (ec) absolute = file;
  absolute = absolute.lexically_normal();
  folder_ = absolute.parent_path();
  name_ = absolute.filename().string();
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) {
    error_ = Error{ErrorKind::unavailable, "", std::string("cannot watch for snapshot changes: ") + std::strerror(errno)};
    return;
  }
  arm();
  followLink();
}

SnapshotWatcher::~SnapshotWatcher() {
  if (fd_ >= 0) ::close(fd_);
}

bool SnapshotWatcher::arm() {
  if (wd_ >= 0) {
    inotify_rm_watch(fd_, wd_);
    wd_ = -1;
  }
  // Walk up to the nearest folder that exists; the root always does.
  fs::path target = folder_;
  while (!isDirectory(target) && target.has_parent_path() && target != target.parent_path()) {
    target = target.parent_path();
  }
  watchingFolder_ = target == folder_;
  wd_ = inotify_add_watch(fd_, target.c_str(), watchingFolder_ ? kFolderMask : kAncestorMask);
  if (wd_ < 0) {
    error_ = Error{ErrorKind::unavailable, "", "cannot watch " + target.string() + ": " + std::strerror(errno)};
    watched_.clear();
    return false;
  }
  error_.reset();
  watched_ = target;
  return watchingFolder_;
}

void SnapshotWatcher::followLink() {
  fs::path target = folder_ / name_;
  std::error_code ec;
  for (int hops = 0; hops < 40 && fs::is_symlink(target, ec); ++hops) {
    const fs::path to = fs::read_symlink(target, ec);
    if (ec) break;
    target = (to.is_absolute() ? to : target.parent_path() / to).lexically_normal();
  }
  if (target == folder_ / name_) target.clear();
  if (!target.empty() && !target_.empty() && target.parent_path() == target_.parent_path()) {
    target_ = target;  // the same folder: the watch stays
    return;
  }
  if (targetWd_ >= 0 && targetWd_ != wd_) inotify_rm_watch(fd_, targetWd_);
  targetWd_ = -1;
  target_ = target;
  if (!target.empty()) {
    targetWd_ = inotify_add_watch(fd_, target.parent_path().c_str(), kFolderMask);
  }
}

bool SnapshotWatcher::readEvents() {
  if (fd_ < 0) return false;
  bool changed = false;
  bool rearm = false;
  bool relink = false;
  alignas(inotify_event) char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;  // EAGAIN: drained
    }
    if (n == 0) break;
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {  // events were lost: assume the worst
        changed = true;
        rearm = true;
        continue;
      }
      const std::string_view name = event->len ? std::string_view(event->name) : std::string_view();
      if (event->wd == targetWd_ && name == target_.filename().string()) changed = true;
      if (event->wd == targetWd_ && (event->mask & IN_IGNORED)) targetWd_ = -1;
      if (event->wd != wd_) continue;  // the target's folder, or an old watch's last words
      if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
        // The watched folder went away; so did the snapshot, if we were watching its folder.
        changed = changed || watchingFolder_;
        rearm = true;
        continue;
      }
      if (watchingFolder_) {
        if (name == name_) {
          changed = true;
          relink = true;  // the link may lead elsewhere now
        }
      } else if (event->mask & IN_ISDIR) {
        rearm = true;  // a folder on the way down may have appeared
      }
    }
  }
  if (rearm) {
    const bool wasWatchingFolder = watchingFolder_;
    // The folder may have been created with the file already in it (mkdir -p, then write)
    // before the new watch was in place: its appearance counts as a change.
    if (arm() && !wasWatchingFolder) changed = true;
  }
  if (rearm || relink) followLink();
  return changed;
}

std::unique_ptr<SnapshotWatcher> watchSnapshot(const fs::path& file, std::ostream& log,
                                               std::string_view who) {
  auto watcher = std::make_unique<SnapshotWatcher>(file);
  if (!watcher->error()) return watcher;
  log << who << ": " << watcher->error()->describe() << "; a new snapshot shows at the reload date\n";
  return nullptr;
}

}  // namespace korvel::host
