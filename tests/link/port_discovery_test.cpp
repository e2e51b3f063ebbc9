// Fake USB serial adapters in a umockdev test bed: run under umockdev-wrapper
// (CTest does), else those tests are skipped. The port watch's links need no
// test bed.
#include <gtest/gtest.h>
#include <poll.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "link/open_failure_detail.h"
#include "link/port_discovery.h"
#include "link/port_discovery_sysfs.h"
#include "link/port_watch.h"

#ifdef PELMORA_HAVE_UMOCKDEV
#include <umockdev.h>
#endif

namespace pelmora {
#ifdef PELMORA_HAVE_UMOCKDEV

void PrintTo(const PortDescription& d, std::ostream* out) {
  *out << d.deviceNode << " | " << d.driver << " | " << (d.usb ? d.usb->product + " " + d.usb->serial : "no USB");
}

namespace {

struct Adapter {
  const char* usbPath;  // under /sys/devices
  const char* tty;
  const char* major;
  const char* minor;
  const char* driver;
  UsbIdentity usb;
};

// The attributes real adapters report.
const Adapter kFtdi{"/devices/pci0000:00/0000:00:14.0/usb1/1-1", "ttyUSB0", "188", "0", "ftdi_sio",
                    {0x0403, 0x6001, "FTDI", "FT232R USB UART", "A50285BI"}};
const Adapter kCh340{"/devices/pci0000:00/0000:00:14.0/usb1/1-2", "ttyUSB1", "188", "1", "ch341-uart",
                     {0x1a86, 0x7523, "", "USB Serial", "5&1A2B3C"}};

class TestBed {
 public:
  TestBed() : bed_(umockdev_testbed_new()) {}
  ~TestBed() { g_object_unref(bed_); }

  // The adapter's USB device, and unless `withTty` is false its serial port and tty.
  void plug(const Adapter& a, bool withTty = true) {
    const std::string usb = a.usbPath;
    const std::string iface = usb + "/" + usb.substr(usb.rfind('/') + 1) + ":1.0";
    const UsbIdentity& id = a.usb;
    char ids[2][8];
    std::snprintf(ids[0], sizeof ids[0], "%04x", id.vendorId);
    std::snprintf(ids[1], sizeof ids[1], "%04x", id.productId);
    std::string record = "P: " + usb + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nA: idVendor=" + ids[0] +
                         "\nA: idProduct=" + ids[1] + "\nA: product=" + id.product + "\nA: serial=" + id.serial +
                         (id.manufacturer.empty() ? "" : "\nA: manufacturer=" + id.manufacturer) + "\n";
    if (withTty) {
      record = "P: " + iface + "/" + a.tty + "/tty/" + a.tty + "\nN: " + a.tty + "\nE: SUBSYSTEM=tty\nE: DEVNAME=/dev/" + a.tty + "\nE: MAJOR=" + a.major + "\nE: MINOR=" + a.minor +
               "\nE: ID_USB_DRIVER=" + a.driver + "\nA: dev=" + a.major + ":" + a.minor + "\n\nP: " + iface + "/" +
               a.tty + "\nE: SUBSYSTEM=usb-serial\nE: DRIVER=" + a.driver + "\nL: driver=../../../../../../bus/usb-serial/drivers/" +
               a.driver + "\n\nP: " + iface + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\n\n" + record;
    }
    GError* error = nullptr;
    ASSERT_TRUE(umockdev_testbed_add_from_string(bed_, record.c_str(), &error)) << (error ? error->message : "");
    if (withTty) umockdev_testbed_uevent(bed_, ("/sys" + iface + "/" + a.tty + "/tty/" + a.tty).c_str(), "add");
  }
  void pull(const Adapter& a) {
    const std::string usb = a.usbPath;
    umockdev_testbed_uevent(bed_, ("/sys" + usb + "/" + usb.substr(usb.rfind('/') + 1) + ":1.0/" + a.tty + "/tty/" + a.tty).c_str(), "remove");
    umockdev_testbed_remove_device(bed_, ("/sys" + usb).c_str());
  }

 private:
  UMockdevTestbed* bed_;
};

class PortDiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // umockdev_in_mock_environment() says no even under the wrapper (0.17).
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload == nullptr || std::strstr(preload, "umockdev-preload") == nullptr)
      GTEST_SKIP() << "needs umockdev: run under umockdev-wrapper";
  }
};

