#include "app/main_window_logic.h"

#include <array>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/restore_earlier.h"
#include "link/formatted_text.h"
#include "link/open_failure_detail.h"
#include "link/open_failure_text.h"
#include "link/port_name.h"
#include "pages/text_conversion.h"
#include "settings/atomic_file.h"
#include "settings/settings_elements.h"
#include "settings/settings_file.h"
#include "settings/utf.h"

namespace pelmora {
namespace {

enum class ButtonChange : std::uint8_t { Unchanged, Enable, Disable, EnableIfSettingsWritable };

struct ButtonsRow {
  std::int32_t state;
  ButtonChange write;  // applied first
  ButtonChange read;
};

// TrackerEvent::Buttons; any other value changes nothing.
constexpr std::array kButtonsTable{
    ButtonsRow{BUTTONS_OFFLINE, ButtonChange::Disable, ButtonChange::Disable},
    ButtonsRow{BUTTONS_ONLINE, ButtonChange::EnableIfSettingsWritable, ButtonChange::Enable},
    ButtonsRow{BUTTONS_SETTINGS_READ, ButtonChange::Enable, ButtonChange::Unchanged},
};

std::string fieldCount(std::size_t count) { return std::to_string(count) + (count == 1 ? " field" : " fields"); }

// The count beside Write Settings and the questions before edits are lost;
// each as one change and as several, whose "%1" is the count.
constexpr std::u16string_view kOneChange = u"1 change";
constexpr std::u16string_view kManyChanges = u"%1 changes";
constexpr std::u16string_view kReadDiscardsOne = u"Discard your change and read the tracker again?";
constexpr std::u16string_view kReadDiscardsMany = u"Discard your %1 changes and read the tracker again?";
constexpr std::u16string_view kOpenDiscardsOne = u"Discard your change and open a settings file?";
constexpr std::u16string_view kOpenDiscardsMany = u"Discard your %1 changes and open a settings file?";
constexpr std::u16string_view kCloseKeepsOne =
    u"Your change was not written to the tracker. Save it to a settings file before closing?";
constexpr std::u16string_view kCloseKeepsMany =
    u"Your %1 changes were not written to the tracker. Save them to a settings file before closing?";
constexpr std::u16string_view kDemoText = u"Demo: the simulated tracker is on COM%1; press Read Settings";
constexpr std::u16string_view kLogSavedText = u"Log saved to %1";

std::u16string filled(std::u16string text, std::u16string_view value) {
  if (const std::size_t at = text.find(u"%1"); at != std::u16string::npos) text.replace(at, 2, value);
  return text;
}
std::u16string decimal(std::size_t value) { return utf16FromUtf8(std::to_string(value)); }

}  // namespace

MainWindowLogic::MainWindowLogic(MainView& view, PortIndexStore& store, SharedSettings& settings,
                                 PortDiscovery* discovery)
    : view_(view),
      store_(store),
      settings_(settings),
      discovery_(discovery),
      pageTable_(smsTrack_, keyBinding_, apn_, agps_, transport_, misc_) {}

void MainWindowLogic::initialise(LinkEngine& engine) {
  engine_ = &engine;
  for (int i = 0; i < PageTable::size(); ++i) pageTable_[i].page->initialise(view_.pageControls(i));
  showPage(0);
  for (int i = 0; i < kPortEntryCount; ++i) view_.addPortEntry(FormattedText("COM%d", i).view());
  engine.startCommunication();
  view_.enableReadButton(false);
  view_.enableWriteButton(false);
  view_.setProgressRange(kProgressLow, kProgressHigh);
  if (demoPort_) {
    // The demo's tracker is behind a loopback port: opening it touches no device.
    appendLog(filled(std::u16string(kDemoText), decimal(static_cast<std::size_t>(*demoPort_))));
    selectPortEntry(*demoPort_);
    (void)engine.openTrackerPort(*demoPort_);
    return;
  }
  const std::optional<std::u16string> saved = store_.readPortIndex();
  selectPortEntry(saved ? restorePortIndex() : kNoSelection);  // preselected only: nothing is opened at start
  if (!saved) appendLog(kFirstRunText);
}

// --- The user ----------------------------------------------------------------

void MainWindowLogic::onPortSelected() {
  if (engine_ == nullptr) return;
  engine_->stopScan();
  const int port = view_.selectedPort();
  if (const OpenStatus opened = engine_->openTrackerPort(port); !opened) {
    // The link logs only "Fail to open port %d"; say why in plain words.
    OpenFailureDetail detail;
    detail.failure = opened.error().kind;
    if (discovery_ != nullptr)
      detail = explainOpenFailure(detail.failure, engine_->lastOpenFailureDevice(port), *discovery_);
    if (const std::string reason = openFailureReason(detail, comPortName(port)); !reason.empty()) appendUtf8(reason);
  }
  // Stored whatever the outcome.
  savePortIndex(view_.selectedPort());
}

void MainWindowLogic::onScanPorts() {
  if (engine_ != nullptr) engine_->startScan();
}

// A read-back still waited for is done by whichever read ends first: both read the same tracker.
void MainWindowLogic::onReadSettings() {
  if (discardAsked(kReadDiscardsOne, kReadDiscardsMany)) startRead();
}

std::size_t MainWindowLogic::unwrittenChanges() {
  return marks_.hasLoaded() ? changedElements(marks_.edited(view_, pageTable_)).size() : 0;
}

std::vector<std::size_t> MainWindowLogic::changedElements(const SettingsModel& edited) {
  std::vector<std::size_t> changed;
  std::lock_guard<std::mutex> hold(settings_.lock);
  if (!settings_.codec.hasImage()) return changed;
  // The tracker holds what was read, or what was written since.
  const SettingsModel& held = writtenModel_ ? *writtenModel_ : settings_.codec.readModel();
  const std::span<const FieldElement> elements = settingsElements();
  for (std::size_t i = 0; i < elements.size(); ++i)
    if (!sameFieldElement(*elements[i].row, elements[i].element, edited, held)) changed.push_back(i);
  return changed;
}

std::u16string MainWindowLogic::counted(std::size_t count, std::u16string_view one,
                                        std::u16string_view many) const {
  return count == 1 ? view_.translated(one) : filled(view_.translated(many), decimal(count));
}

bool MainWindowLogic::discardAsked(std::u16string_view oneChange, std::u16string_view manyChanges) {
  const std::size_t changes = unwrittenChanges();
  return changes == 0 || view_.confirm(counted(changes, oneChange, manyChanges));
}

bool MainWindowLogic::mayClose() {
  const std::size_t changes = unwrittenChanges();
  if (changes == 0) return true;
  switch (view_.ask(counted(changes, kCloseKeepsOne, kCloseKeepsMany))) {
    case Answer::Yes:
      return saveSettings();
    case Answer::No:
      return true;
    case Answer::Cancel:
      break;
  }
  return false;
}

void MainWindowLogic::startRead() {
  // Enabled again by the settings, or by an on-line report once settings were loaded.
  view_.enableWriteButton(false);
  startCommand();
  if (engine_ != nullptr) engine_->requestReadSettings();
}

void MainWindowLogic::startCommand() {
  progressFull_ = false;
  view_.setProgress(kProgressLow);
}

void MainWindowLogic::onWriteSettings() {
  if (engine_ == nullptr) return;
  if (refusedForBreaches()) return;
  // Swapping trackers on one cable is how a fleet is configured: settings
  // read from one must not reach the next unasked.
  if (engine_->settingsWritable() && !engine_->trackerSameSinceRead() && !view_.confirm(kWriteElsewhereQuestion))
    return;
  // Nor does one tracker's id, taken from its saved settings, reach another unasked.
  if (const std::u16string question = oneTrackerQuestion(); !question.empty() && !view_.confirm(question)) return;
  if (!keptBeforeWrite()) return;
  startCommand();
  written_.clear();
  // The engine holds the settings lock around this save and the encode.
  engine_->requestWriteSettings([this](SettingsModel& model) {
    exchangePages(model, PAGE_SAVE);
    inFlight_ = model;
    if (!verifyAfterWrite_) return;
    // What goes out: the read with the changed fields laid over it (the
    // header, sent as zeros, is not verified).
    const SettingsDocument document = documentFromTracker(settings_.codec, model);
    written_.assign(document.bytes().begin(), document.bytes().end());
    writtenChanges_ = pendingChanges(settings_.codec, model).size();
  });
}

std::u16string MainWindowLogic::oneTrackerQuestion() {
  if (openedFile_.empty()) return {};
  std::vector<FieldChange> changes;
  {
    std::lock_guard<std::mutex> hold(settings_.lock);
    SettingsModel edited = settings_.model;
    exchangePages(edited, PAGE_SAVE);
    changes = pendingChanges(settings_.codec, edited);
  }
  const std::span<const FieldElement> elements = settingsElements();
  for (const FieldChange& change : changes) {
    const int element = findElement(change.name);
    if (element < 0 || (elements[static_cast<std::size_t>(element)].row->flags & kOneTrackerField) == 0) continue;
    return utf16FromUtf8("These settings change " + change.name + " from " + change.before + " to " + change.after +
                         " (from the file " + std::filesystem::path(openedFile_).filename().string() + "). " +
                         change.name + " belongs to one tracker only.\n\nWrite them anyway?");
  }
  return {};
}

bool MainWindowLogic::refusedForBreaches() {
  const SettingsModel edited = marks_.edited(view_, pageTable_);
  std::vector<FieldBreach> refused = marks_.breaches(pageTable_, edited);
  std::erase_if(refused, [](const FieldBreach& b) { return !b.changed; });  // the tracker's own goes back as it came
  if (refused.empty()) return false;
  SettingsDocument document;
  {
    std::lock_guard<std::mutex> hold(settings_.lock);
    document = documentFromTracker(settings_.codec, edited);
  }
  std::string text = "Write Settings refused: " + fieldCount(refused.size()) + " you changed " +
                     (refused.size() == 1 ? "breaks its rule" : "break their rule") + "; nothing was sent:";
  for (const FieldBreach& b : refused)
    text += "\r\n" + breachLine(*b.entry, valueInWords(*b.entry, elementValueJson(document, b.element)), b.breach.text());
  appendUtf8(text);
  return true;
}

bool MainWindowLogic::trackerRead() {
  bool read = false;
  {
    std::lock_guard<std::mutex> hold(settings_.lock);
    read = settings_.codec.hasImage();
  }
  if (!read) appendLog(kReadFirstText);
  return read;
}

void MainWindowLogic::onSaveSettings() { (void)saveSettings(); }

bool MainWindowLogic::saveSettings() {
  if (!trackerRead()) return false;
  const std::optional<SaveTarget> target = view_.chooseSaveFile();
  if (!target) return false;
  SettingsDocument document;
  {
    std::lock_guard<std::mutex> hold(settings_.lock);
    SettingsModel edited = settings_.model;
    exchangePages(edited, PAGE_SAVE);
    document = documentFromTracker(settings_.codec, edited);
  }
  if (const SettingsStatus saved = saveSettingsFile(target->path, document, target->format); !saved) {
    appendUtf8(saved.error().message);
    return false;
  }
  appendUtf8("Settings saved to " + target->path);
  return true;
}

void MainWindowLogic::onSaveLog() {
  const std::optional<std::string> path = view_.chooseLogFile();
  if (!path) return;
  if (const SettingsStatus saved = writeFileAtomically(*path, utf8FromUtf16(logText_), 0644); !saved)
    return appendUtf8(saved.error().message);
  appendLog(filled(view_.translated(kLogSavedText), utf16FromUtf8(*path)));
}

void MainWindowLogic::onCopyLog() { view_.copyText(logText_); }

void MainWindowLogic::onRestoreEarlier() {
  if (!trackerRead()) return;
  if (history_ == nullptr) return appendLog(kNoHistoryText);
  RestoreEarlier restore(view_, *this, settings_, *history_);
  const std::vector<HistoryEntry> kept = restore.choices();
  if (kept.empty()) return appendLog(kNothingKeptText);
  std::vector<std::u16string> lines;
  for (const HistoryEntry& entry : kept) lines.push_back(utf16FromUtf8(earlierSettingsLine(entry)));
  if (const std::optional<std::size_t> chosen = view_.chooseEarlierSettings(lines); chosen && *chosen < kept.size())
    restore.restore(kept[*chosen]);
}

void MainWindowLogic::onOpenSettings() {
  if (!trackerRead()) return;
  if (!discardAsked(kOpenDiscardsOne, kOpenDiscardsMany)) return;
  const std::optional<std::string> path = view_.chooseOpenFile();
  if (!path) return;
  const SettingsResult<SettingsDocument> file = loadSettingsFile(*path);
  if (!file) return appendUtf8(file.error().message);
  SettingsModel opened;
  {
    std::lock_guard<std::mutex> hold(settings_.lock);
    const SettingsResult<SettingsModel> shown = laidOverRead(settings_.codec, *file);
    if (!shown) return appendUtf8(shown.error().message);
    settings_.model = *shown;
    exchangePages(settings_.model, PAGE_LOAD);
    opened = settings_.model;
  }
  markLoaded(opened);
  openedFile_ = *path;
  appendUtf8("Settings opened from " + *path + ": Write Settings sends them to the tracker");
}

void MainWindowLogic::onCompareWithTracker() {
  if (!trackerRead()) return;
  std::vector<FieldChange> changes;
  {
    std::lock_guard<std::mutex> hold(settings_.lock);
    SettingsModel edited = settings_.model;
    exchangePages(edited, PAGE_SAVE);
    changes = pendingChanges(settings_.codec, edited);
  }
  view_.showComparison(comparisonOf(changes));
}

void MainWindowLogic::onPageCommand(int pageIndex, int controlId) {
  if (pageIndex < 0 || pageIndex >= PageTable::size()) return;
  pageTable_[pageIndex].page->onCommand(view_.pageControls(pageIndex), controlId);
  refreshMarks();
}

void MainWindowLogic::onPageEdited(int pageIndex) {
  // Every page is judged again: one save of them all is what a write sends, and it is cheap.
  if (pageIndex >= 0 && pageIndex < PageTable::size()) refreshMarks();
}

void MainWindowLogic::markLoaded(const SettingsModel& shown) {
  marks_.loaded(shown);
  refreshMarks();
}

void MainWindowLogic::refreshMarks() {
  if (!marks_.hasLoaded()) return;
  const SettingsModel edited = marks_.edited(view_, pageTable_);
  marks_.show(view_, pageTable_, marks_.breaches(pageTable_, edited));
  const std::vector<std::size_t> changes = changedElements(edited);
  marks_.showChanged(view_, pageTable_, changes);
  view_.showChangeCount(changes.empty() ? std::u16string() : counted(changes.size(), kOneChange, kManyChanges));
}

void MainWindowLogic::onTimerTick() {
  const StatusImage previous = lastStatusImage_;
  if (engine_ != nullptr) engine_->runHandshake();
  const bool online = engine_ != nullptr && engine_->trackerOnline();
  const StatusImage current = online ? StatusImage::Online : StatusImage::Offline;
  lastStatusImage_ = current;
  if (current != previous) {
    view_.showStatusImage(current);  // a change shows at once; the blink does not advance
    return;
  }
  const std::uint32_t count = statusBlinkCounter_++;
  view_.showStatusImage(count % 2 == 0 ? StatusImage::None : current);
}

// --- The link engine ---------------------------------------------------------

void MainWindowLogic::trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) {
  switch (kind) {
    case TrackerEvent::Log:
      appendLog(text);
      return;
    case TrackerEvent::SelectPort:
      // Neither stored nor opened; and only the port still open: a port the
      // user chose meanwhile stays selected.
      if (engine_ == nullptr || engine_->currentPort() == value) selectPortEntry(value);
      return;
    case TrackerEvent::Buttons:
      applyButtons(value);
      return;
    case TrackerEvent::Progress:
      if (progressFull_) return;  // the waits between commands do not take back "done"
      view_.setProgress(value < kProgressLow ? kProgressLow : value > kProgressHigh ? kProgressHigh : value);
      return;
    default:
      return;
  }
}

