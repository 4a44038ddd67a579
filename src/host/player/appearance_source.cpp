#include "host/player/appearance_source.h"

#include "host/player/portal_appearance.h"

namespace korvel::host {

std::optional<AppearanceMode> appearanceModeFromName(std::string_view name) {
  if (name == "light") return AppearanceMode::light;
  if (name == "dark") return AppearanceMode::dark;
  if (name == "auto") return AppearanceMode::automatic;
  return std::nullopt;
}

std::unique_ptr<AppearanceSource> makeAppearanceSource(AppearanceMode mode) {
  switch (mode) {
    case AppearanceMode::light: return std::make_unique<FixedAppearance>(Appearance::light);
    case AppearanceMode::dark: return std::make_unique<FixedAppearance>(Appearance::dark);
    case AppearanceMode::automatic: break;
  }
  return std::make_unique<PortalAppearance>(sessionBusAddress());
}

}  // namespace korvel::host
