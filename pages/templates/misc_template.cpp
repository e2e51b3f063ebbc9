#include "pages/misc_page.h"
#include "pages/templates/page_style.h"

namespace pelmora::misc {
namespace {

// The texts in which the Russian template and its English twin differ;
// everything else is shared, so the twins cannot drift apart in ids or
// positions.
struct MiscTexts {
  std::u16string_view callLocationReport;
  std::u16string_view nmeaGprmc;
  std::u16string_view autoHangUp;
  std::u16string_view powerOnSosSms;
  std::u16string_view lowVoltageShutdown;
  std::u16string_view blindAreaAlert;
  std::u16string_view ledsOff;
  std::u16string_view lowPowerAlarm;
  std::u16string_view extendedGroup;
};

constexpr MiscTexts kRussian{
    u"Включить функцию отправки SMS-отчета о местоположении на авторизованный номер телефона, когда он делает вызов трекера.",
    u"Данные о местоположении соответствуют протоколу NMEA 0183 GPRMC (по умолчанию формат Навител).",
    u"Включить функцию автоматического отбоя для входящего вызова через 4-5 гудков.",
    u"Включить функцию отправки SMS на номер SOS, когда включается трекер.",
    u"Трекер автоматически выключается, когда напряжение питания ниже, чем 3,3V.",
    u"Включить уведомление, когда трекер входит в зону слабого GPS сигнала. SMS должно быть отправлено на номер SOS.",
    u"Все светодиодные индикатоы выключены когда трекер работает.",
    u"Включить аварийный сигнал при низком напряжении питания.",
    u"Расширенные настройки",
};

constexpr MiscTexts kEnglish{
    u"Send an SMS location report to the authorised number when it calls the tracker.",
    u"Location data in NMEA 0183 GPRMC form instead of the default Navitel format.",
    u"Hang up an incoming call automatically after 4 to 5 rings.",
    u"Send an SMS to the SOS number when the tracker is switched on.",
    u"Switch off automatically when the supply voltage is below 3.3 V.",
    u"Alert by SMS to the SOS number when the tracker enters an area of weak GPS signal.",
    u"Switch all LEDs off while the tracker works.",
    u"Alarm on low supply voltage.",
    u"Extended settings",
};

constexpr std::uint32_t kBox = StyleWordWrap;

// A combo box's height includes its dropped-down list. The overspeed
// chooser is as wide as "Disable Overspeed Alarm" needs.
constexpr std::array<TemplateItem, 15> MiscItems(const MiscTexts& t) {
  return {{
      {kNoId, ItemKind::GroupBox, StyleNone, u"Time Zone Setting", {22, 7, 87, 36}},
      {IDC_TIME_ZONE, ItemKind::ComboBox, StyleNone, {}, {33, 23, 60, 217}},
      {kNoId, ItemKind::GroupBox, StyleNone, u"Overspeed Alarm Setting", {116, 7, 110, 36}},
      {IDC_OVERSPEED, ItemKind::ComboBox, StyleNone, {}, {121, 22, 100, 217}},
      {kNoId, ItemKind::GroupBox, StyleNone, u"Wiretap Number Setting", {230, 7, 87, 36}},
      {IDC_WIRETAP_NUMBER, ItemKind::Edit, kEditStyle, {}, {234, 22, 76, 14}},
      {kNoId, ItemKind::GroupBox, StyleNone, t.extendedGroup, {23, 49, 294, 218}},
      {IDC_CALL_LOCATION_REPORT, ItemKind::CheckBox, kBox, t.callLocationReport, {27, 61, 259, 17}},
      {IDC_NMEA_GPRMC, ItemKind::CheckBox, kBox, t.nmeaGprmc, {27, 85, 258, 17}},
      {IDC_AUTO_HANG_UP, ItemKind::CheckBox, kBox, t.autoHangUp, {27, 105, 254, 17}},
      {IDC_POWER_ON_SOS_SMS, ItemKind::CheckBox, kBox, t.powerOnSosSms, {27, 124, 255, 17}},
      {IDC_LOW_VOLTAGE_SHUTDOWN, ItemKind::CheckBox, kBox, t.lowVoltageShutdown, {27, 142, 245, 17}},
      {IDC_BLIND_AREA_ALERT, ItemKind::CheckBox, kBox, t.blindAreaAlert, {27, 156, 257, 25}},
      {IDC_LEDS_OFF, ItemKind::CheckBox, kBox, t.ledsOff, {27, 181, 241, 17}},
      {IDC_LOW_POWER_ALARM, ItemKind::CheckBox, kBox, t.lowPowerAlarm, {27, 198, 241, 17}},
  }};
}

constexpr auto kItems = MiscItems(kRussian);
constexpr auto kEnglishItems = MiscItems(kEnglish);

constexpr DialogTemplate kTemplate{IDD_MISC, {}, 560, 393, kPageFontFace, kPageFontPoints, kItems};
constexpr DialogTemplate kEnglishTemplate{IDD_MISC_EN, {}, 560, 393, kPageFontFace, kPageFontPoints, kEnglishItems};

}  // namespace

const DialogTemplate& PageTemplate() { return kTemplate; }
const DialogTemplate& EnglishTemplate() { return kEnglishTemplate; }

}  // namespace pelmora::misc
