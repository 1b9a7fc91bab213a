// The dictionary at start-up and at pen-up, on the default dic.txt the build makes from EDICT (about
// 23,000 lines): reading the whole file, and one look-up whose word only the last line has.
#include <benchmark/benchmark.h>

#include "board/dictionary/dictionary.h"

namespace {

using namespace sw::board;

void BM_ReadDefaultDictionary(benchmark::State& state) {
    qsizetype lines = 0;
    for (auto _ : state) {
        const QStringList list = readDictionaryFile(QStringLiteral(DICTIONARY_FILE));
        lines = list.size();
        benchmark::DoNotOptimize(list.constData());
    }
    if (lines == 0) state.SkipWithError("no " DICTIONARY_FILE);
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ReadDefaultDictionary)->Unit(benchmark::kMillisecond);

void BM_LookUpMatchingTheLastLine(benchmark::State& state) {
    const QStringList lines = readDictionaryFile(QStringLiteral(DICTIONARY_FILE));
    const auto last = lines.isEmpty() ? std::nullopt : parseDictionaryLine(lines.last());
    if (!last) {
        state.SkipWithError("the last line of " DICTIONARY_FILE " does not parse");
        return;
    }
    const QString word = last->key1.toString();
    for (auto _ : state) {
        const auto match = lookUpWord(lines, word);
        if (!match || match->line != lines.size() - 1) {
            state.SkipWithError("the word of the last line matches an earlier line");
            break;
        }
        benchmark::DoNotOptimize(match->explanation.constData());
    }
}
BENCHMARK(BM_LookUpMatchingTheLastLine)->Unit(benchmark::kMicrosecond);

}  // namespace
