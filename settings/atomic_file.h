#pragma once
// Whole files, written and read in one piece, for every file the programs
// keep (settings, reports, traces written at the end). No Qt; the platform
// parts are atomic_file_posix.cpp and atomic_file_windows.cpp.
//
// Writing never leaves half a file: the bytes go to a new temporary file in
// the target's folder, created exclusively (a name planted there, a symbolic
// link included, is never followed), are flushed to the disk, and the
// temporary file is renamed over the target. Only a regular file or a new
// name is written:
//   - a symbolic link is followed and its target replaced in the target's
//     folder, so the link stays a link;
//   - an existing file keeps its permissions; a new file gets `newFileMode`
//     (0600: settings hold passwords; Windows gives a new file its folder's
//     rights);
//   - a file without write permission is refused, by its mode bits too,
//     since the superuser may write anything (Windows: the read-only
//     attribute);
//   - a directory, FIFO, device or socket is refused and not opened;
//   - every write, flush, close and rename is checked: a full disk is an
//     error, never a silent success; on any failure the target is as it was
//     and the temporary file is gone.
//
//     if (const SettingsStatus written = writeFileAtomically("fleet.json", bytes); !written)
//       log(written.error().message);
//
// Reading takes a regular file only, without opening anything else (a FIFO
// would block, a device may act on an open), and at most `maxBytes`.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_error.h"

namespace pelmora {

// POSIX permission bits of a new file.
using FileMode = std::uint32_t;

// Replaces (or creates) the file at `path`, a UTF-8 path, with `bytes`.
// Fails with CannotWrite only, the message naming the path as given:
//   "<path>: cannot be written (<system reason>)"   (Permission denied, No space left on device, ...)
//   "<path>: cannot be written (Is a directory)"
//   "<path>: cannot be written (a FIFO|a device|a socket, not a regular file)"
//   "<path>: cannot be written (read-only)"
//   "<path>: cannot be written (a symbolic link to a file that does not exist)"
SettingsStatus writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                                   FileMode newFileMode = 0600);
inline SettingsStatus writeFileAtomically(const std::string& path, std::string_view text, FileMode newFileMode = 0600) {
  return writeFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                             newFileMode);
}

// The bytes of the regular file at `path`; `kindOfFile` names what it should
// be in messages ("settings file"):
//   CannotRead  "<path>: cannot be read (<system reason>)"
//   BadInput    "<path>: is a directory|a FIFO|a device|a socket, not a <kindOfFile>"
//   BadInput    "<path>: too large for a <kindOfFile>"            (more than maxBytes)
SettingsResult<std::vector<std::uint8_t>> readRegularFile(const std::string& path, std::size_t maxBytes,
                                                          std::string_view kindOfFile);

}  // namespace pelmora
