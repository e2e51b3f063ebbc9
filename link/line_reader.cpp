#include "link/line_reader.h"

namespace pelmora {
namespace {

// While a reply is still arriving when its wait runs out, the wait goes on
// as long as bytes keep coming.
constexpr std::uint32_t kStallMs = 1000;
constexpr std::uint32_t kEmptyReadPauseMs = 100;

}  // namespace

void LineReader::beginWait(int port, std::uint64_t nowMs) {
  lastArrivalMs_ = nowMs;
  if (heldPort_ == port) return;
  assembler_.clear();
  heldPort_ = port;
}

bool LineReader::arriving(std::uint64_t nowMs) const {
  return assembler_.holdsFrameStart() && nowMs - lastArrivalMs_ <= kStallMs;
}

void LineReader::makeRoom() {
  if (!assembler_.full()) return;
  tracef(trace_, "gprs_comm data receive>MAX_GPRSDATA_LEN4\r\n");
  assembler_.discardStale();
}

void LineReader::take(std::size_t count) {
  assembler_.commit(count);
  lastArrivalMs_ = clock_.nowMs();
}

void LineReader::waitForBytes(int port, Wakeup& wake) {
  // On the port's descriptor where it can, so that a reply is taken as it comes.
  if (!port_.waitReadable(port, kEmptyReadPauseMs, &wake)) clock_.sleepOrWake(kEmptyReadPauseMs, wake);
}

}  // namespace pelmora
