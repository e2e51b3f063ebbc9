// TextToInt and TextToFloat on arbitrary UTF-16 (the input's bytes taken as
// little-endian units). For texts that fit the 1000-byte conversion buffer,
// both are compared with the C library (strtol, strtod) on the text's
// single-byte projection: ASCII stays, every other unit becomes '?'.

#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "pages/text_conversion.h"

namespace {

constexpr std::size_t kShortText = 999;  // units that fit the buffer with its terminator

std::int32_t referenceInt(const std::string& narrow) {
  const long value = std::strtol(narrow.c_str(), nullptr, 10);
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

// strtod also reads hexadecimal ("0x1p4"); the pages' numbers are decimal only.
bool isHex(const std::string& narrow) {
  std::size_t i = 0;
  while (i < narrow.size() && (narrow[i] == ' ' || (narrow[i] >= '\t' && narrow[i] <= '\r'))) ++i;
  if (i < narrow.size() && (narrow[i] == '+' || narrow[i] == '-')) ++i;
  return i + 1 < narrow.size() && narrow[i] == '0' && (narrow[i + 1] == 'x' || narrow[i + 1] == 'X');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text(size / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));

  const std::int32_t integer = pelmora::TextToInt(text);
  const double real = pelmora::TextToFloat(text);
  if (text.size() > kShortText) return 0;

  std::string narrow(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) narrow[i] = text[i] < 0x80 ? static_cast<char>(text[i]) : '?';

  FUZZ_CHECK(integer == referenceInt(narrow));
  if (!isHex(narrow)) {
    const double expected = std::strtod(narrow.c_str(), nullptr);
    FUZZ_CHECK((std::isnan(real) && std::isnan(expected)) || real == expected);
  }
  return 0;
}
