#pragma once
// The model and its codec together with the one lock that keeps a decode
// (on the communication thread) from running while the pages save into the
// model and the write payload is encoded (on the window's thread), and from
// running while the pages load from it.

#include <mutex>

#include "settings/settings_codec.h"
#include "settings/settings_model.h"

namespace pelmora {

struct SharedSettings {
  std::mutex lock;  // guards model and codec together
  SettingsModel model;
  SettingsCodec codec;
};

}  // namespace pelmora
