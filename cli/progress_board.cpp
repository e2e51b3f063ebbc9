#include "cli/progress_board.h"

namespace pelmora::cli {

ProgressBoard::ProgressBoard(std::vector<std::string> ports, ProgressMode mode)
    : ports_(std::move(ports)), rows_(ports_.size()), lastStage_(ports_.size()), mode_(mode) {
  if (!mode_.live) return;
  for (std::size_t row = 0; row < ports_.size(); ++row) rows_[row] = ports_[row] + "  waiting";
  drawBoard();
}

void ProgressBoard::eraseBoard() {
  // The cursor rests on the line below the board: up to its first line, and
  // clear from there down.
  if (!rows_.empty()) std::fprintf(stderr, "\x1b[%zuA\r\x1b[J", rows_.size());
}

void ProgressBoard::drawBoard() {
  for (const std::string& row : rows_) std::fprintf(stderr, "%s\n", row.c_str());
  std::fflush(stderr);
}

void ProgressBoard::setRow(std::size_t row, std::string text) {
  if (rows_[row] == text) return;  // the ticks between tenths of a second draw nothing
  rows_[row] = std::move(text);
  const std::size_t up = rows_.size() - row;
  std::fprintf(stderr, "\x1b[%zuA\r\x1b[2K%s\x1b[%zuB\r", up, rows_[row].c_str(), up);
  std::fflush(stderr);
}

void ProgressBoard::update(std::size_t row, const std::string& stage, std::uint32_t elapsedMs) {
  if (mode_.quiet || row >= ports_.size()) return;
  const std::lock_guard<std::mutex> hold(lock_);
  if (mode_.live) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", elapsedMs / 1000.0);
    setRow(row, ports_[row] + "  " + stage + "  " + seconds);
    return;
  }
  if (lastStage_[row] == stage) return;
  lastStage_[row] = stage;
  std::fprintf(stderr, "%s  %s\n", ports_[row].c_str(), stage.c_str());
  std::fflush(stderr);
}

void ProgressBoard::finish(std::size_t row, const std::string& line, bool toOutput) {
  const std::lock_guard<std::mutex> hold(lock_);
  if (mode_.live && row < rows_.size()) {
    setRow(row, line);
    if (mode_.resultsOnTerminal) return;  // the board is the result
  }
  if (!toOutput) return;
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void ProgressBoard::print(const std::string& line) {
  const std::lock_guard<std::mutex> hold(lock_);
  const bool above = mode_.live && mode_.resultsOnTerminal;
  if (above) eraseBoard();
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  if (above) drawBoard();
}

void ProgressBoard::note(const std::string& line) {
  const std::lock_guard<std::mutex> hold(lock_);
  if (mode_.live) eraseBoard();
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  if (mode_.live) drawBoard();
}

}  // namespace pelmora::cli
