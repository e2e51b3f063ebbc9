#pragma once
// A short printf-formatted text for the screen, as UTF-16, in a buffer of
// its own. Formats and arguments are ASCII; a longer result is cut.

#include <array>
#include <cstddef>
#include <string_view>

namespace pelmora {

class FormattedText {
 public:
  static constexpr std::size_t kCapacity = 160;  // code units

  explicit FormattedText(const char* format, ...) __attribute__((format(printf, 2, 3)));

  std::u16string_view view() const { return {units_.data(), size_}; }

 private:
  std::array<char16_t, kCapacity> units_{};
  std::size_t size_ = 0;
};

}  // namespace pelmora
