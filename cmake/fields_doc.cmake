# docs/fields.md, the table of every settings field, comes from the program
# itself (`pelmora-cli fields --markdown`), so it cannot drift from the field
# catalogue. Two uses, in script mode:
#   cmake -DCLI=<pelmora-cli> -DOUTPUT=<build>/docs/fields.md -P fields_doc.cmake
#       writes the table (the build does this);
#   cmake -DGENERATED=<build>/docs/fields.md -DCOMMITTED=<source>/docs/fields.md -P fields_doc.cmake
#       fails, saying how to refresh it, when the committed copy differs (a test).

if(CLI AND OUTPUT)
  execute_process(COMMAND "${CLI}" fields --markdown OUTPUT_VARIABLE table RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CLI} fields --markdown failed (${status})")
  endif()
  file(WRITE "${OUTPUT}" "${table}")
elseif(GENERATED AND COMMITTED)
  if(NOT EXISTS "${GENERATED}")
    message(FATAL_ERROR "${GENERATED} is missing: build the project first (cmake --build <build>)")
  endif()
  file(READ "${GENERATED}" generated)
  set(committed "")
  if(EXISTS "${COMMITTED}")
    file(READ "${COMMITTED}" committed)
  endif()
  if(NOT generated STREQUAL committed)
    message(FATAL_ERROR "${COMMITTED} differs from the field catalogue's table; refresh it with\n"
                        "  cp ${GENERATED} ${COMMITTED}\nand commit it.")
  endif()
else()
  message(FATAL_ERROR "fields_doc.cmake: give -DCLI and -DOUTPUT, or -DGENERATED and -DCOMMITTED")
endif()
