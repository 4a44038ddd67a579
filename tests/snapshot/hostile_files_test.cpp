// Whatever sits at the snapshot's path, every road that reads it returns promptly with no
// snapshot: a FIFO with or without a writer, a link to one, devices, a socket, and a sparse file
// just past the size cap. A guard thread frees a reader that blocks anyway, so a fault shows as
// a failed test rather than a hung one.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "snapshot/fake_lookups.h"
#include "snapshot/loading.h"
#include "snapshot/test_files.h"

namespace korvel {
namespace {

namespace fs = std::filesystem;
using testing::FakeLookups;
using testing::ScratchDir;

// Something hostile at `dir/week.json`.
struct Hostile {
  const char* name;
  std::function<void(const fs::path& file)> make;
  std::string reason;  // what the loader says
};

// A writer end held open for a whole case (the FIFO has a writer, so nothing would stop a
// blocking read from waiting for data forever).
struct HeldWriter {
  int fd = -1;
  ~HeldWriter() {
    if (fd >= 0) ::close(fd);
  }
};

// Connecting to and disconnecting from a FIFO ends a reader blocked in opening it.
void connectOnce(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_NONBLOCK);
  if (fd >= 0) ::close(fd);
}

// Runs `read` on a thread of its own. Should it not come back within a generous bound (a
// guard, not a measurement), `release` frees it and the block is reported.
bool returnsWithoutBlocking(const std::function<void()>& read,
                            const std::function<void()>& release) {
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  std::thread reader([&] {
    read();
    const std::lock_guard lock(m);
    done = true;
    cv.notify_one();
  });
  std::unique_lock lock(m);
  const bool returned = cv.wait_for(lock, std::chrono::seconds(30), [&] { return done; });
  lock.unlock();
  if (!returned) release();
  reader.join();
  return returned;
}

class HostileFiles : public ::testing::TestWithParam<int> {};

const std::vector<Hostile>& hostileFiles() {
  static const std::vector<Hostile> cases = {
      {"fifo without a writer",
       [](const fs::path& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); },
       "is a FIFO, not a regular file"},
      {"link to a fifo",
       [](const fs::path& f) {
         const fs::path target = f.parent_path() / "pipe";
         ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
         fs::create_symlink(target, f);
       },
       "is a FIFO, not a regular file"},
      {"directory", [](const fs::path& f) { fs::create_directory(f); },
       "is a directory, not a file"},
      {"/dev/null (empty device)",
       [](const fs::path& f) { fs::create_symlink("/dev/null", f); },
       "is a device, not a regular file"},
      {"/dev/zero (endless device)",
       [](const fs::path& f) { fs::create_symlink("/dev/zero", f); },
       "is a device, not a regular file"},
      {"/dev/urandom", [](const fs::path& f) { fs::create_symlink("/dev/urandom", f); },
       "is a device, not a regular file"},
      {"unix socket",
       [](const fs::path& f) {
         const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
         ASSERT_GE(s, 0);
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         ASSERT_LT(f.string().size(), sizeof address.sun_path);
         std::strncpy(address.sun_path, f.c_str(), sizeof address.sun_path - 1);
         ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
         ::close(s);  // the socket file stays
       },
       "cannot open: No such device or address"},
      {"sparse file one byte over the cap",
       [](const fs::path& f) {
         // No disk is used: the size alone must decide.
         const int fd = ::open(f.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
         ASSERT_GE(fd, 0);
         ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(maxSnapshotBytes) + 1), 0);
         ::close(fd);
       },
       "is larger than 64 MiB"},
  };
  return cases;
}

TEST_P(HostileFiles, EveryReaderReturnsPromptlyWithNothing) {
  const Hostile& c = hostileFiles()[static_cast<std::size_t>(GetParam())];
  SCOPED_TRACE(c.name);
  ScratchDir dir;
  const fs::path file = dir / "week.json";
  c.make(file);
  if (HasFatalFailure()) return;
  FakeLookups lookups;
  lookups.group = dir.path();

  ReadResult read = ReadError{"not read"};
  LoadResult detailed = LoadError{};
  std::optional<WeekSnapshot> at(std::in_place), found(std::in_place);
  const auto release = [&file] { connectOnce(file); };
  ASSERT_TRUE(returnsWithoutBlocking([&] { read = readSnapshotFile(file); }, release));
  ASSERT_TRUE(returnsWithoutBlocking([&] { detailed = loadSnapshotDetailed(file); }, release));
  ASSERT_TRUE(returnsWithoutBlocking([&] { at = loadSnapshotAt(file); }, release));
  ASSERT_TRUE(returnsWithoutBlocking([&] { found = loadSnapshot(lookups); }, release));

  ASSERT_TRUE(std::holds_alternative<ReadError>(read));
  EXPECT_EQ(std::get<ReadError>(read).reason, c.reason);
  ASSERT_TRUE(std::holds_alternative<LoadError>(detailed));
  EXPECT_EQ(std::get<LoadError>(detailed).reason, c.reason);
  EXPECT_EQ(std::get<LoadError>(detailed).kind, LoadError::Kind::unreadable);
  EXPECT_FALSE(at.has_value());
  EXPECT_FALSE(found.has_value());
}

INSTANTIATE_TEST_SUITE_P(Paths, HostileFiles,
                         ::testing::Range(0, static_cast<int>(hostileFiles().size())));

// A FIFO whose writer is connected and has sent a valid snapshot: opening does not block here,
// but a reader that trusted it would then wait for an end of file that never comes.
TEST(HostileFifo, AWriterHoldingTheFifoOpenDoesNotHoldTheReader) {
  ScratchDir dir;
  const fs::path file = dir / "week.json";
  ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
  // Opening the read end first (non-blocking) lets the writer connect without waiting.
  const int keepReadable = ::open(file.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(keepReadable, 0);
  HeldWriter writer{::open(file.c_str(), O_WRONLY | O_NONBLOCK)};
  ASSERT_GE(writer.fd, 0);
  const std::string sample = testing::exampleText("week-empty.json");
  ASSERT_EQ(::write(writer.fd, sample.data(), sample.size()),
            static_cast<ssize_t>(sample.size()));

  LoadResult detailed = LoadError{};
  const bool returned = returnsWithoutBlocking([&] { detailed = loadSnapshotDetailed(file); },
                                               [&writer] {
                                                 ::close(writer.fd);  // the reader's end of file
                                                 writer.fd = -1;
                                               });
  ::close(keepReadable);
  ASSERT_TRUE(returned);
  ASSERT_TRUE(std::holds_alternative<LoadError>(detailed));
  EXPECT_EQ(std::get<LoadError>(detailed).reason, "is a FIFO, not a regular file");
}

}  // namespace
}  // namespace korvel
