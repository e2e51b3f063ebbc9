#include "link/ini_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <utility>

namespace pelmora {
namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Line {
  enum class Kind { Other, Header, Entry } kind = Kind::Other;
  std::string_view group;  // a header's name; an entry's group
  std::string_view key;
  std::string_view raw;
  bool assignment = false;  // the entry has "="
  std::size_t next = 0;     // where the next line starts
  bool terminated = false;  // ends with "\n"
};

// Calls visit(line) for every line of `text`; stops when it returns true.
template <class Visit>
void scanLines(std::string_view text, Visit&& visit) {
  std::size_t at = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  std::string_view group;
  while (at < text.size()) {
    const std::size_t newline = text.find('\n', at);
    const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
    Line line;
    line.terminated = newline != std::string_view::npos;
    line.next = line.terminated ? newline + 1 : text.size();
    const std::string_view content = trimmed(text.substr(at, end - at));
    at = line.next;
    if (content.size() >= 2 && content.front() == '[' && content.back() == ']') {
      group = trimmed(content.substr(1, content.size() - 2));
      line.kind = Line::Kind::Header;
      line.group = group;
    } else if (!content.empty() && content.front() != ';' && content.front() != '#') {
      line.kind = Line::Kind::Entry;
      line.group = group;
      const std::size_t equals = content.find('=');
      line.assignment = equals != std::string_view::npos;
      line.key = trimmed(content.substr(0, equals));
      // An empty value stays a position in the text: right after "=".
      line.raw = line.assignment ? trimmed(content.substr(equals + 1)) : content.substr(content.size());
    }
    if (visit(line)) return;
  }
}

struct Escape {
  char letter;
  char byte;
};
constexpr std::array<Escape, 11> kEscapes = {{
    {'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'},
    {'v', '\v'}, {'\\', '\\'}, {'"', '"'}, {'\'', '\''}, {'?', '?'},
}};

void appendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// How much of `raw` the library takes as the value: up to a ";" outside
// quotes, blanks before it dropped.
std::size_t libraryValueLength(std::string_view raw) {
  bool quoted = false;
  std::size_t end = raw.size();
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\\') {
      ++i;
    } else if (raw[i] == '"') {
      quoted = !quoted;
    } else if (raw[i] == ';' && !quoted) {
      end = i;
      break;
    }
  }
  return trimmed(raw.substr(0, end)).size();
}

// "@ByteArray(12)", "@Invalid()": a value of another type than text.
bool typedValue(std::string_view value) {
  if (!value.starts_with('@') || !value.ends_with(')')) return false;
  const std::size_t open = value.find('(');
  return open != std::string_view::npos && open > 1 &&
         std::all_of(value.begin() + 1, value.begin() + static_cast<std::ptrdiff_t>(open),
                     [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; });
}

// `value` as the library writes it.
std::string libraryText(std::string_view value) {
  std::string text = value.starts_with('@') ? "@" : "";
  bool quote = !value.empty() && (blank(value.front()) || blank(value.back()));
  for (const char c : value) {
    const auto escape = std::find_if(kEscapes.begin(), kEscapes.end(), [c](const Escape& e) { return e.byte == c; });
    if (escape != kEscapes.end() && (static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == '"')) {
      text += '\\';
      text += escape->letter;
      continue;
    }
    quote = quote || c == ';' || c == ',';
    text += c;
  }
  return quote ? "\"" + text + "\"" : text;
}

std::string_view lineEnding(std::string_view text) {
  const std::size_t newline = text.find('\n');
  return newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
}

}  // namespace

bool inGroup(std::string_view written, std::string_view wanted) {
  if (equalsIgnoringCase(wanted, "General")) return written.empty() || equalsIgnoringCase(written, "General");
  return written == wanted;
}

