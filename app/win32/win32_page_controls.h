#pragma once
// PageControls over the common controls built from a page's template
// (template_controls.h): edits, combo boxes, check boxes, IP-address
// fields, labels and group boxes, found by their template id.
//
// An IP-address field shows a dotted address; a blank part counts as 0 and
// a field with every part blank reads as "". A loaded text that is not a
// dotted address (a host name) cannot be shown by the field: it is kept and
// given back unchanged while the field stays blank, as the Qt window does.

#include <span>
#include <string>
#include <vector>

#include "app/win32/template_controls.h"
#include "pages/page_controls.h"

namespace pelmora {

class Win32PageControls final : public PageControls {
 public:
  explicit Win32PageControls(std::span<const Win32Control> built);
  ~Win32PageControls() override;
  Win32PageControls(const Win32PageControls&) = delete;
  Win32PageControls& operator=(const Win32PageControls&) = delete;

  std::u16string text(int id) const override;
  void setText(int id, std::u16string_view text) override;
  void limitText(int id, int maxChars) override;
  void addString(int id, std::u16string_view item) override;
  void selectItem(int id, int index) override;
  int selectedItem(int id) const override;
  void setCheck(int id, int state) override;
  int checkState(int id) const override;
  void markField(int id, FieldMark mark, std::u16string_view why) override;
  void markChanged(int id, bool changed) override;

  // The control's window, nullptr for an id the page does not have.
  HWND window(int id) const;
  // The mark a control shows and its tooltip's text (None and "" unmarked).
  FieldMark mark(int id) const;
  std::u16string markTip(int id) const;

 private:
  struct Control {
    int id;
    ItemKind kind;
    HWND window;
    std::u16string foreignText;  // IP-address fields only: a loaded text that is not an address
    FieldMark mark = FieldMark::None;
    std::u16string markTip;  // the caption and the rule, as the tooltip shows it
  };
  const Control* find(int id) const;
  Control* find(int id);

  // The label left of `window` on its row; the window itself when it has none.
  HWND labelOf(HWND window) const;

  std::vector<Control> controls_;
  std::vector<HWND> labels_;      // the texts without an id
  HFONT plainFont_ = nullptr;     // the labels' own, not ours
  HFONT boldFont_ = nullptr;      // made on the first changed mark
  HWND tips_ = nullptr;  // one tooltip window for the page's marked controls, made on the first mark
};

}  // namespace pelmora
