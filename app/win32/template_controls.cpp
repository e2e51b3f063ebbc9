#include "app/win32/template_controls.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "app/win32/artwork.h"
#include "app/win32/ui_language.h"
#include "app/win32/win32_text.h"

namespace pelmora {
namespace {

constexpr int kStaticId = 0xFFFF;

bool has(const TemplateItem& item, std::uint32_t style) { return (item.style & style) != 0; }

struct KindClass {
  ItemKind kind;
  const wchar_t* className;
  DWORD style;
};

constexpr std::array kKindClasses{
    KindClass{ItemKind::StaticText, WC_STATICW, SS_LEFT},
    KindClass{ItemKind::GroupBox, WC_BUTTONW, BS_GROUPBOX},
    KindClass{ItemKind::Edit, WC_EDITW, WS_TABSTOP},
    KindClass{ItemKind::IpAddress, WC_IPADDRESSW, WS_TABSTOP},
    KindClass{ItemKind::CheckBox, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP},
    KindClass{ItemKind::ComboBox, WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP},
    KindClass{ItemKind::Bitmap, WC_STATICW, SS_BITMAP},
    KindClass{ItemKind::PushButton, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP},
    KindClass{ItemKind::ProgressBar, PROGRESS_CLASSW, WS_BORDER},
    // The pages are the tab control's children: Tab walks into them.
    KindClass{ItemKind::TabControl, WC_TABCONTROLW, WS_TABSTOP | WS_CLIPCHILDREN},
    KindClass{ItemKind::Icon, WC_STATICW, SS_ICON},
};

// Style bits of the template that mean the same for every kind that has them.
struct StyleBit {
  ItemKind kind;
  std::uint32_t templateStyle;
  DWORD style;
};

constexpr std::array kStyleBits{
    StyleBit{ItemKind::StaticText, StyleAlignRight, SS_RIGHT},
    StyleBit{ItemKind::StaticText, StyleAlignCenter, SS_CENTER},
    StyleBit{ItemKind::Edit, StyleAlignRight, ES_RIGHT},
    StyleBit{ItemKind::Edit, StyleAlignCenter, ES_CENTER},
    StyleBit{ItemKind::Edit, StyleDigitsOnly, ES_NUMBER},
    StyleBit{ItemKind::Edit, StyleReadOnly, ES_READONLY},
    StyleBit{ItemKind::Edit, StyleMultiline, ES_MULTILINE},
    StyleBit{ItemKind::Edit, StyleAutoHScroll, ES_AUTOHSCROLL},
    StyleBit{ItemKind::Edit, StyleAutoVScroll, ES_AUTOVSCROLL},
    StyleBit{ItemKind::Edit, StyleVScrollBar, WS_VSCROLL},
    StyleBit{ItemKind::Edit, StyleWantReturn, ES_WANTRETURN},
    StyleBit{ItemKind::CheckBox, StyleWordWrap, BS_MULTILINE},
    StyleBit{ItemKind::Bitmap, StyleImageCentred, SS_CENTERIMAGE},
    StyleBit{ItemKind::PushButton, StyleDefaultButton, BS_DEFPUSHBUTTON},
};

bool fitsText(const TemplateItem& item) {
  return !item.text.empty() &&
         (item.kind == ItemKind::StaticText || (item.kind == ItemKind::CheckBox && !has(item, StyleWordWrap)));
}

// The width the item's text needs in `font`, box and gap included for a check box.
int neededWidth(const TemplateItem& item, HWND window, const DialogFont& font) {
  const std::wstring text = wide(uiText(item.text));
  const HDC dc = ::GetDC(window);
  const HGDIOBJ previous = ::SelectObject(dc, font.handle());
  RECT extent{0, 0, 0, 0};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_SINGLELINE);
  ::SelectObject(dc, previous);
  ::ReleaseDC(window, dc);
  int width = extent.right - extent.left;
  if (item.kind == ItemKind::CheckBox) width += font.scaled(::GetSystemMetrics(SM_CXMENUCHECK) + 6);
  return width;
}

RECT placement(const TemplateItem& item, HWND window, const DialogFont& font) {
  RECT rect = font.rect(item.rect);
  if (item.kind == ItemKind::Icon) {
    const int size = font.scaled(32);
    rect.right = rect.left + size;
    rect.bottom = rect.top + size;
  }
  if (!fitsText(item)) return rect;
  const int needed = neededWidth(item, window, font);
  const int grow = needed - (rect.right - rect.left);
  if (grow <= 0) return rect;
  if (has(item, StyleAlignRight)) {
    rect.left -= grow;
  } else if (has(item, StyleAlignCenter)) {
    rect.left -= grow / 2;
    rect.right += grow - grow / 2;
  } else {
    rect.right += grow;
  }
  return rect;
}

void showPicture(const TemplateItem& item, HWND window) {
  if (item.kind == ItemKind::Icon) {
    ::SendMessageW(window, STM_SETICON, reinterpret_cast<WPARAM>(applicationIcon(32)), 0);
    return;
  }
  RECT client{};
  ::GetClientRect(window, &client);
  const SIZE own = artworkSize(item.image);
  // A centred picture fills its box; any other keeps its own size.
  const int width = has(item, StyleImageCentred) ? client.right : own.cx;
  const int height = has(item, StyleImageCentred) ? client.bottom : own.cy;
  if (HBITMAP bitmap = artworkBitmap(item.image, width, height)) {
    const auto old = reinterpret_cast<HBITMAP>(
        ::SendMessageW(window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (old != nullptr) ::DeleteObject(old);
  }
}

// One tooltip window for a parent's disabled inputs: a disabled control
// takes no mouse messages, so each tip is a rectangle of the parent.
void addNotStoredTip(HWND& tooltip, HWND parent, HWND control, std::size_t index) {
  if (tooltip == nullptr) {
    tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    if (tooltip == nullptr) return;
  }
  static std::wstring tip = wide(uiText(kNotStoredTip));
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = parent;
  tool.uId = index;
  ::GetWindowRect(control, &tool.rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&tool.rect), 2);
  tool.lpszText = tip.data();
  ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

int windowIdOf(const TemplateItem& item) { return item.id == kNoId ? kStaticId : item.id; }

ControlClass controlClassOf(const TemplateItem& item) {
  ControlClass result{WC_STATICW, WS_CHILD, 0};
  for (const KindClass& row : kKindClasses) {
    if (row.kind != item.kind) continue;
    result.className = row.className;
    result.style |= row.style;
  }
  for (const StyleBit& bit : kStyleBits)
    if (bit.kind == item.kind && has(item, bit.templateStyle)) result.style |= bit.style;
  if (!has(item, StyleHidden)) result.style |= WS_VISIBLE;
  if (has(item, StyleNotStored)) result.style |= WS_DISABLED;
  // A bordered edit has the sunken edge of the system's dialogs.
  if (item.kind == ItemKind::Edit && has(item, StyleBorder)) result.extendedStyle |= WS_EX_CLIENTEDGE;
  if (item.kind == ItemKind::TabControl) result.extendedStyle |= WS_EX_CONTROLPARENT;
  return result;
}

std::vector<Win32Control> buildControls(const DialogTemplate& dialog, HWND parent, const DialogFont& font,
                                        const ControlCreated& created) {
  std::vector<Win32Control> built;
  built.reserve(dialog.items.size());
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  HWND tooltip = nullptr;
  for (const TemplateItem& item : dialog.items) {
    const ControlClass kind = controlClassOf(item);
    const bool textual = item.kind != ItemKind::IpAddress && item.kind != ItemKind::ComboBox;
    const std::wstring text = textual ? wide(uiText(item.text)) : std::wstring();
    const RECT rect = font.rect(item.rect);
    const HWND window = ::CreateWindowExW(
        kind.extendedStyle, kind.className, text.c_str(), kind.style, rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(windowIdOf(item))), instance, nullptr);
    if (window == nullptr) continue;
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font.handle()), FALSE);
    const RECT placed = placement(item, window, font);
    ::MoveWindow(window, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top, FALSE);
    if (item.kind == ItemKind::Bitmap || item.kind == ItemKind::Icon) showPicture(item, window);
    // A multi-line pane holds more than the 32 K characters Windows allows by default.
    if (item.kind == ItemKind::Edit && has(item, StyleMultiline)) ::SendMessageW(window, EM_SETLIMITTEXT, 0, 0);
    if (has(item, StyleNotStored)) addNotStoredTip(tooltip, parent, window, built.size());
    built.push_back({&item, window});
    if (created) created(built.back());
  }
  return built;
}

}  // namespace pelmora
