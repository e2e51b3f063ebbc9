#include "link/link_engine.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

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
// A frame goes to the port in pieces, so that a port change waits at most
// for one piece (half a second at 9600 baud), not for a whole settings image.
constexpr std::size_t kWritePiece = 512;

// What the engine hands a front beside a log line, formatted the same way.
std::string textf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string textf(const char* format, ...) {
  char text[128];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (n < 0) return {};
  return std::string(text, std::min(static_cast<std::size_t>(n), sizeof text - 1));
}

}  // namespace

LinkEngine::LinkEngine(SerialPort& port, Clock& clock, TrackerWindow& window, SharedSettings& settings,
                       TraceSink* trace, EngineOptions options)
    : port_(port), clock_(clock), window_(window), settings_(settings), trace_(trace), options_(options) {}

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
  requests_.wakeup().raise();
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

// The pause after each pass; a request queued meanwhile goes out at once and
// ends it, so that its reply is awaited now rather than after the rest of the
// half second.
void LinkEngine::pauseBetweenPasses() {
  const std::uint64_t end = clock_.nowMs() + kPassPauseMs;
  for (std::uint64_t now = clock_.nowMs(); now < end && !stopping_.load(); now = clock_.nowMs()) {
    if (serviceRequests()) return;
    clock_.sleepOrWake(static_cast<std::uint32_t>(std::min<std::uint64_t>(end - now, kEmptyReadPauseMs)),
                       requests_.wakeup());
  }
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

// The on-line state is reported by the communication thread alone, so the
// reports reach the window in the order the changes happened.
void LinkEngine::reportOffline() {
  // A later write may go to another tracker: the window asks first.
  readEpoch_.store(0);
  postLogf("Tracker is off line%s", "");
  notify(TRACKER_EVENT_BUTTONS, BUTTONS_OFFLINE);
  onlineShown_.store(0);
}

// After a request that ended without its reply: Read on, and Write if settings may be written.
void LinkEngine::restoreButtons() {
  if (onlineShown_.load() != 0) notify(TRACKER_EVENT_BUTTONS, BUTTONS_ONLINE);
}

bool LinkEngine::noticePortChange() {
  const std::uint32_t epoch = portEpoch_.load();
  if (epoch == seenEpoch_) return false;
  seenEpoch_ = epoch;
  // Nothing asked of the old port can be answered now.
  if (outstandingRead_.active) window_.requestFinished(ReadSettings, RequestOutcome::NoReply);
  if (outstandingWrite_.active) window_.requestFinished(WriteSettings, RequestOutcome::NoReply);
  outstandingRead_ = {};
  outstandingWrite_ = {};
  requestDeadlineMs_ = 0;
  if (onlineShown_.load() != 0) reportOffline();
  return true;
}

// --- Sending -------------------------------------------------------------

int LinkEngine::sendPacket(std::span<const std::uint8_t> frame) {
  if (frame.size() < kFrameOverhead) return kSendNothing;
  const int port = currentPort_.load();
  const std::uint32_t epoch = portEpoch_.load();
  if (port == kNoPort) return kSendNothing;
  // One frame on the line at a time: test and set in one atomic step.
  while (sendBusy_.exchange(1) != 0) {
    if (stopping_.load()) return kSendNothing;
    sleepUnlessStopping(kSendBusyPauseMs);
  }
  tracef(trace_, "GprsPackage len:%d cmd:0X%02x%02x", static_cast<int>(frame.size()), frame[11], frame[12]);
  int result = kSendOk;
  for (std::size_t done = 0; done < frame.size(); done += kWritePiece) {
    if (portEpoch_.load() != epoch || stopping_.load() ||
        !port_.write(port, frame.subspan(done, std::min(kWritePiece, frame.size() - done)))) {
      result = kSendIncomplete;
      break;
    }
  }
  sendBusy_.store(0);
  return result;
}

int LinkEngine::sendRequest(CommandType type) {
  FrameBuffer frame;
  const FrameResult<std::size_t> length = buildRequest(makeRequest(type), frame, trace_);
  if (!length) return kSendNothing;
  return sendPacket(std::span<const std::uint8_t>(frame.data(), *length));
}

void LinkEngine::runHandshake() { requests_.push(Handshake, portEpoch_.load()); }

void LinkEngine::requestReadSettings() { requests_.push(ReadSettings, portEpoch_.load()); }

void LinkEngine::requestWriteSettings(const std::function<void(SettingsModel&)>& savePages) {
  FrameBuffer frame;
  std::size_t length = 0;
  {
    // The pages' save and the encode see one model: a late read reply
    // cannot be decoded in between.
    std::lock_guard<std::mutex> hold(settings_.lock);
    if (settingsWritable_.load()) {
      if (savePages) savePages(settings_.model);
      CommandRequest request = makeRequest(WriteSettings);
      request.settingsImage = settings_.codec.encodeSettingsBlock(settings_.model);
      if (!request.settingsImage.empty()) {
        const FrameResult<std::size_t> built = buildRequest(request, frame, trace_);
        length = built ? *built : 0;
      }
    }
  }
  // Never an empty write request, which a tracker could acknowledge.
  if (length == 0) {
    postLog(u"No tracker settings loaded: read the tracker first");
    window_.requestFinished(WriteSettings, RequestOutcome::NoSettings);
    return;
  }
  requests_.push(WriteSettings, portEpoch_.load(), std::span<const std::uint8_t>(frame.data(), length));
}

bool LinkEngine::loadSettings(std::span<const std::uint8_t> image) {
  std::lock_guard<std::mutex> hold(settings_.lock);
  if (settings_.codec.decodeSettingsBlock(image, settings_.model) != DecodeResult::Decoded) return false;
  settingsWritable_.store(true);
  return true;
}

bool LinkEngine::serviceRequests() {
  bool taken = false;
  std::size_t length = 0;
  while (const std::optional<QueuedRequest> request = requests_.pop(sendFrame_, length)) {
    if (stopping_.load()) return true;
    taken = true;
    sendQueued(*request, std::span<const std::uint8_t>(sendFrame_.data(), length));
  }
  return taken;
}

void LinkEngine::sendQueued(const QueuedRequest& request, std::span<const std::uint8_t> writeFrame) {
  const std::uint32_t epoch = portEpoch_.load();
  if (request.type == Handshake) {
    if (request.portEpoch != epoch) return;  // the port it was meant for is gone; the next tick sends another
    replyTimeoutMs_.store(kHandshakeTimeoutMs);
    tracef(trace_, "ShakeHandByCom Reuest");
    sendRequest(Handshake);
    tracef(trace_, "Shake Hands To Tracker\r\n");
    return;
  }
  const bool read = request.type == ReadSettings;
  // Only to the tracker that answered on this port since it was opened.
  if (request.portEpoch != epoch || answeredEpoch_.load() != epoch || currentPort_.load() == kNoPort) {
    postLog(read ? u"Read settings: no tracker has answered on this port, nothing sent"
                 : u"Write settings: no tracker has answered on this port, nothing sent");
    restoreButtons();
    window_.requestFinished(request.type, RequestOutcome::NotSent);
    return;
  }
  replyTimeoutMs_.store(kRequestTimeoutMs);
  notify(TRACKER_EVENT_PROGRESS, 0);
  int sent = kSendNothing;
  if (read) {
    tracef(trace_, "ReadSetting ....");
    postLog(u"Read Setting ...");
    sent = sendRequest(ReadSettings);
    tracef(trace_, "ReadSetting ok\r\n");
  } else {
    postLog(u"Write Setting ...");
    sent = sendPacket(writeFrame);
  }
  if (sent != kSendOk) {
    postLog(read ? u"Read settings: the port did not take the request, nothing asked"
                 : u"Write settings: the port did not take the whole request, nothing written");
    restoreButtons();
    window_.requestFinished(request.type, RequestOutcome::NotSent);
    return;
  }
  const std::uint64_t deadline = clock_.nowMs() + kRequestTimeoutMs;
  requestDeadlineMs_ = deadline;
  (read ? outstandingRead_ : outstandingWrite_) = Outstanding{true, deadline};
}

// --- Ports ---------------------------------------------------------------

void LinkEngine::changePort(int port) {
  // The on-line state belongs to the port it was reached on.
  currentPort_.store(port);
  portEpoch_.fetch_add(1);
  trackerOnline_.store(0);
  requests_.wakeup().raise();  // the engine's thread leaves the old port's wait at once
}

bool LinkEngine::scanIsCurrent(const ScanState& scan) const {
  return !stopping_.load() && scanStop_.load() == 0 && scan.generation == scanGeneration_.load();
}

std::optional<OpenStatus> LinkEngine::openPort(int port, const ScanState* scan) {
  std::optional<OpenStatus> opened;
  {
    std::lock_guard<std::mutex> hold(portLock_);
    // Checked under the lock the user's choice takes too: once the user has
    // chosen, a scan touches no port.
    if (scan != nullptr && !scanIsCurrent(*scan)) return std::nullopt;
    const int previous = currentPort_.load();
    if (previous != kNoPort) (void)port_.close(previous);
    (void)port_.prepare(port);  // a number out of range fails the open below
    opened = port_.open(port);
    changePort(*opened ? port : kNoPort);
  }
  if (!*opened) {
    postLogf("Fail to open port %d", port);
    return opened;
  }
  runHandshake();
  postLogf("Open  port %d sucessfully", port);
  return opened;
}

OpenStatus LinkEngine::openTrackerPort(int port) { return *openPort(port, nullptr); }

void LinkEngine::portDisconnected(int port) {
  {
    std::lock_guard<std::mutex> hold(portLock_);
    if (currentPort_.load() != port) return;  // already closed or replaced
    (void)port_.close(port);
    changePort(kNoPort);
  }
  tracef(trace_, "port %d hung up", port);
  postLogf("Device on port %d disconnected!", port);
  sendBusy_.store(0);
  noticePortChange();
}

// --- Scan ----------------------------------------------------------------

ScanStep LinkEngine::scanStep(ScanState& scan) {
  scan.pauseNext = false;
  if (!scanIsCurrent(scan)) return ScanStep::Stopped;

  if (scan.checksLeft > 0) {
    if (trackerOnline_.load() != 0) {
      {
        // Only a tracker on the port this scan opened, and only while the
        // scan is current: a stopped scan selects nothing.
        std::lock_guard<std::mutex> hold(portLock_);
        if (!scanIsCurrent(scan) || currentPort_.load() != scan.port) return ScanStep::Stopped;
      }
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
  const std::optional<OpenStatus> opened = openPort(scan.port, &scan);
  if (!opened) return ScanStep::Stopped;
  if (*opened) {
    scan.checksLeft = kScanChecksPerPort;
  } else {
    ++scan.port;
  }
  return ScanStep::Continue;
}

// --- Receiving -----------------------------------------------------------

void LinkEngine::expireOutstanding(bool replyArriving) {
  // A reply still coming in when its time is up gets the same grace as the wait.
  if (replyArriving) return;
  const std::uint64_t now = clock_.nowMs();
  if (outstandingRead_.active && now > outstandingRead_.deadlineMs) {
    outstandingRead_ = {};
    postLog(u"Read settings: no reply from the tracker");
    restoreButtons();
    window_.requestFinished(ReadSettings, RequestOutcome::NoReply);
  }
  if (outstandingWrite_.active && now > outstandingWrite_.deadlineMs) {
    outstandingWrite_ = {};
    postLog(u"Write settings: no reply from the tracker");
    restoreButtons();
    window_.requestFinished(WriteSettings, RequestOutcome::NoReply);
  }
}

ReceiveResult LinkEngine::receiveFrame(std::size_t& frameLength) {
  frameLength = 0;
  const int port = currentPort_.load();
  const std::uint32_t epoch = seenEpoch_;  // a wait belongs to the port last noticed
  const std::uint32_t timeout = replyTimeoutMs_.load();
  const std::uint64_t start = clock_.nowMs();
  std::uint64_t lastArrival = start;
  if (assemblerPort_ != port) {
    assembler_.clear();
    assemblerPort_ = port;
  }

  for (;;) {
    if (stopping_.load() || portEpoch_.load() != epoch) {
      assembler_.clear();  // nothing of the old port is taken
      return ReceiveResult::PortGone;
    }
    serviceRequests();
    const std::uint64_t now = clock_.nowMs();
    const std::uint64_t elapsed = now - start;
    const bool arriving = assembler_.holdsFrameStart() && now - lastArrival <= kStallMs;
    expireOutstanding(arriving);
    // A wait begun with a handshake's 4000 ms lasts until a read or write
    // request sent since has had its own 7000 ms (a write alone is 3.5 s on the line).
    const std::uint64_t deadline = std::max(start + timeout, requestDeadlineMs_);
    if (now > deadline && !(arriving && now <= deadline + kMaxOverrunMs)) break;
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

    const PortResult<std::size_t> read = port_.read(port, assembler_.freeSpace());
    if (!read) {  // Disconnected
      portDisconnected(port);
      return ReceiveResult::PortGone;
    }
    if (*read == 0) {
      // On the port's descriptor where it can, so that a reply is taken as it comes.
      if (!port_.waitReadable(port, kEmptyReadPauseMs, &requests_.wakeup()))
        clock_.sleepOrWake(kEmptyReadPauseMs, requests_.wakeup());
      continue;
    }
    if (portEpoch_.load() != epoch) continue;  // read from a port opened meanwhile under the same number
    assembler_.commit(*read);
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
  noticePortChange();
  if (currentPort_.load() == kNoPort) {
    // In slices, so that a port opened meanwhile is read at once; what is
    // queued meanwhile is answered (nothing can be sent without a port).
    for (std::uint32_t waited = 0; waited < kNoPortPauseMs && currentPort_.load() == kNoPort && !stopping_.load();
         waited += kEmptyReadPauseMs) {
      serviceRequests();
      clock_.sleepOrWake(kEmptyReadPauseMs, requests_.wakeup());
    }
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
    pauseBetweenPasses();
    return;
  }

  tracef(trace_, "GprsPackage Reply");
  reply_ = TrackerReply{};
  const std::span<const std::uint8_t> frame(replyFrame_.data(), length);
  const FrameStatus parsed = parseReply(frame, reply_);
  tracef(trace_, "Parse reply... ");
  if (!parsed) {
    pauseBetweenPasses();
    return;
  }
  tracef(trace_, "ok got reply and set Chn free\r\n");
  sendBusy_.store(0);
  if (portEpoch_.load() == seenEpoch_) handleReply(reply_, frame);  // never a frame of an earlier port
  pauseBetweenPasses();
}

void LinkEngine::handleReply(const TrackerReply& reply, std::span<const std::uint8_t> frame) {
  const FrameChecksum checksum = frameChecksum(frame);
  const bool damaged = options_.checkReplyChecksum && !checksum.matches();
  switch (reply.type) {
    case ReadSettings:
      if (!outstandingRead_.active) {
        postLog(u"Read settings: reply ignored, no read was waiting for one");
        return;
      }
      outstandingRead_ = {};
      if (damaged) {
        settingsWritable_.store(false);
        postLogf("Settings reply damaged (checksum %04x, expected %04x), tracker's setting not loaded!",
                 checksum.carried, checksum.computed);
        window_.settingsNotLoaded(RequestOutcome::Damaged, textf("damaged (checksum %04x, expected %04x)",
                                                                 checksum.carried, checksum.computed));
        window_.requestFinished(ReadSettings, RequestOutcome::Damaged);
        return;
      }
      handleSettingsReply(reply);
      return;
    case Handshake: {
      if (damaged) break;
      {
        std::lock_guard<std::mutex> hold(portLock_);
        if (portEpoch_.load() != seenEpoch_) return;  // the port changed since the frame was taken
        answeredEpoch_.store(seenEpoch_);
      }
      if (onlineShown_.load() != 1) {
        postLogf("Tracker is on line%s", "");
        notify(TRACKER_EVENT_BUTTONS, BUTTONS_ONLINE);
        onlineShown_.store(1);
      }
      // Raised after the on-line report, so that a scan waiting for it
      // always logs "Tracker is on port" after "Tracker is on line".
      std::lock_guard<std::mutex> hold(portLock_);
      if (portEpoch_.load() == seenEpoch_) trackerOnline_.store(1);
      return;
    }
    case WriteSettings:
      if (damaged) break;
      tracef(trace_, "Write setting Reply");
      if (!outstandingWrite_.active) {
        postLog(u"Write settings: reply ignored, no write was waiting for one");
        return;
      }
      outstandingWrite_ = {};
      postLog(reply.accepted ? u"Write setting to tracker ok!" : u"Fail to write setting to tracker!");
      window_.requestFinished(WriteSettings, reply.accepted ? RequestOutcome::Done : RequestOutcome::Refused);
      return;
    default:
      return;
  }
  tracef(trace_, "reply checksum %04x, expected %04x: dropped", checksum.carried, checksum.computed);
}

void LinkEngine::handleSettingsReply(const TrackerReply& reply) {
  const std::span<const std::uint8_t> data(reply.data.data(), reply.dataLength);
  DecodeResult decoded;
  {
    std::lock_guard<std::mutex> hold(settings_.lock);
    decoded = settings_.codec.decodeSettingsBlock(data, settings_.model);
  }
  const std::uint32_t layoutWord = settingsLayoutWord(data);
  switch (decoded) {
    case DecodeResult::Decoded:
      break;
    case DecodeResult::Incomplete:
      settingsWritable_.store(false);
      postLogf("Tracker's setting incomplete (%u of %zu bytes), not loaded!", reply.dataLength,
               settingsLayoutSize(layoutWord));
      window_.settingsNotLoaded(RequestOutcome::Incomplete, textf("incomplete (%u of %zu bytes)", reply.dataLength,
                                                                  settingsLayoutSize(layoutWord)));
      window_.requestFinished(ReadSettings, RequestOutcome::Incomplete);
      return;
    default:
      settingsWritable_.store(false);
      postLogf("Unknown setting layout %x, tracker's setting not loaded!", layoutWord);
      window_.settingsNotLoaded(RequestOutcome::UnknownLayout, textf("of an unknown layout %x", layoutWord));
      window_.requestFinished(ReadSettings, RequestOutcome::UnknownLayout);
      return;
  }
  settingsWritable_.store(true);
  readEpoch_.store(seenEpoch_);
  postLog(u"Get Tracker's setting ok!");
  window_.settingsReady();
  notify(TRACKER_EVENT_BUTTONS, BUTTONS_SETTINGS_READ);
  notify(TRACKER_EVENT_PROGRESS, 100);
  window_.requestFinished(ReadSettings, RequestOutcome::Done);
}

}  // namespace pelmora
