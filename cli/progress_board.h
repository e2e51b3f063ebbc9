#pragma once
// Progress of every tracker a command works on, on standard error.
//
// On a terminal each port has a line of its own that is redrawn in place
// ("COM5  writing  1.8 s"); elsewhere (a log file, a pipe) a plain line is
// printed when a port enters a new stage, never for the ticks in between.
// Safe to call from the threads of several ports at once.

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace pelmora::cli {

class ProgressBoard {
 public:
  // `live`: redraw lines in place (standard error is a terminal).
  // `quiet`: print nothing at all.
  ProgressBoard(std::vector<std::string> ports, bool live, bool quiet, std::FILE* out = stderr);
  ~ProgressBoard();  // leaves the cursor below the board

  // Port `row` is now in `stage` ("handshake", "reading", "writing", ...),
  // `elapsedMs` into it.
  void update(std::size_t row, const std::string& stage, std::uint32_t elapsedMs);
  // The port's final line, replacing its progress line.
  void finish(std::size_t row, const std::string& line);

 private:
  void drawRow(std::size_t row, const std::string& text);  // the caller holds lock_

  std::mutex lock_;  // one writer of the terminal at a time
  std::vector<std::string> ports_;
  std::vector<std::string> lastStage_;
  bool live_;
  bool quiet_;
  std::FILE* out_;
};

}  // namespace pelmora::cli
