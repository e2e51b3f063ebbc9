#pragma once
// A file the tool writes as it goes, a report or a trace: a regular file or
// a new path, or a character device or pipe that is there already
// (/dev/stdout, a FIFO, process substitution: a stream needs no temporary
// file). A directory is refused before any tracker is touched. Every write
// and the close are checked, so a lost line is never a silent success.

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "settings/result.h"

namespace pelmora {

class StreamOutput;

// Why an output cannot be written (pelmora-cli exits 2 for it).
enum class OutputError { Unwritable };

template <class T>
using OutputResult = Result<std::unique_ptr<T>, OutputError>;

class StreamOutput {
 public:
  // `path` opened with fopen `mode` ("-": standard error, flushed but never
  // closed), or why not ("r.jsonl: cannot write the report there (a
  // directory)"). `what` names the output in messages: "report", "trace".
  static OutputResult<StreamOutput> open(const std::string& path, const char* mode, std::string_view what);
  ~StreamOutput();
  StreamOutput(const StreamOutput&) = delete;
  StreamOutput& operator=(const StreamOutput&) = delete;

  std::FILE* stream() const { return out_; }
  // Writes and flushes one line; false once anything was lost.
  bool writeLine(std::string_view line);
  // Takes note of a failure after another writer used stream() (any thread).
  void check();
  // Flushes and closes (the destructor does it too). When anything was
  // lost, says so on standard error ("r.jsonl: the report could not be
  // written whole (No space left on device)") and returns false.
  bool close();
  // Any output of this run lost something: pelmora-cli exits 1 at least.
  static bool anyLost();

 private:
  StreamOutput(std::FILE* out, std::string path, std::string_view what);
  void noteLoss();  // keeps errno as the reason, unless one is kept already

  std::FILE* out_;
  std::string path_;  // as the user wrote it
  std::string what_;
  bool closed_ = false;
  std::atomic<int> lostErrno_{0};  // the reason of the first loss, -1 when the system gave none
};

}  // namespace pelmora
