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
  int image;
};

inline constexpr std::uint32_t kCheckedStyles =
    StyleDigitsOnly | StyleHidden | StyleAlignRight | StyleAlignCenter | StyleWordWrap;

inline constexpr ExpectedItem kSmsTrackItems[] = {
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Password", {30, 17, 47, 12}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"SMS Report Interval", {12, 42, 65, 12}, 0},
    {1013, ItemKind::Edit, StyleDigitsOnly, {}, {86, 17, 92, 14}, 0},
    {1014, ItemKind::Edit, StyleDigitsOnly, {}, {86, 40, 92, 14}, 0},
    {kNoId, ItemKind::StaticText, StyleNone, u"min", {181, 42, 25, 12}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Phone Number", {26, 70, 52, 12}, 0},
    {1015, ItemKind::Edit, StyleNone, {}, {86, 68, 90, 14}, 0},
    {kNoId, ItemKind::StaticText, StyleNone, u"(Size is 6)", {180, 18, 33, 12}, 0},
};

inline constexpr ExpectedItem kKeyBindingItems[] = {
    {kNoId, ItemKind::GroupBox, StyleNone, u"Phone Number Binding", {16, 16, 162, 113}, 0},
    {kNoId, ItemKind::GroupBox, StyleNone, u"SMS  Number Binding", {186, 17, 160, 118}, 0},
    {kNoId, ItemKind::GroupBox, StyleNone, u"SOS ShortMessage Content Setting", {14, 137, 332, 95}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 1", {45, 31, 28, 18}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 2", {47, 56, 26, 18}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button SOS", {34, 108, 36, 18}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 3", {45, 80, 27, 18}, 0},
    {1019, ItemKind::Edit, StyleNone, {}, {74, 30, 99, 16}, 0},
    {1020, ItemKind::Edit, StyleNone, {}, {74, 54, 100, 16}, 0},
    {1021, ItemKind::Edit, StyleNone, {}, {74, 78, 100, 16}, 0},
    {1022, ItemKind::Edit, StyleNone, {}, {74, 104, 100, 16}, 0},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {20, 28, 18, 17}, 135},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {20, 54, 18, 17}, 136},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {20, 80, 18, 17}, 137},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {19, 106, 17, 16}, 134},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 1", {224, 39, 25, 18}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 2", {224, 65, 25, 18}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button SOS", {211, 117, 35, 11}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 3", {221, 89, 27, 18}, 0},
    {1023, ItemKind::Edit, StyleNone, {}, {251, 38, 89, 16}, 0},
    {1024, ItemKind::Edit, StyleNone, {}, {251, 62, 89, 16}, 0},
    {1025, ItemKind::Edit, StyleNone, {}, {251, 86, 89, 16}, 0},
    {1014, ItemKind::Edit, StyleNone, {}, {251, 112, 90, 16}, 0},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {194, 37, 18, 17}, 135},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {194, 63, 18, 17}, 136},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {194, 89, 18, 17}, 137},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {193, 114, 17, 16}, 134},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 1", {70, 151, 28, 18}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 2", {70, 170, 28, 18}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button SOS", {59, 208, 36, 18}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 3", {72, 188, 25, 18}, 0},
    {1015, ItemKind::Edit, StyleNone, {}, {106, 150, 230, 16}, 0},
    {1016, ItemKind::Edit, StyleNone, {}, {106, 168, 231, 16}, 0},
    {1017, ItemKind::Edit, StyleNone, {}, {106, 186, 231, 16}, 0},
    {1018, ItemKind::Edit, StyleNone, {}, {106, 204, 231, 16}, 0},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {40, 148, 18, 17}, 135},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {40, 168, 18, 17}, 136},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {40, 188, 18, 17}, 137},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {39, 206, 17, 16}, 134},
};

inline constexpr ExpectedItem kApnItems[] = {
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"APN", {14, 16, 63, 15}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Port", {19, 155, 63, 15}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"User Name", {16, 45, 63, 15}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Password", {16, 74, 63, 15}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"DNS", {17, 101, 63, 15}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"DNS second", {18, 130, 63, 15}, 0},
    {1033, ItemKind::Edit, StyleNone, {}, {88, 15, 194, 17}, 0},
    {1027, ItemKind::Edit, StyleDigitsOnly, {}, {92, 151, 191, 17}, 0},
    {1034, ItemKind::Edit, StyleNone, {}, {88, 42, 194, 17}, 0},
    {1013, ItemKind::Edit, StyleNone, {}, {88, 70, 194, 18}, 0},
    {1011, ItemKind::IpAddress, StyleNone, {}, {90, 99, 191, 15}, 0},
    {1012, ItemKind::IpAddress, StyleNone, {}, {91, 127, 191, 15}, 0},
};

