#pragma once
// The eight faces drawn over a snapshot. WeekFaceView picks one by kind and hands it a finished
// header; each face lays out its own record for the size it is given.
#include "faces/face_header.h"
#include "faces/face_kind.h"
#include "snapshot/records.h"
#include "ui/view.h"

namespace korvel {

ui::View autonomyView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h);
ui::View outcomesView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h);
ui::View receiptView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h);
ui::View rhythmView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h);
ui::View volumeView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h);
ui::View limitsView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h);
ui::View nowView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h);
// Offered in the large size only.
ui::View weekAtAGlance(const WeekSnapshot& s, const FaceHeader& h);

}  // namespace korvel
