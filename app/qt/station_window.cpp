#include "app/qt/station_window.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/qt/qt_text.h"
#include "app/qt/ui_language.h"

namespace pelmora {
namespace {

constexpr int kTileColumns = 3;
constexpr int kMarkSize = 80;

// The station's own words in the window's language.
QString stationText(const std::string& words) {
  const QString text = QString::fromStdString(words);
  return uiText(toU16View(text));
}

QFont sized(QFont font, int points, bool bold) {
  font.setPointSize(points);
  font.setBold(bold);
  return font;
}

// The mark's colour and glyph, and the tile's tint, so that a tile reads from afar.
struct MarkLook {
  TileMark mark;
  const char* colour;
  const char* glyph;
  const char* tint;
};
constexpr MarkLook kMarkLooks[] = {
    {TileMark::Working, "#9e9e9e", "\u2026", "#f5f5f5"},
    {TileMark::Good, "#2e7d32", "\u2713", "#e8f5e9"},
    {TileMark::Bad, "#c62828", "\u2717", "#ffebee"},
};

}  // namespace

// One tracker's tile: the big mark, its port, IMEI and step.
class StationTileWidget final : public QFrame {
 public:
  explicit StationTileWidget(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("tile"));
    setFrameShape(QFrame::StyledPanel);
    setFixedWidth(350);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Maximum);
    auto* layout = new QHBoxLayout(this);
    mark_ = new QLabel(this);
    mark_->setFixedSize(kMarkSize, kMarkSize);
    mark_->setAlignment(Qt::AlignCenter);
    mark_->setFont(sized(font(), 36, true));
    layout->addWidget(mark_, 0, Qt::AlignTop);
    auto* words = new QVBoxLayout;
    port_ = new QLabel(this);
    port_->setFont(sized(font(), 18, true));
    imei_ = new QLabel(this);
    imei_->setFont(sized(font(), 13, false));
    imei_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    step_ = new QLabel(this);
    step_->setFont(sized(font(), 15, true));
    step_->setWordWrap(true);  // "готово ранее — отключите" is longer than a tile
    failure_ = new QLabel(this);
    failure_->setWordWrap(true);
    for (QLabel* label : {port_, imei_, step_, failure_}) words->addWidget(label);
    layout->addLayout(words, 1);
  }

  void show(const StationTile& tile) {
    tile_ = tile;
    for (const MarkLook& look : kMarkLooks) {
      if (look.mark != tile.mark) continue;
      setStyleSheet(QStringLiteral("QFrame#tile { background: %1; border: 1px solid #bdbdbd; border-radius: 6px; }")
                        .arg(QLatin1String(look.tint)));
      mark_->setText(QString::fromUtf8(look.glyph));
      mark_->setStyleSheet(QStringLiteral("QLabel { background: %1; color: white; border-radius: %2px; }")
                               .arg(QLatin1String(look.colour))
                               .arg(kMarkSize / 2));
    }
    port_->setText(QString::fromStdString(tile.portName));
    port_->setToolTip(QString::fromStdString(tile.adapter));
    imei_->setText(tile.imei.empty() ? QString() : QStringLiteral("IMEI ") + QString::fromStdString(tile.imei));
    step_->setText(stationText(tile.step));
    failure_->setText(QString::fromStdString(tile.failure));
    failure_->setVisible(!tile.failure.empty());
  }
  const StationTile& tile() const { return tile_; }

 private:
  StationTile tile_;
  QLabel* mark_;
  QLabel* port_;
  QLabel* imei_;
  QLabel* step_;
  QLabel* failure_;
};

StationWindow::StationWindow(StationViewLogic::MachineryMaker machinery, Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window), logic_(*this, clock, std::move(machinery)) {
  setWindowTitle(uiText(u"Station"));
  auto* layout = new QVBoxLayout(this);

  auto* choices = new QGridLayout;
  const QString settingsFilter = uiText(u"Settings files (*.json *.pelmora-image)");
  const QString allFiles = uiText(u"All files (*)");
  struct Choice {
    const char16_t* label;
    QLineEdit** edit;
    const char16_t* title;
    QString filters;
    bool forWriting;
  };
  const Choice rows[] = {
      {u"Profile:", &profile_, u"Choose Profile", settingsFilter + QStringLiteral(";;") + allFiles, false},
      {u"Values (optional):", &values_, u"Choose Values File", uiText(u"CSV files (*.csv)") + QStringLiteral(";;") + allFiles,
       false},
      {u"Record:", &record_, u"Choose Record File", uiText(u"Record files (*.jsonl)") + QStringLiteral(";;") + allFiles,
       true},
  };
  int row = 0;
  for (const Choice& choice : rows) {
    *choice.edit = new QLineEdit(this);
    QLineEdit* edit = *choice.edit;
    auto* browse = new QPushButton(uiText(u"Browse\u2026"), this);
    const QString title = uiText(choice.title);
    const QString filters = choice.filters;
    const bool forWriting = choice.forWriting;
    connect(browse, &QPushButton::clicked, this, [=, this] { choose(edit, title, filters, forWriting); });
    choices->addWidget(new QLabel(uiText(choice.label), this), row, 0);
    choices->addWidget(edit, row, 1);
    choices->addWidget(browse, row, 2);
    ++row;
  }
  record_->setText(QString::fromUtf8(station::kDefaultRecordFile));
  layout->addLayout(choices);

  auto* buttons = new QHBoxLayout;
  start_ = new QPushButton(uiText(u"Start"), this);
  stop_ = new QPushButton(uiText(u"Stop"), this);
  for (QPushButton* button : {start_, stop_}) {
    button->setFont(sized(font(), 12, true));
    button->setMinimumWidth(140);
  }
  phaseLine_ = new QLabel(this);
  phaseLine_->setFont(sized(font(), 12, false));
  buttons->addWidget(start_);
  buttons->addWidget(stop_);
  buttons->addWidget(phaseLine_, 1);
  layout->addLayout(buttons);
  connect(start_, &QPushButton::clicked, this, [this] {
    problem_->clear();
    logic_.start({profile_->text().toStdString(), values_->text().toStdString(), record_->text().toStdString()});
  });
  connect(stop_, &QPushButton::clicked, this, [this] { logic_.stop(); });

  problem_ = new QLabel(this);
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("QLabel { color: #c62828; }"));
  problem_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(problem_);

  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  auto* board = new QWidget(scroll);
  grid_ = new QGridLayout(board);
  grid_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  scroll->setWidget(board);
  layout->addWidget(scroll, 1);

  totals_ = new QLabel(this);
  totals_->setFont(sized(font(), 16, true));
  layout->addWidget(totals_);
  recordPath_ = new QLabel(this);
  recordPath_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(recordPath_);

  showTotals({});
  showPhase(StationPhase::Choosing);
  resize(1100, 640);
  ticks_.setInterval(StationViewLogic::kLookEveryMs);
  connect(&ticks_, &QTimer::timeout, this, [this] { logic_.tick(); });
}

