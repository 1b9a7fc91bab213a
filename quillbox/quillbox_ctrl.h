// The recognition box control: CQuillboxCtrl with its dispatch interface _DQuillbox (the members of
// contracts/quillbox.h), the event interface _DQuillboxEvents (ResultChange, RecSelectChange), its class
// factory and the one "General" property page, CQuillboxPropPage.
//
// The control owns a QuillboxBox; its window is a QuillboxWidget over that box, made by createWindow, which
// also loads the engine. Properties work without a window; methods need the window's engine and answer
// 0 / false / nothing before it exists.
#pragma once

#include <QPointer>
#include <QSize>
#include <string>

#include "platform/com/control.h"
#include "platform/com/module.h"
#include "quillbox/quillbox_box.h"
#include "quillbox/quillbox_widget.h"

namespace sw::quillbox {

const InterfaceInfo& dispatchInterface() noexcept;  // _DQuillbox
const InterfaceInfo& eventInterface() noexcept;     // _DQuillboxEvents
const ClassInfo& classInfo() noexcept;

ClassFactory& quillboxFactory() noexcept;
int& liveObjects() noexcept;

class CQuillboxCtrl final : public Control, private BoxEvents {
public:
    // `engineFolder` is where createWindow loads libscribeng.so from; empty means the folder of the module
    // that holds this code.
    explicit CQuillboxCtrl(std::string engineFolder = {});
    ~CQuillboxCtrl() override;  // deletes its window when that still exists

    const ClassInfo& classInfo() const noexcept override { return quillbox::classInfo(); }
    ConnectionPoint* events() noexcept override { return &m_events; }
    void exchangeProperties(PropExchange& exchange) noexcept override;
    // Fails (null) when the engine does not load.
    QWidget* createWindow(QWidget* parent) noexcept override;
    QWidget* window() const noexcept override { return m_widget; }
    // Any extent is accepted; the canvas and view follow at once, shown or hidden.
    bool setExtent(int width, int height) noexcept override;

    QuillboxBox& box() noexcept { return m_box; }

protected:
    HResult invokeMember(const MemberInfo& member, uint16_t flags, std::span<Variant> args,
                         Variant* result) override;

private:
    HResult getProperty(DispId id, Variant* result);
    HResult putProperty(DispId id, const Variant& value);
    HResult callMethod(DispId id, std::span<Variant> args, Variant* result);
    void resultChange() override;
    void recSelectChange(int32_t selectNum) override;

    com::ObjectCounter m_counter;
    ConnectionPoint m_events;
    std::string m_engineFolder;
    QuillboxBox m_box;
    QPointer<QuillboxWidget> m_widget;
    QSize m_extent{240, 80};
};

class CQuillboxPropPage {
public:
    static QWidget* create(QWidget* parent);
};

}  // namespace sw::quillbox
