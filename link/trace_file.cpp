#include "link/trace_file.h"

#include <ctime>

namespace pelmora {
namespace {

// Binary: the lines carry their own CR LF, which Windows' text mode would make CR CR LF.
constexpr const char* kAppend = "ab";

// "2026-05-03 14:22:05", local time; "" when the system cannot say.
std::string localDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return {};
  char text[32];
  return std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) != 0 ? std::string(text) : std::string();
}

}  // namespace

OutputResult<TraceFile> TraceFile::open(const std::string& path, std::string_view program) {
  OutputResult<StreamOutput> out = StreamOutput::open(path, kAppend, "trace");
  if (!out) return out.error();
  std::unique_ptr<TraceFile> file(new TraceFile(std::move(*out)));
  file->trace(std::string(program) + ": trace opened " + localDateTime());
  return file;
}

TraceFile::TraceFile(std::unique_ptr<StreamOutput> out) : out_(std::move(out)), writer_(clock_, out_->stream()) {}

TraceFile::~TraceFile() { close(); }

void TraceFile::trace(std::string_view message) {
  if (closed_.load()) return;
  writer_.trace(message);
  out_->check();
}

bool TraceFile::close() {
  closed_.store(true);
  return out_->close();
}

}  // namespace pelmora
