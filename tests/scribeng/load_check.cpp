// scribeng_load_check LIBRARY STROKEFILE: dlopens LIBRARY, recognises STROKEFILE and exits 0 when a result
// came back and the engine's models and its records library were mapped from LIBRARY's folder. Prints what
// went wrong otherwise. Used by the install-tree test with an empty environment.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "scribeng/loader.h"
#include "stroke_file.h"

namespace {

bool mapped(const std::string& path) {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.size() >= path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0)
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::filesystem::path library = argv[1];
    sw::scribeng::EngineLibrary lib;
    if (!lib.load(library.string())) {
        std::printf("load: %s\n", lib.error().c_str());
        return 1;
    }
    auto file = sw::scribeng::readStrokeFile(argv[2]);
    if (!file) return 2;
    const int32_t object = lib.CreateNewObject();
    for (const auto& stroke : file->strokes)
        lib.AddStrokeLast(object, stroke.data(), static_cast<int32_t>(stroke.size()));
    int32_t count = 0;
    const char* text = lib.RecognizeNF(object) == 0 ? lib.GetString(object, 0, &count) : nullptr;
    std::printf("result: %s (%d)\n", text ? "yes" : "none", count);
    const auto folder = library.parent_path();
    const bool models = mapped((folder / "models" / "handwriting-ja.model").string());
    const bool records = mapped((folder / "libslatewise_records.so").string());
    std::printf("models from the library's folder: %d, records from the library's folder: %d\n", models,
                records);
    lib.DestroyObject(object);
    return text && count >= 1 && models && records ? 0 : 1;
}
