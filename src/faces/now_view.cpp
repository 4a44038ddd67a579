#include "faces/face_parts.h"
#include "faces/faces.h"
#include "kit/meter.h"
#include "kit/palette.h"
#include "kit/text_primitives.h"

namespace korvel {

namespace {

// Rows for the first `count` runs, identified by position.
std::vector<ui::View> runRows(const std::vector<WeekRun>& runs, std::size_t count) {
  return ui::forEach(std::min(count, runs.size()),
                     [&runs](std::size_t i) -> ui::View { return RunRow{runs[i]}; });
}

}  // namespace

ui::View nowView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h) {
  const NowFace& now = s.now;
  if (now.runs.empty()) {
    return faceLayout(h, {
        ui::text(now.empty)
            .font(size == WeekFaceSize::small ? 15 : 13, ui::Weight::semibold)
            .foreground(inkSoft)
            .lineLimit(3)
            .padding(ui::Edges::topOnly(), 12),
        ui::spacer(0),
    });
  }
  if (size == WeekFaceSize::small) {
    const bool nobodyWorking = now.count == "0";
    std::vector<ui::View> body;
    if (!nobodyWorking) body.push_back(Hero{now.count, now.unit, 32}.body().padding(ui::Edges::topOnly(), 8));
    body.push_back(ui::vstack(ui::HAlign::center, 6, runRows(now.runs, nobodyWorking ? 3 : 2))
                       .padding(ui::Edges::topOnly(), 8));
    body.push_back(ui::spacer(0));
    return faceLayout(h, std::move(body));
  }
  std::vector<ui::View> body{
      ui::vstack(ui::HAlign::center, 7, runRows(now.runs, size == WeekFaceSize::medium ? 4 : 9))
          .padding(ui::Edges::topOnly(), 11),
  };
  if (now.waiting) {
    body.push_back(ui::text(*now.waiting)
                       .font(11.5)
                       .foreground(orange)
                       .lineLimit(1)
                       .padding(ui::Edges::topOnly(), 7));
  }
  body.push_back(ui::spacer(0));
  return faceLayout(h, std::move(body));
}

}  // namespace korvel
