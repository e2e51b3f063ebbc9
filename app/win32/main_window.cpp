#include "app/win32/main_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <set>

#include "app/main_window_template.h"
#include "app/window_menu.h"
#include "app/win32/about_box.h"
#include "app/win32/artwork.h"
#include "app/win32/changes_window.h"
#include "app/win32/choice_window.h"
#include "app/win32/tab_icons.h"
#include "app/win32/ui_language.h"
#include "app/win32/win32_text.h"
#include "pages/settings_page.h"
#include "settings/utf.h"

namespace pelmora {
namespace {

constexpr wchar_t kMainClass[] = L"PelmoraMainWindow";
constexpr wchar_t kPageClass[] = L"PelmoraPage";
// A pop-up window with caption, system menu and a sizing border.
constexpr DWORD kMainStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT;
constexpr std::u16string_view kStationOnWindowsText =
    u"On Windows the station runs in a console: pelmora-cli station PROFILE --values FILE (see pelmora-cli station --help).";

// The window's buttons and the logic's handler of each click.
struct ButtonCommand {
  int id;
  void (MainWindowLogic::*run)();
};
constexpr std::array kButtonCommands{
    ButtonCommand{IDC_SCAN_PORTS, &MainWindowLogic::onScanPorts},
    ButtonCommand{IDC_READ_SETTINGS, &MainWindowLogic::onReadSettings},
    ButtonCommand{IDC_WRITE_SETTINGS, &MainWindowLogic::onWriteSettings},
};

// A menu row's caption with its shortcut after a tab, as menus show it.
std::wstring menuText(const MenuItem& item) {
  std::wstring text = wide(uiText(item.caption));
  if (!item.key.none()) text += L'\t' + wide(menuKeyText(item.key));
  return text;
}

ACCEL accelerator(const MenuItem& item, int command) {
  BYTE flags = FVIRTKEY;
  if (item.key.ctrl) flags |= FCONTROL;
  if (item.key.shift) flags |= FSHIFT;
  const WORD key = item.key.letter != 0 ? static_cast<WORD>(item.key.letter)
                                        : static_cast<WORD>(VK_F1 + item.key.functionKey - 1);
  return {flags, key, static_cast<WORD>(command)};
}

// The file dialogs' filters: a shown name and its patterns.
struct FileFilter {
  std::u16string_view name;
  std::u16string_view patterns;
};
constexpr std::array kSaveFilters{
    FileFilter{u"Settings file (*.json)", u"*.json"},
    FileFilter{u"Settings image (*.pelmora-image)", u"*.pelmora-image"},
};
constexpr std::array kOpenFilters{
    FileFilter{u"Settings files (*.json *.pelmora-image)", u"*.json;*.pelmora-image"},
    FileFilter{u"All files (*)", u"*.*"},
};
constexpr std::array kLogFilters{
    FileFilter{u"Log files (*.log *.txt)", u"*.log;*.txt"},
    FileFilter{u"All files (*)", u"*.*"},
};

// The filters as the file dialogs take them: pairs of terminated texts, an empty one last.
std::wstring filterText(std::span<const FileFilter> filters) {
  std::wstring text;
  for (const FileFilter& filter : filters) {
    text += wide(uiText(filter.name)) + L'\0';
    text += wide(filter.patterns) + L'\0';
  }
  return text;
}
constexpr DWORD kPathUnits = 32768;  // the longest path Windows takes

// The log pane shows a lone CR or LF as the CR LF pair an edit control
// needs: the pane's length of the first `units` of `text`.
std::size_t paneLength(std::u16string_view text, std::size_t units) {
  std::size_t length = units;
  for (std::size_t i = 0; i < units; ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      ++i;
    } else if (text[i] == u'\r' || text[i] == u'\n') {
      ++length;
    }
  }
  return length;
}

std::wstring paneText(std::u16string_view text) {
  std::wstring pane;
  pane.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      pane += L"\r\n";
      ++i;
    } else if (text[i] == u'\r' || text[i] == u'\n') {
      pane += L"\r\n";
    } else {
      pane += static_cast<wchar_t>(text[i]);
    }
  }
  return pane;
}

