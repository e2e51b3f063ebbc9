#pragma once
// The byte layouts of the settings image: the layouts as one table, and the
// fields as another whose placements have one column per layout.
//
//   Basic    3180 bytes, body only; its magic 0xF6860000 is implied.
//   Extended 3384 bytes: magic and firmware text (68 bytes), the body with
//            ApnName widened from 64 to 100 units, then the IMEI.
//
// Integers and the float are 32-bit little-endian; texts are fixed-width
// UTF-16LE, NUL-padded, without a terminator when they fill their width.
// Every byte of each layout belongs to exactly one row (a test proves it).
//
// A new layout is an enumerator and a row of kLayoutTable here, and a column
// of placements in kFields (settings_layout.cpp); everything else reads
// these tables. A word or a name that no row has is refused, never guessed.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "settings/settings_model.h"

namespace pelmora {

// In the order of kLayoutTable's rows.
enum class Layout : std::uint8_t { Basic = 0, Extended = 1 };

struct LayoutInfo {
  Layout id;
  std::string_view name;   // as files and messages name it
  std::uint32_t magic;     // its layout word: kLayoutTag in the upper half
  std::size_t size;        // bytes of a whole image
  std::size_t headerSize;  // leading bytes decoded only, written as zeros
  bool magicImplied;       // the image starts with the body, not with the magic
};

// The upper half of every layout word. An image whose first word lacks it
// is of the one layout whose magic is implied.
inline constexpr std::uint32_t kLayoutTag = 0xF686u;

inline constexpr std::array kLayoutTable = {
    LayoutInfo{Layout::Basic, "Basic", 0xF6860000u, 3180, 0, true},
    LayoutInfo{Layout::Extended, "Extended", 0xF6860001u, 3384, 68, false},
};

inline constexpr std::size_t kLayoutCount = kLayoutTable.size();

// Room for an image of any layout.
inline constexpr std::size_t kMaxImageSize =
    std::max_element(kLayoutTable.begin(), kLayoutTable.end(),
                     [](const LayoutInfo& a, const LayoutInfo& b) { return a.size < b.size; })
        ->size;

// The layout whose placements hold every field at its widest: a profile that
// names no layout is kept in its shape (a test proves it is the widest).
inline constexpr Layout kWidestLayout = Layout::Extended;

constexpr std::span<const LayoutInfo> settingsLayouts() { return kLayoutTable; }

constexpr const LayoutInfo& layoutInfo(Layout layout) { return kLayoutTable[static_cast<std::size_t>(layout)]; }

// The layout a layout word names, or nullptr.
constexpr const LayoutInfo* layoutOfMagic(std::uint32_t word) {
  for (const LayoutInfo& layout : kLayoutTable)
    if (layout.magic == word) return &layout;
  return nullptr;
}

// The layout of that name (exactly, case included), or nullptr.
constexpr const LayoutInfo* layoutNamed(std::string_view name) {
  for (const LayoutInfo& layout : kLayoutTable)
    if (layout.name == name) return &layout;
  return nullptr;
}

// The layout whose image carries no magic.
constexpr const LayoutInfo& magicImpliedLayout() {
  return *std::find_if(kLayoutTable.begin(), kLayoutTable.end(), [](const LayoutInfo& l) { return l.magicImplied; });
}

enum class FieldKind : std::uint8_t { U32, I32, F32, Text };

// Where one element of a row sits in one layout; bytes == 0: not in that layout.
struct Placement {
  std::uint16_t offset = 0;
  std::uint16_t bytes = 0;
};

// A model field reached through the table: a number, or a text's units with
// its terminator (the codec never touches the last unit).
using FieldRef = std::variant<std::uint32_t*, std::int32_t*, float*, std::span<char16_t>>;

// What a row is besides its bytes.
enum FieldFlag : std::uint8_t {
  kHeaderField = 1,      // decoded only: written as zeros (a layout's header)
  kIdentityField = 2,    // the tracker's identity, never set from a file
  kOneTrackerField = 4,  // a value that belongs to one tracker (never to a fleet)
};

struct FieldRow {
  // An array's elements are named with the index inside the brackets
  // ("KeySlot[].Word" -> "KeySlot[2].Word"), or after the name when it has
  // none ("SosMessage" -> "SosMessage[0]").
  std::string_view name;
  FieldKind kind;
  std::uint8_t count;   // elements of an array field (1 for a plain field)
  std::uint16_t stride;  // bytes from one element to the next in the block
  std::array<Placement, kLayoutCount> placement;  // indexed by Layout, for element 0
  std::uint8_t flags;  // FieldFlag bits
  FieldRef (*locate)(SettingsModel& model, std::size_t element);

  constexpr Placement at(Layout layout, std::size_t element) const {
    const Placement& p = placement[static_cast<std::size_t>(layout)];
    if (p.bytes == 0) return p;
    return {static_cast<std::uint16_t>(p.offset + element * stride), p.bytes};
  }
};

// All rows, in block order of their first element.
std::span<const FieldRow> settingsFields();

// Reads one element of `row` from a whole image of `layout` into the model,
// or writes it from the model into the image; nothing when the layout lacks
// it. A text reads up to its first zero unit and writes zeros after its end.
void loadFieldElement(const FieldRow& row, std::size_t element, Layout layout, std::span<const std::uint8_t> image,
                      SettingsModel& model);
void storeFieldElement(const FieldRow& row, std::size_t element, Layout layout, const SettingsModel& model,
                       std::span<std::uint8_t> image);

// A whole image of `layout` holding every element of `model`, with the
// layout's own magic (where the image carries one) whatever MagicNumber
// holds: for images made rather than read, such as the simulated tracker's.
std::vector<std::uint8_t> imageOfModel(const SettingsModel& model, Layout layout);

// Whether two models hold the same value in one element (floats by their
// bits, texts by all their units).
bool sameFieldElement(const FieldRow& row, std::size_t element, const SettingsModel& a, const SettingsModel& b);

}  // namespace pelmora
