#include "link/link_engine.h"

#include <cstdarg>
#include <cstdio>

namespace pelmora {
namespace {

// While a reply is still arriving when its wait runs out, the wait goes on
// as long as bytes keep coming (a 3.4 KB image needs 3.5 s at 9600 baud,
// and the wait in progress may have begun long before the request).
constexpr std::uint32_t kStallMs = 1000;
constexpr std::uint32_t kMaxOverrunMs = 5000;  // more than a 4096-byte frame needs at 9600 baud
constexpr std::uint32_t kEmptyReadPauseMs = 100;
constexpr std::uint32_t kPassPauseMs = 500;
constexpr std::uint32_t kNoPortPauseMs = 1000;
constexpr std::uint32_t kSendBusyPauseMs = 500;
constexpr std::uint32_t kScanPauseMs = 500;
constexpr int kScanChecksPerPort = 6;

}  // namespace

LinkEngine::LinkEngine(SerialPort& port, Clock& clock, TrackerWindow& window, SharedSettings& settings,
                       TraceSink* trace)
    : port_(port), clock_(clock), window_(window), settings_(settings), trace_(trace) {}

LinkEngine::~LinkEngine() { shutdown(); }

// --- Threads -------------------------------------------------------------

void LinkEngine::startWorker(std::function<void()> body) {
  std::lock_guard<std::mutex> hold(workersLock_);
  // Threads that have ended are joined here, so repeated scans leave nothing behind.
  joinFinishedWorkers();
  auto done = std::make_unique<std::atomic<bool>>(false);
  std::atomic<bool>* doneFlag = done.get();
  workers_.push_back(Worker{std::thread([body = std::move(body), doneFlag] {
                              body();
                              doneFlag->store(true);
                            }),
                            std::move(done)});
}

void LinkEngine::startCommunication() {
  {
    std::lock_guard<std::mutex> hold(workersLock_);
    if (communicationStarted_) return;
    communicationStarted_ = true;
  }
  startWorker([this] {
    while (!stopping_.load()) communicationPass();
  });
}

ScanState LinkEngine::newScan() {
  ScanState scan;
  scan.generation = scanGeneration_.fetch_add(1) + 1;
  scanStop_.store(0);
  return scan;
}

void LinkEngine::startScan() {
  const ScanState scan = newScan();
  startWorker([this, scan] { scanPorts(scan); });
}

void LinkEngine::scanPorts(ScanState scan) {
  // An older scan still running sees the newer generation at its next check
  // and ends; this one starts only then.
  std::lock_guard<std::mutex> onlyScan(scanRunLock_);
  while (scanStep(scan) == ScanStep::Continue) {
    if (scan.pauseNext) sleepUnlessStopping(kScanPauseMs);
  }
}

void LinkEngine::requestStop() {
  stopping_.store(true);
  scanStop_.store(1);
}

bool LinkEngine::tryJoinAll() {
  std::lock_guard<std::mutex> hold(workersLock_);
  joinFinishedWorkers();
  return workers_.empty();
}

void LinkEngine::joinFinishedWorkers() {
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (it->done->load()) {
      it->thread.join();
      it = workers_.erase(it);
    } else {
      ++it;
    }
  }
}

void LinkEngine::shutdown() {
  requestStop();
  std::vector<Worker> workers;
  {
    std::lock_guard<std::mutex> hold(workersLock_);
    workers.swap(workers_);
  }
  for (Worker& worker : workers) worker.thread.join();
}

void LinkEngine::sleepUnlessStopping(std::uint32_t ms) {
  // Short slices, so that shutdown never waits a whole second.
  while (ms > 0 && !stopping_.load()) {
    const std::uint32_t slice = ms < 100 ? ms : 100;
    clock_.sleepMs(slice);
    ms -= slice;
  }
}

// --- Notifications -------------------------------------------------------

void LinkEngine::postLog(std::u16string_view text) { window_.trackerEvent(TRACKER_EVENT_LOG, 0, text); }

void LinkEngine::postLogf(const char* format, ...) {
  char narrow[256];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(narrow, sizeof narrow, format, args);
  va_end(args);
  if (n < 0) return;
  const std::size_t length = std::min(static_cast<std::size_t>(n), sizeof narrow - 1);
  char16_t wide[sizeof narrow];
  for (std::size_t i = 0; i < length; ++i) wide[i] = static_cast<char16_t>(static_cast<unsigned char>(narrow[i]));
  postLog(std::u16string_view(wide, length));
}

void LinkEngine::notify(int kind, std::int32_t value) { window_.trackerEvent(kind, value, {}); }

void LinkEngine::reportOffline() {
  postLogf("Tracker is off line%s", "");
  notify(TRACKER_EVENT_BUTTONS, BUTTONS_OFFLINE);
  onlineShown_.store(trackerOnline_.load());
}

// --- Sending -------------------------------------------------------------

