#pragma once
// Every item of the six page templates as the page descriptions list them,
// in template order: id, kind, the style bits that matter (digits only,
// hidden, alignment, word wrap), text, position and size, picture.

#include <cstdint>
#include <string_view>

#include "pages/dialog_template.h"

namespace pelmora::test {

struct ExpectedItem {
  int id;
  ItemKind kind;
  std::uint32_t style;
  std::u16string_view text;
  DialogRect rect;
  int image = 0;
};

inline constexpr ItemKind kStatic = ItemKind::StaticText, kEdit = ItemKind::Edit, kGroup = ItemKind::GroupBox,
                          kBitmap = ItemKind::Bitmap, kIp = ItemKind::IpAddress, kCheck = ItemKind::CheckBox,
                          kCombo = ItemKind::ComboBox;
inline constexpr std::uint32_t kNone = StyleNone, kRight = StyleAlignRight, kCenter = StyleAlignCenter,
                               kDigits = StyleDigitsOnly, kHidden = StyleHidden, kWrap = StyleWordWrap;

inline constexpr std::uint32_t kCheckedStyles =
    StyleDigitsOnly | StyleHidden | StyleAlignRight | StyleAlignCenter | StyleWordWrap;

inline constexpr ExpectedItem kSmsTrackItems[] = {
    {kNoId, kStatic, kRight, u"Password", {30, 17, 47, 12}},
    {kNoId, kStatic, kRight, u"SMS Report Interval", {12, 42, 65, 12}},
    {1013, kEdit, kDigits, {}, {86, 17, 92, 14}}, {1014, kEdit, kDigits, {}, {86, 40, 92, 14}},
    {kNoId, kStatic, kNone, u"min", {181, 42, 25, 12}}, {kNoId, kStatic, kRight, u"Phone Number", {26, 70, 52, 12}},
    {1015, kEdit, kNone, {}, {86, 68, 90, 14}},
    {kNoId, kStatic, kNone, u"(Size is 6)", {180, 18, 33, 12}},
};

inline constexpr ExpectedItem kKeyBindingItems[] = {
    {kNoId, kGroup, kNone, u"Phone Number Binding", {16, 16, 162, 113}},
    {kNoId, kGroup, kNone, u"SMS  Number Binding", {186, 17, 160, 118}},
    {kNoId, kGroup, kNone, u"SOS ShortMessage Content Setting", {14, 137, 332, 95}},
    {kNoId, kStatic, kRight, u"Button 1", {45, 31, 28, 18}}, {kNoId, kStatic, kRight, u"Button 2", {47, 56, 26, 18}},
    {kNoId, kStatic, kRight, u"Button SOS", {34, 108, 36, 18}},
    {kNoId, kStatic, kRight, u"Button 3", {45, 80, 27, 18}},
    {1019, kEdit, kNone, {}, {74, 30, 99, 16}}, {1020, kEdit, kNone, {}, {74, 54, 100, 16}},
    {1021, kEdit, kNone, {}, {74, 78, 100, 16}}, {1022, kEdit, kNone, {}, {74, 104, 100, 16}},
    {kNoId, kBitmap, kNone, {}, {20, 28, 18, 17}, 135}, {kNoId, kBitmap, kNone, {}, {20, 54, 18, 17}, 136},
    {kNoId, kBitmap, kNone, {}, {20, 80, 18, 17}, 137}, {kNoId, kBitmap, kNone, {}, {19, 106, 17, 16}, 134},
    {kNoId, kStatic, kRight, u"Button 1", {224, 39, 25, 18}},
    {kNoId, kStatic, kRight, u"Button 2", {224, 65, 25, 18}},
    {kNoId, kStatic, kRight, u"Button SOS", {211, 117, 35, 11}},
    {kNoId, kStatic, kRight, u"Button 3", {221, 89, 27, 18}},
    {1023, kEdit, kNone, {}, {251, 38, 89, 16}}, {1024, kEdit, kNone, {}, {251, 62, 89, 16}},
    {1025, kEdit, kNone, {}, {251, 86, 89, 16}}, {1014, kEdit, kNone, {}, {251, 112, 90, 16}},
    {kNoId, kBitmap, kNone, {}, {194, 37, 18, 17}, 135}, {kNoId, kBitmap, kNone, {}, {194, 63, 18, 17}, 136},
    {kNoId, kBitmap, kNone, {}, {194, 89, 18, 17}, 137}, {kNoId, kBitmap, kNone, {}, {193, 114, 17, 16}, 134},
    {kNoId, kStatic, kRight, u"Button 1", {70, 151, 28, 18}},
    {kNoId, kStatic, kRight, u"Button 2", {70, 170, 28, 18}},
    {kNoId, kStatic, kRight, u"Button SOS", {59, 208, 36, 18}},
    {kNoId, kStatic, kRight, u"Button 3", {72, 188, 25, 18}},
    {1015, kEdit, kNone, {}, {106, 150, 230, 16}}, {1016, kEdit, kNone, {}, {106, 168, 231, 16}},
    {1017, kEdit, kNone, {}, {106, 186, 231, 16}}, {1018, kEdit, kNone, {}, {106, 204, 231, 16}},
    {kNoId, kBitmap, kNone, {}, {40, 148, 18, 17}, 135}, {kNoId, kBitmap, kNone, {}, {40, 168, 18, 17}, 136},
    {kNoId, kBitmap, kNone, {}, {40, 188, 18, 17}, 137}, {kNoId, kBitmap, kNone, {}, {39, 206, 17, 16}, 134},
};

inline constexpr ExpectedItem kApnItems[] = {
    {kNoId, kStatic, kRight, u"APN", {14, 16, 63, 15}}, {kNoId, kStatic, kRight, u"Port", {19, 155, 63, 15}},
    {kNoId, kStatic, kRight, u"User Name", {16, 45, 63, 15}}, {kNoId, kStatic, kRight, u"Password", {16, 74, 63, 15}},
    {kNoId, kStatic, kRight, u"DNS", {17, 101, 63, 15}}, {kNoId, kStatic, kRight, u"DNS second", {18, 130, 63, 15}},
    {1033, kEdit, kNone, {}, {88, 15, 194, 17}}, {1027, kEdit, kDigits, {}, {92, 151, 191, 17}},
    {1034, kEdit, kNone, {}, {88, 42, 194, 17}}, {1013, kEdit, kNone, {}, {88, 70, 194, 18}},
    {1011, kIp, kNone, {}, {90, 99, 191, 15}}, {1012, kIp, kNone, {}, {91, 127, 191, 15}},
};

inline constexpr ExpectedItem kAgpsItems[] = {
    {kNoId, kStatic, kRight, u"Name", {28, 17, 42, 9}}, {kNoId, kStatic, kRight, u"Port", {30, 62, 40, 12}},
    {kNoId, kStatic, kRight, u"Server IP", {29, 38, 41, 11}},
    {kNoId, kStatic, kRight, u"Sms Number", {25, 82, 47, 9}},
    {1007, kEdit, kNone, {}, {78, 14, 220, 17}}, {1027, kEdit, kDigits, {}, {78, 58, 220, 17}},
    {1010, kEdit, kNone, {}, {78, 78, 220, 17}},
    {1008, kIp, kNone, {}, {78, 37, 221, 16}},
};

inline constexpr ExpectedItem kTransportItems[] = {
    {kNoId, kGroup, kNone, u"TCP  transport protocols  setting", {24, 12, 244, 120}},
    {1040, kGroup, kHidden, u"HTTP transport protocols  setting", {25, 136, 244, 80}},
    {kNoId, kStatic, kRight, u"Server IP", {33, 33, 44, 11}}, {kNoId, kStatic, kRight, u"Port", {33, 48, 44, 19}},
    {kNoId, kStatic, kRight, u"Tracker ID", {31, 71, 44, 10}},
    {1030, kEdit, kHidden | kDigits, {}, {98, 181, 148, 17}}, {1027, kEdit, kDigits, {}, {92, 48, 166, 17}},
    {1028, kEdit, kDigits, {}, {93, 68, 166, 17}},
    {1041, kStatic, kHidden | kRight, u"Server Domain", {38, 157, 53, 19}},
    {1042, kStatic, kHidden | kRight, u"Report Interval", {42, 184, 49, 19}},
    {1029, kEdit, kHidden, {}, {98, 155, 160, 17}},
    {kNoId, kStatic, kRight, u"Report Interval", {31, 92, 44, 12}},
    {1014, kEdit, kDigits, {}, {93, 88, 147, 17}},
    {kNoId, kStatic, kCenter, u"*10s", {241, 91, 18, 10}},
    {1043, kStatic, kHidden | kCenter, u"*10s", {247, 184, 18, 10}},
    {1031, kCheck, kNone, u"Enable TCP Track", {51, 107, 126, 19}},
    {1032, kEdit, kHidden, {}, {182, 110, 59, 19}},
    {1026, kIp, kNone, {}, {90, 26, 167, 15}},
};

inline constexpr ExpectedItem kMiscItems[] = {
    {1001, kCombo, kNone, {}, {33, 23, 60, 217}},
    {1020, kCheck, kWrap, u"Включить функцию отправки SMS-отчета о местоположении на авторизованный номер телефона, когда он делает вызов трекера.", {27, 61, 259, 17}},
    {1021, kCheck, kWrap, u"Включить функцию автоматического отбоя для входящего вызова через 4-5 гудков.", {27, 105, 254, 17}},
    {1022, kCheck, kWrap, u"Включить функцию отправки SMS на номер SOS, когда включается трекер.", {27, 124, 255, 17}},
    {1023, kCheck, kWrap, u"Включить уведомление, когда трекер входит в зону слабого GPS сигнала. SMS должно быть отправлено на номер SOS.", {27, 156, 257, 25}},
    {1024, kCheck, kWrap, u"Все светодиодные индикатоы выключены когда трекер работает.", {27, 181, 241, 17}},
    {1025, kCheck, kWrap, u"Трекер автоматически выключается, когда напряжение питания ниже, чем 3,3V.", {27, 142, 245, 17}},
    {1026, kCheck, kWrap, u"Данные о местоположении соответствуют протоколу NMEA 0183 GPRMC (по умолчанию формат Навител).", {27, 85, 258, 17}},
    {kNoId, kGroup, kNone, u"Расширенные настройки", {23, 49, 272, 218}},
    {kNoId, kGroup, kNone, u"Time Zone Setting", {22, 7, 87, 36}},
    {1027, kCheck, kWrap, u"Включить аварийный сигнал при низком напряжении питания.", {27, 198, 241, 17}},
    {1038, kCombo, kNone, {}, {121, 22, 77, 217}},
    {kNoId, kGroup, kNone, u"Overspeed Alarm Setting", {116, 7, 87, 36}},
    {1035, kEdit, kNone, {}, {211, 22, 76, 14}},
    {kNoId, kGroup, kNone, u"Wiretap Number Setting", {207, 7, 87, 36}},
};

}  // namespace pelmora::test
