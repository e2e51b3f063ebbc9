#pragma once
// The main window's menu bar as data: each row a menu item with its English
// caption, its shortcut and the logic's handler. The tracker's three
// commands take F5, F6 and F7, in the buttons' order; no plain letter
// shortcut writes to a tracker (Ctrl+W closes windows elsewhere). The Qt and the Win32 window
// both build their menus (and their shortcuts) by looping over this table;
// another item is one more row.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/main_window_logic.h"

namespace pelmora {

enum class WindowMenu : std::uint8_t { File, Tracker, Help };

struct MenuTitle {
  WindowMenu menu;
  std::u16string_view caption;  // '&' marks the access key
};
inline constexpr std::array kMenuTitles{
    MenuTitle{WindowMenu::File, u"&File"},
    MenuTitle{WindowMenu::Tracker, u"&Tracker"},
    MenuTitle{WindowMenu::Help, u"&Help"},
};

// A shortcut: Ctrl (and Shift) with a letter, or a function key alone.
struct MenuKey {
  bool ctrl = false;
  bool shift = false;
  char letter = 0;       // 'A'..'Z'; 0 for a function key
  int functionKey = 0;   // 1..12; 0 for a letter
  bool none() const { return letter == 0 && functionKey == 0; }
};
inline constexpr MenuKey kNoKey{};
constexpr MenuKey ctrlKey(char letter) { return {true, false, letter, 0}; }
constexpr MenuKey ctrlShiftKey(char letter) { return {true, true, letter, 0}; }
constexpr MenuKey functionKey(int number) { return {false, false, 0, number}; }

// "Ctrl+Shift+S", "F5": as the menus show it (the same in every language).
std::u16string menuKeyText(MenuKey key);

struct MenuItem {
  WindowMenu menu;
  std::u16string_view caption;
  MenuKey key;
  void (MainWindowLogic::*run)();
  bool separatorBefore = false;  // a line above the item
};

inline constexpr std::array kMenuItems{
    MenuItem{WindowMenu::File, u"Open Settings\u2026", ctrlKey('O'), &MainWindowLogic::onOpenSettings},
    MenuItem{WindowMenu::File, u"Save Settings As\u2026", ctrlKey('S'), &MainWindowLogic::onSaveSettings},
    MenuItem{WindowMenu::File, u"Compare with Tracker\u2026", ctrlKey('D'), &MainWindowLogic::onCompareWithTracker},
    MenuItem{WindowMenu::File, u"Restore Earlier Settings\u2026", ctrlKey('R'), &MainWindowLogic::onRestoreEarlier},
    MenuItem{WindowMenu::File, u"Station\u2026", kNoKey, &MainWindowLogic::onStation, true},
    MenuItem{WindowMenu::File, u"Save Log As\u2026", ctrlShiftKey('S'), &MainWindowLogic::onSaveLog, true},
    MenuItem{WindowMenu::File, u"Copy Log", ctrlShiftKey('C'), &MainWindowLogic::onCopyLog},
    MenuItem{WindowMenu::File, u"Quit", ctrlKey('Q'), &MainWindowLogic::onQuit, true},
    MenuItem{WindowMenu::Tracker, u"Scan Ports", functionKey(5), &MainWindowLogic::onScanPorts},
    MenuItem{WindowMenu::Tracker, u"Read Settings", functionKey(6), &MainWindowLogic::onReadSettings},
    MenuItem{WindowMenu::Tracker, u"Write Settings", functionKey(7), &MainWindowLogic::onWriteSettings},
    MenuItem{WindowMenu::Help, u"About Pelmora", functionKey(1), &MainWindowLogic::onAbout},
};

}  // namespace pelmora
