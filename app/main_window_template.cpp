#include "app/main_window_template.h"

#include <array>

#include "pelmora_version.h"

namespace pelmora {
namespace {

constexpr std::uint32_t kReadOnlyField = StyleReadOnly | StyleBorder | StyleAutoHScroll;
constexpr std::uint32_t kLogStyle = StyleMultiline | StyleReadOnly | StyleWantReturn | StyleAutoVScroll |
                                    StyleVScrollBar | StyleBorder | StyleWordWrap;

// Template order is the Tab order: the port chooser, the three buttons, the
// page, then the read-only fields and the About button.
constexpr std::array kMainItems{
    TemplateItem{IDC_PORT_LIST, ItemKind::ComboBox, StyleVScrollBar, u"", {2, 2, 41, 27}},
    TemplateItem{IDC_SCAN_PORTS, ItemKind::PushButton, StyleNone, u"Scan Ports", {57, 2, 66, 13}},
    TemplateItem{IDC_READ_SETTINGS, ItemKind::PushButton, StyleNone, u"Read Settings", {125, 2, 65, 13}},
    TemplateItem{IDC_WRITE_SETTINGS, ItemKind::PushButton, StyleNone, u"Write Settings", {192, 2, 65, 13}},
    TemplateItem{IDC_PAGE_TABS, ItemKind::TabControl, StyleNone, u"", {2, 40, 320, 240}},
    TemplateItem{IDC_STATUS_LIGHT, ItemKind::Bitmap, StyleImageCentred, u"", {44, 2, 11, 11}, IDB_OFFLINE},
    TemplateItem{IDC_PROGRESS, ItemKind::ProgressBar, StyleBorder, u"", {258, 3, 153, 10}},
    TemplateItem{kNoId, ItemKind::GroupBox, StyleNone, u"", {2, 13, 424, 24}},
    TemplateItem{kNoId, ItemKind::StaticText, StyleNone, u"Magic Number", {6, 23, 47, 10}},
    TemplateItem{IDC_MAGIC, ItemKind::Edit, kReadOnlyField, u"", {56, 22, 58, 10}},
    TemplateItem{kNoId, ItemKind::StaticText, StyleNone, u"ROM Ver", {118, 22, 42, 10}},
    TemplateItem{IDC_ROM_VERSION, ItemKind::Edit, kReadOnlyField, u"", {149, 22, 138, 10}},
    TemplateItem{kNoId, ItemKind::StaticText, StyleNone, u"IMEI", {295, 22, 13, 10}},
    TemplateItem{IDC_IMEI, ItemKind::Edit, kReadOnlyField, u"", {315, 22, 87, 10}},
    TemplateItem{IDC_LOG, ItemKind::Edit, kLogStyle, u"", {323, 52, 106, 228}},
    TemplateItem{IDC_ONLINE_IMAGE, ItemKind::Bitmap, StyleHidden, u"", {352, 183, 21, 21}, IDB_ONLINE},
    TemplateItem{IDC_ABOUT_BUTTON, ItemKind::PushButton, StyleNone, u"?", {413, 2, 13, 13}},
};

// Template 100 names icon 128, which does not exist: the icon area shows
// the application icon instead (32 x 32 pixels are about 21 x 20 units).
constexpr std::array kAboutItems{
    TemplateItem{kNoId, ItemKind::Icon, StyleNone, u"", {14, 14, 21, 20}, IDI_APP},
    TemplateItem{IDC_ABOUT_VERSION, ItemKind::StaticText, StyleNone, u"Pelmora, Version %1", {42, 14, 114, 8}},
    TemplateItem{IDC_ABOUT_OK, ItemKind::PushButton, StyleDefaultButton, u"OK", {113, 41, 50, 14}},
};

constexpr DialogTemplate kMainTemplate{
    IDD_MAIN, u"Veltranix Pelmora %1", 436, 299, u"Arial", 12, kMainItems,
};

constexpr DialogTemplate kAboutTemplate{
    IDD_ABOUT, u"About Pelmora", 170, 62, u"MS Shell Dlg", 8, kAboutItems,
};

}  // namespace

const DialogTemplate& mainWindowTemplate() { return kMainTemplate; }
const DialogTemplate& aboutBoxTemplate() { return kAboutTemplate; }

std::u16string withVersion(std::u16string_view text) {
  std::u16string filled(text);
  if (const std::size_t at = filled.find(u"%1"); at != std::u16string::npos) filled.replace(at, 2, kPelmoraVersionText);
  return filled;
}

}  // namespace pelmora
