#include "app/win32/tab_icons.h"

#include <array>
#include <cmath>
#include <numbers>

#include "app/main_window_template.h"

namespace pelmora {
namespace {

constexpr COLORREF kInk = RGB(0x1b, 0x3f, 0x6b);
constexpr COLORREF kBlue = RGB(0x2a, 0x6f, 0xc4);
constexpr COLORREF kPaleBlue = RGB(0xe3, 0xee, 0xfb);
constexpr COLORREF kSteel = RGB(0x5c, 0x66, 0x70);
constexpr COLORREF kAlarmRed = RGB(0xc9, 0x2a, 0x2a);
constexpr COLORREF kTransparent = RGB(0xff, 0x00, 0xff);  // the image list's mask colour

// A pen and a brush selected for one drawing step, put back when it ends.
class Ink {
 public:
  Ink(HDC dc, COLORREF line, int width, COLORREF fill, bool filled = true)
      : dc_(dc),
        pen_(::CreatePen(PS_SOLID, width, line)),
        brush_(filled ? ::CreateSolidBrush(fill) : static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH))),
        ownsBrush_(filled),
        oldPen_(::SelectObject(dc, pen_)),
        oldBrush_(::SelectObject(dc, brush_)) {}
  ~Ink() {
    ::SelectObject(dc_, oldPen_);
    ::SelectObject(dc_, oldBrush_);
    ::DeleteObject(pen_);
    if (ownsBrush_) ::DeleteObject(brush_);
  }
  Ink(const Ink&) = delete;
  Ink& operator=(const Ink&) = delete;

 private:
  HDC dc_;
  HPEN pen_;
  HBRUSH brush_;
  bool ownsBrush_;
  HGDIOBJ oldPen_;
  HGDIOBJ oldBrush_;
};

void label(HDC dc, RECT box, const wchar_t* text, int height, COLORREF colour) {
  LOGFONTW description{};
  description.lfHeight = -height;
  description.lfWeight = FW_BOLD;
  lstrcpynW(description.lfFaceName, L"Arial", LF_FACESIZE);
  const HFONT font = ::CreateFontIndirectW(&description);
  const HGDIOBJ old = ::SelectObject(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, colour);
  ::DrawTextW(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, old);
  ::DeleteObject(font);
}

// Each drawing in a 32 x 32 square; the world transform scales it.
void drawSms(HDC dc) {
  {
    Ink ink(dc, kBlue, 2, kPaleBlue);
    const POINT tail[] = {{7, 21}, {6, 29}, {14, 22}};
    ::Polygon(dc, tail, 3);
    ::RoundRect(dc, 2, 4, 30, 23, 10, 10);
  }
  label(dc, RECT{2, 4, 30, 23}, L"SMS", 9, kInk);
}

void drawKeypad(HDC dc) {
  const std::array<RECT, 4> keys{RECT{2, 2, 15, 15}, RECT{17, 2, 30, 15}, RECT{2, 17, 15, 30}, RECT{17, 17, 30, 30}};
  const std::array<const wchar_t*, 4> labels{L"1", L"2", L"3", L"!"};
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const bool sos = i == 3;
    {
      Ink ink(dc, sos ? RGB(0x8a, 0x16, 0x16) : kSteel, 1, sos ? kAlarmRed : RGB(0xe4, 0xe8, 0xec));
      ::RoundRect(dc, keys[i].left, keys[i].top, keys[i].right, keys[i].bottom, 6, 6);
    }
    label(dc, keys[i], labels[i], 10, sos ? RGB(255, 255, 255) : kInk);
  }
}

void drawAntenna(HDC dc) {
  {
    Ink ink(dc, kBlue, 2, 0, false);
    for (const int r : {6, 10}) {
      ::Arc(dc, 16 - r, 9 - r, 16 + r, 9 + r, 16 - r, 9 + r / 2, 16 - r, 9 - r / 2);  // left
      ::Arc(dc, 16 - r, 9 - r, 16 + r, 9 + r, 16 + r, 9 - r / 2, 16 + r, 9 + r / 2);  // right
    }
  }
  {
    Ink ink(dc, kSteel, 2, 0, false);
    const POINT mast[] = {{10, 30}, {16, 11}, {22, 30}};
    ::Polyline(dc, mast, 3);
    const POINT braces[] = {{13, 20}, {19, 20}, {12, 25}, {20, 25}};
    ::Polyline(dc, braces, 4);
  }
  Ink ink(dc, kAlarmRed, 1, kAlarmRed);
  ::Ellipse(dc, 13, 6, 19, 12);
}

