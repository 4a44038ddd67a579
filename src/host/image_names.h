#pragma once
// The names of the image files the host writes for a widget (gallery, player, window screenshots).
#include <string>
#include <string_view>

namespace korvel::host {

// "<face>-<family>-<appearance>.png", e.g. "limits-systemMedium-dark.png".
std::string widgetImageName(std::string_view face, std::string_view family,
                            std::string_view appearance);

}  // namespace korvel::host
