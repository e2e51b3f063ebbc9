#pragma once
// "Compare with Tracker" as the window shows it: a row for each field a
// person sets (one with a catalogue entry) whose value a write would change,
// its values in words; the fields no page shows that would change too are
// only counted.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "settings/field_catalogue.h"
#include "settings/settings_file.h"

namespace pelmora {

struct ComparedField {
  const CatalogueEntry* entry = nullptr;  // its page, label and heading, kind
  std::string tracker;                    // the tracker's value in words: "30 min", "\"apn.com\""
  std::string written;                    // the value a write would send, in words
};

struct Comparison {
  std::vector<ComparedField> rows;  // in table order
  std::size_t otherFields = 0;      // fields without a catalogue entry that differ as well
};

Comparison comparisonOf(std::span<const FieldChange> changes);

}  // namespace pelmora
