#include "app/win32/win32_page_controls.h"

#include <commctrl.h>

#include <array>
#include <optional>

#include "app/field_marks.h"
#include "app/win32/ui_language.h"
#include "app/win32/win32_text.h"

namespace pelmora {
namespace {

// "10.0.0.1" as four parts of 0 to 255; nothing for any other text.
std::optional<DWORD> dottedAddress(std::u16string_view text) {
  std::array<unsigned, 4> parts{};
  std::size_t part = 0;
  bool digitSeen = false;
  for (const char16_t c : text) {
    if (c == u'.') {
      if (!digitSeen || ++part == parts.size()) return std::nullopt;
      digitSeen = false;
    } else if (c >= u'0' && c <= u'9') {
      parts[part] = parts[part] * 10 + static_cast<unsigned>(c - u'0');
      if (parts[part] > 255) return std::nullopt;
      digitSeen = true;
    } else {
      return std::nullopt;
    }
  }
  if (part != parts.size() - 1 || !digitSeen) return std::nullopt;
  return MAKEIPADDRESS(parts[0], parts[1], parts[2], parts[3]);
}

std::u16string comboItemText(HWND combo, int index) {
  const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return fromWide(text);
}

}  // namespace

Win32PageControls::Win32PageControls(std::span<const Win32Control> built) {
  for (const Win32Control& control : built)
    if (control.item->id != kNoId)
      controls_.push_back({control.item->id, control.item->kind, control.window, {}, FieldMark::None, {}});
    else if (control.item->kind == ItemKind::StaticText)
      labels_.push_back(control.window);
}

Win32PageControls::~Win32PageControls() {
  if (boldFont_ != nullptr) ::DeleteObject(boldFont_);
}

namespace {
RECT placeIn(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}
}  // namespace

HWND Win32PageControls::labelOf(HWND window) const {
  const RECT own = placeIn(window);
  HWND best = nullptr;
  LONG bestLeft = 0;
  for (HWND label : labels_) {
    const RECT rect = placeIn(label);
    if (rect.bottom <= own.top || rect.top >= own.bottom || rect.left >= own.left) continue;
    if (best == nullptr || rect.left > bestLeft) {
      best = label;
      bestLeft = rect.left;
    }
  }
  return best != nullptr ? best : window;
}

void Win32PageControls::markChanged(int id, bool changed) {
  const Control* control = find(id);
  if (control == nullptr) return;
  const HWND label = labelOf(control->window);
  if (plainFont_ == nullptr) plainFont_ = reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0));
  if (boldFont_ == nullptr && plainFont_ != nullptr) {
    LOGFONTW look{};
    ::GetObjectW(plainFont_, sizeof look, &look);
    look.lfWeight = FW_BOLD;
    boldFont_ = ::CreateFontIndirectW(&look);
  }
  ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(changed ? boldFont_ : plainFont_), TRUE);
}

const Win32PageControls::Control* Win32PageControls::find(int id) const {
  for (const Control& control : controls_)
    if (control.id == id) return &control;
  return nullptr;
}

Win32PageControls::Control* Win32PageControls::find(int id) {
  return const_cast<Control*>(static_cast<const Win32PageControls*>(this)->find(id));
}

HWND Win32PageControls::window(int id) const {
  const Control* control = find(id);
  return control == nullptr ? nullptr : control->window;
}

