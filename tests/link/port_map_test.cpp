#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "link/port_map.h"
#include "link/port_map_file.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// A fake /dev and /sys/class/tty in a temporary folder.
struct FakeMachine {
  FakeMachine() {
    std::string pattern = (fs::temp_directory_path() / "pelmora-portmap-XXXXXX").string();
    root = mkdtemp(pattern.data());
    fs::create_directories(root / "dev");
    fs::create_directories(root / "sys");
  }
  ~FakeMachine() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  std::string dev() const { return (root / "dev").string(); }
  void node(const std::string& name) { std::ofstream(root / "dev" / name).put('\0'); }
  void uartType(const std::string& name, const std::string& type) {
    fs::create_directories(root / "sys" / name);
    std::ofstream(root / "sys" / name / "type") << type;
  }
  PortMapConfig config() const { return {{}, true, dev(), (root / "sys").string()}; }

  fs::path root;
};

using Rows = std::vector<std::pair<int, std::string>>;

// (port, device) rows; devices of the fake /dev without their folder.
Rows summary(const std::vector<PortMapping>& map, const std::string& dev) {
  Rows rows;
  for (const PortMapping& m : map)
    rows.emplace_back(m.port, m.devicePath.starts_with(dev + "/") ? m.devicePath.substr(dev.size() + 1) : m.devicePath);
  return rows;
}

TEST(PortMap, AutomaticNumbering) {
  FakeMachine machine;
  for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyUSB0", "ttyACM1", "ttyACM0", "ttyS0", "ttyS1", "ttyS2", "ttyS3",
                           "ttyS", "ttyUSBx", "tty1", "console", "ttyAMA0"})
    machine.node(name);
  machine.uartType("ttyS0", "0\n");  // a node without hardware
  machine.uartType("ttyS1", "4\n");  // a 16550A
  machine.uartType("ttyS3", "4\n");  // ttyS2 has no sysfs entry at all

  const PortMapConfig config = machine.config();
  EXPECT_EQ(summary(resolvePortMap(config), machine.dev()),
            (Rows{{1, "ttyUSB0"}, {2, "ttyUSB2"}, {3, "ttyUSB10"}, {4, "ttyACM0"}, {5, "ttyACM1"}, {6, "ttyS1"},
                  {7, "ttyS3"}}));

  // Explicit entries first; the scan skips their numbers and their devices.
  PortMapConfig mixed = config;
  mixed.explicitEntries = {{2, "/dev/pts/7"}, {5, machine.dev() + "/ttyUSB2"}, {0, "/dev/null"}, {100, "/dev/null"},
                           {2, "/dev/pts/8"}};
  EXPECT_EQ(summary(resolvePortMap(mixed), machine.dev()),
            (Rows{{1, "ttyUSB0"}, {2, "/dev/pts/7"}, {3, "ttyUSB10"}, {4, "ttyACM0"}, {5, "ttyUSB2"}, {6, "ttyACM1"},
                  {7, "ttyS1"}, {8, "ttyS3"}}));
  EXPECT_EQ(describePortMapping(mixed, 2), "COM2: /dev/pts/7 (port map entry)");
  EXPECT_EQ(describePortMapping(mixed, 1), "COM1: " + machine.dev() + "/ttyUSB0 (found on this machine)");
  EXPECT_EQ(describePortMapping(mixed, 9), "COM9: no device");

  // Without the scan only the explicit entries remain.
  mixed.automatic = false;
  EXPECT_EQ(summary(resolvePortMap(mixed), machine.dev()), (Rows{{2, "/dev/pts/7"}, {5, "ttyUSB2"}}));

  // A machine without the folders has no ports.
  fs::remove_all(machine.root);
  EXPECT_TRUE(resolvePortMap(config).empty());
}

TEST(PortMap, ADeviceHasOneNumberWhateverItsNameAndKeepsIt) {
  FakeMachine machine;
  machine.node("ttyUSB0");
  machine.node("ttyUSB1");
  fs::create_directories(machine.root / "dev" / "serial" / "by-id");
  const std::string byId = machine.dev() + "/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  fs::create_symlink("../../ttyUSB1", byId);

  // The stable name keeps COM5; ttyUSB1 is neither numbered again nor given to a later entry.
  PortMapConfig config = machine.config();
  config.explicitEntries = {{5, byId}, {6, machine.dev() + "/ttyUSB1"}};
  EXPECT_EQ(summary(resolvePortMap(config), machine.dev()), (Rows{{1, "ttyUSB0"}, {5, byId.substr(machine.dev().size() + 1)}}));

  // Pulling ttyUSB0 leaves ttyUSB2 where it was; plugged again, ttyUSB0 takes the free COM1.
  config.explicitEntries.clear();
  machine.node("ttyUSB2");
  std::vector<PortMapping> map = resolvePortMap(config);
  EXPECT_EQ(summary(map, machine.dev()), (Rows{{1, "ttyUSB0"}, {2, "ttyUSB1"}, {3, "ttyUSB2"}}));
  fs::remove(machine.root / "dev" / "ttyUSB0");
  map = resolvePortMap(config, map);
  EXPECT_EQ(summary(map, machine.dev()), (Rows{{2, "ttyUSB1"}, {3, "ttyUSB2"}}));
  machine.node("ttyUSB0");
  EXPECT_EQ(summary(resolvePortMap(config, map), machine.dev()), (Rows{{1, "ttyUSB0"}, {2, "ttyUSB1"}, {3, "ttyUSB2"}}));
}

TEST(PortMapFile, ValuesAreReadAsWritten) {
  const PortsGroup group = parsePortsGroup(
      "[General]\nCOM3=/dev/not-this-group\n[Ports]\n; a comment\n"
      "COM1=/dev/odd;name,with\\backslash\ncom2 = \"/dev/quoted;\\\\x\\\"\"\nCOM3=/dev/pts/1\n"
      "COM3=/dev/pts/2\nCOM0=/dev/a\nCOM100=/dev/b\nCOMX=/dev/c\nCOM4=\nAutomatic=Off\nAutomatic=maybe\n[Other]\nCOM9=/dev/d\n");
  EXPECT_EQ(group.config.explicitEntries,
            (std::vector<std::pair<int, std::string>>{{1, "/dev/odd;name,with\\backslash"},
                                                      {2, "/dev/quoted;\\x\""},
                                                      {3, "/dev/pts/1"}}));
  EXPECT_FALSE(group.config.automatic);
  EXPECT_EQ(ignoredEntriesLine(group.ignored),
            "Port map: ignored COM3=/dev/pts/2 (COM3 is given twice; the first entry holds); "
            "COM0=/dev/a (there is no COM0: ports are COM1 to COM99); "
            "COM100=/dev/b (there is no COM100: ports are COM1 to COM99); "
            "COMX=/dev/c (not a port name (COM1 to COM99) nor Automatic); COM4= (no device given); "
            "Automatic=maybe (not a yes or no word; automatic numbering stays off)");
  for (const char* yes : {"yes", "TRUE", "on", "1"})
    EXPECT_TRUE(parsePortsGroup(std::string("[Ports]\nAutomatic=") + yes).config.automatic) << yes;
}

}  // namespace
}  // namespace pelmora
