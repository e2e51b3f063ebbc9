#include "app/win32/dialog_font.h"

#include <string>

#include "app/win32/win32_text.h"

namespace pelmora {
namespace {

constexpr int kTemplateDpi = 96;
constexpr int kPointsPerInch = 72;

}  // namespace

int windowDpi(HWND window) {
  // GetDpiForWindow exists from Windows 10 1607 on: looked up, so that the
  // program still starts on older systems.
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (dpiForWindow != nullptr && window != nullptr) {
    const UINT dpi = dpiForWindow(window);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  const HDC screen = ::GetDC(nullptr);
  const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : kTemplateDpi;
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kTemplateDpi;
}

DialogFont::DialogFont(std::u16string_view face, int points, int dpi) : dpi_(dpi > 0 ? dpi : kTemplateDpi) {
  LOGFONTW description{};
  description.lfHeight = -::MulDiv(points, dpi_, kPointsPerInch);
  description.lfWeight = FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = CLEARTYPE_QUALITY;
  const std::wstring name = wide(face.substr(0, LF_FACESIZE - 1));
  name.copy(description.lfFaceName, name.size());
  font_ = ::CreateFontIndirectW(&description);

  const HDC dc = ::GetDC(nullptr);
  const HGDIOBJ previous = ::SelectObject(dc, font_);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  SIZE letters{};
  constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  ::GetTextExtentPoint32W(dc, kLetters, 52, &letters);
  ::SelectObject(dc, previous);
  ::ReleaseDC(nullptr, dc);
  baseX_ = letters.cx > 0 ? (letters.cx / 26 + 1) / 2 : 1;
  baseY_ = metrics.tmHeight > 0 ? metrics.tmHeight : 1;
}

DialogFont::~DialogFont() {
  if (font_ != nullptr) ::DeleteObject(font_);
}

int DialogFont::x(int units) const { return ::MulDiv(units, baseX_, 4); }
int DialogFont::y(int units) const { return ::MulDiv(units, baseY_, 8); }

RECT DialogFont::rect(const DialogRect& units) const {
  const int left = x(units.x), top = y(units.y);
  return {left, top, left + x(units.width), top + y(units.height)};
}

int DialogFont::scaled(int pixels) const { return ::MulDiv(pixels, dpi_, kTemplateDpi); }

}  // namespace pelmora
