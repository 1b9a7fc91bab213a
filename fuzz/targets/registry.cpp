// The class registry file: any bytes are read as the registry, and a registration rewrites the file keeping
// every entry that was readable, unchanged and in order.
#include "platform/com/registry.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>

#include "fuzz/fuzz_input.h"

namespace {

using namespace sw::com;

std::string g_path;

auto fields(const TypeLibEntry& e) { return std::tie(e.id, e.name, e.major, e.minor, e.path); }
auto fields(const ClassEntry& e) {
    return std::tie(e.id, e.name, e.progId, e.modulePath, e.threading, e.miscStatus, e.typeLibId);
}
auto fields(const PropPageEntry& e) { return std::tie(e.id, e.name, e.progId, e.modulePath); }

template <typename Entry>
bool same(const std::vector<Entry>& a, const std::vector<Entry>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const Entry& x, const Entry& y) { return fields(x) == fields(y); });
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path base =
        std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
    g_path = (base / ("slatewise-fuzz-registry-" + std::to_string(getpid()))).string();
    std::atexit([] {
        std::filesystem::remove(g_path);
        std::filesystem::remove(g_path + ".lock");
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (std::FILE* file = std::fopen(g_path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    ClassRegistry registry(g_path);
    const auto typeLibs = registry.typeLibs();
    const auto classes = registry.classes();
    const auto pages = registry.propPages();
    for (const ClassEntry& c : classes) FUZZ_CHECK(registry.findClassByProgId(c.progId).has_value());

    // An id no readable entry has: the registration adds one entry and keeps all others.
    TypeLibEntry added{*sw::Guid::parse("{0F0F0F0F-1E1E-2D2D-3C3C-4B4B5A5A6969}"), "FUZZLib", 1, 0, "/x.so"};
    for (const auto& t : typeLibs)
        if (t.id == added.id) return 0;
    FUZZ_CHECK(registry.registerTypeLib(added));
    auto expected = typeLibs;
    expected.push_back(added);
    FUZZ_CHECK(same(registry.typeLibs(), expected));
    FUZZ_CHECK(same(registry.classes(), classes));
    FUZZ_CHECK(same(registry.propPages(), pages));
    return 0;
}
