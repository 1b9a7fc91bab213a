#include "platform/gdi/color.h"

#include <QGuiApplication>
#include <QPalette>

namespace sw::gdi {
namespace {

struct PaletteRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The palette colour that plays each system colour's part, indexed by SystemColor (0..kColorMax).
constexpr PaletteRole kSystemRoles[] = {
    {QPalette::Active, QPalette::Button},           // scroll bar
    {QPalette::Active, QPalette::Dark},             // desktop background
    {QPalette::Active, QPalette::Highlight},        // active caption
    {QPalette::Inactive, QPalette::Mid},            // inactive caption
    {QPalette::Active, QPalette::Window},           // menu
    {QPalette::Active, QPalette::Base},             // window
    {QPalette::Active, QPalette::Shadow},           // window frame
    {QPalette::Active, QPalette::WindowText},       // menu text
    {QPalette::Active, QPalette::Text},             // window text
    {QPalette::Active, QPalette::HighlightedText},  // caption text
    {QPalette::Active, QPalette::Window},           // active border
    {QPalette::Inactive, QPalette::Window},         // inactive border
    {QPalette::Active, QPalette::Dark},             // application workspace
    {QPalette::Active, QPalette::Highlight},        // highlight
    {QPalette::Active, QPalette::HighlightedText},  // highlight text
    {QPalette::Active, QPalette::Button},           // button face
    {QPalette::Active, QPalette::Dark},             // button shadow
    {QPalette::Disabled, QPalette::Text},           // gray text
    {QPalette::Active, QPalette::ButtonText},       // button text
    {QPalette::Inactive, QPalette::WindowText},     // inactive caption text
    {QPalette::Active, QPalette::Light},            // button highlight
    {QPalette::Active, QPalette::Shadow},           // 3-D dark shadow
    {QPalette::Active, QPalette::Midlight},         // 3-D light
    {QPalette::Active, QPalette::ToolTipText},      // info text
    {QPalette::Active, QPalette::ToolTipBase},      // info background
};
static_assert(std::size(kSystemRoles) == kColorMax + 1);

}  // namespace

uint32_t fromQColor(const QColor& color) noexcept {
    if (!color.isValid()) return 0;
    const QColor rgb = color.toRgb();
    return static_cast<uint32_t>(rgb.red()) | static_cast<uint32_t>(rgb.green()) << 8 |
           static_cast<uint32_t>(rgb.blue()) << 16;
}

uint32_t translateOleColor(uint32_t oleColor) noexcept {
    const uint32_t highByte = oleColor >> 24;
    if (highByte == 0) return oleColor;
    if (highByte != kSystemColorFlag >> 24) return 0;  // palette colours: no palettes here
    const uint32_t index = oleColor & 0x00FFFFFFu;
    if (index > kColorMax) return 0;
    // Without an application object there is no platform palette; Qt's default palette stands in.
    const QPalette palette = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                 ? QGuiApplication::palette()
                                 : QPalette();
    const PaletteRole& entry = kSystemRoles[index];
    return fromQColor(palette.color(entry.group, entry.role));
}

QColor toQColor(uint32_t oleColor) noexcept {
    const uint32_t rgb = translateOleColor(oleColor);
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>(rgb >> 8 & 0xFF),
                  static_cast<int>(rgb >> 16 & 0xFF));
}

}  // namespace sw::gdi
