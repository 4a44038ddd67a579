#pragma once
// What the desktop command hands the window. No GTK here: the command is built everywhere, the
// window only where GTK 4 is.
#include <functional>
#include <string>

#include "host/player/host_options.h"

namespace korvel::host {

struct DesktopRequest {
  HostSettings host;
  bool watch = true;       // reload when the snapshot changes
  std::string screenshot;  // non-empty: save the first frame as this PNG and exit
};

// Runs the window until it is closed or the process is told to stop; returns the exit code.
using DesktopRunner = std::function<int(const DesktopRequest&)>;

}  // namespace korvel::host
