#pragma once
// How the settings library fails: reading and writing whole files, and
// taking settings images, JSON files and profiles apart and laying them over
// a tracker's. Every message names the file (or "tracker", "the tracker's
// settings read back") and what is wrong; nothing was changed.

#include "settings/result.h"

namespace pelmora {

enum class SettingsErrorKind {
  CannotRead,   // the system refused to read a file: "<path>: cannot be read (No such file or directory)"
  CannotWrite,  // the system refused to write one: "<path>: cannot be written (read-only)"
  BadInput,     // what was given is not settings that can be used: a directory or FIFO, a file too large,
                // text, bad JSON, an unknown layout or size, a value of the wrong kind, a field the
                // tracker's layout lacks or keeps shorter, a profile naming identity fields or saved as an image
  NothingRead,  // a document laid over a tracker's settings before any were read
  BadReadBack,  // a tracker's read-back after a write is no settings image of the size written
};

using SettingsError = Error<SettingsErrorKind>;
template <class T>
using SettingsResult = Result<T, SettingsErrorKind>;
using SettingsStatus = Status<SettingsErrorKind>;

}  // namespace pelmora
