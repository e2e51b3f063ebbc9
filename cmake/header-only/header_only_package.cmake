# Header-only libraries from the build machine's /usr/include for a cross
# build (cmake/mingw-w64-x86_64.cmake points find_package here). Only the
# library's own folder goes on the include path, through a link in the build
# tree: /usr/include itself would hand the target compiler the build
# machine's C library headers.
set(PELMORA_HEADER_ONLY_ROOT /usr/include CACHE PATH "Where a cross build takes header-only libraries from")

# pelmora_header_only_package(nlohmann_json::nlohmann_json nlohmann)
function(pelmora_header_only_package target folder)
  if(TARGET ${target})
    return()
  endif()
  set(staging ${CMAKE_BINARY_DIR}/header-only/include)
  file(MAKE_DIRECTORY ${staging})
  if(NOT EXISTS ${staging}/${folder})
    file(CREATE_LINK ${PELMORA_HEADER_ONLY_ROOT}/${folder} ${staging}/${folder} SYMBOLIC)
  endif()
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${staging})
endfunction()

# For a package version file: the version from the header's macros (each
# match of the regex gives one part, joined with dots), compared with the
# version asked for.
macro(pelmora_header_only_version header regex)
  file(STRINGS ${PELMORA_HEADER_ONLY_ROOT}/${header} _pelmora_lines REGEX "${regex}")
  set(_pelmora_parts)
  foreach(_pelmora_line IN LISTS _pelmora_lines)
    string(REGEX MATCH "${regex}" _pelmora_match "${_pelmora_line}")
    list(APPEND _pelmora_parts ${CMAKE_MATCH_1})
  endforeach()
  list(JOIN _pelmora_parts "." PACKAGE_VERSION)
  set(PACKAGE_VERSION_COMPATIBLE TRUE)
  if(PACKAGE_FIND_VERSION AND PACKAGE_VERSION VERSION_LESS PACKAGE_FIND_VERSION)
    set(PACKAGE_VERSION_COMPATIBLE FALSE)
  endif()
  if(PACKAGE_VERSION VERSION_EQUAL PACKAGE_FIND_VERSION)
    set(PACKAGE_VERSION_EXACT TRUE)
  endif()
endmacro()
