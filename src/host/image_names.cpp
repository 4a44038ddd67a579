#include "host/image_names.h"

namespace korvel::host {

std::string widgetImageName(std::string_view face, std::string_view family,
                            std::string_view appearance) {
  return std::string(face) + "-" + std::string(family) + "-" + std::string(appearance) + ".png";
}

std::string widgetImageName(std::string_view face, std::string_view family) {
  return std::string(face) + "-" + std::string(family) + ".png";
}

}  // namespace korvel::host
