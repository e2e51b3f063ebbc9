#pragma once
// PageControls over the widgets built from a page's template: texts, the
// typing limits of edits, choosers and check boxes, by control id. Calls on
// an id the page does not have do nothing (reads give empty, -1 or 0).
// A marked control has a coloured frame (a style sheet of its own) and a
// tooltip: the mark's words in the user's language, then what is wrong.

#include <QWidget>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/qt/template_builder.h"
#include "pages/page_controls.h"

namespace pelmora {

class QtPageControls final : public PageControls {
 public:
  // The controls with an id among `built`; the widgets must outlive this.
  explicit QtPageControls(std::span<const BuiltControl> built);

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

  QWidget* widget(int id) const;

 private:
  struct Control {
    int id;
    ItemKind kind;
    QWidget* widget;
  };
  const Control* find(int id) const;
  // The label left of `widget` on its row; the widget itself when it has none.
  QWidget* labelOf(const QWidget* widget) const;

  std::vector<Control> controls_;
  std::vector<QWidget*> labels_;  // the texts without an id
};

}  // namespace pelmora
