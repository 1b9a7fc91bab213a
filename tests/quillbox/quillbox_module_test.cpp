// The registered recognition box module, created by prog id in a registry of the test's own and driven by
// dispatch id with the real engine of the runtime folder, as the board drives it: the box stays hidden.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QWidget>
#include <array>
#include <filesystem>
#include <memory>

#include "platform/com/host.h"
#include "platform/com/registry.h"
#include "platform/com/stock_ui.h"
#include "platform/window/menu.h"
#include "platform/window/window.h"
#include "quillbox_module_fixture.h"

namespace sw::quillbox::test {
namespace {

TEST_F(QuillboxModule, RegistersItsClassAsAVisibleControl) {
    const com::ClassRegistry registry;
    const auto entry = registry.findClassByProgId(kProgId);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->id, kClassId);
    EXPECT_EQ(entry->miscStatus, 0x20191u);
    EXPECT_TRUE(registry.findPropPage(kPropPageId));
}

TEST_F(QuillboxModule, AboutBoxNamesTheControlAndItsVersion) {
    QStringList labels;
    com::setDialogHook([&](QDialog& dialog) {
        for (QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    });
    call(kDispAboutBox);
    com::setDialogHook(nullptr);
    EXPECT_TRUE(labels.contains("Quillbox Control"));
    EXPECT_TRUE(labels.contains("Version 1.0"));
}

TEST_F(QuillboxModule, FreshBoxIsInInputModeWithoutCandidatesOrResultBoxes) {
    EXPECT_FALSE(recog());
    EXPECT_EQ(result(), u"");
    EXPECT_EQ(get(kDispRecogNum).i4(), 0);
    EXPECT_EQ(get(kDispResultFontWidth).i4(), 0);
}

// The whole flow of a three-character line on a box that is never shown.
TEST_F(QuillboxModule, RecognisesALineAndEditsItsResultWhileHidden) {
    const auto line = loadLine("line3_a.txt");
    ASSERT_EQ(line.strokes.size(), 9u);
    loadAndRecognize(line.strokes);
    ASSERT_FALSE(widget()->isVisible());
    ASSERT_TRUE(recog());
    EXPECT_EQ(result(), u"山川口");
    EXPECT_EQ(m_log.take(), (std::vector{kResultChanged}));

    // Each character's strokes in canvas coordinates: three strokes each, in writing order.
    for (int32_t n = 1; n <= 3; ++n) {
        const Handle ptw = call(kDispGetNthString, {Variant(n)}).i4();
        ASSERT_NE(ptw, 0) << n;
        const Strokes strokes = strokesOf(ptw);
        call(kDispDeletePTW, {Variant(ptw)});
        const Strokes expected(line.strokes.begin() + 3 * (n - 1), line.strokes.begin() + 3 * n);
        EXPECT_EQ(strokes, expected) << "character " << n;
    }
    EXPECT_EQ(call(kDispGetNthString, {Variant(int32_t{0})}).i4(), 0);
    EXPECT_EQ(call(kDispGetNthString, {Variant(int32_t{4})}).i4(), 0);

    // 20 candidates with the recognised character among them, through the handle and as text.
    const std::u16string chars = result();
    std::array<char, 2> replacement{};
    int32_t replacementIndex = -1;
    for (int32_t n = 1; n <= 3; ++n) {
        const Handle list = call(kDispGetNthCR, {Variant(n)}).i4();
        ASSERT_NE(list, 0);
        const auto* entries = static_cast<const CandidateEntry*>(resolve(list, BlockKind::Other, 240));
        ASSERT_NE(entries, nullptr);
        const std::string own = text::utf16ToCp932(chars.substr(n - 1, 1));
        const uint32_t ownCode =
            (static_cast<unsigned char>(own[0]) << 8) | static_cast<unsigned char>(own[1]);
        int nonZero = 0;
        bool found = false;
        for (int i = 0; i < 20; ++i) {
            nonZero += entries[i].code != 0;
            found |= (entries[i].code & 0xFFFF) == ownCode;
            if (n == 2 && replacementIndex < 0 && (entries[i].code & 0xFFFF) != ownCode && entries[i].code) {
                replacementIndex = i;
                replacement = {static_cast<char>(entries[i].code >> 8), static_cast<char>(entries[i].code)};
            }
        }
        EXPECT_EQ(nonZero, 20) << n;
        EXPECT_TRUE(found) << n;
        call(kDispDeleteCR, {Variant(list)});

        EXPECT_TRUE(call(kDispGetNthRecChars, {Variant(n)}).boolean());
        const std::u16string recChars = get(kDispResultRecChars).bstr();
        EXPECT_EQ(recChars.size(), 20u);
        EXPECT_NE(recChars.find(chars[n - 1]), std::u16string::npos);
    }
    EXPECT_FALSE(call(kDispGetNthRecChars, {Variant(int32_t{9})}).boolean());
    EXPECT_EQ(get(kDispResultRecChars).bstr(), u"");

    // Replacing character 2 fires ResultChange, then RecSelectChange(2); the same candidate again fires
    // nothing.
    ASSERT_GE(replacementIndex, 0);
    EXPECT_TRUE(call(kDispSetNthRecChars, {Variant(int32_t{2}), Variant(replacementIndex)}).boolean());
    const std::u16string replaced = text::cp932ToUtf16(std::string_view(replacement.data(), 2));
    EXPECT_EQ(result(), std::u16string(u"山") + replaced + u"口");
    EXPECT_EQ(m_log.take(), (std::vector{kResultChanged, recSelected(2)}));
    EXPECT_TRUE(call(kDispSetNthRecChars, {Variant(int32_t{2}), Variant(replacementIndex)}).boolean());
    EXPECT_FALSE(call(kDispSetNthRecChars, {Variant(int32_t{2}), Variant(int32_t{20})}).boolean());
    EXPECT_TRUE(m_log.take().empty());

    // Back to input mode with the ink kept; recognised again, it reads as before.
    const Strokes before = ink();
    call(kDispRecognizeCancel);
    EXPECT_FALSE(recog());
    EXPECT_EQ(result(), u"");
    EXPECT_EQ(ink(), before);
    EXPECT_EQ(m_log.take(), (std::vector{kResultChanged}));
    EXPECT_EQ(call(kDispGetNthString, {Variant(int32_t{1})}).i4(), 0);

    // DelLastLine removes exactly the last stroke (input mode only).
    call(kDispDelLastLine);
    Strokes shorter = before;
    shorter.pop_back();
    EXPECT_EQ(ink(), shorter);
    call(kDispRecognize);
    ASSERT_TRUE(recog());
    call(kDispDelLastLine);
    EXPECT_EQ(ink(), shorter);
    m_log.take();

    call(kDispClear);
    EXPECT_FALSE(recog());
    EXPECT_EQ(result(), u"");
    EXPECT_TRUE(ink().empty());
    EXPECT_EQ(get(kDispShowX).i4(), 0);
    EXPECT_EQ(m_log.take(), (std::vector{kResultChanged}));
}

TEST_F(QuillboxModule, RecognizeFiresOnlyWhenTheResultChanges) {
    call(kDispRecognize);  // empty box, empty Result
    EXPECT_TRUE(m_log.take().empty());
    put(kDispResult, Variant(u"古"));
    call(kDispRecognize);  // a stale Result is cleared once
    EXPECT_EQ(result(), u"");
    EXPECT_EQ(m_log.take(), (std::vector{kResultChanged}));

    loadAndRecognize(loadLine("line3_a.txt").strokes);
    m_log.take();
    call(kDispRecognize);  // a shown result is not recognised again
    EXPECT_TRUE(m_log.take().empty());
    EXPECT_EQ(result(), u"山川口");
}

// Move of the hidden box sizes the canvas at once: every character gets its frame, none is clamped away.
TEST_F(QuillboxModule, HiddenMoveSizesTheCanvasBeforeRecognize) {
    put(kDispResultFontWidth, Variant(int32_t{1}));
    put(kDispBackColor, Variant(int32_t{0x00FFFFFF}));
    put(kDispResultColor, Variant(int32_t{0x000000FF}));
    loadAndRecognize(loadLine("line3_a.txt").strokes);
    ASSERT_TRUE(recog());
    const QImage picture = widget()->grab().toImage();
    ASSERT_EQ(picture.size(), QSize(600, 160));
    // Runs of columns holding frame pixels: one per character, the last one beyond x = 300 (口).
    int runs = 0;
    int lastRed = -1;
    for (int x = 0; x < picture.width(); ++x) {
        bool red = false;
        for (int y = 0; y < picture.height() && !red; ++y) red = picture.pixel(x, y) == qRgb(255, 0, 0);
        if (red && lastRed != x - 1) ++runs;
        if (red) lastRed = x;
    }
    EXPECT_EQ(runs, 3);
    EXPECT_GT(lastRed, 300);
}

TEST_F(QuillboxModule, StrokeDataFromStaleOrNullRecordsIsIgnored) {
    loadAndRecognize(loadLine("line3_a.txt").strokes);
    const Strokes before = ink();
    const Handle stale = makePtw({{{1, 1}, {5, 5}}});
    freePtw(stale, Owner::Test);
    call(kDispSetString, {Variant(stale)});
    call(kDispSetString, {Variant(int32_t{0})});
    call(kDispDeletePTW, {Variant(stale)});
    call(kDispDeleteCR, {Variant(stale)});
    EXPECT_EQ(ink(), before);
    EXPECT_TRUE(recog());
}

// --- Pen input through synthesised mouse messages, as the overlay forwards them. ---

class QuillboxInk : public QuillboxModule {
protected:
    void SetUp() override {
        QuillboxModule::SetUp();
        std::vector<Variant> move{Variant(0.0f), Variant(0.0f), Variant(200.0f), Variant(100.0f)};
        ASSERT_EQ(m_box->invoke(com::kDispExtMove, kInvokeMethod, move, nullptr), 0);
    }
};

TEST_F(QuillboxInk, PressBecomesAStrokeOnlyBeyondNoLineLength) {
    struct Row {
        const char* name;
        int32_t noLineLength;
        QPoint delta;
        bool stroke;
    };
    const Row rows[] = {
        {"two pixels with length 2 is a tap", 2, {2, 0}, false},
        {"three pixels with length 2 is a stroke", 2, {0, 3}, true},
        {"diagonal two by two is a tap", 2, {2, -2}, false},
        {"length 0 takes one pixel", 0, {1, 0}, true},
        {"length 10, nine pixels", 10, {9, 9}, false},
    };
    for (const Row& row : rows) {
        call(kDispClear);
        put(kDispNoLineLength, Variant(row.noLineLength));
        stroke({{50, 50}, QPoint(50, 50) + row.delta});
        EXPECT_EQ(ink().size(), row.stroke ? 1u : 0u) << row.name;
    }
}

TEST_F(QuillboxInk, PointsAreClampedInsideTheBoxAndOffsetByTheView) {
    stroke({{-20, 50}, {100, -30}, {260, 140}, {10, 20}});
    const Strokes strokes = ink();
    ASSERT_EQ(strokes.size(), 1u);
    EXPECT_EQ(strokes[0], (std::vector<EnginePoint>{{1, 50}, {100, 1}, {199, 99}, {10, 20}}));

    put(kDispAutoShow, Variant::fromBool(false));
    put(kDispShowX, Variant(int32_t{30}));
    put(kDispShowY, Variant(int32_t{7}));
    EXPECT_EQ(get(kDispShowX).i4(), 30);
    stroke({{20, 20}, {40, 25}});
    const Strokes shifted = ink();
    ASSERT_EQ(shifted.size(), 2u);
    EXPECT_EQ(shifted[1], (std::vector<EnginePoint>{{50, 27}, {70, 32}}));
    EXPECT_EQ(get(kDispMaxXPos).i4(), 199);
}

TEST_F(QuillboxInk, DisabledBoxTakesNoInk) {
    put(kDispEnabled, Variant::fromBool(false));
    stroke({{20, 20}, {80, 60}});
    EXPECT_TRUE(ink().empty());
    put(kDispEnabled, Variant::fromBool(true));
    stroke({{20, 20}, {80, 60}});
    EXPECT_EQ(ink().size(), 1u);
}

TEST_F(QuillboxInk, DoubleClickArrivesAsAPress) {
    send(win::WM_LBUTTONDOWN, 30, 30, win::MK_LBUTTON);
    send(win::WM_LBUTTONUP, 30, 30);
    send(win::WM_LBUTTONDBLCLK, 60, 40, win::MK_LBUTTON);
    send(win::WM_MOUSEMOVE, 90, 45, win::MK_LBUTTON);
    send(win::WM_LBUTTONUP, 90, 45);
    const Strokes strokes = ink();
    ASSERT_EQ(strokes.size(), 1u);
    EXPECT_EQ(strokes[0], (std::vector<EnginePoint>{{60, 40}, {90, 45}}));
}

TEST_F(QuillboxInk, RightButtonMenuOffersTheCommandsOfTheMode) {
    std::vector<std::vector<win::MenuItem>> menus;
    uint32_t answer = 0;
    win::setPopupMenuHook([&](const std::vector<win::MenuItem>& items, QPoint) {
        menus.push_back(items);
        return answer;
    });
    auto texts = [](const std::vector<win::MenuItem>& items) {
        std::vector<std::pair<uint32_t, std::u16string>> out;
        for (const auto& item : items) out.emplace_back(item.id, item.text);
        return out;
    };
    using Items = std::vector<std::pair<uint32_t, std::u16string>>;

    send(win::WM_RBUTTONDOWN, 20, 20, win::MK_RBUTTON);
    EXPECT_TRUE(menus.empty()) << "RButtonFlag is false";

    put(kDispRButtonFlag, Variant::fromBool(true));
    stroke({{20, 20}, {80, 60}});
    stroke({{30, 70}, {90, 20}});
    answer = 2002;  // 最終画消去
    send(win::WM_RBUTTONDOWN, 20, 20, win::MK_RBUTTON);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(texts(menus[0]),
              (Items{{2000, u"認識"}, {2002, u"最終画消去"}, {2003, u"全消去"}, {0, u""}, {2004, u"取消"}}));
    EXPECT_EQ(ink().size(), 1u);

    put(kDispRecog, Variant::fromBool(true));
    answer = 2004;
    send(win::WM_RBUTTONDOWN, 20, 20, win::MK_RBUTTON);
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(texts(menus[1]), (Items{{2001, u"再入力"}, {2003, u"全消去"}, {0, u""}, {2004, u"取消"}}));
    EXPECT_EQ(ink().size(), 1u);

    // With one command text left for the mode, the command runs without a menu.
    put(kDispRecog, Variant::fromBool(false));
    put(kDispRButtonRecog, Variant(u"  "));
    put(kDispRButton1LineDel, Variant(u""));
    send(win::WM_RBUTTONDOWN, 20, 20, win::MK_RBUTTON);
    EXPECT_EQ(menus.size(), 2u);
    EXPECT_TRUE(ink().empty()) << "全消去 ran";
}

TEST_F(QuillboxModule, WithoutTheEngineCreationFailsCleanly) {
    // The module copied to a folder without the engine: window creation fails and no control is made.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string copy = dir.filePath("libquillbox.so").toStdString();
    std::filesystem::copy_file(QUILLBOX_MODULE_PATH, copy);
    void* module = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto reg = reinterpret_cast<int32_t (*)()>(dlsym(module, "DllRegisterServer"));
    ASSERT_EQ(reg(), 0);
    QWidget host;
    HResult hr = 0;
    auto box = com::createControl(kProgId, &host, "Quillbox1", nullptr, &hr);
    EXPECT_FALSE(box);
    EXPECT_EQ(hr, hr::kFail);
    auto unreg = reinterpret_cast<int32_t (*)()>(dlsym(module, "DllUnregisterServer"));
    EXPECT_EQ(unreg(), 0);
    dlclose(module);
    // The module of the runtime folder is registered again for the tests that follow.
    ASSERT_EQ(reinterpret_cast<int32_t (*)()>(dlsym(s_module, "DllRegisterServer"))(), 0);
}

}  // namespace
}  // namespace sw::quillbox::test