// The menu item whose handler is `run` follows its button.
void enableMenuItem(HMENU bar, void (MainWindowLogic::*run)(), bool enabled) {
  for (std::size_t row = 0; row < kMenuItems.size(); ++row)
    if (kMenuItems[row].run == run)
      ::EnableMenuItem(bar, static_cast<UINT>(kFirstMenuCommand + static_cast<int>(row)),
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool hasExtension(const std::wstring& path) {
  const std::size_t name = path.find_last_of(L"\\/:");
  const std::size_t dot = path.find_last_of(L'.');
  return dot != std::wstring::npos && (name == std::wstring::npos || dot > name);
}

void registerClasses() {
  static const bool registered = [] {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.lpfnWndProc = DefWindowProcW;  // replaced per window at WM_NCCREATE
    main.hInstance = instance;
    main.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    main.lpszClassName = kMainClass;
    main.hIcon = applicationIcon(::GetSystemMetrics(SM_CXICON));
    main.hIconSm = applicationIcon(::GetSystemMetrics(SM_CXSMICON));
    WNDCLASSEXW page = main;
    page.lpszClassName = kPageClass;
    page.hIcon = page.hIconSm = nullptr;
    return ::RegisterClassExW(&main) != 0 && ::RegisterClassExW(&page) != 0;
  }();
  (void)registered;
}

}  // namespace

Win32MainWindow::Win32MainWindow(WindowAssembly& assembly)
    : assembly_(assembly),
      logic_(*this, assembly.portIndexStore(), assembly.settings(), assembly.discovery()),
      notifier_(logic_),
      engine_(assembly.startLink(notifier_)) {
  registerClasses();
  const DialogTemplate& dialog = mainWindowTemplate();
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  window_ = ::CreateWindowExW(kMainExStyle, kMainClass, wide(withVersion(uiText(dialog.caption))).c_str(), kMainStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32MainWindow::windowProcedure));

  font_ = std::make_unique<DialogFont>(dialog.fontFace, dialog.fontPointSize, windowDpi(window_));
  ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_->handle()), FALSE);
  // Centred on the screen's work area.
  addMenuBar();
  RECT frame{0, 0, font_->x(dialog.width), font_->y(dialog.height)};
  smallestClient_ = {frame.right, frame.bottom};
  ::AdjustWindowRectEx(&frame, kMainStyle, TRUE, kMainExStyle);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  smallestFrame_ = {width, height};
  ::SetWindowPos(window_, nullptr, work.left + ((work.right - work.left) - width) / 2,
                 work.top + ((work.bottom - work.top) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

  // The pages come right after the tab control, so that Tab walks through
  // them before it reaches the log pane.
  controls_ = buildControls(dialog, window_, *font_, [this](const Win32Control& control) {
    if (control.item->id == IDC_PAGE_TABS) buildPages(control.window);
  });
  // Without a display (or out of window handles) a control may be missing:
  // the window is then not made, and the logic never runs on it.
  made_ = window_ != nullptr && controls_.size() == dialog.items.size();
  for (const Page& page : pages_)
    made_ = made_ && page.window != nullptr && page.controls != nullptr &&
            page.built.size() == localisedTemplate(logic_.pageTable()[page.index].page->dialogTemplate()).items.size();
  if (!made_) return;

  tabs_ = control(IDC_PAGE_TABS);
  portChooser_ = control(IDC_PORT_LIST);
  progress_ = control(IDC_PROGRESS);
  statusLight_ = control(IDC_STATUS_LIGHT);
  log_ = control(IDC_LOG);
  ::GetWindowRect(log_, &logPlace_);
  ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&logPlace_), 2);
  // The count of unwritten changes, in the free strip below the pages.
  {
    RECT tabs{};
    ::GetWindowRect(tabs_, &tabs);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&tabs), 2);
    changeCount_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, tabs.left,
                                     tabs.bottom + font_->scaled(3), tabs.right - tabs.left,
                                     std::min(font_->y(10), static_cast<int>(smallestClient_.cy - tabs.bottom)), window_,
                                     nullptr, instance, nullptr);
    ::SendMessageW(changeCount_, WM_SETFONT, reinterpret_cast<WPARAM>(font_->handle()), FALSE);
  }

  // The tab strip: titles and icons in table order.
  const PageTable& table = logic_.pageTable();
  std::array<int, PageTable::kRowCount> icons{};
  for (int i = 0; i < PageTable::size(); ++i) icons[static_cast<std::size_t>(i)] = table[i].tabIcon;
  tabImages_ = tabIcons(icons, font_->scaled(32));
  ::SendMessageW(tabs_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(tabImages_));
  for (int i = 0; i < PageTable::size(); ++i) {
    std::wstring title = wide(uiText(table[i].titleText()));
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.iImage = i;
    item.pszText = title.data();
    ::SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  // Every page in the tab control's client area, below the strip.
  const RECT place = pageRect();
  for (Page& page : pages_)
    ::MoveWindow(page.window, place.left, place.top, place.right - place.left, place.bottom - place.top, FALSE);

  // The status images: the red one the light shows now, the green one the hidden image holder keeps.
  offlineImage_ = reinterpret_cast<HBITMAP>(::SendMessageW(statusLight_, STM_GETIMAGE, IMAGE_BITMAP, 0));
  onlineImage_ = reinterpret_cast<HBITMAP>(::SendMessageW(control(IDC_ONLINE_IMAGE), STM_GETIMAGE, IMAGE_BITMAP, 0));

  // The system menu's last item, below a separator.
  if (HMENU system = ::GetSystemMenu(window_, FALSE)) {
    ::AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(system, MF_STRING, ID_SYSMENU_ABOUT, wide(uiText(kAboutMenuText)).c_str());
  }
  std::vector<ACCEL> keys;
  for (std::size_t row = 0; row < kMenuItems.size(); ++row)
    if (!kMenuItems[row].key.none())
      keys.push_back(accelerator(kMenuItems[row], kFirstMenuCommand + static_cast<int>(row)));
  shortcuts_ = ::CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
  addTooltips();

  // A place kept from the last run, at least the smallest size.
  if (const std::optional<WindowPlace>& kept = assembly.windowPlace())
    ::SetWindowPos(window_, nullptr, kept->left, kept->top, std::max<int>(kept->width, smallestFrame_.cx),
                   std::max<int>(kept->height, smallestFrame_.cy), SWP_NOZORDER | SWP_NOACTIVATE);
  placeLog();

  logic_.setVerifyAfterWrite(assembly.verifyAfterWrite());
  assembly.configure(logic_);
  notifier_.wakeWindow(window_);
  logic_.initialise(engine_);
  for (const std::string& notice : assembly.notices()) logic_.appendLog(utf16FromUtf8(notice));
  ::SetTimer(window_, STATUS_TIMER_ID, kStatusTimerPeriodMs, nullptr);
}

