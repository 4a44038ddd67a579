#pragma once
// What the desktop command hands the window. No GTK here: the command is built everywhere, the
// window only where GTK 4 is.
#include <functional>
#include <string>
#include <variant>

#include "host/player/host_options.h"
#include "kit/palette.h"

namespace korvel::host {

// Space between the widgets and around them in the window, in points.
inline constexpr int kDesktopGap = 20;

// The window's background around the widgets: a shade darker than the widgets' paper in either
// appearance, so their rounded edges show without a shadow.
constexpr Rgba desktopBackground(Appearance appearance) {
  return appearance == Appearance::dark ? Rgba{0.043, 0.071, 0.051, 1}
                                        : Rgba{0.831, 0.855, 0.812, 1};
}

// What the widgets are shown on: layer surfaces where the compositor offers layer-shell, else
// the window; or either one, forced.
enum class SurfaceChoice { automatic, layer, window };

// The layer-shell layer the widgets' surfaces sit on, from the bottom-most.
enum class DesktopLayer { background, bottom, top };

struct DesktopRequest {
  HostSettings host;
  bool watch = true;       // reload when the snapshot changes
  std::string screenshot;  // non-empty: save the first frame as this PNG and exit
  SurfaceChoice surface = SurfaceChoice::automatic;
  DesktopLayer layer = DesktopLayer::bottom;
};

// Runs the window until it is closed or the process is told to stop; returns the exit code.
using DesktopRunner = std::function<int(const DesktopRequest&)>;

// Runs the widgets as layer surfaces until the process is told to stop and returns the exit
// code; or, having shown nothing, says why there is no layer-shell here (no Wayland display,
// a compositor without it), so that the window can take over.
using LayerRunner = std::function<std::variant<int, std::string>(const DesktopRequest&)>;

}  // namespace korvel::host
