#include "link/formatted_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "settings/utf.h"

namespace pelmora {

std::optional<std::string_view> vformatInto(std::span<char> buffer, const char* format, std::va_list args) {
  if (buffer.empty()) return std::nullopt;
  const int written = std::vsnprintf(buffer.data(), buffer.size(), format, args);
  if (written < 0) return std::nullopt;
  return std::string_view(buffer.data(), std::min(static_cast<std::size_t>(written), buffer.size() - 1));
}

FormattedText::FormattedText(const char* format, ...) {
  std::array<char, kCapacity + 1> bytes{};
  va_list args;
  va_start(args, format);
  const std::optional<std::string_view> text = vformatInto(bytes, format, args);
  va_end(args);
  if (text) text_ = utf16FromUtf8(*text);
}

}  // namespace pelmora
