#pragma once
// Every tracker setting the tool knows, plus the identity of the connected
// tracker. Plain data: the block codec fills it from a read reply and builds
// the write payload from it; the pages copy their controls to and from it.
// Fields that no page shows ("Opaque") are carried so that a write changes
// the tracker only where the pages edit it.

#include <array>
#include <cstdint>

#include "settings/fixed_text.h"

namespace pelmora {

// One record per key slot. The buttons map onto slots in KeySlotMap below.
struct KeySlotRecord {
  std::uint32_t Word = 0;  // carried
  FixedText<22> SmsNumber;
  FixedText<22> PhoneNumber;
  friend bool operator==(const KeySlotRecord&, const KeySlotRecord&) = default;
};

struct SettingsModel {
  // Identity: set by a decode only.
  std::uint32_t MagicNumber = 0;
  FixedText<32> RomVersion;

  FixedText<10> SmsPassword;
  std::uint32_t SmsReportInterval = 0;  // minutes
  FixedText<22> Opaque1;
  std::array<KeySlotRecord, 5> KeySlot{};
  std::uint32_t LowPowerAlarmEnabled = 0;
  float LowPowerAlarmVoltage = 0.0f;  // volts
  std::uint32_t OverspeedAlarmEnabled = 0;
  std::uint32_t OverspeedIndex = 0;  // 0 = off, n = n x 10 km/h
  std::array<std::uint32_t, 3> Opaque2{};
  FixedText<100> Opaque3;
  std::uint32_t Opaque4 = 0;
  FixedText<100> Opaque5;
  std::uint32_t CallLocationReport = 0;
  std::uint32_t NmeaGprmcFormat = 0;
  std::uint32_t AutoHangUp = 0;
  std::uint32_t PowerOnSosSms = 0;
  std::uint32_t LowVoltageShutdown = 0;
  std::uint32_t BlindAreaAlert = 0;
  std::uint32_t LedsOff = 0;
  std::uint32_t Opaque6 = 0;
  FixedText<22> Opaque7;
  FixedText<22> TrackerId;
  FixedText<100> ApnName;  // the Basic layout keeps the first 64 units
  FixedText<64> ApnUser;
  FixedText<64> ApnPassword;
  FixedText<64> PrimaryDns;    // dotted decimal text
  FixedText<64> SecondaryDns;  // dotted decimal text
  FixedText<22> ServerIp;      // dotted decimal text
  FixedText<22> ServerPort;    // decimal text
  std::uint32_t TcpReportInterval = 0;  // units of 10 s
  std::uint32_t TcpTrackEnabled = 0;
  std::array<std::uint32_t, 8> Opaque8{};
  FixedText<22> WiretapNumber;
  std::int32_t TimeZoneMinutes = 0;
  std::uint32_t HttpReportInterval = 0;  // units of 10 s
  std::uint32_t Opaque9 = 0;
  std::array<FixedText<52>, 5> SosMessage{};
  FixedText<42> Opaque10;
  std::array<FixedText<22>, 3> Opaque11{};
  FixedText<22> AgpsName;
  FixedText<22> AgpsServerIp;  // dotted decimal text
  FixedText<22> AgpsPort;      // decimal text
  FixedText<22> AgpsSmsNumber;
  std::array<std::uint32_t, 20> Opaque12{};
  std::array<FixedText<22>, 5> Opaque13{};
  FixedText<32> HttpServerDomain;
  FixedText<32> Imei;  // Extended layout only; written back

  // Every field back to zero or empty, identity included.
  void reset() { *this = SettingsModel{}; }
};

// Which key slot and which message slot belong to each button of the
// Key Binding page. Slot 4 of both arrays has no button.
enum class TrackerButton { Button1, Button2, Button3, ButtonSos };

struct ButtonSlots {
  TrackerButton button;
  int keySlot;      // index into SettingsModel::KeySlot
  int messageSlot;  // index into SettingsModel::SosMessage
};

inline constexpr std::array<ButtonSlots, 4> KeySlotMap{{
    {TrackerButton::Button1, 3, 3},
    {TrackerButton::Button2, 0, 1},
    {TrackerButton::Button3, 1, 2},
    {TrackerButton::ButtonSos, 2, 0},
}};
inline constexpr int UnboundSlot = 4;  // the slot of both arrays that no button owns

}  // namespace pelmora
