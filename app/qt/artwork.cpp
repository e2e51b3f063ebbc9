#include "app/qt/artwork.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRadialGradient>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <array>
#include <cmath>
#include <numbers>

#include "app/main_window_template.h"

namespace pelmora {
namespace {

// Colours shared by the drawings.
const QColor kInk{0x1b, 0x3f, 0x6b};
const QColor kBlue{0x2a, 0x6f, 0xc4};
const QColor kPaleBlue{0xe3, 0xee, 0xfb};
const QColor kSteel{0x5c, 0x66, 0x70};
const QColor kAlarmRed{0xc9, 0x2a, 0x2a};

QFont pictureFont(int pixelSize) {
  QFont font{QStringLiteral("DejaVu Sans")};
  font.setPixelSize(pixelSize);
  font.setBold(true);
  return font;
}

void centredText(QPainter& p, const QRectF& box, const QString& text, int pixelSize, const QColor& colour) {
  p.setFont(pictureFont(pixelSize));
  p.setPen(colour);
  p.drawText(box, Qt::AlignCenter, text);
}

// --- Application icon: the PNG sizes rendered from packaging/'s SVG at build
// time, so the window shows the picture the desktop's menu shows -------------
QIcon applicationIcon() {
  QIcon icon;
  for (const QFileInfo& png : QDir(QStringLiteral(":/icons")).entryInfoList(QDir::Files))
    icon.addFile(png.filePath());
  return icon;
}

void drawApp(QPainter& p) { applicationIcon().paint(&p, QRect(0, 0, 32, 32)); }

// --- Sms Track: a speech bubble saying SMS ---------------------------------
void drawSms(QPainter& p) {
  QPainterPath bubble;
  bubble.addRoundedRect(QRectF(2, 4, 28, 19), 5, 5);
  QPainterPath tail;
  tail.moveTo(7, 21);
  tail.lineTo(6, 29);
  tail.lineTo(14, 22);
  tail.closeSubpath();
  bubble = bubble.united(tail);
  QLinearGradient fill(0, 4, 0, 28);
  fill.setColorAt(0, Qt::white);
  fill.setColorAt(1, kPaleBlue);
  p.setBrush(fill);
  p.setPen(QPen(kBlue, 1.6));
  p.drawPath(bubble);
  centredText(p, QRectF(2, 4, 28, 19), QStringLiteral("SMS"), 9, kInk);
}

// --- Key Binding: a keypad with the SOS key in red ------------------------
void drawKeypad(QPainter& p) {
  const std::array<QRectF, 4> keys{QRectF(2.5, 2.5, 12.5, 12.5), QRectF(17, 2.5, 12.5, 12.5),
                                   QRectF(2.5, 17, 12.5, 12.5), QRectF(17, 17, 12.5, 12.5)};
  const std::array<const char*, 3> labels{"1", "2", "3"};
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const bool sos = i == 3;
    QLinearGradient face(keys[i].topLeft(), keys[i].bottomLeft());
    face.setColorAt(0, sos ? QColor(0xee, 0x5a, 0x52) : QColor(0xfa, 0xfa, 0xfa));
    face.setColorAt(1, sos ? kAlarmRed : QColor(0xc8, 0xcf, 0xd8));
    p.setBrush(face);
    p.setPen(QPen(sos ? QColor(0x8a, 0x16, 0x16) : kSteel, 1));
    p.drawRoundedRect(keys[i], 3, 3);
    if (sos)
      centredText(p, keys[i], QStringLiteral("!"), 10, Qt::white);
    else
      centredText(p, keys[i], QString::fromLatin1(labels[i]), 9, kInk);
  }
}

// --- APN: an antenna mast sending radio waves --------------------------------
void drawAntenna(QPainter& p) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kBlue, 1.8, Qt::SolidLine, Qt::RoundCap));
  for (const double r : {5.5, 10.0}) {
    const QRectF arc(16 - r, 9 - r, 2 * r, 2 * r);
    p.drawArc(arc, 130 * 16, 100 * 16);   // left
    p.drawArc(arc, -50 * 16, 100 * 16);   // right
  }
  p.setPen(QPen(kSteel, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(16, 11), QPointF(10, 30));
  p.drawLine(QPointF(16, 11), QPointF(22, 30));
  p.setPen(QPen(kSteel, 1.2));
  p.drawLine(QPointF(13.3, 19.5), QPointF(18.7, 19.5));
  p.drawLine(QPointF(11.8, 24.5), QPointF(20.2, 24.5));
  p.drawLine(QPointF(13.3, 19.5), QPointF(20.2, 24.5));
  p.setPen(Qt::NoPen);
  p.setBrush(kAlarmRed);
  p.drawEllipse(QPointF(16, 9), 2.6, 2.6);
}

