#include "bench/page_set.h"

#include "pages/agps_page.h"
#include "pages/apn_page.h"
#include "pages/key_binding_page.h"
#include "pages/misc_page.h"
#include "pages/sms_track_page.h"
#include "pages/transport_page.h"

namespace pelmora::bench {

PageSet::PageSet() {
  std::array<std::unique_ptr<SettingsPage>, kPageCount> pages = {
      std::make_unique<SmsTrackPage>(), std::make_unique<KeyBindingPage>(), std::make_unique<ApnPage>(),
      std::make_unique<AgpsPage>(),     std::make_unique<TransportPage>(),  std::make_unique<MiscPage>(),
  };
  for (std::size_t i = 0; i < kPageCount; ++i) {
    pages_[i].controls = std::make_unique<FakePageControls>(pages[i]->dialogTemplate());
    pages[i]->initialise(*pages_[i].controls);
    pages_[i].page = std::move(pages[i]);
  }
}

void PageSet::exchangeAll(SettingsModel& model, ExchangeDirection direction) {
  for (Page& p : pages_) p.page->exchange(*p.controls, model, direction);
}

}  // namespace pelmora::bench
