include(${CMAKE_CURRENT_LIST_DIR}/../header_only_package.cmake)
pelmora_header_only_version(nlohmann/detail/abi_macros.hpp "define NLOHMANN_JSON_VERSION_[A-Z]+ +([0-9]+)")
