#include "pages/key_binding_page.h"
#include "pages/templates/page_style.h"

namespace pelmora::key_binding {
namespace {

// Key pictures.
constexpr int kButton1Bitmap = 135;
constexpr int kButton2Bitmap = 136;
constexpr int kButton3Bitmap = 137;
constexpr int kButtonSosBitmap = 134;

constexpr TemplateItem kItems[] = {
    {kNoId, ItemKind::GroupBox, StyleNone, u"Phone Number Binding", {16, 16, 162, 113}},
    {kNoId, ItemKind::GroupBox, StyleNone, u"SMS  Number Binding", {186, 17, 160, 118}},
    {kNoId, ItemKind::GroupBox, StyleNone, u"SOS ShortMessage Content Setting", {14, 137, 332, 95}},
    // Phone numbers
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 1", {45, 31, 28, 18}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 2", {47, 56, 26, 18}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button SOS", {34, 108, 36, 18}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 3", {45, 80, 27, 18}},
    {IDC_PHONE_KEY1, ItemKind::Edit, kEditStyle, {}, {74, 30, 99, 16}},
    {IDC_PHONE_KEY2, ItemKind::Edit, kEditStyle, {}, {74, 54, 100, 16}},
    {IDC_PHONE_KEY3, ItemKind::Edit, kEditStyle, {}, {74, 78, 100, 16}},
    {IDC_PHONE_SOS, ItemKind::Edit, kEditStyle, {}, {74, 104, 100, 16}},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {20, 28, 18, 17}, kButton1Bitmap},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {20, 54, 18, 17}, kButton2Bitmap},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {20, 80, 18, 17}, kButton3Bitmap},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {17, 106, 17, 16}, kButtonSosBitmap},
    // SMS numbers
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 1", {224, 39, 25, 18}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 2", {224, 65, 25, 18}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button SOS", {211, 117, 35, 11}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 3", {221, 89, 27, 18}},
    {IDC_SMS_KEY1, ItemKind::Edit, kEditStyle, {}, {251, 38, 89, 16}},
    {IDC_SMS_KEY2, ItemKind::Edit, kEditStyle, {}, {251, 62, 89, 16}},
    {IDC_SMS_KEY3, ItemKind::Edit, kEditStyle, {}, {251, 86, 89, 16}},
    {IDC_SMS_SOS, ItemKind::Edit, kEditStyle, {}, {251, 112, 90, 16}},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {194, 37, 18, 17}, kButton1Bitmap},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {194, 63, 18, 17}, kButton2Bitmap},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {194, 89, 18, 17}, kButton3Bitmap},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {193, 114, 17, 16}, kButtonSosBitmap},
    // Messages
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 1", {70, 151, 28, 18}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 2", {70, 170, 28, 18}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button SOS", {59, 208, 36, 18}},
    {kNoId, ItemKind::StaticText, StyleAlignRight, u"Button 3", {72, 188, 25, 18}},
    {IDC_MESSAGE_KEY1, ItemKind::Edit, kEditStyle, {}, {106, 150, 230, 16}},
    {IDC_MESSAGE_KEY2, ItemKind::Edit, kEditStyle, {}, {106, 168, 231, 16}},
    {IDC_MESSAGE_KEY3, ItemKind::Edit, kEditStyle, {}, {106, 186, 231, 16}},
    {IDC_MESSAGE_SOS, ItemKind::Edit, kEditStyle, {}, {106, 204, 231, 16}},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {40, 148, 18, 17}, kButton1Bitmap},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {40, 168, 18, 17}, kButton2Bitmap},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {40, 188, 18, 17}, kButton3Bitmap},
    {kNoId, ItemKind::Bitmap, StyleNone, {}, {39, 206, 17, 16}, kButtonSosBitmap},
};

constexpr DialogTemplate kTemplate{IDD_KEY_BINDING, {}, 369, 249, kPageFontFace, kPageFontPoints, kItems};

}  // namespace

const DialogTemplate& PageTemplate() { return kTemplate; }

}  // namespace pelmora::key_binding