int LinkEngine::sendPacket(std::span<const std::uint8_t> frame) {
  if (frame.size() < kFrameOverhead) return 1;
  const int port = currentPort_.load();
  if (port == kNoPort) return 1;
  // One frame on the line at a time: test and set in one atomic step.
  while (sendBusy_.exchange(1) != 0) {
    if (stopping_.load()) return 1;
    sleepUnlessStopping(kSendBusyPauseMs);
  }
  tracef(trace_, "GprsPackage len:%d cmd:0X%02x%02x", static_cast<int>(frame.size()), frame[11], frame[12]);
  port_.write(port, frame);
  sendBusy_.store(0);
  return 0;
}

int LinkEngine::sendRequest(CommandType type) {
  FrameBuffer frame;
  std::size_t length = 0;
  if (buildRequest(makeRequest(type), frame, length, trace_) != kBuildOk) return 1;
  return sendPacket(std::span<const std::uint8_t>(frame.data(), length));
}

void LinkEngine::runHandshake() {
  replyTimeoutMs_.store(kHandshakeTimeoutMs);
  tracef(trace_, "ShakeHandByCom Reuest");
  sendRequest(Handshake);
  tracef(trace_, "Shake Hands To Tracker\r\n");
}

void LinkEngine::requestReadSettings() {
  replyTimeoutMs_.store(kRequestTimeoutMs);
  notify(TRACKER_EVENT_PROGRESS, 0);
  tracef(trace_, "ReadSetting ....");
  postLog(u"Read Setting ...");
  if (sendRequest(ReadSettings) == 0) requestDeadlineMs_.store(clock_.nowMs() + kRequestTimeoutMs);
  tracef(trace_, "ReadSetting ok\r\n");
}

void LinkEngine::requestWriteSettings(const std::function<void(SettingsModel&)>& savePages) {
  FrameBuffer frame;
  std::size_t length = 0;
  {
    // The pages' save and the encode see one model: a late read reply
    // cannot be decoded in between.
    std::lock_guard<std::mutex> hold(settings_.lock);
    if (savePages) savePages(settings_.model);
    CommandRequest request = makeRequest(WriteSettings);
    request.settingsImage = settings_.codec.encodeSettingsBlock(settings_.model);
    buildRequest(request, frame, length, trace_);
  }
  replyTimeoutMs_.store(kRequestTimeoutMs);
  notify(TRACKER_EVENT_PROGRESS, 0);
  postLog(u"Write Setting ...");
  if (sendPacket(std::span<const std::uint8_t>(frame.data(), length)) == 0)
    requestDeadlineMs_.store(clock_.nowMs() + kRequestTimeoutMs);
}

// --- Ports ---------------------------------------------------------------

void LinkEngine::closePort(int port) {
  port_.close(port);
  if (currentPort_.load() == port) currentPort_.store(kNoPort);
}

bool LinkEngine::openTrackerPort(int port) {
  bool opened = false;
  {
    std::lock_guard<std::mutex> hold(portLock_);
    const int previous = currentPort_.load();
    if (previous != kNoPort) port_.close(previous);
    port_.prepare(port);
    opened = port_.open(port) != 0;
    currentPort_.store(opened ? port : kNoPort);
  }
  if (!opened) {
    postLogf("Fail to open port %d", port);
    return false;
  }
  runHandshake();
  postLogf("Open  port %d sucessfully", port);
  return true;
}

void LinkEngine::portDisconnected(int port) {
  {
    std::lock_guard<std::mutex> hold(portLock_);
    if (currentPort_.load() != port) return;  // already closed or replaced
    closePort(port);
  }
  tracef(trace_, "port %d hung up", port);
  postLogf("Device on port %d disconnected!", port);
  trackerOnline_.store(0);
  sendBusy_.store(0);
  if (onlineShown_.load() != 0) reportOffline();
}

// --- Scan ----------------------------------------------------------------

ScanStep LinkEngine::scanStep(ScanState& scan) {
  scan.pauseNext = false;
  if (stopping_.load() || scanStop_.load() != 0 || scan.generation != scanGeneration_.load()) return ScanStep::Stopped;

  if (scan.checksLeft > 0) {
    if (trackerOnline_.load() != 0) {
      postLogf("Tracker is on port %d", scan.port);
      notify(TRACKER_EVENT_SELECT_PORT, scan.port);
      return ScanStep::Found;
    }
    scan.pauseNext = true;
    if (--scan.checksLeft == 0) ++scan.port;
    return ScanStep::Continue;
  }

  if (scan.port >= kScanPortCount) {
    postLog(u"Tracker is off line ");
    return ScanStep::Exhausted;
  }
  postLogf("Scan port %d ...", scan.port);
  // Only a handshake reply on this port may end the scan, not a flag left
  // over from an earlier connection.
  trackerOnline_.store(0);
  if (openTrackerPort(scan.port)) {
    scan.checksLeft = kScanChecksPerPort;
  } else {
    ++scan.port;
  }
  return ScanStep::Continue;
}

// --- Receiving -----------------------------------------------------------

