#pragma once
// The names of the image files the host writes for a widget (gallery, player, window screenshots).
#include <string>
#include <string_view>

namespace korvel::host {

// "<face>-<family>-<appearance>.png", e.g. "limits-systemMedium-dark.png".
std::string widgetImageName(std::string_view face, std::string_view family,
                            std::string_view appearance);

// "<face>-<family>.png": the player's picture in whichever appearance is current, one name for
// a bar or a conky to show.
std::string widgetImageName(std::string_view face, std::string_view family);

}  // namespace korvel::host
