#include "app/win32/choice_window.h"

#include <commctrl.h>

#include "app/win32/dialog_font.h"
#include "app/win32/modal_window.h"
#include "app/win32/ui_language.h"
#include "app/win32/win32_text.h"

namespace pelmora {
namespace {

constexpr int kListId = 100;

struct Choice {
  HWND list = nullptr;
  std::optional<std::size_t> index;
};

// The frame closes on OK; the list's selection is taken first, while the list still exists.
LRESULT CALLBACK choiceFrameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) {
  if (message == WM_COMMAND) {
    const bool chosen =
        LOWORD(wParam) == IDOK || (LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_DBLCLK);
    if (chosen) {
      auto* choice = reinterpret_cast<Choice*>(data);
      const LRESULT selected = ::SendMessageW(choice->list, LB_GETCURSEL, 0, 0);
      if (selected != LB_ERR) choice->index = static_cast<std::size_t>(selected);
      ::DestroyWindow(frame);
      return 0;
    }
  }
  return ::DefSubclassProc(frame, message, wParam, lParam);
}

}  // namespace

std::optional<std::size_t> chooseFromList(HWND owner, std::u16string_view caption, std::u16string_view prompt,
                                          std::span<const std::u16string> lines) {
  const DialogFont font(u"MS Shell Dlg", 8, windowDpi(owner));
  const int width = font.scaled(480), height = font.scaled(260), margin = font.scaled(8);
  const int buttonWidth = font.x(50), buttonHeight = font.y(14), promptHeight = font.y(10);
  const HWND frame = createModalFrame(owner, uiText(caption), width, height);
  if (frame == nullptr) return std::nullopt;
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const auto child = [&](const wchar_t* kind, std::u16string_view text, DWORD style, DWORD exStyle, int left, int top,
                         int childWidth, int childHeight, int id) {
    const HWND made = ::CreateWindowExW(exStyle, kind, wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, left, top,
                                        childWidth, childHeight, frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                        instance, nullptr);
    ::SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font.handle()), FALSE);
    return made;
  };
  child(L"STATIC", uiText(prompt), 0, 0, margin, margin, width - 2 * margin, promptHeight, -1);
  const int listTop = margin + promptHeight + margin / 2;
  Choice choice;
  choice.list = child(L"LISTBOX", u"", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE,
                      margin, listTop, width - 2 * margin, height - listTop - 2 * margin - buttonHeight, kListId);
  for (const std::u16string& line : lines)
    ::SendMessageW(choice.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(line).c_str()));
  ::SendMessageW(choice.list, LB_SETCURSEL, 0, 0);
  const int buttonTop = height - margin - buttonHeight;
  child(L"BUTTON", uiText(u"OK"), WS_TABSTOP | BS_DEFPUSHBUTTON, 0, width - 2 * (margin + buttonWidth), buttonTop,
        buttonWidth, buttonHeight, IDOK);
  child(L"BUTTON", uiText(u"Cancel"), WS_TABSTOP, 0, width - margin - buttonWidth, buttonTop, buttonWidth,
        buttonHeight, IDCANCEL);
  ::SetWindowSubclass(frame, choiceFrameProcedure, 0, reinterpret_cast<DWORD_PTR>(&choice));
  ::SetFocus(choice.list);
  runModal(frame, owner);
  return choice.index;
}

}  // namespace pelmora
