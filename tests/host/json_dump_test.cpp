// Numbers in the dump: exact and always valid JSON. What the dump holds for every face is the
// business of the golden display lists.
#include "host/render/json_dump.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kit/palette.h"

namespace korvel::host {
namespace {

ui::FillShape fillOp() {
  return {.rect = {0, 0, 364, 170}, .paint = paper, .shape = {.kind = ui::ShapeKind::roundedRect, .radii = {22, 22, 22, 22}}};
}

DumpHeader header() {
  return {"limits", "korvel.week.limits", "systemMedium", {364, 170}, {16, 16, 332, 138},
          2,        Appearance::dark,     "Limits at 40%", "korvel://week/limits"};
}

TEST(JsonDump, NumbersAreShortestRoundTrip) {
  ui::DisplayList list;
  ui::FillShape op = fillOp();
  op.shape.kind = ui::ShapeKind::rect;
  op.rect = {0.1 + 0.2, 1.0 / 3, 1e-7, 123456789.125};
  op.paint = red.opacity_(0.1);
  list.ops.push_back(op);
  const std::string out = dumpJson(header(), list);
  EXPECT_NE(out.find(R"("rect":[0.30000000000000004,0.3333333333333333,0.0000001,123456789.125])"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find(R"("rgba":[0.937,0.467,0.439,0.1])"), std::string::npos) << out;
}

TEST(JsonDump, NonFiniteNumbersStayValidJson) {
  ui::DisplayList list;
  ui::FillShape op = fillOp();
  op.rect = {std::numeric_limits<double>::quiet_NaN(), 0, std::numeric_limits<double>::infinity(),
             -0.0};
  list.ops.push_back(op);
  const std::string out = dumpJson(header(), list);
  EXPECT_NE(out.find(R"("rect":[null,0,null,0])"), std::string::npos) << out;
}

}  // namespace
}  // namespace korvel::host
