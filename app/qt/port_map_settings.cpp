#include "app/qt/port_map_settings.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include "link/serial_port.h"

namespace pelmora {
namespace {

// "COM5" (any case) gives 5; anything else gives 0.
int portNumberOf(const QString& key) {
  if (!key.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive)) return 0;
  const QString digits = key.mid(3);
  bool ok = false;
  const int number = digits.toInt(&ok);
  if (!ok || digits != QString::number(number) || !SerialPort::inRange(number)) return 0;
  return number;
}

}  // namespace

PortMapConfig readPortMap(QSettings& settings) {
  PortMapConfig config;
  settings.beginGroup(QStringLiteral("Ports"));
  for (const QString& key : settings.childKeys()) {
    if (key.compare(QStringLiteral("Automatic"), Qt::CaseInsensitive) == 0) {
      config.automatic = settings.value(key).toBool();
      continue;
    }
    const int port = portNumberOf(key);
    const QString path = settings.value(key).toString().trimmed();
    if (port != 0 && !path.isEmpty()) config.explicitEntries.emplace_back(port, path.toStdString());
  }
  settings.endGroup();
  return config;
}

}  // namespace pelmora
