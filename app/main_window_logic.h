#pragma once
// The behaviour of the main window, without a platform: what each button,
// the port chooser, the tab control, the timer and the link engine's
// notifications do to the screen (through MainView) and to the link.
// The Qt window (CPelmoraDlg) builds its widgets from the templates,
// forwards every event here and draws what it is told.
//
// Single-threaded: every call, notifications included, comes on the
// window's thread.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/field_marks.h"
#include "app/log_bound.h"
#include "app/main_view.h"
#include "app/page_table.h"
#include "app/port_index_store.h"
#include "link/clock.h"
#include "link/link_engine.h"
#include "link/port_discovery.h"
#include "link/tracker_events.h"
#include "pages/agps_page.h"
#include "pages/apn_page.h"
#include "pages/exchange_direction.h"
#include "pages/key_binding_page.h"
#include "pages/misc_page.h"
#include "pages/sms_track_page.h"
#include "pages/transport_page.h"
#include "settings/history_archive.h"
#include "settings/shared_settings.h"

namespace pelmora {

inline constexpr int kPortEntryCount = kLastPortNumber + 1;  // "COM0" .. "COM99"; entry i is port i
inline constexpr int kNoSelection = -1;
inline constexpr int kProgressLow = 0;
inline constexpr int kProgressHigh = 4000;  // milliseconds of a reply wait
inline constexpr std::u16string_view kLogSeparator = u"\r\n\r\n";
// Asked before a write when the tracker on the line may not be the one read.
inline constexpr std::u16string_view kWriteElsewhereQuestion =
    u"Since these settings were read, the tracker went off line or the port changed, so the tracker on the "
    u"line now may be another one.\n\nRead Settings first to load its own settings.\n\nWrite these settings to it "
    u"anyway?";
// Said instead of saving, opening or comparing before any settings were read.
inline constexpr std::u16string_view kReadFirstText = u"No tracker settings loaded: read the tracker first";
// "Restore Earlier Settings" where nothing is kept: the demo, or a tracker never written.
inline constexpr std::u16string_view kNoHistoryText = u"The demo keeps no earlier settings";
inline constexpr std::u16string_view kNothingKeptText = u"No earlier settings are kept for this tracker";
// "Compare with Tracker" when a write would change nothing.
inline constexpr std::u16string_view kNoChangesText = u"No changes";
// The log's first line when no port was chosen before.
inline constexpr std::u16string_view kFirstRunText = u"Plug the tracker in and press Scan Ports";

class MainWindowLogic final : public TrackerWindow {
 public:
  // `discovery` explains a port that does not open (nullptr: the short reason only).
  MainWindowLogic(MainView& view, PortIndexStore& store, SharedSettings& settings,
                  PortDiscovery* discovery = nullptr);
  MainWindowLogic(const MainWindowLogic&) = delete;
  MainWindowLogic& operator=(const MainWindowLogic&) = delete;

  // Before initialise: the demo's simulated tracker is on `port`, which is
  // selected and opened at start (the saved index is neither read nor changed).
  void setDemoPort(int port) { demoPort_ = port; }
  // Each log entry begins with the time of `clock` ("12:34:56 "); nullptr: none.
  void setLogClock(Clock* clock) { logClock_ = clock; }

  // The pages and their templates, for the view to build the tab control.
  const PageTable& pageTable() const { return pageTable_; }

  // Once the view's widgets exist: the pages' own initialisation, page 0
  // shown, the port chooser filled, the communication thread started, the
  // saved port preselected (not opened), Read and Write disabled, the
  // progress range set. The engine calls this window from its threads:
  // shut it down before the window goes.
  void initialise(LinkEngine& engine);

  // --- The user -------------------------------------------------------------
  void onPortSelected();  // an entry chosen from the port chooser's list
  void onScanPorts();
  // Asks first when fields were changed since the read (see unwrittenChanges).
  void onReadSettings();
  // Asks first when the tracker may have changed since the read (see
  // kWriteElsewhereQuestion), and when the write would change a field that
  // belongs to one tracker (TrackerId) while a settings file was opened
  // since the read: "These settings change TrackerId from "1" to "2" (from
  // the file a.json). TrackerId belongs to one tracker only.\n\nWrite them
  // anyway?". No answer: nothing is sent. Before that it refuses, sending
  // nothing, while a field the user changed breaks its rule, naming each
  // one: "Write Settings refused: 1 field you changed breaks its rule;
  // nothing was sent:\r\nSmsPassword (Sms Track, Password) is "12": has 2
  // digits; the rule is exactly 6 digits".
  void onWriteSettings();
  void onTabChanged(int index) { showPage(index); }
  // The context menu. Save and Compare take the pages' edits in a copy of
  // the model; Open lays a file over the last read and shows it, and nothing
  // reaches the tracker until "Write Settings".
  void onSaveSettings();
  // Asks first when fields were changed since the read.
  void onOpenSettings();
  void onCompareWithTracker();
  // The log as shown (times included), written whole to a UTF-8 file, or copied.
  void onSaveLog();
  void onCopyLog();
  void onAbout() { view_.showAbout(); }
  // The settings kept before each earlier write of the tracker read (for
  // the user to choose from), then RestoreEarlier; said in the log when none are kept.
  void onRestoreEarlier();
  void onStation() { view_.openStation(); }
  void onQuit() { view_.closeWindow(); }
  // Every way of closing the window asks this first. With unwritten changes:
  // Yes saves them to a settings file (closing once saved), No discards
  // them, Cancel keeps the window.
  bool mayClose();
  // After "Write setting to tracker ok!" read the settings back and say
  // whether every field holds what was written (on unless the user's settings say otherwise).
  void setVerifyAfterWrite(bool on) { verifyAfterWrite_ = on; }
  // Where the image of the last read is kept before each write
  // (app/restore_earlier.h); none: nothing kept. A write whose image cannot
  // be kept is not sent.
  void setHistory(const HistoryArchive* history) { history_ = history; }
  // A click on control `controlId` of page `pageIndex`; the fields are marked again.
  void onPageCommand(int pageIndex, int controlId);
  // The user changed a text or a choice on page `pageIndex`: the fields are
  // marked again (FieldMarks).
  void onPageEdited(int pageIndex);
  // Every STATUS_TIMER_ID tick: a handshake, then the status light.
  void onTimerTick();