PortDescription expected(const Adapter& a) { return {std::string("/dev/") + a.tty, a.driver, a.usb}; }

TEST_F(PortDiscoveryTest, DescribesFtdiAndCh340Adapters) {
  TestBed bed;
  bed.plug(kFtdi);
  bed.plug(kCh340);
  SysfsPortDiscovery sysfs;
  const std::unique_ptr<PortDiscovery> udev = makePortDiscovery();
  for (PortDiscovery* discovery : {static_cast<PortDiscovery*>(&sysfs), udev.get()}) {
    for (const Adapter* a : {&kFtdi, &kCh340}) EXPECT_EQ(discovery->describe(std::string("/dev/") + a->tty), expected(*a));
    EXPECT_EQ(discovery->describe("/dev/ttyUSB7"), PortDescription{});
  }
  EXPECT_EQ(portLabel(expected(kFtdi)), "FT232R USB UART (FTDI, A50285BI)");
  EXPECT_EQ(describePortListing({5, "/dev/serial/by-id/x", true, expected(kCh340)}),
            "COM5: /dev/serial/by-id/x (port map entry)\ndevice /dev/ttyUSB1, driver ch341-uart\n"
            "USB 1a86:7523 USB Serial, serial 5&1A2B3C");
}

// Seen by the discovery, and by the port watch that wakes a station.
TEST_F(PortDiscoveryTest, PlugAndUnplugAreReported) {
  TestBed bed;
  const std::unique_ptr<PortDiscovery> discovery = makePortDiscovery();
  const std::unique_ptr<PortWatch> watch = makePortWatch({});
  Wakeup wake;
  ASSERT_GE(discovery->changeDescriptor(), 0);
  const auto waitForChange = [&] {
    pollfd p{discovery->changeDescriptor(), POLLIN, 0};
    return ::poll(&p, 1, 10000) == 1 && discovery->takeChanges() && watch->wait(wake, 10000);
  };
  bed.plug(kFtdi);
  EXPECT_TRUE(waitForChange());
  EXPECT_EQ(discovery->describe("/dev/ttyUSB0"), expected(kFtdi));
  bed.pull(kFtdi);
  EXPECT_TRUE(waitForChange());
  EXPECT_FALSE(discovery->describe("/dev/ttyUSB0").usb);
}

TEST_F(PortDiscoveryTest, ANoSuchDeviceNamesTheAdapterBrlttyTakes) {
  TestBed bed;
  bed.plug(kCh340, false);
  const std::unique_ptr<PortDiscovery> discovery = makePortDiscovery();
  const OpenFailureDetail detail = explainOpenFailure(OpenFailure::NoSuchDevice, "/dev/ttyUSB1", *discovery);
  ASSERT_EQ(detail.takenAdapters.size(), 1u);
  EXPECT_EQ(detail.takenAdapters[0].productId, 0x7523);
}

}  // namespace
#else
TEST(PortDiscovery, FakeAdapters) { GTEST_SKIP() << "built without libumockdev-dev"; }
#endif

// What ends a port watch's wait besides udev's events: a link coming or
// going in the folder of a watched path (a link to a pseudo-terminal, which
// udev never hears of), and its wakeup; nothing else.
TEST(PortWatch, WakesWhenAWatchedFoldersLinkComesOrGoes) {
  char pattern[] = "/tmp/pelmora-watch-test-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::filesystem::path dir = pattern;
  std::filesystem::create_directories(dir / "hub");
  std::filesystem::create_directories(dir / "elsewhere");
  const std::string watched = (dir / "hub" / "COM5").string();
  const std::unique_ptr<PortWatch> watch = makePortWatch(std::vector<std::string>{watched});
  Wakeup wake;
  struct Row {
    const char* label;
    std::function<void()> happen;
    bool wakes;
  };
  const Row rows[] = {
      {"nothing", [] {}, false},
      {"the link appears", [&] { std::filesystem::create_symlink("/dev/null", watched); }, true},
      {"the link goes", [&] { std::filesystem::remove(watched); }, true},
      {"a link in another folder", [&] { std::filesystem::create_symlink("/dev/null", dir / "elsewhere" / "COM5"); },
       false},
      {"woken", [&] { wake.raise(); }, true},
      {"nothing after", [] {}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    row.happen();
    EXPECT_EQ(watch->wait(wake, 0), row.wakes);
    wake.clear();
  }
  std::filesystem::remove_all(dir);
}
}  // namespace pelmora
