#include "link/link_engine.h"

#include <algorithm>

namespace pelmora {
namespace {

constexpr std::uint32_t kMaxOverrunMs = 5000;  // more than a 4096-byte frame needs at 9600 baud
constexpr std::uint32_t kWakeSliceMs = 100;
constexpr std::uint32_t kPassPauseMs = 500;
constexpr std::uint32_t kNoPortPauseMs = 1000;

}  // namespace

LinkEngine::LinkEngine(SerialPort& port, Clock& clock, TrackerWindow& window, SharedSettings& settings,
                       TraceSink* trace, EngineOptions options)
    : port_(port), clock_(clock), trace_(trace), options_(options), notifier_(window), settings_(settings, trace) {}

LinkEngine::~LinkEngine() { shutdown(); }

// --- Threads -------------------------------------------------------------

void LinkEngine::startCommunication() {
  if (communicationStarted_.exchange(true)) return;
  workers_.start([this] {
    while (!stopping_.load()) communicationPass();
  });
}

void LinkEngine::startScan() {
  const ScanState scan = scan_.begin();
  workers_.start([this, scan] { scan_.run(scan, *this); });
}

void LinkEngine::requestStop() {
  stopping_.store(true);
  scan_.stop();
  requests_.wakeup().raise();
}

void LinkEngine::shutdown() {
  requestStop();
  workers_.joinAll();
}

// The pause after each pass; a request queued meanwhile goes out at once and
// ends it, so that its reply is awaited now rather than after the rest of the
// half second.
void LinkEngine::pauseBetweenPasses() {
  const std::uint64_t end = clock_.nowMs() + kPassPauseMs;
  for (std::uint64_t now = clock_.nowMs(); now < end && !stopping_.load(); now = clock_.nowMs()) {
    if (serviceRequests()) return;
    clock_.sleepOrWake(static_cast<std::uint32_t>(std::min<std::uint64_t>(end - now, kWakeSliceMs)),
                       requests_.wakeup());
  }
}

// --- The on-line state ---------------------------------------------------

void LinkEngine::reportOffline() {
  // A later write may go to another tracker: the window asks first.
  readEpoch_.store(0);
  notifier_.reportOffline();
}

bool LinkEngine::noticePortChange() {
  const std::uint32_t epoch = portEpoch_.load();
  if (epoch == seenEpoch_) return false;
  seenEpoch_ = epoch;
  // Nothing asked of the old port can be answered now.
  while (const std::optional<CommandType> abandoned = outstanding_.abandon())
    notifier_.finished(*abandoned, RequestOutcome::NoReply);
  damagedInARow_ = 0;
  if (notifier_.onlineShown()) reportOffline();
  return true;
}

// --- Sending -------------------------------------------------------------

SendStatus LinkEngine::send(CommandType type, std::span<const std::uint8_t> writeFrame) {
  const int port = currentPort_.load();
  const std::uint32_t epoch = portEpoch_.load();
  const auto stillOurs = [&] { return portEpoch_.load() == epoch && !stopping_.load(); };
  return type == WriteSettings ? writer_.send(port, writeFrame, stillOurs) : writer_.sendRequest(port, type, stillOurs);
}

void LinkEngine::runHandshake() { requests_.push(Handshake, portEpoch_.load()); }

void LinkEngine::requestReadSettings() { requests_.push(ReadSettings, portEpoch_.load()); }

void LinkEngine::requestWriteSettings(const std::function<void(SettingsModel&)>& savePages) {
  FrameBuffer frame;
  const Result<std::size_t, RequestOutcome, StaticMessage> length = settings_.buildWriteRequest(savePages, frame);
  // Never an empty write request, which a tracker could acknowledge.
  if (!length) {
    notifier_.log(u"No tracker settings loaded: read the tracker first");
    notifier_.finished(WriteSettings, length.error().kind);
    return;
  }
  requests_.push(WriteSettings, portEpoch_.load(), std::span<const std::uint8_t>(frame.data(), *length));
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
    (void)send(Handshake);  // unanswered, it is sent again at the next tick
    tracef(trace_, "Shake Hands To Tracker\r\n");
    return;
  }
  // Only to the tracker that answered on this port since it was opened.
  if (request.portEpoch != epoch || answeredEpoch_.load() != epoch || currentPort_.load() == kNoPort)
    return notifier_.requestEnded(request.type, RequestEnd::NotAnswered);
  replyTimeoutMs_.store(kRequestTimeoutMs);
  notifier_.progress(0);
  const bool read = request.type == ReadSettings;
  if (read) tracef(trace_, "ReadSetting ....");
  notifier_.log(read ? u"Read Setting ..." : u"Write Setting ...");
  const SendStatus sent = send(request.type, writeFrame);
  if (read) tracef(trace_, "ReadSetting ok\r\n");
  if (!sent) return notifier_.requestEnded(request.type, RequestEnd::NotTaken);
  outstanding_.sent(request.type, clock_.nowMs());
}

