// The port index in the registry: the user's value first, else the one an
// existing installation left for the machine; written to the user's only.
// A scratch key stands in for the program's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "app/registry_port_index_store.h"

namespace pelmora {
namespace {

const std::wstring kScratchKey = L"Software\\PelmoraTests\\COMM";

struct StoredValue {
  DWORD type = REG_SZ;
  std::wstring text;
};

void put(HKEY root, const std::optional<StoredValue>& value) {
  ::RegDeleteTreeW(root, kScratchKey.c_str());
  if (!value) return;
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(root, kScratchKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (value->type == REG_DWORD) {
    const DWORD number = 5;
    ::RegSetValueExW(key, L"COMM", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  } else {
    ::RegSetValueExW(key, L"COMM", 0, value->type, reinterpret_cast<const BYTE*>(value->text.c_str()),
                     static_cast<DWORD>((value->text.size() + 1) * sizeof(wchar_t)));
  }
  ::RegCloseKey(key);
}

// The REG_SZ value under `root` as the registry holds it.
std::optional<std::wstring> stored(HKEY root) {
  wchar_t data[512] = {};
  DWORD bytes = sizeof data;
  if (::RegGetValueW(root, kScratchKey.c_str(), L"COMM", RRF_RT_REG_SZ, nullptr, data, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(data);
}

class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HKEY probe = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kScratchKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &probe,
                          nullptr) != ERROR_SUCCESS)
      GTEST_SKIP() << "HKLM\\" << "Software cannot be written here (not an administrator)";
    ::RegCloseKey(probe);
  }
  void TearDown() override {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PelmoraTests");
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\PelmoraTests");
  }
};

TEST_F(RegistryStoreTest, ReadsTheUsersValueFirstThenTheMachines) {
  struct Row {
    const char* label;
    std::optional<StoredValue> machine;
    std::optional<StoredValue> user;
    std::optional<std::u16string> read;
  };
  const std::wstring tooLong(RegistryPortIndexStore::kMaxValueBytes / 2, L'7');  // with its terminator, 2 bytes over
  const Row rows[] = {
      {"neither", std::nullopt, std::nullopt, std::nullopt},
      {"the machine's only", StoredValue{REG_SZ, L"5"}, std::nullopt, u"5"},
      {"the user's over the machine's", StoredValue{REG_SZ, L"5"}, StoredValue{REG_SZ, L"12"}, u"12"},
      {"the user's empty text", StoredValue{REG_SZ, L"5"}, StoredValue{REG_SZ, L""}, u""},
      {"a number, not text", std::nullopt, StoredValue{REG_DWORD, L""}, std::nullopt},
      {"too long to read whole", std::nullopt, StoredValue{REG_SZ, tooLong}, std::nullopt},
      {"just fits", std::nullopt, StoredValue{REG_SZ, tooLong.substr(1)},
       std::u16string(tooLong.size() - 1, u'7')},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    put(HKEY_LOCAL_MACHINE, row.machine);
    put(HKEY_CURRENT_USER, row.user);
    RegistryPortIndexStore store(kScratchKey);
    EXPECT_EQ(store.readPortIndex(), row.read);
  }
}

TEST_F(RegistryStoreTest, WritesTheUsersValueAndLeavesTheMachinesAlone) {
  put(HKEY_LOCAL_MACHINE, StoredValue{REG_SZ, L"5"});
  put(HKEY_CURRENT_USER, std::nullopt);
  RegistryPortIndexStore store(kScratchKey);
  store.writePortIndex(u"12");
  EXPECT_EQ(stored(HKEY_CURRENT_USER), L"12");
  EXPECT_EQ(stored(HKEY_LOCAL_MACHINE), L"5");
  EXPECT_EQ(store.readPortIndex(), u"12");
}

}  // namespace
}  // namespace pelmora
