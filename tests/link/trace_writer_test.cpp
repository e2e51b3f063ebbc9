#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "link/trace_file.h"
#include "link/trace_writer.h"

namespace pelmora {
namespace {

struct FixedClock : Clock {
  std::uint64_t nowMs() override { return 0; }
  void sleepMs(std::uint32_t) override {}
  TimeOfDay localTime() override { return {9, 5, 7}; }
};

// Collects what a FILE* received, byte for byte (a binary temporary file,
// so that Windows adds no carriage returns).
struct MemoryFile {
  ~MemoryFile() { std::fclose(file); }
  std::string text() {
    std::fflush(file);
    std::rewind(file);
    std::string received;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) received.push_back(static_cast<char>(c));
    return received;
  }
  std::FILE* file = std::tmpfile();
};

TEST(TraceWriter, LineFormat) {
  FixedClock clock;
  MemoryFile out;
  TraceWriter writer(clock, out.file);
  writer.trace("Read Gspt Data");
  writer.trace("");
  const std::string longMessage(2000, 'x');  // longer than the writer's line buffer
  writer.trace(longMessage);
  EXPECT_EQ(out.text(), "Tracker:09:05:07 Read Gspt Data\r\n"
                        "Tracker:09:05:07 \r\n"
                        "Tracker:09:05:07 " + longMessage + "\r\n");
}

TEST(TraceWriter, LinesStayWholeAcrossThreads) {
  FixedClock clock;
  MemoryFile out;
  TraceWriter writer(clock, out.file);
  const std::string longMessage(600, 'L');
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < 4; ++t)
      threads.emplace_back([&, t] {
        for (int i = 0; i < 300; ++i) i % 10 == 0 ? writer.trace(longMessage) : tracef(&writer, "thread %d line %d", t, i);
      });
  }
  const std::string text = out.text();
  int lines = 0;
  for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2, ++lines) {
    const std::string line = text.substr(at, end - at);
    EXPECT_TRUE(line == "Tracker:09:05:07 " + longMessage || line.starts_with("Tracker:09:05:07 thread ")) << line;
  }
  EXPECT_EQ(lines, 4 * 300);
  EXPECT_TRUE(text.ends_with("\r\n"));
}

// Both fronts open their trace through TraceFile: a second run adds to the
// first run's trace, each run after a line that names its program and time,
// and nothing reaches the file after it was closed.
TEST(TraceFile, EachRunIsAppendedAfterALineThatNamesIt) {
  // A name of its own: other test runs may share the temporary folder.
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("pelmora-trace-" + std::to_string(std::random_device()()) + ".log");
  std::filesystem::remove(path);
  for (const char* program : {"pelmora", "pelmora-cli"}) {
    OutputResult<TraceFile> opened = TraceFile::open(path.string(), program);
    ASSERT_TRUE(opened) << opened.error().message;
    const std::unique_ptr<TraceFile> trace = std::move(*opened);
    trace->trace("Read Gspt Data");
    EXPECT_TRUE(trace->close());
    trace->trace("after the close");
  }
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  std::filesystem::remove(path);
  const std::string time = R"(\d\d:\d\d:\d\d)";
  const std::regex expected("Tracker:" + time + " pelmora: trace opened \\d{4}-\\d\\d-\\d\\d " + time + "\r\n" +
                            "Tracker:" + time + " Read Gspt Data\r\n" +
                            "Tracker:" + time + " pelmora-cli: trace opened \\d{4}-\\d\\d-\\d\\d " + time + "\r\n" +
                            "Tracker:" + time + " Read Gspt Data\r\n");
  EXPECT_TRUE(std::regex_match(text.str(), expected)) << text.str();
}

}  // namespace
}  // namespace pelmora
