#pragma once
// The texts a page reads from its controls, kept in 50 reusable slots so
// that an exchange can hold several texts at once without a string per
// read. Each page owns one.

#include <array>
#include <string>
#include <string_view>

#include "pages/page_controls.h"

namespace pelmora {

class ControlText {
 public:
  static constexpr int kSlotCount = 50;

  // The control's whole text, valid until 50 further reads. An absent
  // control gives an empty text and uses no slot.
  std::u16string_view read(const PageControls& controls, int id);

 private:
  std::array<std::u16string, kSlotCount> slots_;
  int index_ = 0;  // the slot read last; the first read uses slot 1
};

}  // namespace pelmora
