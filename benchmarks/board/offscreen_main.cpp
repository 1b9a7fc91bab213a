// main() of the board's benchmarks: the offscreen platform (unless another is set), a class registry of the
// run's own, one QApplication for the run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir registry;
    setenv("SLATEWISE_REGISTRY", registry.filePath("registry").toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