void MainWindowLogic::applyButtons(std::int32_t state) {
  const auto apply = [this](ButtonChange change, void (MainView::*enable)(bool)) {
    switch (change) {
      case ButtonChange::Unchanged:
        return;
      case ButtonChange::Enable:
        (view_.*enable)(true);
        return;
      case ButtonChange::Disable:
        (view_.*enable)(false);
        return;
      case ButtonChange::EnableIfSettingsWritable:
        // Not after a refused read: nothing of it may be written.
        if (engine_ != nullptr && engine_->settingsWritable()) (view_.*enable)(true);
        return;
    }
  };
  for (const ButtonsRow& row : kButtonsTable) {
    if (row.state != state) continue;
    apply(row.write, &MainView::enableWriteButton);
    apply(row.read, &MainView::enableReadButton);
    return;
  }
}

void MainWindowLogic::settingsReady() {
  settingsLoaded_ = true;
  writtenModel_.reset();
  openedFile_.clear();
  view_.enableWriteButton(true);
  loadSavePages(PAGE_LOAD);
  markLoaded([this] {
    std::lock_guard<std::mutex> hold(settings_.lock);
    return settings_.model;
  }());

  FixedText<32> romVersion;
  FixedText<32> imei;
  std::uint32_t magic = 0;
  {
    std::lock_guard<std::mutex> hold(settings_.lock);
    romVersion = settings_.model.RomVersion;
    imei = settings_.model.Imei;
    magic = settings_.model.MagicNumber;
  }
  view_.setIdentityText(IdentityField::RomVersion, romVersion.view());
  view_.setIdentityText(IdentityField::Imei, imei.view());
  view_.setIdentityText(IdentityField::MagicNumber, FormattedText("%x", magic).view());
}

