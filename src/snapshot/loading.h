#pragma once
// Where the snapshot file lives, how it is read, and the one call that turns it into an
// accepted snapshot or nothing.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "snapshot/decode.h"
#include "snapshot/records.h"

namespace korvel {

inline constexpr std::string_view snapshotGroupIdentifier = "ZX4R7PLM2Q.group.korvel.week";
// Below the home folder; used only when the platform gives no group folder. Ends in a slash.
inline constexpr std::string_view snapshotFallbackFolder =
    "Library/Group Containers/ZX4R7PLM2Q.group.korvel.week/";
inline constexpr std::string_view channelKey = "KorvelChannel";
inline constexpr std::string_view developmentChannel = "dev";
inline constexpr std::string_view productionFileName = "week.json";
inline constexpr std::string_view developmentFileName = "week-dev.json";

// Far beyond any real snapshot (a few kilobytes); keeps a stray huge file from taking the
// memory of the host.
inline constexpr std::size_t maxSnapshotBytes = std::size_t{64} << 20;

// A value of the bundle information: text, or another property-list kind.
using BundleValue = std::variant<std::string, std::int64_t, double, bool>;

// What the platform answers. The host supplies the real one; tests give any answer.
class PlatformLookups {
 public:
  virtual ~PlatformLookups() = default;
  // The folder shared by the application group, or nothing when the platform gives none.
  virtual std::optional<std::filesystem::path> groupContainer(
      std::string_view groupIdentifier) const = 0;
  // The current user's home folder.
  virtual std::filesystem::path homeFolder() const = 0;
  // The value stored under `key` in the extension's bundle information, if any.
  virtual std::optional<BundleValue> bundleValue(std::string_view key) const = 0;
};

// "week-dev.json" when the channel is the text "dev" after trimming white space and
// lower-casing; "week.json" otherwise (no value, another text, a non-text value).
std::string snapshotFileName(const PlatformLookups& lookups);

// The group folder with the file name appended, else the home-folder fallback.
std::filesystem::path snapshotFileURL(const PlatformLookups& lookups);

// The file's bytes, followed in the same allocation by jsonPadding readable bytes.
struct FileBytes {
  std::unique_ptr<char[]> data;
  std::size_t size = 0;

  std::string_view view() const { return {data.get(), size}; }
};

// An unreadable file's error says why; the caller knows the path.
using ReadResult = Result<FileBytes>;

// Reads a whole regular file, following symbolic links. Refuses directories, FIFOs, devices and
// files above `maxBytes` (also when one grows past it while read) without blocking or reading
// them. Never throws.
ReadResult readSnapshotFile(const std::filesystem::path& path,
                            std::size_t maxBytes = maxSnapshotBytes) noexcept;

// Why a load gave no snapshot: `where` is the file; the kind is unreadable, or the decoder's
// (malformed, invalid, refused) with its place in the message.
using LoadResult = Result<WeekSnapshot>;

// Read, decode and accept the file at `path`, saying why when there is no snapshot.
LoadResult loadSnapshotDetailed(const std::filesystem::path& path) noexcept;

// The same at a given location, without the reason.
std::optional<WeekSnapshot> loadSnapshotAt(const std::filesystem::path& path) noexcept;

// The snapshot at snapshotFileURL(), or nothing on any failure. Never throws.
std::optional<WeekSnapshot> loadSnapshot(const PlatformLookups& lookups) noexcept;

}  // namespace korvel
