// The dictionary look-up as the board runs it, on the default dic.txt the build makes (about 23,000 lines):
//   BM_StartUpFillsJList          start-up's step: dic.txt read and every line appended to jList
//   BM_LookUpInJList              the scan of jList for a word only its last line has
//   BM_PenUpMatchingTheLastLine   the release of a look-up path round that word's characters on a running
//                                 board (offscreen, real overlay): selection, scan, the dictionary window
//                                 filled and placed, the canvas repainted without the trace
#include <benchmark/benchmark.h>

#include <QLineEdit>
#include <memory>

#include "board/forms/dic_form.h"
#include "board/forms/lookup.h"
#include "board/forms/slatewise_form.h"
#include "platform/window/listbox.h"

namespace {

using namespace sw::board;

const QString kDictionary = QStringLiteral(SLATEWISE_RUNTIME_DIR "/dic.txt");

// The first key of jList's last line, when that line is the first to have it.
QString lastLineWord(QListWidget& list) {
    if (list.count() == 0) return {};
    const QString last = list.item(list.count() - 1)->text();
    const auto line = parseDictionaryLine(last);
    if (!line) return {};
    const QString word = line->key1.toString();
    const auto match = lookUpList(list, word);
    return match && match->line == list.count() - 1 ? word : QString();
}

void BM_StartUpFillsJList(benchmark::State& state) {
    sw::win::ListBox list;
    for (auto _ : state) loadDictionary(list, kDictionary);
    if (list.count() < 20000) state.SkipWithError("no default dic.txt in the runtime folder");
    state.counters["lines"] = list.count();
}
BENCHMARK(BM_StartUpFillsJList)->Unit(benchmark::kMillisecond);

void BM_LookUpInJList(benchmark::State& state) {
    sw::win::ListBox list;
    loadDictionary(list, kDictionary);
    const QString word = lastLineWord(list);
    if (word.isEmpty()) {
        state.SkipWithError("the last line's word is not found there first");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(lookUpList(list, word));
}
BENCHMARK(BM_LookUpInJList)->Unit(benchmark::kMicrosecond);

void BM_PenUpMatchingTheLastLine(benchmark::State& state) {
    SlatewiseForm board(BoardOptions{QStringLiteral(SLATEWISE_RUNTIME_DIR), {}});
    board.resize(1600, 900);
    board.show();
    const QString word = lastLineWord(*board.jList());
    if (word.isEmpty()) {
        state.SkipWithError("the last line's word is not found there first");
        return;
    }
    // The word's characters in a row, one table entry each, behind 2,000 others.
    CharacterTable& table = board.state().table;
    for (int i = 0; i < 2000; ++i) {
        const int x = (i % 40) * 39, y = 300 + (i / 40) * 10;
        table.append(u"漢", {x, y, x + 30, y + 30}, 0x00FFFFFF, 2);
    }
    int x = 100;
    for (const uint code : word.toUcs4()) {
        table.append(QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1).toStdU16String(),
                     {x, 100, x + 40, 150}, 0x00FFFFFF, 2);
        x += 45;
    }
    const float right = static_cast<float>(x + 20);
    for (auto _ : state) {
        state.PauseTiming();
        board.MainPictureMouseDown(1, 0, 80, 80);
        board.MainPictureMouseMove(1, 0, right, 80);
        board.MainPictureMouseMove(1, 0, right, 180);
        board.MainPictureMouseMove(1, 0, 80, 180);
        state.ResumeTiming();
        board.MainPictureMouseUp(1, 0, 90, 190);
    }
    const DicForm* form = board.loadedDicForm();
    if (!form || form->DicText1()->text() != word) state.SkipWithError("the word was not shown");
}
BENCHMARK(BM_PenUpMatchingTheLastLine)->Unit(benchmark::kMicrosecond);

}  // namespace