StationWindow::~StationWindow() = default;

std::map<int, StationTile> StationWindow::shownTiles() const {
  std::map<int, StationTile> shown;
  for (const auto& [port, tile] : tiles_) shown[port] = tile->tile();
  return shown;
}

void StationWindow::closeEvent(QCloseEvent* event) {
  if (logic_.requestClose())
    event->accept();
  else
    event->ignore();  // closeNow() follows once the jobs on the line are recorded
}

void StationWindow::choose(QLineEdit* edit, const QString& title, const QString& filters, bool forWriting) {
  const QString path = forWriting
                           ? QFileDialog::getSaveFileName(this, title, edit->text(), filters, nullptr,
                                                          QFileDialog::DontConfirmOverwrite)
                           : QFileDialog::getOpenFileName(this, title, edit->text(), filters);
  if (!path.isEmpty()) edit->setText(path);
}

void StationWindow::showTile(const StationTile& tile) {
  auto [it, added] = tiles_.try_emplace(tile.port, nullptr);
  if (added) it->second = new StationTileWidget(grid_->parentWidget());
  it->second->show(tile);
  if (added) layTiles();
}

void StationWindow::removeTile(int port) {
  const auto found = tiles_.find(port);
  if (found == tiles_.end()) return;
  delete found->second;
  tiles_.erase(found);
  layTiles();
}

void StationWindow::layTiles() {
  int index = 0;
  for (const auto& [port, tile] : tiles_) {
    grid_->addWidget(tile, index / kTileColumns, index % kTileColumns, Qt::AlignTop);
    tile->setVisible(true);
    ++index;
  }
}

void StationWindow::showTotals(const station::StationTotals& totals) {
  totals_->setText(uiText(u"Done: %1").arg(totals.done) + QStringLiteral("    ") +
                   uiText(u"Failed: %1").arg(totals.failed) + QStringLiteral("    ") +
                   uiText(u"This hour: %1").arg(totals.doneThisHour) + QStringLiteral("    ") +
                   uiText(u"Done earlier: %1").arg(totals.doneEarlier));
}

void StationWindow::showRecordPath(const std::string& path) {
  recordPath_->setText(uiText(u"Record: %1").arg(QString::fromStdString(path)));
}

void StationWindow::showPhase(StationPhase phase) {
  struct PhaseLook {
    StationPhase phase;
    const char16_t* words;
    bool choosing;  // the choices and Start can be used
  };
  static constexpr PhaseLook kLooks[] = {
      {StationPhase::Choosing, u"Choose a profile, then Start.", true},
      {StationPhase::Running, u"Running: plug trackers into the station's ports.", false},
      {StationPhase::Stopping, u"Stopping: the trackers on the line are finished and recorded\u2026", false},
      {StationPhase::Stopped, u"Stopped.", true},
  };
  for (const PhaseLook& look : kLooks) {
    if (look.phase != phase) continue;
    phaseLine_->setText(uiText(look.words));
    for (QWidget* widget : {static_cast<QWidget*>(profile_), static_cast<QWidget*>(values_),
                            static_cast<QWidget*>(record_), static_cast<QWidget*>(start_)})
      widget->setEnabled(look.choosing);
    stop_->setEnabled(phase == StationPhase::Running);
  }
  if (phase == StationPhase::Running || phase == StationPhase::Stopping)
    ticks_.start();
  else
    ticks_.stop();
}

void StationWindow::showProblem(const std::string& message) { problem_->setText(QString::fromStdString(message)); }

void StationWindow::closeNow() { close(); }

void openStationWindow(QWidget* parent, TraceSink* trace) {
  static SystemClock clock;  // stateless, lives as long as any window
  auto* window = new StationWindow(userStationMachinery(trace), clock, parent);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

}  // namespace pelmora