Win32MainWindow::~Win32MainWindow() {
  shutDownLink();
  // The pictures the static controls show are not theirs to delete.
  std::set<HBITMAP> pictures{onlineImage_, offlineImage_};
  for (const Page& page : pages_)
    for (const Win32Control& control : page.built)
      if (control.item->kind == ItemKind::Bitmap)
        pictures.insert(reinterpret_cast<HBITMAP>(::SendMessageW(control.window, STM_GETIMAGE, IMAGE_BITMAP, 0)));
  if (window_ != nullptr) {
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
  for (HBITMAP picture : pictures)
    if (picture != nullptr) ::DeleteObject(picture);
  if (shortcuts_ != nullptr) ::DestroyAcceleratorTable(shortcuts_);
  if (tabImages_ != nullptr) ::ImageList_Destroy(tabImages_);
}

void Win32MainWindow::show(int showCommand) {
  ::ShowWindow(window_, showCommand);
  ::UpdateWindow(window_);
}

bool Win32MainWindow::preTranslate(MSG& message) {
  if (window_ == nullptr) return false;
  if (shortcuts_ != nullptr && ::TranslateAcceleratorW(window_, shortcuts_, &message)) return true;
  return ::IsDialogMessageW(window_, &message) != FALSE;
}

void Win32MainWindow::close() {
  if (window_ != nullptr && !linkStopped_) {
    RECT frame{};
    ::GetWindowRect(window_, &frame);
    assembly_.keepWindowPlace({frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top});
  }
  shutDownLink();
  if (window_ != nullptr) ::DestroyWindow(window_);
}

HWND Win32MainWindow::control(int id) const {
  for (const Win32Control& control : controls_)
    if (control.item->id == id) return control.window;
  return nullptr;
}

void Win32MainWindow::buildPages(HWND tabs) {
  const PageTable& table = logic_.pageTable();
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  for (int i = 0; i < PageTable::size(); ++i) {
    const DialogTemplate& dialog = localisedTemplate(table[i].page->dialogTemplate());
    Page& page = pages_[static_cast<std::size_t>(i)];
    page.owner = this;
    page.index = i;
    page.window = ::CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                                    tabs, nullptr, instance, nullptr);
    ::SetWindowLongPtrW(page.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&page));
    ::SetWindowLongPtrW(page.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32MainWindow::pageProcedure));
    page.font = std::make_unique<DialogFont>(dialog.fontFace, dialog.fontPointSize, font_->dpi());
    page.built = buildControls(dialog, page.window, *page.font);
    page.controls = std::make_unique<Win32PageControls>(page.built);
  }
}