ReceiveResult LinkEngine::receiveFrame(std::size_t& frameLength) {
  frameLength = 0;
  const int port = currentPort_.load();
  const std::uint32_t timeout = replyTimeoutMs_.load();
  const std::uint64_t start = clock_.nowMs();
  std::uint64_t lastArrival = start;
  if (assemblerPort_ != port) {
    assembler_.clear();
    assemblerPort_ = port;
  }

  for (;;) {
    if (stopping_.load() || currentPort_.load() != port) return ReceiveResult::PortGone;
    const std::uint64_t now = clock_.nowMs();
    const std::uint64_t elapsed = now - start;
    // A wait begun with a handshake's 4000 ms lasts until a read or write
    // request sent since has had its own 7000 ms (a write alone is 3.5 s on the line).
    const std::uint64_t deadline = std::max(start + timeout, requestDeadlineMs_.load());
    if (now > deadline) {
      const bool stillArriving = assembler_.holdsFrameStart() && now - lastArrival <= kStallMs &&
                                 now <= deadline + kMaxOverrunMs;
      if (!stillArriving) break;
    }
    notify(TRACKER_EVENT_PROGRESS, static_cast<std::int32_t>(elapsed));

    // A frame may already stand in what the last read left behind.
    if (const std::size_t length = assembler_.takeFrame(replyFrame_); length != 0) {
      frameLength = length;
      sendBusy_.store(0);
      return ReceiveResult::Frame;
    }
    if (assembler_.full()) {
      tracef(trace_, "gprs_comm data receive>MAX_GPRSDATA_LEN4\r\n");
      assembler_.discardStale();
    }

    const ReadResult read = port_.read(port, assembler_.freeSpace());
    if (read.disconnected) {
      portDisconnected(port);
      return ReceiveResult::PortGone;
    }
    if (read.count == 0) {
      sleepUnlessStopping(kEmptyReadPauseMs);
      continue;
    }
    assembler_.commit(read.count);
    lastArrival = clock_.nowMs();
    if (const std::size_t length = assembler_.takeFrame(replyFrame_); length != 0) {
      frameLength = length;
      sendBusy_.store(0);
      return ReceiveResult::Frame;
    }
  }
  assembler_.clear();  // the bytes of an unfinished frame are lost with the wait
  return ReceiveResult::TimedOut;
}

void LinkEngine::communicationPass() {
  replyFrame_.fill(0);
  if (currentPort_.load() == kNoPort) {
    // In slices, so that a port opened meanwhile is read at once.
    for (std::uint32_t waited = 0; waited < kNoPortPauseMs && currentPort_.load() == kNoPort && !stopping_.load();
         waited += kEmptyReadPauseMs)
      clock_.sleepMs(kEmptyReadPauseMs);
    return;
  }
  tracef(trace_, "Read Gspt Data");
  std::size_t length = 0;
  const ReceiveResult received = receiveFrame(length);
  if (received == ReceiveResult::PortGone) return;
  if (received == ReceiveResult::TimedOut) {
    tracef(trace_, "got Gspt Data overtime!");
    postLog(u"Send command time out!");
    trackerOnline_.store(0);
    sendBusy_.store(0);
    if (onlineShown_.load() != 0) reportOffline();
    sleepUnlessStopping(kPassPauseMs);
    return;
  }

  tracef(trace_, "GprsPackage Reply");
  reply_ = TrackerReply{};
  const int parsed = parseReply(std::span<const std::uint8_t>(replyFrame_.data(), length), reply_);
  tracef(trace_, "Parse reply... ");
  if (parsed != kParseOk) {
    sleepUnlessStopping(kPassPauseMs);
    return;
  }
  tracef(trace_, "ok got reply and set Chn free\r\n");
  sendBusy_.store(0);
  handleReply(reply_);
  sleepUnlessStopping(kPassPauseMs);
}

void LinkEngine::handleReply(const TrackerReply& reply) {
  switch (reply.type) {
    case ReadSettings: {
      DecodeResult decoded;
      std::uint32_t layoutWord;
      {
        std::lock_guard<std::mutex> hold(settings_.lock);
        decoded = settings_.codec.decodeSettingsBlock(
            std::span<const std::uint8_t>(reply.data.data(), reply.dataLength), settings_.model);
        layoutWord = settings_.codec.LayoutMagic();
      }
      if (decoded != DecodeResult::Decoded) {
        postLogf("Unknown setting layout %x, tracker's setting not loaded!", layoutWord);
        return;
      }
      postLog(u"Get Tracker's setting ok!");
      window_.settingsReady();
      notify(TRACKER_EVENT_BUTTONS, BUTTONS_SETTINGS_READ);
      notify(TRACKER_EVENT_PROGRESS, 100);
      return;
    }
    case Handshake:
      if (onlineShown_.load() != 1) {
        postLogf("Tracker is on line%s", "");
        notify(TRACKER_EVENT_BUTTONS, BUTTONS_ONLINE);
        onlineShown_.store(1);
      }
      // Raised after the on-line report, so that a scan waiting for it
      // always logs "Tracker is on port" after "Tracker is on line".
      trackerOnline_.store(1);
      return;
    case WriteSettings:
      tracef(trace_, "Write setting Reply");
      postLog(reply.status == 1 ? u"Write setting to tracker ok!" : u"Fail to write setting to tracker!");
      return;
    default:
      return;
  }
}

}  // namespace pelmora
