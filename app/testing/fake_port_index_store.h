#pragma once
// The saved port index in memory, for tests. `available = false` acts as a
// store that cannot be opened: nothing is read, nothing is kept.

#include <optional>
#include <string>
#include <string_view>

#include "app/port_index_store.h"

namespace pelmora::testing {

class FakePortIndexStore final : public PortIndexStore {
 public:
  std::optional<std::u16string> readPortIndex() override {
    if (!available) return std::nullopt;
    return value;
  }
  void writePortIndex(std::u16string_view text) override {
    ++writes;
    if (available) value = std::u16string(text);
  }

  bool available = true;
  std::optional<std::u16string> value;
  int writes = 0;
};

}  // namespace pelmora::testing
