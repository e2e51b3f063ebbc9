#pragma once
// The byte layout of the settings image, both variants in one table.
//
//   Basic    3180 bytes, body only; its magic 0xF6860000 is implied.
//   Extended 3384 bytes: magic and firmware text (68 bytes), the body with
//            ApnName widened from 64 to 100 units, then the IMEI.
//
// Integers and the float are 32-bit little-endian; texts are fixed-width
// UTF-16LE, NUL-padded, without a terminator when they fill their width.
// Every byte of each layout belongs to exactly one row (a test proves it).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

#include "settings/settings_model.h"

namespace pelmora {

enum class Layout : std::uint8_t { Basic = 0, Extended = 1 };

inline constexpr std::uint32_t kBasicMagic = 0xF6860000u;
inline constexpr std::uint32_t kExtendedMagic = 0xF6860001u;
inline constexpr std::size_t kBasicSize = 3180;
inline constexpr std::size_t kExtendedSize = 3384;

constexpr std::size_t layoutSize(Layout layout) {
  return layout == Layout::Basic ? kBasicSize : kExtendedSize;
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
  kHeaderField = 1,      // decoded only: written as zeros (the Extended header)
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
  std::array<Placement, 2> placement;  // indexed by Layout, for element 0
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

// Whether two models hold the same value in one element (floats by their
// bits, texts by all their units).
bool sameFieldElement(const FieldRow& row, std::size_t element, const SettingsModel& a, const SettingsModel& b);

}  // namespace pelmora