void drawSatellite(HDC dc) {
  {
    Ink ink(dc, RGB(0x2e, 0x7d, 0x3c), 1, RGB(0x4c, 0xa8, 0x5a));
    ::Ellipse(dc, -10, 27, 42, 77);
  }
  {
    Ink ink(dc, kBlue, 1, 0, false);
    ::Arc(dc, 10, 9, 22, 21, 12, 21, 20, 21);
    ::Arc(dc, 7, 6, 25, 24, 9, 24, 23, 24);
  }
  {
    Ink ink(dc, kInk, 1, RGB(0x2f, 0x6d, 0xb8));
    ::Rectangle(dc, 1, 5, 11, 13);
    ::Rectangle(dc, 21, 5, 31, 13);
  }
  Ink ink(dc, RGB(0x8a, 0x64, 0x10), 1, RGB(0xe8, 0xb8, 0x40));
  ::RoundRect(dc, 12, 5, 20, 14, 3, 3);
}

void drawNetwork(HDC dc) {
  const std::array<POINT, 3> nodes{POINT{16, 7}, POINT{7, 25}, POINT{25, 25}};
  {
    Ink ink(dc, kSteel, 2, 0, false);
    const POINT ring[] = {nodes[0], nodes[1], nodes[2], nodes[0]};
    ::Polyline(dc, ring, 4);
  }
  for (const POINT& node : nodes) {
    Ink ink(dc, RGB(255, 255, 255), 1, kBlue);
    ::Ellipse(dc, node.x - 5, node.y - 5, node.x + 6, node.y + 6);
  }
  Ink ink(dc, RGB(0xf0, 0x9a, 0x1e), 1, RGB(0xf0, 0x9a, 0x1e));
  const POINT arrow[] = {{20, 25}, {15, 22}, {15, 28}};
  ::Polygon(dc, arrow, 3);
}

void drawGear(HDC dc) {
  constexpr int kTeeth = 8;
  constexpr double kOuter = 14.5;
  constexpr double kInner = 10.5;
  std::array<POINT, kTeeth * 4> outline{};
  for (int i = 0; i < kTeeth * 4; ++i) {
    const double angle = (i / 4 * 2 * std::numbers::pi / kTeeth) + (i % 4) * (2 * std::numbers::pi / kTeeth / 4) -
                         std::numbers::pi / kTeeth / 4;
    const double radius = (i % 4 == 1 || i % 4 == 2) ? kOuter : kInner;
    outline[static_cast<std::size_t>(i)] = {static_cast<LONG>(std::lround(16 + radius * std::cos(angle))),
                                            static_cast<LONG>(std::lround(16 + radius * std::sin(angle)))};
  }
  {
    Ink ink(dc, RGB(0x3a, 0x42, 0x4b), 1, RGB(0x8c, 0x96, 0xa2));
    ::Polygon(dc, outline.data(), static_cast<int>(outline.size()));
  }
  Ink ink(dc, RGB(0x3a, 0x42, 0x4b), 1, kTransparent);
  ::Ellipse(dc, 11, 11, 21, 21);
}

struct TabIcon {
  int id;
  void (*draw)(HDC);
};

constexpr std::array kTabIcons{
    TabIcon{IDI_SMS_TRACK_TAB, drawSms},    TabIcon{IDI_KEY_BINDING_TAB, drawKeypad},
    TabIcon{IDI_APN_TAB, drawAntenna},      TabIcon{IDI_AGPS_TAB, drawSatellite},
    TabIcon{IDI_TRANSPORT_TAB, drawNetwork}, TabIcon{IDI_MISC_TAB, drawGear},
};

HBITMAP drawIcon(int id, int size) {
  const HDC screen = ::GetDC(nullptr);
  const HDC dc = ::CreateCompatibleDC(screen);
  const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size, size);
  const HGDIOBJ previous = ::SelectObject(dc, bitmap);
  const RECT all{0, 0, size, size};
  const HBRUSH background = ::CreateSolidBrush(kTransparent);
  ::FillRect(dc, &all, background);
  ::DeleteObject(background);
  ::SetGraphicsMode(dc, GM_ADVANCED);
  const float scale = static_cast<float>(size) / 32.0f;
  const XFORM toSize{scale, 0, 0, scale, 0, 0};
  ::SetWorldTransform(dc, &toSize);
  for (const TabIcon& icon : kTabIcons)
    if (icon.id == id) icon.draw(dc);
  ::SelectObject(dc, previous);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return bitmap;
}

}  // namespace

HIMAGELIST tabIcons(std::span<const int> iconIds, int size) {
  const HIMAGELIST list =
      ::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, static_cast<int>(iconIds.size()), 0);
  if (list == nullptr) return nullptr;
  for (const int id : iconIds) {
    const HBITMAP picture = drawIcon(id, size);
    ::ImageList_AddMasked(list, picture, kTransparent);
    ::DeleteObject(picture);
  }
  return list;
}

}  // namespace pelmora
