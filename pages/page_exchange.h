#pragma once
// The mirrored conversions the pages are made of. Each helper copies one
// field in the given direction, so that a page's load and save are one list
// of fields and cannot drift apart.
//
// Load shows a model text whole, even beyond the edit's typing limit.
// Save stores the control's text cut to the field's capacity.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "pages/exchange_direction.h"
#include "pages/page_controls.h"
#include "pages/text_conversion.h"
#include "settings/fixed_text.h"

namespace pelmora {

// What an empty password or tracker id is saved as.
inline constexpr std::u16string_view kDefaultPasswordText = u"482915";

// Typing limit of the number edits: the text of every 32-bit value fits.
inline constexpr int kNumberEditLimit = 11;  // "-2147483648"

// Cuts `text` to the field's capacity, never between the two halves of a
// surrogate pair.
template <std::size_t N>
void StoreText(FixedText<N>& field, std::u16string_view text) {
  text = text.substr(0, text.find(u'\0'));
  if (text.size() > N && text[N - 1] >= 0xD800 && text[N - 1] <= 0xDBFF) text = text.substr(0, N - 1);
  field.assign(text);
}

// A text field. On save an empty text stores `whenEmpty` instead.
template <std::size_t N>
void ExchangeText(PageControls& controls, int id, FixedText<N>& field, ExchangeDirection direction,
                  std::u16string_view whenEmpty = {}) {
  if (direction == PAGE_LOAD) {
    controls.setText(id, field.view());
    return;
  }
  const std::u16string text = controls.text(id);
  StoreText(field, text.empty() ? whenEmpty : std::u16string_view(text));
}

// An unsigned field, shown as the unsigned decimal a digits-only edit can
// take back, and stored as TextToUnsigned of the text.
inline void ExchangeNumber(PageControls& controls, int id, std::uint32_t& field, ExchangeDirection direction) {
  if (direction == PAGE_LOAD)
    controls.setText(id, IntText(field).view());
  else
    field = TextToUnsigned(controls.text(id));
}

}  // namespace pelmora
