#pragma once
// Pieces the faces share, and the small decisions they make, exposed so tests can pin them.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "faces/face_header.h"
#include "snapshot/records.h"
#include "ui/view.h"

namespace korvel {

// Every face: a leading-aligned vertical stack without spacing, the header over the body's items.
ui::View faceLayout(const FaceHeader& h, std::vector<ui::View> body);

// One heat-grid size to try.
struct GridCell {
  double cell = 8;
  double gap = 1.5;
};
// The labelled rhythm grid at the first of three sizes whose width fits, else the last.
ui::View heatGridChoice(const WeekSnapshot& s, const std::array<GridCell, 3>& sizes);

// Limits: the small face's meters (weekly ones first, else all; at most two) and the columns of
// the larger faces (one per engine, canonically equivalent spellings together, sorted by scalar).
std::vector<WeekMeter> smallLimitsSelection(const std::vector<WeekMeter>& meters);
std::vector<std::vector<WeekMeter>> limitsColumns(const std::vector<WeekMeter>& meters);

// Font sizes chosen by user-perceived character counts.
double smallAddedFontSize(const std::string& added);
double receiptHeroSize(const std::string& hero);

// The autonomy face's lead: `empty`, else the first line, else nothing.
std::optional<ui::View> autonomyLeadText(const AutonomyFace& autonomy, int lines);

}  // namespace korvel
