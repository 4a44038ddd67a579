#pragma once
// korvel-widgets desktop: a GTK 4 window with the placed widgets side by side at their point
// sizes, drawn with Cairo from the same display lists as every other output, in the desktop's
// appearance, kept current by the same timeline rules as the player.
#include "host/player/desktop_request.h"

namespace korvel::host {

int runDesktopWindow(const DesktopRequest& request);

}  // namespace korvel::host