// --- AGPS: a satellite over the earth -----------------------------------------
void drawSatellite(QPainter& p) {
  // The earth's horizon along the bottom edge.
  QRadialGradient earth(QPointF(16, 40), 26);
  earth.setColorAt(0.7, QColor(0x4c, 0xa8, 0x5a));
  earth.setColorAt(1, QColor(0x2e, 0x7d, 0x3c));
  p.setPen(Qt::NoPen);
  p.setBrush(earth);
  p.drawEllipse(QPointF(16, 52), 26, 25);

  // Signals down to it.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kBlue, 1.5, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(10, 9, 12, 12), 235 * 16, 70 * 16);
  p.drawArc(QRectF(6.5, 5.5, 19, 19), 240 * 16, 60 * 16);

  p.save();
  p.translate(16, 11);
  p.rotate(-25);
  QLinearGradient panel(0, -4, 0, 4);
  panel.setColorAt(0, QColor(0x4a, 0x90, 0xe6));
  panel.setColorAt(1, QColor(0x17, 0x4a, 0x8c));
  p.setPen(QPen(kSteel, 1.2));
  p.drawLine(QPointF(-6, 0), QPointF(6, 0));
  p.setBrush(panel);
  p.setPen(QPen(kInk, 0.8));
  for (const double x : {-15.5, 5.5}) {
    p.drawRect(QRectF(x, -4, 10, 8));
    p.drawLine(QPointF(x + 5, -4), QPointF(x + 5, 4));
  }
  p.setBrush(QColor(0xe8, 0xb8, 0x40));
  p.setPen(QPen(QColor(0x8a, 0x64, 0x10), 0.8));
  p.drawRoundedRect(QRectF(-3.5, -4, 7, 8), 1.5, 1.5);
  p.restore();
}

// --- Transport: three connected network nodes --------------------------------
void drawNetwork(QPainter& p) {
  const std::array<QPointF, 3> nodes{QPointF(16, 7), QPointF(6.5, 25), QPointF(25.5, 25)};
  p.setPen(QPen(kSteel, 1.8, Qt::SolidLine, Qt::RoundCap));
  for (std::size_t i = 0; i < nodes.size(); ++i) p.drawLine(nodes[i], nodes[(i + 1) % nodes.size()]);
  for (const QPointF& node : nodes) {
    QRadialGradient ball(node - QPointF(1.5, 1.5), 6);
    ball.setColorAt(0, QColor(0x7a, 0xb4, 0xf0));
    ball.setColorAt(1, kBlue);
    p.setBrush(ball);
    p.setPen(QPen(Qt::white, 1.4));
    p.drawEllipse(node, 5.2, 5.2);
  }
  // The data moving along the bottom link.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xf0, 0x9a, 0x1e));
  QPainterPath arrow;
  arrow.moveTo(20, 25);
  arrow.lineTo(15, 21.5);
  arrow.lineTo(15, 28.5);
  arrow.closeSubpath();
  p.drawPath(arrow);
}

