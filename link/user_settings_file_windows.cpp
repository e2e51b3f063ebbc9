// The user's settings file on Windows: where it is, and how it is replaced.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>

#include "link/user_settings_file.h"

namespace pelmora {

std::string userSettingsPath() {
  const char* appData = std::getenv("APPDATA");
  return std::string(appData != nullptr ? appData : ".") + "\\KVL\\COMM.conf";
}

// One function so that a shared atomic writer can take its place.
std::optional<std::string> replaceFileContents(const std::string& path, std::string_view contents) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path target(path);
  if (fs::is_symlink(target, error)) {
    const fs::path resolved = fs::weakly_canonical(target, error);
    if (error) return path + " cannot be written (" + error.message() + ")";
    target = resolved;
  }
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
  const auto failed = [&path](DWORD code) {
    return path + " cannot be written (" + std::system_category().message(static_cast<int>(code)) + ")";
  };

  // CREATE_NEW: whatever already sits at the temporary name is never opened; another name is tried.
  std::random_device random;
  std::wstring temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 16 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = target.wstring() + L".new-" + std::to_wstring(random());
    file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) return failed(::GetLastError());

  bool written = true;
  for (std::size_t done = 0; written && done < contents.size();) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 20));
    written = ::WriteFile(file, contents.data() + done, chunk, &n, nullptr) != 0 && n > 0;
    done += n;
  }
  DWORD failure = written ? 0 : ::GetLastError();
  if (written && ::FlushFileBuffers(file) == 0) {
    written = false;
    failure = ::GetLastError();
  }
  ::CloseHandle(file);
  if (written && ::MoveFileExW(temporary.c_str(), target.wstring().c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    written = false;
    failure = ::GetLastError();
  }
  if (written) return std::nullopt;
  ::DeleteFileW(temporary.c_str());
  return failed(failure);
}

}  // namespace pelmora
