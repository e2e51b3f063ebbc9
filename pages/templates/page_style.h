#pragma once
// What every page template shares: a child dialog without caption or
// border in "Microsoft Sans Serif" at 10 points. Single-line edits are
// bordered and scroll sideways, so that a text wider than the box can still
// be typed up to the edit's limit.

#include <cstdint>
#include <string_view>

#include "pages/dialog_template.h"

namespace pelmora {

inline constexpr std::u16string_view kPageFontFace = u"Microsoft Sans Serif";
inline constexpr int kPageFontPoints = 10;
inline constexpr std::uint32_t kEditStyle = StyleBorder | StyleAutoHScroll;

}  // namespace pelmora
