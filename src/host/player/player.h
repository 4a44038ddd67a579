#pragma once
// The timeline player: asks the provider for a timeline, draws every placed widget's current
// entry to DIR/<face>-<family>-<appearance>.png (and the same picture to DIR/<face>-<family>.png,
// whatever the appearance) and DIR/index.json, draws again at each later
// entry's date and when the appearance changes, and asks for a new timeline after the reload
// date or shortly after the snapshot file changed. Between those moments it sleeps.
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "base/error.h"
#include "faces/time_format.h"
#include "host/player/appearance_source.h"
#include "host/player/placements.h"
#include "host/player/player_clock.h"
#include "host/player/timeline_schedule.h"
#include "kit/palette.h"
#include "ui/text_measurer.h"
#include "widgets/week_provider.h"

namespace korvel::host {

// A draw that failed (disk full, folder removed) is tried again after this long.
inline constexpr double kRetryDelay = 10.0;

struct PlayerSettings {
  std::vector<Placement> placements;
  std::filesystem::path outputDir;
  double scale = 2;
  bool once = false;
  TimeFormat timeFormat;
  const ui::TextMeasurer* measurer = nullptr;  // none: the process's Pango measurer
  // Reads the placements again on SIGHUP; nothing (the reason already told) keeps the old ones.
  // None: the placements never change.
  std::function<std::optional<std::vector<Placement>>()> reloadPlacements;
};

// What the player did, for tests and the soak driver.
struct PlayerStats {
  long timelines = 0;   // getTimeline calls
  long draws = 0;       // times every placed widget was drawn
  long filesWritten = 0;
  long wakeUps = 0;     // sleeps that ended
  long failures = 0;    // draws that could not write a file
};

// One widget as the index lists it.
struct DrawnWidget {
  Placement placement;
  Appearance appearance = Appearance::light;
  std::string file;  // name inside the output folder
  std::string label;
  std::string url;
  double width = 0, height = 0;  // points
  // The same picture under a name without the appearance, so that a bar or a conky names one
  // file whatever the theme: <face>-<family>.png.
  std::string stableFile;
};

// The index.json text for one drawing.
std::string indexJson(const std::vector<DrawnWidget>& widgets, double entryDate, double scale,
                      bool hasSnapshot);

// Creates the output folder when missing and proves it writable by writing a file into it.
Status prepareOutputDir(const std::filesystem::path& dir);

// Takes an exclusive lock on the output folder, held until `lockFd` is closed, so that two
// players never take away each other's pictures. The error names the process that holds the
// lock when the system tells.
Status lockOutputDir(const std::filesystem::path& dir, int& lockFd);

class Player {
 public:
  // Everything passed by reference must outlive the player.
  Player(PlayerSettings settings, const WeekProvider& provider, PlayerClock& clock,
         AppearanceSource& appearance, std::ostream& log);

  // Plays until a stop is asked for (0), or with `once` draws the current entries and returns
  // (0, or 1 when a file could not be written).
  int run();

  const PlayerStats& stats() const { return stats_; }

 private:
  // Draws entry `index` of the timeline in `appearance`. False when stopped half-way or a file
  // could not be written.
  bool draw(std::size_t index, Appearance appearance);
  std::optional<double> nextDeadline(double now) const;
  // One line of the log. A log that cannot be written (a closed pipe, a full disk) loses the
  // line and nothing else.
  void say(const std::string& line);

  PlayerSettings settings_;
  PlayerClock& clock_;
  AppearanceSource& appearance_;
  std::ostream& log_;

  TimelineSchedule schedule_;
  std::optional<std::size_t> shown_;      // entry drawn from the current timeline
  std::optional<Appearance> shownIn_;
  std::optional<double> retryAt_;
  std::set<std::string> written_;         // files of this run that the index lists
  std::optional<Error> lastError_;  // told once, until a drawing succeeds
  PlayerStats stats_;
};

}  // namespace korvel::host
