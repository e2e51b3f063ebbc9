#pragma once
// What pelmora_link_harness measures and how often. The defaults finish in
// about six minutes.

#include <cstdint>
#include <string>

namespace pelmora::bench {

struct HarnessOptions {
  int reads = 15;         // "Read Settings" repetitions
  int writes = 20;        // "Write Settings" repetitions
  int opens = 20;         // port opened -> on-line report
  int scans = 5;          // "Scan Ports" -> "Tracker is on port %d"
  int failingPorts = 3;   // k: ports 0 .. k-1 fail to open (0 always does)
  int silentPorts = 2;    // m: then m ports that open but never answer
  int idleSeconds = 60;   // each of the two idle measurements
  std::uint32_t baud = 9600;
  std::uint32_t seed = 1;  // phases relative to the handshake timer
  int phaseLowMs = 0;      // commands start this many ms after a tick, at the least...
  int phaseHighMs = 1000;  // ...and less than this many
  int settleMs = 2500;     // quiet time before each read or write (plus up to 1 s at random)
  bool read = true, write = true, online = true, scan = true, idle = true;
  std::string tracePath;  // the engine's diagnostic trace; empty: none
  std::string tablePath;  // if set: Markdown rows appended here
};

// False, after a message on stderr, for a bad command line; `exitNow` is
// set (with a true result) when only the usage was asked for.
bool parseHarnessOptions(int argc, char** argv, HarnessOptions& options, bool& exitNow);

}  // namespace pelmora::bench
