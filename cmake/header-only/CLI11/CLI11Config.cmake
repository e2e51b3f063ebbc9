include(${CMAKE_CURRENT_LIST_DIR}/../header_only_package.cmake)
pelmora_header_only_package(CLI11::CLI11 CLI)
