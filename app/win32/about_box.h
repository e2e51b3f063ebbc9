#pragma once
// The About box, built from its template (app/main_window_template.h); modal
// over `owner`.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace pelmora {

void showAboutBox(HWND owner);

}  // namespace pelmora
