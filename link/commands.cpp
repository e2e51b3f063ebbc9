// The command table and the requests made from it.

#include <algorithm>
#include <cstdint>

#include "link/packet.h"

namespace pelmora {

const std::array<CommandEntry, 3> kCommandTable = {{
    {ReadSettings, {}, 0x8801, 0x8801, 0x2008, 0x2008},
    {WriteSettings, {}, 0x8802, 0x8802, 0x2009, 0x2009},
    {Handshake, {}, 0x8803, 0x8803, 0, 0},
}};

const CommandEntry* findCommandByType(std::int32_t type) {
  const auto row = std::find_if(kCommandTable.begin(), kCommandTable.end(),
                                [type](const CommandEntry& entry) { return entry.type == type; });
  return row == kCommandTable.end() ? nullptr : &*row;
}

const CommandEntry* findCommandByReply(std::uint16_t replyCommand) {
  const auto row = std::find_if(kCommandTable.begin(), kCommandTable.end(),
                                [replyCommand](const CommandEntry& entry) { return entry.replyCommand == replyCommand; });
  return row == kCommandTable.end() ? nullptr : &*row;
}

CommandRequest makeRequest(CommandType type) {
  CommandRequest request;
  request.type = type;
  if (const CommandEntry* row = findCommandByType(type)) request.command = row->command;
  std::copy(kDefaultTrackerId.begin(), kDefaultTrackerId.end(), request.trackerId.begin());
  return request;
}

}  // namespace pelmora
