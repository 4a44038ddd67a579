#pragma once
// korvel-widgets desktop on compositors with layer-shell: each placed widget a surface of its
// own on the desktop's layer, painted by our renderer into shared memory at the output's scale,
// kept current by the player's timeline rules, asleep while nothing is due.
#include "host/player/desktop_request.h"

namespace korvel::host {

// The exit code once stopped (SIGINT, SIGTERM: 0; the compositor gone: 1), or why there is no
// layer-shell to draw on.
std::variant<int, std::string> runLayerHost(const DesktopRequest& request);

}  // namespace korvel::host
