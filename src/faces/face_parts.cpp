#include "faces/face_parts.h"

namespace korvel {

ui::View faceLayout(const FaceHeader& h, std::vector<ui::View> body) {
  body.insert(body.begin(), header(h));
  return ui::vstack(ui::HAlign::leading, 0, std::move(body));
}

}  // namespace korvel
