#include "pages/agps_page.h"
#include "pages/templates/page_style.h"

namespace pelmora::agps {
namespace {

constexpr TemplateItem kItems[] = {
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Name", {28, 17, 42, 9}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Port", {30, 62, 40, 12}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Server IP", {29, 38, 41, 11}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Sms Number", {25, 82, 47, 9}},
    {IDC_AGPS_NAME, ItemKind::Edit, kEditStyle, {}, {78, 14, 220, 17}},
    {IDC_AGPS_SERVER_IP, ItemKind::IpAddress, StyleNone, {}, {78, 37, 221, 16}},
    {IDC_AGPS_PORT, ItemKind::Edit, kEditStyle | StyleDigitsOnly, {}, {78, 58, 220, 17}},
    {IDC_AGPS_SMS_NUMBER, ItemKind::Edit, kEditStyle, {}, {78, 78, 220, 17}},
};

constexpr DialogTemplate kTemplate{IDD_AGPS, {}, 321, 118, kPageFontFace, kPageFontPoints, kItems};

}  // namespace

const DialogTemplate& PageTemplate() { return kTemplate; }

}  // namespace pelmora::agps
