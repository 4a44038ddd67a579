#include "faces/faces.h"

namespace korvel {

// Placeholder until the face is drawn: its header over an empty body.
ui::View volumeView(const WeekSnapshot& /*s*/, WeekFaceSize /*size*/, const FaceHeader& h) {
  return ui::vstack(ui::HAlign::leading, 0, {header(h), ui::spacer(0)});
}

}  // namespace korvel
