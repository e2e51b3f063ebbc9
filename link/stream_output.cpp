#include "link/stream_output.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "link/shown_text.h"

namespace pelmora {
namespace {

std::atomic<bool> outputLost{false};  // any output of this process

}  // namespace

OutputResult<StreamOutput> StreamOutput::open(const std::string& path, const char* mode, std::string_view what) {
  const auto refused = [&](const char* why) {
    return Error<OutputError>{OutputError::Unwritable,
                              shown(path) + ": cannot write the " + std::string(what) + " there (" + why + ")"};
  };
  if (path == "-") return std::unique_ptr<StreamOutput>(new StreamOutput(stderr, path, what));
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) return refused("a directory");
  std::FILE* out = std::fopen(path.c_str(), mode);
  if (out == nullptr) return refused(std::strerror(errno));
  return std::unique_ptr<StreamOutput>(new StreamOutput(out, path, what));
}

StreamOutput::StreamOutput(std::FILE* out, std::string path, std::string_view what)
    : out_(out), path_(std::move(path)), what_(what) {}

StreamOutput::~StreamOutput() { close(); }

void StreamOutput::noteLoss() {
  int none = 0;
  lostErrno_.compare_exchange_strong(none, errno != 0 ? errno : -1);  // the first reason stays
}

bool StreamOutput::writeLine(std::string_view line) {
  errno = 0;
  if (std::fwrite(line.data(), 1, line.size(), out_) != line.size() || std::fputc('\n', out_) == EOF ||
      std::fflush(out_) != 0)
    noteLoss();
  return lostErrno_.load() == 0;
}

void StreamOutput::check() {
  if (std::ferror(out_) != 0) noteLoss();
}

bool StreamOutput::anyLost() { return outputLost.load(); }

bool StreamOutput::close() {
  if (closed_) return lostErrno_.load() == 0;
  closed_ = true;
  errno = 0;
  if (std::fflush(out_) != 0 || std::ferror(out_) != 0) noteLoss();
  errno = 0;
  if (out_ != stderr && std::fclose(out_) != 0) noteLoss();
  const int lost = lostErrno_.load();
  if (lost == 0) return true;
  outputLost.store(true);
  const std::string where = path_ == "-" ? std::string("standard error") : shown(path_);
  std::fprintf(stderr, "%s: the %s could not be written whole%s%s%s\n", where.c_str(), what_.c_str(),
               lost > 0 ? " (" : "", lost > 0 ? std::strerror(lost) : "", lost > 0 ? ")" : "");
  return false;
}

}  // namespace pelmora
