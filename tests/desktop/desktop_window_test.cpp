// The desktop window for real, under Xvfb: what --screenshot prints and saves, line by line and
// pixel by pixel, in each appearance; and clicks and keys sent with xdotool.
#include <cairo.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>

#include "host/player/desktop_request.h"
#include "host/player/placements.h"
#include "host/widget_container.h"
#include "snapshot/loading.h"
#include "support/child_process.h"
#include "support/files.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;
using korvel::testing::examplePath;
using korvel::testing::programPath;
using korvel::testing::readFile;

std::vector<std::string> lines(const std::string& text, char separator = '\n') {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) out.push_back(part);
  return out;
}

struct DesktopCase {
  std::string name;
  std::vector<std::string> args;    // after the snapshot, locale, zone and screenshot
  Appearance shown;                 // what the window must show
  std::vector<std::string> places;  // none: no --place, and every widget in its first family
};

// A world without a desktop: no session bus (so no settings portal), no configuration file,
// no handler for korvel: links, no theme chosen from outside.
class DesktopWindowTest : public ::testing::TestWithParam<DesktopCase> {
 protected:
  void SetUp() override {
    const std::string home = scratch_.path();
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + home + "/no-bus").c_str(), 1);
    for (const char* key : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_STATE_HOME"})
      ::setenv(key, home.c_str(), 1);
    ::setenv("GSK_RENDERER", "cairo", 1);
    // Nor GL: Xvfb has none worth probing, and Mesa's probe leaves an allocation behind in a
    // driver it unloads again, which the sanitizer build would report as a leak.
    ::setenv("GDK_DEBUG", "gl-disable", 1);
    ::unsetenv("GTK_THEME");
  }

  // Runs `command` with an X server of its own; its exit status, standard output in out.txt.
  int underXvfb(std::vector<std::string> command) {
    command.insert(command.begin(), {KORVEL_XVFB_RUN, "-a", "-s", "-screen 0 2400x1200x24"});
    korvel::testing::ChildProcess child(command, scratch_ / "out.txt", scratch_ / "err.txt");
    // A bound for a hung window, not a measure of speed.
    return child.wait(std::chrono::minutes(2)).value_or(-1);
  }

  korvel::testing::ScratchDir scratch_;
};

using Rgb = std::array<long, 3>;