// --- Ports ---------------------------------------------------------------

void LinkEngine::changePort(int port) {
  // The on-line state belongs to the port it was reached on.
  currentPort_.store(port);
  portEpoch_.fetch_add(1);
  trackerOnline_.store(0);
  requests_.wakeup().raise();  // the engine's thread leaves the old port's wait at once
  onlineChanged_.raise();
}

void LinkEngine::setOnline(bool online) {
  if (trackerOnline_.exchange(online ? 1 : 0) != (online ? 1 : 0)) onlineChanged_.raise();
}

std::optional<OpenStatus> LinkEngine::openPort(int port, const ScanState* scan) {
  std::optional<OpenStatus> opened;
  {
    std::lock_guard<std::mutex> hold(portLock_);
    // Checked under the lock the user's choice takes too: once the user has
    // chosen, a scan touches no port.
    if (scan != nullptr && !scan_.isCurrent(*scan)) return std::nullopt;
    const int previous = currentPort_.load();
    if (previous != kNoPort) (void)port_.close(previous);
    (void)port_.prepare(port);  // a number out of range fails the open below
    opened = port_.open(port);
    changePort(*opened ? port : kNoPort);
  }
  if (!*opened) {
    notifier_.logf("Fail to open port %d", port);
    return opened;
  }
  runHandshake();
  notifier_.logf("Open  port %d sucessfully", port);
  return opened;
}

OpenStatus LinkEngine::openTrackerPort(int port) { return *openPort(port, nullptr); }

ScanLink::Opened LinkEngine::openForScan(int port, const ScanState& scan) {
  const std::optional<OpenStatus> opened = openPort(port, &scan);
  if (!opened) return Opened::ScanStopped;
  return *opened ? Opened::Yes : Opened::Failed;
}

ScanLink::Answer LinkEngine::trackerAnswered(const ScanState& scan) {
  if (trackerOnline_.load() == 0) return Answer::NotYet;
  // Only a tracker on the port this scan opened, and only while the scan is
  // current: a stopped scan selects nothing.
  std::lock_guard<std::mutex> hold(portLock_);
  return scan_.isCurrent(scan) && currentPort_.load() == scan.port ? Answer::OnPort : Answer::ScanStopped;
}

void LinkEngine::portDisconnected(int port) {
  {
    std::lock_guard<std::mutex> hold(portLock_);
    if (currentPort_.load() != port) return;  // already closed or replaced
    (void)port_.close(port);
    changePort(kNoPort);
  }
  tracef(trace_, "port %d hung up", port);
  notifier_.logf("Device on port %d disconnected!", port);
  noticePortChange();
}

// --- Receiving -----------------------------------------------------------

LinkEngine::Received LinkEngine::receiveFrame(std::size_t& frameLength) {
  frameLength = 0;
  const int port = currentPort_.load();
  const std::uint32_t epoch = seenEpoch_;  // a wait belongs to the port last noticed
  const std::uint32_t timeout = replyTimeoutMs_.load();
  const std::uint64_t start = clock_.nowMs();
  reader_.beginWait(port, start);

  for (;;) {
    if (stopping_.load() || portEpoch_.load() != epoch) {
      reader_.clear();  // nothing of the old port is taken
      return Received::PortGone;
    }
    serviceRequests();
    const std::uint64_t now = clock_.nowMs();
    // A reply still coming in when its time is up gets the same grace as the wait.
    const bool arriving = reader_.arriving(now);
    if (!arriving) {
      while (const std::optional<CommandType> late = outstanding_.expire(now))
        notifier_.requestEnded(*late, RequestEnd::NoReply);
    }
    const std::uint64_t deadline = outstanding_.waitDeadline(start, timeout);
    if (now > deadline && !(arriving && now <= deadline + kMaxOverrunMs)) break;
    notifier_.progress(static_cast<std::int32_t>(now - start));

    // A frame may already stand in what the last read left behind.
    if ((frameLength = reader_.takeFrame(replyFrame_)) != 0) return Received::Frame;
    reader_.makeRoom();

    const PortResult<std::size_t> read = reader_.read(port);
    if (!read) {  // Disconnected
      portDisconnected(port);
      return Received::PortGone;
    }
    if (*read == 0) {
      reader_.waitForBytes(port, requests_.wakeup());
      continue;
    }
    if (portEpoch_.load() != epoch) continue;  // read from a port opened meanwhile under the same number
    reader_.take(*read);
    if ((frameLength = reader_.takeFrame(replyFrame_)) != 0) return Received::Frame;
  }
  reader_.clear();  // the bytes of an unfinished frame are lost with the wait
  return Received::TimedOut;
}

