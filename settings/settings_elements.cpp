#include "settings/settings_elements.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace pelmora {
namespace {

std::string elementName(const FieldRow& row, std::size_t element) {
  std::string name(row.name);
  if (row.count == 1) return name;
  const std::string index = std::to_string(element);
  const std::size_t brackets = name.find("[]");
  if (brackets == std::string::npos) return name + "[" + index + "]";
  return name.insert(brackets + 1, index);
}

std::vector<FieldElement> buildElements() {
  std::vector<FieldElement> elements;
  for (const FieldRow& row : settingsFields())
    for (std::size_t e = 0; e < row.count; ++e) elements.push_back({&row, e, elementName(row, e)});
  return elements;
}

// Edits between two names, letters compared without case.
std::size_t distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
      const std::size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = row[j];
      row[j] = next;
    }
  }
  return row[b.size()];
}

}  // namespace

std::span<const FieldElement> settingsElements() {
  static const std::vector<FieldElement> elements = buildElements();
  return elements;
}

int findElement(std::string_view name) {
  const std::span<const FieldElement> all = settingsElements();
  const auto it = std::find_if(all.begin(), all.end(), [&](const FieldElement& e) { return e.name == name; });
  return it == all.end() ? -1 : static_cast<int>(it - all.begin());
}

std::string_view nearestElementName(std::string_view name) {
  // Known names are short: the start of a long name says as much, and the
  // comparison stays cheap whatever a file holds.
  constexpr std::size_t kComparedCharacters = 64;
  name = name.substr(0, kComparedCharacters);
  std::string_view best;
  std::size_t bestDistance = static_cast<std::size_t>(-1);
  for (const FieldElement& e : settingsElements()) {
    const std::size_t d = distance(name, e.name);
    if (d < bestDistance) {
      bestDistance = d;
      best = e.name;
    }
  }
  return best;
}

}  // namespace pelmora
