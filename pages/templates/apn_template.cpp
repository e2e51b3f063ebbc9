#include "pages/apn_page.h"
#include "pages/templates/page_style.h"

namespace pelmora::apn {
namespace {

constexpr TemplateItem kItems[] = {
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"APN", {14, 16, 63, 15}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Port", {19, 155, 63, 15}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"User Name", {16, 45, 63, 15}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Password", {16, 74, 63, 15}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"DNS", {17, 101, 63, 15}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"DNS second", {18, 130, 63, 15}},
    {IDC_APN_NAME, ItemKind::Edit, kEditStyle, {}, {88, 15, 194, 17}},
    {IDC_APN_USER, ItemKind::Edit, kEditStyle, {}, {88, 42, 194, 17}},
    {IDC_APN_PASSWORD, ItemKind::Edit, kEditStyle, {}, {88, 70, 194, 18}},
    {IDC_APN_DNS1, ItemKind::IpAddress, StyleNone, {}, {90, 99, 191, 15}},
    {IDC_APN_DNS2, ItemKind::IpAddress, StyleNone, {}, {91, 127, 191, 15}},
    {IDC_APN_PORT, ItemKind::Edit, kEditStyle | StyleDigitsOnly | StyleNotStored, {}, {92, 151, 191, 17}},
};

constexpr DialogTemplate kTemplate{IDD_APN, {}, 352, 226, kPageFontFace, kPageFontPoints, kItems};

}  // namespace

const DialogTemplate& PageTemplate() { return kTemplate; }

}  // namespace pelmora::apn
