// A widget's layer surface through the compositor's `closed` and outputs coming and going, turn
// by turn of the host's loop. Sway headless never sends `closed`, so this is where that road is
// held.
#include <gtest/gtest.h>

#include "host/layer/surface_life.h"

namespace korvel::host {
namespace {

struct Turn {
  bool closedBefore;    // the compositor's `closed` arrived since the last turn
  bool outputsChanged;  // an output came, went or was configured anew
  bool anyOutput;
  SurfaceStep expected;
};

struct LifeCase {
  const char* name;
  std::vector<Turn> turns;
};

constexpr SurfaceStep kKeep{}, kDestroy{true, false}, kCreate{false, true}, kMove{true, true};

TEST(SurfaceLife, ClosedSurfacesAreDestroyedAndMadeAgainWhenAnOutputComes) {
  const std::vector<LifeCase> cases = {
      {"a shown surface stays whatever the outputs do",
       {{false, true, true, kKeep}, {false, true, false, kKeep}, {false, false, true, kKeep}}},
      {"the only output unplugged: wait, then back with the next output",
       {{true, true, false, kDestroy},
        {false, false, false, kKeep},
        {false, true, true, kCreate},
        {false, true, true, kKeep}}},
      {"another output is left: made again at once",
       {{true, true, true, kMove}, {false, true, true, kKeep}}},
      {"closed with no output event: wait for the output to be configured anew",
       {{true, false, true, kDestroy}, {false, false, true, kKeep}, {false, true, true, kCreate}}},
      {"outputs going while waiting do not bring it back",
       {{true, false, false, kDestroy}, {false, true, false, kKeep}, {false, true, true, kCreate}}},
      {"closed again once back",
       {{true, true, false, kDestroy},
        {false, true, true, kCreate},
        {true, false, true, kDestroy},
        {false, true, true, kCreate}}},
  };
  for (const LifeCase& c : cases) {
    SurfaceLife life;
    int turn = 0;
    for (const Turn& t : c.turns) {
      if (t.closedBefore) life.close();
      const SurfaceStep step = life.step(t.outputsChanged, t.anyOutput);
      EXPECT_EQ(step.destroy, t.expected.destroy) << c.name << ", turn " << turn;
      EXPECT_EQ(step.create, t.expected.create) << c.name << ", turn " << turn;
      ++turn;
    }
    // A turn with nothing new leaves it as it was: shown, or still waiting.
    EXPECT_EQ(life.step(false, true), kKeep) << c.name;
  }
}

}  // namespace
}  // namespace korvel::host
