// The four exports of a control module, and the helpers that implement them.
//
// A module defines its ClassInfo and a ClassFactory and then, in its entry file:
//
//     SW_CONTROL_MODULE(penmateFactory())
//
// which defines, with C linkage and noexcept:
//     int32_t DllRegisterServer(void);       0, kSelfRegTypeLib (0x80040200) or kSelfRegClass (0x80040201)
//     int32_t DllUnregisterServer(void);     same codes; removes type library, class and property page
//     int32_t DllGetClassObject(const sw::Guid* clsid, const sw::Guid* iid, void** out);
//                                            *out = the module's sw::ClassFactory* (not owned by the caller)
//                                            or kClassNotAvailable for another class id
//     int32_t DllCanUnloadNow(void);         0 when no object of the module is alive, else 1
#pragma once

#include <cstdint>

#include "platform/automation/hresult.h"
#include "platform/com/control.h"

namespace sw::com {

// Registers the type library, the class and its property page, in that order, for the module file that
// contains `anyAddressInModule`. Stops at the first failing step.
HResult registerModule(const ClassInfo& info, const void* anyAddressInModule) noexcept;
HResult unregisterModule(const ClassInfo& info) noexcept;

// Objects alive per module; control constructors and destructors count through ObjectCounter.
class ObjectCounter {
public:
    explicit ObjectCounter(int* counter) noexcept : m_counter(counter) { ++*m_counter; }
    ~ObjectCounter() { --*m_counter; }
    ObjectCounter(const ObjectCounter&) = delete;
    ObjectCounter& operator=(const ObjectCounter&) = delete;

private:
    int* m_counter;
};

}  // namespace sw::com

// `factory` is an expression yielding sw::ClassFactory& that lives for the module's lifetime; `liveObjects`
// an int counting the module's live objects.
#define SW_CONTROL_MODULE(factory, liveObjects)                                                        \
    extern "C" __attribute__((visibility("default"))) int32_t DllRegisterServer(void) noexcept {       \
        return ::sw::com::registerModule((factory).classInfo(),                                        \
                                         reinterpret_cast<const void*>(&DllRegisterServer));           \
    }                                                                                                  \
    extern "C" __attribute__((visibility("default"))) int32_t DllUnregisterServer(void) noexcept {     \
        return ::sw::com::unregisterModule((factory).classInfo());                                     \
    }                                                                                                  \
    extern "C" __attribute__((visibility("default"))) int32_t DllGetClassObject(                       \
        const ::sw::Guid* clsid, const ::sw::Guid* iid, void** out) noexcept {                         \
        if (!out) return ::sw::hr::kInvalidArg;                                                        \
        *out = nullptr;                                                                                \
        if (!clsid || !(*clsid == (factory).classInfo().classId)) return ::sw::hr::kClassNotAvailable; \
        *out = static_cast<::sw::ClassFactory*>(&(factory));                                           \
        return ::sw::hr::kOk;                                                                          \
    }                                                                                                  \
    extern "C" __attribute__((visibility("default"))) int32_t DllCanUnloadNow(void) noexcept {         \
        return (liveObjects) == 0 ? ::sw::hr::kOk : ::sw::hr::kFalse;                                  \
    }
