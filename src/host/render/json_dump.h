#pragma once
// The display list as JSON: the layout contract tests and reviews read. One op per line, in
// paint order, each with its resolved colour in the dump's appearance.
#include <string>

#include "kit/palette.h"
#include "ui/display_list.h"

namespace korvel::host {

struct DumpHeader {
  std::string kind;    // face kind raw value
  std::string widget;  // widget kind string
  std::string family;  // "systemSmall" ...
  ui::Size size;
  ui::Rect content;
  double scale = 2;
  Appearance appearance = Appearance::light;
  std::string label;
  std::string url;
};

std::string dumpJson(const DumpHeader& header, const ui::DisplayList& list);

}  // namespace korvel::host
