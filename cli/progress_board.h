#pragma once
// Progress of every tracker a command works on, on standard error, and the
// results on standard output.
//
// When standard error is a terminal each port has a line of its own that is
// redrawn in place ("COM5  writing  1.8 s") and ends as the port's result;
// results printed meanwhile go above the lines. Elsewhere (a log file, a
// pipe) a plain line is printed when a port enters a new stage, never for
// the ticks in between. Safe to call from the threads of several ports.

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace pelmora::cli {

struct ProgressMode {
  bool live = false;            // standard error is a terminal (and not --quiet)
  bool resultsOnTerminal = false;  // standard output is a terminal too
  bool quiet = false;           // no progress at all
};

class ProgressBoard {
 public:
  ProgressBoard(std::vector<std::string> ports, ProgressMode mode);

  // Port `row` is now in `stage` ("handshake", "reading", "writing", ...),
  // `elapsedMs` into it.
  void update(std::size_t row, const std::string& stage, std::uint32_t elapsedMs);
  // The port's result: its line on the board, and (when `toOutput`) on
  // standard output unless the board already shows it there.
  void finish(std::size_t row, const std::string& line, bool toOutput = true);
  // A line of results on standard output, above the board.
  void print(const std::string& line);
  // A line for the user on standard error (even with --quiet), above the board.
  void note(const std::string& line);

 private:
  void setRow(std::size_t row, std::string text);  // the caller holds lock_
  void eraseBoard();                               // the caller holds lock_
  void drawBoard();                                // the caller holds lock_

  std::mutex lock_;  // one writer of the terminal at a time
  std::vector<std::string> ports_;
  std::vector<std::string> rows_;       // what each port's line shows
  std::vector<std::string> lastStage_;  // the stage each port last printed, without a terminal
  ProgressMode mode_;
};

}  // namespace pelmora::cli
