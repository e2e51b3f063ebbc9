#pragma once
// What the link engine tells the main window. Every notification is
// delivered synchronously: the sender waits until the window has handled it
// (on the window's own thread), so a log text needs to live only for the
// duration of the call.

#include <cstdint>
#include <string_view>

namespace pelmora {

enum class TrackerEvent : int {
  Log = 0,         // text: a line for the activity log
  SelectPort = 1,  // value: port index to select in the chooser
  Buttons = 2,     // value: a ButtonsState
  Progress = 3,    // value: milliseconds waited (0..4000 shown)
};

enum ButtonsState : int {
  BUTTONS_OFFLINE = 0,
  BUTTONS_ONLINE = 1,
  BUTTONS_SETTINGS_READ = 3,
};

// How a read or write request ended, for a front that waits on it.
enum class RequestOutcome : int {
  Done,           // read: decoded into the model; write: the tracker acknowledged it
  Refused,        // write: the tracker answered with a failure status
  NoReply,        // no reply within the request's 7000 ms
  NotSent,        // no tracker answered on this port, or the port did not take the request
  NoSettings,     // write: nothing read yet, or the last read was refused
  Damaged,        // read: wrong checksum
  Incomplete,     // read: shorter than its layout
  UnknownLayout,  // read: a layout word nobody knows
  GivenUp,        // a session's read whose front stopped waiting (TrackerSession); the engine never reports it
};

class TrackerWindow {
 public:
  virtual ~TrackerWindow() = default;
  // WM_TRACKER_EVENT. For TrackerEvent::Log, `text` holds the line and
  // `value` is 0; for the other kinds `text` is empty.
  virtual void trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) = 0;
  // WM_SETTINGS_READY: a settings image has been decoded into the model.
  virtual void settingsReady() = 0;
  // A read (ReadSettings) or write (WriteSettings) request ended, after its log line.
  virtual void requestFinished(std::int32_t /*type*/, RequestOutcome /*outcome*/) {}
  // A settings reply was not loaded (Damaged, Incomplete, UnknownLayout): what
  // was wrong with it, "incomplete (100 of 3180 bytes)". Comes just before
  // requestFinished(ReadSettings, outcome), so a front need not read the log.
  virtual void settingsNotLoaded(RequestOutcome /*outcome*/, std::string_view /*why*/) {}
};

}  // namespace pelmora
