#include "app/win32/artwork.h"

#include <array>

#include "app/main_window_template.h"

namespace pelmora {
namespace {

constexpr COLORREF kInk = RGB(0x1b, 0x3f, 0x6b);
constexpr COLORREF kSteel = RGB(0x5c, 0x66, 0x70);

void drawSolid(HDC dc, RECT area, COLORREF colour) {
  const HBRUSH brush = ::CreateSolidBrush(colour);
  ::FillRect(dc, &area, brush);
  ::DeleteObject(brush);
}

void drawGreen(HDC dc, RECT area) { drawSolid(dc, area, RGB(0, 255, 0)); }
void drawRed(HDC dc, RECT area) { drawSolid(dc, area, RGB(255, 0, 0)); }

void centredLabel(HDC dc, RECT area, const wchar_t* label, COLORREF colour) {
  LOGFONTW description{};
  description.lfHeight = -(area.bottom - area.top) / 2;
  description.lfWeight = FW_BOLD;
  description.lfQuality = ANTIALIASED_QUALITY;
  lstrcpynW(description.lfFaceName, L"Arial", LF_FACESIZE);
  const HFONT font = ::CreateFontIndirectW(&description);
  const HGDIOBJ previous = ::SelectObject(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, colour);
  ::DrawTextW(dc, label, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, previous);
  ::DeleteObject(font);
}

void drawKey(HDC dc, RECT area, const wchar_t* label) {
  drawSolid(dc, area, ::GetSysColor(COLOR_BTNFACE));
  const HBRUSH face = ::CreateSolidBrush(RGB(0xe4, 0xe8, 0xec));
  const HPEN edge = ::CreatePen(PS_SOLID, 1, kSteel);
  const HGDIOBJ oldBrush = ::SelectObject(dc, face);
  const HGDIOBJ oldPen = ::SelectObject(dc, edge);
  const int round = (area.right - area.left) / 3;
  ::RoundRect(dc, area.left, area.top, area.right, area.bottom, round, round);
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(face);
  ::DeleteObject(edge);
  centredLabel(dc, area, label, kInk);
}

void drawKey1(HDC dc, RECT area) { drawKey(dc, area, L"1"); }
void drawKey2(HDC dc, RECT area) { drawKey(dc, area, L"2"); }
void drawKey3(HDC dc, RECT area) { drawKey(dc, area, L"3"); }
void drawKeySos(HDC dc, RECT area) {
  drawSolid(dc, area, ::GetSysColor(COLOR_BTNFACE));
  const HBRUSH face = ::CreateSolidBrush(RGB(0xc9, 0x2a, 0x2a));
  const HPEN edge = ::CreatePen(PS_SOLID, 1, RGB(0x7a, 0x12, 0x12));
  const HGDIOBJ oldBrush = ::SelectObject(dc, face);
  const HGDIOBJ oldPen = ::SelectObject(dc, edge);
  ::Ellipse(dc, area.left, area.top, area.right, area.bottom);
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(face);
  ::DeleteObject(edge);
  RECT text = area;
  text.top += (area.bottom - area.top) / 5;
  text.bottom -= (area.bottom - area.top) / 5;
  centredLabel(dc, text, L"SOS", RGB(255, 255, 255));
}

struct Artwork {
  int id;
  int width;
  int height;
  void (*draw)(HDC, RECT);
};

// The Key Binding page's pictures (its template names these bitmap ids).
constexpr int kKeyButton1 = 135;
constexpr int kKeyButton2 = 136;
constexpr int kKeyButton3 = 137;
constexpr int kKeyButtonSos = 134;

constexpr std::array kArtwork{
    Artwork{IDB_ONLINE, 48, 48, drawGreen},      Artwork{IDB_OFFLINE, 48, 48, drawRed},
    Artwork{kKeyButton1, 27, 27, drawKey1},      Artwork{kKeyButton2, 27, 27, drawKey2},
    Artwork{kKeyButton3, 27, 27, drawKey3},      Artwork{kKeyButtonSos, 26, 26, drawKeySos},
};

const Artwork* findArtwork(int id) {
  for (const Artwork& artwork : kArtwork)
    if (artwork.id == id) return &artwork;
  return nullptr;
}

}  // namespace

SIZE artworkSize(int resourceId) {
  const Artwork* artwork = findArtwork(resourceId);
  return artwork == nullptr ? SIZE{0, 0} : SIZE{artwork->width, artwork->height};
}

HBITMAP artworkBitmap(int resourceId, int width, int height) {
  const Artwork* artwork = findArtwork(resourceId);
  if (artwork == nullptr || width <= 0 || height <= 0) return nullptr;
  const HDC screen = ::GetDC(nullptr);
  const HDC dc = ::CreateCompatibleDC(screen);
  const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ previous = ::SelectObject(dc, bitmap);
  artwork->draw(dc, RECT{0, 0, width, height});
  ::SelectObject(dc, previous);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return bitmap;
}

HICON applicationIcon(int size) {
  return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size,
                                         size, LR_SHARED));
}

}  // namespace pelmora