RECT Win32MainWindow::pageRect() const {
  RECT tabs{};
  ::GetClientRect(tabs_, &tabs);
  return {font_->scaled(kPageInsetLeft), font_->scaled(kPageInsetTop), tabs.right - font_->scaled(kPageInsetRight),
          tabs.bottom - font_->scaled(kPageInsetBottom)};
}

void Win32MainWindow::addTooltips() {
  tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  if (tooltip_ == nullptr) return;
  ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, font_->scaled(400));
  static std::wstring aboutTip = wide(uiText(kAboutButtonTip));
  TOOLINFOW about{};
  about.cbSize = sizeof about;
  about.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  about.hwnd = window_;
  about.uId = reinterpret_cast<UINT_PTR>(control(IDC_ABOUT_BUTTON));
  about.lpszText = aboutTip.data();
  ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&about));
  // The closed chooser names the device behind the entry it shows, asked
  // for when the tip shows; the mouse is over the chooser's edit field.
  for (HWND part : {portChooser_, ::GetWindow(portChooser_, GW_CHILD)}) {
    if (part == nullptr) continue;
    TOOLINFOW chooser{};
    chooser.cbSize = sizeof chooser;
    chooser.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    chooser.hwnd = window_;
    chooser.uId = reinterpret_cast<UINT_PTR>(part);
    chooser.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&chooser));
  }
}

void Win32MainWindow::showAbout() { showAboutBox(window_); }

void Win32MainWindow::addMenuBar() {
  menuBar_ = ::CreateMenu();
  std::array<HMENU, kMenuTitles.size()> menus{};
  for (std::size_t i = 0; i < kMenuTitles.size(); ++i) {
    menus[i] = ::CreatePopupMenu();
    ::AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(menus[i]), wide(uiText(kMenuTitles[i].caption)).c_str());
  }
  for (std::size_t row = 0; row < kMenuItems.size(); ++row) {
    const MenuItem& item = kMenuItems[row];
    const HMENU menu = menus.at(static_cast<std::size_t>(item.menu));
    if (item.separatorBefore) ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(kFirstMenuCommand + static_cast<int>(row)),
                  menuText(item).c_str());
  }
  ::SetMenu(window_, menuBar_);  // the window destroys it with itself
}

void Win32MainWindow::placeLog() {
  RECT client{};
  ::GetClientRect(window_, &client);
  const LONG growX = std::max<LONG>(0, client.right - smallestClient_.cx);
  const LONG growY = std::max<LONG>(0, client.bottom - smallestClient_.cy);
  ::MoveWindow(log_, logPlace_.left, logPlace_.top, logPlace_.right - logPlace_.left + growX,
               logPlace_.bottom - logPlace_.top + growY, TRUE);
}

void Win32MainWindow::requestClose() {
  if (linkStopped_ || logic_.mayClose()) close();
}

void Win32MainWindow::showContextMenu(POINT at) {
  // The File menu's settings and log items, then About.
  const HMENU menu = ::CreatePopupMenu();
  for (std::size_t row = 0; row < kMenuItems.size(); ++row) {
    const MenuItem& item = kMenuItems[row];
    if (item.menu != WindowMenu::File || item.run == &MainWindowLogic::onQuit) continue;
    if (item.separatorBefore) ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(kFirstMenuCommand + static_cast<int>(row)),
                  menuText(item).c_str());
  }
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu, MF_STRING, ID_SYSMENU_ABOUT, (wide(uiText(kAboutMenuText)) + L"\tF1").c_str());
  if (at.x == -1 && at.y == -1) {  // from the keyboard: at the window's corner
    RECT frame{};
    ::GetWindowRect(window_, &frame);
    at = {frame.left + font_->scaled(20), frame.top + font_->scaled(40)};
  }
  ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
  ::DestroyMenu(menu);
}

