// The real program `slatewise` as a user starts it: from another working directory, with a fresh class
// registry, under the offscreen platform and under a virtual X server; it registers its own modules, runs,
// and closes cleanly on SIGTERM (exit status 0; under the sanitizer build also without leaks).
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>

namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "board_program_test";
    static char* argv[] = {name, nullptr};
    static auto* application = new QCoreApplication(argc, argv);
    return *application;
}

bool waitFor(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds) return false;
        QThread::msleep(20);
    }
    return true;
}

// Starts the program with `environment` in a working directory of its own, waits until it has registered
// its modules in its fresh registry, lets it run a moment, then asks it to close. With `atOnce` it is asked
// to close right after it started, while it is still starting up.
void runAndClose(QProcessEnvironment environment, bool atOnce = false) {
    app();
    QTemporaryDir home, elsewhere;
    const QString registry = home.filePath("registry");
    environment.insert("SLATEWISE_REGISTRY", registry);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(elsewhere.path());
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(SLATEWISE_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(5000));
    const auto registered = [&] {
        QFile file(registry);
        return file.open(QIODevice::ReadOnly) && file.readAll().contains("VEIL.VeilCtrl.1");
    };
    EXPECT_TRUE(waitFor(registered, 15000)) << "the board registers its own modules";
    if (!atOnce) QThread::msleep(300);
    ASSERT_EQ(program.state(), QProcess::Running) << "exit code " << program.exitCode();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}

TEST(Program, StartsFromAnotherDirectoryOffscreenAndClosesCleanly) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    runAndClose(environment);
}

// Regression: a signal that arrived before the board's window existed killed the process without shutdown.
TEST(Program, ClosesCleanlyOnASignalDuringStartUp) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    runAndClose(environment, true);
}

TEST(Program, StartsUnderAVirtualXServerAndClosesCleanly) {
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    app();
    // A display number of our own, free of other servers.
    int display = 90 + static_cast<int>(QCoreApplication::applicationPid() % 400);
    while (QFile::exists(QString("/tmp/.X11-unix/X%1").arg(display))) ++display;
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(xvfb, {QString(":%1").arg(display), "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
    ASSERT_TRUE(server.waitForStarted(5000));
    const bool up = waitFor([&] { return QFile::exists(QString("/tmp/.X11-unix/X%1").arg(display)); }, 10000);
    if (up) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("DISPLAY", QString(":%1").arg(display));
        runAndClose(environment);
    }
    server.terminate();
    server.waitForFinished(5000);
    ASSERT_TRUE(up) << "Xvfb did not start";
}

}  // namespace
