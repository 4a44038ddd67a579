#include "host/cli/gallery_command.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>
#include <string>

#include "snapshot/decode.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A group folder that holds nothing unless a test puts a snapshot there.
class FolderLookups final : public PlatformLookups {
 public:
  explicit FolderLookups(fs::path folder) : folder_(std::move(folder)) {}
  std::optional<fs::path> groupContainer(std::string_view) const override { return folder_; }
  fs::path homeFolder() const override { return folder_; }
  std::optional<BundleValue> bundleValue(std::string_view) const override { return std::nullopt; }

 private:
  fs::path folder_;
};

class Gallery : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("korvel-gallery-" + std::string(::testing::UnitTest::GetInstance()
                                                ->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "group");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The sample week with spoken labels that would break an unescaped page.
  fs::path hostileSnapshot() {
    auto s = decodeSnapshot(readFile(fs::path(KORVEL_SOURCE_DIR) / "examples/week.json"));
    EXPECT_TRUE(s.has_value());
    s->autonomy.spoken = "<script>alert(\"x\")</script> & co";
    s->limits.spoken = "Tom & Jerry's <b>limits</b>";
    const fs::path path = dir_ / "week.json";
    writeFile(path, encodeSnapshot(*s));
    generated_ = static_cast<double>(s->generatedMs) / 1000.0;
    return path;
  }

  int run(const GalleryOptions& options) {
    out_.str("");
    err_.str("");
    return runGallery(options, TimeSettings{"en_US", "UTC"}, FolderLookups(dir_ / "group"), out_,
                      err_);
  }

  fs::path dir_;
  double generated_ = 0;
  std::ostringstream out_, err_;
};

// The 19 widget images per appearance, in bundle and family order.
const char* const kImages[] = {
    "autonomy-systemSmall", "autonomy-systemMedium", "autonomy-systemLarge",
    "outcomes-systemSmall", "outcomes-systemMedium", "outcomes-systemLarge",
    "receipt-systemSmall",  "receipt-systemMedium",  "receipt-systemLarge",
    "rhythm-systemSmall",   "rhythm-systemMedium",   "volume-systemSmall",
    "volume-systemMedium",  "limits-systemSmall",    "limits-systemMedium",
    "now-systemSmall",      "now-systemMedium",      "now-systemLarge",
    "week-systemLarge",
};

std::pair<std::uint32_t, std::uint32_t> pngSize(const std::string& png) {
  const auto be32 = [&png](std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(png[at + i]);
    return v;
  };
  return {be32(16), be32(20)};
}

TEST_F(Gallery, EveryWidgetFamilyAndAppearanceAtScaleTwo) {
  const fs::path out = dir_ / "out" / "nested";  // created on the way
  ASSERT_EQ(run({hostileSnapshot().string(), generated_ + 3600, out.string()}), 0) << err_.str();
  EXPECT_EQ(out_.str(), "gallery: 38 images and " + (out / "index.html").string() + "\n");

  std::set<std::string> expected{"index.html"};
  for (const char* image : kImages) {
    expected.insert(std::string(image) + "-light.png");
    expected.insert(std::string(image) + "-dark.png");
  }
  std::set<std::string> files;
  for (const auto& entry : fs::directory_iterator(out)) files.insert(entry.path().filename());
  EXPECT_EQ(files, expected);

  const std::string small = readFile(out / "limits-systemSmall-light.png");
  const std::string medium = readFile(out / "limits-systemMedium-dark.png");
  const std::string large = readFile(out / "week-systemLarge-light.png");
  ASSERT_GT(small.size(), 24u);
  EXPECT_EQ(small.substr(1, 3), "PNG");
  EXPECT_EQ(pngSize(small), (std::pair<std::uint32_t, std::uint32_t>{340, 340}));
  EXPECT_EQ(pngSize(medium), (std::pair<std::uint32_t, std::uint32_t>{728, 340}));
  EXPECT_EQ(pngSize(large), (std::pair<std::uint32_t, std::uint32_t>{728, 764}));
  EXPECT_NE(readFile(out / "limits-systemSmall-dark.png"), small);
}

