#include "board/startup.h"

#include <dlfcn.h>

#include <filesystem>

#include "contracts/overlay.h"
#include "contracts/penmate.h"
#include "contracts/quillbox.h"
#include "contracts/veiladd.h"
#include "platform/automation/hresult.h"
#include "platform/com/registry.h"

namespace sw::board {

const std::vector<OwnModule>& ownModules() {
    static const std::vector<OwnModule> modules = {
        {"libveil.so", sw::overlay::kClassId},
        {"libquillbox.so", sw::quillbox::kClassId},
        {"libveiladd.so", sw::veiladd::kClassId},
        {"libpenmate.so", sw::penmate::kClassId},
    };
    return modules;
}

namespace {

bool registerModuleFile(const std::string& path) {
    // RTLD_NODELETE: the module stays mapped, so the host's own dlopen of it later finds it ready.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!module) return false;
    using Entry = int32_t (*)();
    const auto entry = reinterpret_cast<Entry>(::dlsym(module, "DllRegisterServer"));
    const bool ok = entry && succeeded(entry());
    ::dlclose(module);
    return ok;
}

}  // namespace

int registerMissingModules(const std::string& folder) {
    namespace fs = std::filesystem;
    const com::ClassRegistry registry;
    int registered = 0;
    for (const OwnModule& m : ownModules()) {
        std::error_code ec;
        const fs::path file = fs::absolute(fs::path(folder) / m.fileName, ec);
        if (ec || !fs::is_regular_file(file, ec)) continue;
        const auto entry = registry.findClass(m.classId);
        if (entry && fs::is_regular_file(entry->modulePath, ec)) continue;
        if (registerModuleFile(file.string())) ++registered;
    }
    return registered;
}

}  // namespace sw::board