void LinkEngine::communicationPass() {
  replyFrame_.fill(0);
  noticePortChange();
  if (currentPort_.load() == kNoPort) {
    // In slices, so that a port opened meanwhile is read at once; what is
    // queued meanwhile is answered (nothing can be sent without a port).
    for (std::uint32_t waited = 0; waited < kNoPortPauseMs && currentPort_.load() == kNoPort && !stopping_.load();
         waited += kWakeSliceMs) {
      serviceRequests();
      clock_.sleepOrWake(kWakeSliceMs, requests_.wakeup());
    }
    return;
  }
  tracef(trace_, "Read Gspt Data");
  std::size_t length = 0;
  const Received received = receiveFrame(length);
  if (received == Received::PortGone) return;
  if (received == Received::TimedOut) {
    tracef(trace_, "got Gspt Data overtime!");
    notifier_.log(u"Send command time out!");
    setOnline(false);
    if (notifier_.onlineShown()) reportOffline();
    pauseBetweenPasses();
    return;
  }

  tracef(trace_, "GprsPackage Reply");
  reply_ = TrackerReply{};
  const std::span<const std::uint8_t> frame(replyFrame_.data(), length);
  const FrameStatus parsed = parseReply(frame, reply_);
  tracef(trace_, "Parse reply... ");
  if (parsed) {
    tracef(trace_, "ok got reply and set Chn free\r\n");
    if (portEpoch_.load() == seenEpoch_) handleReply(reply_, frame);  // never a frame of an earlier port
  }
  pauseBetweenPasses();
}

// --- Replies -------------------------------------------------------------

void LinkEngine::handleReply(const TrackerReply& reply, std::span<const std::uint8_t> frame) {
  const FrameChecksum checksum = frameChecksum(frame);
  const bool damaged = options_.checkReplyChecksum && !checksum.matches();
  countDamaged(damaged);
  switch (reply.type) {
    case ReadSettings:
      if (!outstanding_.answer(ReadSettings)) {
        notifier_.log(u"Read settings: reply ignored, no read was waiting for one");
        return;
      }
      if (damaged) {
        settings_.refuse();
        notifier_.settingsDamaged(checksum);
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
      notifier_.reportOnline();
      // Raised after the on-line report, so that a scan waiting for it
      // always logs "Tracker is on port" after "Tracker is on line".
      std::lock_guard<std::mutex> hold(portLock_);
      if (portEpoch_.load() == seenEpoch_) setOnline(true);
      return;
    }
    case WriteSettings:
      if (damaged) break;
      tracef(trace_, "Write setting Reply");
      if (!outstanding_.answer(WriteSettings)) {
        notifier_.log(u"Write settings: reply ignored, no write was waiting for one");
        return;
      }
      notifier_.log(reply.accepted ? u"Write setting to tracker ok!" : u"Fail to write setting to tracker!");
      notifier_.finished(WriteSettings, reply.accepted ? RequestOutcome::Done : RequestOutcome::Refused);
      return;
    default:
      return;
  }
  tracef(trace_, "reply checksum %04x, expected %04x: dropped", checksum.carried, checksum.computed);
}

// A tracker whose every reply fails the check looks silent: say once, at
// the second in a row on a port, that it answers and how to accept it.
void LinkEngine::countDamaged(bool damaged) {
  damagedInARow_ = damaged ? damagedInARow_ + 1 : 0;
  if (damagedInARow_ != 2) return;
  notifier_.logf("Tracker on port %d answers, but its reply checksums do not match: to accept them, set [Link] "
                 "CheckReplyChecksum=false in ~/.config/KVL/COMM.conf (%%APPDATA%%\\KVL\\COMM.conf on Windows)",
                 currentPort_.load());
}

void LinkEngine::handleSettingsReply(const TrackerReply& reply) {
  const std::span<const std::uint8_t> data(reply.data.data(), reply.dataLength);
  const DecodeResult decoded = settings_.decodeReply(data);
  if (decoded == DecodeResult::Decoded) readEpoch_.store(seenEpoch_);
  notifier_.settingsRead(decoded, data);
}

}  // namespace pelmora