TEST_F(Gallery, ContactSheetEscapesSnapshotTextsAndLinksEveryImage) {
  const fs::path out = dir_ / "out";
  ASSERT_EQ(run({hostileSnapshot().string(), generated_ + 3600, out.string()}), 0) << err_.str();
  const std::string html = readFile(out / "index.html");

  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_NE(html.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; co"),
            std::string::npos);
  EXPECT_NE(html.find("Tom &amp; Jerry&#39;s &lt;b&gt;limits&lt;/b&gt;"), std::string::npos);

  // Every image sits in a link to its widget's deep link, with its point size.
  for (const char* image : kImages) {
    const std::string face = std::string(image).substr(0, std::string(image).find('-'));
    for (const char* appearance : {"light", "dark"}) {
      const std::string tag = "<a href=\"korvel://week/" + face + "\"><img src=\"" + image + "-" +
                              appearance + ".png\"";
      EXPECT_NE(html.find(tag), std::string::npos) << tag;
    }
  }
  EXPECT_NE(html.find("src=\"now-systemMedium-light.png\" width=\"364\" height=\"170\""),
            std::string::npos);

  // Sections by widget, in bundle order, with names and families.
  std::size_t at = 0;
  for (const char* name : {"Without you", "How runs ended", "Receipt of the week",
                           "Rhythm of the week", "Code changes", "Limits", "Working now",
                           "The week at a glance"}) {
    const std::size_t found = html.find("<h2>" + std::string(name) + "</h2>", at);
    ASSERT_NE(found, std::string::npos) << name;
    at = found;
  }
  EXPECT_NE(html.find("<strong>systemLarge</strong>"), std::string::npos);
  EXPECT_NE(html.find("What the week&#39;s work would have cost"), std::string::npos);
  EXPECT_NE(html.find("drawn at 2025-06-12 17:42:07 UTC"), std::string::npos);
}

TEST_F(Gallery, WithoutASnapshotEveryWidgetIsEmptyAndSpeaksKorvel) {
  const fs::path out = dir_ / "out";
  ASSERT_EQ(run({"", 1749750127, out.string()}), 0) << err_.str();
  EXPECT_NE(err_.str().find("every widget shows the empty face"), std::string::npos);
  const std::string html = readFile(out / "index.html");
  std::size_t spoken = 0;
  for (std::size_t at = 0; (at = html.find("spoken: &ldquo;Korvel&rdquo;", at)) != std::string::npos;
       ++at) {
    ++spoken;
  }
  EXPECT_EQ(spoken, 19u);
}

TEST_F(Gallery, SnapshotAtThePlatformLocationIsUsed) {
  fs::copy_file(hostileSnapshot(), dir_ / "group" / "week.json");
  const fs::path out = dir_ / "out";
  ASSERT_EQ(run({"", generated_ + 3600, out.string()}), 0) << err_.str();
  EXPECT_EQ(err_.str(), "");
  EXPECT_NE(readFile(out / "index.html").find("Tom &amp; Jerry"), std::string::npos);
}

TEST_F(Gallery, ProblemsAreReportedAndNothingIsDrawn) {
  const fs::path broken = dir_ / "broken.json";
  writeFile(broken, "{\"v\": 1");
  const fs::path out = dir_ / "out";

  EXPECT_EQ(run({(dir_ / "missing.json").string(), 0, out.string()}), 1);
  EXPECT_NE(err_.str().find("missing.json"), std::string::npos) << err_.str();
  EXPECT_EQ(run({broken.string(), 0, out.string()}), 1);
  EXPECT_NE(err_.str().find("broken.json"), std::string::npos) << err_.str();
  EXPECT_FALSE(fs::exists(out));

  EXPECT_EQ(run({"", std::numeric_limits<double>::quiet_NaN(), out.string()}), 2);
  EXPECT_EQ(run({"", 0, ""}), 2);

  writeFile(dir_ / "plain-file", "x");
  EXPECT_EQ(run({"", 0, (dir_ / "plain-file").string()}), 1);
  EXPECT_NE(err_.str().find("cannot create"), std::string::npos) << err_.str();
}

TEST(GalleryNames, ImageNamesAndEscaping) {
  EXPECT_EQ(galleryImageName("limits", "systemMedium", "dark"), "limits-systemMedium-dark.png");
  EXPECT_EQ(escapeHtml("a<b>&\"c\"'d'"), "a&lt;b&gt;&amp;&quot;c&quot;&#39;d&#39;");
  EXPECT_EQ(escapeHtml("caf\u00E9 \u00B7 9\u201315"), "caf\u00E9 \u00B7 9\u201315");
}

}  // namespace
}  // namespace korvel::host
