#pragma once
// The main window on Windows: template 102 built from its data with the six
// pages inside its tab control, each page a child window built from its own
// template. Every event goes to MainWindowLogic; the window draws what the
// logic tells it (MainView). What it runs on (the port, the settings, the
// trace, the link engine) comes from the program's assembly
// (app/window_assembly.h). The link engine's threads reach the window only
// through WindowThreadNotifier: a posted message wakes the window's thread,
// and nothing on that thread waits for the line.
//
// Closing it (Escape, the close box) stops the link first, as the Qt window
// does: notifications are no longer taken, the engine's threads are ended
// and joined, then the window goes and the message loop ends.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/main_view.h"
#include "app/main_window_logic.h"
#include "app/win32/dialog_font.h"
#include "app/win32/template_controls.h"
#include "app/win32/win32_page_controls.h"
#include "app/win32/window_thread_notifier.h"
#include "app/window_assembly.h"

namespace pelmora {

// The menu bar's commands: row i of kMenuItems (app/window_menu.h) is this plus i.
inline constexpr int kFirstMenuCommand = 40001;

class Win32MainWindow final : private MainView {
 public:
  // Creates the window, hidden, and starts the assembly's link engine;
  // `assembly` must outlive the window.
  explicit Win32MainWindow(WindowAssembly& assembly);
  ~Win32MainWindow() override;
  Win32MainWindow(const Win32MainWindow&) = delete;
  Win32MainWindow& operator=(const Win32MainWindow&) = delete;

  HWND handle() const { return window_; }
  // False when a control could not be created (no display): nothing runs then.
  bool made() const { return made_; }
  void show(int showCommand);
  // Shortcuts and Tab between the controls; true when `message` was taken.
  bool preTranslate(MSG& message);
  // Stops the link and destroys the window (the message loop then ends).
  void close();

  // --- For the tests ------------------------------------------------------
  // A control of template 102 by id (nullptr for an unknown one).
  HWND control(int id) const;
  HWND page(int index) const { return pages_.at(static_cast<std::size_t>(index)).window; }
  std::span<const Win32Control> pageBuilt(int index) const { return pages_.at(static_cast<std::size_t>(index)).built; }
  std::span<const Win32Control> built() const { return controls_; }
  Win32PageControls& controlsOf(int index) { return *pages_.at(static_cast<std::size_t>(index)).controls; }
  const DialogFont& pageFont(int index) const { return *pages_.at(static_cast<std::size_t>(index)).font; }
  const DialogFont& font() const { return *font_; }
  MainWindowLogic& logic() { return logic_; }
  StatusImage shownStatusImage() const { return shownStatus_; }
  // The log pane's text as the logic wrote it.
  const std::u16string& logText() const { return logText_; }
  MainView& view() { return *this; }

 private:
  struct Page {
    Win32MainWindow* owner = nullptr;
    int index = 0;
    HWND window = nullptr;
    std::unique_ptr<DialogFont> font;
    std::vector<Win32Control> built;
    std::unique_ptr<Win32PageControls> controls;
  };

  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK pageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onCommand(int id, int code);
  LRESULT onNotify(const NMHDR& header);

  void buildPages(HWND tabs);
  RECT pageRect() const;
  void addTooltips();
  void addMenuBar();
  void showContextMenu(POINT at);
  void placeLog();
  void requestClose();
  void shutDownLink();

  // MainView
  void enableReadButton(bool enabled) override;
  void enableWriteButton(bool enabled) override;
  void appendLog(std::u16string_view text) override;
  void dropLogFront(std::size_t units) override;
  void setProgressRange(int low, int high) override;
  void setProgress(int position) override;
  void showStatusImage(StatusImage image) override;
  void addPortEntry(std::u16string_view name) override;
  void selectPort(int index) override;
  int selectedPort() const override;
  void setIdentityText(IdentityField field, std::u16string_view text) override;
  void setPageVisible(int index, bool visible) override;
  PageControls& pageControls(int index) override;
  bool confirm(std::u16string_view question) override;
  Answer ask(std::u16string_view question) override;
  void showChangeCount(std::u16string_view text) override;
  void copyText(std::u16string_view text) override;
  std::optional<std::string> chooseLogFile() override;
  void showAbout() override;
  void closeWindow() override;
  std::optional<SaveTarget> chooseSaveFile() override;
  std::optional<std::string> chooseOpenFile() override;
  void showComparison(const Comparison& comparison) override;
  std::optional<std::size_t> chooseEarlierSettings(std::span<const std::u16string> lines) override;
  void openStation() override;
  std::u16string translated(std::u16string_view english) const override;

  WindowAssembly& assembly_;
  MainWindowLogic logic_;
  WindowThreadNotifier notifier_;
  LinkEngine& engine_;  // the assembly's; stopped here before the window goes

  HWND window_ = nullptr;
  std::unique_ptr<DialogFont> font_;
  std::vector<Win32Control> controls_;  // template 102
  std::array<Page, PageTable::kRowCount> pages_{};
  HWND tabs_ = nullptr;
  HWND portChooser_ = nullptr;
  HWND progress_ = nullptr;
  HWND statusLight_ = nullptr;
  HWND log_ = nullptr;
  HWND tooltip_ = nullptr;
  HWND changeCount_ = nullptr;
  HMENU menuBar_ = nullptr;
  RECT logPlace_{};       // the log pane at the smallest size; it takes what the window grows by
  SIZE smallestClient_{};
  SIZE smallestFrame_{};
  HACCEL shortcuts_ = nullptr;
  HIMAGELIST tabImages_ = nullptr;
  HBITMAP onlineImage_ = nullptr;
  HBITMAP offlineImage_ = nullptr;
  StatusImage shownStatus_ = StatusImage::Offline;
  std::u16string logText_;
  std::wstring tipText_;          // the chooser's tooltip while it shows
  bool chooserDropped_ = false;  // the user opened the chooser's list
  bool linkStopped_ = false;
  bool made_ = false;
};

}  // namespace pelmora
