// A fresh folder under the system's temporary folder for one test, removed with everything in it.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace sw::scribeng::testing {

inline const std::filesystem::path kTegakiModel = "/usr/share/tegaki/models/zinnia/handwriting-ja.model";

class TempFolder {
public:
    explicit TempFolder(const std::string& prefix)
        : m_path(std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid()))) {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}  // namespace sw::scribeng::testing
