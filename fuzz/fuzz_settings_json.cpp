// parseSettingsJson on arbitrary text. It never throws or crashes, and
// whatever it accepts writes back as JSON that reads as the same document
// (the same fields named, the same bytes), and lays over a tracker's model
// without touching a field the file does not name.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelmora;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const Loaded<SettingsDocument> document = parseSettingsJson(text, "fuzz.json");
  if (!document) {
    FUZZ_CHECK(document.error().rfind("fuzz.json: ", 0) == 0);
    return 0;
  }
  const Loaded<SettingsDocument> again = parseSettingsJson(settingsJson(*document), "again.json");
  FUZZ_CHECK(again);
  FUZZ_CHECK(again->named == document->named);
  FUZZ_CHECK(again->layout == document->layout && again->layoutGiven == document->layoutGiven);
  const std::span<const std::uint8_t> a = document->bytes(), b = again->bytes();
  FUZZ_CHECK(std::equal(a.begin(), a.end(), b.begin(), b.end()));

  for (const Layout tracker : {Layout::Basic, Layout::Extended}) {
    SettingsModel model;
    model.SmsReportInterval = 0xA5A5A5A5u;
    const SettingsModel before = model;
    const bool refused = applySettings(*document, tracker, model).has_value();
    const std::span<const FieldElement> elements = settingsElements();
    for (std::size_t i = 0; i < elements.size(); ++i) {
      const bool applied = document->named[i] && !(elements[i].row->flags & kIdentityField);
      if (refused || !applied) FUZZ_CHECK(sameFieldElement(*elements[i].row, elements[i].element, model, before));
    }
  }
  return 0;
}
