#pragma once
// JSON text to a tree, refusing what no file of this program holds, each
// with its line: a key given twice in one object ("line 7: \"SmsPassword\"
// is given twice (first at line 4)"), nesting deeper than asked for, a
// number beyond a double ("line 3: LowPowerAlarmVoltage 1e400 is out of
// range"). Keys stay in file order; a large object is read in linear time.
// Syntax errors keep the parser's words ("not valid JSON at line 2, column
// 14: ..."); any value quoted is cut to 60 characters.

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace pelmora {

struct JsonTree {
  nlohmann::ordered_json root;  // objects keep their keys in file order
  std::string error;  // empty: root is the text's value
};

JsonTree parseJsonTree(std::string_view text, std::size_t maxNesting);

}  // namespace pelmora
