#include "app/qt/port_map_settings.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <string>
#include <utility>
#include <vector>

namespace pelmora {

PortsGroup readPortsGroup(QSettings& settings) {
  const QString ports = QStringLiteral("Ports");
  QFile file(settings.fileName());
  if (settings.format() == QSettings::InvalidFormat || !file.open(QIODevice::ReadOnly)) {
    // Settings kept elsewhere than in a text file (the Windows registry) arrive unmangled.
    std::vector<std::pair<std::string, std::string>> values;
    settings.beginGroup(ports);
    for (const QString& key : settings.childKeys())
      values.emplace_back(key.toStdString(), settings.value(key).toString().trimmed().toStdString());
    settings.endGroup();
    return portsGroupFrom(values);
  }

  PortsGroup group = parsePortsGroup(file.readAll().toStdString());
  settings.beginGroup(ports);
  for (const auto& [key, value] : group.values) {
    const QString qtKey = QString::fromStdString(key);
    const QString literal = QString::fromStdString(value);
    const QVariant misread = settings.value(qtKey);
    if (misread.isValid() && (misread.typeId() != QMetaType::QString || misread.toString() != literal)) settings.setValue(qtKey, literal);
  }
  settings.endGroup();
  return group;
}

PortMapConfig readPortMap(QSettings& settings) { return readPortsGroup(settings).config; }

}  // namespace pelmora
