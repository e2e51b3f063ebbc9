#pragma once
// The last chosen port index in the user's settings file
// (link/user_settings_file.h): value COMM of group [General], as decimal
// text, where earlier versions of the window kept it too. Saving changes
// that one value and no other byte of the file; the file is made by the
// first save. Failures are silent: an unreadable value reads as nothing,
// a file that cannot be used or written keeps nothing.

#include <string>
#include <utility>

#include "app/port_index_store.h"

namespace pelmora {

class FilePortIndexStore final : public PortIndexStore {
 public:
  // Values longer than this, terminator included, cannot be read whole.
  static constexpr int kMaxValueBytes = 260;

  explicit FilePortIndexStore(std::string path) : path_(std::move(path)) {}

  std::optional<std::u16string> readPortIndex() override;
  void writePortIndex(std::u16string_view text) override;

 private:
  std::string path_;
};

}  // namespace pelmora
