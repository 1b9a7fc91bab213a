// The life cycle of a secondary window of the board: loaded (created, its load step run) on first use,
// unloaded when the user closes it (the window deletes itself), loaded afresh on the next use. Asking
// whether it is loaded never creates it, so shutdown never makes a window that was never loaded.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

namespace sw::board {

template <typename Form>
class FormSlot {
public:
    // `make` creates the window (with WA_DeleteOnClose set) and runs its load step.
    explicit FormSlot(std::function<Form*()> make) : m_make(std::move(make)) {}

    Form* get() {
        if (!m_form) {
            ++m_loads;
            m_form = m_make();
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
