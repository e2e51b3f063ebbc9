#pragma once
// The main window (template 102) and the About box (template 100) as data,
// with the ids the window logic and the Qt view share: controls, images,
// the About menu item and the status timer.

#include <array>
#include <string>
#include <string_view>

#include "app/main_view.h"
#include "pages/dialog_template.h"

namespace pelmora {

// Templates.
inline constexpr int IDD_ABOUT = 100;
inline constexpr int IDD_MAIN = 102;

// Controls of the main window.
inline constexpr int IDC_PAGE_TABS = 1000;
inline constexpr int IDC_SCAN_PORTS = 1004;
inline constexpr int IDC_READ_SETTINGS = 1005;
inline constexpr int IDC_WRITE_SETTINGS = 1006;
inline constexpr int IDC_MAGIC = 1007;
inline constexpr int IDC_IMEI = 1008;
inline constexpr int IDC_STATUS_LIGHT = 1009;
inline constexpr int IDC_PORT_LIST = 1010;
inline constexpr int IDC_LOG = 1011;
inline constexpr int IDC_ONLINE_IMAGE = 1012;
inline constexpr int IDC_ROM_VERSION = 1013;
inline constexpr int IDC_PROGRESS = 1036;
inline constexpr int IDC_ABOUT_BUTTON = 1037;  // "?": the About box

// The control showing each identity field.
struct IdentityRow {
  IdentityField field;
  int controlId;
};
inline constexpr std::array kIdentityRows{
    IdentityRow{IdentityField::MagicNumber, IDC_MAGIC},
    IdentityRow{IdentityField::RomVersion, IDC_ROM_VERSION},
    IdentityRow{IdentityField::Imei, IDC_IMEI},
};

// The About box's controls.
inline constexpr int IDC_ABOUT_OK = 1;
inline constexpr int IDC_ABOUT_VERSION = 1038;

// Images: 32 x 32 icons, 48 x 48 one-colour status bitmaps.
inline constexpr int IDB_ONLINE = 142;    // green
inline constexpr int IDB_OFFLINE = 1004;  // red
inline constexpr int IDI_TRANSPORT_TAB = 148;
inline constexpr int IDI_AGPS_TAB = 149;
inline constexpr int IDI_APN_TAB = 150;
inline constexpr int IDI_KEY_BINDING_TAB = 151;
inline constexpr int IDI_MISC_TAB = 152;
inline constexpr int IDI_SMS_TRACK_TAB = 153;
inline constexpr int IDI_APP = 154;

// The system menu's last item, below a separator.
inline constexpr int IDS_ABOUT_ITEM = 101;
inline constexpr int ID_SYSMENU_ABOUT = 0x0010;
inline constexpr std::u16string_view kAboutMenuText = u"&About Pelmora...";
inline constexpr std::u16string_view kAboutButtonTip = u"About Pelmora";

inline constexpr int STATUS_TIMER_ID = 8192;
inline constexpr int kStatusTimerPeriodMs = 1000;

// Pages sit inside the tab control's client area with these margins; the
// top one leaves room for the tab strip with its 32 x 32 icons.
inline constexpr int kPageInsetLeft = 10;
inline constexpr int kPageInsetTop = 50;
inline constexpr int kPageInsetRight = 10;
inline constexpr int kPageInsetBottom = 10;

// A pop-up window with caption and system menu, no minimise, maximise or
// sizing border, centred; Tab also walks the controls of the child pages.
const DialogTemplate& mainWindowTemplate();
// Modal frame; the icon area shows the application icon.
const DialogTemplate& aboutBoxTemplate();
// The main window's caption or the About box's text (as translated) with the
// program's version in place of its "%1".
std::u16string withVersion(std::u16string_view text);

}  // namespace pelmora
