#include "pages/testing/fake_page_controls.h"

#include <algorithm>
#include <utility>

namespace pelmora {

FakePageControls::FakePageControls(const DialogTemplate& dialog) {
  for (const TemplateItem& item : dialog.items) {
    if (item.id == kNoId) continue;
    Control control;
    control.id = item.id;
    control.kind = item.kind;
    control.style = item.style;
    control.text = std::u16string(item.text);
    if (item.kind == ItemKind::Edit || item.kind == ItemKind::ComboBox) control.limit = kDefaultEditLimit;
    if (item.kind == ItemKind::IpAddress) control.limit = kIpAddressChars;
    controls_.push_back(std::move(control));
  }
}

FakePageControls::Control* FakePageControls::find(int id) {
  const auto it = std::find_if(controls_.begin(), controls_.end(), [id](const Control& c) { return c.id == id; });
  return it == controls_.end() ? nullptr : &*it;
}

const FakePageControls::Control* FakePageControls::find(int id) const {
  const auto it = std::find_if(controls_.begin(), controls_.end(), [id](const Control& c) { return c.id == id; });
  return it == controls_.end() ? nullptr : &*it;
}

std::u16string FakePageControls::text(int id) const {
  const Control* control = find(id);
  return control == nullptr ? std::u16string() : control->text;
}

void FakePageControls::setText(int id, std::u16string_view text) {
  if (Control* control = find(id)) control->text.assign(text);
}

void FakePageControls::limitText(int id, int maxChars) {
  Control* control = find(id);
  if (control != nullptr && (control->kind == ItemKind::Edit || control->kind == ItemKind::ComboBox))
    control->limit = maxChars;
}

void FakePageControls::addString(int id, std::u16string_view item) {
  Control* control = find(id);
  if (control != nullptr && control->kind == ItemKind::ComboBox) control->items.emplace_back(item);
}

void FakePageControls::selectItem(int id, int index) {
  Control* control = find(id);
  if (control == nullptr || control->kind != ItemKind::ComboBox) return;
  if (index >= 0 && static_cast<std::size_t>(index) < control->items.size()) {
    control->selected = index;
    control->text = control->items[static_cast<std::size_t>(index)];
  } else {
    control->selected = -1;
    control->text.clear();
  }
}

int FakePageControls::selectedItem(int id) const {
  const Control* control = find(id);
  return control == nullptr ? -1 : control->selected;
}

void FakePageControls::setCheck(int id, int state) {
  Control* control = find(id);
  if (control != nullptr && control->kind == ItemKind::CheckBox) control->check = state != 0 ? 1 : 0;
}

int FakePageControls::checkState(int id) const {
  const Control* control = find(id);
  return control == nullptr ? 0 : control->check;
}

bool FakePageControls::accepts(const Control& control, char16_t unit) const {
  if (static_cast<int>(control.text.size()) >= control.limit) return false;
  const bool digit = unit >= u'0' && unit <= u'9';
  if ((control.style & StyleDigitsOnly) != 0) return digit;
  if (control.kind == ItemKind::IpAddress) return digit || unit == u'.';
  return true;
}

std::size_t FakePageControls::type(int id, std::u16string_view text) {
  Control* control = find(id);
  if (control == nullptr || (control->style & StyleHidden) != 0) return 0;
  const bool typable = control->kind == ItemKind::Edit || control->kind == ItemKind::IpAddress ||
                       control->kind == ItemKind::ComboBox;
  if (!typable) return 0;
  std::size_t taken = 0;
  for (const char16_t unit : text) {
    if (!accepts(*control, unit)) continue;
    control->text.push_back(unit);
    ++taken;
  }
  if (control->kind == ItemKind::ComboBox) {
    const auto match = std::find(control->items.begin(), control->items.end(), control->text);
    control->selected = match == control->items.end() ? -1 : static_cast<int>(match - control->items.begin());
  }
  return taken;
}

void FakePageControls::click(int id) {
  Control* control = find(id);
  if (control != nullptr && control->kind == ItemKind::CheckBox && (control->style & StyleHidden) == 0)
    control->check = 1 - control->check;
}

void FakePageControls::markField(int id, FieldMark mark, std::u16string_view why) {
  if (Control* control = find(id)) {
    control->mark = mark;
    control->markWhy.assign(mark == FieldMark::None ? std::u16string_view() : why);
  }
}

FieldMark FakePageControls::mark(int id) const {
  const Control* control = find(id);
  return control == nullptr ? FieldMark::None : control->mark;
}

std::u16string FakePageControls::markWhy(int id) const {
  const Control* control = find(id);
  return control == nullptr ? std::u16string() : control->markWhy;
}

std::vector<int> FakePageControls::markedIds() const {
  std::vector<int> ids;
  for (const Control& control : controls_)
    if (control.mark != FieldMark::None) ids.push_back(control.id);
  return ids;
}

std::size_t FakePageControls::itemCount(int id) const {
  const Control* control = find(id);
  return control == nullptr ? 0 : control->items.size();
}

std::u16string FakePageControls::itemText(int id, std::size_t index) const {
  const Control* control = find(id);
  if (control == nullptr || index >= control->items.size()) return {};
  return control->items[index];
}

}  // namespace pelmora
