#pragma once
// Drawn instead of every face but limits while the companion reports that it is switched off:
// the mark, the companion's headline and hint, and a call to turn it on.
#include "faces/face_kind.h"
#include "snapshot/records.h"
#include "ui/view.h"

namespace korvel {

ui::View offFace(const WeekSnapshot& snapshot, WeekFaceSize size);

}  // namespace korvel
