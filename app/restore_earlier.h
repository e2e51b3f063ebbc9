#pragma once
// The window's side of the kept before-images (settings/history_archive.h):
// the image of the last read kept before the window's write, and "Restore
// Earlier Settings…": the images kept for the tracker just read, the chosen
// one laid over the pages after a confirmation that lists the fields it
// changes back, then written and verified as any Write Settings is (which
// keeps what the tracker holds now first). No Qt: the front lists the
// choices and calls restore() with the one the user picked.

#include <string>
#include <vector>

#include "app/main_view.h"
#include "settings/history_archive.h"
#include "settings/shared_settings.h"

namespace pelmora {

class MainWindowLogic;

// Keeps the image of the last read (codec) before the window writes
// `edited` over it on `port`. CannotWrite as HistoryArchive::keep.
SettingsResult<HistoryEntry> keepBeforeWindowWrite(const HistoryArchive& history, const SettingsCodec& codec,
                                                   const SettingsModel& edited, const std::string& port);

// One kept image as the user chooses it: "2026-12-07T17:20:05.123Z  cli on
// COM5: 2 fields changed, verified".
std::string earlierSettingsLine(const HistoryEntry& entry);

class RestoreEarlier {
 public:
  RestoreEarlier(MainView& view, MainWindowLogic& logic, SharedSettings& settings, const HistoryArchive& history);

  // The images kept for the tracker read last, newest first; none before a read.
  std::vector<HistoryEntry> choices() const;
  // Asks (MainView::confirm), listing each field that changes back:
  //   "Restore the settings kept at 2026-12-07T17:20:05.123Z (before a write by cli on COM5)?\n\n
  //    These fields change back:\nApnName (APN, APN): \"new.apn\" -> \"old.apn\"\n\nWrite them to the tracker?"
  // On Yes shows them on the pages and writes them (Write Settings). Says in
  // the log, sending nothing, why not: no read yet, an image that cannot be
  // used, another tracker's image, nothing to change back.
  void restore(const HistoryEntry& chosen);

 private:
  void say(const std::string& line);

  MainView& view_;
  MainWindowLogic& logic_;
  SharedSettings& settings_;
  const HistoryArchive& history_;
};

}  // namespace pelmora
