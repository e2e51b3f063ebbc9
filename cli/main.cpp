// pelmora-cli: reads, writes, compares and provisions trackers from the
// command line, on the same core as the window.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/port_target.h"

#ifndef PELMORA_VERSION
#define PELMORA_VERSION "unknown"
#endif

namespace {

using namespace pelmora::cli;

constexpr const char* kExitStatusHelp = R"(Exit status: 0 done; 1 a tracker failed (no answer, refused, not verified);
2 bad usage or bad input (a bad file or profile, an unknown or unusable port).)";

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Reads, writes, compares and provisions GPS trackers over a serial line.", "pelmora-cli"};
  app.footer(std::string(portNamingHelp()) + "\n\n" + kExitStatusHelp);
  app.set_version_flag("--version", std::string("pelmora-cli ") + PELMORA_VERSION);
  app.require_subcommand(1);
  app.fallthrough();  // the common options after the command name too

  CommonOptions common;
  app.add_option("--trace", common.traceFile, "Write a diagnostic trace of the line to FILE (- for standard error)")
      ->type_name("FILE");
  app.add_flag("-q,--quiet", common.quiet, "Print results only, no progress");
  app.add_flag("-v,--verbose", common.verbose, "Print the link's log lines too");

  std::string port, file, output, profile, reportFile, first, second;
  std::vector<std::string> ports;
  bool dryRun = false, allPorts = false, json = false;

  CLI::App* read = app.add_subcommand("read", "Read a tracker's settings into a file");
  read->add_option("PORT", port, "COMn or a device path")->required();
  read->add_option("-o,--output", output,
                   "Settings file: .json for JSON, any other name for the raw image, - for JSON on standard output")
      ->required()
      ->type_name("FILE");

  CLI::App* write = app.add_subcommand(
      "write", "Lay a settings file, image or profile over a tracker's settings, write them, read back and verify");
  write->add_option("PORT", port, "COMn or a device path")->required();
  write->add_option("FILE", file, "Settings file (.json), image, or profile")->required();
  write->add_flag("-n,--dry-run", dryRun, "Print what would change and stop");

  CLI::App* apply = app.add_subcommand("apply", "Write a profile to many trackers at once, each verified");
  apply->add_option("PROFILE", profile, "Profile or settings file (.json) or image")->required();
  apply->add_option("PORT", ports, "COMn numbers or device paths");
  apply->add_flag("--all", allPorts, "Every port of the port map");
  apply->add_option("--report", reportFile, "Also write one JSON line per tracker to FILE")->type_name("FILE");
  apply->add_flag("-n,--dry-run", dryRun, "Print what would change on each tracker and stop");

  CLI::App* diff = app.add_subcommand("diff", "Compare two settings files, or a file and a tracker, field by field");
  diff->add_option("A", first, "Settings file, image, or port")->required();
  diff->add_option("B", second, "Settings file, image, or port")->required();

  CLI::App* scan = app.add_subcommand("scan", "Find the ports with a tracker, all ports at once");
  scan->add_flag("--json", json, "One JSON object per port found");

  CLI::App* portsCommand = app.add_subcommand("ports", "List the port map with each port's adapter");
  portsCommand->add_flag("--json", json, "As a JSON array");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitBadInput;
  }

  if (apply->parsed() && ports.empty() == !allPorts) {
    std::fprintf(stderr, "pelmora-cli apply: name the ports or give --all (not both)\n");
    return kExitBadInput;
  }
  if (read->parsed()) return runRead(common, port, output);
  if (write->parsed()) return runWrite(common, port, file, dryRun);
  if (apply->parsed()) return runApply(common, profile, ports, allPorts, reportFile, dryRun);
  if (diff->parsed()) return runDiff(common, first, second);
  if (scan->parsed()) return runScan(common, json);
  return runPorts(common, json);
}
