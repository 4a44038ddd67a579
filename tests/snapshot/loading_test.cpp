#include "snapshot/loading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <variant>

#include "snapshot/fake_lookups.h"
#include "snapshot/test_files.h"

namespace korvel {
namespace {

namespace fs = std::filesystem;
using testing::FakeLookups;
using testing::ScratchDir;

// ---- file name ----

struct ChannelCase {
  const char* name;
  std::optional<BundleValue> channel;
  const char* file;
};

void PrintTo(const ChannelCase& c, std::ostream* os) { *os << c.name; }

class FileName : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(FileName, FollowsTheChannel) {
  FakeLookups lookups;
  lookups.channel = GetParam().channel;
  EXPECT_EQ(snapshotFileName(lookups), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Channels, FileName,
    ::testing::Values(
        ChannelCase{"NoValue", std::nullopt, "week.json"},
        ChannelCase{"Dev", BundleValue{"dev"}, "week-dev.json"},
        ChannelCase{"CapitalsSpacesNewline", BundleValue{" DEV \n"}, "week-dev.json"},
        ChannelCase{"MixedCaseTab", BundleValue{"\tDev"}, "week-dev.json"},
        ChannelCase{"UnicodeSpaces", BundleValue{"\u00A0dEv\u2003\u2028"}, "week-dev.json"},
        ChannelCase{"ZeroWidthSpaceIsNotWhiteSpace", BundleValue{"dev\u200B"}, "week.json"},
        ChannelCase{"SpaceInside", BundleValue{"d ev"}, "week.json"},
        ChannelCase{"Dev2", BundleValue{"dev2"}, "week.json"},
        ChannelCase{"Development", BundleValue{"development"}, "week.json"},
        ChannelCase{"Prod", BundleValue{"prod"}, "week.json"},
        ChannelCase{"EmptyText", BundleValue{""}, "week.json"},
        ChannelCase{"Integer", BundleValue{std::int64_t{1}}, "week.json"},
        ChannelCase{"Real", BundleValue{2.5}, "week.json"},
        ChannelCase{"Flag", BundleValue{true}, "week.json"}),
    [](const ::testing::TestParamInfo<ChannelCase>& p) { return std::string(p.param.name); });

// ---- file location ----

TEST(FileLocation, GroupFolderGetsTheNameAsOneComponent) {
  FakeLookups lookups;
  lookups.group = "/srv/groups/korvel";
  EXPECT_EQ(snapshotFileURL(lookups), fs::path("/srv/groups/korvel/week.json"));
  EXPECT_EQ(lookups.askedGroup, "ZX4R7PLM2Q.group.korvel.week");

  lookups.group = "/srv/groups/korvel/";
  lookups.channel = BundleValue{"dev"};
  EXPECT_EQ(snapshotFileURL(lookups), fs::path("/srv/groups/korvel/week-dev.json"));
}

TEST(FileLocation, NoGroupFolderFallsBackBelowHome) {
  FakeLookups lookups;
  lookups.home = "/home/ana";
  EXPECT_EQ(snapshotFileURL(lookups).string(),
            "/home/ana/Library/Group Containers/ZX4R7PLM2Q.group.korvel.week/week.json");
  lookups.channel = BundleValue{"Dev\n"};
  EXPECT_EQ(snapshotFileURL(lookups).string(),
            "/home/ana/Library/Group Containers/ZX4R7PLM2Q.group.korvel.week/week-dev.json");
}

// ---- reading ----

std::string verdict(const fs::path& path) {
  const auto result = loadSnapshotDetailed(path);
  if (std::holds_alternative<WeekSnapshot>(result)) return "accepted";
  return std::get<LoadError>(result).reason;
}

class Reading : public ::testing::Test {
 protected:
  ScratchDir dir;
  const std::string sample = testing::exampleText("week.json");
};

TEST_F(Reading, ValidFileGivesTheDecodedSnapshot) {
  testing::writeFile(dir / "week.json", sample);
  const auto loaded = loadSnapshotAt(dir / "week.json");
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(*loaded, *decodeSnapshot(sample));
}

TEST_F(Reading, MissingFileSaysSo) {
  const auto result = loadSnapshotDetailed(dir / "week.json");
  ASSERT_TRUE(std::holds_alternative<LoadError>(result));
  const LoadError& error = std::get<LoadError>(result);
  EXPECT_EQ(error.kind, LoadError::Kind::unreadable);
  EXPECT_EQ(error.describe(), (dir / "week.json").string() + ": cannot open: No such file or directory");
  EXPECT_FALSE(loadSnapshotAt(dir / "week.json").has_value());
}

TEST_F(Reading, RefusedContentSaysWhereAndWhy) {
  testing::writeFile(dir / "week.json",
                     testing::replaceOnce(sample, "[9, 2, 1],", "[9, null, 1],"));
  const auto result = loadSnapshotDetailed(dir / "week.json");
  ASSERT_TRUE(std::holds_alternative<LoadError>(result));
  EXPECT_EQ(std::get<LoadError>(result).kind, LoadError::Kind::refused);
  EXPECT_EQ(std::get<LoadError>(result).reason,
            "outcomes.perDay[0][1]: expected an integer, found null");
}

TEST_F(Reading, DirectoryIsRefused) {
  fs::create_directory(dir / "week.json");
  EXPECT_EQ(verdict(dir / "week.json"), "is a directory, not a file");
}

TEST_F(Reading, FifoIsRefusedWithoutBlocking) {
  ASSERT_EQ(::mkfifo((dir / "week.json").c_str(), 0600), 0);
  EXPECT_EQ(verdict(dir / "week.json"), "is a FIFO, not a regular file");
}

TEST_F(Reading, DeviceIsRefused) {
  EXPECT_EQ(verdict("/dev/zero"), "is a device, not a regular file");
}

TEST_F(Reading, SymbolicLinkToValidFileIsFollowed) {
  testing::writeFile(dir / "real.json", sample);
  fs::create_symlink(dir / "real.json", dir / "week.json");
  EXPECT_EQ(verdict(dir / "week.json"), "accepted");
}

TEST_F(Reading, SymbolicLinkToMissingFileGivesNothing) {
  fs::create_symlink(dir / "gone.json", dir / "week.json");
  EXPECT_EQ(verdict(dir / "week.json"), "cannot open: No such file or directory");
}

TEST_F(Reading, SymbolicLinkLoopGivesNothing) {
  fs::create_symlink(dir / "b.json", dir / "week.json");
  fs::create_symlink(dir / "week.json", dir / "b.json");
  EXPECT_EQ(verdict(dir / "week.json"), "cannot open: Too many levels of symbolic links");
}

TEST_F(Reading, UnreadableFileGivesNothing) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  testing::writeFile(dir / "week.json", sample);
  fs::permissions(dir / "week.json", fs::perms::none);
  EXPECT_EQ(verdict(dir / "week.json"), "cannot open: Permission denied");
}

TEST_F(Reading, EmptyAndNullFilesAreRefused) {
  testing::writeFile(dir / "empty.json", "");
  EXPECT_EQ(verdict(dir / "empty.json"), "line 1 column 1: invalid JSON (no JSON value)");
  testing::writeFile(dir / "null.json", "null\n");
  EXPECT_EQ(verdict(dir / "null.json"), "expected an object at the top level, found null");
}

TEST_F(Reading, HundredMegabytesAreRefusedBeforeReading) {
  // Sparse, so the test costs no disk and no time; the cap is decided from the size alone.
  const int fd = ::open((dir / "week.json").c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, 100 << 20), 0);
  ::close(fd);
  EXPECT_EQ(verdict(dir / "week.json"), "is larger than 64 MiB");
}

TEST_F(Reading, WhitespaceFileIsRefusedAsInvalid) {
  testing::writeFile(dir / "week.json", std::string(1 << 20, ' ') + "\n");
  EXPECT_EQ(verdict(dir / "week.json"), "line 2 column 1: invalid JSON (no JSON value)");
}

TEST_F(Reading, CapIsInclusive) {
  testing::writeFile(dir / "16.json", std::string(16, ' '));
  testing::writeFile(dir / "17.json", std::string(17, ' '));
  const auto exact = readSnapshotFile(dir / "16.json", 16);
  ASSERT_TRUE(std::holds_alternative<FileBytes>(exact));
  EXPECT_EQ(std::get<FileBytes>(exact).view(), std::string(16, ' '));
  const auto over = readSnapshotFile(dir / "17.json", 16);
  ASSERT_TRUE(std::holds_alternative<ReadError>(over));
  EXPECT_EQ(std::get<ReadError>(over).reason, "is larger than 16 bytes");
}

TEST_F(Reading, ReadsToTheEndWhateverTheReportedSize) {
  // Files under /proc report size 0 yet hold text: the reader must not trust the size, which is
  // also what makes a file that grows while it is read come out whole.
  const auto whole = readSnapshotFile("/proc/self/status");
  ASSERT_TRUE(std::holds_alternative<FileBytes>(whole));
  EXPECT_TRUE(std::get<FileBytes>(whole).view().starts_with("Name:"));
  // ...and a file that turns out larger than the cap while read is still refused.
  const auto capped = readSnapshotFile("/proc/self/status", 10);
  ASSERT_TRUE(std::holds_alternative<ReadError>(capped));
  EXPECT_EQ(std::get<ReadError>(capped).reason, "is larger than 10 bytes");
}

TEST_F(Reading, BytesArePaddedWithZeros) {
  testing::writeFile(dir / "week.json", "{}");
  const auto read = readSnapshotFile(dir / "week.json");
  ASSERT_TRUE(std::holds_alternative<FileBytes>(read));
  const FileBytes& bytes = std::get<FileBytes>(read);
  for (std::size_t i = 0; i < jsonPadding; ++i) EXPECT_EQ(bytes.data[bytes.size + i], '\0');
}

// ---- the whole road ----

TEST_F(Reading, LoadsFromTheGroupFolder) {
  FakeLookups lookups;
  lookups.group = dir.path();
  testing::writeFile(dir / "week.json", sample);
  EXPECT_TRUE(loadSnapshot(lookups).has_value());

  lookups.channel = BundleValue{"dev"};  // the development file is not there
  EXPECT_FALSE(loadSnapshot(lookups).has_value());
  testing::writeFile(dir / "week-dev.json", testing::exampleText("week-off.json"));
  const auto dev = loadSnapshot(lookups);
  ASSERT_TRUE(dev.has_value());
  EXPECT_TRUE(dev->off);
}

TEST_F(Reading, LoadsFromTheHomeFallback) {
  FakeLookups lookups;
  lookups.home = dir.path();
  const fs::path folder = dir / "Library/Group Containers/ZX4R7PLM2Q.group.korvel.week";
  fs::create_directories(folder);
  EXPECT_FALSE(loadSnapshot(lookups).has_value());
  testing::writeFile(folder / "week.json", sample);
  EXPECT_TRUE(loadSnapshot(lookups).has_value());
}

TEST_F(Reading, ARefusedFileGivesNothing) {
  FakeLookups lookups;
  lookups.group = dir.path();
  testing::writeFile(dir / "week.json", testing::replaceOnce(sample, "\"v\": 1,", "\"v\": 0,"));
  EXPECT_FALSE(loadSnapshot(lookups).has_value());
}

}  // namespace
}  // namespace korvel
