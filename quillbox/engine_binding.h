// The recognition engine's entry points, bound by name from libscribeng.so.
//
// The box loads the engine by file name from a folder (its own module's folder in production; tests bind a
// stand-in library of the same name from another folder the same way) and keeps a table of function
// pointers. Every entry point must be present except the four the merge gesture alone depends on
// (GetStrokeNoOfNthChar, GetString, GiveStrokeSetInfo, RecognizeNF), which may be null; callers check
// them. The library stays loaded as long as the binding lives.
#pragma once

#include <memory>
#include <string>

#include "contracts/scribeng.h"

namespace sw::quillbox {

inline constexpr const char* kEngineFileName = "libscribeng.so";

struct EngineApi {
    decltype(&::CreateNewObject) CreateNewObject = nullptr;
    decltype(&::DestroyObject) DestroyObject = nullptr;
    decltype(&::AddStrokeLast) AddStrokeLast = nullptr;
    decltype(&::DeleteStrokeLast) DeleteStrokeLast = nullptr;
    decltype(&::GetStrokeCount) GetStrokeCount = nullptr;
    decltype(&::GetNthStroke) GetNthStroke = nullptr;
    decltype(&::SetRecCategory) SetRecCategory = nullptr;
    decltype(&::RecognizeNF) RecognizeNF = nullptr;                    // optional
    decltype(&::GiveStrokeSetInfo) GiveStrokeSetInfo = nullptr;        // optional
    decltype(&::GetString) GetString = nullptr;                        // optional
    decltype(&::GetStrokeNoOfNthChar) GetStrokeNoOfNthChar = nullptr;  // optional
    decltype(&::GetNthCharBound) GetNthCharBound = nullptr;
    decltype(&::GetPatternW) GetPatternW = nullptr;
    decltype(&::GetPatternWOfNthChar) GetPatternWOfNthChar = nullptr;
    decltype(&::DestroyPatternW) DestroyPatternW = nullptr;
    decltype(&::SetGuideBox) SetGuideBox = nullptr;
    decltype(&::RecognizeF) RecognizeF = nullptr;
};

class EngineBinding {
public:
    // Loads <folder>/libscribeng.so and binds its entry points. Null, with the reason in *error, when the
    // library does not load or a required entry point is missing.
    static std::unique_ptr<EngineBinding> load(const std::string& folder, std::string* error = nullptr);
    ~EngineBinding();  // unloads the library
    EngineBinding(const EngineBinding&) = delete;
    EngineBinding& operator=(const EngineBinding&) = delete;

    const EngineApi& api() const noexcept { return m_api; }
    // True when the merge gesture can run (its four optional entry points exist).
    bool canMerge() const noexcept;

private:
    EngineBinding() = default;
    void* m_library = nullptr;
    EngineApi m_api;
};

// The folder of the shared object that holds this code (libquillbox.so in production; the executable when
// the implementation is linked statically into a test).
std::string ownModuleFolder();

}  // namespace sw::quillbox
