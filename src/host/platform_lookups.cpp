#include "host/platform_lookups.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#ifndef KORVEL_CHANNEL
#define KORVEL_CHANNEL ""
#endif

namespace korvel::host {

std::optional<std::filesystem::path> LinuxPlatformLookups::groupContainer(
    std::string_view groupIdentifier) const {
  // The host knows one group only: the snapshot's.
  if (groupIdentifier != snapshotGroupIdentifier) return std::nullopt;
  if (const char* dir = std::getenv("KORVEL_GROUP_CONTAINER"); dir && *dir) return dir;
  // The companion's data folder on a Linux desktop; a relative XDG_DATA_HOME is ignored, as the
  // base-directory rules ask.
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
    return std::filesystem::path(data) / "korvel";
  }
  return homeFolder() / ".local/share/korvel";
}

std::filesystem::path LinuxPlatformLookups::homeFolder() const {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  // getpwuid_r rather than getpwuid: the provider may be asked on several threads at once.
  long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && *found->pw_dir) {
    return found->pw_dir;
  }
  return "/";  // no home at all: a path that holds no snapshot, rather than the working folder
}

std::string_view LinuxPlatformLookups::buildChannel() { return KORVEL_CHANNEL; }

std::optional<BundleValue> LinuxPlatformLookups::bundleValue(std::string_view key) const {
  const std::string_view channel = buildChannel();
  if (key != channelKey || channel.empty()) return std::nullopt;
  return BundleValue{std::string(channel)};
}

const PlatformLookups& platformLookups() {
  static const LinuxPlatformLookups lookups;  // stateless: every call asks afresh
  return lookups;
}

}  // namespace korvel::host
