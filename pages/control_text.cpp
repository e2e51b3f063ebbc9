#include "pages/control_text.h"

namespace pelmora {

std::u16string_view ControlText::read(const PageControls& controls, int id) {
  if (!controls.hasControl(id)) return {};
  index_ = (index_ + 1) % kSlotCount;
  std::u16string& slot = slots_[static_cast<std::size_t>(index_)];
  controls.readText(id, slot);
  return slot;
}

}  // namespace pelmora
