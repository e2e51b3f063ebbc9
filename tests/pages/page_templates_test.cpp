#include <gtest/gtest.h>

#include <span>
#include <string>

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
    EXPECT_EQ(page.dialog.id, page.id);
    EXPECT_EQ(page.dialog.width, page.width);
    EXPECT_EQ(page.dialog.height, page.height);
    EXPECT_TRUE(page.dialog.caption.empty());
    EXPECT_TRUE(page.dialog.fontFace == u"Microsoft Sans Serif");
    EXPECT_EQ(page.dialog.fontPointSize, 10);
    ASSERT_EQ(page.dialog.items.size(), page.items.size());
    for (std::size_t i = 0; i < page.items.size(); ++i) {
      const TemplateItem& item = page.dialog.items[i];
      const ExpectedItem& expected = page.items[i];
      SCOPED_TRACE(::testing::Message() << "item " << i << " " << Printable(expected.text) << " id " << expected.id);
      EXPECT_EQ(item.id, expected.id);
      EXPECT_EQ(item.kind, expected.kind);
      EXPECT_EQ(item.style & kCheckedStyles, expected.style);
      EXPECT_EQ(Printable(item.text), Printable(expected.text));
      EXPECT_EQ(item.rect.x, expected.rect.x);
      EXPECT_EQ(item.rect.y, expected.rect.y);
      EXPECT_EQ(item.rect.width, expected.rect.width);
      EXPECT_EQ(item.rect.height, expected.rect.height);
      EXPECT_EQ(item.image, expected.image);
    }
  }
}

}  // namespace
}  // namespace pelmora::test
