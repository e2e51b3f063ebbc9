# Strict warnings, as errors, for the project's own targets.
function(pelmora_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough -Werror)
  # g++ 12 at -O3 reports out-of-bounds and overlapping copies inside
  # std::vector::insert and std::string's operator+ that cannot happen (known
  # false positives of that release): keep them visible, but not fatal.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-error=array-bounds -Wno-error=stringop-overflow
                                             -Wno-error=restrict)
  endif()
  # mingw's GCC checks format(printf) against Microsoft's runtime, which has
  # no %zu; the programs print through mingw's C99 printf (libstdc++ asks for
  # it), so those warnings are false there. The other builds check formats.
  if(MINGW)
    target_compile_options(${target} PRIVATE -Wno-format)
  endif()
endfunction()
