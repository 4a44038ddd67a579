#pragma once
// The configuration file of play and desktop, widgets.ini: an INI file with the placements in
// [placements] and the defaults of the command-line options in [settings].
//
//     # comments start with # or ;
//     [settings]
//     snapshot=~/Sync/korvel/week.json
//     output=~/.cache/korvel-widgets
//     appearance=dark
//     scale=2
//
//     [placements]
//     place=korvel.week.limits:systemMedium;korvel.week.now:systemSmall
//
// One file may sit in the user's configuration folder and one in each system folder of the
// base-directory rules; a key set in a more important file wins over the same key in a less
// important one.
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "faces/time_format.h"

namespace korvel::host {

// $XDG_CONFIG_HOME (else ~/.config), then each folder of $XDG_CONFIG_DIRS (else /etc/xdg), each
// with korvel-widgets/widgets.ini appended: most important first. Relative folders are skipped,
// as the base-directory rules ask.
std::vector<std::filesystem::path> configFilePaths(const EnvLookup& env);

// A value and where it was set ("FILE:LINE"), for messages.
struct ConfigValue {
  std::string value;
  std::string where;
};

struct ConfigFile {
  std::vector<std::filesystem::path> read;     // the files found, most important first
  std::map<std::string, ConfigValue> values;   // by "group.key", e.g. "settings.scale"
  std::vector<std::string> warnings;           // unknown groups and keys

  const ConfigValue* find(std::string_view key) const;
};

// Reads those of `files` (most important first) that exist. A missing file is not an error; an
// unreadable file (where: the file) or a bad line (where: "FILE:LINE") is, and ends the reading.
Result<ConfigFile> readConfigFiles(const std::vector<std::filesystem::path>& files);

// `value` split at semicolons, each item trimmed, empty items dropped.
std::vector<std::string> splitList(std::string_view value);

// A path of the configuration file: absolute, or starting with ~/ (the home folder). Empty when
// it is neither, or when ~ is used and no home folder is known.
std::filesystem::path configPath(std::string_view value, const EnvLookup& env);

}  // namespace korvel::host
