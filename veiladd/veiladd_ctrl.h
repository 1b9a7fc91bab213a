// CVeiladdCtrl: the overlay add-in control. No properties, no events, no run-time appearance; its dispatch
// interface _DVeiladd carries the seven methods of veiladd_methods.h (ids in veiladd_dispids.h) and the stock
// AboutBox. At design time its window shows a bump-edged 32 × 32 box with the control's 16 × 16 bitmap; at
// run time the window stays hidden. It keeps no data between calls.
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "platform/com/control.h"
#include "platform/com/module.h"

namespace sw::veiladd {

// The fixed identities and registration data of the Veiladd class (type library, class, property page).
const ClassInfo& veiladdClassInfo() noexcept;

// The control's bitmap, drawn in code at `size` × `size` pixels (16 for the design-time box).
QImage veiladdBitmap(int size);

class CVeiladdCtrl final : public Control {
public:
    // `liveObjects` is the module's object counter (DllCanUnloadNow).
    explicit CVeiladdCtrl(int* liveObjects);
    ~CVeiladdCtrl() override;

    const ClassInfo& classInfo() const noexcept override { return veiladdClassInfo(); }
    ConnectionPoint* events() noexcept override { return &m_events; }
    void exchangeProperties(PropExchange& exchange) noexcept override;
    QWidget* createWindow(QWidget* parent) noexcept override;
    QWidget* window() const noexcept override;
    bool setExtent(int width, int height) noexcept override;
    QImage icon() const noexcept override;  // the AboutBox icon

protected:
    HResult invokeMember(const MemberInfo& member, uint16_t flags, std::span<Variant> args,
                         Variant* result) override;

private:
    com::ObjectCounter m_counter;
    ConnectionPoint m_events;
    QPointer<QWidget> m_window;  // owned by its parent from createWindow on
};

// The property page: the one empty page captioned "General".
class CVeiladdPropPage {
public:
    static QWidget* create(QWidget* parent);
};

}  // namespace sw::veiladd
