#include "app/formatted_text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace pelmora {

FormattedText::FormattedText(const char* format, ...) {
  std::array<char, kCapacity + 1> bytes{};
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(bytes.data(), bytes.size(), format, args);
  va_end(args);
  if (written <= 0) return;
  size_ = std::min(static_cast<std::size_t>(written), kCapacity);
  std::transform(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size_), units_.begin(),
                 [](char c) { return static_cast<char16_t>(static_cast<unsigned char>(c)); });
}

}  // namespace pelmora
