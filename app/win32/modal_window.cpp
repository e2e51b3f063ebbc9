#include "app/win32/modal_window.h"

#include "app/win32/artwork.h"
#include "app/win32/win32_text.h"

namespace pelmora {
namespace {

constexpr wchar_t kFrameClass[] = L"PelmoraModalFrame";
constexpr DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kFrameExStyle = WS_EX_DLGMODALFRAME;

LRESULT CALLBACK frameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ::DestroyWindow(frame);
      return 0;
    case WM_CLOSE:
      ::DestroyWindow(frame);
      return 0;
    default:
      return ::DefWindowProcW(frame, message, wParam, lParam);
  }
}

void registerFrameClass() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = frameProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFrameClass;
    return ::RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

}  // namespace

HWND createModalFrame(HWND owner, std::u16string_view caption, int width, int height) {
  registerFrameClass();
  RECT frame{0, 0, width, height};
  ::AdjustWindowRectEx(&frame, kFrameStyle, FALSE, kFrameExStyle);
  const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
  RECT over{};
  if (owner == nullptr || !::GetWindowRect(owner, &over)) ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
  const int left = over.left + ((over.right - over.left) - frameWidth) / 2;
  const int top = over.top + ((over.bottom - over.top) - frameHeight) / 2;
  return ::CreateWindowExW(kFrameExStyle, kFrameClass, wide(caption).c_str(), kFrameStyle, left, top, frameWidth,
                           frameHeight, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

void runModal(HWND frame, HWND owner) {
  if (frame == nullptr) return;
  const bool ownerWasEnabled = owner != nullptr && ::IsWindowEnabled(owner);
  if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
  ::ShowWindow(frame, SW_SHOW);
  MSG message{};
  while (::IsWindow(frame)) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop, which ends the program
      ::DestroyWindow(frame);
      break;
    }
    if (got < 0) break;
    if (::IsDialogMessageW(frame, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  // Enabled before the frame goes for good, so that the owner gets the activation back.
  if (ownerWasEnabled) {
    ::EnableWindow(owner, TRUE);
    ::SetActiveWindow(owner);
  }
}

}  // namespace pelmora
