#include "station/station_assembly.h"

#include <filesystem>

#include "link/port_discovery.h"
#include "link/port_name.h"
#include "link/shown_text.h"
#include "link/system_serial_port.h"
#include "settings/atomic_file.h"
#include "settings/sha256.h"
#include "station/thread_job_launcher.h"

namespace pelmora::station {
namespace {

constexpr std::size_t kMaxProfileBytes = 1 << 20;
constexpr std::size_t kMaxRecordBytes = 64u << 20;

// What the record says was verified with this profile already.
SettingsResult<std::shared_ptr<VerifiedImeis>> doneEarlier(const PlanFiles& files, const std::string& sha256,
                                                           std::size_t* skipped) {
  auto verified = std::make_shared<VerifiedImeis>();
  std::error_code ignored;
  if (files.again || !std::filesystem::exists(files.record, ignored)) return verified;
  const SettingsResult<std::vector<std::uint8_t>> text = readRegularFile(files.record, kMaxRecordBytes, "record");
  if (!text) return text.error();
  return std::make_shared<VerifiedImeis>(
      verifiedWith(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()), sha256, skipped));
}

}  // namespace

SettingsResult<JobPlan> loadStationPlan(const PlanFiles& files, std::size_t* skippedRecordLines) {
  JobPlan plan;
  SettingsResult<SettingsDocument> profile = loadSettingsFile(files.profile);
  if (!profile) return profile.error();
  if (const std::vector<std::string> own = oneTrackerFields(*profile); !own.empty())
    return SettingsError{SettingsErrorKind::BadInput, shown(files.profile) + ": " + own.front() +
                                                          " belongs to one tracker; give each tracker its own " +
                                                          files.valuesHint};
  const SettingsResult<std::vector<std::uint8_t>> bytes =
      readRegularFile(files.profile, kMaxProfileBytes, "settings file");
  if (!bytes) return bytes.error();
  plan.profile = std::move(*profile);
  plan.profileName = files.profile;
  plan.profileSha256 = sha256Hex(*bytes);
  if (!files.values.empty()) {
    SettingsResult<ValuesFile> values = ValuesFile::load(files.values);
    if (!values) return values.error();
    plan.values = std::move(*values);
    plan.valuesName = files.values;
  }
  std::size_t skipped = 0;
  SettingsResult<std::shared_ptr<VerifiedImeis>> earlier = doneEarlier(files, plan.profileSha256, &skipped);
  if (!earlier) return earlier.error();
  plan.doneEarlier = std::move(*earlier);
  if (skippedRecordLines != nullptr) *skippedRecordLines = skipped;
  return plan;
}

OutputResult<StationRecordFiles> StationRecordFiles::open(const std::string& record, const std::string& csv) {
  std::unique_ptr<StationRecordFiles> files(new StationRecordFiles);
  OutputResult<StreamOutput> opened = StreamOutput::open(record, "ab", "record");
  if (!opened) return opened.error();
  files->record_ = std::move(*opened);
  if (!csv.empty()) {
    std::error_code ignored;
    const bool fresh = std::filesystem::file_size(csv, ignored) == 0 || ignored;
    OutputResult<StreamOutput> summary = StreamOutput::open(csv, "ab", "CSV summary");
    if (!summary) return summary.error();
    files->csv_ = std::move(*summary);
    if (fresh) files->csv_->writeLine(kCsvHeader);
  }
  return files;
}

bool StationRecordFiles::keep(const RecordEntry& entry) {
  const bool kept = record_->writeLine(recordLine(entry));
  return (csv_ == nullptr || csv_->writeLine(csvLine(entry))) && kept;
}

bool StationRecordFiles::close() { return record_->close() && (csv_ == nullptr || csv_->close()); }

std::vector<StationPort> mappedStationPorts(const PortMapConfig& map) {
  std::vector<StationPort> ports;
  for (const PortMapping& mapping : resolvePortMap(map))
    if (mapping.explicitEntry) ports.push_back({comPortName(mapping.port), mapping.port, map});
  return ports;
}

namespace {

std::vector<std::string> devicePaths(const std::vector<StationPort>& ports) {
  std::vector<std::string> paths;
  for (const StationPort& port : ports)
    if (const std::optional<PortMapping> mapping = findPortMapping(port.map, port.number))
      paths.push_back(mapping->devicePath);
  return paths;
}

}  // namespace

StationPortPresence::StationPortPresence(std::vector<StationPort> ports)
    : ports_(std::move(ports)), watch_(makePortWatch(devicePaths(ports_))) {}

std::vector<PresentPort> StationPortPresence::present() {
  std::vector<PresentPort> present;
  for (const StationPort& port : ports_) {
    if (!stationPortPresent(port)) {
      adapters_.erase(port.number);
      continue;
    }
    auto [known, added] = adapters_.try_emplace(port.number);
    if (added) {
      if (const std::optional<PortMapping> mapping = findPortMapping(port.map, port.number))
        known->second = portLabel(makePortDiscovery()->describe(mapping->devicePath));
    }
    present.push_back({port.number, port.name, known->second});
  }
  return present;
}

std::unique_ptr<JobLauncher> makeStationLauncher(const std::vector<StationPort>& ports, TraceSink* trace,
                                                 EngineOptions options) {
  std::map<int, PortMapConfig> maps;
  for (const StationPort& port : ports) maps[port.number] = port.map;
  return std::make_unique<ThreadJobLauncher>(
      [maps = std::move(maps)](int number) { return makeSystemSerialPort(maps.at(number)); }, trace, options);
}

SettingsResult<StationMachinery> mappedStationMachinery(const PortMapConfig& map, TraceSink* trace,
                                                        EngineOptions options) {
  std::vector<StationPort> ports = mappedStationPorts(map);
  if (ports.empty())
    return SettingsError{SettingsErrorKind::BadInput,
                         "no station ports: name them as [Ports] entries of the port map (a station never takes "
                         "every serial device there is)"};
  StationMachinery machinery;
  machinery.launcher = makeStationLauncher(ports, trace, options);
  machinery.presence = std::make_unique<StationPortPresence>(std::move(ports));
  return machinery;
}

}  // namespace pelmora::station
