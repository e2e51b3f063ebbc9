#pragma once
// The one conversion between UTF-8 (files, messages, the command line) and
// UTF-16 (the tracker's texts, the window). Malformed input is neither
// refused nor passed through: each ill-formed part becomes U+FFFD, one for
// each maximal part that could have begun a character, as Unicode
// recommends ("\xE2\x82" is one U+FFFD, "\xC0\xAF" two).

#include <string>
#include <string_view>

namespace pelmora {

// A stray continuation byte, a cut sequence, an overlong form, an encoded
// surrogate or a value past U+10FFFF becomes U+FFFD.
std::u16string utf16FromUtf8(std::string_view text);

// A lone surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view units);

// Whether the conversion would keep every character (nothing becomes U+FFFD).
bool isWellFormedUtf8(std::string_view text);
bool isWellFormedUtf16(std::u16string_view units);

}  // namespace pelmora
