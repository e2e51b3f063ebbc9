#pragma once
// File names, settings messages and the settings file are UTF-8; the window
// shows UTF-16.

#include <string>
#include <string_view>

namespace pelmora {

std::u16string utf16(std::string_view text);

}  // namespace pelmora
