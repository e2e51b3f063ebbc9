#include "sim/pseudo_terminal.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pelmora::sim {

bool PseudoTerminal::create(std::string& error) {
  close();
  const auto failed = [&](const char* step) {
    error = std::string(step) + ": " + std::strerror(errno);
    close();
    return false;
  };

  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) return failed("posix_openpt");
  if (::grantpt(master_) != 0) return failed("grantpt");
  if (::unlockpt(master_) != 0) return failed("unlockpt");
  std::array<char, 128> name{};
  if (::ptsname_r(master_, name.data(), name.size()) != 0) return failed("ptsname");
  const int flags = ::fcntl(master_, F_GETFL);
  if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) return failed("fcntl");

  slaveKeeper_ = ::open(name.data(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slaveKeeper_ < 0) return failed("open slave");
  termios line{};
  if (::tcgetattr(slaveKeeper_, &line) != 0) return failed("tcgetattr");
  ::cfmakeraw(&line);
  ::cfsetispeed(&line, B9600);
  ::cfsetospeed(&line, B9600);
  line.c_cflag |= CLOCAL | CREAD;
  line.c_cc[VMIN] = 0;
  line.c_cc[VTIME] = 0;
  if (::tcsetattr(slaveKeeper_, TCSANOW, &line) != 0) return failed("tcsetattr");

  slavePath_ = name.data();
  return true;
}

int PseudoTerminal::unreadBySlave() const {
  int queued = 0;
  if (slaveKeeper_ < 0 || ::ioctl(slaveKeeper_, FIONREAD, &queued) != 0) return 0;
  return queued;
}

void PseudoTerminal::close() {
  if (slaveKeeper_ >= 0) ::close(slaveKeeper_);
  if (master_ >= 0) ::close(master_);
  slaveKeeper_ = -1;
  master_ = -1;
  slavePath_.clear();
}

bool pointSymlink(const std::string& linkPath, const std::string& target) {
  struct stat existing {};
  if (::lstat(linkPath.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
    errno = EEXIST;  // never replace a file that is not a link
    return false;
  }
  const std::string fresh = linkPath + ".new";
  ::unlink(fresh.c_str());
  if (::symlink(target.c_str(), fresh.c_str()) != 0) return false;
  if (::rename(fresh.c_str(), linkPath.c_str()) != 0) {
    ::unlink(fresh.c_str());
    return false;
  }
  return true;
}

void removeSymlink(const std::string& linkPath) {
  struct stat existing {};
  if (::lstat(linkPath.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) ::unlink(linkPath.c_str());
}

}  // namespace pelmora::sim
