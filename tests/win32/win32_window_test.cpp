// The Win32 window under Wine: every page built from its template has every
// control with its id, class, text and place (in pixels as the system's own
// dialog manager converts the template's dialog units), and the logic's
// calls reach the controls; the pictures of it are saved as PNG files.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/main_window_template.h"
#include "app/testing/fake_port_index_store.h"
#include "app/win32/main_window.h"
#include "app/win32/png_file.h"
#include "app/win32/screenshot_tour.h"
#include "app/win32/ui_language.h"
#include "app/win32/win32_text.h"
#include "link/port_discovery.h"
#include "link/system_serial_port.h"
#include "pages/misc_page.h"
#include "pages/settings_page.h"
#include "pages/translated_text.h"
#include "settings/utf.h"
#include "sim/demo_images.h"
#include "sim/loopback_serial_port.h"

namespace pelmora {
namespace {

// The class each kind of item must become.
struct KindClass {
  ItemKind kind;
  const wchar_t* className;
};
constexpr KindClass kKindClasses[] = {
    {ItemKind::StaticText, L"Static"},       {ItemKind::GroupBox, L"Button"},
    {ItemKind::Edit, L"Edit"},               {ItemKind::IpAddress, L"SysIPAddress32"},
    {ItemKind::CheckBox, L"Button"},         {ItemKind::ComboBox, L"ComboBox"},
    {ItemKind::Bitmap, L"Static"},           {ItemKind::PushButton, L"Button"},
    {ItemKind::ProgressBar, L"msctls_progress32"}, {ItemKind::TabControl, L"SysTabControl32"},
    {ItemKind::Icon, L"Static"},
};

std::wstring expectedClass(ItemKind kind) {
  for (const KindClass& row : kKindClasses)
    if (row.kind == kind) return row.className;
  return {};
}

std::wstring classOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

// What the system's dialog manager makes of `units` in `dialog`'s font: a
// dialog built from an in-memory template with that font, asked MapDialogRect.
class SystemDialogUnits {
 public:
  explicit SystemDialogUnits(const DialogTemplate& dialog) {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    DLGTEMPLATE head{};
    head.style = WS_POPUP | DS_SETFONT;
    head.cx = static_cast<short>(dialog.width);
    head.cy = static_cast<short>(dialog.height);
    std::memcpy(words.data(), &head, sizeof head);
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    words.push_back(0);  // no caption
    words.push_back(static_cast<WORD>(dialog.fontPointSize));
    for (const char16_t unit : dialog.fontFace) words.push_back(unit);
    words.push_back(0);
    dialog_ = ::CreateDialogIndirectW(::GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(words.data()),
                                      nullptr, &procedure);
  }
  ~SystemDialogUnits() {
    if (dialog_ != nullptr) ::DestroyWindow(dialog_);
  }
  bool made() const { return dialog_ != nullptr; }
  // As the dialog manager places a control: its origin and its size each
  // converted, the size added to the origin.
  RECT map(const DialogRect& units) const {
    RECT rect{units.x, units.y, units.width, units.height};
    ::MapDialogRect(dialog_, &rect);
    return {rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
  }

 private:
  static INT_PTR CALLBACK procedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
  HWND dialog_ = nullptr;
};

RECT placeIn(HWND window, HWND parent) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// `parent`'s child windows in creation (template) order.
std::vector<HWND> childrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

bool has(const TemplateItem& item, std::uint32_t style) { return (item.style & style) != 0; }

// Shown within its parent, whether or not the parent is.
bool shown(HWND window) { return (::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

// Every item of `dialog` is the child of `parent` in its place in template
// order, with its id, class, text and rectangle. Labels and plain check
// boxes may grow sideways to fit their text (from the right edge when
// right-aligned); a combo box's template height includes its list; a
// picture that is not centred in its box has its own size.
// Texts in `language`: the English of the template, or its Russian from the
// table generated from the translation source.
std::u16string_view shownText(std::u16string_view english, UiLanguage language) {
  return language == UiLanguage::Russian && !english.empty() ? russianText(english) : english;
}

// `addedChildren`: the window's own after the template's (the main window's change count).
void expectBuiltFrom(const DialogTemplate& dialog, HWND parent, UiLanguage language,
                     std::size_t skippedChildren = 0, std::size_t addedChildren = 0) {
  const SystemDialogUnits units(dialog);
  ASSERT_TRUE(units.made());
  std::vector<HWND> children = childrenOf(parent);
  ASSERT_GE(children.size(), skippedChildren);
  children.erase(children.begin(), children.begin() + static_cast<std::ptrdiff_t>(skippedChildren));
  ASSERT_GE(children.size(), addedChildren);
  children.resize(children.size() - addedChildren);
  ASSERT_EQ(children.size(), dialog.items.size());
  for (std::size_t i = 0; i < dialog.items.size(); ++i) {
    const TemplateItem& item = dialog.items[i];
    const HWND window = children[i];
    SCOPED_TRACE("template " + std::to_string(dialog.id) + ", item " + std::to_string(i) + ", id " +
                 std::to_string(item.id));
    EXPECT_EQ(::GetDlgCtrlID(window), item.id == kNoId ? 0xFFFF : item.id);
    EXPECT_EQ(classOf(window), expectedClass(item.kind));
    const bool titled = item.kind == ItemKind::StaticText || item.kind == ItemKind::GroupBox ||
                        item.kind == ItemKind::CheckBox || item.kind == ItemKind::PushButton;
    if (titled) {
      EXPECT_EQ(windowText(window), shownText(item.text, language));
    }
    if (has(item, StyleNotStored)) {
      EXPECT_FALSE(::IsWindowEnabled(window));
    }
    EXPECT_EQ(shown(window), !has(item, StyleHidden));

    const RECT expected = units.map(item.rect);
    const RECT actual = placeIn(window, parent);
    EXPECT_EQ(actual.top, expected.top);
    // A picture that is not centred takes its own size, as in the system's dialogs.
    if (item.kind == ItemKind::Icon || (item.kind == ItemKind::Bitmap && !has(item, StyleImageCentred))) {
      EXPECT_EQ(actual.left, expected.left);
      continue;
    }
    if (item.kind != ItemKind::ComboBox) {
      EXPECT_EQ(actual.bottom, expected.bottom);
    }
    const bool mayGrow = item.kind == ItemKind::StaticText ||
                         (item.kind == ItemKind::CheckBox && !has(item, StyleWordWrap));
    if (!mayGrow) {
      EXPECT_EQ(actual.left, expected.left);
      EXPECT_EQ(actual.right, expected.right);
    } else if (has(item, StyleAlignCenter)) {
      EXPECT_LE(actual.left, expected.left);
      EXPECT_GE(actual.right, expected.right);
    } else if (has(item, StyleAlignRight)) {
      EXPECT_EQ(actual.right, expected.right);
      EXPECT_LE(actual.left, expected.left);
    } else {
      EXPECT_EQ(actual.left, expected.left);
      EXPECT_GE(actual.right, expected.right);
    }
  }
}

class Win32WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES |
                                                     ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&classes);
  }

