#include "app/registry_port_index_store.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <array>

#include "app/system_port_index_store.h"

namespace pelmora {
namespace {

std::optional<std::u16string> readValue(HKEY root, const std::wstring& keyPath) {
  std::array<wchar_t, RegistryPortIndexStore::kMaxValueBytes / sizeof(wchar_t)> data{};
  DWORD bytes = sizeof data;
  // RRF_RT_REG_SZ: that type only, terminated by the call; a longer value fails with ERROR_MORE_DATA.
  if (::RegGetValueW(root, keyPath.c_str(), std::wstring(kPortIndexValue).c_str(), RRF_RT_REG_SZ, nullptr,
                     data.data(), &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  std::u16string text;
  for (const wchar_t unit : data) {
    if (unit == L'\0') break;
    text += static_cast<char16_t>(unit);
  }
  return text;
}

}  // namespace

std::optional<std::u16string> RegistryPortIndexStore::readPortIndex() {
  if (std::optional<std::u16string> own = readValue(HKEY_CURRENT_USER, keyPath_)) return own;
  return readValue(HKEY_LOCAL_MACHINE, keyPath_);
}

void RegistryPortIndexStore::writePortIndex(std::u16string_view text) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  const std::wstring value(text.begin(), text.end());
  ::RegSetValueExW(key, std::wstring(kPortIndexValue).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(key);
}

std::unique_ptr<PortIndexStore> makeSystemPortIndexStore(const std::string& /*userSettingsPath*/) {
  return std::make_unique<RegistryPortIndexStore>();
}

}  // namespace pelmora
