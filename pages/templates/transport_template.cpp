#include "pages/templates/page_style.h"
#include "pages/transport_page.h"

namespace pelmora::transport {
namespace {

constexpr TemplateItem kItems[] = {
    {kNoId, ItemKind::GroupBox, StyleNone, u"TCP  transport protocols  setting", {24, 12, 244, 120}},
    {IDC_HTTP_GROUP, ItemKind::GroupBox, StyleHidden, u"HTTP transport protocols  setting", {25, 136, 244, 80}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Server IP", {33, 33, 44, 11}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Port", {33, 48, 44, 19}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Tracker ID", {31, 71, 44, 10}},
    {IDC_TCP_SERVER_IP, ItemKind::IpAddress, StyleNone, {}, {90, 26, 167, 15}},
    {IDC_HTTP_INTERVAL, ItemKind::Edit, kEditStyle | StyleDigitsOnly | StyleHidden, {}, {98, 181, 148, 17}},
    {IDC_TCP_PORT, ItemKind::Edit, kEditStyle | StyleDigitsOnly, {}, {92, 48, 166, 17}},
    {IDC_TRACKER_ID, ItemKind::Edit, kEditStyle | StyleDigitsOnly, {}, {93, 68, 166, 17}},
    {IDC_HTTP_DOMAIN_LABEL, ItemKind::StaticText, StyleAlignRight | StyleHidden, u"Server Domain", {38, 157, 53, 19}},
    {IDC_HTTP_INTERVAL_LABEL, ItemKind::StaticText, StyleAlignRight | StyleHidden, u"Report Interval",
     {42, 184, 49, 19}},
    {IDC_HTTP_DOMAIN, ItemKind::Edit, kEditStyle | StyleHidden, {}, {98, 155, 160, 17}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Report Interval", {31, 92, 44, 12}},
    {IDC_TCP_INTERVAL, ItemKind::Edit, kEditStyle | StyleDigitsOnly, {}, {93, 88, 147, 17}},
    {kNoId, ItemKind::StaticText, StyleAlignCenter, u"*10s", {241, 91, 18, 10}},
    {IDC_HTTP_INTERVAL_UNIT, ItemKind::StaticText, StyleAlignCenter | StyleHidden, u"*10s", {247, 184, 18, 10}},
    {IDC_TCP_TRACK, ItemKind::CheckBox, StyleNone, u"Enable TCP Track", {51, 107, 126, 19}},
    {IDC_TCP_TRACK_VALUE, ItemKind::Edit, kEditStyle | StyleHidden, {}, {182, 110, 59, 19}},
};

constexpr DialogTemplate kTemplate{IDD_TRANSPORT, {}, 287, 250, kPageFontFace, kPageFontPoints, kItems};

}  // namespace

const DialogTemplate& PageTemplate() { return kTemplate; }

}  // namespace pelmora::transport