TEST_P(DesktopWindowTest, ScreenshotShowsTheWidgetsInTheirAppearanceAndListsThem) {
  const DesktopCase& c = GetParam();
  const fs::path png = scratch_ / "window.png";
  std::vector<std::string> command{programPath(), "desktop", "--snapshot", examplePath("week.json"),
                                   "--locale", "en_US", "--time-zone", "UTC", "--screenshot", png};
  command.insert(command.end(), c.args.begin(), c.args.end());
  std::vector<Placement> placed = c.places.empty() ? defaultPlacements() : std::vector<Placement>{};
  for (const std::string& place : c.places) {
    command.insert(command.end(), {"--place", place});
    placed.push_back(std::get<Placement>(parsePlacement(place)));
  }
  ASSERT_EQ(underXvfb(command), 0) << readFile(scratch_ / "err.txt");
  const std::vector<std::string> out = lines(readFile(scratch_ / "out.txt"));
  ASSERT_EQ(out.size(), placed.size() + 1) << readFile(scratch_ / "err.txt");

  const std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> picture(
      cairo_image_surface_create_from_png(png.c_str()), cairo_surface_destroy);
  ASSERT_EQ(cairo_surface_status(picture.get()), CAIRO_STATUS_SUCCESS);
  const int width = cairo_image_surface_get_width(picture.get());
  const int height = cairo_image_surface_get_height(picture.get());
  // Inside the picture, opaque (so premultiplication does not matter), a step from `expected`.
  const auto shows = [&picture, width, height](int px, int py, const Rgb& expected) {
    std::uint32_t argb = 0;
    if (px >= width || py >= height) return false;
    std::memcpy(&argb, cairo_image_surface_get_data(picture.get()) + 4 * px +
                           py * cairo_image_surface_get_stride(picture.get()), 4);
    const Rgb got{argb >> 16 & 0xff, argb >> 8 & 0xff, argb & 0xff};
    bool near = (argb >> 24) == 0xff;
    for (int i = 0; i < 3; ++i) near = near && std::abs(got[i] - expected[i]) <= 1;
    return near;
  };
  const auto rgb = [](const Rgba& rgba) {
    return Rgb{std::lround(rgba.r * 255), std::lround(rgba.g * 255), std::lround(rgba.b * 255)};
  };
  const Rgb background = rgb(desktopBackground(c.shown));
  const Rgb paper = rgb(colorProvider(*findPaletteColor("paper"), c.shown));
  ASSERT_NE(background, paper);

  // What each widget says it is, as the same snapshot lays it out here. The sample is long
  // stale, so the window shows its one entry whatever the clock says.
  const WeekEntry entry{systemClock(), loadSnapshotAt(examplePath("week.json"))};
  // Side by side, 20 points apart and 20 from the window's edges, tops aligned.
  int x = kDesktopGap, tallest = 0;
  const int top = kDesktopGap;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    const PlacedWidget widget = placeWidget(placed[i].face(), placed[i].family, entry,
                                            TimeFormat(TimeSettings{"en_US", "UTC"}));
    const int w = static_cast<int>(widget.size.width), h = static_cast<int>(widget.size.height);
    const std::string face(rawValue(placed[i].face()));
    EXPECT_EQ(lines(out[i], '\t'),
              (std::vector<std::string>{face + "-" + std::string(familyName(placed[i].family)) +
                                            "-" + std::string(name(c.shown)) + ".png",
                                        std::to_string(x) + "," + std::to_string(top),
                                        std::to_string(w) + "x" + std::to_string(h), widget.label,
                                        "korvel://week/" + face}));
    // The middles of its top and left margins are paper; its very corner lies outside the
    // rounded shape, and the gap after it, on the window's background.
    EXPECT_PRED3(shows, x + w / 2, top + 5, paper);
    EXPECT_PRED3(shows, x + 5, top + h / 2, paper);
    EXPECT_PRED3(shows, x + 1, top + 1, background);
    EXPECT_PRED3(shows, x + w + kDesktopGap / 2, top + 40, background);
    x += w + kDesktopGap;
    tallest = std::max(tallest, h);
  }
  const std::string size = std::to_string(x) + "x" + std::to_string(tallest + 2 * kDesktopGap);
  EXPECT_EQ(std::to_string(width) + "x" + std::to_string(height), size);
  EXPECT_EQ(out.back(), "desktop: " + png.string() + " " + size);
  // The margin around the row.
  EXPECT_PRED3(shows, 5, 5, background);
  EXPECT_PRED3(shows, width - 5, height - 5, background);
}

const std::vector<std::string> kThree{"limits:medium", "korvel.week.now:systemSmall", "week:large"};

INSTANTIATE_TEST_SUITE_P(
    Appearances, DesktopWindowTest,
    ::testing::Values(
        DesktopCase{"Light", {"--appearance", "light"}, Appearance::light, kThree},
        DesktopCase{"Dark", {"--appearance", "dark"}, Appearance::dark, kThree},
        // Without a session bus there is no portal to ask: the desktop's appearance is light.
        DesktopCase{"AutoWithoutSessionBusIsLight", {}, Appearance::light,
                    {"receipt:small", "now:medium"}},
        // No --place and no configuration file: all eight, dark.
        DesktopCase{"EveryWidgetDark", {"--appearance", "dark"}, Appearance::dark, {}}),
    [](const ::testing::TestParamInfo<DesktopCase>& param) { return param.param.name; });

// A click on each of two widgets, then Enter on the focused one (the first). Without a handler
// for korvel: links each says so in exactly one line. The script waits for each line before the
// next action, and ends the window with SIGTERM.
constexpr const char* kClickScript = R"sh(program=$1 err=$2 first=$3 second=$4; shift 4
"$program" desktop "$@" 2>"$err" &
pid=$!
said() { grep -c '^desktop:' "$err"; }
await() { for _ in $(seq 200); do [ "$(said)" -ge "$1" ] && return 0; sleep 0.05; done; return 0; }
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Korvel widgets$' | head -n 1)
[ -n "$window" ] || { kill -TERM $pid; wait $pid; exit 99; }
xprop -id "$window" WM_CLASS _NET_WM_WINDOW_TYPE _NET_WM_STATE _NET_WM_DESKTOP _MOTIF_WM_HINTS \
  >"$err.props"
