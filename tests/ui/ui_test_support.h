#pragma once
// What the toolkit's tests share: layout with the fake measurer (size 10: 5 per character, a
// 12-point line, baseline at 9), boxes named by their colour, and a check of where they landed.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "ui/layout.h"
#include "ui/text_measurer.h"
#include "ui/view.h"

namespace korvel::ui {
inline void PrintTo(const Rect& r, std::ostream* os) { *os << "{" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << "}"; }
inline void PrintTo(const Size& s, std::ostream* os) { *os << "{" << s.width << ", " << s.height << "}"; }
}  // namespace korvel::ui

namespace korvel::ui::test {

// An unspecified proposal or frame length.
inline constexpr std::nullopt_t ideal = std::nullopt;

inline const FakeTextMeasurer& fake() {
  static const FakeTextMeasurer measurer;
  return measurer;
}
inline DisplayList run(const View& v, Size size) { return layout(v, size, fake()); }
inline Size sizeOf(const View& v, std::optional<double> w, std::optional<double> h) { return measureView(v, w, h, fake()); }

// A rectangle that takes whatever it is offered (10 x 10 ideal), named by its colour.
inline View box(const std::string& name) { return rectangle().fill(Paint{name, 1}); }
// A text whose op carries `name` as its colour.
inline View label(const std::string& s, const std::string& name) { return text(s).foreground(Paint{name, 1}); }

// The ops of one kind, in paint order.
template <class Kind>
std::vector<Kind> opsOf(const DisplayList& dl) {
  std::vector<Kind> out;
  for (const auto& op : dl.ops)
    if (const auto* o = std::get_if<Kind>(&op)) out.push_back(*o);
  return out;
}

// The colour an op paints in (a text: its foreground); clips paint nothing.
inline std::string colourOf(const Op& op) {
  return std::visit(Overloaded{[](const PushClip&) { return std::string(); }, [](const PopClip&) { return std::string(); },
                               [](const auto& o) { return o.paint.color; }},
                    op);
}

// One layout case: a view proposed a size answers `size` and draws each named element once, at its rect.
struct LayoutCase {
  const char* name;
  View view;
  Size proposal;
  Size size;
  std::vector<std::pair<std::string, Rect>> placed;
};

inline void expectLayout(const LayoutCase& c) {
  SCOPED_TRACE(c.name);
  EXPECT_EQ(sizeOf(c.view, c.proposal.width, c.proposal.height), c.size);
  const DisplayList dl = run(c.view, c.proposal);
  for (const auto& [name, rect] : c.placed) {
    std::vector<Rect> at;
    for (const auto& op : dl.ops)
      if (colourOf(op) == name) at.push_back(frameOf(op));
    EXPECT_EQ(at, std::vector<Rect>{rect}) << name;
  }
}

}  // namespace korvel::ui::test
