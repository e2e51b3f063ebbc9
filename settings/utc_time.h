#pragma once
// A moment as UTC text in the ISO 8601 form records and file names use:
// "2026-12-07T17:20:05Z", or with milliseconds "2026-12-07T17:20:05.123Z".
// Text of this form sorts as the time does.

#include <chrono>
#include <string>

namespace pelmora {

enum class UtcPrecision : bool { Seconds, Milliseconds };

// `timeSeparator` ':' as people read it; '-' where a file name holds it (Windows refuses ':').
std::string utcTimeText(std::chrono::system_clock::time_point when, UtcPrecision precision,
                        char timeSeparator = ':');

}  // namespace pelmora