void MainWindowLogic::requestFinished(std::int32_t type, RequestOutcome outcome) {
  if (outcome == RequestOutcome::Done) {
    progressFull_ = true;
    view_.setProgress(kProgressHigh);
  }
  if (type == ReadSettings && verifying_) return finishVerify(outcome);
  if (type != WriteSettings) return;
  settleKept(outcome == RequestOutcome::Done, false);
  if (outcome == RequestOutcome::Done) writtenModel_ = inFlight_;
  refreshMarks();  // what was written is no longer a change
  if (outcome == RequestOutcome::Done && !written_.empty()) {
    verifying_ = true;
    startRead();
  } else {
    written_.clear();
  }
}

bool MainWindowLogic::keptBeforeWrite() {
  kept_.reset();
  if (history_ == nullptr) return true;
  SettingsResult<HistoryEntry> kept = [this] {
    std::lock_guard<std::mutex> hold(settings_.lock);
    SettingsModel edited = settings_.model;
    exchangePages(edited, PAGE_SAVE);
    return keepBeforeWindowWrite(*history_, settings_.codec, edited, comPortName(view_.selectedPort()));
  }();
  if (!kept) {
    appendUtf8("Write Settings refused: " + kept.error().message + "; nothing was sent");
    return false;
  }
  kept_ = std::move(*kept);
  return true;
}

