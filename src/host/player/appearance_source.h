#pragma once
// Where the host's appearance comes from: fixed by the user, or the desktop's colour scheme.
#include <memory>
#include <optional>
#include <string_view>

#include "kit/palette.h"

namespace korvel::host {

class AppearanceSource {
 public:
  virtual ~AppearanceSource() = default;

  // The appearance to draw in now.
  virtual Appearance current() = 0;

  // Readable when current() may have changed; -1 for a source that never changes.
  virtual int changeFd() const { return -1; }

  // Empties changeFd() once its news has been taken.
  virtual void acknowledge() {}
};

class FixedAppearance final : public AppearanceSource {
 public:
  explicit FixedAppearance(Appearance appearance) : appearance_(appearance) {}
  Appearance current() override { return appearance_; }

 private:
  Appearance appearance_;
};

// --appearance: light, dark, or auto (follow the desktop).
enum class AppearanceMode { light, dark, automatic };

std::optional<AppearanceMode> appearanceModeFromName(std::string_view name);

// A fixed source for light and dark; for auto, the desktop's colour scheme through the settings
// portal, light where there is no session bus or no portal.
std::unique_ptr<AppearanceSource> makeAppearanceSource(AppearanceMode mode);

}  // namespace korvel::host
