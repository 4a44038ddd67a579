// Where the snapshot file is looked for, and what every road that reads it makes of whatever
// sits at its path. A guard frees a reader that blocks anyway, so that a fault shows as a failed
// test rather than a hung one.
#include "snapshot/loading.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstring>
#include <functional>
#include <future>
#include <string>
#include <variant>
#include <vector>

#include "support/fake_lookups.h"
#include "support/files.h"

namespace korvel {
namespace {

namespace fs = std::filesystem;
using testing::exampleText;
using testing::FakeLookups;
using ::testing::HasSubstr;
using testing::ScratchDir;
using testing::writeFile;

TEST(SnapshotLocation, ChannelAndGroupFolderChooseThePath) {
  const std::string home = "/home/ana/Library/Group Containers/ZX4R7PLM2Q.group.korvel.week/";
  const struct {
    const char* name;
    std::optional<BundleValue> channel;
    std::optional<fs::path> group;
    std::string path;
  } cases[] = {
      {"NoChannel", std::nullopt, "/srv/g", "/srv/g/week.json"},
      // Trimmed of Unicode white space and lower-cased, this is "dev".
      {"Dev", BundleValue{"\u0085\u00A0 DeV\t\u2003\u2028"}, "/srv/g/", "/srv/g/week-dev.json"},
      {"OtherText", BundleValue{"dev\u200B"}, "/srv/g", "/srv/g/week.json"},  // no white space
      {"NotText", BundleValue{true}, "/srv/g", "/srv/g/week.json"},
      {"BelowHome", std::nullopt, std::nullopt, home + "week.json"},
      {"DevBelowHome", BundleValue{"dev"}, std::nullopt, home + "week-dev.json"},
  };
  for (const auto& c : cases) {
    FakeLookups lookups;
    lookups.channel = c.channel;
    lookups.group = c.group;
    EXPECT_EQ(snapshotFileURL(lookups).string(), c.path) << c.name;
    EXPECT_EQ(lookups.askedGroup, "ZX4R7PLM2Q.group.korvel.week");
  }
}

// Descriptors a case keeps open while it is read.
struct HeldOpen {
  std::vector<int> fds;
  ~HeldOpen() {
    for (const int fd : fds) ::close(fd);
  }
};

// Runs `read` on a thread of its own. Should it block, closing what the case holds and a writer
// that comes and goes (which ends a blocked open or read of a FIFO) free it.
bool returnsPromptly(const std::function<void()>& read, const fs::path& file, HeldOpen& held) {
  auto done = std::async(std::launch::async, read);
  if (done.wait_for(std::chrono::seconds(30)) == std::future_status::ready) return true;
  for (const int fd : held.fds) ::close(fd);
  held.fds.clear();
  while (done.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  }
  return false;
}

// The writer has sent a snapshot and stays: a reader that trusted the FIFO would wait for an end
// of file that never comes. Opening the read end first lets the writer connect.
void fifoWithWriter(const fs::path& at, HeldOpen& held) {
  ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0);
  held.fds = {::open(at.c_str(), O_RDONLY | O_NONBLOCK), ::open(at.c_str(), O_WRONLY | O_NONBLOCK)};
  const std::string text = exampleText("week-empty.json");
  ASSERT_EQ(::write(held.fds[1], text.data(), text.size()), std::ssize(text));
}

void socketFile(const fs::path& at, HeldOpen& held) {
  sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
  ASSERT_LT(at.string().size(), sizeof address.sun_path);
  std::strncpy(address.sun_path, at.c_str(), sizeof address.sun_path - 1);
  held.fds = {::socket(AF_UNIX, SOCK_STREAM, 0)};
  ASSERT_EQ(::bind(held.fds[0], reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
}

TEST(LoadSnapshot, EveryReaderReturnsPromptlyWithTheVerdict) {
  using Kind = ErrorKind;
  using Make = std::function<void(const fs::path& at, HeldOpen& held)>;
  const std::string sample = exampleText("week.json");
  const auto writes = [](std::string text) -> Make {
    return [text](auto& at, auto&) { writeFile(at, text); };
  };
  const Make nothing = [](auto&, auto&) {};
  const Make fifo = [](auto& at, auto&) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); };
  const struct {
    const char* name;
    const char* linkTo;  // not empty: made there, and week.json links to it
    Make make;
    const char* reason;  // a part of it; nullptr: the sample is loaded
    Kind kind = Kind::unreadable;
  } cases[] = {
      {"Sample", "", writes(sample), nullptr},
      {"LinkToSample", "real.json", writes(sample), nullptr},
      {"Missing", "", nothing, "cannot open: No such file or directory"},
      {"DanglingLink", "gone.json", nothing, "cannot open: No such file or directory"},
      {"LinkLoop", "b.json", [](auto& at, auto&) { fs::create_symlink("week.json", at); },
       "cannot open: Too many levels of symbolic links"},
      {"Directory", "", [](auto& at, auto&) { fs::create_directory(at); }, "is a directory"},
      {"FifoWithoutWriter", "", fifo, "is a FIFO, not a regular file"},
      {"LinkToFifo", "pipe", fifo, "is a FIFO, not a regular file"},
      {"FifoWithWriter", "", fifoWithWriter, "is a FIFO, not a regular file"},
      {"EndlessDevice", "/dev/zero", nothing, "is a device, not a regular file"},
      {"Socket", "", socketFile, "cannot open: No such device or address"},
      // Sparse, so that no disk is used: the size alone must decide.
      {"OneByteOverTheCap", "",
       [](auto& at, auto&) {
         writeFile(at, "");
         fs::resize_file(at, maxSnapshotBytes + 1);
       },
       "is larger than 64 MiB"},
      // Reports size 0 yet holds text: the reader must read to the end, not trust the size.
      {"ReportsNoSize", "/proc/self/status", nothing, "line 1 column 1: ", Kind::malformed},
      {"Empty", "", writes(""), "line 1 column 1: ", Kind::malformed},
      {"Refused", "", writes(testing::replaceOnce(sample, "[9, 2, 1],", "[9, null, 1],")),
       "outcomes.perDay[0][1]: ", Kind::invalid},
  };
  const auto loaded = decodeSnapshot(sample);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    const fs::path file = dir / "week.json";
    HeldOpen held;
    c.make(dir / (*c.linkTo ? c.linkTo : "week.json"), held);
    if (*c.linkTo) fs::create_symlink(c.linkTo, file);
    if (HasFatalFailure()) return;
    FakeLookups lookups;
    lookups.group = dir.path();
    LoadResult detailed = Error{};
    std::optional<WeekSnapshot> at, found;
    EXPECT_TRUE(returnsPromptly(
        [&] {
          detailed = loadSnapshotDetailed(file);
          at = loadSnapshotAt(file);
          found = loadSnapshot(lookups);
        },
        file, held));
    EXPECT_EQ(at, c.reason ? std::nullopt : loaded);
    EXPECT_EQ(found, c.reason ? std::nullopt : loaded);
    const auto* error = std::get_if<Error>(&detailed);
    ASSERT_EQ(error != nullptr, c.reason != nullptr) << (error ? error->describe() : "loaded");
    if (!error) continue;
    EXPECT_EQ(error->where, file.string());
    EXPECT_EQ(error->kind, c.kind);
    EXPECT_THAT(error->message, HasSubstr(c.reason));
  }
}