void MainWindowLogic::settleKept(bool written, bool verified) {
  if (kept_ && history_ != nullptr) (void)history_->settle(*kept_, written, verified);
}

void MainWindowLogic::finishVerify(RequestOutcome outcome) {
  verifying_ = false;
  if (outcome != RequestOutcome::Done) return appendUtf8("Verify failed: the settings could not be read back");
  const SettingsResult<std::vector<FieldChange>> differ = [this] {
    std::lock_guard<std::mutex> hold(settings_.lock);
    return verifyWrite(written_, settings_.codec.readImage());
  }();
  written_.clear();
  if (!differ) return appendUtf8("Verify failed: " + differ.error().message);
  settleKept(true, differ->empty());
  if (differ->empty()) return appendUtf8("Verified: " + fieldCount(writtenChanges_) + " changed as intended");
  std::string text = "Verify failed: " + fieldCount(differ->size()) + (differ->size() == 1 ? " differs" : " differ") +
                     " from what was written (written -> read back):";
  for (const FieldChange& change : *differ) text += "\r\n" + describeChange(change);
  appendUtf8(text);
}

void MainWindowLogic::appendUtf8(std::string_view text) { appendLog(utf16FromUtf8(text)); }

// --- Operations of the window ------------------------------------------------

void MainWindowLogic::loadSavePages(ExchangeDirection direction) {
  std::lock_guard<std::mutex> hold(settings_.lock);
  exchangePages(settings_.model, direction);
}

