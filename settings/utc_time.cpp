#include "settings/utc_time.h"

#include <cstdio>

namespace pelmora {

std::string utcTimeText(std::chrono::system_clock::time_point when, UtcPrecision precision, char timeSeparator) {
  using namespace std::chrono;
  const auto ms = floor<milliseconds>(when);
  const auto day = floor<days>(ms);
  const year_month_day date{day};
  const hh_mm_ss time{ms - day};
  char text[32];
  int length = std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d%c%02d%c%02d", static_cast<int>(date.year()),
                             static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                             static_cast<int>(time.hours().count()), timeSeparator,
                             static_cast<int>(time.minutes().count()), timeSeparator,
                             static_cast<int>(time.seconds().count()));
  if (length < 0) return {};
  if (precision == UtcPrecision::Milliseconds)
    length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), ".%03d",
                            static_cast<int>(time.subseconds().count()));
  return std::string(text, static_cast<std::size_t>(length)) + "Z";
}

}  // namespace pelmora
