#include "host/render/json_dump.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kit/palette.h"

namespace korvel::host {
namespace {

ui::Op fillOp() {
  ui::Op op;
  op.op = ui::OpKind::fill;
  op.rect = {0, 0, 364, 170};
  op.paint = paper;
  op.shape.kind = ui::ShapeKind::roundedRect;
  op.shape.radii = {22, 22, 22, 22};
  return op;
}

ui::Op strokeOp() {
  ui::Op op;
  op.op = ui::OpKind::stroke;
  op.rect = {16, 39.5, 84, 1};
  op.paint = hairline.opacity_(0.5);
  op.shape.kind = ui::ShapeKind::path;
  op.shape.points = {{16, 40}, {100, 40}};
  op.shape.closed = false;
  op.stroke = {.lineWidth = 1, .lineCap = ui::LineCap::round, .lineJoin = ui::LineJoin::bevel,
               .miterLimit = 4, .dash = {2, 3}, .dashPhase = 1};
  return op;
}

ui::Op textOp() {
  ui::Op op;
  op.op = ui::OpKind::text;
  op.rect = {16, 50, 120, 32.5};
  op.accent = true;
  op.text.text = "12 \"runs\"\nwaiting";
  op.text.shown = "12 \"runs\"\nwait\xE2\x80\xA6";
  op.text.lines = 2;
  op.text.baseline = 62.25;
  op.text.runs = {
      {"12 ", 13, ui::Weight::bold, ui::Design::rounded, true, ink},
      {"\"runs\"\nwaiting", 11.5, ui::Weight::regular, ui::Design::standard, false, inkFaint},
  };
  return op;
}

DumpHeader header() {
  return {"limits", "korvel.week.limits", "systemMedium", {364, 170}, {16, 16, 332, 138},
          2,        Appearance::dark,     "Limits at 40%", "korvel://week/limits"};
}

TEST(JsonDump, WritesEveryOpKindInPaintOrder) {
  ui::DisplayList list;
  list.ops.push_back(fillOp());
  ui::Op clip = fillOp();
  clip.op = ui::OpKind::clip;
  clip.paint = {};
  list.ops.push_back(clip);
  list.ops.push_back(strokeOp());
  list.ops.push_back(textOp());
  ui::Op symbol;
  symbol.op = ui::OpKind::symbol;
  symbol.rect = {300, 20, 11, 11};
  symbol.paint = amber;
  symbol.symbol = "clock";
  list.ops.push_back(symbol);
  ui::Op dot;
  dot.op = ui::OpKind::fill;
  dot.rect = {20, 100, 7, 7};
  dot.paint = lime.opacity_(0.25);
  dot.shape.kind = ui::ShapeKind::circle;
  list.ops.push_back(dot);
  ui::Op unclip;
  unclip.op = ui::OpKind::unclip;
  unclip.rect = {0, 0, 364, 170};
  list.ops.push_back(unclip);

  const std::string expected =
      R"({"kind":"limits","widget":"korvel.week.limits","family":"systemMedium","size":[364,170],)"
      R"("content":[16,16,332,138],"scale":2,"appearance":"dark","label":"Limits at 40%",)"
      R"("url":"korvel://week/limits","ops":[)" "\n"
      R"({"op":"fill","rect":[0,0,364,170],"color":"paper","opacity":1,)"
      R"("rgba":[0.086,0.161,0.11,1],"accent":false,"shape":"roundedRect",)"
      R"("radii":[22,22,22,22],"corners":"continuous"},)" "\n"
      R"({"op":"clip","rect":[0,0,364,170],"accent":false,"shape":"roundedRect",)"
      R"("radii":[22,22,22,22],"corners":"continuous"},)" "\n"
      R"({"op":"stroke","rect":[16,39.5,84,1],"color":"hairline","opacity":0.5,)"
      R"("rgba":[1,1,1,0.04],"accent":false,"shape":"path","points":[[16,40],[100,40]],)"
      R"("lineWidth":1,"dash":[2,3],"dashPhase":1,"lineCap":"round","lineJoin":"bevel",)"
      R"("miterLimit":4},)" "\n"
      R"({"op":"text","rect":[16,50,120,32.5],"color":"ink","opacity":1,)"
      R"("rgba":[0.949,0.949,0.953,1],"accent":true,"text":"12 \"runs\"\nwaiting",)"
      R"("shown":"12 \"runs\"\nwait…","lines":2,"baseline":62.25,"runs":[)"
      R"({"text":"12 ","size":13,"weight":"bold","design":"rounded","monospacedDigits":true,)"
      R"("color":"ink"},{"text":"\"runs\"\nwaiting","size":11.5,"weight":"regular",)"
      R"("design":"default","monospacedDigits":false,"color":"inkFaint"}]},)" "\n"
      R"({"op":"symbol","rect":[300,20,11,11],"color":"amber","opacity":1,)"
      R"("rgba":[0.91,0.643,0.365,1],"accent":false,"name":"clock"},)" "\n"
      R"({"op":"fill","rect":[20,100,7,7],"color":"lime","opacity":0.25,)"
      R"("rgba":[0.78,0.945,0.514,0.25],"accent":false,"shape":"circle"},)" "\n"
      R"({"op":"unclip","rect":[0,0,364,170],"accent":false})" "\n"
      "]}\n";
  EXPECT_EQ(dumpJson(header(), list), expected);
}

TEST(JsonDump, LightAppearanceAndEmptyList) {
  DumpHeader h = header();
  h.appearance = Appearance::light;
  h.scale = 1.5;
  h.label = "Korvel";
  EXPECT_EQ(dumpJson(h, {}),
            R"({"kind":"limits","widget":"korvel.week.limits","family":"systemMedium",)"
            R"("size":[364,170],"content":[16,16,332,138],"scale":1.5,"appearance":"light",)"
            R"("label":"Korvel","url":"korvel://week/limits","ops":[]})" "\n");
}

TEST(JsonDump, NumbersAreShortestRoundTrip) {
  ui::DisplayList list;
  ui::Op op = fillOp();
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
  ui::Op op = fillOp();
  op.rect = {std::numeric_limits<double>::quiet_NaN(), 0, std::numeric_limits<double>::infinity(),
             -0.0};
  list.ops.push_back(op);
  const std::string out = dumpJson(header(), list);
  EXPECT_NE(out.find(R"("rect":[null,0,null,0])"), std::string::npos) << out;
}

TEST(JsonDump, TextWithoutRunsReportsItsOwnPaint) {
  ui::DisplayList list;
  ui::Op op;
  op.op = ui::OpKind::text;
  op.paint = inkSoft;
  list.ops.push_back(op);
  const std::string out = dumpJson(header(), list);
  EXPECT_NE(out.find(R"("color":"inkSoft","opacity":1,"rgba":[0.71,0.71,0.733,1])"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find(R"("runs":[])"), std::string::npos);
}

}  // namespace
}  // namespace korvel::host
