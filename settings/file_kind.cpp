#include "settings/file_kind.h"

#include <cstddef>
#include <string_view>

#include "settings/utf.h"

namespace pelmora {
namespace {

// JSON's blanks; a UTF-8 byte order mark may come before them.
std::size_t firstNonBlank(std::span<const std::uint8_t> bytes) {
  std::size_t at = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
  while (at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '\t' || bytes[at] == '\n' || bytes[at] == '\r')) ++at;
  return at;
}

bool isTextControl(std::uint32_t c) { return c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

bool holdsJsonObject(std::span<const std::uint8_t> bytes) {
  const std::size_t at = firstNonBlank(bytes);
  return at < bytes.size() && bytes[at] == '{' && (at + 1 == bytes.size() || bytes[at + 1] != 0);
}

bool isText(std::span<const std::uint8_t> bytes) {
  std::size_t ascii = 0;
  bool lineBreak = false;
  for (const std::uint8_t b : bytes) {
    if ((b < 0x20 && !isTextControl(b)) || b == 0x7F) return false;
    ascii += b < 0x7F;
    lineBreak = lineBreak || b == '\n' || b == '\r';
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return !bytes.empty() && (lineBreak || 2 * ascii > bytes.size() || isWellFormedUtf8(text));
}

bool isUtf16Text(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes.size() % 2 != 0) return false;
  const auto unit = [&](std::size_t i) -> std::uint32_t { return bytes[2 * i] | bytes[2 * i + 1] << 8; };
  const std::size_t units = bytes.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint32_t u = unit(i);
    if ((u < 0x20 && !isTextControl(u)) || (u >= 0x7F && u <= 0x9F) || u >= 0xFFFE || (u >= 0xDC00 && u <= 0xDFFF))
      return false;
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 == units || unit(i + 1) < 0xDC00 || unit(i + 1) > 0xDFFF) return false;
      ++i;
    }
  }
  return true;
}

}  // namespace pelmora
