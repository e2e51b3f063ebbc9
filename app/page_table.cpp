#include "app/page_table.h"

#include <algorithm>

#include "app/main_window_template.h"

namespace pelmora {
namespace {

struct PageRow {
  std::u16string_view title;
  int tabIcon;
};

constexpr std::array<PageRow, PageTable::kRowCount> kRows{{
    {u"Sms Track", IDI_SMS_TRACK_TAB},
    {u"Key Binding", IDI_KEY_BINDING_TAB},
    {u"APN", IDI_APN_TAB},
    {u"AGPS", IDI_AGPS_TAB},
    {u"Transport", IDI_TRANSPORT_TAB},
    {u"Misc", IDI_MISC_TAB},
}};

}  // namespace

std::u16string_view PageEntry::titleText() const {
  const auto end = std::find(title.begin(), title.end() - 1, u'\0');
  return {title.data(), static_cast<std::size_t>(end - title.begin())};
}

PageTable::PageTable(SettingsPage& smsTrack, SettingsPage& keyBinding, SettingsPage& apn, SettingsPage& agps,
                     SettingsPage& transport, SettingsPage& misc) {
  const std::array<SettingsPage*, kRowCount> pages{&smsTrack, &keyBinding, &apn, &agps, &transport, &misc};
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    PageEntry& entry = rows_[i];
    const std::size_t n = std::min(kRows[i].title.size(), entry.title.size() - 1);
    std::copy_n(kRows[i].title.begin(), n, entry.title.begin());
    entry.tabIcon = kRows[i].tabIcon;
    entry.page = pages[i];
  }
}

}  // namespace pelmora
