#pragma once
// SHA-256 of a block of bytes, as 64 lowercase hex digits: how a profile is
// told apart from another in a station's record ("the same profile" is the
// same bytes). The system's own implementation does the work: OpenSSL's
// libcrypto on Linux, CNG (bcrypt) on Windows.

#include <cstdint>
#include <span>
#include <string>

namespace pelmora {

std::string sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace pelmora
