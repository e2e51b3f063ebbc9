#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "settings/atomic_file.h"

namespace pelmora {
namespace {

// Longest part of the target's name kept in the temporary name, so that a
// long name still leaves room for the unique part.
constexpr std::size_t kNameInTemporary = 64;

std::string reason(int error) { return std::strerror(error); }

// What a file other than a regular file is; nullptr for a regular file.
const char* kindOtherThanRegular(mode_t mode) {
  if (S_ISREG(mode)) return nullptr;
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "a special file";
}

// The file the bytes replace: `path`, or the file a symbolic link there
// leads to. Empty with `error` set when there is none to write.
struct Target {
  std::string path;
  bool exists = false;
  struct stat status {};
  std::string error;
};

Target targetOf(const std::string& path) {
  Target target;
  target.path = path;
  struct stat link {};
  if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved) {
      target.error = errno == ENOENT ? "a symbolic link to a file that does not exist" : reason(errno);
      return target;
    }
    target.path = resolved.get();
  }
  target.exists = ::stat(target.path.c_str(), &target.status) == 0;
  if (!target.exists && errno != ENOENT) {
    target.error = reason(errno);
  } else if (target.exists && S_ISDIR(target.status.st_mode)) {
    target.error = reason(EISDIR);
  } else if (const char* kind = target.exists ? kindOtherThanRegular(target.status.st_mode) : nullptr) {
    target.error = std::string(kind) + ", not a regular file";
  } else if (target.exists && (target.status.st_mode & 0222) == 0) {
    target.error = "read-only";  // the superuser passes access(): the mode bits say what the owner meant
  } else if (target.exists && ::access(target.path.c_str(), W_OK) != 0) {
    target.error = reason(errno);
  }
  return target;
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

SettingsStatus writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, FileMode newFileMode) {
  const auto failure = [&](const std::string& why) {
    return SettingsError{SettingsErrorKind::CannotWrite, path + ": cannot be written (" + why + ")"};
  };
  const Target target = targetOf(path);
  if (!target.error.empty()) return failure(target.error);

  const std::size_t slash = target.path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.path.substr(0, slash);
  const std::string name = slash == std::string::npos ? target.path : target.path.substr(slash + 1);
  // mkostemp creates the name exclusively with mode 0600: nothing planted
  // under it is opened or followed.
  std::string temporary = folder + "/." + name.substr(0, kNameInTemporary) + ".XXXXXX";
  int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return failure(reason(errno));
  const auto abandon = [&](int error) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary.c_str());
    return failure(reason(error));
  };

  if (target.exists && (target.status.st_uid != ::geteuid() || target.status.st_gid != ::getegid())) {
    // Keeps the owner where allowed (the superuser may give a file away);
    // anyone else ends up owning the file, as any fresh write would.
    [[maybe_unused]] const int owned = ::fchown(fd, target.status.st_uid, target.status.st_gid);
  }
  const mode_t mode = target.exists ? (target.status.st_mode & 0777) : static_cast<mode_t>(newFileMode & 0777);
  if (::fchmod(fd, mode) != 0) return abandon(errno);
  if (!writeAll(fd, bytes) || ::fsync(fd) != 0) return abandon(errno);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return abandon(errno);
  if (::rename(temporary.c_str(), target.path.c_str()) != 0) return abandon(errno);

  // The rename itself reaches the disk only with the folder.
  const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd < 0) return failure("written, but its folder could not be flushed: " + reason(errno));
  const bool flushed = ::fsync(folderFd) == 0 || errno == EINVAL;  // EINVAL: a file system without it
  const int error = errno;
  ::close(folderFd);
  if (!flushed) return failure("written, but its folder could not be flushed: " + reason(error));
  return {};
}

SettingsResult<std::vector<std::uint8_t>> readRegularFile(const std::string& path, std::size_t maxBytes,
                                                          std::string_view kindOfFile) {
  const auto cannotRead = [&](const std::string& why) {
    return SettingsError{SettingsErrorKind::CannotRead, path + ": cannot be read (" + why + ")"};
  };
  const auto notRegular = [&](const char* kind) {
    return SettingsError{SettingsErrorKind::BadInput, path + ": is " + kind + ", not a " + std::string(kindOfFile)};
  };
  std::vector<std::uint8_t> bytes;
  // Looked at before opening: opening a FIFO may wait for a writer and
  // opening a device may act on it.
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return cannotRead(reason(errno));
  if (const char* kind = kindOtherThanRegular(status.st_mode)) return notRegular(kind);
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return cannotRead(reason(errno));
  // The name may lead elsewhere now than when it was looked at.
  const bool same = ::fstat(fd, &status) == 0;
  if (const char* kind = same ? kindOtherThanRegular(status.st_mode) : "a special file") {
    ::close(fd);
    return notRegular(kind);
  }
  std::uint8_t chunk[65536];
  while (bytes.size() <= maxBytes) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      ::close(fd);
      return cannotRead(reason(error));
    }
    if (got == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  ::close(fd);
  if (bytes.size() > maxBytes)
    return SettingsError{SettingsErrorKind::BadInput, path + ": too large for a " + std::string(kindOfFile)};
  return bytes;
}

}  // namespace pelmora
