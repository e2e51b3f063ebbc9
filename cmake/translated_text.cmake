# cmake -DTS_FILE=app/qt/translations/pelmora_ru.ts -DOUTPUT=russian_texts.cpp -P translated_text.cmake
#
# Writes the window's translations as a Qt-free C++ table, so that the
# command line and a window without Qt show the same Russian texts as the Qt
# window. Runs in script mode on the build machine (no Python needed), for a
# native and a cross build alike. Each <source> and <translation> sits on
# one line of the .ts file.

if(NOT TS_FILE OR NOT OUTPUT)
  message(FATAL_ERROR "translated_text.cmake: give -DTS_FILE=<file.ts> -DOUTPUT=<file.cpp>")
endif()

# The text between <tag> and </tag> on `line`, XML entities undone, into `out`
# (unset when the line holds no such element).
function(element_text line tag out)
  unset(${out} PARENT_SCOPE)
  string(FIND "${line}" "<${tag}>" open)
  string(FIND "${line}" "</${tag}>" close)
  if(open EQUAL -1 OR close EQUAL -1)
    return()
  endif()
  string(LENGTH "<${tag}>" open_length)
  math(EXPR begin "${open} + ${open_length}")
  math(EXPR length "${close} - ${begin}")
  string(SUBSTRING "${line}" ${begin} ${length} text)
  string(REPLACE "&lt;" "<" text "${text}")
  string(REPLACE "&gt;" ">" text "${text}")
  string(REPLACE "&quot;" "\"" text "${text}")
  string(REPLACE "&apos;" "'" text "${text}")
  string(REPLACE "&amp;" "&" text "${text}")  # last: "&amp;lt;" is "&lt;"
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# `text` as the inside of a C++ string literal.
function(literal text out)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Read as one string and split at line ends by hand: a list of lines would
# split a text at its semicolons.
file(READ "${TS_FILE}" content)
string(REPLACE "\r" "" content "${content}")
set(rows "")
set(count 0)
unset(source)
while(NOT content STREQUAL "")
  string(FIND "${content}" "\n" end)
  if(end EQUAL -1)
    set(line "${content}")
    set(content "")
  else()
    string(SUBSTRING "${content}" 0 ${end} line)
    math(EXPR rest "${end} + 1")
    string(SUBSTRING "${content}" ${rest} -1 content)
  endif()
  element_text("${line}" source found_source)
  if(DEFINED found_source)
    set(source "${found_source}")
  endif()
  element_text("${line}" translation found_translation)
  # An unfinished translation (<translation type="unfinished">) has no
  # <translation> on its line and so stays out: the English text shows.
  if(DEFINED found_translation AND DEFINED source AND NOT found_translation STREQUAL "")
    literal("${source}" english)
    literal("${found_translation}" russian)
    string(APPEND rows "    {u\"${english}\", u\"${russian}\"},\n")
    math(EXPR count "${count} + 1")
    unset(source)
  endif()
endwhile()

if(count EQUAL 0)
  message(FATAL_ERROR "${TS_FILE}: no translated texts found")
endif()

file(RELATIVE_PATH shown_ts "${CMAKE_CURRENT_LIST_DIR}/.." "${TS_FILE}")
set(generated "// Generated from ${shown_ts} by cmake/translated_text.cmake at build time: edit the .ts file.
#include \"pages/translated_text.h\"

namespace pelmora {
namespace {

constexpr TranslatedText kRussianTexts[] = {
${rows}};

}  // namespace

std::span<const TranslatedText> russianTexts() { return kRussianTexts; }

}  // namespace pelmora
")
# Rewritten only when it changes, so an edit elsewhere in the .ts rebuilds nothing.
set(old "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL generated)
  file(WRITE "${OUTPUT}" "${generated}")
endif()
