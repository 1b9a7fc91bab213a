// Binds libscribeng.so by path the way the recognition box does: dlopen, then every entry point by name.
// Header-only, for the engine's tools, tests and benchmarks; the library itself does not use it.
#pragma once

#include <dlfcn.h>

#include <string>

#include "contracts/scribeng.h"

// clang-format off
#define SCRIBENG_ENTRY_POINTS(X) \
    X(CreateNewObject) \
    X(DestroyObject) \
    X(AddStrokeLast) \
    X(DeleteStrokeLast) \
    X(GetStrokeCount) \
    X(GetNthStroke) \
    X(SetRecCategory) \
    X(RecognizeNF) \
    X(GiveStrokeSetInfo) \
    X(GetString) \
    X(GetStrokeNoOfNthChar) \
    X(GetNthCharBound) \
    X(GetPatternW) \
    X(GetPatternWOfNthChar) \
    X(DestroyPatternW) \
    X(SetGuideBox) \
    X(RecognizeF)
// clang-format on

namespace sw::scribeng {

class EngineLibrary {
public:
    EngineLibrary() = default;
    ~EngineLibrary() {
        if (m_handle) dlclose(m_handle);
    }
    EngineLibrary(const EngineLibrary&) = delete;
    EngineLibrary& operator=(const EngineLibrary&) = delete;

    // Loads the library and binds every entry point; false (with the reason in error()) when the file does
    // not load or an entry point is missing.
    bool load(const std::string& path) {
        m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!m_handle) {
            const char* why = dlerror();
            m_error = why ? why : "dlopen failed";
            return false;
        }
#define SCRIBENG_BIND(name)                                             \
    name = reinterpret_cast<decltype(&::name)>(dlsym(m_handle, #name)); \
    if (!name) {                                                        \
        m_error = "missing entry point " #name;                         \
        return false;                                                   \
    }
        SCRIBENG_ENTRY_POINTS(SCRIBENG_BIND)
#undef SCRIBENG_BIND
        return true;
    }
    const std::string& error() const { return m_error; }

#define SCRIBENG_MEMBER(name) decltype(&::name) name = nullptr;
    SCRIBENG_ENTRY_POINTS(SCRIBENG_MEMBER)
#undef SCRIBENG_MEMBER

private:
    void* m_handle = nullptr;
    std::string m_error;
};

}  // namespace sw::scribeng