std::u16string Win32PageControls::text(int id) const {
  const Control* control = find(id);
  if (control == nullptr) return {};
  if (control->kind != ItemKind::IpAddress) return windowText(control->window);
  DWORD address = 0;
  const LRESULT filled = ::SendMessageW(control->window, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
  if (filled == 0) return control->foreignText;
  std::u16string dotted;
  for (const unsigned part : {FIRST_IPADDRESS(address), SECOND_IPADDRESS(address), THIRD_IPADDRESS(address),
                              FOURTH_IPADDRESS(address)}) {
    if (!dotted.empty()) dotted += u'.';
    for (const char c : std::to_string(part)) dotted += static_cast<char16_t>(c);
  }
  return dotted;
}

void Win32PageControls::setText(int id, std::u16string_view text) {
  Control* control = find(id);
  if (control == nullptr) return;
  HWND window = control->window;
  switch (control->kind) {
    case ItemKind::IpAddress:
      control->foreignText.clear();
      if (const std::optional<DWORD> address = dottedAddress(text)) {
        ::SendMessageW(window, IPM_SETADDRESS, 0, static_cast<LPARAM>(*address));
      } else {
        ::SendMessageW(window, IPM_CLEARADDRESS, 0, 0);
        control->foreignText = text;
      }
      return;
    case ItemKind::ComboBox:
      setWindowText(window, text);
      // A loaded text longer than its field shows its start, not its end.
      ::SendMessageW(window, CB_SETEDITSEL, 0, MAKELPARAM(0, 0));
      return;
    case ItemKind::Edit:
      // WM_SETTEXT is not held to the typing limit: the whole text shows.
      setWindowText(window, text);
      ::SendMessageW(window, EM_SETSEL, 0, 0);
      return;
    default:
      setWindowText(window, text);
      return;
  }
}

void Win32PageControls::limitText(int id, int maxChars) {
  const Control* control = find(id);
  if (control == nullptr || control->kind != ItemKind::Edit) return;
  ::SendMessageW(control->window, EM_LIMITTEXT, static_cast<WPARAM>(maxChars > 0 ? maxChars : 0), 0);
}

void Win32PageControls::addString(int id, std::u16string_view item) {
  const Control* control = find(id);
  if (control == nullptr || control->kind != ItemKind::ComboBox) return;
  // Without CBS_SORT the item goes at the end; adding never selects.
  ::SendMessageW(control->window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(uiText(item)).c_str()));
}

void Win32PageControls::selectItem(int id, int index) {
  const Control* control = find(id);
  if (control == nullptr || control->kind != ItemKind::ComboBox) return;
  const auto count = static_cast<int>(::SendMessageW(control->window, CB_GETCOUNT, 0, 0));
  ::SendMessageW(control->window, CB_SETCURSEL, static_cast<WPARAM>(index >= 0 && index < count ? index : -1), 0);
}

int Win32PageControls::selectedItem(int id) const {
  const Control* control = find(id);
  if (control == nullptr || control->kind != ItemKind::ComboBox) return -1;
  // Typing into the edit field selects the item with that very text, if
  // any (CB_FINDSTRINGEXACT would ignore case).
  const std::u16string typed = windowText(control->window);
  const auto current = static_cast<int>(::SendMessageW(control->window, CB_GETCURSEL, 0, 0));
  if (current >= 0 && comboItemText(control->window, current) == typed) return current;
  const auto count = static_cast<int>(::SendMessageW(control->window, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i)
    if (comboItemText(control->window, i) == typed) return i;
  return -1;
}

void Win32PageControls::setCheck(int id, int state) {
  const Control* control = find(id);
  if (control == nullptr || control->kind != ItemKind::CheckBox) return;
  ::SendMessageW(control->window, BM_SETCHECK, state != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Win32PageControls::checkState(int id) const {
  const Control* control = find(id);
  if (control == nullptr || control->kind != ItemKind::CheckBox) return 0;
  return ::SendMessageW(control->window, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32PageControls::markField(int id, FieldMark mark, std::u16string_view why) {
  Control* control = find(id);
  if (control == nullptr) return;
  control->mark = mark;
  control->markTip = mark == FieldMark::None ? std::u16string()
                                             : std::u16string(uiText(markCaption(mark))) + u"\r\n" + std::u16string(why);
  // The tooltip says the caption and the rule where the control stands.
  if (tips_ == nullptr && mark != FieldMark::None) {
    tips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              ::GetParent(control->window), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (tips_ != nullptr) ::SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 400);
  }
  if (tips_ == nullptr) return;
  std::wstring text = wide(control->markTip);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = ::GetParent(control->window);
  tool.uId = reinterpret_cast<UINT_PTR>(control->window);
  tool.lpszText = text.data();
  ::SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (mark != FieldMark::None) ::SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

FieldMark Win32PageControls::mark(int id) const {
  const Control* control = find(id);
  return control == nullptr ? FieldMark::None : control->mark;
}

std::u16string Win32PageControls::markTip(int id) const {
  const Control* control = find(id);
  return control == nullptr ? std::u16string() : control->markTip;
}

}  // namespace pelmora
