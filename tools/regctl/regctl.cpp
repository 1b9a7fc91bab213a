// regctl MODULE.so       registers the control module (its DllRegisterServer)
// regctl -u MODULE.so    unregisters it (its DllUnregisterServer)
//
// The class registry is $SLATEWISE_REGISTRY, or the user's one under the XDG data folder. Exit status: 0 on
// success, 1 when the module cannot be loaded or its registration fails, 2 for a wrong command line. Every
// outcome is one line: success on standard output, failure on standard error.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/automation/hresult.h"

namespace {

const char* describe(sw::HResult r) {
    switch (r) {
        case sw::hr::kSelfRegTypeLib:
            return "the type library could not be registered";
        case sw::hr::kSelfRegClass:
            return "the class could not be registered";
        case sw::hr::kOutOfMemory:
            return "out of memory";
        case sw::hr::kFail:
            return "unspecified failure";
        default:
            return "failure";
    }
}

int usage() {
    std::fprintf(stderr, "usage: regctl [-u] MODULE.so\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool unregister = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-u") == 0 && !unregister) {
            unregister = true;
        } else if (!path && argv[i][0] != '-') {
            path = argv[i];
        } else {
            return usage();
        }
    }
    if (!path) return usage();

    // dlopen searches the library path for a bare file name; a module named on the command line is a file.
    std::string file = path;
    if (file.find('/') == std::string::npos) file = "./" + file;

    void* module = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* reason = ::dlerror();
        std::fprintf(stderr, "regctl: cannot load %s: %s\n", path, reason ? reason : "unknown error");
        return 1;
    }
    const char* exportName = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    using Entry = int32_t (*)();
    const auto entry = reinterpret_cast<Entry>(::dlsym(module, exportName));
    if (!entry) {
        std::fprintf(stderr, "regctl: %s is not a control module (no %s)\n", path, exportName);
        return 1;
    }
    const sw::HResult r = entry();
    if (sw::failed(r)) {
        std::fprintf(stderr, "regctl: %s of %s failed: 0x%08X (%s)\n", exportName, path,
                     static_cast<uint32_t>(r), describe(r));
        return 1;
    }
    std::printf("regctl: %s %s\n", unregister ? "unregistered" : "registered", path);
    return 0;
}
