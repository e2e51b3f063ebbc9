#pragma once
// What a file's bytes are, told from the bytes, never from their number:
// a settings file of an image's size may be JSON or text all the same.

#include <cstdint>
#include <span>

namespace pelmora {

// A JSON object: the first byte after blanks (and a UTF-8 byte order mark)
// is '{'. A Basic image may start with '{' too (its first field is a text),
// but its UTF-16 puts a zero byte after it, which JSON never holds.
bool holdsJsonObject(std::span<const std::uint8_t> bytes);

// Text in UTF-8 or a one-byte code page: no control byte but line breaks,
// tabs and form feeds, and readable as UTF-8, or broken into lines, or
// mostly ASCII. An image never is: its numbers and the high bytes of its
// ASCII texts are zero bytes, its other texts' high bytes mostly controls
// (Cyrillic is 04xx); flash never written (all FF) has no line break and no
// ASCII.
bool isText(std::span<const std::uint8_t> bytes);

// Text in UTF-16LE: printable units and line breaks, surrogates in pairs,
// and not one zero unit. An image holds zero units: every number below
// 65536 and every text shorter than its field has them.
bool isUtf16Text(std::span<const std::uint8_t> bytes);

}  // namespace pelmora
