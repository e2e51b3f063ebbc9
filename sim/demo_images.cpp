#include "sim/demo_images.h"

#include <array>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <string_view>
#include <utility>

#include "sim/image_builder.h"

namespace pelmora::sim {
namespace {

constexpr std::size_t kMaxImageSize = 4096 - 17;

enum class Kind { U32, I32, F32, Text };

struct DemoField {
  std::size_t basicOffset;
  Kind kind;
  std::size_t units;  // texts only
  std::uint32_t number;
  float real;
  std::u16string_view text;
};

constexpr DemoField u32(std::size_t offset, std::uint32_t value) { return {offset, Kind::U32, 0, value, 0.0f, {}}; }
constexpr DemoField i32(std::size_t offset, std::int32_t value) {
  return {offset, Kind::I32, 0, static_cast<std::uint32_t>(value), 0.0f, {}};
}
constexpr DemoField f32(std::size_t offset, float value) { return {offset, Kind::F32, 0, 0, value, {}}; }
constexpr DemoField text(std::size_t offset, std::size_t units, std::u16string_view value) {
  return {offset, Kind::Text, units, 0, 0.0f, value};
}

// Basic offsets. Slot 4 of the key bindings and messages stays empty (no
// button edits it); Opaque13[4] is set in the Extended image only.
constexpr std::array kDemoBody = {
    text(0, 10, u"123456"),                      // SmsPassword
    u32(20, 30),                                 // SmsReportInterval, min
    text(24, 22, u"opaque-1"),                   // Opaque1
    u32(68, 0xA0000001), text(72, 22, u"+15550100002"), text(116, 22, u"+15550100102"),   // KeySlot[0], Button 2
    u32(160, 0xA0000002), text(164, 22, u"+15550100003"), text(208, 22, u"+15550100103"), // KeySlot[1], Button 3
    u32(252, 0xA0000003), text(256, 22, u"+15550100911"), text(300, 22, u"+15550100119"), // KeySlot[2], Button SOS
    u32(344, 0xA0000004), text(348, 22, u"+15550100001"), text(392, 22, u"+15550100101"), // KeySlot[3], Button 1
    u32(436, 0xA0000005),                        // KeySlot[4].Word
    u32(528, 1),                                 // LowPowerAlarmEnabled
    f32(532, 3.5f),                              // LowPowerAlarmVoltage
    u32(536, 1),                                 // OverspeedAlarmEnabled
    u32(540, 8),                                 // OverspeedIndex: 80 km/h
    u32(544, 0xB0000001), u32(548, 0xB0000002), u32(552, 0xB0000003),  // Opaque2
    text(556, 100, u"opaque-3 carried as it came"),                   // Opaque3
    u32(756, 0xB0000004),                        // Opaque4
    text(760, 100, u"opaque-5 carried as it came"),                   // Opaque5
    u32(960, 1),                                 // CallLocationReport
    u32(964, 0),                                 // NmeaGprmcFormat
    u32(968, 1),                                 // AutoHangUp
    u32(972, 1),                                 // PowerOnSosSms
    u32(976, 0),                                 // LowVoltageShutdown
    u32(980, 1),                                 // BlindAreaAlert
    u32(984, 0),                                 // LedsOff
    u32(988, 0xB0000006),                        // Opaque6
    text(992, 22, u"opaque-7"),                  // Opaque7
    text(1036, 22, u"35900012345678"),           // TrackerId
    text(1080, 100, u"internet.demo-carrier.example"),  // ApnName
    text(1208, 64, u"demo"),                     // ApnUser
    text(1336, 64, u"demo-pass"),                // ApnPassword
    text(1464, 64, u"8.8.8.8"),                  // PrimaryDns
    text(1592, 64, u"8.8.4.4"),                  // SecondaryDns
    text(1720, 22, u"203.0.113.10"),             // ServerIp
    text(1764, 22, u"5013"),                     // ServerPort
    u32(1808, 6),                                // TcpReportInterval, *10 s
    u32(1812, 1),                                // TcpTrackEnabled
    u32(1816, 0xB8000000), u32(1820, 0xB8000001), u32(1824, 0xB8000002), u32(1828, 0xB8000003),  // Opaque8
    u32(1832, 0xB8000004), u32(1836, 0xB8000005), u32(1840, 0xB8000006), u32(1844, 0xB8000007),
    text(1848, 22, u"+15550100999"),             // WiretapNumber
    i32(1892, 180),                              // TimeZoneMinutes: GMT+3
    u32(1896, 12),                               // HttpReportInterval, *10 s
    u32(1900, 0xB0000009),                       // Opaque9
    text(1904, 52, u"SOS! Please call me back."),  // SosMessage[0], Button SOS
    text(2008, 52, u"Button 2: all is well."),     // SosMessage[1]
    text(2112, 52, u"Button 3: running late."),    // SosMessage[2]
    text(2216, 52, u"Button 1: pick me up."),      // SosMessage[3]
    text(2424, 42, u"opaque-10"),                // Opaque10
    text(2508, 22, u"opaque-11a"), text(2552, 22, u"opaque-11b"), text(2596, 22, u"opaque-11c"),  // Opaque11
    text(2640, 22, u"demo-agps"),                // AgpsName
    text(2684, 22, u"198.51.100.7"),             // AgpsServerIp
    text(2728, 22, u"46434"),                    // AgpsPort
    text(2772, 22, u"+15550100777"),             // AgpsSmsNumber
    u32(2816, 0xBC000000), u32(2820, 0xBC000001), u32(2824, 0xBC000002), u32(2828, 0xBC000003),  // Opaque12
    u32(2832, 0xBC000004), u32(2836, 0xBC000005), u32(2840, 0xBC000006), u32(2844, 0xBC000007),
    u32(2848, 0xBC000008), u32(2852, 0xBC000009), u32(2856, 0xBC00000A), u32(2860, 0xBC00000B),
    u32(2864, 0xBC00000C), u32(2868, 0xBC00000D), u32(2872, 0xBC00000E), u32(2876, 0xBC00000F),
    u32(2880, 0xBC000010), u32(2884, 0xBC000011), u32(2888, 0xBC000012), u32(2892, 0xBC000013),
    text(2896, 22, u"opaque-13a"), text(2940, 22, u"opaque-13b"), text(2984, 22, u"opaque-13c"),  // Opaque13
    text(3028, 22, u"opaque-13d"),
    text(3116, 32, u"track.demo.example"),       // HttpServerDomain
};

constexpr std::size_t kOpaque13LastOffset = 3072;

ImageBuilder demoImage(ImageLayout layout) {
  ImageBuilder builder(layout);
  for (const DemoField& field : kDemoBody) {
    switch (field.kind) {
      case Kind::U32: builder.putU32(field.basicOffset, field.number); break;
      case Kind::I32: builder.putI32(field.basicOffset, static_cast<std::int32_t>(field.number)); break;
      case Kind::F32: builder.putF32(field.basicOffset, field.real); break;
      case Kind::Text: builder.putText(field.basicOffset, field.units, field.text); break;
    }
  }
  return builder;
}

}  // namespace

std::vector<std::uint8_t> basicDemoImage() { return demoImage(ImageLayout::Basic).bytes(); }

std::vector<std::uint8_t> extendedDemoImage() {
  ImageBuilder builder = demoImage(ImageLayout::Extended);
  builder.putText(kOpaque13LastOffset, 22, u"opaque-13e");
  builder.putRomVersion(u"PLM-DEMO 1.0.3 build 2026-11-30");
  builder.putImei(u"490154203237518");
  return builder.bytes();
}

bool loadImageFile(const std::string& path, std::vector<std::uint8_t>& image) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad() || bytes.empty() || bytes.size() > kMaxImageSize) return false;
  image = std::move(bytes);
  return true;
}

bool saveImageFile(const std::string& path, const std::vector<std::uint8_t>& image) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  return static_cast<bool>(file.flush());
}

}  // namespace pelmora::sim