TEST(LoadSnapshot, UnreadableFileSaysSo) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  ScratchDir dir;
  writeFile(dir / "week.json", exampleText("week.json"));
  fs::permissions(dir / "week.json", fs::perms::none);
  const auto result = loadSnapshotDetailed(dir / "week.json");
  ASSERT_TRUE(std::holds_alternative<Error>(result));
  EXPECT_EQ(std::get<Error>(result).message, "cannot open: Permission denied");
}

TEST(LoadSnapshot, ReadsWhereTheLookupsPoint) {
  ScratchDir dir;
  FakeLookups lookups;
  lookups.home = dir.path();  // no group folder: below the home folder
  lookups.channel = BundleValue{"dev"};
  const fs::path belowHome = dir / "Library/Group Containers/ZX4R7PLM2Q.group.korvel.week";
  fs::create_directories(belowHome);
  writeFile(belowHome / "week-dev.json", exampleText("week-off.json"));
  EXPECT_EQ(loadSnapshot(lookups), decodeSnapshot(exampleText("week-off.json")));
  lookups.group = dir.path();  // no development file there
  EXPECT_EQ(loadSnapshot(lookups), std::nullopt);
}

// The cap is inclusive, and holds for a file that grows past it while read (/proc reports size 0
// yet holds text). The bytes are followed by zeros for the parser.
TEST(ReadSnapshotFile, StopsAtTheCapAndPadsWithZeros) {
  ScratchDir dir;
  writeFile(dir / "16", std::string(16, ' '));
  const ReadResult read = readSnapshotFile(dir / "16", 16);
  ASSERT_TRUE(std::holds_alternative<FileBytes>(read));
  const FileBytes& bytes = std::get<FileBytes>(read);
  EXPECT_EQ(std::string_view(bytes.data.get(), bytes.size + jsonPadding),
            std::string(16, ' ') + std::string(jsonPadding, '\0'));
  for (const auto& [path, cap] :
       {std::pair<fs::path, std::size_t>{dir / "16", 15}, {"/proc/self/status", 10}}) {
    const ReadResult over = readSnapshotFile(path, cap);
    ASSERT_TRUE(std::holds_alternative<Error>(over)) << path;
    EXPECT_EQ(std::get<Error>(over).message, "is larger than " + std::to_string(cap) + " bytes");
  }
}

}  // namespace
}  // namespace korvel