void Win32MainWindow::shutDownLink() {
  if (linkStopped_) return;
  linkStopped_ = true;
  if (window_ != nullptr) ::KillTimer(window_, STATUS_TIMER_ID);
  // From here no engine thread waits for this one, so joining them cannot wait on the window.
  notifier_.stopAccepting();
  engine_.shutdown();
}

// --- Messages ----------------------------------------------------------------

LRESULT CALLBACK Win32MainWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return self->handleMessage(message, wParam, lParam);
}

LRESULT CALLBACK Win32MainWindow::pageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* page = reinterpret_cast<const Page*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  // A click on a page's button or check box goes to the page logic.
  if (page != nullptr && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && lParam != 0) {
    page->owner->logic_.onPageCommand(page->index, LOWORD(wParam));
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kNotificationMessage:
      notifier_.runQueued();
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_TIMER:
      if (wParam == STATUS_TIMER_ID) logic_.onTimerTick();
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == ID_SYSMENU_ABOUT) {
        showAbout();
        return 0;
      }
      break;
    case WM_CONTEXTMENU:
      showContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_DPICHANGED: {
      // Moved where the system suggests, at its size: the controls keep the
      // density they were built for at start, and the window stays fitted to them.
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
      return 0;
    }
    case WM_SIZE:
      if (made_) placeLog();
      return 0;
    case WM_GETMINMAXINFO:
      // Never smaller than the template: nothing is clipped.
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {smallestFrame_.cx, smallestFrame_.cy};
      return 0;
    case WM_CLOSE:
      requestClose();
      return 0;
    case WM_DESTROY:
      window_ = nullptr;
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

void Win32MainWindow::onCommand(int id, int code) {
  if (id == IDC_PORT_LIST) {
    // The user's choice only: the list opened and an entry taken, or an
    // arrow key in the closed chooser. Selections made from code say nothing.
    if (code == CBN_DROPDOWN) chooserDropped_ = true;
    if (code == CBN_CLOSEUP) chooserDropped_ = false;
    if ((code == CBN_SELENDOK && chooserDropped_) || (code == CBN_SELCHANGE && !chooserDropped_))
      logic_.onPortSelected();
    return;
  }
  if (id == IDC_ABOUT_BUTTON || id == ID_SYSMENU_ABOUT) {
    showAbout();
    return;
  }
  if (id == IDCANCEL) {  // Escape
    requestClose();
    return;
  }
  if (id >= kFirstMenuCommand && id < kFirstMenuCommand + static_cast<int>(kMenuItems.size())) {
    const MenuItem& item = kMenuItems[static_cast<std::size_t>(id - kFirstMenuCommand)];
    // A disabled button's item does nothing, from the keyboard either.
    for (const ButtonCommand& button : kButtonCommands)
      if (button.run == item.run && !::IsWindowEnabled(control(button.id))) return;
    (logic_.*item.run)();
    return;
  }
  // Return elsewhere than on a button (IDOK) does nothing: a Return typed
  // into a field must not close the window and lose the edits.
  for (const ButtonCommand& command : kButtonCommands)
    if (command.id == id && (code == BN_CLICKED || code == 1 /* shortcut */)) (logic_.*command.run)();
}

