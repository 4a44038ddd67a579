#pragma once
// Drawn when no snapshot could be loaded (also the gallery's placeholder): the mark and one
// sentence asking the user to open or connect the companion.
#include <string>

#include "faces/face_kind.h"
#include "ui/view.h"

namespace korvel {

// The localised message for where the widget is placed.
std::string emptyFaceMessage(WeekPlace place);

ui::View emptyFace(WeekPlace place);

}  // namespace korvel
