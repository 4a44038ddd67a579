#pragma once
// The platform lookups of the Linux host.
//  - group folder: the directory named by KORVEL_GROUP_CONTAINER when set and not empty, else
//    $XDG_DATA_HOME/korvel (~/.local/share/korvel), so there always is one;
//  - home folder: $HOME, else the password database;
//  - bundle information: "KorvelChannel" is the build-time setting KORVEL_CHANNEL (empty means
//    no value); there are no other keys.
#include "snapshot/loading.h"

namespace korvel::host {

class LinuxPlatformLookups final : public PlatformLookups {
 public:
  std::optional<std::filesystem::path> groupContainer(
      std::string_view groupIdentifier) const override;
  std::filesystem::path homeFolder() const override;
  std::optional<BundleValue> bundleValue(std::string_view key) const override;

  // The KORVEL_CHANNEL this program was built with ("" when none).
  static std::string_view buildChannel();
};

// The running program's platform, as Foundation's default file manager and main bundle are on
// the original system; the host hands it to whatever reads the snapshot.
const PlatformLookups& platformLookups();

}  // namespace korvel::host
