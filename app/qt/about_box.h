#pragma once
// CAboutDlg: the About box, built from template 100. It adds nothing to
// the dialog: "OK" or Escape closes it.

#include <QDialog>

namespace pelmora {

class CAboutDlg final : public QDialog {
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace pelmora
