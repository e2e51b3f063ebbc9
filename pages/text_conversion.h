#pragma once
// Numbers to and from the texts of controls. Parsing goes through the
// single-byte code page: ASCII stays, every other unit becomes '?', so only
// ASCII blanks, signs and digits ever count.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pelmora {

// Like strtol base 10: leading white space, one optional sign, digits up to
// the first other character. No digits give 0; a value beyond the 32-bit
// range gives 2147483647 or -2147483648. Any length of text.
std::int32_t TextToInt(std::u16string_view text);

// Like strtoul with a 32-bit result: leading white space, one optional
// sign (a minus negates modulo 2^32), digits up to the first other
// character; beyond the range gives 4294967295.
std::uint32_t TextToUnsigned(std::u16string_view text);

// Like atof: leading white space, optional sign, digits with an optional
// point and exponent (also "inf" and "nan"); nothing parsable gives 0, a
// value beyond the range of double gives +-HUGE_VAL. Any length of text.
double TextToFloat(std::u16string_view text);

// "%d" (or "%u") of a 32-bit value, in a buffer of its own.
class IntText {
 public:
  explicit IntText(std::int32_t value);
  explicit IntText(std::uint32_t value);
  std::u16string_view view() const { return {units_.data(), size_}; }

 private:
  template <typename Number>
  void format(Number value);

  std::array<char16_t, 12> units_{};  // "-2147483648" is the longest
  std::size_t size_ = 0;
};

}  // namespace pelmora
