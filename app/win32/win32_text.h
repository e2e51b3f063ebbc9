#pragma once
// Text between the core and Win32. Both speak UTF-16: the core in char16_t,
// Windows in wchar_t, the same code units; only the type differs.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace pelmora {

inline std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string fromWide(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

// A window's whole text (an edit's contents, a button's caption).
inline std::u16string windowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return fromWide(text);
}

inline void setWindowText(HWND window, std::u16string_view text) { ::SetWindowTextW(window, wide(text).c_str()); }

}  // namespace pelmora