LRESULT Win32MainWindow::onNotify(const NMHDR& header) {
  if (header.hwndFrom == tabs_ && header.code == TCN_SELCHANGE) {
    logic_.onTabChanged(static_cast<int>(::SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
    return 0;
  }
  if (header.code == TTN_GETDISPINFOW && header.hwndFrom == tooltip_) {
    auto& tip = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
    const int port = selectedPort();
    tipText_ = port >= 0 ? wide(utf16FromUtf8(assembly_.describePort(port))) : std::wstring();
    tip.lpszText = tipText_.data();
    return 0;
  }
  return 0;
}

// --- MainView ----------------------------------------------------------------

void Win32MainWindow::enableReadButton(bool enabled) {
  ::EnableWindow(control(IDC_READ_SETTINGS), enabled);
  enableMenuItem(menuBar_, &MainWindowLogic::onReadSettings, enabled);
}
void Win32MainWindow::enableWriteButton(bool enabled) {
  ::EnableWindow(control(IDC_WRITE_SETTINGS), enabled);
  enableMenuItem(menuBar_, &MainWindowLogic::onWriteSettings, enabled);
}

void Win32MainWindow::appendLog(std::u16string_view text) {
  logText_ += text;
  const int end = ::GetWindowTextLengthW(log_);
  ::SendMessageW(log_, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
  ::SendMessageW(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(paneText(text).c_str()));
  ::SendMessageW(log_, EM_SCROLLCARET, 0, 0);
}

void Win32MainWindow::dropLogFront(std::size_t units) {
  const std::size_t count = std::min(units, logText_.size());
  const std::size_t pane = paneLength(logText_, count);
  ::SendMessageW(log_, EM_SETSEL, 0, static_cast<LPARAM>(pane));
  ::SendMessageW(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
  logText_.erase(0, count);
  const int end = ::GetWindowTextLengthW(log_);
  ::SendMessageW(log_, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
}

void Win32MainWindow::setProgressRange(int low, int high) { ::SendMessageW(progress_, PBM_SETRANGE32, low, high); }
void Win32MainWindow::setProgress(int position) { ::SendMessageW(progress_, PBM_SETPOS, position, 0); }

void Win32MainWindow::showStatusImage(StatusImage image) {
  shownStatus_ = image;
  const HBITMAP shown = image == StatusImage::Online ? onlineImage_ : image == StatusImage::Offline ? offlineImage_
                                                                                                   : nullptr;
  ::SendMessageW(statusLight_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown));
  ::InvalidateRect(statusLight_, nullptr, TRUE);
}

void Win32MainWindow::addPortEntry(std::u16string_view name) {
  // Without CBS_SORT the entry goes at the end; adding never selects.
  ::SendMessageW(portChooser_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(name).c_str()));
}

void Win32MainWindow::selectPort(int index) {
  // CB_SETCURSEL sends no CBN_SELCHANGE: it never counts as the user's choice.
  const auto count = static_cast<int>(::SendMessageW(portChooser_, CB_GETCOUNT, 0, 0));
  ::SendMessageW(portChooser_, CB_SETCURSEL, static_cast<WPARAM>(index >= 0 && index < count ? index : -1), 0);
}

int Win32MainWindow::selectedPort() const {
  const LRESULT selected = ::SendMessageW(portChooser_, CB_GETCURSEL, 0, 0);
  return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

void Win32MainWindow::setIdentityText(IdentityField field, std::u16string_view text) {
  for (const IdentityRow& row : kIdentityRows) {
    if (row.field != field) continue;
    const HWND edit = control(row.controlId);
    setWindowText(edit, text);
    ::SendMessageW(edit, EM_SETSEL, 0, 0);
  }
}

void Win32MainWindow::setPageVisible(int index, bool visible) {
  const HWND page = pages_.at(static_cast<std::size_t>(index)).window;
  const RECT place = pageRect();
  ::SetWindowPos(page, HWND_TOP, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) | SWP_NOACTIVATE);
  if (visible && ::SendMessageW(tabs_, TCM_GETCURSEL, 0, 0) != index)
    ::SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

PageControls& Win32MainWindow::pageControls(int index) { return controlsOf(index); }

bool Win32MainWindow::confirm(std::u16string_view question) {
  return ::MessageBoxW(window_, wide(question).c_str(), wide(withVersion(uiText(mainWindowTemplate().caption))).c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

namespace {

// A path chosen in the common file dialog over `owner` and the filter it was
// chosen under (1-based); nothing when the user cancels.
struct ChosenFile {
  std::wstring path;
  DWORD filter = 1;
};
std::optional<ChosenFile> chooseFile(HWND owner, std::u16string_view title, const std::wstring& filters, DWORD flags,
                                     bool save) {
  std::wstring path(kPathUnits, L'\0');
  const std::wstring caption = wide(uiText(title));
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathUnits;
  dialog.lpstrTitle = caption.c_str();
  dialog.Flags = flags | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  if (!(save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog))) return std::nullopt;
  path.resize(path.find(L'\0'));
  return ChosenFile{std::move(path), dialog.nFilterIndex};
}

}  // namespace

std::optional<SaveTarget> Win32MainWindow::chooseSaveFile() {
  std::optional<ChosenFile> chosen =
      chooseFile(window_, u"Save Settings As", filterText(kSaveFilters), OFN_OVERWRITEPROMPT, true);
  if (!chosen) return std::nullopt;
  const bool asJson = chosen->filter != 2;
  if (!hasExtension(chosen->path)) chosen->path += asJson ? L".json" : L".pelmora-image";
  // The file functions take UTF-8 paths on Windows (settings/atomic_file_windows.cpp).
  return SaveTarget{utf8FromUtf16(fromWide(chosen->path)), asJson ? SettingsFileFormat::Json : SettingsFileFormat::Image};
}

std::optional<std::string> Win32MainWindow::chooseLogFile() {
  std::optional<ChosenFile> chosen =
      chooseFile(window_, u"Save Log As", filterText(kLogFilters), OFN_OVERWRITEPROMPT, true);
  if (!chosen) return std::nullopt;
  if (!hasExtension(chosen->path)) chosen->path += L".log";
  return utf8FromUtf16(fromWide(chosen->path));
}

Answer Win32MainWindow::ask(std::u16string_view question) {
  switch (::MessageBoxW(window_, wide(question).c_str(), wide(withVersion(uiText(mainWindowTemplate().caption))).c_str(),
                        MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3)) {
    case IDYES:
      return Answer::Yes;
    case IDNO:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

void Win32MainWindow::showChangeCount(std::u16string_view text) { setWindowText(changeCount_, text); }

void Win32MainWindow::copyText(std::u16string_view text) {
  const std::wstring pane = paneText(text);
  if (!::OpenClipboard(window_)) return;
  ::EmptyClipboard();
  if (HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (pane.size() + 1) * sizeof(wchar_t))) {
    auto* units = static_cast<wchar_t*>(::GlobalLock(memory));
    std::copy(pane.c_str(), pane.c_str() + pane.size() + 1, units);
    ::GlobalUnlock(memory);
    if (::SetClipboardData(CF_UNICODETEXT, memory) == nullptr) ::GlobalFree(memory);  // else the clipboard owns it
  }
  ::CloseClipboard();
}

void Win32MainWindow::closeWindow() { requestClose(); }

std::optional<std::string> Win32MainWindow::chooseOpenFile() {
  const std::optional<ChosenFile> chosen =
      chooseFile(window_, u"Open Settings", filterText(kOpenFilters), OFN_FILEMUSTEXIST, false);
  if (!chosen) return std::nullopt;
  return utf8FromUtf16(fromWide(chosen->path));
}

void Win32MainWindow::showComparison(const Comparison& comparison) {
  // One line a field: its page and label in the window's language, then the two values.
  std::vector<std::u16string> lines;
  for (const ComparedField& row : comparison.rows) {
    std::u16string label(uiText(row.entry->label));
    if (!row.entry->heading.empty()) label += u" (" + std::u16string(uiText(row.entry->heading)) + u")";
    lines.push_back(std::u16string(uiText(pageTitle(row.entry->page))) + u" \u2014 " + label + u": " +
                    utf16FromUtf8(row.tracker) + u" -> " + utf16FromUtf8(row.written));
  }
  if (lines.empty()) lines.push_back(u"No changes");
  if (comparison.otherFields != 0) {
    // The same words as the Qt window's, whose translation has the count's place.
    std::u16string others(uiText(u"Fields no page shows that differ as well: %1"));
    others.replace(others.find(u"%1"), 2, utf16FromUtf8(std::to_string(comparison.otherFields)));
    lines.push_back(std::move(others));
  }
  showChangesWindow(window_, lines);
}

std::u16string Win32MainWindow::translated(std::u16string_view english) const { return std::u16string(uiText(english)); }

std::optional<std::size_t> Win32MainWindow::chooseEarlierSettings(std::span<const std::u16string> lines) {
  return chooseFromList(window_, u"Restore Earlier Settings", u"Settings kept before each write, newest first:", lines);
}

// The station has no window of its own on Windows yet: its board runs in a console.
void Win32MainWindow::openStation() {
  ::MessageBoxW(window_, wide(uiText(kStationOnWindowsText)).c_str(), wide(uiText(u"Station")).c_str(),
                MB_OK | MB_ICONINFORMATION);
}

}  // namespace pelmora
