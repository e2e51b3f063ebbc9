#pragma once
// Shared by the page tests: a page on fake controls after its
// initialisation, readable texts in failure messages, and a field-by-field
// comparison of two models.

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>

#include "pages/exchange_direction.h"
#include "pages/testing/fake_page_controls.h"
#include "settings/settings_layout.h"
#include "settings/settings_model.h"

namespace pelmora {

template <std::size_t N>
void PrintTo(const FixedText<N>& text, std::ostream* os) {
  *os << ::testing::PrintToString(std::u16string(text.view()));
}

namespace test {

// A page whose window was just created: controls from its template,
// initialised, and a model of its own.
template <class Page>
class PageTest : public ::testing::Test {
 protected:
  PageTest() { page.initialise(controls); }

  void load() { page.exchange(controls, model, PAGE_LOAD); }
  void save() { page.exchange(controls, model, PAGE_SAVE); }
  // What the user does to an edit: select all, delete, type.
  std::size_t retype(int id, std::u16string_view text) {
    controls.setText(id, u"");
    return controls.type(id, text);
  }

  Page page;
  FakePageControls controls{page.dialogTemplate()};
  SettingsModel model;
};

// Index of the chooser item showing `text`, -1 when there is none.
inline int ItemIndex(const FakePageControls& controls, int id, std::u16string_view text) {
  for (std::size_t i = 0; i < controls.itemCount(id); ++i)
    if (controls.itemText(id, i) == text) return static_cast<int>(i);
  return -1;
}

// Every field of the model, identity included, each named when it differs
// (floats by their bits, texts by all their units).
inline void ExpectSameModel(const SettingsModel& actual, const SettingsModel& expected) {
  for (const FieldRow& row : settingsFields())
    for (std::size_t element = 0; element < row.count; ++element)
      EXPECT_TRUE(sameFieldElement(row, element, actual, expected)) << row.name << " element " << element;
}

}  // namespace test
}  // namespace pelmora
