// Linked into every test executable: before main() runs, a test process gets the headless Qt platform, a
// class registry of its own in a fresh temporary folder (removed at exit), and the runtime folder of the
// build. Values already set in the environment are kept, so a caller can point a run elsewhere.
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string g_registryDir;

void removeRegistryDir() {
    std::error_code ignored;
    std::filesystem::remove_all(g_registryDir, ignored);
}

struct TestEnvironment {
    TestEnvironment() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("SLATEWISE_RUNTIME_DIR", SLATEWISE_TEST_RUNTIME_DIR, 0);
        if (!std::getenv("SLATEWISE_REGISTRY")) {
            std::string pattern = (std::filesystem::temp_directory_path() / "slatewise-test-XXXXXX").string();
            if (mkdtemp(pattern.data())) {
                g_registryDir = pattern;
                std::atexit(removeRegistryDir);
                setenv("SLATEWISE_REGISTRY", (pattern + "/registry").c_str(), 1);
            }
        }
    }
};

const TestEnvironment g_environment;

}  // namespace
