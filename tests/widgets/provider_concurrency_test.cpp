// Threads ask one provider for timelines and snapshots while the file is rewritten, the safe way
// (a new file renamed over it) and the careless way (emptied and refilled in two writes). A
// request may find no snapshot, but one it gets is one of those written, whole, the same in both
// entries of a timeline. Built alone under the thread sanitizer too (scripts/tsan.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "snapshot/decode.h"
#include "support/files.h"
#include "widgets/week_provider.h"

namespace korvel {
namespace {

namespace fs = std::filesystem;

// Empties the file (or makes it) and writes `bytes` in two pieces.
void writeInTwo(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes.substr(0, bytes.size() / 2) << std::flush << bytes.substr(bytes.size() / 2);
}

TEST(ProviderConcurrency, ReadersSeeWholeSnapshotsWhileTheFileIsRewritten) {
  constexpr int kReaders = 3, kMinRequests = 150, kRewrites = 240;
  constexpr double kNow = 1749750000.0, kReload = kNow + reloadInterval;
  const std::string texts[] = {testing::exampleText("week.json"),
                               testing::exampleText("week-off.json"),
                               testing::exampleText("week-minimal.json")};  // of different lengths
  std::vector<std::optional<WeekSnapshot>> written;
  for (const std::string& text : texts) written.push_back(decodeSnapshot(text));
  testing::ScratchDir dir;
  const fs::path file = dir / "week.json";
  testing::writeFile(file, texts[0]);
  const WeekProvider provider(file, [] { return kNow; });

  std::atomic<int> withSnapshot{0}, foreign{0}, split{0}, badDates{0};
  std::atomic<bool> writerDone{false};
  std::vector<std::thread> threads;
  for (int r = 0; r < kReaders; ++r) {
    threads.emplace_back([&, r] {
      for (int i = 0; i < kMinRequests || !writerDone; ++i) {
        std::vector<Timeline> got;  // one for each call of the completion
        if ((i + r) % 2 == 1) {     // a snapshot request: one entry, no reload date
          provider.getSnapshot([&](WeekEntry e) { got.push_back({{e}, kReload}); });
        } else {
          provider.getTimeline([&](Timeline t) { got.push_back(std::move(t)); });
        }
        badDates += got.size() != 1;
        for (const Timeline& t : got) {
          badDates += t.entries.empty() || t.entries.size() > 2 || t.entries[0].date != kNow ||
                      t.reloadAfter != kReload;
          split += t.entries.size() == 2 && t.entries[0].snapshot != t.entries[1].snapshot;
          for (const WeekEntry& e : t.entries) {
            withSnapshot += e.snapshot.has_value();
            foreign += e.snapshot && std::ranges::count(written, e.snapshot) == 0;
          }
        }
      }
    });
  }
  threads.emplace_back([&] {
    for (int i = 1; i <= kRewrites; ++i) {
      // In place, or the safe way: a whole new file takes the name in one step.
      writeInTwo(i % 2 == 1 ? file : dir / "week.new", texts[i % 3]);
      if (i % 2 == 0) fs::rename(dir / "week.new", file);
    }
    writerDone = true;
  });
  for (std::thread& thread : threads) thread.join();

  EXPECT_EQ(foreign, 0);
  EXPECT_EQ(split, 0);
  EXPECT_EQ(badDates, 0);
  EXPECT_GT(withSnapshot, 0);
  // Once the writer is done, every request finds the last snapshot written.
  provider.getSnapshot(
      [&](WeekEntry e) { EXPECT_EQ(e.snapshot, written[kRewrites % written.size()]); });
}

}  // namespace
}  // namespace korvel
