#include "link/wakeup.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace pelmora {

Wakeup::Wakeup() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

Wakeup::~Wakeup() {
  if (fd_ >= 0) ::close(fd_);
}

// Neither can fail in a way that matters: a counter at its top is raised
// already, and an empty one is cleared already.
void Wakeup::raise() {
  if (fd_ >= 0) ::eventfd_write(fd_, 1);
}

void Wakeup::clear() {
  eventfd_t count = 0;
  if (fd_ >= 0) ::eventfd_read(fd_, &count);
}

bool Wakeup::wait(std::uint32_t ms) {
  if (fd_ < 0) {  // no eventfd: a plain sleep, as before there was a wakeup
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return false;
  }
  pollfd p{fd_, POLLIN, 0};
  return ::poll(&p, 1, static_cast<int>(ms)) == 1;
}

int Wakeup::pollDescriptor() const { return fd_; }

}  // namespace pelmora
