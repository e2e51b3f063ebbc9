#include "settings/utf.h"

#include <cstddef>
#include <cstdint>

namespace pelmora {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The well-formed UTF-8 sequences (Unicode, table 3-7): after a lead byte
// in [first, last] come `extra` continuation bytes, the first of them in
// [low, high], the others in [80, BF].
struct LeadBytes {
  std::uint8_t first, last;
  std::size_t extra;
  std::uint8_t low, high;
};
constexpr LeadBytes kLeads[] = {
    {0xC2, 0xDF, 1, 0x80, 0xBF},
    {0xE0, 0xE0, 2, 0xA0, 0xBF},  // no overlong form
    {0xE1, 0xEC, 2, 0x80, 0xBF},
    {0xED, 0xED, 2, 0x80, 0x9F},  // no surrogate
    {0xEE, 0xEF, 2, 0x80, 0xBF},
    {0xF0, 0xF0, 3, 0x90, 0xBF},  // no overlong form
    {0xF1, 0xF3, 3, 0x80, 0xBF},
    {0xF4, 0xF4, 3, 0x80, 0x8F},  // nothing past U+10FFFF
};

struct Decoded {
  char32_t code;       // kReplacement when not `wellFormed`
  std::size_t length;  // bytes taken: a whole character, or the ill-formed part
  bool wellFormed;
};

// The character at `at`. An ill-formed part is the bytes up to the first
// that cannot continue it (at least one byte).
Decoded decodeAt(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[at + k]); };
  const std::uint8_t lead = byte(0);
  if (lead < 0x80) return {lead, 1, true};
  for (const LeadBytes& form : kLeads) {
    if (lead < form.first || lead > form.last) continue;
    char32_t code = lead & (0x3Fu >> form.extra);
    for (std::size_t k = 1; k <= form.extra; ++k) {
      const std::uint8_t low = k == 1 ? form.low : 0x80, high = k == 1 ? form.high : 0xBF;
      if (at + k >= text.size() || byte(k) < low || byte(k) > high) return {kReplacement, k, false};
      code = code << 6 | (byte(k) & 0x3Fu);
    }
    return {code, form.extra + 1, true};
  }
  return {kReplacement, 1, false};
}

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The character at `at` of UTF-16 and the units it takes; a lone surrogate
// is U+FFFD.
Decoded decodeAt(std::u16string_view units, std::size_t at) {
  const char32_t unit = units[at];
  if (isHighSurrogate(unit) && at + 1 < units.size() && isLowSurrogate(units[at + 1]))
    return {0x10000 + ((unit - 0xD800) << 10) + (units[at + 1] - 0xDC00u), 2, true};
  if (isHighSurrogate(unit) || isLowSurrogate(unit)) return {kReplacement, 1, false};
  return {unit, 1, true};
}

void appendUtf16(std::u16string& out, char32_t code) {
  if (code < 0x10000) {
    out.push_back(static_cast<char16_t>(code));
    return;
  }
  out.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
}

void appendUtf8(std::string& out, char32_t code) {
  const auto put = [&](std::uint32_t byte) { out.push_back(static_cast<char>(byte)); };
  if (code < 0x80) {
    put(code);
  } else if (code < 0x800) {
    put(0xC0 | code >> 6);
    put(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    put(0xE0 | code >> 12);
    put(0x80 | (code >> 6 & 0x3F));
    put(0x80 | (code & 0x3F));
  } else {
    put(0xF0 | code >> 18);
    put(0x80 | (code >> 12 & 0x3F));
    put(0x80 | (code >> 6 & 0x3F));
    put(0x80 | (code & 0x3F));
  }
}

template <class View>
bool wellFormed(View text) {
  for (std::size_t at = 0; at < text.size();) {
    const Decoded d = decodeAt(text, at);
    if (!d.wellFormed) return false;
    at += d.length;
  }
  return true;
}

}  // namespace

std::u16string utf16FromUtf8(std::string_view text) {
  std::u16string units;
  units.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Decoded d = decodeAt(text, at);
    appendUtf16(units, d.code);
    at += d.length;
  }
  return units;
}

std::string utf8FromUtf16(std::u16string_view units) {
  std::string text;
  text.reserve(units.size());
  for (std::size_t at = 0; at < units.size();) {
    const Decoded d = decodeAt(units, at);
    appendUtf8(text, d.code);
    at += d.length;
  }
  return text;
}

bool isWellFormedUtf8(std::string_view text) { return wellFormed(text); }
bool isWellFormedUtf16(std::u16string_view units) { return wellFormed(units); }

}  // namespace pelmora
