#include "faces/face_view.h"

#include "faces/empty_face.h"
#include "faces/faces.h"
#include "faces/off_face.h"
#include "kit/palette.h"
#include "snapshot/generation_time.h"

namespace korvel {
namespace {

struct Titles {
  const std::string& title;
  const std::string& trailing;
};

Titles titles(WeekFaceKind kind, WeekFaceSize size, const WeekSnapshot& s) {
  static const std::string none;
  const bool small = size == WeekFaceSize::small;
  const std::string& period = small ? none : s.period;
  switch (kind) {
    case WeekFaceKind::autonomy: return {s.autonomy.title, period};
    case WeekFaceKind::outcomes: return {s.outcomes.title, period};
    case WeekFaceKind::receipt: return {small ? s.receipt.title : s.receipt.longTitle, period};
    case WeekFaceKind::rhythm: return {small ? s.rhythm.title : s.rhythm.longTitle, period};
    case WeekFaceKind::volume: return {small ? s.volume.title : s.volume.longTitle, period};
    case WeekFaceKind::limits: return {s.limits.title, small ? none : s.words.now};
    case WeekFaceKind::now: return {small ? s.now.title : s.now.longTitle, none};
    case WeekFaceKind::week: return {s.period, none};
  }
  return {s.period, none};
}

// The one place that maps a kind to its face.
ui::View kindFace(WeekFaceKind kind, const WeekSnapshot& s, WeekFaceSize size,
                  const FaceHeader& h) {
  switch (kind) {
    case WeekFaceKind::autonomy: return autonomyView(s, size, h);
    case WeekFaceKind::outcomes: return outcomesView(s, size, h);
    case WeekFaceKind::receipt: return receiptView(s, size, h);
    case WeekFaceKind::rhythm: return rhythmView(s, size, h);
    case WeekFaceKind::volume: return volumeView(s, size, h);
    case WeekFaceKind::limits: return limitsView(s, size, h);
    case WeekFaceKind::now: return nowView(s, size, h);
    case WeekFaceKind::week: return weekAtAGlance(s, h);
  }
  return weekAtAGlance(s, h);
}

}  // namespace

FaceChoice chooseFace(WeekFaceKind kind, const WeekSnapshot* snapshot) {
  if (!snapshot) return FaceChoice::empty;
  // Limits is the one face that stays up while the companion is off.
  if (snapshot->off && kind != WeekFaceKind::limits) return FaceChoice::off;
  return FaceChoice::kind;
}

bool isStale(const WeekSnapshot& snapshot, double now) {
  return now - generationTime(snapshot) > staleAfterSeconds;
}

FaceHeader faceHeader(WeekFaceKind kind, WeekFaceSize size, const WeekSnapshot& snapshot,
                      WeekPlace place, double now, const TimeFormat& format) {
  const bool small = size == WeekFaceSize::small;
  const double generated = generationTime(snapshot);
  const Titles t = titles(kind, size, snapshot);
  FaceHeader h{.title = t.title, .trailing = t.trailing, .asOf = now, .format = format};
  if (!small) {
    h.time = generated;
    h.staleWords = place == WeekPlace::mac ? snapshot.words.appClosed : snapshot.words.macAway;
  }
  if (isStale(snapshot, now)) h.staleSince = generated;
  return h;
}

std::optional<double> WeekFaceView::generationTime() const {
  if (!snapshot) return std::nullopt;
  return korvel::generationTime(*snapshot);
}

bool WeekFaceView::isStale() const { return snapshot && korvel::isStale(*snapshot, now); }

ui::View WeekFaceView::view() const {
  ui::View face;
  switch (chooseFace(kind, snapshot ? &*snapshot : nullptr)) {
    case FaceChoice::empty: face = emptyFace(place); break;
    case FaceChoice::off: face = offFace(*snapshot, size); break;
    case FaceChoice::kind:
      face = kindFace(kind, *snapshot, size,
                      faceHeader(kind, size, *snapshot, place, now, format));
      break;
  }
  ui::FlexFrame whole;
  whole.maxWidth = ui::kInfinity;
  whole.maxHeight = ui::kInfinity;
  whole.alignment = ui::topLeading;
  return face.frame(whole).foreground(ink);
}

}  // namespace korvel
