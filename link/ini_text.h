#pragma once
// The text of the user's settings file, an INI file of the shape Qt's
// settings library reads and writes:
//
//   COMM=5              <- keys before the first header belong to [General]
//   [General]           <- that one name in any case; every other as written
//   Language=ru
//   ; a comment (also "#")
//   [Ports]
//   COM5=/dev/ttyUSB0
//
// A key's first entry in its group holds; the same key further down changes
// nothing. Values are kept as written (`raw`) and read by one of two rules:
// the [Ports] rule (literal, port_map_file.h) or the library's rule below.
// A UTF-8 byte order mark at the start is skipped.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

struct IniEntry {
  std::string_view group;  // as the header names it, blanks around it dropped; "" before the first header
  std::string_view key;    // blanks around it dropped; a line without "=" is all key
  std::string_view raw;    // after the first "=" to the line's end, blanks around it dropped
};

// Every key line of `text`, in file order; views into `text`.
std::vector<IniEntry> iniEntries(std::string_view text);

// True when an entry of group `written` belongs to group `wanted`.
bool inGroup(std::string_view written, std::string_view wanted);

// The first value of `key` in `group` as written, or nothing.
std::optional<std::string_view> firstRawValue(std::string_view text, std::string_view group, std::string_view key);

// A value by the settings library's rule: in double quotes or not, "\\",
// "\"", "\t" and the like are escapes; ";" outside quotes starts a comment;
// "@@" stands for "@". Nothing for what that library reads as something
// other than one text: a list ("1, 2": a "," outside quotes) or a typed
// value ("@ByteArray(12)", "@Invalid()").
std::optional<std::string> libraryValue(std::string_view raw);

// `text` with `key` of `group` set to `value` (written by the library's
// rule), every other byte as it was: the first entry's value is replaced
// in place (a comment after it stays); a missing key goes below the last
// key of the group; a missing group goes at the end. New lines end as the
// text's first line does.
std::string withIniValue(std::string_view text, std::string_view group, std::string_view key, std::string_view value);

}  // namespace pelmora
