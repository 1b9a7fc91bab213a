// The fixture of the tests that register a built module (QUILLBOX_MODULE_PATH) in the test's own registry,
// create the box by prog id as the board does and call it by dispatch id. The box is never shown.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <vector>

#include "platform/com/host.h"
#include "platform/window/menu.h"
#include "platform/window/window.h"
#include "quillbox_test_support.h"

namespace sw::quillbox::test {

using win::makeLParam;

class QuillboxModule : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        app();
        s_module = dlopen(QUILLBOX_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(s_module, nullptr) << dlerror();
        auto reg = reinterpret_cast<int32_t (*)()>(dlsym(s_module, "DllRegisterServer"));
        ASSERT_NE(reg, nullptr);
        ASSERT_EQ(reg(), 0);
    }
    static void TearDownTestSuite() {
        if (s_module) dlclose(s_module);
    }

    void SetUp() override {
        m_baseline = liveBlockCount();
        m_host = std::make_unique<QWidget>();
        m_host->resize(640, 400);
        HResult hr = 0;
        m_box = com::createControl(kProgId, m_host.get(), "Quillbox1", nullptr, &hr);
        ASSERT_EQ(hr, 0);
        ASSERT_TRUE(m_box);
        m_cookie = m_box->advise(&m_log);
        put(com::kDispExtVisible, Variant::fromBool(false));
    }
    void TearDown() override {
        if (m_box) m_box->unadvise(m_cookie);
        m_box.reset();
        m_host.reset();
        win::setPopupMenuHook(nullptr);
        EXPECT_EQ(liveBlockCount(), m_baseline) << "a handle of the box or the test was not freed";
    }

    void put(DispId id, Variant v) { ASSERT_EQ(m_box->put(id, std::move(v)), 0) << id; }
    Variant get(DispId id) {
        Variant v;
        EXPECT_EQ(m_box->get(id, &v), 0) << id;
        return v;
    }
    Variant call(DispId id, std::vector<Variant> args = {}) {
        Variant result;
        EXPECT_EQ(m_box->call(id, args, &result), 0) << id;
        return result;
    }
    std::u16string result() { return get(kDispResult).bstr(); }
    bool recog() { return get(kDispRecog).boolean(); }
    Strokes ink() {
        const Handle ptw = call(kDispGetAllString).i4();
        Strokes strokes = strokesOf(ptw);
        call(kDispDeletePTW, {Variant(ptw)});
        return strokes;
    }

    // The board's order of calls: Clear, BackCharColor, Tag, SetString, Move, Recognize on the hidden box.
    void loadAndRecognize(const Strokes& strokes) {
        call(kDispClear);
        put(kDispBackCharColor, Variant(int32_t{0x00FFFFFF}));
        put(com::kDispExtTag, Variant(u"2"));
        const Handle ptw = makePtw(strokes);
        call(kDispSetString, {Variant(ptw)});
        freePtw(ptw, Owner::Test);
        std::vector<Variant> move{Variant(12.0f), Variant(34.0f), Variant(600.0f), Variant(160.0f)};
        ASSERT_EQ(m_box->invoke(com::kDispExtMove, kInvokeMethod, move, nullptr), 0);
        call(kDispRecognize);
    }

    QWidget* widget() { return m_box->widget(); }
    win::HWnd hwnd() { return get(kDispHWnd).i4(); }
    void send(uint32_t msg, int x, int y, win::WParam keys = 0) {
        win::sendMessage(hwnd(), msg, keys, makeLParam(x, y));
    }
    void stroke(const std::vector<QPoint>& points) {
        send(win::WM_LBUTTONDOWN, points.front().x(), points.front().y(), win::MK_LBUTTON);
        for (size_t i = 1; i < points.size(); ++i)
            send(win::WM_MOUSEMOVE, points[i].x(), points[i].y(), win::MK_LBUTTON);
        send(win::WM_LBUTTONUP, points.back().x(), points.back().y());
    }

    inline static void* s_module = nullptr;
    size_t m_baseline = 0;
    std::unique_ptr<QWidget> m_host;
    std::unique_ptr<com::ControlSite> m_box;
    EventLog m_log;
    uint32_t m_cookie = 0;
};

}  // namespace sw::quillbox::test
