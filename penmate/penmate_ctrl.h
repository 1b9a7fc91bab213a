// The Penmate control: CPenmateCtrl with its dispatch interface _DPenmate (the twelve methods of
// penmate_ids.h and the stock AboutBox), the empty event interface _DPenmateEvents, its class factory and
// the one "General" property page, CPenmatePropPage.
//
// The control is invisible at run time: it keeps no data between calls, has no properties and no events,
// and takes no extent but 32 x 32. At design time its window shows a bump-edged box with its bitmap.
#pragma once

#include "platform/com/control.h"

class QImage;
class QWidget;

namespace penmate {

// The module's one factory and its count of live controls (for DllCanUnloadNow).
sw::ClassFactory& penmateFactory() noexcept;
int& liveObjects() noexcept;

// The control's 16 x 16 bitmap, drawn once.
const QImage& penmateBitmap();

class CPenmatePropPage {
public:
    static QWidget* create(QWidget* parent);
};

}  // namespace penmate
