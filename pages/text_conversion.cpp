#include "pages/text_conversion.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>
#include <system_error>

namespace pelmora {
namespace {

// The single-byte code page as far as numbers care: ASCII stays, the rest
// is '?'.
constexpr char ToCodePage(char16_t unit) {
  return unit < 0x80 ? static_cast<char>(unit) : '?';
}

constexpr bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipBlanks(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(ToCodePage(text[i]))) ++i;
  return i;
}

// For a number that from_chars found out of range: true when it is too
// large, false when too small. Such a number lies hundreds of decades from
// 1, so the decade of its first significant digit decides.
bool IsOverflow(std::string_view number) {
  std::size_t i = 0;
  long decade = 0;
  bool significant = false;
  for (; i < number.size() && IsDigit(number[i]); ++i) {
    significant = significant || number[i] != '0';
    if (significant) ++decade;
  }
  if (i < number.size() && number[i] == '.') {
    for (++i; i < number.size() && IsDigit(number[i]); ++i) {
      if (significant) continue;
      if (number[i] != '0') significant = true;
      else --decade;
    }
  }
  long exponent = 0;
  if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
    ++i;
    const bool negative = i < number.size() && number[i] == '-';
    if (i < number.size() && (number[i] == '-' || number[i] == '+')) ++i;
    for (; i < number.size() && IsDigit(number[i]); ++i)
      exponent = std::min(exponent * 10 + (number[i] - '0'), 100'000'000L);
    if (negative) exponent = -exponent;
  }
  return decade + exponent > 0;
}

// One optional sign at `i`, stepped over; true for a minus.
bool TakeSign(std::u16string_view text, std::size_t& i) {
  if (i >= text.size()) return false;
  const char sign = ToCodePage(text[i]);
  if (sign != '+' && sign != '-') return false;
  ++i;
  return sign == '-';
}

// The decimal digits from `i` on, as one number capped at `cap`.
std::uint64_t TakeMagnitude(std::u16string_view text, std::size_t i, std::uint64_t cap) {
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char c = ToCodePage(text[i]);
    if (!IsDigit(c)) break;
    magnitude = std::min(magnitude * 10 + static_cast<std::uint64_t>(c - '0'), cap);
  }
  return magnitude;
}

}  // namespace

std::int32_t TextToInt(std::u16string_view text) {
  // Magnitude of the smallest value; every larger magnitude saturates here.
  constexpr std::uint64_t kLimit = std::uint64_t{1} << 31;
  std::size_t i = SkipBlanks(text);
  const bool negative = TakeSign(text, i);
  const std::uint64_t magnitude = TakeMagnitude(text, i, kLimit);
  if (negative)
    return magnitude >= kLimit ? std::numeric_limits<std::int32_t>::min()
                               : -static_cast<std::int32_t>(magnitude);
  return magnitude >= kLimit ? std::numeric_limits<std::int32_t>::max()
                             : static_cast<std::int32_t>(magnitude);
}

std::uint32_t TextToUnsigned(std::u16string_view text) {
  constexpr std::uint64_t kLimit = std::numeric_limits<std::uint32_t>::max();
  std::size_t i = SkipBlanks(text);
  const bool negative = TakeSign(text, i);
  const std::uint64_t magnitude = TakeMagnitude(text, i, kLimit + 1);
  if (magnitude > kLimit) return static_cast<std::uint32_t>(kLimit);
  const auto value = static_cast<std::uint32_t>(magnitude);
  return negative ? static_cast<std::uint32_t>(0u - value) : value;
}

double TextToFloat(std::u16string_view text) {
  std::size_t i = SkipBlanks(text);
  const bool negative = TakeSign(text, i);
  // Narrow what can belong to the number; from_chars finds where it ends.
  // Short texts stay in the string's own buffer.
  std::string number;
  for (; i < text.size(); ++i) {
    const char c = ToCodePage(text[i]);
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!IsDigit(c) && !letter && c != '.' && c != '+' && c != '-') break;
    number.push_back(c);
  }
  if (number.empty() || number[0] == '+' || number[0] == '-') return 0.0;  // a second sign

  double value = 0.0;
  const auto [end, error] =
      std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::general);
  if (error == std::errc::invalid_argument) return 0.0;
  if (error == std::errc::result_out_of_range)
    value = IsOverflow(std::string_view(number.data(), static_cast<std::size_t>(end - number.data())))
                ? std::numeric_limits<double>::infinity()
                : 0.0;
  return negative ? -value : value;
}

IntText::IntText(std::int32_t value) { format(value); }
IntText::IntText(std::uint32_t value) { format(value); }

template <typename Number>
void IntText::format(Number value) {
  std::array<char, 12> narrow{};
  const auto result = std::to_chars(narrow.data(), narrow.data() + narrow.size(), value);
  size_ = static_cast<std::size_t>(result.ptr - narrow.data());
  std::copy_n(narrow.begin(), size_, units_.begin());
}

}  // namespace pelmora