void MainWindowLogic::exchangePages(SettingsModel& model, ExchangeDirection direction) {
  for (int i = 0; i < PageTable::size(); ++i) pageTable_[i].page->exchange(view_.pageControls(i), model, direction);
}

void MainWindowLogic::showPage(int index) {
  for (int i = 0; i < PageTable::size(); ++i) view_.setPageVisible(i, i == index);
}

void MainWindowLogic::savePortIndex(int index) { store_.writePortIndex(FormattedText("%d", index).view()); }

void MainWindowLogic::appendLog(std::u16string_view text) {
  const std::u16string shown = inWindowLanguage(text);
  if (logClock_ == nullptr) return appendEntry(shown);
  const TimeOfDay time = logClock_->localTime();
  appendEntry(std::u16string(FormattedText("%02d:%02d:%02d ", time.hour, time.minute, time.second).view()) + shown);
}

std::u16string MainWindowLogic::inWindowLanguage(std::u16string_view text) const {
  if (std::u16string whole = view_.translated(text); whole != text) return whole;
  // A line with numbers is translated as its pattern ("Scan port %1 ..."), the numbers put back.
  std::u16string pattern;
  std::vector<std::u16string_view> numbers;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t end = i;
    while (end < text.size() && text[end] >= u'0' && text[end] <= u'9') ++end;
    if (end == i) {
      pattern += text[i++];
      continue;
    }
    numbers.push_back(text.substr(i, end - i));
    pattern += u'%';
    pattern += static_cast<char16_t>(u'0' + numbers.size());
    i = end;
  }
  if (numbers.empty() || numbers.size() > 9) return std::u16string(text);
  std::u16string shown = view_.translated(pattern);
  if (shown == pattern) return std::u16string(text);
  for (std::size_t n = numbers.size(); n > 0; --n) {
    const std::u16string mark = {u'%', static_cast<char16_t>(u'0' + n)};
    for (std::size_t at = shown.find(mark); at != std::u16string::npos; at = shown.find(mark, at + numbers[n - 1].size()))
      shown.replace(at, 2, numbers[n - 1]);
  }
  return shown;
}

void MainWindowLogic::appendEntry(std::u16string_view text) {
  // Only an entry longer than the whole bound is cut, to the bound.
  const std::u16string_view entry = text.substr(0, LogBound::kMaxUnits - kLogSeparator.size());
  if (const std::size_t drop = logBound_.add(entry.size() + kLogSeparator.size()); drop != 0) {
    view_.dropLogFront(drop);
    logText_.erase(0, drop);
  }
  view_.appendLog(entry);
  view_.appendLog(kLogSeparator);
  logText_ += entry;
  logText_ += kLogSeparator;
}

int MainWindowLogic::restorePortIndex() {
  const std::optional<std::u16string> text = store_.readPortIndex();
  if (!text) return 0;
  const std::u16string_view digits = std::u16string_view(*text).substr(0, text->find(u'\0'));
  const std::int32_t index = TextToInt(digits);
  return index == -1 ? 0 : index;  // no range check: 150 or -5 select nothing
}

void MainWindowLogic::selectPortEntry(int index) {
  view_.selectPort(index >= 0 && index < kPortEntryCount ? index : kNoSelection);
}

}  // namespace pelmora
