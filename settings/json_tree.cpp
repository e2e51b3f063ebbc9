#include "settings/json_tree.h"

#include <iterator>
#include <unordered_map>
#include <utility>
#include <vector>

#include "settings/echoed_value.h"

namespace pelmora {
namespace {

using Json = nlohmann::ordered_json;

// "not valid JSON at line 3, column 7: syntax error ..." from the parser's
// own words, the token it quotes ("last read: '...'") cut like any value.
std::string parseErrorText(const std::string& what) {
  const std::size_t at = what.find("parse error");
  std::string text = "not valid JSON" + (at == std::string::npos ? ": " + what : what.substr(at + 11));
  static constexpr std::string_view kToken = "last read: '";
  const std::size_t from = text.find(kToken);
  if (from == std::string::npos) return text;
  const std::size_t start = from + kToken.size();
  std::size_t end = text.rfind("'; expected");
  if (end == std::string::npos || end < start) end = text.size() - (text.ends_with('\'') ? 1 : 0);
  return text.substr(0, start) + echoedValue(std::string_view(text).substr(start, end - start)) + text.substr(end);
}

// Reads the text while counting the line breaks it has passed, so that
// the tree builder knows the line of a key when the parser hands it over.
class LineCountingIterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  LineCountingIterator(const char* at, std::size_t* lineBreaks) : at_(at), lineBreaks_(lineBreaks) {}
  reference operator*() const { return *at_; }
  LineCountingIterator& operator++() {
    if (*at_ == '\n') ++*lineBreaks_;
    ++at_;
    return *this;
  }
  bool operator==(const LineCountingIterator& other) const { return at_ == other.at_; }

 private:
  const char* at_;
  std::size_t* lineBreaks_;
};

// The JSON text as a tree, built from the parser's events rather than by
// the parser, so that what a settings file never holds is refused with its
// line: a key given twice in one object, nesting deeper than asked for,
// a number beyond a double. An object's keys stay in file order and are
// appended without a search, so a large object is read in linear time.
class TreeBuilder {
 public:
  TreeBuilder(const std::size_t& lineBreaks, std::size_t maxNesting) : lineBreaks_(lineBreaks), maxNesting_(maxNesting) {}

  Json root;
  std::string error;  // "line 7: ...", "not valid JSON at line 2, column 14: ..."

  // The parser's event interface.
  bool null() { return add(nullptr); }
  bool boolean(bool value) { return add(value); }
  bool number_integer(Json::number_integer_t value) { return add(value); }
  bool number_unsigned(Json::number_unsigned_t value) { return add(value); }
  bool number_float(Json::number_float_t value, const Json::string_t&) { return add(value); }
  bool string(Json::string_t& value) { return add(std::move(value)); }
  bool binary(Json::binary_t& value) { return add(std::move(value)); }
  bool start_object(std::size_t) { return open(Json::object()); }
  bool start_array(std::size_t) { return open(Json::array()); }
  bool end_object() { return close(); }
  bool end_array() { return close(); }
  bool key(Json::string_t& name) {
    Level& level = levels_.back();
    const std::size_t line = lineBreaks_ + 1;  // a key holds no line break
    const auto [first, fresh] = level.keyLines.try_emplace(name, line);
    if (!fresh)
      return refuse(line, "\"" + echoedValue(name) + "\" is given twice (first at line " + std::to_string(first->second) + ")");
    level.key = std::move(name);
    return true;
  }
  bool parse_error(std::size_t, const std::string& token, const Json::exception& failure) {
    constexpr int kNumberOverflow = 406;
    if (failure.id != kNumberOverflow) {
      error = parseErrorText(failure.what());
      return false;
    }
    const std::string key = !levels_.empty() && levels_.back().value->is_object() ? levels_.back().key : "";
    return refuse(lineBreaks_ + 1, (key.empty() ? "the number " : echoedValue(key) + " ") + echoedValue(token) +
                                       " is out of range");
  }

 private:
  struct Level {
    Json* value;
    std::string key;  // of the value that comes next, in an object
    std::unordered_map<std::string, std::size_t> keyLines;
  };

  bool refuse(std::size_t line, const std::string& what) {
    error = "line " + std::to_string(line) + ": " + what;
    return false;
  }
  bool add(Json value) {
    place(std::move(value));
    return true;
  }
  bool open(Json container) {
    if (levels_.size() == maxNesting_)
      return refuse(lineBreaks_ + 1, "nested more than " + std::to_string(maxNesting_) + " levels deep");
    levels_.push_back({place(std::move(container)), {}, {}});
    return true;
  }
  bool close() {
    levels_.pop_back();
    return true;
  }
  // Puts the value where the parser is (a container stays where it is
  // placed: nothing is added beside it while it is open).
  Json* place(Json value) {
    if (levels_.empty()) {
      root = std::move(value);
      return &root;
    }
    Json& container = *levels_.back().value;
    if (container.is_array()) {
      Json::array_t& array = container.get_ref<Json::array_t&>();
      array.push_back(std::move(value));
      return &array.back();
    }
    // The object's storage is a vector in key order; key() has refused a
    // repeated key, so the value is appended without a search.
    Json::object_t& object = container.get_ref<Json::object_t&>();
    object.emplace_back(std::exchange(levels_.back().key, {}), std::move(value));
    return &object.back().second;
  }

  const std::size_t& lineBreaks_;
  const std::size_t maxNesting_;
  std::vector<Level> levels_;
};

}  // namespace

JsonTree parseJsonTree(std::string_view text, std::size_t maxNesting) {
  std::size_t lineBreaks = 0;
  TreeBuilder builder(lineBreaks, maxNesting);
  const LineCountingIterator first(text.data(), &lineBreaks), last(text.data() + text.size(), &lineBreaks);
  JsonTree tree;
  if (!Json::sax_parse(first, last, &builder)) tree.error = builder.error.empty() ? "not valid JSON" : builder.error;
  else tree.root = std::move(builder.root);
  return tree;
}

}  // namespace pelmora
