// Several host threads ask one provider for timelines and snapshots while the companion keeps
// rewriting the file under them, both the safe way (a temporary file renamed over it) and the
// careless way (truncated and written in place, in two pieces). A request may find no usable
// snapshot, but whatever it delivers must be one of the snapshots written, whole: never a
// mixture, never a snapshot that differs between the two entries of one timeline.
//
// Built twice: in the widgets tests, and alone under the thread sanitizer (scripts/tsan.sh).
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "snapshot/decode.h"
#include "snapshot/test_files.h"
#include "widgets/week_provider.h"

namespace korvel {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;

constexpr int kReaders = 3;
constexpr int kMinRequestsPerReader = 150;
constexpr int kMaxRequestsPerReader = 4000;  // stops readers on a machine where the writer stalls
constexpr int kRewrites = 240;

void writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    ASSERT_GT(n, 0);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

// The companion's safe way: a whole new file takes the old one's name in one step.
void replaceAtomically(const fs::path& file, std::string_view bytes) {
  const fs::path tmp = file.string() + ".tmp";
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  writeAll(fd, bytes);
  ASSERT_EQ(::close(fd), 0);
  ASSERT_EQ(std::rename(tmp.c_str(), file.c_str()), 0);
}

// The careless way: the same file emptied, then refilled in two writes, so that a reader can
// find it empty, half written, or a mixture of the old and the new bytes.
void rewriteInPlace(const fs::path& file, std::string_view bytes) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  writeAll(fd, bytes.substr(0, bytes.size() / 2));
  writeAll(fd, bytes.substr(bytes.size() / 2));
  ASSERT_EQ(::close(fd), 0);
}

struct Tally {
  int requests = 0;
  int withSnapshot = 0;
  int withoutSnapshot = 0;
  int foreign = 0;      // a snapshot equal to none of those written
  int splitTimeline = 0;  // the two entries of one timeline carry different snapshots
  int badDates = 0;
};

TEST(ProviderConcurrency, ReadersSeeWholeSnapshotsWhileTheFileIsRewritten) {
  // Three valid snapshots of different lengths and contents.
  const std::array<std::string, 3> texts = {testing::exampleText("week.json"),
                                            testing::exampleText("week-off.json"),
                                            testing::exampleText("week-minimal.json")};
  std::vector<WeekSnapshot> written;
  for (const std::string& text : texts) {
    const auto decoded = decodeSnapshot(text);
    ASSERT_TRUE(decoded.has_value());
    for (const WeekSnapshot& other : written) ASSERT_NE(*decoded, other);
    written.push_back(*decoded);
  }
  for (std::size_t i = 0; i + 1 < texts.size(); ++i) {
    ASSERT_NE(texts[i].size(), texts[i + 1].size());
  }

  ScratchDir dir;
  const fs::path file = dir / "week.json";
  testing::writeFile(file, texts[0]);

  constexpr double kNow = 1749750000.0;
  const WeekProvider provider(file, [] { return kNow; });

  std::atomic<bool> writerDone{false};
  std::atomic<int> ready{0};
  const auto startTogether = [&ready] {
    ready.fetch_add(1);
    while (ready.load() < kReaders + 1) std::this_thread::yield();
  };

  std::array<Tally, kReaders> tallies{};
  const auto check = [&written](const WeekEntry& entry, Tally& tally) {
    if (entry.snapshot) {
      ++tally.withSnapshot;
      bool known = false;
      for (const WeekSnapshot& s : written) known = known || *entry.snapshot == s;
      if (!known) ++tally.foreign;
    } else {
      ++tally.withoutSnapshot;
    }
  };

  std::vector<std::thread> readers;
  for (int r = 0; r < kReaders; ++r) {
    readers.emplace_back([&, r] {
      Tally& tally = tallies[static_cast<std::size_t>(r)];
      startTogether();
      for (int i = 0; i < kMaxRequestsPerReader; ++i) {
        if (i >= kMinRequestsPerReader && writerDone.load()) break;
        ++tally.requests;
        if ((i + r) % 2 == 0) {
          int calls = 0;
          provider.getTimeline([&](Timeline t) {
            ++calls;
            if (t.entries.empty() || t.entries.size() > 2 || t.entries[0].date != kNow ||
                t.reloadAfter != kNow + reloadInterval) {
              ++tally.badDates;
            }
            for (const WeekEntry& e : t.entries) check(e, tally);
            if (t.entries.size() == 2 && t.entries[0].snapshot != t.entries[1].snapshot) {
              ++tally.splitTimeline;
            }
          });
          if (calls != 1) ++tally.badDates;
        } else {
          provider.getSnapshot([&](WeekEntry e) {
            if (e.date != kNow) ++tally.badDates;
            check(e, tally);
          });
        }
      }
    });
  }

  std::thread writer([&] {
    startTogether();
    for (int i = 1; i <= kRewrites; ++i) {
      const std::string& text = texts[static_cast<std::size_t>(i) % texts.size()];
      if (i % 2 == 0) {
        replaceAtomically(file, text);
      } else {
        rewriteInPlace(file, text);
      }
    }
    writerDone.store(true);
  });

  writer.join();
  for (std::thread& t : readers) t.join();

  Tally total;
  for (const Tally& t : tallies) {
    total.requests += t.requests;
    total.withSnapshot += t.withSnapshot;
    total.withoutSnapshot += t.withoutSnapshot;
    total.foreign += t.foreign;
    total.splitTimeline += t.splitTimeline;
    total.badDates += t.badDates;
  }
  EXPECT_EQ(total.foreign, 0);
  EXPECT_EQ(total.splitTimeline, 0);
  EXPECT_EQ(total.badDates, 0);
  EXPECT_GE(total.requests, kReaders * kMinRequestsPerReader);
  EXPECT_GT(total.withSnapshot, 0);
  std::printf("%d requests: %d entries with a snapshot, %d without\n", total.requests,
              total.withSnapshot, total.withoutSnapshot);

  // Once the writer is done, the last snapshot written is what every request finds.
  const WeekSnapshot& last = written[static_cast<std::size_t>(kRewrites) % texts.size()];
  provider.getSnapshot([&](WeekEntry e) {
    ASSERT_TRUE(e.snapshot.has_value());
    EXPECT_EQ(*e.snapshot, last);
  });
}

}  // namespace
}  // namespace korvel
