#include "host/image_names.h"

namespace korvel::host {

std::string widgetImageName(std::string_view face, std::string_view family,
                            std::string_view appearance) {
  return std::string(face) + "-" + std::string(family) + "-" + std::string(appearance) + ".png";
}

}  // namespace korvel::host
