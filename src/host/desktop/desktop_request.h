#pragma once
// What the desktop command hands the window. No GTK here: the command is built everywhere, the
// window only where GTK 4 is.
#include <functional>
#include <string>

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

struct DesktopRequest {
  HostSettings host;
  bool watch = true;       // reload when the snapshot changes
  std::string screenshot;  // non-empty: save the first frame as this PNG and exit
};

// Runs the window until it is closed or the process is told to stop; returns the exit code.
using DesktopRunner = std::function<int(const DesktopRequest&)>;

}  // namespace korvel::host
