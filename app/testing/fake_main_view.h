#pragma once
// A main view without a window, for tests: it keeps what it was told to
// show, the way the real widgets would (a chooser index with no entry
// clears the selection; the log pane is one text), and records the status
// images in order.

#include <array>
#include <cstddef>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/main_view.h"
#include "app/page_table.h"
#include "pages/settings_page.h"
#include "pages/testing/fake_page_controls.h"

namespace pelmora::testing {

class FakeMainView final : public MainView {
 public:
  // The pages' controls, made from their templates; call before initialise.
  void buildPages(const PageTable& table) {
    pages.clear();
    for (const PageEntry& row : table.rows()) pages.emplace_back(row.page->dialogTemplate());
  }

  void enableReadButton(bool enabled) override { readEnabled = enabled; }
  void enableWriteButton(bool enabled) override { writeEnabled = enabled; }

  void appendLog(std::u16string_view text) override { log.append(text); }
  void dropLogFront(std::size_t units) override { log.erase(0, units); }

  void setProgressRange(int low, int high) override {
    progressLow = low;
    progressHigh = high;
  }
  void setProgress(int position) override { progress = position; }

  void showStatusImage(StatusImage image) override { statusImages.push_back(image); }

  void addPortEntry(std::u16string_view name) override { portEntries.emplace_back(name); }
  void selectPort(int index) override {
    selectedPortIndex = index >= 0 && static_cast<std::size_t>(index) < portEntries.size() ? index : -1;
  }
  int selectedPort() const override { return selectedPortIndex; }

  void setIdentityText(IdentityField field, std::u16string_view text) override {
    identity[static_cast<std::size_t>(field)] = text;
  }

  void setPageVisible(int index, bool visible) override { pageVisible.at(static_cast<std::size_t>(index)) = visible; }
  PageControls& pageControls(int index) override { return page(index); }
  bool confirm(std::u16string_view question) override {
    questions.emplace_back(question);
    return confirmAnswer;
  }

  Answer ask(std::u16string_view question) override {
    questions.emplace_back(question);
    return askAnswer;
  }
  void showChangeCount(std::u16string_view text) override { changeCount = text; }
  void copyText(std::u16string_view text) override { copied = text; }
  std::optional<std::string> chooseLogFile() override {
    ++fileDialogs;
    return logPath;
  }
  void showAbout() override { ++aboutBoxes; }
  void closeWindow() override { ++closeRequests; }

  std::optional<SaveTarget> chooseSaveFile() override {
    ++fileDialogs;
    return saveTarget;
  }
  std::optional<std::string> chooseOpenFile() override {
    ++fileDialogs;
    return openPath;
  }
  void showComparison(const Comparison& comparison) override { shownComparison = comparison; }
  std::optional<std::size_t> chooseEarlierSettings(std::span<const std::u16string> lines) override {
    earlierChoices.assign(lines.begin(), lines.end());
    return earlierChosen;
  }
  void openStation() override { ++stationWindows; }
  std::u16string translated(std::u16string_view english) const override {
    for (const auto& [from, to] : translations)
      if (from == english) return to;
    return std::u16string(english);
  }

  FakePageControls& page(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= pages.size()) std::abort();  // buildPages first
    return pages[static_cast<std::size_t>(index)];
  }
  const std::u16string& identityText(IdentityField field) const { return identity[static_cast<std::size_t>(field)]; }
  int visiblePageCount() const {
    int n = 0;
    for (const bool visible : pageVisible) n += visible ? 1 : 0;
    return n;
  }

  // A new window's buttons are enabled until the logic says otherwise.
  bool readEnabled = true;
  bool writeEnabled = true;
  std::u16string log;
  int progressLow = 0;
  int progressHigh = 100;
  int progress = 0;
  std::vector<StatusImage> statusImages;
  std::vector<std::u16string> portEntries;
  int selectedPortIndex = -1;
  std::array<std::u16string, 3> identity;
  std::array<bool, PageTable::kRowCount> pageVisible{};
  std::vector<FakePageControls> pages;
  std::vector<std::u16string> questions;  // asked through confirm() and ask(), in order
  bool confirmAnswer = false;
  Answer askAnswer = Answer::Cancel;
  std::u16string changeCount;  // beside Write Settings
  std::u16string copied;       // the clipboard
  std::optional<std::string> logPath;
  std::vector<std::pair<std::u16string, std::u16string>> translations;  // English, shown
  int aboutBoxes = 0;
  int closeRequests = 0;
  // The file dialogs' answers (nothing: cancelled), how often one was shown,
  // and the last comparison shown.
  std::optional<SaveTarget> saveTarget;
  std::optional<std::string> openPath;
  int fileDialogs = 0;
  std::optional<Comparison> shownComparison;
  std::vector<std::u16string> earlierChoices;  // the lines of the last "Restore Earlier Settings"
  std::optional<std::size_t> earlierChosen;    // what the user picks there
  int stationWindows = 0;
};

}  // namespace pelmora::testing
