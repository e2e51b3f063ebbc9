#include "bench/harness_options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace pelmora::bench {
namespace {

constexpr const char* kUsage =
    "usage: pelmora_link_harness [options]\n"
    "  --reads N          Read Settings repetitions (15)\n"
    "  --writes N         Write Settings repetitions (20)\n"
    "  --opens N          port opened -> on-line report repetitions (20)\n"
    "  --scans N          Scan Ports repetitions (5)\n"
    "  --failing K        scan: ports 0..K-1 fail to open (3; port 0 always fails)\n"
    "  --silent M         scan: then M ports that open but never answer (2)\n"
    "  --idle-seconds S   length of each idle measurement (60)\n"
    "  --baud N           line speed, 10 bits per byte (9600)\n"
    "  --seed N           seed of the random timer phases (1)\n"
    "  --phases LOW-HIGH  commands start LOW to HIGH ms after a timer tick (0-1000)\n"
    "  --settle-ms N      quiet time before each read or write, plus up to 1 s (2500)\n"
    "  --only LIST        some of read,write,online,scan,idle (all)\n"
    "  --trace FILE       write the engine's diagnostic trace to FILE\n"
    "  --table FILE       append the results as Markdown table rows to FILE\n";

bool parseCount(const char* text, long low, long high, long& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text, &end, 10);
  return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

bool parseOnly(std::string_view list, HarnessOptions& o) {
  o.read = o.write = o.online = o.scan = o.idle = false;
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    const std::string_view name = list.substr(0, comma);
    if (name == "read") o.read = true;
    else if (name == "write") o.write = true;
    else if (name == "online") o.online = true;
    else if (name == "scan") o.scan = true;
    else if (name == "idle") o.idle = true;
    else return false;
    list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
  }
  return true;
}

}  // namespace

bool parseHarnessOptions(int argc, char** argv, HarnessOptions& options, bool& exitNow) {
  exitNow = false;
  struct CountOption {
    std::string_view name;
    long low, high;
    int* target;
  };
  const CountOption counts[] = {
      {"--reads", 0, 10000, &options.reads},         {"--writes", 0, 10000, &options.writes},
      {"--opens", 0, 10000, &options.opens},         {"--scans", 0, 10000, &options.scans},
      {"--failing", 1, 90, &options.failingPorts},   {"--silent", 0, 90, &options.silentPorts},
      {"--idle-seconds", 1, 3600, &options.idleSeconds}, {"--settle-ms", 0, 60000, &options.settleMs},
  };
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      exitNow = true;
      return true;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "%s: missing value or unknown option\n%s", argv[i], kUsage);
      return false;
    }
    const char* value = argv[++i];
    long number = 0;
    bool known = false;
    for (const CountOption& c : counts) {
      if (arg != c.name) continue;
      known = true;
      if (!parseCount(value, c.low, c.high, number)) {
        std::fprintf(stderr, "%s needs a number from %ld to %ld\n", argv[i - 1], c.low, c.high);
        return false;
      }
      *c.target = static_cast<int>(number);
    }
    if (known) continue;
    if (arg == "--baud" || arg == "--seed") {
      if (!parseCount(value, arg == "--baud" ? 300 : 0, 0x7FFFFFFF, number)) {
        std::fprintf(stderr, "%s needs a positive number\n", argv[i - 1]);
        return false;
      }
      (arg == "--baud" ? options.baud : options.seed) = static_cast<std::uint32_t>(number);
    } else if (arg == "--phases") {
      const std::string_view range = value;
      const std::size_t dash = range.find('-');
      long low = 0;
      long high = 0;
      if (dash == std::string_view::npos || !parseCount(std::string(range.substr(0, dash)).c_str(), 0, 999, low) ||
          !parseCount(std::string(range.substr(dash + 1)).c_str(), low + 1, 1000, high)) {
        std::fprintf(stderr, "--phases takes LOW-HIGH, 0 <= LOW < HIGH <= 1000\n");
        return false;
      }
      options.phaseLowMs = static_cast<int>(low);
      options.phaseHighMs = static_cast<int>(high);
    } else if (arg == "--only") {
      if (!parseOnly(value, options)) {
        std::fprintf(stderr, "--only takes names from read,write,online,scan,idle\n");
        return false;
      }
    } else if (arg == "--trace") {
      options.tracePath = value;
    } else if (arg == "--table") {
      options.tablePath = value;
    } else {
      std::fprintf(stderr, "unknown option %s\n%s", argv[i - 1], kUsage);
      return false;
    }
  }
  if (options.failingPorts + options.silentPorts >= 100) {
    std::fprintf(stderr, "--failing plus --silent must leave a port for the tracker (below 100)\n");
    return false;
  }
  return true;
}

}  // namespace pelmora::bench
