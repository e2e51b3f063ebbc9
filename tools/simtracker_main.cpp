// pelmora-simtracker: a simulated tracker on a pseudo-terminal, to run by
// hand next to the tool. Prints the device to open and runs until Ctrl-C.

#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "sim/demo_images.h"
#include "sim/sim_tracker.h"

namespace {

using pelmora::sim::SimOptions;

constexpr const char* kUsage =
    "usage: pelmora-simtracker [options]\n"
    "  --link PATH          keep a symbolic link PATH pointing at the device\n"
    "  --image basic|extended|FILE   settings image to answer reads with (default basic)\n"
    "  --baud N             pace replies like a line at N baud (default 9600, 0 = unpaced)\n"
    "  --save-writes FILE   save every written image to FILE\n"
    "  --silent             answer nothing\n"
    "  --delay MS           wait MS before each reply\n"
    "  --echo               send each request back before its reply\n"
    "  --noise N            send N noise bytes before each reply\n"
    "  --write-size N       hand replies to the line N bytes at a time\n"
    "  --bad-checksum       replies carry a wrong checksum\n"
    "  --refuse-writes      write replies carry status 0\n"
    "  --forget-writes      write replies say stored, but the settings stay\n"
    "  --unknown-layout     settings replies start 05 00 86 F6\n"
    "  --short-image N      settings replies carry only N bytes of the image\n"
    "  --quiet              do not print requests and replies\n";

bool parseNumber(const char* text, unsigned long& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtoul(text, &end, 10);
  return errno == 0 && end != text && *end == '\0';
}

// Fills `options`; false (after a message) for a bad command line.
bool parseArguments(int argc, char** argv, SimOptions& options, bool& quiet) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    unsigned long number = 0;
    const auto numberArg = [&]() {
      if (!hasValue || !parseNumber(argv[i + 1], number)) {
        std::fprintf(stderr, "%s needs a number\n", argv[i]);
        return false;
      }
      ++i;
      return true;
    };
    if (arg == "--link" && hasValue) {
      options.linkPath = argv[++i];
    } else if (arg == "--image" && hasValue) {
      const std::string_view which = argv[++i];
      if (which == "basic") {
        options.image = pelmora::sim::basicDemoImage();
      } else if (which == "extended") {
        options.image = pelmora::sim::extendedDemoImage();
      } else if (!pelmora::sim::loadImageFile(argv[i], options.image)) {
        std::fprintf(stderr, "cannot use %s as an image (missing, empty or above 4079 bytes)\n", argv[i]);
        return false;
      }
    } else if (arg == "--save-writes" && hasValue) {
      options.saveWritesTo = argv[++i];
    } else if (arg == "--baud") {
      if (!numberArg()) return false;
      options.behaviour.baud = static_cast<std::uint32_t>(number);
    } else if (arg == "--delay") {
      if (!numberArg()) return false;
      options.behaviour.replyDelayMs = static_cast<std::uint32_t>(number);
    } else if (arg == "--noise") {
      if (!numberArg()) return false;
      options.behaviour.noiseBytes = number;
    } else if (arg == "--write-size") {
      if (!numberArg()) return false;
      options.behaviour.writeSize = number;
    } else if (arg == "--short-image") {
      if (!numberArg()) return false;
      options.behaviour.shortImage = number;
    } else if (arg == "--silent") {
      options.behaviour.silent = true;
    } else if (arg == "--echo") {
      options.behaviour.echo = true;
    } else if (arg == "--bad-checksum") {
      options.behaviour.badChecksum = true;
    } else if (arg == "--refuse-writes") {
      options.behaviour.refuseWrites = true;
    } else if (arg == "--forget-writes") {
      options.behaviour.forgetWrites = true;
    } else if (arg == "--unknown-layout") {
      options.behaviour.unknownLayout = true;
    } else if (arg == "--quiet") {
      quiet = true;
    } else {
      std::fputs(kUsage, stderr);
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  SimOptions options;
  bool quiet = false;
  if (!parseArguments(argc, argv, options, quiet)) return 2;
  if (!quiet)
    options.log = [](std::string_view line) {
      std::printf("%.*s\n", static_cast<int>(line.size()), line.data());
      std::fflush(stdout);
    };

  // Ctrl-C and termination are taken by sigwait below, in this thread only.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  pelmora::sim::SimTracker tracker(std::move(options));
  if (!tracker.start()) {
    std::fprintf(stderr, "pelmora-simtracker: %s\n", tracker.errorText().c_str());
    return 1;
  }
  std::printf("simulated tracker on %s", tracker.devicePath().c_str());
  if (!tracker.linkPath().empty()) std::printf(" (link %s)", tracker.linkPath().c_str());
  std::printf("\nCtrl-C ends it.\n");
  std::fflush(stdout);

  int received = 0;
  sigwait(&stopSignals, &received);
  tracker.stop();
  const pelmora::sim::SimCounters seen = tracker.counters();
  std::printf("\nseen: %llu handshakes, %llu reads, %llu writes\n", static_cast<unsigned long long>(seen.handshakes),
              static_cast<unsigned long long>(seen.readSettings), static_cast<unsigned long long>(seen.writeSettings));
  return 0;
}
