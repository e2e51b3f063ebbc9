#pragma once
// Dialog templates as data: every item of a page (and of the main window
// and the About box) with its id, kind, style, text and position in dialog
// units, in template order, which is also the Tab order: the inputs of a
// page stand row by row, left to right, group box by group box. The texts
// are English (the Misc page keeps a Russian twin); the view shows them
// translated into the user's language. The Qt view builds
// its widgets from these tables; nothing about a window's look lives
// anywhere else.

#include <cstdint>
#include <span>
#include <string_view>

namespace pelmora {

enum class ItemKind : std::uint8_t {
  StaticText,
  GroupBox,
  Edit,
  IpAddress,
  CheckBox,
  ComboBox,     // drop-down with an editable field
  Bitmap,       // static picture; `image` names the resource
  PushButton,
  ProgressBar,
  TabControl,
  Icon,
};

// Style bits; combine with |.
enum ItemStyle : std::uint32_t {
  StyleNone = 0,
  StyleDigitsOnly = 1u << 0,
  StyleHidden = 1u << 1,
  StyleAlignRight = 1u << 2,
  StyleAlignCenter = 1u << 3,
  StyleReadOnly = 1u << 4,
  StyleMultiline = 1u << 5,
  StyleBorder = 1u << 6,
  StyleAutoHScroll = 1u << 7,
  StyleAutoVScroll = 1u << 8,
  StyleVScrollBar = 1u << 9,
  StyleWantReturn = 1u << 10,
  StyleWordWrap = 1u << 11,    // check boxes and multi-line edits wrap their text
  StyleImageCentred = 1u << 12,
  StyleDefaultButton = 1u << 13,
  StyleNotStored = 1u << 14,   // an input the tracker keeps no value for: disabled, a tooltip says why
};

inline constexpr std::u16string_view kNotStoredTip = u"The tracker keeps no such value.";

struct DialogRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

inline constexpr int kNoId = -1;

struct TemplateItem {
  int id = kNoId;  // kNoId for labels and group boxes without an id
  ItemKind kind = ItemKind::StaticText;
  std::uint32_t style = StyleNone;
  std::u16string_view text;
  DialogRect rect;
  int image = 0;  // bitmap or icon resource, for Bitmap and Icon items
};

struct DialogTemplate {
  int id = 0;
  std::u16string_view caption;  // empty for child pages
  int width = 0;                // dialog units
  int height = 0;
  std::u16string_view fontFace;
  int fontPointSize = 0;
  std::span<const TemplateItem> items;

  const TemplateItem* find(int itemId) const {
    for (const TemplateItem& item : items)
      if (item.id == itemId) return &item;
    return nullptr;
  }
};

}  // namespace pelmora
