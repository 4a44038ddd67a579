#include "host/player/player.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include "host/cli/gallery_command.h"
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

}  // namespace

std::string lockOutputDir(const fs::path& dir, int& lockFd) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return "cannot lock the output folder " + dir.string() + ": " + std::strerror(errno);
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    lockFd = fd;
    return {};
  }
  const int error = errno;
  struct stat st {};
  const std::string holder = ::fstat(fd, &st) == 0 ? lockHolder(st) : std::string();
  ::close(fd);
  if (error != EWOULDBLOCK) {
    return "cannot lock the output folder " + dir.string() + ": " + std::strerror(error);
  }
  return "another player (" + (holder.empty() ? std::string("process unknown") : "process " + holder) +
         ") writes into " + dir.string() + "; give each player its own folder";
}

std::string stableImageName(const Placement& placement) {
  return std::string(rawValue(placement.face())) + "-" +
         std::string(familyName(placement.family)) + ".png";
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

std::string prepareOutputDir(const fs::path& dir) {
  if (dir.empty()) return "no output folder given (-o DIR)";
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec || !fs::is_directory(dir, ec)) {
    return "cannot use " + dir.string() + " as the output folder: " +
           (ec ? ec.message() : std::string("not a folder"));
  }
  // Permission bits do not tell (root, read-only mounts, ACLs): write a file and take it back.
  std::string probe = (dir / ".korvel-widgets-XXXXXX").string();
  const int fd = mkstemp(probe.data());
  if (fd < 0) {
    return "cannot write into the output folder " + dir.string() + ": " + std::strerror(errno);
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
  std::string error;
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
    const std::string file =
        galleryImageName(rawValue(placement.face()), familyName(placement.family), name(appearance));
    const std::string stable = stableImageName(placement);
    const RenderResult png = renderLaidOut(laidOut, request);
    std::string failure = png.ok() ? writeOutputFile((settings_.outputDir / file).string(),
                                                         png.bytes)
                                   : file + ": " + png.error;
    if (failure.empty()) {
      failure = writeOutputFile((settings_.outputDir / stable).string(), png.bytes);
    }
    if (!failure.empty()) {
      if (error.empty()) error = std::move(failure);
      continue;
    }
    ++stats_.filesWritten;
    files.insert(file);
    files.insert(stable);
    drawn.push_back(DrawnWidget{placement, appearance, file, laidOut.widget.label,
                                laidOut.widget.url, laidOut.widget.size.width,
                                laidOut.widget.size.height, stable});
  }

  if (error.empty()) {
    error = writeOutputFile((settings_.outputDir / "index.json").string(),
                                indexJson(drawn, entry.date, settings_.scale,
                                          entry.snapshot.has_value()));
  }
  shown_ = index;
  shownIn_ = appearance;
  if (!error.empty()) {
    ++stats_.failures;
    if (error != lastError_) say("play: " + error);
    lastError_ = error;
    return false;
  }
  if (!lastError_.empty()) {
    say("play: writing again into " + settings_.outputDir.string());
    lastError_.clear();
  }

  // The index names the new files now: take away what it no longer lists, and the other
  // appearance's pictures of these placements (an earlier run may have left them).
  for (const std::string& old : written_) {
    if (!files.count(old)) removeQuietly(settings_.outputDir / old);
  }
  for (const Placement& placement : settings_.placements) {
    for (const Appearance other : {Appearance::light, Appearance::dark}) {
      if (other == appearance) continue;
      removeQuietly(settings_.outputDir / galleryImageName(rawValue(placement.face()),
                                                           familyName(placement.family),
                                                           name(other)));
    }
  }
  written_ = std::move(files);
  ++stats_.draws;
  return true;
}

}  // namespace korvel::host
