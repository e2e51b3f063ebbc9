#include "pages/sms_track_page.h"
#include "pages/templates/page_style.h"

namespace pelmora::sms_track {
namespace {

constexpr TemplateItem kItems[] = {
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Password", {30, 17, 47, 12}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"SMS Report Interval", {12, 42, 65, 12}},
    {IDC_SMS_PASSWORD, ItemKind::Edit, kEditStyle | StyleDigitsOnly, {}, {86, 17, 92, 14}},
    {IDC_SMS_INTERVAL, ItemKind::Edit, kEditStyle | StyleDigitsOnly, {}, {86, 40, 92, 14}},
    {kNoId, ItemKind::StaticText, StyleNone, u"min", {181, 42, 25, 12}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Phone Number", {26, 70, 52, 12}},
    {IDC_SMS_PHONE, ItemKind::Edit, kEditStyle | StyleNotStored, {}, {86, 68, 90, 14}},
    {kNoId, ItemKind::StaticText, StyleNone, u"(Size is 6)", {180, 18, 33, 12}},
};

constexpr DialogTemplate kTemplate{IDD_SMS_TRACK, {}, 264, 127, kPageFontFace, kPageFontPoints, kItems};

}  // namespace

const DialogTemplate& PageTemplate() { return kTemplate; }

}  // namespace pelmora::sms_track
