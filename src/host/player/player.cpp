#include "host/player/player.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include "host/image_names.h"
#include "host/output_file.h"
#include "host/render/render_widget.h"
#include "base/json_writer.h"

namespace korvel::host {

namespace {

namespace fs = std::filesystem;

void removeQuietly(const fs::path& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

// The process holding a lock on the file `st` describes, from the kernel's table of locks;
// empty when it does not say.
std::string lockHolder(const struct stat& st) {
  char device[64];
  std::snprintf(device, sizeof device, " %02x:%02x:%llu ", major(st.st_dev), minor(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    const auto at = line.find(device);
    if (at == std::string::npos || line.find("->") != std::string::npos) continue;
    const auto pid = line.rfind(' ', at - 1);
    if (pid != std::string::npos) return line.substr(pid + 1, at - pid - 1);
  }
  return {};
}

// The output folder's errors name the folder in their sentence, so they carry no place.
Error unwritable(std::string sentence) { return {ErrorKind::unwritable, "", std::move(sentence)}; }

// Draws a placement's picture under both its names; a drawing that fails is told by the first.
Status writePicture(const LaidOutWidget& laidOut, const RenderRequest& request,
                    const fs::path& folder, const std::array<std::string, 2>& names) {
  RenderResult png = renderLaidOut(laidOut, request);
  if (auto* error = std::get_if<Error>(&png)) {
    error->where = names[0];
    return std::move(*error);
  }
  for (const std::string& name : names) {
    Status written = writeOutputFile(folder / name, std::get<std::string>(png));
    if (std::holds_alternative<Error>(written)) return written;
  }
  return {};
}

}  // namespace

Status lockOutputDir(const fs::path& dir, int& lockFd) {
  const auto cannotLock = [&dir](int errnum) {
    return unwritable("cannot lock the output folder " + dir.string() + ": " + std::strerror(errnum));
  };
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return cannotLock(errno);
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    lockFd = fd;
    return {};
  }
  const int error = errno;
  // Only a lock held elsewhere has a holder worth naming.
  struct stat st {};
  const std::string holder =
      error == EWOULDBLOCK && ::fstat(fd, &st) == 0 ? lockHolder(st) : std::string();
  ::close(fd);
  if (error != EWOULDBLOCK) return cannotLock(error);
  return unwritable("another player (" +
                    (holder.empty() ? std::string("process unknown") : "process " + holder) +
                    ") writes into " + dir.string() + "; give each player its own folder");
}

// Indented for people reading the folder; one placement per line.
std::string indexJson(const std::vector<DrawnWidget>& widgets, double entryDate, double scale,
                      bool hasSnapshot) {
  std::string out;
  json::Writer j(out);
  j.beginObject({.itemBreak = "\n  ", .closeBreak = "\n", .colon = ": "});
  j.member("entryDate", entryDate).member("snapshot", hasSnapshot).member("scale", scale);
  if (!widgets.empty()) j.member("appearance", name(widgets.front().appearance));  // one for all
  j.key("placements").beginArray({.itemBreak = "\n    ", .closeBreak = "\n  "});
  for (const DrawnWidget& w : widgets) {
    j.beginObject({.comma = ", ", .colon = ": "});
    j.member("kind", w.placement.widget->kind).member("face", rawValue(w.placement.face()));
    j.member("family", familyName(w.placement.family)).member("appearance", name(w.appearance));
    j.member("file", w.file).member("stableFile", w.stableFile);
    j.member("width", w.width).member("height", w.height);
    j.member("label", w.label).member("deepLink", w.url).endObject();
  }
  j.endArray().endObject();
  out += '\n';
  return out;
}

Status prepareOutputDir(const fs::path& dir) {
  if (dir.empty()) return Error{ErrorKind::usage, "", "no output folder given (-o DIR)"};
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec || !fs::is_directory(dir, ec)) {
    return unwritable("cannot use " + dir.string() + " as the output folder: " +
                      (ec ? ec.message() : std::string("not a folder")));
  }
  // Permission bits do not tell (root, read-only mounts, ACLs): write a file and take it back.
  std::string probe = (dir / ".korvel-widgets-XXXXXX").string();
  const int fd = mkstemp(probe.data());
  if (fd < 0) {
    return unwritable("cannot write into the output folder " + dir.string() + ": " +
                      std::strerror(errno));
  }
  ::close(fd);
  ::unlink(probe.c_str());
  return {};
}

Player::Player(PlayerSettings settings, const WeekProvider& provider, PlayerClock& clock,
               AppearanceSource& appearance, std::ostream& log)
    : settings_(std::move(settings)),
      clock_(clock),
      appearance_(appearance),
      log_(log),
      schedule_(provider) {}

std::optional<double> Player::nextDeadline(double now) const {
  std::optional<double> next = schedule_.nextDeadline(now);
  if (retryAt_ && (!next || *retryAt_ < *next)) next = retryAt_;
  return next;
}

int Player::run() {
  for (;;) {
    const double now = clock_.now();
    if (schedule_.update(now)) {
      ++stats_.timelines;
      shown_.reset();
    }

    const std::size_t index = schedule_.currentIndex(now);
    const Appearance appearance = appearance_.current();
    const bool retry = retryAt_ && now >= *retryAt_ - kDueSlack;
    if (shown_ != index || shownIn_ != appearance || retry) {
      retryAt_.reset();
      const bool ok = draw(index, appearance);
      if (clock_.stopRequested()) return ok || !settings_.once ? 0 : 1;
      if (!ok) retryAt_ = clock_.now() + kRetryDelay;
      if (settings_.once) return ok ? 0 : 1;
    } else if (settings_.once) {
      return 0;
    }

    const Wake wake = clock_.sleepUntil(nextDeadline(clock_.now()));
    ++stats_.wakeUps;
    if (wake.stop) return 0;
    if (wake.reload) {
      say("play: SIGHUP: reading the configuration and the snapshot again");
      if (settings_.reloadPlacements) {
        if (auto placements = settings_.reloadPlacements()) settings_.placements = std::move(*placements);
      }
      shown_.reset();
    }
    if (wake.snapshot || wake.reload) schedule_.snapshotChanged(clock_.now());
    // The appearance and the clock are read afresh at the top of the loop.
  }
}

void Player::say(const std::string& line) {
  log_.clear();
  log_ << line << '\n' << std::flush;
  log_.clear();
}

bool Player::draw(std::size_t index, Appearance appearance) {
  const WeekEntry& entry = schedule_.entry(index);
  std::vector<DrawnWidget> drawn;
  std::set<std::string> files;
  std::optional<Error> error;  // the first of this drawing
  // The folder may have been taken away since the last drawing: make it again.
  std::error_code ignored;
  fs::create_directories(settings_.outputDir, ignored);
  for (const Placement& placement : settings_.placements) {
    // Finish the file in flight, start no other.
    if (clock_.stopRequested()) return false;
    RenderRequest request;
    request.kind = placement.face();
    request.family = placement.family;
    request.entry = entry;
    request.appearance = appearance;
    request.scale = settings_.scale;
    request.format = RenderFormat::png;
    request.timeFormat = settings_.timeFormat;
    request.measurer = settings_.measurer;
    const LaidOutWidget laidOut = layoutWidget(request);
    const std::string_view face = rawValue(placement.face()), family = familyName(placement.family);
    const std::string file = widgetImageName(face, family, name(appearance));
    const std::string stable = widgetImageName(face, family);
    const Status written = writePicture(laidOut, request, settings_.outputDir, {file, stable});
    if (const auto* failed = std::get_if<Error>(&written)) {
      if (!error) error = *failed;
      continue;
    }
    ++stats_.filesWritten;
    files.insert(file);
    files.insert(stable);
    drawn.push_back(DrawnWidget{placement, appearance, file, laidOut.widget.label,
                                laidOut.widget.url, laidOut.widget.size.width,
                                laidOut.widget.size.height, stable});
  }

  if (!error) {
    Status listed = writeOutputFile(settings_.outputDir / "index.json",
                                    indexJson(drawn, entry.date, settings_.scale,
                                              entry.snapshot.has_value()));
    if (auto* failed = std::get_if<Error>(&listed)) error = std::move(*failed);
  }
  shown_ = index;
  shownIn_ = appearance;
  if (error) {
    ++stats_.failures;
    if (error != lastError_) say("play: " + error->describe());
    lastError_ = std::move(error);
    return false;
  }
  if (lastError_) {
    say("play: writing again into " + settings_.outputDir.string());
    lastError_.reset();
  }

  // The index names the new files now: take away what it no longer lists, and the other
  // appearance's pictures of these placements (an earlier run may have left them).
  for (const std::string& old : written_) {
    if (!files.count(old)) removeQuietly(settings_.outputDir / old);
  }
  for (const Placement& placement : settings_.placements) {
    for (const Appearance other : {Appearance::light, Appearance::dark}) {
      if (other == appearance) continue;
      removeQuietly(settings_.outputDir / widgetImageName(rawValue(placement.face()),
                                                           familyName(placement.family),
                                                           name(other)));
    }
  }
  written_ = std::move(files);
  ++stats_.draws;
  return true;
}

}  // namespace korvel::host
