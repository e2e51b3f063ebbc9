#pragma once
// Builds the controls of a dialog template as child windows of `parent`, in
// template order (the Tab order): each item's kind becomes its common
// control, its style bits the control's styles, its rectangle pixels
// through the dialog font. Labels and check boxes whose text needs more
// room than the template gives grow as the Qt window's do (to the left when
// right-aligned). Inputs the tracker keeps no value for are disabled, with
// a tooltip saying why.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>
#include <vector>

#include "app/win32/dialog_font.h"
#include "pages/dialog_template.h"

namespace pelmora {

struct Win32Control {
  const TemplateItem* item;
  HWND window;
};

// Called once each control exists, before the next one is made.
using ControlCreated = std::function<void(const Win32Control&)>;

std::vector<Win32Control> buildControls(const DialogTemplate& dialog, HWND parent, const DialogFont& font,
                                        const ControlCreated& created = {});

// The window class and styles an item becomes (for the tests: the truth is the table).
struct ControlClass {
  const wchar_t* className;
  DWORD style;
  DWORD extendedStyle;
};
ControlClass controlClassOf(const TemplateItem& item);

// The control id Windows keeps for an item: kNoId becomes 0xFFFF, the
// dialog manager's "no id".
int windowIdOf(const TemplateItem& item);

}  // namespace pelmora