// --- Misc: a gear ---------------------------------------------------------------
void drawGear(QPainter& p) {
  constexpr int kTeeth = 8;
  constexpr double kOuter = 14.5;
  constexpr double kInner = 10.5;
  QPainterPath gear;
  for (int i = 0; i < kTeeth * 4; ++i) {
    // Each tooth: two points on the outer circle, two on the inner one.
    const double angle = (i / 4 * 2 * std::numbers::pi / kTeeth) + (i % 4) * (2 * std::numbers::pi / kTeeth / 4) -
                         std::numbers::pi / kTeeth / 4;
    const double radius = (i % 4 == 1 || i % 4 == 2) ? kOuter : kInner;
    const QPointF point(16 + radius * std::cos(angle), 16 + radius * std::sin(angle));
    if (i == 0)
      gear.moveTo(point);
    else
      gear.lineTo(point);
  }
  gear.closeSubpath();
  QPainterPath hole;
  hole.addEllipse(QPointF(16, 16), 4.5, 4.5);
  gear = gear.subtracted(hole);
  QLinearGradient metal(0, 2, 0, 30);
  metal.setColorAt(0, QColor(0xb8, 0xc2, 0xcc));
  metal.setColorAt(1, QColor(0x5f, 0x6b, 0x78));
  p.setBrush(metal);
  p.setPen(QPen(QColor(0x3a, 0x42, 0x4b), 1.1, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
  p.drawPath(gear);
}

// --- Status images: one solid colour each -------------------------------------
void drawGreen(QPainter& p) { p.fillRect(QRectF(0, 0, 48, 48), QColor(0, 255, 0)); }
void drawRed(QPainter& p) { p.fillRect(QRectF(0, 0, 48, 48), QColor(255, 0, 0)); }

// --- Key pictures: the tracker's buttons ----------------------------------------
void drawKey(QPainter& p, double size, const QString& label) {
  const QRectF face(0.5, 0.5, size - 1, size - 1);
  QLinearGradient shade(0, 0, 0, size);
  shade.setColorAt(0, QColor(0xfd, 0xfd, 0xfd));
  shade.setColorAt(1, QColor(0xb9, 0xc2, 0xcc));
  p.setBrush(shade);
  p.setPen(QPen(kSteel, 1));
  p.drawRoundedRect(face, 5, 5);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 255, 255, 200), 1));
  p.drawRoundedRect(face.adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
  centredText(p, face, label, 14, kInk);
}
void drawKey1(QPainter& p) { drawKey(p, 27, QStringLiteral("1")); }
void drawKey2(QPainter& p) { drawKey(p, 27, QStringLiteral("2")); }
void drawKey3(QPainter& p) { drawKey(p, 27, QStringLiteral("3")); }
void drawKeySos(QPainter& p) {
  const QRectF face(0.5, 0.5, 25, 25);
  QRadialGradient shade(QPointF(10, 9), 16);
  shade.setColorAt(0, QColor(0xf2, 0x6a, 0x60));
  shade.setColorAt(1, QColor(0xa8, 0x1c, 0x1c));
  p.setBrush(shade);
  p.setPen(QPen(QColor(0x7a, 0x12, 0x12), 1));
  p.drawEllipse(face);
  centredText(p, face, QStringLiteral("SOS"), 8, Qt::white);
}

struct Artwork {
  int id;
  int width;
  int height;
  void (*draw)(QPainter&);
};

constexpr int kKeyButton1 = 135;
constexpr int kKeyButton2 = 136;
constexpr int kKeyButton3 = 137;
constexpr int kKeyButtonSos = 134;

constexpr std::array kArtwork{
    Artwork{IDI_APP, 32, 32, drawApp},
    Artwork{IDI_SMS_TRACK_TAB, 32, 32, drawSms},
    Artwork{IDI_KEY_BINDING_TAB, 32, 32, drawKeypad},
    Artwork{IDI_APN_TAB, 32, 32, drawAntenna},
    Artwork{IDI_AGPS_TAB, 32, 32, drawSatellite},
    Artwork{IDI_TRANSPORT_TAB, 32, 32, drawNetwork},
    Artwork{IDI_MISC_TAB, 32, 32, drawGear},
    Artwork{IDB_ONLINE, 48, 48, drawGreen},
    Artwork{IDB_OFFLINE, 48, 48, drawRed},
    Artwork{kKeyButton1, 27, 27, drawKey1},
    Artwork{kKeyButton2, 27, 27, drawKey2},
    Artwork{kKeyButton3, 27, 27, drawKey3},
    Artwork{kKeyButtonSos, 26, 26, drawKeySos},
};

const Artwork* findArtwork(int id) {
  for (const Artwork& artwork : kArtwork)
    if (artwork.id == id) return &artwork;
  return nullptr;
}

QPixmap paint(const Artwork& artwork, qreal ratio) {
  QPixmap pixmap(QSize(artwork.width, artwork.height) * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  artwork.draw(painter);
  return pixmap;
}

}  // namespace

QSize artworkSize(int resourceId) {
  const Artwork* artwork = findArtwork(resourceId);
  return artwork == nullptr ? QSize() : QSize(artwork->width, artwork->height);
}

QPixmap artworkPixmap(int resourceId) {
  const Artwork* artwork = findArtwork(resourceId);
  if (artwork == nullptr) return {};
  return paint(*artwork, qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0);
}

QIcon artworkIcon(int resourceId) {
  const Artwork* artwork = findArtwork(resourceId);
  if (artwork == nullptr) return {};
  if (resourceId == IDI_APP) return applicationIcon();  // every size, for the task bar and the switcher
  QIcon icon;
  for (const qreal ratio : {1.0, 2.0}) icon.addPixmap(paint(*artwork, ratio));
  return icon;
}

}  // namespace pelmora
