// The desktop window for real: korvel-widgets desktop --screenshot under Xvfb, in light, dark
// and the desktop's appearance without a session bus. What it prints is checked line by line
// and the picture it saves pixel by pixel.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "host/desktop/desktop_request.h"
#include "host/player_process.h"
#include "host/widget_container.h"
#include "kit/palette.h"
#include "snapshot/loading.h"
#include "support/files.h"
#include "widgets/catalog.h"
#include "widgets/week_provider.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;
using korvel::testing::ChildProcess;
using korvel::testing::ScratchDir;

struct Placed {
  std::string place;  // as given to --place
  WeekFaceKind kind;
  WidgetFamily family;
};

struct DesktopCase {
  std::string name;
  std::vector<std::string> appearanceArgs;
  Appearance shown;  // what the window must show
  std::vector<Placed> placed;  // none: no --place, and every widget in its first family shows
};

void PrintTo(const DesktopCase& c, std::ostream* os) { *os << c.name; }

// What shows without placements anywhere: the catalog's widgets in its order, each in the
// first family it offers.
std::vector<Placed> everyWidget() {
  std::vector<Placed> out;
  for (const WidgetInfo& info : widgetCatalog()) {
    out.push_back({"", info.faceKind, info.families.front()});
  }
  return out;
}

struct Outcome {
  int status = -1;
  std::vector<std::string> out;
  std::string err;
};

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) out.push_back(field);
  return out;
}

// A world without a desktop: no session bus (so no settings portal), no configuration file,
// no handler for korvel: links, no theme chosen from outside.
class DesktopWindowTest : public ::testing::TestWithParam<DesktopCase> {
 protected:
  void SetUp() override {
    fs::create_directories(scratch_ / "config");
    fs::create_directories(scratch_ / "data");
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (scratch_ / "no-bus").string()).c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (scratch_ / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (scratch_ / "data").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", (scratch_ / "data").c_str(), 1);
    ::setenv("GSK_RENDERER", "cairo", 1);
    // Nor GL: Xvfb has none worth probing, and Mesa's probe leaves an allocation behind in a
    // driver it unloads again, which the sanitizer build would report as a leak.
    ::setenv("GDK_DEBUG", "gl-disable", 1);
    ::unsetenv("GTK_THEME");
  }

  Outcome desktop(const std::vector<std::string>& args) {
    std::vector<std::string> command{korvel::testing::programPath().string(), "desktop"};
    command.insert(command.end(), args.begin(), args.end());
    return underXvfb(command);
  }

  // Runs `command` with an X server of its own.
  Outcome underXvfb(const std::vector<std::string>& command) {
    std::vector<std::string> argv{KORVEL_XVFB_RUN, "-a", "-s", "-screen 0 2400x1200x24"};
    argv.insert(argv.end(), command.begin(), command.end());
    ChildProcess child(argv, scratch_ / "out.txt", scratch_ / "err.txt");
    Outcome run;
    if (!child.started()) return run;
    // A bound for a hung window, not a measure of speed.
    const auto status = child.wait(std::chrono::minutes(2));
    if (status && WIFEXITED(*status)) run.status = WEXITSTATUS(*status);
    run.out = lines(korvel::testing::readFile(scratch_ / "out.txt"));
    run.err = korvel::testing::readFile(scratch_ / "err.txt");
    return run;
  }

  ScratchDir scratch_;
};

struct Pixel {
  int r = 0, g = 0, b = 0;
  bool operator==(const Pixel&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Pixel& p) {
  return os << '(' << p.r << ',' << p.g << ',' << p.b << ')';
}

Pixel expected(const Rgba& c) {
  return {static_cast<int>(std::lround(c.r * 255)), static_cast<int>(std::lround(c.g * 255)),
          static_cast<int>(std::lround(c.b * 255))};
}

class Png {
 public:
  explicit Png(const fs::path& path) : surface_(cairo_image_surface_create_from_png(path.c_str())) {}
  ~Png() { cairo_surface_destroy(surface_); }
  Png(const Png&) = delete;
  Png& operator=(const Png&) = delete;

  bool ok() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
  int width() const { return cairo_image_surface_get_width(surface_); }
  int height() const { return cairo_image_surface_get_height(surface_); }

