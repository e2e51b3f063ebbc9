#pragma once
// The six tab pages in tab order: title, the tab's icon and the page
// object, which the main window owns. Each window has its own table.

#include <array>
#include <span>
#include <string_view>

namespace pelmora {

class SettingsPage;

inline constexpr std::size_t kPageTitleUnits = 100;  // terminator included

struct PageEntry {
  std::array<char16_t, kPageTitleUnits> title{};
  int tabIcon = 0;
  SettingsPage* page = nullptr;  // not owned

  std::u16string_view titleText() const;
};

class PageTable {
 public:
  static constexpr int kRowCount = 6;

  // The pages in tab order.
  PageTable(SettingsPage& smsTrack, SettingsPage& keyBinding, SettingsPage& apn, SettingsPage& agps,
            SettingsPage& transport, SettingsPage& misc);

  std::span<const PageEntry, kRowCount> rows() const { return rows_; }
  const PageEntry& operator[](int index) const { return rows_[static_cast<std::size_t>(index)]; }
  static constexpr int size() { return kRowCount; }

 private:
  std::array<PageEntry, kRowCount> rows_;
};

}  // namespace pelmora
