#include "host/output_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <system_error>

namespace korvel::host {

namespace {

namespace fs = std::filesystem;

Error cannotWrite(const fs::path& path, std::string why) {
  return {ErrorKind::unwritable, path.string(), std::move(why)};
}

// The path a write to `path` lands on: every symbolic link on the way followed, as open()
// would (a link may lead to a file that does not exist yet), or why it cannot be told.
Result<fs::path> followLinks(fs::path path) {
  for (int hops = 0; hops < 40; ++hops) {  // the kernel's own limit
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::error_code ec;
    const fs::path target = fs::read_symlink(path, ec);
    if (ec) return cannotWrite(path, ec.message());
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return cannotWrite(path, std::strerror(ELOOP));
}

// Where `path` leads, or nothing when that cannot be told.
fs::path targetOrNothing(const fs::path& path) {
  auto target = followLinks(path);
  return std::holds_alternative<fs::path>(target) ? std::get<fs::path>(std::move(target)) : fs::path();
}

// 0, or the errno of the write that failed.
int writeAll(int fd, std::string_view bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

// The write's errno, else the close's.
int writeAndClose(int fd, std::string_view bytes) {
  const int written = writeAll(fd, bytes);
  const int closed = ::close(fd) != 0 ? errno : 0;
  return written != 0 ? written : closed;
}

// A device or a FIFO is a stream, not a file to replace: open it and write.
Status writeDirectly(const fs::path& path, const fs::path& target, std::string_view bytes) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return cannotWrite(path, std::strerror(errno));
  if (const int error = writeAndClose(fd, bytes)) return cannotWrite(path, std::strerror(error));
  return {};
}

Status replaceAtomically(const fs::path& path, const fs::path& target, std::string_view bytes) {
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  // The temporary name is hidden and never longer than the final one allows: a name that fits
  // the folder gets a temporary name that fits too.
  const long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  const std::size_t limit = nameMax > 16 ? static_cast<std::size_t>(nameMax) : NAME_MAX;
  const std::string name = target.filename().string();
  std::string tmp =
      (folder / ("." + name.substr(0, std::min(name.size(), limit - 8)) + ".XXXXXX")).string();
  const int fd = mkstemp(tmp.data());
  if (fd < 0) return cannotWrite(path, std::strerror(errno));
  // mkstemp creates 0600; a rendered image is as readable as any file the user writes.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  int error = writeAndClose(fd, bytes);
  if (error == 0 && std::rename(tmp.c_str(), target.c_str()) != 0) error = errno;
  if (error == 0) return {};
  ::unlink(tmp.c_str());
  return cannotWrite(path, std::strerror(error));
}

// Same file or folder: the same inode where both exist, else the same place on the way there.
bool samePlace(const fs::path& a, const fs::path& b) {
  struct stat sa {}, sb {};
  const bool hasA = ::stat(a.empty() ? "." : a.c_str(), &sa) == 0;
  const bool hasB = ::stat(b.empty() ? "." : b.c_str(), &sb) == 0;
  if (hasA && hasB) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  if (hasA != hasB) return false;
  std::error_code ea, eb;
  const fs::path ca = fs::weakly_canonical(fs::absolute(a, ea), ea);
  const fs::path cb = fs::weakly_canonical(fs::absolute(b, eb), eb);
  return !ea && !eb && ca == cb;
}

}  // namespace

Status writeOutputFile(const fs::path& path, std::string_view bytes) {
  if (path.empty()) return Error{ErrorKind::usage, "", "no output file given"};
  auto followed = followLinks(path);
  if (const auto* error = std::get_if<Error>(&followed)) return cannotWrite(path, error->message);
  const fs::path target = std::get<fs::path>(std::move(followed));
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) return writeDirectly(path, target, bytes);
    if (S_ISDIR(st.st_mode)) return cannotWrite(path, "is a directory");
    if (S_ISSOCK(st.st_mode)) return cannotWrite(path, "is a socket");
    if (S_ISBLK(st.st_mode)) return cannotWrite(path, "is a block device");
    if (!S_ISREG(st.st_mode)) return cannotWrite(path, "is not a regular file");
  } else if (errno != ENOENT) {
    return cannotWrite(path, std::strerror(errno));
  }
  return replaceAtomically(path, target, bytes);
}

bool sameFile(const fs::path& a, const fs::path& b) {
  const fs::path ta = targetOrNothing(a), tb = targetOrNothing(b);
  return samePlace(a, b) || (!ta.empty() && !tb.empty() && samePlace(ta, tb));
}

bool liesIn(const fs::path& file, const fs::path& folder) {
  const fs::path target = targetOrNothing(file);
  return samePlace(fs::absolute(file).parent_path(), folder) ||
         (!target.empty() && samePlace(fs::absolute(target).parent_path(), folder));
}

}  // namespace korvel::host
