// Shared by the tests that host the chain test module: the application object and in-process registration.
#pragma once

#include <dlfcn.h>

#include <QApplication>
#include <cstdint>

namespace chain_support {

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "platform-test";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
}

// Calls one of the module's exports in process, as regctl does; returns the HRESULT, or 1 when it is missing.
inline int32_t callExport(const char* name) {
    void* module = ::dlopen(SW_CHAIN_MODULE, RTLD_NOW | RTLD_LOCAL);
    if (!module) return 1;
    const auto entry = reinterpret_cast<int32_t (*)()>(::dlsym(module, name));
    const int32_t r = entry ? entry() : 1;
    ::dlclose(module);
    return r;
}

}  // namespace chain_support
