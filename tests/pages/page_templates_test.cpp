// What a user notices of the page templates, on the data: ids unique, the
// inputs in reading order (which is the Tab order), and the inputs whose
// kind or typing matters as described. That every control lies inside its
// page the window test measures, in each language.

#include <gtest/gtest.h>

#include <set>

#include "pages/agps_page.h"
#include "pages/apn_page.h"
#include "pages/key_binding_page.h"
#include "pages/misc_page.h"
#include "pages/sms_track_page.h"
#include "pages/transport_page.h"

namespace pelmora::test {
namespace {

bool tabStop(const TemplateItem& item) {
  const bool input = item.kind == ItemKind::Edit || item.kind == ItemKind::IpAddress ||
                     item.kind == ItemKind::CheckBox || item.kind == ItemKind::ComboBox;
  return input && (item.style & (StyleHidden | StyleNotStored | StyleReadOnly)) == 0;
}

// Reading order: by row, and left to right within a row.
bool readsBefore(const DialogRect& a, const DialogRect& b) {
  const bool sameRow = std::min(a.y + a.height, b.y + b.height) > std::max(a.y, b.y);
  return sameRow ? a.x < b.x : a.y < b.y;
}

// An item inside a group box is read with its group.
DialogRect readAt(const DialogTemplate& page, const TemplateItem& item, const TemplateItem& other) {
  for (const TemplateItem& group : page.items) {
    const DialogRect& g = group.rect;
    const auto inside = [&g](const DialogRect& r) {
      return r.x >= g.x && r.y >= g.y && r.x + r.width <= g.x + g.width && r.y + r.height <= g.y + g.height;
    };
    if (group.kind == ItemKind::GroupBox && inside(item.rect) && !inside(other.rect)) return g;
  }
  return item.rect;
}

TEST(PageTemplates, IdsUniqueInputsInReadingOrder) {
  const DialogTemplate* pages[] = {&sms_track::PageTemplate(), &key_binding::PageTemplate(), &apn::PageTemplate(),
                                   &agps::PageTemplate(),      &transport::PageTemplate(),   &misc::PageTemplate(),
                                   &misc::EnglishTemplate()};
  for (const DialogTemplate* page : pages) {
    SCOPED_TRACE(page->id);
    std::set<int> ids;
    const TemplateItem* previous = nullptr;
    for (const TemplateItem& item : page->items) {
      EXPECT_TRUE(item.id == kNoId || ids.insert(item.id).second) << item.id;
      if (!tabStop(item)) continue;
      EXPECT_TRUE(previous == nullptr || !readsBefore(readAt(*page, item, *previous), readAt(*page, *previous, item)))
          << item.id << " is read before " << previous->id;
      previous = &item;
    }
  }
}

TEST(PageTemplates, InputsThatMatterAreAsDescribed) {
  constexpr std::uint32_t kChecked = StyleDigitsOnly | StyleNotStored | StyleHidden;
  struct Row {
    const DialogTemplate& page;
    int id;
    ItemKind kind;
    std::uint32_t style;
  };
  const Row rows[] = {
      {sms_track::PageTemplate(), sms_track::IDC_SMS_PHONE, ItemKind::Edit, StyleNotStored},
      {apn::PageTemplate(), apn::IDC_APN_PORT, ItemKind::Edit, StyleDigitsOnly | StyleNotStored},
      {agps::PageTemplate(), agps::IDC_AGPS_SERVER_IP, ItemKind::IpAddress, StyleNone},
      {transport::PageTemplate(), transport::IDC_TRACKER_ID, ItemKind::Edit, StyleDigitsOnly},
      {transport::PageTemplate(), transport::IDC_HTTP_INTERVAL, ItemKind::Edit, StyleDigitsOnly | StyleHidden},
  };
  for (const Row& row : rows) {
    const TemplateItem* item = row.page.find(row.id);
    ASSERT_NE(item, nullptr) << row.id;
    EXPECT_EQ(item->kind, row.kind) << row.id;
    EXPECT_EQ(item->style & kChecked, row.style) << row.id;
  }
}

}  // namespace
}  // namespace pelmora::test
