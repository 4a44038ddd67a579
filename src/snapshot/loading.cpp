#include "snapshot/loading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace korvel {
namespace {

// Code point at `i` and its length in bytes; invalid bytes read as themselves, one byte long.
std::pair<char32_t, std::size_t> codePointAt(std::string_view s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char c = b(0);
  const std::size_t left = s.size() - i;
  if (c >= 0xC0 && c < 0xE0 && left >= 2) return {((c & 0x1Fu) << 6) | (b(1) & 0x3Fu), 2};
  if (c >= 0xE0 && c < 0xF0 && left >= 3) {
    return {((c & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu), 3};
  }
  if (c >= 0xF0 && left >= 4) {
    return {((c & 0x07u) << 18) | ((b(1) & 0x3Fu) << 12) | ((b(2) & 0x3Fu) << 6) | (b(3) & 0x3Fu),
            4};
  }
  return {c, 1};
}

// White space and line breaks as the platform's trimming knows them: the Unicode space
// separators, line and paragraph separators, the C0 controls 9 to 13, and U+0085.
bool isWhiteSpaceOrNewline(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

std::string_view trimmed(std::string_view s) {
  std::size_t begin = 0;
  while (begin < s.size()) {
    const auto [c, n] = codePointAt(s, begin);
    if (!isWhiteSpaceOrNewline(c)) break;
    begin += n;
  }
  std::size_t end = begin;  // one past the last character that is not white space
  for (std::size_t i = begin; i < s.size();) {
    const auto [c, n] = codePointAt(s, i);
    i += n;
    if (!isWhiteSpaceOrNewline(c)) end = i;
  }
  return s.substr(begin, end - begin);
}

// Only ASCII letters matter here: no other letter lower-cases to one of "dev".
bool equalsIgnoringCase(std::string_view a, std::string_view lowerB) {
  return a.size() == lowerB.size() &&
         std::equal(a.begin(), a.end(), lowerB.begin(), [](char x, char y) {
           return (x >= 'A' && x <= 'Z' ? static_cast<char>(x - 'A' + 'a') : x) == y;
         });
}

std::string systemReason(int error) { return std::generic_category().message(error); }

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

std::string sizeText(std::size_t bytes) {
  if (bytes % (std::size_t{1} << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + " bytes";
}

// A write between the two looks at the file: its size or its modification or change time
// moved. Catches an in-place rewrite that happens while the file is read, even one that keeps
// the length (a mix of two snapshots could otherwise decode), except within one tick of the
// file system's timestamp clock.
bool changedBetween(const struct stat& before, const struct stat& after) {
  return before.st_size != after.st_size || before.st_mtim.tv_sec != after.st_mtim.tv_sec ||
         before.st_mtim.tv_nsec != after.st_mtim.tv_nsec ||
         before.st_ctim.tv_sec != after.st_ctim.tv_sec ||
         before.st_ctim.tv_nsec != after.st_ctim.tv_nsec;
}

Error unreadable(std::string reason) { return {ErrorKind::unreadable, "", std::move(reason)}; }

ReadResult readFileOnce(const std::filesystem::path& path, std::size_t maxBytes, bool& changed) {
  changed = false;
  // Non-blocking, so that a FIFO at the path cannot hold the caller before fstat rejects it.
  const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) return unreadable("cannot open: " + systemReason(errno));

  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return unreadable("cannot inspect: " + systemReason(errno));
  if (S_ISDIR(st.st_mode)) return unreadable("is a directory, not a file");
  if (S_ISFIFO(st.st_mode)) return unreadable("is a FIFO, not a regular file");
  if (S_ISSOCK(st.st_mode)) return unreadable("is a socket, not a regular file");
  if (!S_ISREG(st.st_mode)) return unreadable("is a device, not a regular file");
  const std::string tooLarge = "is larger than " + sizeText(maxBytes);
  if (st.st_size < 0 || static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
    return unreadable(tooLarge);
  }

  // Read until the end rather than trusting the size: the companion may be rewriting the file,
  // and some files report no size at all. One byte beyond the cap is enough to refuse it.
  const std::size_t limit = maxBytes + 1;
  std::size_t capacity = std::min(static_cast<std::size_t>(st.st_size) + 1, limit);
  auto buffer = std::make_unique_for_overwrite<char[]>(capacity + jsonPadding);
  std::size_t used = 0;
  for (;;) {
    if (used == capacity) {
      if (capacity == limit) break;
      const std::size_t grown = std::min(std::max(capacity * 2, std::size_t{4096}), limit);
      auto bigger = std::make_unique_for_overwrite<char[]>(grown + jsonPadding);
      std::memcpy(bigger.get(), buffer.get(), used);
      buffer = std::move(bigger);
      capacity = grown;
    }
    const ssize_t n = ::read(fd.get(), buffer.get() + used, capacity - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      return unreadable("cannot read: " + systemReason(errno));
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  if (used > maxBytes) return unreadable(tooLarge);
  struct stat after {};
  if (::fstat(fd.get(), &after) != 0 || changedBetween(st, after)) {
    changed = true;
    return unreadable("changed while it was read");
  }
  std::memset(buffer.get() + used, 0, jsonPadding);
  return FileBytes{std::move(buffer), used};
}

// A file that changes while it is read is read again: the writer is usually done by then.
ReadResult readFile(const std::filesystem::path& path, std::size_t maxBytes) {
  constexpr int kAttempts = 3;
  bool changed = false;
  ReadResult result = readFileOnce(path, maxBytes, changed);
  for (int attempt = 1; changed && attempt < kAttempts; ++attempt) {
    result = readFileOnce(path, maxBytes, changed);
  }
  return result;
}

}  // namespace

std::string snapshotFileName(const PlatformLookups& lookups) {
  const auto value = lookups.bundleValue(channelKey);
  const auto* text = value ? std::get_if<std::string>(&*value) : nullptr;
  if (text && equalsIgnoringCase(trimmed(*text), developmentChannel)) {
    return std::string(developmentFileName);
  }
  return std::string(productionFileName);
}

std::filesystem::path snapshotFileURL(const PlatformLookups& lookups) {
  const std::string name = snapshotFileName(lookups);
  if (const auto group = lookups.groupContainer(snapshotGroupIdentifier)) return *group / name;
  return lookups.homeFolder() / (std::string(snapshotFallbackFolder) + name);
}

ReadResult readSnapshotFile(const std::filesystem::path& path, std::size_t maxBytes) noexcept {
  try {
    return readFile(path, maxBytes);
  } catch (const std::bad_alloc&) {
    return unreadable("cannot read: out of memory");
  } catch (...) {
    return unreadable("cannot read");
  }
}

LoadResult loadSnapshotDetailed(const std::filesystem::path& path) noexcept {
  try {
    auto read = readSnapshotFile(path);
    if (auto* error = std::get_if<Error>(&read)) {
      error->where = path.string();
      return std::move(*error);
    }
    const auto& bytes = std::get<FileBytes>(read);
    LoadResult result{std::in_place_type<WeekSnapshot>};
    Error error;
    if (!decodeSnapshotInto(bytes.data.get(), bytes.size, std::get<WeekSnapshot>(result), error)) {
      result = error.message.empty() ? Error{ErrorKind::unreadable, path.string(), "out of memory"}
                                     : Error{error.kind, path.string(), error.describe()};
    }
    return result;
  } catch (...) {
    return Error{ErrorKind::unreadable, path.string(), "out of memory"};
  }
}

std::optional<WeekSnapshot> loadSnapshotAt(const std::filesystem::path& path) noexcept {
  try {
    auto read = readSnapshotFile(path);
    const auto* bytes = std::get_if<FileBytes>(&read);
    if (!bytes) return std::nullopt;
    std::optional<WeekSnapshot> result(std::in_place);
    Error ignored;
    if (!decodeSnapshotInto(bytes->data.get(), bytes->size, *result, ignored)) result.reset();
    return result;
  } catch (...) {
    return std::nullopt;
  }
}

std::optional<WeekSnapshot> loadSnapshot(const PlatformLookups& lookups) noexcept {
  try {
    return loadSnapshotAt(snapshotFileURL(lookups));
  } catch (...) {  // a lookup that throws counts as any other failure
    return std::nullopt;
  }
}

}  // namespace korvel
