#pragma once
// The saved port index in memory, for tests.

#include <optional>
#include <string>
#include <string_view>

#include "app/port_index_store.h"

namespace pelmora::testing {

class FakePortIndexStore final : public PortIndexStore {
 public:
  std::optional<std::u16string> readPortIndex() override { return value; }
  void writePortIndex(std::u16string_view text) override {
    ++writes;
    value = std::u16string(text);
  }

  std::optional<std::u16string> value;
  int writes = 0;
};

}  // namespace pelmora::testing