  void SetUp() override { makeWindow(UiLanguage::English); }

  void makeWindow(UiLanguage language) {
    window_.reset();
    assembly_.reset();
    useLanguage(language);
    WindowAssembly::Parts parts;
    sim::SimOptions tracker;
    tracker.image = sim::extendedDemoImage();
    parts.port = std::make_unique<sim::LoopbackSerialPort>(kDemoPort, tracker);
    auto store = std::make_unique<testing::FakePortIndexStore>();
    store->value = u"7";
    parts.portIndexStore = std::move(store);
    assembly_ = std::make_unique<WindowAssembly>(std::move(parts));
    window_ = std::make_unique<Win32MainWindow>(*assembly_);
    ASSERT_TRUE(window_->made());
  }

  void TearDown() override {
    window_.reset();
    assembly_.reset();
    useLanguage(UiLanguage::English);
  }

  // The page built from template `templateId`.
  int pageIndex(int templateId) const {
    const PageTable& table = window_->logic().pageTable();
    for (int i = 0; i < PageTable::size(); ++i)
      if (table[i].page->dialogTemplate().id == templateId) return i;
    return -1;
  }

  void expectPagesBuilt(UiLanguage language);

  std::unique_ptr<WindowAssembly> assembly_;
  std::unique_ptr<Win32MainWindow> window_;
};

TEST_F(Win32WindowTest, EveryControlStandsAsItsTemplateSays) {
  for (const UiLanguage language : {UiLanguage::English, UiLanguage::Russian}) {
    const bool russian = language == UiLanguage::Russian;
    SCOPED_TRACE(russian ? "Russian" : "English");
    makeWindow(language);
    expectBuiltFrom(mainWindowTemplate(), window_->handle(), language, 0, 1);
    expectPagesBuilt(language);
  }
}

void Win32WindowTest::expectPagesBuilt(UiLanguage language) {
  const PageTable& table = window_->logic().pageTable();
  for (int i = 0; i < PageTable::size(); ++i) {
    SCOPED_TRACE("page " + std::to_string(i));
    // The Misc page has a Russian template and its English twin.
    const DialogTemplate& own = table[i].page->dialogTemplate();
    const DialogTemplate& pageTemplate =
        own.id == misc::IDD_MISC && language == UiLanguage::English ? misc::EnglishTemplate() : own;
    expectBuiltFrom(pageTemplate, window_->page(i), language);
    // The page sits in the tab control, its tab titled as the table says.
    EXPECT_EQ(::GetParent(window_->page(i)), window_->control(IDC_PAGE_TABS));
    wchar_t title[100] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = title;
    item.cchTextMax = 100;
    ::SendMessageW(window_->control(IDC_PAGE_TABS), TCM_GETITEMW, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(fromWide(title), shownText(table[i].titleText(), language));
    EXPECT_EQ(item.iImage, i);  // its own picture
  }
  const auto images = reinterpret_cast<HIMAGELIST>(::SendMessageW(window_->control(IDC_PAGE_TABS), TCM_GETIMAGELIST, 0, 0));
  EXPECT_EQ(::ImageList_GetImageCount(images), PageTable::size());
  // Page 0 shows, the others do not (the window itself is not shown in this test).
  for (int i = 0; i < PageTable::size(); ++i) EXPECT_EQ(shown(window_->page(i)), i == 0) << i;
}

// The first item of `kind` in the page templates: {page template id, control id}.
std::pair<int, int> firstOfKind(const Win32MainWindow& window, ItemKind kind) {
  const PageTable& table = const_cast<Win32MainWindow&>(window).logic().pageTable();
  for (int i = 0; i < PageTable::size(); ++i)
    for (const TemplateItem& item : table[i].page->dialogTemplate().items)
      if (item.kind == kind && item.id != kNoId && !has(item, StyleNotStored))
        return {table[i].page->dialogTemplate().id, item.id};
  return {-1, -1};
}

TEST_F(Win32WindowTest, TheLogicsCallsReachTheControls) {
  struct Row {
    const char* label;
    ItemKind kind;
    void (*act)(PageControls&, int id);
    void (*check)(PageControls&, int id, HWND control);
  };
  const Row rows[] = {
      {"edit: text", ItemKind::Edit, [](PageControls& c, int id) { c.setText(id, u"internet.example"); },
       [](PageControls& c, int id, HWND h) {
         EXPECT_EQ(windowText(h), u"internet.example");
         EXPECT_EQ(c.text(id), u"internet.example");
       }},
      {"edit: typing limit", ItemKind::Edit, [](PageControls& c, int id) { c.limitText(id, 31); },
       [](PageControls&, int, HWND h) { EXPECT_EQ(::SendMessageW(h, EM_GETLIMITTEXT, 0, 0), 31); }},
      {"edit: a text beyond the limit shows whole", ItemKind::Edit,
       [](PageControls& c, int id) {
         c.limitText(id, 4);
         c.setText(id, u"abcdefgh");
       },
       [](PageControls&, int, HWND h) { EXPECT_EQ(windowText(h), u"abcdefgh"); }},
      {"IP field: an address", ItemKind::IpAddress, [](PageControls& c, int id) { c.setText(id, u"10.20.30.40"); },
       [](PageControls& c, int id, HWND h) {
         DWORD address = 0;
         EXPECT_EQ(::SendMessageW(h, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)), 4);
         EXPECT_EQ(address, static_cast<DWORD>(MAKEIPADDRESS(10, 20, 30, 40)));
         EXPECT_EQ(c.text(id), u"10.20.30.40");
       }},
      {"IP field: blank", ItemKind::IpAddress,
       [](PageControls& c, int id) {
         c.setText(id, u"1.2.3.4");
         c.setText(id, u"");
       },
       [](PageControls& c, int id, HWND h) {
         EXPECT_NE(::SendMessageW(h, IPM_ISBLANK, 0, 0), 0);
         EXPECT_EQ(c.text(id), u"");
       }},
      {"IP field: a host name is kept", ItemKind::IpAddress, [](PageControls& c, int id) { c.setText(id, u"dns.example"); },
       [](PageControls& c, int id, HWND h) {
         EXPECT_NE(::SendMessageW(h, IPM_ISBLANK, 0, 0), 0);
         EXPECT_EQ(c.text(id), u"dns.example");
       }},
      {"chooser: items and selection", ItemKind::ComboBox,
       [](PageControls& c, int id) {
         const auto before = c.selectedItem(id);
         (void)before;
         c.selectItem(id, -1);
         c.addString(id, u"first test item");
         c.addString(id, u"second test item");
       },
       [](PageControls& c, int id, HWND h) {
         const auto count = static_cast<int>(::SendMessageW(h, CB_GETCOUNT, 0, 0));
         EXPECT_EQ(::SendMessageW(h, CB_GETCURSEL, 0, 0), CB_ERR);  // adding never selects
         c.selectItem(id, count - 1);
         EXPECT_EQ(::SendMessageW(h, CB_GETCURSEL, 0, 0), count - 1);
         EXPECT_EQ(windowText(h), u"second test item");
         c.selectItem(id, count);  // outside the items: no selection
         EXPECT_EQ(::SendMessageW(h, CB_GETCURSEL, 0, 0), CB_ERR);
         EXPECT_EQ(c.selectedItem(id), -1);
         setWindowText(h, u"first test item");  // typed: the item with that very text
         EXPECT_EQ(c.selectedItem(id), count - 2);
         setWindowText(h, u"FIRST TEST ITEM");
         EXPECT_EQ(c.selectedItem(id), -1);
       }},
      {"check box", ItemKind::CheckBox, [](PageControls& c, int id) { c.setCheck(id, 1); },
       [](PageControls& c, int id, HWND h) {
         EXPECT_EQ(::SendMessageW(h, BM_GETCHECK, 0, 0), BST_CHECKED);
         EXPECT_EQ(c.checkState(id), 1);
         c.setCheck(id, 0);
         EXPECT_EQ(::SendMessageW(h, BM_GETCHECK, 0, 0), BST_UNCHECKED);
         EXPECT_EQ(c.checkState(id), 0);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const auto [templateId, id] = firstOfKind(*window_, row.kind);
    ASSERT_NE(id, -1) << "no page has such a control";
    const int page = pageIndex(templateId);
    PageControls& controls = window_->view().pageControls(page);
    row.act(controls, id);
    row.check(controls, id, ::GetDlgItem(window_->page(page), id));
  }
  // An id the page does not have: harmless.
  PageControls& first = window_->view().pageControls(0);
  first.setText(-12345, u"nothing");
  EXPECT_EQ(first.text(-12345), u"");
  EXPECT_EQ(first.selectedItem(-12345), -1);
}

TEST_F(Win32WindowTest, TheMainViewsCallsReachTheWindow) {
  MainView& view = window_->view();
  const HWND chooser = window_->control(IDC_PORT_LIST);
  // The logic filled the chooser with COM0..COM99 and preselected the stored port.
  ASSERT_EQ(::SendMessageW(chooser, CB_GETCOUNT, 0, 0), kPortEntryCount);
  EXPECT_EQ(::SendMessageW(chooser, CB_GETCURSEL, 0, 0), 7);
  view.selectPort(kDemoPort);
  EXPECT_EQ(windowText(chooser), u"COM3");
  EXPECT_EQ(view.selectedPort(), kDemoPort);
  view.selectPort(kPortEntryCount);
  EXPECT_EQ(view.selectedPort(), -1);

  // Read and Write start disabled.
  EXPECT_FALSE(::IsWindowEnabled(window_->control(IDC_READ_SETTINGS)));
  view.enableReadButton(true);
  EXPECT_TRUE(::IsWindowEnabled(window_->control(IDC_READ_SETTINGS)));

  view.setIdentityText(IdentityField::Imei, u"356938035643809");
  EXPECT_EQ(windowText(window_->control(IDC_IMEI)), u"356938035643809");

  view.setProgress(1000);
  EXPECT_EQ(::SendMessageW(window_->control(IDC_PROGRESS), PBM_GETPOS, 0, 0), 1000);
  EXPECT_EQ(::SendMessageW(window_->control(IDC_PROGRESS), PBM_GETRANGE, FALSE, 0), kProgressHigh);

  // The light shows the picture the hidden holder keeps for "online".
  view.showStatusImage(StatusImage::Online);
  EXPECT_EQ(::SendMessageW(window_->control(IDC_STATUS_LIGHT), STM_GETIMAGE, IMAGE_BITMAP, 0),
            ::SendMessageW(window_->control(IDC_ONLINE_IMAGE), STM_GETIMAGE, IMAGE_BITMAP, 0));
  view.showStatusImage(StatusImage::None);
  EXPECT_EQ(::SendMessageW(window_->control(IDC_STATUS_LIGHT), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);

  // The log pane: lone line breaks shown as CR LF, the front dropped in the logic's units.
  const HWND log = window_->control(IDC_LOG);
  ::SetWindowTextW(log, L"");
  view.dropLogFront(window_->logText().size());
  view.appendLog(u"one\ntwo\r\n");
  view.appendLog(u"three");
  EXPECT_EQ(windowText(log), u"one\r\ntwo\r\nthree");
  view.dropLogFront(4);  // "one\n"
  EXPECT_EQ(windowText(log), u"two\r\nthree");
  view.dropLogFront(5);  // "two\r\n"
  EXPECT_EQ(windowText(log), u"three");

  // The page shown follows the logic, the tab strip with it.
  view.setPageVisible(0, false);
  view.setPageVisible(3, true);
  EXPECT_TRUE(shown(window_->page(3)));
  EXPECT_FALSE(shown(window_->page(0)));
  EXPECT_EQ(::SendMessageW(window_->control(IDC_PAGE_TABS), TCM_GETCURSEL, 0, 0), 3);
}

TEST_F(Win32WindowTest, TheProgramsIconAndVersionAreItsResources) {
  EXPECT_NE(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 32, 32, LR_SHARED),
            nullptr);
  const HRSRC version = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_VERSION);
  ASSERT_NE(version, nullptr);
  const HGLOBAL block = ::LoadResource(nullptr, version);
  std::vector<BYTE> copy(static_cast<const BYTE*>(::LockResource(block)),
                         static_cast<const BYTE*>(::LockResource(block)) + ::SizeofResource(nullptr, version));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), PELMORA_VERSION_MAJOR);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), PELMORA_VERSION_MINOR);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), PELMORA_VERSION_PATCH);
}