inline constexpr ExpectedItem kAgpsItems[] = {
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Name", {28, 17, 42, 9}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Port", {30, 62, 40, 12}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Server IP", {29, 38, 41, 11}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Sms Number", {25, 82, 47, 9}, 0},
    {1007, ItemKind::Edit, StyleNone, {}, {78, 14, 220, 17}, 0},
    {1027, ItemKind::Edit, StyleDigitsOnly, {}, {78, 58, 220, 17}, 0},
    {1010, ItemKind::Edit, StyleNone, {}, {78, 78, 220, 17}, 0},
    {1008, ItemKind::IpAddress, StyleNone, {}, {78, 37, 221, 16}, 0},
};

inline constexpr ExpectedItem kTransportItems[] = {
    {kNoId, ItemKind::GroupBox, StyleNone, u"TCP  transport protocols  setting", {24, 12, 244, 120}, 0},
    {1040, ItemKind::GroupBox, StyleHidden, u"HTTP transport protocols  setting", {25, 136, 244, 80}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Server IP", {33, 33, 44, 11}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Port", {33, 48, 44, 19}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Tracker ID", {31, 71, 44, 10}, 0},
    {1030, ItemKind::Edit, StyleHidden | StyleDigitsOnly, {}, {98, 181, 148, 17}, 0},
    {1027, ItemKind::Edit, StyleDigitsOnly, {}, {92, 48, 166, 17}, 0},
    {1028, ItemKind::Edit, StyleDigitsOnly, {}, {93, 68, 166, 17}, 0},
    {1041, ItemKind::StaticText, StyleHidden | StyleAlignRight, u"Server Domain", {38, 157, 53, 19}, 0},
    {1042, ItemKind::StaticText, StyleHidden | StyleAlignRight, u"Report Interval", {42, 184, 49, 19}, 0},
    {1029, ItemKind::Edit, StyleHidden, {}, {98, 155, 160, 17}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Report Interval", {31, 92, 44, 12}, 0},
    {1014, ItemKind::Edit, StyleDigitsOnly, {}, {93, 88, 147, 17}, 0},
    {kNoId, ItemKind::StaticText, StyleAlignCenter, u"*10s", {241, 91, 18, 10}, 0},
    {1043, ItemKind::StaticText, StyleHidden | StyleAlignCenter, u"*10s", {247, 184, 18, 10}, 0},
    {1031, ItemKind::CheckBox, StyleNone, u"Enable TCP Track", {51, 107, 126, 19}, 0},
    {1032, ItemKind::Edit, StyleHidden, {}, {182, 110, 59, 19}, 0},
    {1026, ItemKind::IpAddress, StyleNone, {}, {90, 26, 167, 15}, 0},
};

inline constexpr ExpectedItem kMiscItems[] = {
    {1001, ItemKind::ComboBox, StyleNone, {}, {33, 23, 60, 217}, 0},
    {1020, ItemKind::CheckBox, StyleWordWrap, u"Включить функцию отправки SMS-отчета о местоположении на авторизованный номер телефона, когда он делает вызов трекера.", {27, 61, 259, 17}, 0},
    {1021, ItemKind::CheckBox, StyleWordWrap, u"Включить функцию автоматического отбоя для входящего вызова через 4-5 гудков.", {27, 105, 254, 17}, 0},
    {1022, ItemKind::CheckBox, StyleWordWrap, u"Включить функцию отправки SMS на номер SOS, когда включается трекер.", {27, 124, 255, 17}, 0},
    {1023, ItemKind::CheckBox, StyleWordWrap, u"Включить уведомление, когда трекер входит в зону слабого GPS сигнала. SMS должно быть отправлено на номер SOS.", {27, 156, 257, 25}, 0},
    {1024, ItemKind::CheckBox, StyleWordWrap, u"Все светодиодные индикатоы выключены когда трекер работает.", {27, 181, 241, 17}, 0},
    {1025, ItemKind::CheckBox, StyleWordWrap, u"Трекер автоматически выключается, когда напряжение питания ниже, чем 3,3V.", {27, 142, 245, 17}, 0},
    {1026, ItemKind::CheckBox, StyleWordWrap, u"Данные о местоположении соответствуют протоколу NMEA 0183 GPRMC (по умолчанию формат Навител).", {27, 85, 258, 17}, 0},
    {kNoId, ItemKind::GroupBox, StyleNone, u"Расширенные настройки", {23, 49, 272, 218}, 0},
    {kNoId, ItemKind::GroupBox, StyleNone, u"Time Zone Setting", {22, 7, 87, 36}, 0},
    {1027, ItemKind::CheckBox, StyleWordWrap, u"Включить аварийный сигнал при низком напряжении питания.", {27, 198, 241, 17}, 0},
    {1038, ItemKind::ComboBox, StyleNone, {}, {121, 22, 77, 217}, 0},
    {kNoId, ItemKind::GroupBox, StyleNone, u"Overspeed Alarm Setting", {116, 7, 87, 36}, 0},
    {1035, ItemKind::Edit, StyleNone, {}, {211, 22, 76, 14}, 0},
    {kNoId, ItemKind::GroupBox, StyleNone, u"Wiretap Number Setting", {207, 7, 87, 36}, 0},
};

}  // namespace pelmora::test
