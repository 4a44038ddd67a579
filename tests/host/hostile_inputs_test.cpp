// Every widget in every family, in light and dark, drawn from inputs no companion would write:
// the hostile snapshots (tests/data/hostile) and what the fuzzers kept
// (tests/data/fuzz-regressions). The shared walk checks bounded work, containment, finite
// geometry, palette colours and UTF-8 texts, and paints each widget.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "snapshot/decode.h"
#include "snapshot/generation_time.h"
#include "snapshot/loading.h"
#include "support/child_process.h"
#include "support/files.h"
#include "support/widget_walk.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;
const fs::path kData(KORVEL_TEST_DATA_DIR);

std::string gunzip(const fs::path& path) {
  gzFile in = gzopen(path.c_str(), "rb");
  if (!in) throw std::runtime_error("cannot open " + path.string());
  std::string out;
  char buffer[1 << 16];
  int n;
  while ((n = gzread(in, buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<std::size_t>(n));
  gzclose(in);
  return out;
}

struct HostileCase {
  std::string file;
  double now;
};

std::vector<HostileCase> hostileCases() {
  std::vector<HostileCase> cases;
  std::ifstream index(kData / "hostile" / "cases.txt");
  HostileCase c;
  while (index >> c.file >> c.now) cases.push_back(c);
  return cases;
}

void expectNoProblems(const std::vector<std::string>& problems) {
  for (std::size_t i = 0; i < std::min<std::size_t>(problems.size(), 10); ++i) ADD_FAILURE() << problems[i];
}

class HostileSnapshot : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileSnapshot, EveryWidgetDrawsWithBoundedWorkInsideItself) {
  const DecodeResult decoded = decodeSnapshotDetailed(gunzip(kData / "hostile" / GetParam().file));
  ASSERT_TRUE(std::holds_alternative<WeekSnapshot>(decoded)) << std::get<Error>(decoded).describe();
  expectNoProblems(testing::walkEveryPlacement(std::get<WeekSnapshot>(decoded), GetParam().now));
}

INSTANTIATE_TEST_SUITE_P(Files, HostileSnapshot, ::testing::ValuesIn(hostileCases()), [](const auto& param) {
  std::string n = param.param.file.substr(0, param.param.file.find('.'));
  std::erase(n, '-');
  return n;
});

// The most memory `args` held at once, in kilobytes, when it exited with 0; else -1. Forked
// rather than spawned: a process made with vfork, as posix_spawn does, inherits the high-water
// mark of its parent's memory.
long peakKilobytes(std::vector<std::string> args, const fs::path& log) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fd, 1), ::dup2(fd, 2);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(fd);
  int status = 0;
  rusage usage{};
  return ::wait4(pid, &status, 0, &usage) == pid && status == 0 ? usage.ru_maxrss : -1;
}

// A snapshot of the largest size read whose bulk is one undeclared value: every command that
// reads it holds at most about twice the file plus the program's usual 25 MB.
TEST(HostileSnapshot, AHugeUndeclaredValueCostsNoMoreThanItsBytes) {
  if (std::getenv("ASAN_OPTIONS")) GTEST_SKIP() << "the sanitizers' memory would swamp the measure";
  korvel::testing::ScratchDir dir;
  const std::string sample = korvel::testing::exampleText("week.json");
  {
    std::string text = "{\"zz\": [0";
    text.reserve(maxSnapshotBytes);
    while (text.size() + sample.size() + 4 < maxSnapshotBytes) text += ",0";
    korvel::testing::writeFile(dir / "big.json", text + "], " + sample.substr(1));
  }
  const std::string big = dir / "big.json", program = korvel::testing::programPath();
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {program, "check", big},
           {program, "render", "--kind", "limits", "--family", "systemMedium", "--appearance",
            "dark", "--format", "png", "--snapshot", big, "-o", dir / "w.png"},
           {program, "play", "--once", "--snapshot", big, "--place", "limits:medium", "-o",
            dir / "out"}}) {
    const long peak = peakKilobytes(args, dir / "log");
    EXPECT_GT(peak, 0) << args[1] << ": " << korvel::testing::readFile(dir / "log");
    EXPECT_LT(peak, 2 * 65536 + 25000) << args[1];
  }
}

TEST(HostileSnapshot, AllCasesAreThere) { EXPECT_EQ(hostileCases().size(), 18u); }

// Inputs that once crashed a fuzzer, and a minimized corpus of both: refused with a message, or
// drawn at the moment the fuzzer picked for them (fresh, stale or before generation).
TEST(FuzzRegressions, EveryKeptInputIsRefusedOrDrawsSafely) {
  std::size_t accepted = 0, files = 0;
  for (const auto& entry : fs::directory_iterator(kData / "fuzz-regressions")) {
    if (entry.path().filename() == "README.md") continue;
    ++files;
    SCOPED_TRACE(entry.path().filename().string());
    const std::string bytes = testing::readFile(entry.path());
    const DecodeResult result = decodeSnapshotDetailed(bytes);
    if (const auto* error = std::get_if<Error>(&result)) {
      EXPECT_FALSE(error->message.empty());
      continue;
    }
    ++accepted;
    const WeekSnapshot& snapshot = std::get<WeekSnapshot>(result);
    EXPECT_EQ(decodeSnapshot(encodeSnapshot(snapshot)), snapshot) << "encoding round trip";
    const double offsets[] = {3600.0, 4 * 3600.0 + 1, -60.0};
    expectNoProblems(testing::walkEveryPlacement(snapshot, generationTime(snapshot) + offsets[bytes.size() % 3]));
  }
  EXPECT_GE(files, 10u) << "the regression corpus is missing";
  EXPECT_GE(accepted, 3u) << "the corpus should keep snapshots that draw, not only refusals";
}

}  // namespace
}  // namespace korvel::host
