# Cross build for 64-bit Windows with Debian's mingw-w64, the posix-thread
# variant (std::thread, std::mutex and std::condition_variable need it).
#
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The runtime is linked statically, so each .exe runs without DLLs beside it.
# When Wine is installed, CTest runs the test programs through it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELMORA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PELMORA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELMORA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PELMORA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PELMORA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CLI11 and nlohmann-json are header-only: the build machine's Debian headers
# serve, without the rest of its /usr (cmake/header-only/).
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/header-only/nlohmann_json)
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/header-only/CLI11)

# Debian puts the Wine loader outside PATH.
find_program(PELMORA_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT PELMORA_WINE)
  find_program(PELMORA_WINE NAMES wine64 wine)
endif()
if(PELMORA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PELMORA_WINE})
endif()
