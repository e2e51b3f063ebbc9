#include "link/outstanding_request.h"

#include <algorithm>

namespace pelmora {

OutstandingRequests::Entry* OutstandingRequests::find(CommandType type) {
  for (Entry& entry : entries_)
    if (entry.type == type) return &entry;
  return nullptr;
}

void OutstandingRequests::sent(CommandType type, std::uint64_t nowMs) {
  lastDeadlineMs_ = nowMs + kRequestTimeoutMs;
  if (Entry* entry = find(type)) *entry = Entry{type, true, lastDeadlineMs_};
}

bool OutstandingRequests::answer(CommandType type) {
  Entry* entry = find(type);
  if (entry == nullptr || !entry->waiting) return false;
  entry->waiting = false;
  return true;
}

std::optional<CommandType> OutstandingRequests::expire(std::uint64_t nowMs) {
  for (Entry& entry : entries_) {
    if (entry.waiting && nowMs > entry.deadlineMs) {
      entry.waiting = false;
      return entry.type;
    }
  }
  return std::nullopt;
}

std::optional<CommandType> OutstandingRequests::abandon() {
  lastDeadlineMs_ = 0;
  for (Entry& entry : entries_) {
    if (entry.waiting) {
      entry.waiting = false;
      return entry.type;
    }
  }
  return std::nullopt;
}

std::uint64_t OutstandingRequests::waitDeadline(std::uint64_t startMs, std::uint32_t timeoutMs) const {
  return std::max(startMs + timeoutMs, lastDeadlineMs_);
}

}  // namespace pelmora
