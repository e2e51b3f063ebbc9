// pelmora-cli: reads, writes, compares and provisions trackers from the
// command line, on the same core as the window.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "pelmora_version.h"
#include "cli/exit_status.h"
#include "cli/port_target.h"
#include "link/stream_output.h"


namespace {

using namespace pelmora::cli;

constexpr const char* kExitStatusHelp =
    R"(Exit status: 0 done; 1 a tracker failed (no answer, refused, not verified, a write left unknown)
or an output was lost (-o, --report, --trace, standard output); 2 bad usage or bad input, refused
with no tracker written (a bad file or profile, an unknown, busy or unusable port, a whole file
from another tracker without --yes, settings kept from another tracker without --other-tracker);
130 interrupted: a write on its way was finished and verified. A write whose settings read cannot be
kept first (history) is not made: 1.
diff answers as diff(1) does: 0 no differences, 1 differences, 2 trouble.)";

// Standard output takes the results: a full disk or a closed pipe there is
// a lost output like any other.
bool standardOutputWhole() {
  errno = 0;
  if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return true;
  std::fprintf(stderr, "standard output: the results could not be written whole%s%s%s\n", errno != 0 ? " (" : "",
               errno != 0 ? std::strerror(errno) : "", errno != 0 ? ")" : "");
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Reads, writes, compares and provisions GPS trackers over a serial line.", "pelmora-cli"};
  app.footer(std::string(portNamingHelp()) + "\n\n" + kExitStatusHelp);
  app.set_version_flag("--version", std::string("pelmora-cli ") + pelmora::kPelmoraVersion);
  app.require_subcommand(1);
  app.fallthrough();  // the common options after the command name too

  CommonOptions common;
  app.add_option("--trace", common.traceFile, "Write a diagnostic trace of the line to FILE (- for standard error)")
      ->type_name("FILE");
  app.add_flag("-q,--quiet", common.quiet, "Print results only, no progress");
  app.add_flag("-v,--verbose", common.verbose, "Print the link's log lines too");

  // Each command, its own options, and what runs it: a command without a
  // line here never runs.
  struct Command {
    CLI::App* parser;
    std::function<int()> run;
    ExitStatus lostOutput = kExitTrackerFailed;  // the status when an output lost anything
  };
  std::vector<Command> commands;

  ReadOptions readOptions;
  CLI::App* read = app.add_subcommand("read", "Read a tracker's settings into a file");
  read->add_option("PORT", readOptions.port, "COMn or a device path")->required();
  read->add_option("-o,--output", readOptions.output,
                   "Settings file: .json for JSON, any other name for the raw image, - for JSON on standard output")
      ->required()
      ->type_name("FILE");
  commands.push_back({read, [&] { return runRead(common, readOptions); }});

  WriteOptions writeOptions;
  CLI::App* write = app.add_subcommand(
      "write", "Lay a settings file, image or profile over a tracker's settings, write them, read back and verify");
  write->add_option("PORT", writeOptions.port, "COMn or a device path")->required();
  write->add_option("FILE", writeOptions.file, "Settings file (.json), image, or profile")->required();
  write->add_flag("-n,--dry-run", writeOptions.dryRun, "Print what would change and stop");
  write->add_flag("-y,--yes", writeOptions.yes,
                  "Write a whole settings file from another tracker (its TrackerId differs) all the same");
  commands.push_back({write, [&] { return runWrite(common, writeOptions); }});

  ApplyOptions applyOptions;
  CLI::App* apply = app.add_subcommand("apply", "Write a profile to many trackers at once, each verified");
  apply->add_option("PROFILE", applyOptions.profile, "Profile or settings file (.json) or image")->required();
  apply->add_option("PORT", applyOptions.ports, "COMn numbers or device paths");
  apply->add_flag("--all", applyOptions.allPorts, "Every port of the port map");
  apply->add_option("--report", applyOptions.reportFile,
                    "Also write one JSON line per tracker to FILE (a file, or a device or pipe such as /dev/stdout)")
      ->type_name("FILE");
  apply->add_flag("-n,--dry-run", applyOptions.dryRun, "Print what would change on each tracker and stop");
  apply->add_flag("-y,--yes", applyOptions.yes,
                  "Write a whole settings file from another tracker (its TrackerId differs) all the same");
  commands.push_back({apply, [&]() -> int {
                        if (applyOptions.ports.empty() == !applyOptions.allPorts) {
                          std::fprintf(stderr, "pelmora-cli apply: name the ports or give --all (not both)\n");
                          return kExitBadInput;
                        }
                        return runApply(common, applyOptions);
                      }});

  DiffOptions diffOptions;
  CLI::App* diff = app.add_subcommand("diff", "Compare two settings files, or a file and a tracker, field by field");
  diff->add_option("A", diffOptions.first, "Settings file, image, or port")->required();
  diff->add_option("B", diffOptions.second, "Settings file, image, or port")->required();
  diff->add_flag("--json", diffOptions.json, "One JSON object: the fields changed and each side's identity");
  diff->footer(
      "A profile is compared only in the fields it names. The identity (MagicNumber, RomVersion, Imei) is shown\n"
      "apart and is never a difference. Exit status, as diff(1): 0 no differences; 1 differences; 2 trouble\n"
      "(a bad file, no tracker answering, an unusable port).");
  commands.push_back({diff, [&] { return runDiff(common, diffOptions); }, kExitTrouble});

  bool fieldsJson = false;
  bool fieldsMarkdown = false;
  CLI::App* fields = app.add_subcommand(
      "fields", "List every field a person sets: its key in settings files, page, label, unit, rule and choices");
  CLI::Option* fieldsJsonFlag =
      fields->add_flag("--json", fieldsJson, "As a JSON array, with the Russian page and label beside the English");
  fields->add_flag("--markdown", fieldsMarkdown, "As the Markdown table of docs/fields.md")->excludes(fieldsJsonFlag);
  commands.push_back({fields, [&] {
                        return runFields(fieldsJson       ? FieldsFormat::Json
                                         : fieldsMarkdown ? FieldsFormat::Markdown
                                                          : FieldsFormat::Columns);
                      }});

  bool scanJson = false;
  CLI::App* scan = app.add_subcommand("scan", "Find the ports with a tracker, all ports at once");
  scan->add_flag("--json", scanJson, "One JSON object per port found");
  commands.push_back({scan, [&] { return runScan(common, scanJson); }});

  bool portsJson = false;
  CLI::App* ports = app.add_subcommand("ports", "List the port map with each port's adapter");
  ports->add_flag("--json", portsJson, "As a JSON array");
  commands.push_back({ports, [&] { return runPorts(common, portsJson); }});

  HistoryOptions historyOptions;
  CLI::App* history = app.add_subcommand(
      "history", "List the settings kept before each write: when, by which program, the fields it changed");
  history->add_option("TRACKER", historyOptions.tracker, "An IMEI (or the name history lists): that tracker's only");
  history->add_flag("--json", historyOptions.json, "As a JSON array, with each kept image's file");
  history->footer("Kept in $XDG_DATA_HOME/pelmora/history (default ~/.local/share/pelmora/history;\n"
                  "%LOCALAPPDATA%\\Pelmora\\history on Windows), the newest 20 per tracker ([History] Keep=).");
  commands.push_back({history, [&] { return runHistory(historyOptions); }});

  RestoreOptions restoreOptions;
  CLI::App* restore = app.add_subcommand(
      "restore", "Put back the settings a tracker held before an earlier write, read back and verify");
  restore->add_option("PORT", restoreOptions.port, "COMn or a device path")->required();
  restore->add_option("--at", restoreOptions.at,
                      "The settings kept at TIME, as history lists it (its start will do), or a kept image's "
                      "file (default: the newest kept for this tracker)")
      ->type_name("TIME");
  restore->add_flag("--other-tracker", restoreOptions.otherTracker,
                    "Write settings kept from another tracker all the same");
  restore->add_flag("-n,--dry-run", restoreOptions.dryRun, "Print what would change back and stop");
  commands.push_back({restore, [&] { return runRestore(common, restoreOptions); }});

  StationOptions stationOptions;
  CLI::App* station = app.add_subcommand(
      "station", "Provisioning station: each tracker plugged into a station port is written, verified and recorded");
  station->add_option("PROFILE", stationOptions.profile, "Profile (.json) laid over every tracker")->required();
  station->add_option("--values", stationOptions.valuesFile,
                      "CSV of each tracker's own values: a header of field keys with Imei first, a row per tracker")
      ->type_name("FILE");
  station->add_option("--log", stationOptions.recordFile,
                      "The record, one JSON line per tracker, appended (read at start: trackers done with this "
                      "profile are not written again)")
      ->type_name("FILE")
      ->capture_default_str();
  station->add_option("--csv", stationOptions.csvFile, "Also append a CSV summary line per tracker to FILE")
      ->type_name("FILE");
  station->add_option("--ports", stationOptions.ports,
                      "The station's ports, COMn or device paths (default: the [Ports] entries of the port map)")
      ->delimiter(',');
  station->add_flag("--again", stationOptions.again, "Write trackers the record shows done with this profile too");
  station->add_option("--count", stationOptions.count, "Stop after N trackers are done or failed (default: Ctrl-C)");
  commands.push_back({station, [&] { return runStation(common, stationOptions); }});

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

  const auto chosen = std::find_if(commands.begin(), commands.end(), [](const Command& c) { return c.parser->parsed(); });
  if (chosen == commands.end()) {
    std::fprintf(stderr, "pelmora-cli: no command to run (see pelmora-cli --help)\n");
    return kExitBadInput;
  }
  int status = chosen->run();
  // Every output was checked as it closed; one that lost anything makes the run a failure.
  if (!standardOutputWhole() || pelmora::StreamOutput::anyLost()) status = std::max(status, static_cast<int>(chosen->lostOutput));
  return status;
}
