// Stock user interface of the control modules: the AboutBox, the "General" property page and the design-time
// look of controls that are invisible at run time.
#pragma once

#include <functional>
#include <string_view>

class QWidget;
class QDialog;
class QPainter;
class QRect;
class QImage;

namespace sw::com {

// Shows a modal About dialog: the icon, "<name>" and "Version <version>", with an OK button. `icon` may be
// null for a default. Tests install a hook that receives the dialog instead of running it.
void showAboutBox(QWidget* parent, const QImage* icon, std::string_view name, std::string_view version);
void setDialogHook(std::function<void(QDialog&)> hook);  // null restores modal execution

// The one empty property page of every control, captioned "General".
QWidget* createGeneralPropertyPage(QWidget* parent);

// Invisible-at-run-time controls: 32 x 32 pixels, no other extent accepted.
inline constexpr int kInvisibleControlSize = 32;
bool acceptInvisibleExtent(int width, int height) noexcept;
// The design-time box: a bump-edged frame with the 16 x 16 bitmap centred.
void paintDesignTimeBox(QPainter& painter, const QRect& rect, const QImage& bitmap16);

}  // namespace sw::com
