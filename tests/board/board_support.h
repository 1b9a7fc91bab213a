// Starting the board in-process for tests: a program folder of the test's own (the runtime folder's control
// modules linked in, a "dic.txt" of the test's choosing), a fresh class registry, the offscreen platform.
#pragma once

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "board/forms/slatewise_form.h"

namespace sw::board::test {

inline QApplication& app() {
    static int argc = 1;
    static char name[] = "board_test";
    static char* argv[] = {name, nullptr};
    static auto* application = new QApplication(argc, argv);
    return *application;
}

inline std::string runtimeDir() {
    const char* dir = std::getenv("SLATEWISE_RUNTIME_DIR");
    return dir ? dir : "";
}

// True when the recognition box module has been built into the runtime folder.
inline bool boxModuleBuilt() { return std::filesystem::exists(runtimeDir() + "/libquillbox.so"); }

// The bytes of the dic.txt the build makes in the runtime folder; empty when there is none.
inline std::string builtDictionary() {
    QFile file(QString::fromStdString(runtimeDir() + "/dic.txt"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

struct BoardSetup {
    std::string commandLine{};
    std::string dictionary{};  // bytes of dic.txt; no file when `withDictionary` is false
    bool withDictionary = false;
    bool withOverlay = true;  // link libveil.so into the program folder
    QSize size{800, 600};
};

// One board in a program folder and registry of its own.
class BoardFixture {
public:
    explicit BoardFixture(const BoardSetup& setup = {}) {
        app();
        namespace fs = std::filesystem;
        m_oldRegistry = std::getenv("SLATEWISE_REGISTRY") ? std::getenv("SLATEWISE_REGISTRY") : "";
        setenv("SLATEWISE_REGISTRY", m_dir.filePath("registry").toLocal8Bit().constData(), 1);
        const fs::path folder = programFolder(setup.withOverlay);
        fs::remove(folder / "dic.txt");
        if (setup.withDictionary) {
            QFile file(QString::fromStdString((folder / "dic.txt").string()));
            if (file.open(QIODevice::WriteOnly))
                file.write(setup.dictionary.data(), qint64(setup.dictionary.size()));
        }
        m_folder = QString::fromStdString(folder.string());
        board = std::make_unique<SlatewiseForm>(
            BoardOptions{m_folder, QString::fromStdString(setup.commandLine)});
        board->move(0, 0);
        board->resize(setup.size);
        board->show();
        (void)QTest::qWaitForWindowExposed(board.get());
    }
    ~BoardFixture() {
        board.reset();
        if (m_oldRegistry.empty())
            unsetenv("SLATEWISE_REGISTRY");
        else
            setenv("SLATEWISE_REGISTRY", m_oldRegistry.c_str(), 1);
    }
    const QString& folder() const { return m_folder; }

    // A program folder for the whole test process, with the runtime folder's modules linked in (the overlay
    // left out when asked). Kept for the process: a loaded module stays registered at the path it was
    // first loaded from.
    static std::filesystem::path programFolder(bool withOverlay) {
        namespace fs = std::filesystem;
        static std::unique_ptr<QTemporaryDir> dirs[2];
        std::unique_ptr<QTemporaryDir>& dir = dirs[withOverlay ? 1 : 0];
        if (!dir) {
            dir = std::make_unique<QTemporaryDir>();
            for (const char* name : {"libveil.so", "libveiladd.so", "libpenmate.so", "libquillbox.so",
                                     "libscribeng.so", "models"}) {
                if (!withOverlay && std::string(name) == "libveil.so") continue;
                const fs::path target = fs::path(runtimeDir()) / name;
                if (fs::exists(target))
                    fs::create_symlink(target, fs::path(dir->path().toStdString()) / name);
            }
        }
        return dir->path().toStdString();
    }

    std::unique_ptr<SlatewiseForm> board;

private:
    QTemporaryDir m_dir;
    QString m_folder;
    std::string m_oldRegistry;
};

}  // namespace sw::board::test
