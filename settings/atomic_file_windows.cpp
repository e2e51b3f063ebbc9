#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "settings/atomic_file.h"

namespace pelmora {
namespace {

constexpr std::size_t kNameInTemporary = 64;
constexpr int kTemporaryNameTries = 100;

// The system's errors that the POSIX build words through strerror, worded
// the same here, so that a message reads alike on both systems.
struct ErrorWording {
  DWORD error;
  int errnoValue;
};
constexpr ErrorWording kErrorWordings[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},   {ERROR_PATH_NOT_FOUND, ENOENT},   {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_DISK_FULL, ENOSPC},        {ERROR_HANDLE_DISK_FULL, ENOSPC}, {ERROR_WRITE_PROTECT, EROFS},
    {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
};

std::string utf8Of(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

// An empty result for a path that is not UTF-8.
std::wstring wideOf(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return {};
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

std::string reason(DWORD error) {
  for (const ErrorWording& w : kErrorWordings)
    if (w.error == error) return std::strerror(w.errnoValue);
  wchar_t* text = nullptr;
  const DWORD size = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring message = size > 0 && text != nullptr ? std::wstring(text, size) : std::wstring();
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L'.' ||
                              message.back() == L' '))
    message.pop_back();
  return message.empty() ? "system error " + std::to_string(error) : utf8Of(message);
}

// What a name leads to when it names a device ("COM1", "NUL", "\\.\COM12")
// or a pipe ("\\.\pipe\x"), told without opening it: opening a serial
// port may act on the line. nullptr for any other name.
const char* deviceKindOfName(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return nullptr;
  std::wstring full(size, L'\0');
  const DWORD got = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (got == 0 || got >= size) return nullptr;
  full.resize(got);
  static const std::wstring kDevices = L"\\\\.\\", kPipes = L"\\\\.\\pipe\\";
  if (full.compare(0, kPipes.size(), kPipes) == 0) return "a FIFO";
  if (full.compare(0, kDevices.size(), kDevices) == 0) return "a device";
  return nullptr;
}

// What an opened handle is when it is not a file on a disk; nullptr for a file.
const char* kindOtherThanFile(HANDLE handle) {
  switch (GetFileType(handle)) {
    case FILE_TYPE_DISK: return nullptr;
    case FILE_TYPE_PIPE: return "a FIFO";
    default: return "a device";
  }
}

// The file the bytes replace: `path`, or the file a symbolic link there
// leads to, with its attributes; `error` set when there is none to write.
struct Target {
  std::wstring path;
  bool exists = false;
  std::string error;
};

Target targetOf(const std::wstring& path) {
  Target target;
  target.path = path;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    target.error = std::strerror(EISDIR);
    return target;
  }
  if (const char* kind = deviceKindOfName(path)) {
    target.error = std::string(kind) + ", not a regular file";
    return target;
  }
  // Opened without access rights, only to learn what it is and where any link leads.
  const HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    if (missing && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
      target.error = "a symbolic link to a file that does not exist";
    else if (!missing)
      target.error = reason(error);
    return target;
  }
  target.exists = true;
  if (const char* kind = kindOtherThanFile(handle)) {
    target.error = std::string(kind) + ", not a regular file";
  } else {
    BY_HANDLE_FILE_INFORMATION information{};
    std::wstring final(32768, L'\0');
    const DWORD size = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()),
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (!GetFileInformationByHandle(handle, &information) || size == 0 || size >= final.size())
      target.error = reason(GetLastError());
    else if (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
      target.error = "read-only";
    else
      target.path = final.substr(0, size);  // through any symbolic link, so the link stays one
  }
  CloseHandle(handle);
  return target;
}

bool writeAll(HANDLE handle, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    bytes = bytes.subspan(written);
  }
  return true;
}

std::wstring uniquePart() {
  static std::atomic<unsigned> counter{0};
  const unsigned long long mix =
      (static_cast<unsigned long long>(GetCurrentProcessId()) << 32) ^ GetTickCount64() ^ (counter++ * 0x9E3779B9u);
  wchar_t text[17];
  for (int i = 15; i >= 0; --i) text[15 - i] = L"0123456789abcdef"[(mix >> (4 * i)) & 15];
  text[16] = L'\0';
  return text;
}

}  // namespace

SettingsStatus writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, FileMode) {
  const auto failure = [&](const std::string& why) {
    return SettingsError{SettingsErrorKind::CannotWrite, path + ": cannot be written (" + why + ")"};
  };
  const std::wstring wide = wideOf(path);
  if (wide.empty()) return failure(path.empty() ? reason(ERROR_PATH_NOT_FOUND) : "the name is not UTF-8");
  const Target target = targetOf(wide);
  if (!target.error.empty()) return failure(target.error);

  const std::size_t slash = target.path.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : target.path.substr(0, slash);
  const std::wstring name = slash == std::wstring::npos ? target.path : target.path.substr(slash + 1);
  std::wstring temporary;
  HANDLE handle = INVALID_HANDLE_VALUE;
  // CREATE_NEW fails on any name already there, a planted link included.
  for (int tries = 0; handle == INVALID_HANDLE_VALUE && tries < kTemporaryNameTries; ++tries) {
    temporary = folder + L"\\." + name.substr(0, kNameInTemporary) + L"." + uniquePart() + L".tmp";
    handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
      break;
  }
  if (handle == INVALID_HANDLE_VALUE) return failure(reason(GetLastError()));
  const auto abandon = [&](DWORD error) {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    DeleteFileW(temporary.c_str());
    return failure(reason(error));
  };
  if (!writeAll(handle, bytes) || !FlushFileBuffers(handle)) return abandon(GetLastError());
  const BOOL closed = CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
  if (!closed) return abandon(GetLastError());
  if (!MoveFileExW(temporary.c_str(), target.path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return abandon(GetLastError());
  return {};
}

SettingsResult<std::vector<std::uint8_t>> readRegularFile(const std::string& path, std::size_t maxBytes,
                                                          std::string_view kindOfFile) {
  const auto cannotRead = [&](const std::string& why) {
    return SettingsError{SettingsErrorKind::CannotRead, path + ": cannot be read (" + why + ")"};
  };
  const auto notRegular = [&](const char* kind) {
    return SettingsError{SettingsErrorKind::BadInput, path + ": is " + kind + ", not a " + std::string(kindOfFile)};
  };
  std::vector<std::uint8_t> bytes;
  const std::wstring wide = wideOf(path);
  if (wide.empty()) return cannotRead(path.empty() ? reason(ERROR_PATH_NOT_FOUND) : "the name is not UTF-8");
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return notRegular("a directory");
  if (const char* kind = deviceKindOfName(wide)) return notRegular(kind);
  const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return cannotRead(reason(GetLastError()));
  if (const char* kind = kindOtherThanFile(handle)) {
    CloseHandle(handle);
    return notRegular(kind);
  }
  std::uint8_t chunk[65536];
  while (bytes.size() <= maxBytes) {
    DWORD got = 0;
    if (!ReadFile(handle, chunk, sizeof chunk, &got, nullptr)) {
      const DWORD error = GetLastError();
      CloseHandle(handle);
      return cannotRead(reason(error));
    }
    if (got == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  CloseHandle(handle);
  if (bytes.size() > maxBytes)
    return SettingsError{SettingsErrorKind::BadInput, path + ": too large for a " + std::string(kindOfFile)};
  return bytes;
}

}  // namespace pelmora
