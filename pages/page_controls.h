#pragma once
// The controls of one settings page, as the page logic sees them. The Qt
// window implements this over real widgets; tests use FakePageControls.
// Control ids are local to a page. Every call on an id the page does not
// have is harmless: reads give empty text / -1 / 0, writes do nothing.

#include <cstdint>
#include <string>
#include <string_view>

namespace pelmora {

// How a field that breaks its rule is marked where it stands.
enum class FieldMark : std::uint8_t {
  None,         // keeps its rule, or is unmarked
  Breach,       // the user's value breaks its rule: Write Settings refuses it
  TrackersOwn,  // the value the tracker sent breaks its rule; it goes back unchanged
};

class PageControls {
 public:
  virtual ~PageControls() = default;

  // The control's whole text.
  virtual std::u16string text(int id) const = 0;
  // Shows `text` whole, even beyond the typing limit.
  virtual void setText(int id, std::u16string_view text) = 0;
  // The most characters the user can type; does not cut a text already shown.
  virtual void limitText(int id, int maxChars) = 0;

  // Choosers (combo boxes).
  virtual void addString(int id, std::u16string_view item) = 0;
  // Selects item `index`; an index outside the items clears the selection.
  virtual void selectItem(int id, int index) = 0;
  // The selected item, -1 for none.
  virtual int selectedItem(int id) const = 0;

  // Check boxes: 0 unchecked, 1 checked.
  virtual void setCheck(int id, int state) = 0;
  virtual int checkState(int id) const = 0;

  // A frame around the control and a tooltip: `why` says what is wrong and
  // the rule (English; the view adds its own words for the mark). None takes
  // the mark away.
  virtual void markField(int id, FieldMark mark, std::u16string_view why) = 0;
  // The control's label (its own text where it has no label of its own)
  // bold while the field differs from what the tracker holds.
  virtual void markChanged(int id, bool changed) = 0;
};

}  // namespace pelmora
