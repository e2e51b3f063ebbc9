#pragma once
// The six settings pages in tab order, each on windowless controls made
// from its template and initialised as the window initialises it: what
// "Read Settings" loads after a decode and "Write Settings" saves before
// an encode.

#include <array>
#include <memory>
#include <string>

#include "pages/exchange_direction.h"
#include "pages/settings_page.h"
#include "pages/testing/fake_page_controls.h"
#include "settings/settings_model.h"

namespace pelmora::bench {

class PageSet {
 public:
  static constexpr std::size_t kPageCount = 6;

  PageSet();
  // Every page, in tab order.
  void exchangeAll(SettingsModel& model, ExchangeDirection direction);
  // What page `index` (tab order) shows in control `id`, for sanity checks.
  std::u16string text(std::size_t index, int id) const { return pages_[index].controls->text(id); }

 private:
  struct Page {
    std::unique_ptr<SettingsPage> page;
    std::unique_ptr<FakePageControls> controls;
  };
  std::array<Page, kPageCount> pages_;
};

}  // namespace pelmora::bench