  // Opaque pixels only (alpha is checked too), so premultiplication does not matter.
  Pixel at(int x, int y) const {
    cairo_surface_flush(surface_);
    const unsigned char* row =
        cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    std::uint32_t argb = 0;
    std::memcpy(&argb, row + 4 * x, 4);
    if ((argb >> 24) != 0xff) return {-1, -1, -1};
    return {static_cast<int>(argb >> 16 & 0xff), static_cast<int>(argb >> 8 & 0xff),
            static_cast<int>(argb & 0xff)};
  }

 private:
  cairo_surface_t* surface_;
};

bool near(const Pixel& a, const Pixel& b) {
  return std::abs(a.r - b.r) <= 1 && std::abs(a.g - b.g) <= 1 && std::abs(a.b - b.b) <= 1;
}

TEST_P(DesktopWindowTest, ScreenshotShowsTheWidgetsInTheirAppearanceAndListsThem) {
  const DesktopCase& c = GetParam();
  const fs::path png = scratch_ / "window.png";
  std::vector<std::string> args{"--snapshot", korvel::testing::examplePath("week.json").string(),
                                "--locale", "en_US", "--time-zone", "UTC",
                                "--screenshot", png.string()};
  args.insert(args.end(), c.appearanceArgs.begin(), c.appearanceArgs.end());
  for (const Placed& p : c.placed) {
    args.push_back("--place");
    args.push_back(p.place);
  }
  const std::vector<Placed> placed = c.placed.empty() ? everyWidget() : c.placed;
  const Outcome run = desktop(args);
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.out.size(), placed.size() + 1) << run.err;

  // What each widget says it is, as the same snapshot lays it out here. The sample is long
  // stale, so the window shows its one entry whatever the clock says.
  const auto snapshot = loadSnapshotAt(korvel::testing::examplePath("week.json"));
  ASSERT_TRUE(snapshot);
  const WeekEntry entry{systemClock(), snapshot};
  const TimeFormat timeFormat(TimeSettings{"en_US", "UTC"});

  // Side by side, 20 points apart and 20 from the window's edges, tops aligned.
  int x = kDesktopGap;
  int tallest = 0;
  std::vector<std::pair<int, ui::Size>> frames;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    const Placed& p = placed[i];
    const PlacedWidget widget = placeWidget(p.kind, p.family, entry, timeFormat);
    const int w = static_cast<int>(widget.size.width), h = static_cast<int>(widget.size.height);
    const std::vector<std::string> f = fields(run.out[i]);
    ASSERT_EQ(f.size(), 5u) << run.out[i];
    EXPECT_EQ(f[0], std::string(rawValue(p.kind)) + "-" + std::string(familyName(p.family)) + "-" +
                        std::string(name(c.shown)) + ".png");
    EXPECT_EQ(f[1], std::to_string(x) + "," + std::to_string(kDesktopGap));
    EXPECT_EQ(f[2], std::to_string(w) + "x" + std::to_string(h));
    EXPECT_EQ(f[3], widget.label);
    EXPECT_FALSE(f[3].empty());
    EXPECT_EQ(f[4], "korvel://week/" + std::string(rawValue(p.kind)));
    frames.emplace_back(x, widget.size);
    x += w + kDesktopGap;
    tallest = std::max(tallest, h);
  }
  const int width = x, height = tallest + 2 * kDesktopGap;
  EXPECT_EQ(run.out.back(), "desktop: " + png.string() + " " + std::to_string(width) + "x" +
                                std::to_string(height));

  const Png picture(png);
  ASSERT_TRUE(picture.ok());
  EXPECT_EQ(picture.width(), width);
  EXPECT_EQ(picture.height(), height);
  const Pixel background = expected(desktopBackground(c.shown));
  const Pixel paper = expected(colorProvider(*findPaletteColor("paper"), c.shown));
  ASSERT_NE(background, paper);
  // The margin around the row, and the gap after each widget.
  EXPECT_PRED2(near, picture.at(5, 5), background);
  EXPECT_PRED2(near, picture.at(width - 5, height - 5), background);
  for (const auto& [left, size] : frames) {
    const int top = kDesktopGap;
    // Inside the widget: the middle of its top margin and of its left margin are paper.
    EXPECT_PRED2(near, picture.at(left + static_cast<int>(size.width) / 2, top + 5), paper)
        << "widget at " << left;
    EXPECT_PRED2(near, picture.at(left + 5, top + static_cast<int>(size.height) / 2), paper)
        << "widget at " << left;
    // Its very corner lies outside the rounded shape, on the window's background.
    EXPECT_PRED2(near, picture.at(left + 1, top + 1), background) << "widget at " << left;
    EXPECT_PRED2(near, picture.at(left + static_cast<int>(size.width) + kDesktopGap / 2, top + 40),
                 background)
        << "after the widget at " << left;
  }
}

