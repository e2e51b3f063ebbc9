#include "link/port_map.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>

#include <sys/stat.h>

#include "link/serial_port.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// Device families in the order they are numbered.
enum class Family { UsbSerial, UsbModem, Uart };

struct FamilyRule {
  Family family;
  std::string_view prefix;
};

constexpr std::array<FamilyRule, 3> kFamilies = {{
    {Family::UsbSerial, "ttyUSB"},
    {Family::UsbModem, "ttyACM"},
    {Family::Uart, "ttyS"},
}};

struct FoundDevice {
  std::size_t familyRank;
  unsigned index;
  std::string name;
};

// "ttyUSB12" with prefix "ttyUSB" gives 12; anything else gives nothing.
std::optional<unsigned> deviceIndex(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.size() > prefix.size() + 6 || !name.starts_with(prefix)) return std::nullopt;
  unsigned value = 0;
  for (const char c : name.substr(prefix.size())) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value;
}

// A ttyS node has a UART behind it when its sysfs "type" is present and not 0.
bool hasUart(const std::string& sysClassTtyDir, const std::string& name) {
  std::ifstream typeFile(sysClassTtyDir + "/" + name + "/type");
  int type = 0;
  return static_cast<bool>(typeFile >> type) && type != 0;
}

std::vector<FoundDevice> findSerialDevices(const PortMapConfig& config) {
  std::vector<FoundDevice> found;
  std::error_code error;
  for (fs::directory_iterator it(config.devDir, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    for (std::size_t rank = 0; rank < kFamilies.size(); ++rank) {
      const std::optional<unsigned> index = deviceIndex(name, kFamilies[rank].prefix);
      if (!index) continue;
      if (kFamilies[rank].family == Family::Uart && !hasUart(config.sysClassTtyDir, name)) break;
      found.push_back({rank, *index, name});
      break;
    }
  }
  std::sort(found.begin(), found.end(), [](const FoundDevice& a, const FoundDevice& b) {
    return a.familyRank != b.familyRank ? a.familyRank < b.familyRank : a.index < b.index;
  });
  return found;
}

// What a path leads to: a character device's number, or else the file itself.
struct DeviceId {
  bool exists = false;
  bool characterDevice = false;
  dev_t number = 0;  // st_rdev of a character device, st_dev of a file
  ino_t inode = 0;

  static DeviceId of(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    if (S_ISCHR(info.st_mode)) return {true, true, info.st_rdev, 0};
    return {true, false, info.st_dev, info.st_ino};
  }
  bool sameAs(const DeviceId& other) const {
    return exists && other.exists && characterDevice == other.characterDevice && number == other.number &&
           inode == other.inode;
  }
};

}  // namespace

bool sameDevice(const std::string& a, const std::string& b) { return DeviceId::of(a).sameAs(DeviceId::of(b)); }

std::vector<PortMapping> resolvePortMap(const PortMapConfig& config, std::span<const PortMapping> previous) {
  std::vector<PortMapping> map;
  std::vector<DeviceId> mappedDevices;
  std::array<bool, kLastPortNumber + 1> taken{};
  const auto take = [&](int port, const std::string& path, bool explicitEntry, const DeviceId& id) {
    taken[static_cast<std::size_t>(port)] = true;
    map.push_back({port, path, explicitEntry});
    mappedDevices.push_back(id);
  };
  const auto alreadyMapped = [&](const DeviceId& id) {
    return std::any_of(mappedDevices.begin(), mappedDevices.end(), [&](const DeviceId& m) { return m.sameAs(id); });
  };

  for (const auto& [port, path] : config.explicitEntries) {
    if (!SerialPort::inRange(port) || taken[static_cast<std::size_t>(port)] || path.empty()) continue;
    const DeviceId id = DeviceId::of(path);
    if (alreadyMapped(id)) continue;
    take(port, path, true, id);
  }

  if (config.automatic) {
    struct Candidate {
      std::string path;
      DeviceId id;
    };
    std::vector<Candidate> unnumbered;
    for (const FoundDevice& device : findSerialDevices(config)) {
      Candidate candidate{(fs::path(config.devDir) / device.name).string(), {}};
      candidate.id = DeviceId::of(candidate.path);
      if (alreadyMapped(candidate.id)) continue;
      // A device the previous map numbered keeps its number.
      const auto before = std::find_if(previous.begin(), previous.end(), [&](const PortMapping& m) {
        return !m.explicitEntry && m.devicePath == candidate.path;
      });
      if (before != previous.end() && SerialPort::inRange(before->port) &&
          !taken[static_cast<std::size_t>(before->port)]) {
        take(before->port, candidate.path, false, candidate.id);
        continue;
      }
      unnumbered.push_back(std::move(candidate));
    }
    int next = kFirstPortNumber;
    for (const Candidate& candidate : unnumbered) {
      while (next <= kLastPortNumber && taken[static_cast<std::size_t>(next)]) ++next;
      if (next > kLastPortNumber) break;
      take(next, candidate.path, false, candidate.id);
    }
  }

  std::sort(map.begin(), map.end(), [](const PortMapping& a, const PortMapping& b) { return a.port < b.port; });
  return map;
}

std::optional<PortMapping> findPortMapping(const PortMapConfig& config, int port) {
  if (!SerialPort::inRange(port)) return std::nullopt;
  for (PortMapping& mapping : resolvePortMap(config))
    if (mapping.port == port) return std::move(mapping);
  return std::nullopt;
}

std::string describePortMapping(const PortMapConfig& config, int port) {
  char name[16];
  std::snprintf(name, sizeof name, "COM%d", port);
  const std::optional<PortMapping> mapping = findPortMapping(config, port);
  if (!mapping) return std::string(name) + ": no device";
  return std::string(name) + ": " + mapping->devicePath +
         (mapping->explicitEntry ? " (port map entry)" : " (found on this machine)");
}

}  // namespace pelmora