  // --- The link engine (TrackerWindow) --------------------------------------
  void trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) override;
  void settingsReady() override;
  // The progress bar shows full once a read or write is done, until the next command.
  void requestFinished(std::int32_t type, RequestOutcome outcome) override;

  // --- Operations of the window ---------------------------------------------
  // Every page, in table order, exchanges with the model under the settings lock.
  void loadSavePages(ExchangeDirection direction);
  // Page `index` visible, every other hidden; -1 hides them all.
  void showPage(int index);
  void savePortIndex(int index);
  // `text`, then an empty line.
  void appendLog(std::u16string_view text);

  bool settingsLoaded() const { return settingsLoaded_; }
  // The fields the pages hold otherwise than the tracker read (an opened
  // file's included): what Write Settings would change. 0 before a read.
  std::size_t unwrittenChanges();
  // The log pane's text as written (entries and separators).
  const std::u16string& logText() const { return logText_; }

 private:
  void exchangePages(SettingsModel& model, ExchangeDirection direction);
  int restorePortIndex();
  void selectPortEntry(int index);
  void applyButtons(std::int32_t state);
  void startRead();
  void startCommand();  // the progress bar empty and following the wait again
  bool trackerRead();   // settings were read: false after saying to read first
  std::u16string oneTrackerQuestion();  // "" when there is nothing to ask
  void finishVerify(RequestOutcome outcome);
  void appendUtf8(std::string_view text);
  // The model just shown on the pages is what "changed" is measured from.
  void markLoaded(const SettingsModel& shown);
  void refreshMarks();
  bool refusedForBreaches();  // said why in the log
  bool keptBeforeWrite();     // false: said why in the log
  void settleKept(bool written, bool verified);
  bool saveSettings();        // true once written to a file
  // False when there are unwritten changes and the user keeps them.
  bool discardAsked(std::u16string_view oneChange, std::u16string_view manyChanges);
  std::u16string counted(std::size_t count, std::u16string_view one, std::u16string_view many) const;
  void appendEntry(std::u16string_view text);
  // A log line in the window's language: whole, or as the pattern of its numbers.
  std::u16string inWindowLanguage(std::u16string_view text) const;
  // The elements (settingsElements()) `edited` holds otherwise than the tracker.
  std::vector<std::size_t> changedElements(const SettingsModel& edited);

  MainView& view_;
  PortIndexStore& store_;
  SharedSettings& settings_;
  PortDiscovery* discovery_;
  LinkEngine* engine_ = nullptr;  // set by initialise

  // The pages, constructed in this order and destroyed in the reverse one.
  ApnPage apn_;
  SmsTrackPage smsTrack_;
  AgpsPage agps_;
  KeyBindingPage keyBinding_;
  TransportPage transport_;
  MiscPage misc_;
  PageTable pageTable_;
  FieldMarks marks_;

  bool settingsLoaded_ = false;  // set by the first settings image, never cleared (Write follows the engine's settingsWritable)
  StatusImage lastStatusImage_ = StatusImage::None;
  std::uint32_t statusBlinkCounter_ = 0;  // only its parity is shown; wraps after 136 years
  LogBound logBound_;
  bool progressFull_ = false;  // a read or write was done and no command followed
  std::string openedFile_;     // the settings file opened last since the read; "" none
  bool verifyAfterWrite_ = true;
  bool verifying_ = false;             // the read-back after a write is outstanding
  std::vector<std::uint8_t> written_;  // the image of the write in flight or being verified
  std::size_t writtenChanges_ = 0;     // the fields that write changes
  const HistoryArchive* history_ = nullptr;
  std::optional<HistoryEntry> kept_;  // the before-image of the write in flight or being verified
  SettingsModel inFlight_;                   // what the write in flight sends
  std::optional<SettingsModel> writtenModel_;  // what the last write sent, until the next read
  std::optional<int> demoPort_;
  Clock* logClock_ = nullptr;
  std::u16string logText_;  // what the pane holds
};

}  // namespace pelmora
