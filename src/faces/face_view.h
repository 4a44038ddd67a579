#pragma once
// Every widget draws one WeekFaceView: the empty face without a snapshot, the off face while the
// companion is off (except for limits), otherwise the kind's face under a header filled in here.
#include <optional>

#include "faces/face_header.h"
#include "faces/face_kind.h"
#include "faces/time_format.h"
#include "snapshot/records.h"
#include "ui/view.h"

namespace korvel {

enum class FaceChoice { empty, off, kind };

// Which of the ten views a widget of `kind` draws for `snapshot`.
FaceChoice chooseFace(WeekFaceKind kind, const WeekSnapshot* snapshot);

// True when `now` lies strictly more than staleAfterSeconds after the generation time; a
// generation time in the future is never stale.
bool isStale(const WeekSnapshot& snapshot, double now);

// The header of the kind's face: title and trailing text by kind and size, the time and the
// staleness words only from medium up, the stale moment whenever the data is stale.
FaceHeader faceHeader(WeekFaceKind kind, WeekFaceSize size, const WeekSnapshot& snapshot,
                      WeekPlace place, double now, const TimeFormat& format);

struct WeekFaceView {
  WeekFaceKind kind = WeekFaceKind::week;
  WeekFaceSize size = WeekFaceSize::large;
  std::optional<WeekSnapshot> snapshot;
  WeekPlace place = WeekPlace::mac;
  double now = 0;  // the entry's date: views never read the clock
  // The user's locale and zone for the header's dates (en_US, UTC unless the host says otherwise).
  TimeFormat format;

  // The snapshot's generation time in seconds, fractions included; none without a snapshot.
  std::optional<double> generationTime() const;
  bool isStale() const;

  // The chosen view, offered the whole content area and placed at its top-leading corner,
  // drawing in ink unless a view sets its own colour.
  ui::View view() const;
};

}  // namespace korvel
