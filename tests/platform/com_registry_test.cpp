#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "platform/com/module.h"
#include "platform/com/registry.h"
#include "tests/platform/com_temp_registry.h"

using sw::Guid;
using namespace sw::com;
namespace hr = sw::hr;

namespace {

constexpr Guid kTypeLib{0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x01}};
constexpr Guid kClass{0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x02}};
constexpr Guid kPage{0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x03}};

Guid numbered(uint32_t n) { return Guid{0xABCD0000u + n, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}}; }

std::vector<std::string> entryKinds(const std::string& text) {
    std::vector<std::string> kinds;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') kinds.push_back(line.substr(0, line.find('\t')));
    return kinds;
}

TEST(Guid, FormatsAndParses) {
    const Guid g{0x0A1B2C3D, 0x4E5F, 0x0617, {0x28, 0x39, 0x4A, 0x5B, 0x6C, 0x7D, 0x8E, 0x9F}};
    EXPECT_EQ(g.toString(), "{0A1B2C3D-4E5F-0617-2839-4A5B6C7D8E9F}");
    EXPECT_EQ(Guid::parse("{0a1b2c3d-4e5f-0617-2839-4a5b6c7d8e9f}"), g);
    EXPECT_EQ(Guid::parse("0A1B2C3D-4E5F-0617-2839-4A5B6C7D8E9F"), g);
    for (const char* bad :
         {"", "{0A1B2C3D-4E5F-0617-2839-4A5B6C7D8E9F", "0A1B2C3D-4E5F-0617-2839-4A5B6C7D8E9G",
          "0A1B2C3D+4E5F-0617-2839-4A5B6C7D8E9F", "(0A1B2C3D-4E5F-0617-2839-4A5B6C7D8E9F)",
          "0A1B2C3D-4E5F-0617-2839-4A5B6C7D8E9F0", "PENMATE.PenmateCtrl.1"})
        EXPECT_FALSE(Guid::parse(bad)) << bad;
}

TEST(ClassRegistry, EntriesRoundTripInRegistrationOrder) {
    TempRegistry temp;
    ClassRegistry registry(temp.path());
    const std::string odd = "/opt/my modules/lib\ttab\\x.so";
    ASSERT_TRUE(registry.registerTypeLib({kTypeLib, "SAMPLELib", 2, 7, odd}));
    ASSERT_TRUE(registry.registerClass({kClass, "CSampleCtrl", "SAMPLE.SampleCtrl.1", odd, "Apartment",
                                        sw::kMiscStatusInvisibleAtRuntime, kTypeLib}));
    ASSERT_TRUE(registry.registerPropPage({kPage, "CSamplePropPage", "SAMPLE.SamplePropPage.1", odd}));
    EXPECT_EQ(entryKinds(temp.text()), (std::vector<std::string>{"typelib", "class", "proppage"}));

    const ClassRegistry reader(temp.path());
    const auto typeLib = reader.findTypeLib(kTypeLib);
    ASSERT_TRUE(typeLib);
    EXPECT_EQ(typeLib->major, 2);
    EXPECT_EQ(typeLib->minor, 7);
    EXPECT_EQ(typeLib->path, odd);
    const auto byProgId = reader.findClassByProgId("SAMPLE.SampleCtrl.1");
    ASSERT_TRUE(byProgId);
    EXPECT_EQ(byProgId->id, kClass);
    EXPECT_EQ(byProgId->miscStatus, 0x20591u);
    EXPECT_EQ(byProgId->threading, "Apartment");
    EXPECT_EQ(byProgId->typeLibId, kTypeLib);
    EXPECT_EQ(reader.findPropPage(kPage)->modulePath, odd);
    EXPECT_FALSE(reader.findClass(kPage));
}

TEST(ClassRegistry, ReRegistrationReplacesAndProgIdMovesToNewestClass) {
    TempRegistry temp;
    ClassRegistry registry(temp.path());
    ASSERT_TRUE(registry.registerClass({kClass, "COld", "SAMPLE.Ctrl.1", "/a.so", "Apartment", 1, kTypeLib}));
    ASSERT_TRUE(registry.registerClass({kClass, "CNew", "SAMPLE.Ctrl.1", "/b.so", "Apartment", 1, kTypeLib}));
    ASSERT_EQ(registry.classes().size(), 1u);
    EXPECT_EQ(registry.findClass(kClass)->modulePath, "/b.so");

    const Guid other = numbered(1);
    ASSERT_TRUE(
        registry.registerClass({other, "COther", "SAMPLE.Ctrl.1", "/c.so", "Apartment", 1, kTypeLib}));
    EXPECT_EQ(registry.findClassByProgId("SAMPLE.Ctrl.1")->id, other);
    EXPECT_EQ(registry.classes().size(), 1u);

    EXPECT_TRUE(registry.unregisterClass(other));
    EXPECT_TRUE(registry.unregisterClass(other)) << "removing an absent entry succeeds";
    EXPECT_TRUE(registry.classes().empty());
}

