#pragma once
// The last chosen port index in the registry, as decimal text (REG_SZ,
// value COMM): read from the user's key HKCU\Software\KVL\COMM first, else
// from the same key under HKLM, where an existing installation may have left
// it for every user; written to the user's key only, never to HKLM. Values
// longer than kMaxValueBytes (terminator included), or of another type,
// read as nothing. Failures are silent, as PortIndexStore says.

#include <string>
#include <utility>

#include "app/port_index_store.h"

namespace pelmora {

inline constexpr std::wstring_view kPortIndexKey = L"Software\\KVL\\COMM";
inline constexpr std::wstring_view kPortIndexValue = L"COMM";

class RegistryPortIndexStore final : public PortIndexStore {
 public:
  static constexpr int kMaxValueBytes = 260;

  // `keyPath` under HKCU and HKLM (another one for the tests).
  explicit RegistryPortIndexStore(std::wstring keyPath = std::wstring(kPortIndexKey))
      : keyPath_(std::move(keyPath)) {}

  std::optional<std::u16string> readPortIndex() override;
  void writePortIndex(std::u16string_view text) override;

 private:
  std::wstring keyPath_;
};

}  // namespace pelmora
