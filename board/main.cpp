// slatewise: the classroom board.
//
//     slatewise [FONT FACE]
//
// Everything after the program's path is one font face name for the clean copy and the recognition box,
// taken whole. The board runs in its own folder, registers its control modules for the user when they are
// not registered yet, and exits with status 0 when its window is closed. SIGTERM, SIGINT and SIGHUP (a
// session ending, Ctrl+C in a terminal) close the window the same way, so shutdown always runs.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <csignal>

#include "board/forms/slatewise_form.h"

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

// Catches the signals into a pipe from the start, so that one arriving while the board is still starting is
// not lost (the default action would kill the process without its shutdown).
void catchSignals() {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

// Turns the caught signals into a close of `window` on the event loop's thread; a signal caught before this
// closes the window as soon as the loop runs.
void closeOnSignals(QWidget& window) {
    if (g_signalPipe[0] < 0) return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char buffer[16];
        while (::read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        window.close();
    });
}

}  // namespace

int main(int argc, char** argv) {
    catchSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("slatewise"));
    QApplication::setDesktopFileName(QStringLiteral("slatewise"));

    sw::board::BoardOptions options;
    options.programFolder = QCoreApplication::applicationDirPath();
    options.commandLine = QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));

    sw::board::SlatewiseForm board(std::move(options));
    closeOnSignals(board);
    board.show();
    return QApplication::exec();
}
