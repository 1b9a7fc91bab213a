// Colours: OLE colours are 0x00BBGGRR; a value with the high byte 0x80 is a system colour index.
#pragma once

#include <QColor>
#include <cstdint>

namespace sw::gdi {

inline constexpr uint32_t kSystemColorFlag = 0x80000000u;

// System colour indexes (low byte of a 0x80xxxxxx value), as the Windows palette numbers them.
enum SystemColor : uint32_t {
    kColorScrollBar = 0,
    kColorBackground = 1,
    kColorActiveCaption = 2,
    kColorInactiveCaption = 3,
    kColorMenu = 4,
    kColorWindow = 5,
    kColorWindowFrame = 6,
    kColorMenuText = 7,
    kColorWindowText = 8,
    kColorCaptionText = 9,
    kColorActiveBorder = 10,
    kColorInactiveBorder = 11,
    kColorAppWorkspace = 12,
    kColorHighlight = 13,
    kColorHighlightText = 14,
    kColorButtonFace = 15,
    kColorButtonShadow = 16,
    kColorGrayText = 17,
    kColorButtonText = 18,
    kColorInactiveCaptionText = 19,
    kColorButtonHighlight = 20,
    kColorMax = 24,
};

// The plain 0x00BBGGRR colour for an OLE colour: system colour indexes are looked up in the application's
// palette; an unknown index or high byte gives black. A plain colour is returned with its high byte cleared.
uint32_t translateOleColor(uint32_t oleColor) noexcept;

QColor toQColor(uint32_t oleColor) noexcept;  // translated first
uint32_t fromQColor(const QColor& color) noexcept;

}  // namespace sw::gdi
