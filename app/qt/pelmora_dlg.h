#pragma once
// CPelmoraDlg: the main window, built from template 102 with the six pages
// inside its tab control. It forwards every event to MainWindowLogic and
// draws what the logic tells it (MainView). What it runs on (the port, the
// settings, the trace, the link engine) it receives from the program's
// assembly (app/window_assembly.h) and owns none of. The link engine's
// threads reach it only through GuiThreadWindow.
//
// Closing it (Escape, the close box) stops the link first: notifications
// are no longer taken, which releases every engine thread waiting for the
// window, and the engine's threads are ended and joined.

#include <QDialog>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/main_view.h"
#include "app/main_window_logic.h"
#include "app/qt/gui_thread_window.h"
#include "app/qt/qt_page_controls.h"
#include "app/qt/template_builder.h"
#include "app/window_assembly.h"
#include "link/link_engine.h"

class QAction;
class QMenuBar;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace pelmora {

class PageTabs;
class PortChooser;

class CPelmoraDlg final : public QDialog, private MainView {
 public:
  // Starts the assembly's link engine; `assembly` must outlive the window.
  explicit CPelmoraDlg(WindowAssembly& assembly, QWidget* parent = nullptr);
  ~CPelmoraDlg() override;
  CPelmoraDlg(const CPelmoraDlg&) = delete;
  CPelmoraDlg& operator=(const CPelmoraDlg&) = delete;

  void showAbout() override;

  // --- For the screenshot tour and the tests ---------------------------
  // A control of template 102 by id (nullptr for an unknown one).
  QWidget* control(int id) const;
  PageTabs* pageTabs() const { return tabs_; }
  QWidget* page(int index) const { return pages_.at(static_cast<std::size_t>(index)).widget; }
  QtPageControls& controlsOf(int index) { return *pages_.at(static_cast<std::size_t>(index)).controls; }
  // Where every page sits in the tab control's client area.
  QRect pageRect() const;
  StatusImage shownStatusImage() const { return shownStatus_; }
  // The log pane's text as the logic wrote it, CR LF and all.
  const QString& logText() const { return logText_; }
  MainWindowLogic& logic() { return logic_; }
  // The menu bar's action of row `row` of kMenuItems.
  QAction* menuAction(std::size_t row) const { return menuActions_.at(row); }
  // The count as the logic shows it, for a test of the widest one.
  void showChangeCountForTest(std::u16string_view text) { showChangeCount(text); }

 protected:
  void done(int result) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Page {
    QWidget* widget = nullptr;
    std::vector<BuiltControl> built;
    std::unique_ptr<QtPageControls> controls;
  };

  // MainView
  void enableReadButton(bool enabled) override;
  void enableWriteButton(bool enabled) override;
  void appendLog(std::u16string_view text) override;
  void dropLogFront(std::size_t units) override;
  void setProgressRange(int low, int high) override;
  void setProgress(int position) override;
  void showStatusImage(StatusImage image) override;
  void addPortEntry(std::u16string_view name) override;
  void selectPort(int index) override;
  int selectedPort() const override;
  void setIdentityText(IdentityField field, std::u16string_view text) override;
  void setPageVisible(int index, bool visible) override;
  PageControls& pageControls(int index) override;
  bool confirm(std::u16string_view question) override;
  Answer ask(std::u16string_view question) override;
  void showChangeCount(std::u16string_view text) override;
  void copyText(std::u16string_view text) override;
  std::optional<std::string> chooseLogFile() override;
  void closeWindow() override;
  std::optional<SaveTarget> chooseSaveFile() override;
  std::optional<std::string> chooseOpenFile() override;
  void showComparison(const Comparison& comparison) override;
  std::optional<std::size_t> chooseEarlierSettings(std::span<const std::u16string> lines) override;
  void openStation() override;
  std::u16string translated(std::u16string_view english) const override;

  void buildPages(PageTabs& tabs);
  void makeRoomForPages();
  void addMenuBar();
  void connectControls();
  void shutDownLink();

  MainWindowLogic logic_;
  GuiThreadWindow notifications_;
  LinkEngine& engine_;  // the assembly's; stopped here before the window goes

  std::vector<BuiltControl> controls_;  // template 102
  std::vector<Page> pages_;             // in tab order
  PageTabs* tabs_ = nullptr;
  PortChooser* portChooser_ = nullptr;
  QPushButton* scanButton_ = nullptr;
  QPushButton* readButton_ = nullptr;
  QPushButton* writeButton_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* statusLight_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  std::array<QLineEdit*, 3> identity_{};  // by IdentityField
  std::vector<QAction*> menuActions_;  // by row of kMenuItems
  QMenuBar* menuBar_ = nullptr;
  QLabel* changeCount_ = nullptr;
  QRect logPlace_;    // the log pane at the smallest size; it takes whatever the window adds
  QSize smallest_;
  WindowAssembly& assembly_;

  QPixmap onlineImage_;
  QPixmap offlineImage_;
  StatusImage shownStatus_ = StatusImage::Offline;
  QString logText_;
  QTimer statusTimer_;
  bool placed_ = false;
  bool linkStopped_ = false;
};

}  // namespace pelmora
