#pragma once
// Page controls without a window, made from a page's template, for tests
// and benchmarks. They behave like the real ones where the pages can tell:
// exactly the template's ids exist; setText shows a text whole, while
// type() refuses, character by character, what the real edit refuses
// (beyond its limit, non-digits in a digits-only edit, anything in a hidden
// control); a chooser selection outside its items clears the selection;
// check boxes hold 0 or 1 and click() toggles them. Marks are recorded.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pages/dialog_template.h"
#include "pages/page_controls.h"

namespace pelmora {

class FakePageControls final : public PageControls {
 public:
  // Typing limit of an edit that was never limited.
  static constexpr int kDefaultEditLimit = 32767;
  // An IP-address field: four numbers of up to three digits and their points.
  static constexpr int kIpAddressChars = 15;

  explicit FakePageControls(const DialogTemplate& dialog);

  std::u16string text(int id) const override;
  void setText(int id, std::u16string_view text) override;
  void limitText(int id, int maxChars) override;
  void addString(int id, std::u16string_view item) override;
  void selectItem(int id, int index) override;
  int selectedItem(int id) const override;
  void setCheck(int id, int state) override;
  int checkState(int id) const override;
  void markField(int id, FieldMark mark, std::u16string_view why) override;
  void markChanged(int id, bool changed) override {
    if (Control* control = find(id)) control->changed = changed;
  }

  // The user types `text` at the end of the control's text. Returns how
  // many characters the control took. Into a chooser's editable field: the
  // item whose text is typed becomes selected, any other text clears the
  // selection.
  std::size_t type(int id, std::u16string_view text);
  // The user clicks; a check box toggles itself. The caller then passes the
  // click to the page's onCommand, as the window does.
  void click(int id);

  // For checks.
  std::size_t itemCount(int id) const;
  std::u16string itemText(int id, std::size_t index) const;
  // The control's mark and its tooltip's words (None and "" when unmarked).
  FieldMark mark(int id) const;
  std::u16string markWhy(int id) const;
  // The ids of the marked controls, in template order.
  std::vector<int> markedIds() const;
  // The ids of the controls marked changed, in template order.
  std::vector<int> changedIds() const {
    std::vector<int> ids;
    for (const Control& control : controls_)
      if (control.changed) ids.push_back(control.id);
    return ids;
  }

 private:
  struct Control {
    int id = kNoId;
    ItemKind kind = ItemKind::StaticText;
    std::uint32_t style = StyleNone;
    std::u16string text;
    int limit = 0;
    std::vector<std::u16string> items;
    int selected = -1;
    int check = 0;
    FieldMark mark = FieldMark::None;
    std::u16string markWhy;
    bool changed = false;
  };

  bool accepts(const Control& control, char16_t unit) const;
  Control* find(int id);
  const Control* find(int id) const;

  std::vector<Control> controls_;
};

}  // namespace pelmora
