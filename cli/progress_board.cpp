#include "cli/progress_board.h"

namespace pelmora::cli {

ProgressBoard::ProgressBoard(std::vector<std::string> ports, bool live, bool quiet, std::FILE* out)
    : ports_(std::move(ports)), lastStage_(ports_.size()), live_(live && !quiet), quiet_(quiet), out_(out) {
  if (!live_) return;
  // One line per port, drawn below whatever came before.
  for (const std::string& port : ports_) std::fprintf(out_, "%s  waiting\n", port.c_str());
  std::fflush(out_);
}

ProgressBoard::~ProgressBoard() {
  if (live_) std::fflush(out_);
}

void ProgressBoard::drawRow(std::size_t row, const std::string& text) {
  // The cursor rests on the line below the board: go up to the row, redraw
  // it, come back down.
  const std::size_t up = ports_.size() - row;
  std::fprintf(out_, "\x1b[%zuA\r\x1b[2K%s\x1b[%zuB\r", up, text.c_str(), up);
  std::fflush(out_);
}

void ProgressBoard::update(std::size_t row, const std::string& stage, std::uint32_t elapsedMs) {
  if (quiet_ || row >= ports_.size()) return;
  const std::lock_guard<std::mutex> hold(lock_);
  if (live_) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", elapsedMs / 1000.0);
    drawRow(row, ports_[row] + "  " + stage + "  " + seconds);
    return;
  }
  if (lastStage_[row] == stage) return;
  lastStage_[row] = stage;
  std::fprintf(out_, "%s  %s\n", ports_[row].c_str(), stage.c_str());
  std::fflush(out_);
}

void ProgressBoard::finish(std::size_t row, const std::string& line) {
  if (quiet_ || row >= ports_.size()) return;
  const std::lock_guard<std::mutex> hold(lock_);
  if (live_) drawRow(row, line);
}

}  // namespace pelmora::cli
