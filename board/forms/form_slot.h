// The life cycle of a secondary window of the board: loaded (created, its load step run) on first use,
// unloaded when the user closes it, loaded afresh on the next use. Asking whether it is loaded never creates
// it, so shutdown never makes a window that was never loaded.
//
// Form is a QWidget with a member `std::function<void()> onClosed` that its closeEvent calls before it
// schedules its own deletion; from then on the slot counts it as unloaded.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

namespace sw::board {

template <typename Form>
class FormSlot {
public:
    // `make` creates the window and runs its load step.
    explicit FormSlot(std::function<Form*()> make) : m_make(std::move(make)) {}

    Form* get() {
        if (!m_form) {
            ++m_loads;
            m_form = m_make();
            if (m_form) m_form->onClosed = [this] { m_form = nullptr; };
        }
        return m_form;
    }
    Form* loaded() const noexcept { return m_form; }
    int loads() const noexcept { return m_loads; }

    // Unloads at once (shutdown); nothing happens when the window is not loaded.
    void unload() {
        if (m_form) delete m_form.data();
    }

private:
    std::function<Form*()> m_make;
    QPointer<Form> m_form;
    int m_loads = 0;
};

}  // namespace sw::board