// The chooser's tooltip names what Windows lists for the device manager
// (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, read here directly) and nothing else.
TEST(Win32PortChooserWords, FollowWindowsComList) {
  std::vector<int> listed;
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    for (DWORD index = 0;; ++index) {
      wchar_t name[256];
      DWORD nameLength = 256;
      wchar_t data[32] = {};
      DWORD bytes = sizeof data - sizeof(wchar_t);
      if (::RegEnumValueW(key, index, name, &nameLength, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &bytes) !=
          ERROR_SUCCESS)
        break;
      const int number = std::wcsncmp(data, L"COM", 3) == 0 ? std::wcstol(data + 3, nullptr, 10) : 0;
      if (number >= 1 && number <= 99) listed.push_back(number);
    }
    ::RegCloseKey(key);
  }
  WindowAssembly::Parts parts;
  parts.port = makeSystemSerialPort({});
  parts.discovery = makePortDiscovery();
  parts.portIndexStore = std::make_unique<testing::FakePortIndexStore>();
  WindowAssembly assembly(std::move(parts));
  for (int port = 1; port <= 99; ++port) {
    const bool present = std::find(listed.begin(), listed.end(), port) != listed.end();
    const std::string expected = "COM" + std::to_string(port) + (present ? ": \\\\.\\COM" + std::to_string(port) +
                                                                               " (found on this machine)"
                                                                         : ": no device");
    EXPECT_EQ(assembly.describePort(port), expected);
  }
}

