// parseSettingsJson on arbitrary text. It never throws or crashes, its
// message stays short whatever it quotes, and whatever it accepts writes
// back as JSON that reads as the same document (the same fields named, the
// same bytes), and lays over a tracker's model without touching a field the
// file does not name. The same bytes as a file of any other name are read as
// JSON or as an image, and an image read is the bytes themselves. Every
// refusal is bad input.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelmora;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  constexpr std::size_t kLongestMessage = 1000;  // values quoted are cut to 60 characters

  const SettingsResult<SettingsDocument> file = settingsFromBytes(std::span(data, size), "fuzz.img");
  if (!file) {
    const SettingsError& error = file.error();
    FUZZ_CHECK(error.kind == SettingsErrorKind::BadInput);
    FUZZ_CHECK(error.message.rfind("fuzz.img: ", 0) == 0 && error.message.size() < kLongestMessage);
  } else if (file->complete() && file->bytes().size() == size) {
    const std::span<const std::uint8_t> bytes = file->bytes();
    FUZZ_CHECK(std::equal(bytes.begin(), bytes.end(), data) || text.find('{') != std::string_view::npos);
  }

  const SettingsResult<SettingsDocument> document = parseSettingsJson(text, "fuzz.json");
  if (!document) {
    const SettingsError& error = document.error();
    FUZZ_CHECK(error.kind == SettingsErrorKind::BadInput);
    FUZZ_CHECK(error.message.rfind("fuzz.json: ", 0) == 0 && error.message.size() < kLongestMessage);
    return 0;
  }
  const SettingsResult<SettingsDocument> again = parseSettingsJson(settingsJson(*document), "again.json");
  FUZZ_CHECK(again);
  FUZZ_CHECK(again->named == document->named);
  FUZZ_CHECK(again->layout == document->layout && again->layoutGiven == document->layoutGiven);
  const std::span<const std::uint8_t> a = document->bytes(), b = again->bytes();
  FUZZ_CHECK(std::equal(a.begin(), a.end(), b.begin(), b.end()));

  for (const LayoutInfo& tracker : settingsLayouts()) {
    SettingsModel model;
    model.SmsReportInterval = 0xA5A5A5A5u;
    const SettingsModel before = model;
    const bool refused = !applySettings(*document, tracker.id, model);
    const std::span<const FieldElement> elements = settingsElements();
    for (std::size_t i = 0; i < elements.size(); ++i) {
      const bool applied = document->named[i] && !(elements[i].row->flags & kIdentityField);
      if (refused || !applied) FUZZ_CHECK(sameFieldElement(*elements[i].row, elements[i].element, model, before));
    }
  }
  return 0;
}