// Clicks and keys come from xdotool (XTEST) on the window's X server: a click on each of two
// widgets, then Enter on the focused one (the first). Without a handler for korvel: links each
// says so in exactly one line. The script waits for each line before the next action, and
// ends the window with SIGTERM.
constexpr const char* kClickScript = R"sh(program=$1 err=$2 first=$3 second=$4; shift 4
"$program" desktop "$@" 2>"$err" &
pid=$!
said() { grep -c '^desktop:' "$err"; }
await() { for _ in $(seq 200); do [ "$(said)" -ge "$1" ] && return 0; sleep 0.05; done; return 0; }
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Korvel widgets$' | head -n 1)
[ -n "$window" ] || { kill -TERM $pid; wait $pid; exit 99; }
xdotool mousemove --sync $first click 1; await 1
xdotool mousemove --sync $second click 1; await 2
xdotool windowfocus --sync "$window" key --window "$window" Return; await 3
kill -TERM $pid
wait $pid
)sh";

TEST_F(DesktopWindowTest, ClicksAndEnterWithoutALinkHandlerSayOneLineEach) {
  if (std::string(KORVEL_XDOTOOL).empty()) GTEST_SKIP() << "xdotool is not installed";
  const fs::path script = scratch_ / "click.sh";
  korvel::testing::writeFile(script, kClickScript);
  const fs::path err = scratch_ / "window-err.txt";
  // The middle of each widget: limits medium at the left, now small beside it.
  const ui::Size medium = familySize(WidgetFamily::systemMedium);
  const ui::Size small = familySize(WidgetFamily::systemSmall);
  const int y = kDesktopGap + static_cast<int>(small.height) / 2;
  const int firstX = kDesktopGap + static_cast<int>(medium.width) / 2;
  const int secondX = 2 * kDesktopGap + static_cast<int>(medium.width + small.width / 2);
  const auto at = [y](int x) { return std::to_string(x) + " " + std::to_string(y); };
  const Outcome run = underXvfb(
      {"/bin/sh", script.string(), korvel::testing::programPath().string(), err.string(),
       at(firstX), at(secondX), "--snapshot", korvel::testing::examplePath("week.json").string(),
       "--appearance", "light", "--place", "limits:medium", "--place", "now:small"});
  // SIGTERM ends the window with status 0.
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> said;
  for (const std::string& line : lines(korvel::testing::readFile(err))) {
    if (line.rfind("desktop:", 0) == 0) said.push_back(line);
  }
  const auto notOpened = [](const std::string& url) {
    return "desktop: no application opens korvel: links here; " + url + " not opened";
  };
  EXPECT_EQ(said, (std::vector<std::string>{notOpened("korvel://week/limits"),
                                            notOpened("korvel://week/now"),
                                            notOpened("korvel://week/limits")}));
}

const std::vector<Placed> kThree{
    {"limits:medium", WeekFaceKind::limits, WidgetFamily::systemMedium},
    {"korvel.week.now:systemSmall", WeekFaceKind::now, WidgetFamily::systemSmall},
    {"week:large", WeekFaceKind::week, WidgetFamily::systemLarge},
};

INSTANTIATE_TEST_SUITE_P(
    Appearances, DesktopWindowTest,
    ::testing::Values(
        DesktopCase{"Light", {"--appearance", "light"}, Appearance::light, kThree},
        DesktopCase{"Dark", {"--appearance", "dark"}, Appearance::dark, kThree},
        // Without a session bus there is no portal to ask: the desktop's appearance is light.
        DesktopCase{"AutoWithoutSessionBusIsLight", {}, Appearance::light,
                    {{"receipt:small", WeekFaceKind::receipt, WidgetFamily::systemSmall},
                     {"now:medium", WeekFaceKind::now, WidgetFamily::systemMedium}}},
        // No --place and no configuration file: all eight, dark.
        DesktopCase{"EveryWidgetDark", {"--appearance", "dark"}, Appearance::dark, {}}),
    [](const ::testing::TestParamInfo<DesktopCase>& param) { return param.param.name; });

}  // namespace
}  // namespace korvel::host
