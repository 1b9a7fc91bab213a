// List-box lines of both modules: the add-in's point lines read from a real list box (VeilListBoxOut) and
// the pattern utility's PTW blocks (ListOutPTW) from the same lines; whatever reads back must write out and
// read back to the same records.
//
// Input: lines separated by '\n' (at most 64), code page 932 bytes or anything else.
#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "penmate/list_form.h"
#include "platform/window/listbox.h"
#include "records/handle_table.h"
#include "veiladd/veiladd_methods.h"

namespace {

constexpr int kMaxLines = 64;

class Lines final : public penmate::LineSource, public penmate::LineSink {
public:
    std::vector<std::string> lines;
    int32_t lineCount() const override { return static_cast<int32_t>(lines.size()); }
    // Lines that do not fit the reader's buffer are unreadable, as in the list box of the control.
    std::optional<std::string> line(int32_t index) const override {
        if (index < 0 || index >= lineCount() ||
            lines[static_cast<size_t>(index)].size() >= penmate::kListLineBuffer)
            return std::nullopt;
        return lines[static_cast<size_t>(index)];
    }
    bool addLine(std::string_view line) override {
        lines.emplace_back(line);
        return true;
    }
};

bool samePoints(std::span<const sw::VeilPoint> a, std::span<const sw::VeilPoint> b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const sw::VeilPoint& p, const sw::VeilPoint& q) {
            return p.X == q.X && p.Y == q.Y && p.State == q.State && p.Width == q.Width && p.Color == q.Color;
        });
}

void veilLines(const std::vector<std::string>& lines) {
    sw::win::ListBox list;
    for (const auto& line : lines) list.addLineCp932(line);
    int32_t data = -1;
    int32_t num = -1;
    if (!sw::veiladd::VeilListBoxOut(list.handle(), data, num)) {
        FUZZ_CHECK(data == 0 && num == 0);
        return;
    }
    FUZZ_CHECK(num == list.count());
    const sw::VeilPoint* points = sw::resolveStrokeData(data, num);
    FUZZ_CHECK(points != nullptr);
    for (int32_t i = 0; i < num; ++i) {
        const std::string text = list.lineCp932(i);
        FUZZ_CHECK(text.size() < sw::veiladd::kPointLineBuffer);
        const sw::VeilPoint parsed = sw::veiladd::parsePointLine(text);
        FUZZ_CHECK(samePoints({points + i, 1}, {&parsed, 1}));
    }
    sw::win::ListBox copy;
    FUZZ_CHECK(sw::veiladd::VeilListBoxIn(copy.handle(), data, num));
    int32_t again = 0;
    int32_t againNum = 0;
    FUZZ_CHECK(sw::veiladd::VeilListBoxOut(copy.handle(), again, againNum) && againNum == num);
    FUZZ_CHECK(samePoints({points, static_cast<size_t>(num)},
                          {sw::resolveStrokeData(again, againNum), static_cast<size_t>(againNum)}));
    sw::veiladd::FreePatternData(again);
    sw::veiladd::FreePatternData(data);
}

void ptwBlocks(const std::vector<std::string>& lines) {
    Lines source;
    source.lines = lines;
    for (int32_t index = -1; index <= source.lineCount(); ++index) {
        const sw::Handle ptw = penmate::listOutPtw(source, index);
        if (ptw == sw::kNullHandle) continue;
        std::span<const sw::PtwPoint> points;
        FUZZ_CHECK(sw::ptwPoints(ptw, &points));
        FUZZ_CHECK(index >= 0 &&
                   static_cast<int64_t>(index) + static_cast<int64_t>(points.size()) < source.lineCount());
        Lines written;
        FUZZ_CHECK(penmate::listInPtw(ptw, written));
        FUZZ_CHECK(written.lineCount() == static_cast<int32_t>(points.size()) + 1);
        const sw::Handle again = penmate::listOutPtw(written, 0);
        std::span<const sw::PtwPoint> againPoints;
        FUZZ_CHECK(sw::ptwPoints(again, &againPoints) && againPoints.size() == points.size());
        for (size_t k = 0; k < points.size(); ++k) {
            FUZZ_CHECK(points[k].X == againPoints[k].X && points[k].Y == againPoints[k].Y &&
                       points[k].Flag == againPoints[k].Flag);
        }
        FUZZ_CHECK(sw::freePtw(again, sw::Owner::Penmate) && sw::freePtw(ptw, sw::Owner::Penmate));
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "fuzz_list_lines";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sw::fuzz::Input input(data, size);
    std::vector<std::string> lines;
    while (!input.empty() && lines.size() < kMaxLines) lines.emplace_back(input.line());
    const size_t blocksBefore = sw::liveBlockCount();
    veilLines(lines);
    ptwBlocks(lines);
    FUZZ_CHECK(sw::liveBlockCount() == blocksBefore);
    return 0;
}
