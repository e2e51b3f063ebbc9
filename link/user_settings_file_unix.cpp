// The user's settings file on Linux: where it is, and how it is replaced.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>

#include "link/user_settings_file.h"

namespace pelmora {
namespace {

std::string errorText(int code) { return std::generic_category().message(code); }

}  // namespace

std::string userSettingsPath() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    return std::string(xdg) + "/KVL/COMM.conf";
  }
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config/KVL/COMM.conf";
}

// One function so that a shared atomic writer can take its place.
std::optional<std::string> replaceFileContents(const std::string& path, std::string_view contents) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path target(path);
  if (fs::is_symlink(target, error)) {
    const fs::path resolved = fs::weakly_canonical(target, error);
    if (error) return path + " cannot be written (" + error.message() + ")";
    target = resolved;
  }
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);

  struct stat existing {};
  const bool replacing = ::stat(target.c_str(), &existing) == 0;
  // O_EXCL: whatever already sits at the temporary name, a link included, is
  // never opened; another name is tried.
  std::random_device random;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temporary = target.string() + ".new-" + std::to_string(random());
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, replacing ? 0600 : 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return target.string() + " cannot be written (" + errorText(errno) + ")";

  bool written = !replacing || ::fchmod(fd, existing.st_mode & 07777) == 0;
  for (std::size_t done = 0; written && done < contents.size();) {
    const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    written = n > 0;
    if (written) done += static_cast<std::size_t>(n);
  }
  int failure = written ? 0 : errno;
  if (written && ::fsync(fd) != 0) {
    written = false;
    failure = errno;
  }
  if (::close(fd) != 0 && written) {
    written = false;
    failure = errno;
  }
  if (written && ::rename(temporary.c_str(), target.c_str()) != 0) {
    written = false;
    failure = errno;
  }
  if (written) return std::nullopt;
  ::unlink(temporary.c_str());
  return target.string() + " cannot be written (" + errorText(failure) + ")";
}

}  // namespace pelmora
