#include <gtest/gtest.h>

#include <span>
#include <string>
#include <tuple>

#include "expected_templates.h"
#include "pages/agps_page.h"
#include "pages/apn_page.h"
#include "pages/key_binding_page.h"
#include "pages/misc_page.h"
#include "pages/sms_track_page.h"
#include "pages/transport_page.h"

namespace pelmora::test {
namespace {

std::string Printable(std::u16string_view text) { return ::testing::PrintToString(std::u16string(text)); }

struct PageCase {
  const char* title;
  const DialogTemplate& dialog;
  int id;
  int width;
  int height;
  std::span<const ExpectedItem> items;
};

TEST(PageTemplates, EveryItemAsDescribedInTemplateOrder) {
  const PageCase cases[] = {
      {"Sms Track", sms_track::PageTemplate(), 129, 264, 127, kSmsTrackItems},
      {"Key Binding", key_binding::PageTemplate(), 132, 369, 249, kKeyBindingItems},
      {"APN", apn::PageTemplate(), 130, 352, 226, kApnItems},
      {"AGPS", agps::PageTemplate(), 131, 321, 118, kAgpsItems},
      {"Transport", transport::PageTemplate(), 138, 287, 250, kTransportItems},
      {"Misc", misc::PageTemplate(), 155, 560, 393, kMiscItems},
  };
  for (const PageCase& page : cases) {
    SCOPED_TRACE(page.title);
    EXPECT_EQ(std::tuple(page.dialog.id, page.dialog.width, page.dialog.height, page.dialog.fontPointSize),
              std::tuple(page.id, page.width, page.height, 10));
    EXPECT_TRUE(page.dialog.caption.empty());
    EXPECT_TRUE(page.dialog.fontFace == u"Microsoft Sans Serif");
    ASSERT_EQ(page.dialog.items.size(), page.items.size());
    for (std::size_t i = 0; i < page.items.size(); ++i) {
      const TemplateItem& item = page.dialog.items[i];
      const ExpectedItem& expected = page.items[i];
      SCOPED_TRACE(::testing::Message() << "item " << i << " " << Printable(expected.text) << " id " << expected.id);
      EXPECT_EQ(std::tuple(item.id, item.kind, item.style & kCheckedStyles, item.image),
                std::tuple(expected.id, expected.kind, expected.style, expected.image));
      EXPECT_EQ(std::tuple(item.rect.x, item.rect.y, item.rect.width, item.rect.height),
                std::tuple(expected.rect.x, expected.rect.y, expected.rect.width, expected.rect.height));
      EXPECT_EQ(Printable(item.text), Printable(expected.text));
    }
  }
}

}  // namespace
}  // namespace pelmora::test
