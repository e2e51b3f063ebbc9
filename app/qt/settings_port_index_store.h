#pragma once
// The last chosen port index in the user's settings file: value "COMM" of
// the settings of organisation "KVL", application "COMM" (on Linux
// ~/.config/KVL/COMM.conf), as decimal text. The file is made by the first
// save. Failures are silent: an unreadable value reads as nothing.

#include <QSettings>

#include "app/port_index_store.h"

namespace pelmora {

inline constexpr const char* kSettingsOrganisation = "KVL";
inline constexpr const char* kSettingsApplication = "COMM";

class SettingsPortIndexStore final : public PortIndexStore {
 public:
  // Values longer than this, terminator included, cannot be read whole.
  static constexpr int kMaxValueBytes = 260;

  // `settings` must outlive the store.
  explicit SettingsPortIndexStore(QSettings& settings) : settings_(settings) {}

  std::optional<std::u16string> readPortIndex() override;
  void writePortIndex(std::u16string_view text) override;

 private:
  QSettings& settings_;
};

}  // namespace pelmora
