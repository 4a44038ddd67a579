#pragma once
// Lays views out with the deterministic fake text measurer and picks ops out of the result.
#include <algorithm>
#include <string>
#include <vector>

#include "ui/display_list.h"
#include "ui/layout.h"
#include "ui/text_measurer.h"
#include "ui/view.h"

namespace korvel::testing {

inline ui::DisplayList layoutFake(const ui::View& view, double width, double height) {
  static const ui::FakeTextMeasurer measurer;
  return ui::layout(view, ui::Size{width, height}, measurer);
}

inline std::vector<ui::Op> opsOf(const ui::DisplayList& list, ui::OpKind kind,
                                 const std::string& color = {}) {
  std::vector<ui::Op> out;
  std::copy_if(list.ops.begin(), list.ops.end(), std::back_inserter(out), [&](const ui::Op& op) {
    return op.op == kind && (color.empty() || op.paint.color == color);
  });
  return out;
}

inline std::vector<ui::Op> fills(const ui::DisplayList& list, const std::string& color = {}) {
  return opsOf(list, ui::OpKind::fill, color);
}

inline std::vector<ui::Op> texts(const ui::DisplayList& list) {
  return opsOf(list, ui::OpKind::text);
}

}  // namespace korvel::testing
