#pragma once
// Where the port the user chose last is kept between runs, as decimal
// text. The store never reports failures: a store that cannot be read
// gives nothing, one that cannot be written keeps nothing.

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

class PortIndexStore {
 public:
  virtual ~PortIndexStore() = default;
  // The stored text; nothing when there is no store, no value, or a value
  // that cannot be read whole.
  virtual std::optional<std::u16string> readPortIndex() = 0;
  virtual void writePortIndex(std::u16string_view text) = 0;
};

}  // namespace pelmora