// A picture saved as PNG: the file's own bytes say PNG, its size and
// 8-bit RGB (PNG signature, then the IHDR chunk, big-endian).
TEST(Win32Screenshots, APictureIsSavedAsPng) {
  const std::vector<std::uint8_t> pixels(3 * 2 * 4, 0x80);
  wchar_t folder[MAX_PATH] = {};
  ASSERT_NE(::GetTempPathW(MAX_PATH, folder), 0u);
  const std::string path = utf8FromUtf16(fromWide(folder)) + "pelmora-png-test.png";
  ASSERT_EQ(writePng(path, {3, 2, pixels}), "");
  std::ifstream file(std::filesystem::path(wide(utf16FromUtf8(path))), std::ios::binary);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  file.close();
  ::DeleteFileW(wide(utf16FromUtf8(path)).c_str());
  const std::vector<unsigned char> expected{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                            0,    0,   0,   3,   0,    0,    0,    2,    8, 2};
  ASSERT_GE(bytes.size(), expected.size());
  EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(expected.size())),
            expected);
  EXPECT_NE(writePng(path, {3, 2, std::span<const std::uint8_t>(pixels).first(8)}).find(path), std::string::npos)
      << "an incomplete picture is refused, naming the file";
}

TEST(Win32Screenshots, FileNamesFollowTheTabsEnglishTitle) {
  struct Row {
    const char* label;
    std::u16string_view title;
    UiLanguage language;
    const char* expected;
  };
  const Row rows[] = {
      {"two words", u"Sms Track", UiLanguage::English, "win32-tab-sms-track.png"},
      {"Russian", u"Sms Track", UiLanguage::Russian, "win32-tab-sms-track-ru.png"},
      {"capitals", u"AGPS", UiLanguage::English, "win32-tab-agps.png"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(ScreenshotTour::fileNameFor(row.title, row.language), row.expected) << row.label;
}

}  // namespace
}  // namespace pelmora
