#pragma once
// What the main window logic changes on screen. The Qt window implements
// it over its widgets and draws exactly what it is told; tests use
// FakeMainView. Every call comes on the window's thread.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/compared_fields.h"
#include "pages/page_controls.h"
#include "settings/settings_file.h"

namespace pelmora {

enum class StatusImage : std::uint8_t {
  None,     // the light shows no image
  Online,   // green, bitmap IDB_ONLINE
  Offline,  // red, bitmap IDB_OFFLINE
};

enum class IdentityField : std::uint8_t { MagicNumber, RomVersion, Imei };

enum class Answer : std::uint8_t { Yes, No, Cancel };

// Where "Save Settings As" writes, and in which form (the file dialog's filter).
struct SaveTarget {
  std::string path;
  SettingsFileFormat format = SettingsFileFormat::Json;
};

class MainView {
 public:
  virtual ~MainView() = default;

  // "Read Settings" and "Write Settings"; "Scan Ports" is always enabled.
  virtual void enableReadButton(bool enabled) = 0;
  virtual void enableWriteButton(bool enabled) = 0;

  // Log pane: adds `text` at the end and scrolls it into view...
  virtual void appendLog(std::u16string_view text) = 0;
  // ...and removes the first `units` code units of the pane's text.
  virtual void dropLogFront(std::size_t units) = 0;

  virtual void setProgressRange(int low, int high) = 0;
  // Always within the range set.
  virtual void setProgress(int position) = 0;

  virtual void showStatusImage(StatusImage image) = 0;

  // Port chooser: adds an entry at the end (the list is unsorted).
  virtual void addPortEntry(std::u16string_view name) = 0;
  // -1, or an index with no entry: no entry is selected.
  virtual void selectPort(int index) = 0;
  // The selected entry, -1 for none.
  virtual int selectedPort() const = 0;

  virtual void setIdentityText(IdentityField field, std::u16string_view text) = 0;

  // Shows or hides page `index` of the tab control, keeping its place.
  virtual void setPageVisible(int index, bool visible) = 0;
  // The controls of page `index` (0..5), created from its template.
  virtual PageControls& pageControls(int index) = 0;

  // A yes/no question whose default answer is No; true for Yes.
  virtual bool confirm(std::u16string_view question) = 0;
  // A question with Yes, No and Cancel, whose default answer is Cancel.
  virtual Answer ask(std::u16string_view question) = 0;

  // Beside Write Settings: how many fields differ from the tracker's
  // ("3 changes", in the window's language); empty when none do.
  virtual void showChangeCount(std::u16string_view text) = 0;
  // The log's whole text to the clipboard.
  virtual void copyText(std::u16string_view text) = 0;
  // "Save Log As": a path, nothing when the user cancels.
  virtual std::optional<std::string> chooseLogFile() = 0;
  virtual void showAbout() = 0;
  // The window's own close: it asks the logic (MainWindowLogic::mayClose) first.
  virtual void closeWindow() = 0;

  // File dialogs; nothing when the user cancels. Paths as the file
  // functions take them (the system's encoding of file names).
  virtual std::optional<SaveTarget> chooseSaveFile() = 0;
  virtual std::optional<std::string> chooseOpenFile() = 0;
  // "Compare with Tracker": a table of the rows (page, label, the tracker's
  // value, the value to write) and, when there are any, one line counting
  // the other fields that differ; "No changes" when nothing differs. Page
  // titles, labels and a choice's or switch's words are shown translated.
  virtual void showComparison(const Comparison& comparison) = 0;
  // "Restore Earlier Settings": the settings kept before each write of the
  // tracker read, one line each, newest first; the index of the line
  // chosen, nothing when the user cancels.
  virtual std::optional<std::size_t> chooseEarlierSettings(std::span<const std::u16string> lines) = 0;
  // "Station…": the provisioning station's own window, beside this one.
  virtual void openStation() = 0;

  // A text of the window (a label, a rule's pattern) in the user's language;
  // as it is where the window shows English.
  virtual std::u16string translated(std::u16string_view english) const { return std::u16string(english); }
};

}  // namespace pelmora
