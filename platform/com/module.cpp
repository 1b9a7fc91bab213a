#include "platform/com/module.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "platform/com/registry.h"

namespace sw::com {
namespace {

// The absolute path of the file (shared module or executable) that holds `address`; empty when unknown.
std::string modulePathOf(const void* address) {
    Dl_info info{};
    if (!address || ::dladdr(address, &info) == 0) return {};
    // The main program's link map entry has no name; its file is /proc/self/exe.
    const char* name = info.dli_fname && *info.dli_fname ? info.dli_fname : "/proc/self/exe";
    char resolved[PATH_MAX];
    if (::realpath(name, resolved)) return resolved;
    return {};
}

}  // namespace

// A property page that cannot be registered fails the class step: the page belongs to the class.
HResult registerModule(const ClassInfo& info, const void* anyAddressInModule) noexcept {
    try {
        const std::string path = modulePathOf(anyAddressInModule);
        ClassRegistry registry;
        if (path.empty() || info.typeLibId.isNull() ||
            !registry.registerTypeLib(
                {info.typeLibId, std::string(info.typeLibName), info.typeLibMajor, info.typeLibMinor, path}))
            return hr::kSelfRegTypeLib;
        if (info.classId.isNull() || info.progId.empty() ||
            !registry.registerClass({info.classId, std::string(info.className), std::string(info.progId),
                                     path, "Apartment", info.miscStatus, info.typeLibId}))
            return hr::kSelfRegClass;
        if (info.propPageId.isNull() ||
            !registry.registerPropPage(
                {info.propPageId, std::string(info.propPageName), std::string(info.propPageProgId), path}))
            return hr::kSelfRegClass;
        return hr::kOk;
    } catch (...) {
        return hr::kSelfRegTypeLib;
    }
}

HResult unregisterModule(const ClassInfo& info) noexcept {
    try {
        ClassRegistry registry;
        if (!registry.unregisterTypeLib(info.typeLibId)) return hr::kSelfRegTypeLib;
        if (!registry.unregisterClass(info.classId) || !registry.unregisterPropPage(info.propPageId))
            return hr::kSelfRegClass;
        return hr::kOk;
    } catch (...) {
        return hr::kSelfRegTypeLib;
    }
}

}  // namespace sw::com
