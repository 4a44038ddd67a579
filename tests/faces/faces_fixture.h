#pragma once
// The shipped sample week, a bare header, and the content sizes of the three families, for the
// face tests. Faces are laid out with the fake measurer (see face_test_support.h).
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "faces/face_parts.h"
#include "faces/faces.h"
#include "faces/face_test_support.h"
#include "snapshot/decode.h"

namespace korvel::facetest {

inline WeekSnapshot sampleWeek() {
  std::ifstream in(std::string(KORVEL_SOURCE_DIR) + "/examples/week.json", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  auto s = decodeSnapshot(bytes.str());
  if (!s) ADD_FAILURE() << "examples/week.json does not decode";
  return s.value_or(WeekSnapshot{});
}

inline FaceHeader bareHeader() { return FaceHeader{.title = "T"}; }

// The widget's content area (the family size less 16-point margins).
inline ui::Size contentSize(WeekFaceSize size) {
  switch (size) {
    case WeekFaceSize::small: return {138, 138};
    case WeekFaceSize::medium: return {332, 138};
    case WeekFaceSize::large: break;
  }
  return {332, 350};
}

inline ui::DisplayList layoutFace(const ui::View& face, WeekFaceSize size) {
  const ui::Size area = contentSize(size);
  return layoutFake(face, area.width, area.height);
}

inline std::vector<ui::Op> fillsOf(const ui::DisplayList& list, ui::ShapeKind kind,
                                   const std::string& color = {}) {
  std::vector<ui::Op> out;
  for (const ui::Op& op : list.ops) {
    if (op.op == ui::OpKind::fill && op.shape.kind == kind && (color.empty() || op.paint.color == color)) {
      out.push_back(op);
    }
  }
  return out;
}

// The texts drawn below the header, in paint order.
inline std::vector<std::string> bodyTexts(const ui::DisplayList& list) {
  std::vector<std::string> out = textsOf(list.ops);
  out.erase(out.begin(), out.begin() + std::min<std::size_t>(2, out.size()));  // title, trailing
  return out;
}

inline const std::vector<WeekFaceSize> kAllSizes{WeekFaceSize::small, WeekFaceSize::medium,
                                                 WeekFaceSize::large};

}  // namespace korvel::facetest