std::vector<IniEntry> iniEntries(std::string_view text) {
  std::vector<IniEntry> entries;
  scanLines(text, [&](const Line& line) {
    if (line.kind == Line::Kind::Entry) entries.push_back({line.group, line.key, line.raw});
    return false;
  });
  return entries;
}

std::optional<std::string_view> firstRawValue(std::string_view text, std::string_view group, std::string_view key) {
  std::optional<std::string_view> found;
  scanLines(text, [&](const Line& line) {
    if (line.kind == Line::Kind::Entry && line.assignment && line.key == key && inGroup(line.group, group))
      found = line.raw;
    return found.has_value();
  });
  return found;
}

std::optional<std::string> libraryValue(std::string_view raw) {
  std::string value;
  std::size_t kept = 0;  // blanks outside quotes at the end are dropped
  bool quoted = false;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '"') {
      quoted = !quoted;
      kept = value.size();
      continue;
    }
    if (!quoted && c == ';') break;
    if (!quoted && c == ',') return std::nullopt;  // a list
    if (c == '\\' && i + 1 < raw.size()) {
      const char letter = raw[++i];
      if (letter == 'x') {
        std::uint32_t code = 0;
        int digits = 0;
        while (digits < 4 && i + 1 < raw.size() && std::isxdigit(static_cast<unsigned char>(raw[i + 1])) != 0) {
          const char h = static_cast<char>(std::tolower(static_cast<unsigned char>(raw[++i])));
          code = code * 16 + static_cast<std::uint32_t>(h <= '9' ? h - '0' : h - 'a' + 10);
          ++digits;
        }
        appendUtf8(value, code);
      } else {
        const auto escape =
            std::find_if(kEscapes.begin(), kEscapes.end(), [letter](const Escape& e) { return e.letter == letter; });
        value += escape != kEscapes.end() ? escape->byte : letter;
      }
      kept = value.size();
      continue;
    }
    value += c;
    if (quoted || !blank(c)) kept = value.size();
  }
  value.resize(kept);
  if (value.starts_with("@@")) return value.substr(1);
  if (typedValue(value)) return std::nullopt;
  return value;
}

std::string withIniValue(std::string_view text, std::string_view group, std::string_view key, std::string_view value) {
  const std::string written = libraryText(value);
  const std::string_view eol = lineEnding(text);
  std::string result;
  bool replaced = false;
  // Where a new key goes: below the last key line of the first section of the group.
  int section = 0;
  int chosen = -1;
  std::size_t insertAt = 0;
  bool insertAfterUnterminated = false;
  scanLines(text, [&](const Line& line) {
    if (line.kind == Line::Kind::Header) {
      ++section;
      if (chosen < 0 && inGroup(line.group, group) && !line.group.empty()) {
        chosen = section;
        insertAt = line.next;
        insertAfterUnterminated = !line.terminated;
      }
      return false;
    }
    if (line.kind != Line::Kind::Entry || !inGroup(line.group, group)) return false;
    if (line.assignment && line.key == key) {
      const std::size_t start = static_cast<std::size_t>(line.raw.data() - text.data());
      result.append(text.substr(0, start)).append(written).append(text.substr(start + libraryValueLength(line.raw)));
      replaced = true;
      return true;
    }
    if (chosen < 0) chosen = section;
    if (chosen == section) {
      insertAt = line.next;
      insertAfterUnterminated = !line.terminated;
    }
    return false;
  });
  if (replaced) return result;

  const std::string entry = std::string(key) + "=" + written;
  if (chosen >= 0) {
    result.append(text.substr(0, insertAt));
    if (insertAfterUnterminated)
      result.append(eol).append(entry);
    else
      result.append(entry).append(eol);
    return result.append(text.substr(insertAt));
  }
  result = text;
  if (!text.empty()) {
    if (!text.ends_with('\n')) result.append(eol);
    result.append(eol);
  }
  return result.append("[").append(group).append("]").append(eol).append(entry).append(eol);
}

}  // namespace pelmora
