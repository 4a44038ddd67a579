#pragma once
// Helpers shared by the toolkit's tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/layout.h"
#include "ui/text_measurer.h"
#include "ui/view.h"

namespace korvel::ui::test {

// Records every request, so tests can tell whether the same text was measured twice.
class CountingMeasurer : public TextMeasurer {
 public:
  TextMetrics measure(const TextRequest& r) const override {
    requests.push_back(r);
    return fake.measure(r);
  }
  LineMetrics lineMetrics(double size, Weight w, Design d) const override { return fake.lineMetrics(size, w, d); }
  FakeTextMeasurer fake;
  mutable std::vector<TextRequest> requests;
};

inline std::vector<Op> opsOf(const DisplayList& dl, OpKind kind) {
  std::vector<Op> out;
  for (const auto& op : dl.ops)
    if (op.op == kind) out.push_back(op);
  return out;
}

inline std::vector<Rect> rectsOf(const DisplayList& dl, OpKind kind = OpKind::fill) {
  std::vector<Rect> out;
  for (const auto& op : opsOf(dl, kind)) out.push_back(op.rect);
  return out;
}

inline DisplayList run(const View& v, Size size, LayoutStats* stats = nullptr) {
  static const FakeTextMeasurer fake;
  return layout(v, size, fake, stats);
}

// A filled rectangle whose colour names it, so ops can be told apart.
inline View box(const std::string& name) { return rectangle().fill(Paint{name, 1}); }

inline Rect rectNamed(const DisplayList& dl, const std::string& name) {
  for (const auto& op : dl.ops)
    if (op.paint.color == name && (op.op == OpKind::fill || op.op == OpKind::stroke)) return op.rect;
  ADD_FAILURE() << "no op named " << name;
  return {};
}

}  // namespace korvel::ui::test

namespace korvel::ui {
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << "}";
}
}  // namespace korvel::ui

namespace korvel::ui {
inline void PrintTo(const Size& s, std::ostream* os) { *os << "{" << s.width << ", " << s.height << "}"; }
}  // namespace korvel::ui