xdotool mousemove --sync $first click 1; await 1
xdotool mousemove --sync $second click 1; await 2
xdotool windowfocus --sync "$window" key --window "$window" Return; await 3
kill -TERM $pid
wait $pid
)sh";

TEST_F(DesktopWindowTest, ClicksAndEnterWithoutALinkHandlerSayOneLineEach) {
  if (std::string(KORVEL_XDOTOOL).empty()) GTEST_SKIP() << "xdotool is not installed";
  korvel::testing::writeFile(scratch_ / "click.sh", kClickScript);
  const fs::path err = scratch_ / "window-err.txt";
  // The middle of each widget: limits medium (364 x 170) at the left, now small beside it.
  const auto at = [](int x) { return std::to_string(x) + " " + std::to_string(kDesktopGap + 85); };
  const int status = underXvfb(
      {"/bin/sh", scratch_ / "click.sh", programPath(), err, at(kDesktopGap + 182),
       at(2 * kDesktopGap + 364 + 85), "--snapshot", examplePath("week.json"),
       "--appearance", "light", "--place", "limits:medium", "--place", "now:small",
       "--surface", "window"});
  EXPECT_EQ(status, 0) << readFile(scratch_ / "err.txt");  // SIGTERM ends the window with 0
  // Like a widget on the desktop, as set before a window manager maps it (Xvfb has none to
  // act on requests): our class, kept below, on every workspace, out of the taskbar and pager,
  // no decorations.
  EXPECT_EQ(readFile(err.string() + ".props"),
            "WM_CLASS(STRING) = \"korvel-widgets\", \"korvel-widgets\"\n"
            "_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_NORMAL\n"
            "_NET_WM_STATE(ATOM) = _NET_WM_STATE_BELOW, _NET_WM_STATE_STICKY, "
            "_NET_WM_STATE_SKIP_TASKBAR, _NET_WM_STATE_SKIP_PAGER\n"
            "_NET_WM_DESKTOP(CARDINAL) = 4294967295\n"
            "_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x1, 0x0, 0x0, 0x0\n");  // decorations 0
  // Each said so in one line.
  std::vector<std::string> said;
  for (const std::string& line : lines(readFile(err)))
    if (line.starts_with("desktop:")) said.push_back(line.substr(line.find("; ") + 2));
  EXPECT_EQ(said, (std::vector<std::string>{"korvel://week/limits not opened",
                                            "korvel://week/now not opened",
                                            "korvel://week/limits not opened"}));
}

// Moved, ended, started again: the window comes back where it was left (X11 lets it).
constexpr const char* kMoveScript = R"sh(program=$1; shift
show() {
  "$program" desktop "$@" 2>/dev/null &
  pid=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Korvel widgets$' | head -n 1)
}
show "$@"; xdotool windowmove --sync "$window" 300 200; kill -TERM $pid; wait $pid
show "$@"; sleep 0.5; xdotool getwindowgeometry "$window"
xprop -id "$window" WM_NORMAL_HINTS | grep 'specified location'; kill -TERM $pid; wait $pid
)sh";

TEST_F(DesktopWindowTest, ComesBackWhereItWasLeft) {
  if (std::string(KORVEL_XDOTOOL).empty()) GTEST_SKIP() << "xdotool is not installed";
  korvel::testing::writeFile(scratch_ / "move.sh", kMoveScript);
  EXPECT_EQ(underXvfb({"/bin/sh", scratch_ / "move.sh", programPath(), "--surface", "window",
                       "--snapshot", examplePath("week.json"), "--place", "now:small"}), 0);
  const std::string out = readFile(scratch_ / "out.txt");
  EXPECT_NE(out.find("Position: 300,200"), std::string::npos) << out;
  // And says the place is the user's, so that a window manager keeps it.
  EXPECT_NE(out.find("user specified location: 300, 200"), std::string::npos) << out;
}

}  // namespace
}  // namespace korvel::host
