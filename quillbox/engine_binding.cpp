#include "quillbox/engine_binding.h"

#include <dlfcn.h>

#include <filesystem>

namespace sw::quillbox {
namespace {

template <typename Fn>
bool bind(void* library, const char* name, Fn& slot, bool required, std::string* error) {
    slot = reinterpret_cast<Fn>(dlsym(library, name));
    if (!slot && required && error) *error = std::string("missing entry point ") + name;
    return slot || !required;
}

}  // namespace

std::unique_ptr<EngineBinding> EngineBinding::load(const std::string& folder, std::string* error) {
    const std::string path = (std::filesystem::path(folder) / kEngineFileName).string();
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        if (error) *error = dlerror();
        return nullptr;
    }
    std::unique_ptr<EngineBinding> binding(new EngineBinding);
    binding->m_library = library;
    EngineApi& a = binding->m_api;
    const bool ok = bind(library, "CreateNewObject", a.CreateNewObject, true, error) &&
                    bind(library, "DestroyObject", a.DestroyObject, true, error) &&
                    bind(library, "AddStrokeLast", a.AddStrokeLast, true, error) &&
                    bind(library, "DeleteStrokeLast", a.DeleteStrokeLast, true, error) &&
                    bind(library, "GetStrokeCount", a.GetStrokeCount, true, error) &&
                    bind(library, "GetNthStroke", a.GetNthStroke, true, error) &&
                    bind(library, "SetRecCategory", a.SetRecCategory, true, error) &&
                    bind(library, "RecognizeNF", a.RecognizeNF, false, error) &&
                    bind(library, "GiveStrokeSetInfo", a.GiveStrokeSetInfo, false, error) &&
                    bind(library, "GetString", a.GetString, false, error) &&
                    bind(library, "GetStrokeNoOfNthChar", a.GetStrokeNoOfNthChar, false, error) &&
                    bind(library, "GetNthCharBound", a.GetNthCharBound, true, error) &&
                    bind(library, "GetPatternW", a.GetPatternW, true, error) &&
                    bind(library, "GetPatternWOfNthChar", a.GetPatternWOfNthChar, true, error) &&
                    bind(library, "DestroyPatternW", a.DestroyPatternW, true, error) &&
                    bind(library, "SetGuideBox", a.SetGuideBox, true, error) &&
                    bind(library, "RecognizeF", a.RecognizeF, true, error);
    if (!ok) return nullptr;  // the destructor unloads the library
    return binding;
}

EngineBinding::~EngineBinding() {
    if (m_library) dlclose(m_library);
}

bool EngineBinding::canMerge() const noexcept {
    return m_api.GetStrokeNoOfNthChar && m_api.GetString && m_api.GiveStrokeSetInfo && m_api.RecognizeNF;
}

std::string ownModuleFolder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<const void*>(&ownModuleFolder), &info) || !info.dli_fname) return ".";
    std::error_code ec;
    auto path = std::filesystem::canonical(info.dli_fname, ec);
    if (ec) path = info.dli_fname;
    return path.parent_path().string();
}

}  // namespace sw::quillbox
