#pragma once
// One way to fail, in every layer from the serial port up to the
// command-line tool: a call that can fail returns a Result, which holds its
// value or an Error. The error says what kind of failure it is (callers
// branch on the kind: an exit status, a retry, a log line) and carries the
// message the user reads. Nobody compares integers or searches a message
// for the reason.
//
// Each layer has its kinds, an enum beside its calls, and every
// declaration lists the kinds it can return:
//   settings/  SettingsErrorKind (settings/settings_error.h): files, images, JSON, profiles
//   link/      FrameError (packet.h); OpenFailure and PortError (serial_port.h);
//              SendError (line_writer.h); RequestOutcome (tracker_events.h) for
//              a write request the engine cannot build and a session's read or write
//   cli/       ExitStatus (exit_status.h): a failure's kind is the exit status it leads to
//
// The message is text built where the failure happens, naming the file,
// field or port and what is wrong; the failure is rare and the text worth
// its allocation. The line path is the exception: a frame is built, written,
// read and parsed many times a second without touching the heap, so the
// calls on it (packet build and parse, the serial port's read and write,
// sending a request; open too, which shares their vocabulary) fail with
// StaticMessage, the words describe(kind) gives for each kind, kept in
// static storage. Their Result holds a kind and a pointer, nothing else.
//
//     Result<SettingsDocument, SettingsErrorKind> file = loadSettingsFile(path);
//     if (!file) return exitStatusFor(file.error().kind);  // file.error().message for the user
//     use(*file);
//
//     const Status<FrameError, StaticMessage> parsed = parseReply(frame, reply);
//     if (!parsed) trace(parsed.error().message);           // "not a reply frame"
//
// A value and an error are taken implicitly, so a call returns either:
//     return SettingsError{SettingsErrorKind::BadInput, path + ": not a settings file"};
//     return document;
//     return {};                     // a Status: success
//     return other.error();          // passed on, same kind

#include <cassert>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace pelmora {

// Words for a failure of the line path: a pointer to static text, never
// freed, never allocated.
using StaticMessage = const char*;

template <class Kind, class Text = std::string>
struct Error {
  static_assert(std::is_enum_v<Kind>, "a failure's kind is an enum: callers branch on it");
  Kind kind;
  Text message;  // what the user reads
};

// A line-path error: `kind` with its fixed words. describe(Kind) is declared
// beside the kind and found by argument-dependent lookup.
template <class Kind>
constexpr Error<Kind, StaticMessage> staticError(Kind kind) {
  return {kind, describe(kind)};
}

// The value of a call, or why there is none.
template <class T, class Kind, class Text = std::string>
class [[nodiscard]] Result {
 public:
  using Failure = Error<Kind, Text>;

  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}      // NOLINT: implicit by design
  Result(Failure error) : state_(std::in_place_index<1>, std::move(error)) {}  // NOLINT: implicit by design

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // The value; only after ok().
  T& operator*() & { return *value(); }
  const T& operator*() const& { return *value(); }
  T&& operator*() && { return std::move(*value()); }
  T* operator->() { return value(); }
  const T* operator->() const { return value(); }

  // Why there is no value; only after !ok().
  const Failure& error() const {
    assert(!ok());
    return *std::get_if<1>(&state_);
  }

 private:
  T* value() {
    assert(ok());
    return std::get_if<0>(&state_);
  }
  const T* value() const {
    assert(ok());
    return std::get_if<0>(&state_);
  }

  std::variant<T, Failure> state_;
};

// A call without a value: success, or why not.
template <class Kind, class Text>
class Result<void, Kind, Text> {
 public:
  using Failure = Error<Kind, Text>;

  Result() = default;  // success
  Result(Failure error) : error_(std::move(error)) {}  // NOLINT: implicit by design

  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }

  // Why it failed; only after !ok().
  const Failure& error() const {
    assert(!ok());
    return *error_;
  }

 private:
  std::optional<Failure> error_;
};

template <class Kind, class Text = std::string>
using Status = Result<void, Kind, Text>;

}  // namespace pelmora