TEST(ClassRegistry, DamagedLinesAreSkippedAndDroppedOnRewrite) {
    TempRegistry temp;
    ClassRegistry registry(temp.path());
    ASSERT_TRUE(registry.registerTypeLib({kTypeLib, "SAMPLELib", 1, 0, "/x.so"}));
    {
        std::ofstream out(temp.path(), std::ios::app);
        out << "class\tnot-a-guid\tC\tP\t/x.so\tApartment\t0x1\t" << kTypeLib.toString() << "\n"
            << "typelib\t" << kClass.toString() << "\tNoVersion\t1\t/x.so\n"
            << "class\t" << kClass.toString() << "\ttoo\tfew\n"
            << "proppage\t" << kPage.toString() << "\tbad\\qescape\tP\t/x.so\n"
            << "proppage\t" << kPage.toString() << "\tCPage\tP.1\t/x.so";  // no final line break
    }
    EXPECT_EQ(registry.typeLibs().size(), 1u);
    EXPECT_TRUE(registry.classes().empty());
    ASSERT_EQ(registry.propPages().size(), 1u);
    EXPECT_EQ(registry.propPages()[0].name, "CPage");

    ASSERT_TRUE(registry.unregisterTypeLib(numbered(9)));  // any rewrite
    EXPECT_EQ(entryKinds(temp.text()), (std::vector<std::string>{"typelib", "proppage"}));
}

TEST(ClassRegistry, ConcurrentRegistrationsLoseNothing) {
    TempRegistry temp;
    constexpr int kThreads = 4, kEach = 20;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&temp, t] {
            ClassRegistry registry(temp.path());
            for (int i = 0; i < kEach; ++i) {
                const uint32_t n = static_cast<uint32_t>(t * kEach + i);
                registry.registerClass(
                    {numbered(n), "C", "P." + std::to_string(n), "/m.so", "Apartment", 0, kTypeLib});
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(ClassRegistry(temp.path()).classes().size(), static_cast<size_t>(kThreads * kEach));
}

TEST(ClassRegistry, UnwritableLocationsReportFailure) {
    TempRegistry temp;
    std::filesystem::create_directories(temp.path());  // the registry path itself is a folder
    for (const std::string& path : {temp.unwritablePath(), temp.path()}) {
        ClassRegistry registry(path);
        EXPECT_FALSE(registry.registerTypeLib({kTypeLib, "SAMPLELib", 1, 0, "/x.so"})) << path;
        EXPECT_FALSE(registry.unregisterClass(kClass)) << path;
        EXPECT_TRUE(registry.typeLibs().empty());
    }
}

TEST(ClassRegistry, DefaultPathFollowsEnvironment) {
    TempRegistry temp;
    EXPECT_EQ(ClassRegistry::defaultPath(), temp.path());
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    unsetenv("SLATEWISE_REGISTRY");
    setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(ClassRegistry::defaultPath(), "/data/home/slatewise/registry");
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    setenv("HOME", "/home/teacher", 1);
    EXPECT_EQ(ClassRegistry::defaultPath(), "/home/teacher/.local/share/slatewise/registry");
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_DATA_HOME");
}

// Registration of one class description, as a module's DllRegisterServer does it.
sw::ClassInfo sampleInfo() {
    sw::ClassInfo info{};
    info.typeLibId = kTypeLib;
    info.typeLibName = "SAMPLELib";
    info.classId = kClass;
    info.className = "CSampleCtrl";
    info.progId = "SAMPLE.SampleCtrl.1";
    info.propPageId = kPage;
    info.propPageName = "CSamplePropPage";
    info.propPageProgId = "SAMPLE.SamplePropPage.1";
    info.miscStatus = sw::kMiscStatusInvisibleAtRuntime;
    return info;
}

const void* addressInPlatform() { return reinterpret_cast<const void*>(&sw::com::registerModule); }

TEST(RegisterModule, WritesTypeLibClassAndPageInOrderAndRemovesThem) {
    TempRegistry temp;
    ASSERT_EQ(registerModule(sampleInfo(), addressInPlatform()), hr::kOk);
    EXPECT_EQ(entryKinds(temp.text()), (std::vector<std::string>{"typelib", "class", "proppage"}));
    const ClassRegistry registry;
    const auto entry = registry.findClass(kClass);
    ASSERT_TRUE(entry);
    EXPECT_NE(entry->modulePath.find("libslatewise_platform.so"), std::string::npos) << entry->modulePath;
    EXPECT_EQ(entry->modulePath.front(), '/');
    EXPECT_EQ(registry.findTypeLib(kTypeLib)->path, entry->modulePath);

    ASSERT_EQ(unregisterModule(sampleInfo()), hr::kOk);
    EXPECT_TRUE(entryKinds(temp.text()).empty());
    EXPECT_EQ(unregisterModule(sampleInfo()), hr::kOk) << "unregistering twice is harmless";
}

TEST(RegisterModule, StopsAtTheFirstFailingStepWithItsCode) {
    TempRegistry temp;
    sw::ClassInfo noTypeLib = sampleInfo();
    noTypeLib.typeLibId = Guid{};
    EXPECT_EQ(registerModule(noTypeLib, addressInPlatform()), hr::kSelfRegTypeLib);
    EXPECT_TRUE(entryKinds(temp.text()).empty());

    sw::ClassInfo noClass = sampleInfo();
    noClass.classId = Guid{};
    EXPECT_EQ(registerModule(noClass, addressInPlatform()), hr::kSelfRegClass);
    EXPECT_EQ(entryKinds(temp.text()), (std::vector<std::string>{"typelib"}))
        << "the page comes after the class";

    EXPECT_EQ(registerModule(sampleInfo(), nullptr), hr::kSelfRegTypeLib)
        << "no module file, no registration";

    TempRegistry::use(temp.unwritablePath());
    EXPECT_EQ(registerModule(sampleInfo(), addressInPlatform()), hr::kSelfRegTypeLib);
    EXPECT_EQ(unregisterModule(sampleInfo()), hr::kSelfRegTypeLib);
}

}  // namespace
