#include "host/player/config_file.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

namespace korvel::host {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRelative = "korvel-widgets/widgets.ini";

// The keys each group knows; anything else is reported and ignored.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kKnownKeys{{
    {"placements", "place"},
    {"settings", "snapshot"},
    {"settings", "output"},
    {"settings", "appearance"},
    {"settings", "scale"},
}};

std::string_view trimSpace(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

// The pieces of a list between its separators, empty ones included.
std::vector<std::string_view> pieces(std::string_view list, char separator) {
  std::vector<std::string_view> out;
  for (std::size_t start = 0; start <= list.size();) {
    const std::size_t end = std::min(list.find(separator, start), list.size());
    out.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

bool knownGroup(std::string_view group) {
  return std::any_of(kKnownKeys.begin(), kKnownKeys.end(),
                     [group](const auto& known) { return known.first == group; });
}

bool knownKey(std::string_view group, std::string_view key) {
  return std::find(kKnownKeys.begin(), kKnownKeys.end(), std::pair{group, key}) != kKnownKeys.end();
}

// Reads one file into `config`, its values replacing those already there.
Status readOne(const fs::path& file, ConfigFile& config) {
  std::error_code ec;
  const fs::file_status status = fs::status(file, ec);
  if (!fs::exists(status)) return {};
  const std::string name = file.string();
  std::ifstream in(file);
  if (fs::is_directory(status) || !in) {
    return Error{ErrorKind::unreadable, name,
                 fs::is_directory(status) ? "cannot be read (a folder)" : "cannot be read"};
  }
  config.read.insert(config.read.begin(), file);
  std::string group;
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    const std::string where = name + ":" + std::to_string(number);
    const std::string_view line = trimSpace(text);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    if (line.front() == '[' && line.back() == ']' && line.size() > 2) {
      group = trimSpace(line.substr(1, line.size() - 2));
      if (!knownGroup(group)) {
        config.warnings.push_back(where + ": ignoring the unknown group [" + group + "]");
      }
      continue;
    }
    const auto eq = line.find('=');
    const std::string_view key = eq == std::string_view::npos ? "" : trimSpace(line.substr(0, eq));
    if (key.empty()) {
      return Error{ErrorKind::malformed, where,
                   "neither a [group], a key=value nor a comment: " + std::string(line)};
    }
    if (group.empty()) {
      return Error{ErrorKind::malformed, where, std::string(key) + "= comes before any [group]"};
    }
    if (!knownKey(group, key)) {
      if (knownGroup(group)) {
        config.warnings.push_back(where + ": ignoring the unknown key " + std::string(key) +
                                  " in [" + group + "]");
      }
      continue;
    }
    config.values[group + "." + std::string(key)] =
        ConfigValue{std::string(trimSpace(line.substr(eq + 1))), where};
  }
  if (in.bad()) return Error{ErrorKind::unreadable, name, "cannot be read"};
  return {};
}

}  // namespace

std::vector<fs::path> configFilePaths(const EnvLookup& env) {
  std::vector<fs::path> files;
  if (const char* xdg = env("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    files.push_back(fs::path(xdg) / kRelative);
  } else if (const char* home = env("HOME"); home && *home) {
    files.push_back(fs::path(home) / ".config" / kRelative);
  }
  const char* dirs = env("XDG_CONFIG_DIRS");
  const std::string_view list = dirs && *dirs ? dirs : "/etc/xdg";
  for (const std::string_view dir : pieces(list, ':')) {
    if (dir.starts_with('/')) files.push_back(fs::path(dir) / kRelative);
  }
  return files;
}

const ConfigValue* ConfigFile::find(std::string_view key) const {
  const auto it = values.find(std::string(key));
  return it == values.end() ? nullptr : &it->second;
}

Result<ConfigFile> readConfigFiles(const std::vector<fs::path>& files) {
  ConfigFile config;
  // The least important first, so that each more important file replaces what it sets.
  for (auto it = files.rbegin(); it != files.rend(); ++it) {
    if (auto status = readOne(*it, config); auto* error = std::get_if<Error>(&status)) {
      return std::move(*error);
    }
  }
  return config;
}

std::vector<std::string> splitList(std::string_view value) {
  std::vector<std::string> items;
  for (const std::string_view piece : pieces(value, ';')) {
    if (const std::string_view item = trimSpace(piece); !item.empty()) items.emplace_back(item);
  }
  return items;
}

fs::path configPath(std::string_view value, const EnvLookup& env) {
  if (value.starts_with('/')) return fs::path(value);
  const char* home = env("HOME");
  if (value.starts_with("~/") && home && *home == '/') return fs::path(home) / value.substr(2);
  return {};
}

}  // namespace korvel::host
