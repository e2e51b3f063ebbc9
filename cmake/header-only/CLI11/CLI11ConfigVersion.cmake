include(${CMAKE_CURRENT_LIST_DIR}/../header_only_package.cmake)
pelmora_header_only_version(CLI/Version.hpp "define CLI11_VERSION \"([0-9.]+)\"")
