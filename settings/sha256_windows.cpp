#include <windows.h>
// after windows.h
#include <bcrypt.h>

#include <array>

#include "settings/sha256.h"

namespace pelmora {

std::string sha256Hex(std::span<const std::uint8_t> bytes) {
  std::array<unsigned char, 32> digest{};
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0) return {};
  // BCryptHash takes ULONG lengths: a profile is far below 4 GiB.
  const NTSTATUS status =
      BCryptHash(algorithm, nullptr, 0, const_cast<PUCHAR>(bytes.data()), static_cast<ULONG>(bytes.size()),
                 digest.data(), static_cast<ULONG>(digest.size()));
  BCryptCloseAlgorithmProvider(algorithm, 0);
  if (status < 0) return {};
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char b : digest) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 15]);
  }
  return hex;
}

}  // namespace pelmora
