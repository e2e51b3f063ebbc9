#pragma once
// printf-style text: one formatter for the trace, the engine's log lines
// and short texts on the screen. Formats are ASCII; a longer result is cut
// to fit its buffer.

#include <cstdarg>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pelmora {

// Formats into `buffer` without allocating: the text, cut to
// buffer.size() - 1 bytes; nullopt when the format fails or the buffer is
// empty.
std::optional<std::string_view> vformatInto(std::span<char> buffer, const char* format, std::va_list args);

// A short formatted text for the screen, as UTF-16 (arguments in UTF-8).
class FormattedText {
 public:
  static constexpr std::size_t kCapacity = 160;  // bytes of the formatted text, before conversion

  explicit FormattedText(const char* format, ...) __attribute__((format(printf, 2, 3)));

  std::u16string_view view() const { return text_; }

 private:
  std::u16string text_;
};

}  // namespace pelmora
