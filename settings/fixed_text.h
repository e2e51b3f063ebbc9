#pragma once
// A UTF-16 text of at most N code units, the shape every text field of the
// tracker's settings image has. The storage always keeps a terminator after
// the N units, so a full-width text is still a terminated string and nothing
// can make it hold more than N units.

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace pelmora {

template <std::size_t N>
class FixedText {
 public:
  static constexpr std::size_t capacity = N;

  constexpr FixedText() = default;
  constexpr FixedText(std::u16string_view text) { assign(text); }  // NOLINT: implicit by design

  // Keeps the units up to the first NUL, at most N of them. Returns false
  // when the text had to be cut to fit.
  constexpr bool assign(std::u16string_view text) {
    const std::size_t nul = text.find(u'\0');
    if (nul != std::u16string_view::npos) text = text.substr(0, nul);
    const bool fits = text.size() <= N;
    const std::size_t n = std::min(text.size(), N);
    std::fill(units_.begin(), units_.end(), u'\0');
    std::copy_n(text.begin(), n, units_.begin());
    return fits;
  }

  constexpr void clear() { units_.fill(u'\0'); }

  constexpr std::u16string_view view() const {
    return std::u16string_view(units_.data(), size());
  }
  constexpr std::size_t size() const {
    return static_cast<std::size_t>(std::find(units_.begin(), units_.end() - 1, u'\0') - units_.begin());
  }
  constexpr bool empty() const { return units_[0] == u'\0'; }
  constexpr const char16_t* c_str() const { return units_.data(); }

  // The N units and the terminator, for the block codec, which fills and
  // reads fields of every width through one loop. The last unit must stay 0.
  constexpr std::span<char16_t, N + 1> storage() { return units_; }

  friend constexpr bool operator==(const FixedText&, const FixedText&) = default;
  friend constexpr bool operator==(const FixedText& a, std::u16string_view b) { return a.view() == b; }

 private:
  std::array<char16_t, N + 1> units_{};
};

}  // namespace pelmora
