// A fresh class registry for one test: SLATEWISE_REGISTRY points into a temporary folder for the test's life,
// so nothing touches the user's registry even when the test runs outside ctest.
#pragma once

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <string>

class TempRegistry {
public:
    TempRegistry() : m_previous(std::getenv("SLATEWISE_REGISTRY") ? std::getenv("SLATEWISE_REGISTRY") : "") {
        m_hadPrevious = std::getenv("SLATEWISE_REGISTRY") != nullptr;
        use(path());
    }
    ~TempRegistry() {
        if (m_hadPrevious)
            setenv("SLATEWISE_REGISTRY", m_previous.c_str(), 1);
        else
            unsetenv("SLATEWISE_REGISTRY");
    }
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    std::string folder() const { return m_dir.path().toStdString(); }
    std::string path() const { return folder() + "/sub/registry"; }

    // A registry that nobody can write, root included: its folder would have to be a regular file.
    std::string unwritablePath() const {
        const std::string blocker = folder() + "/plain-file";
        std::ofstream(blocker) << "not a folder\n";
        return blocker + "/registry";
    }

    static void use(const std::string& path) { setenv("SLATEWISE_REGISTRY", path.c_str(), 1); }

    std::string text() const {
        std::ifstream in(path());
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    QTemporaryDir m_dir;
    std::string m_previous;
    bool m_hadPrevious = false;
};
