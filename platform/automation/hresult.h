// HRESULT-like result codes of the dispatch and module interfaces.
#pragma once

#include <cstdint>

namespace sw {

using HResult = int32_t;

namespace hr {
inline constexpr HResult kOk = 0;
inline constexpr HResult kFalse = 1;
inline constexpr HResult kNotImplemented = static_cast<HResult>(0x80004001);
inline constexpr HResult kNoInterface = static_cast<HResult>(0x80004002);
inline constexpr HResult kFail = static_cast<HResult>(0x80004005);
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000E);
inline constexpr HResult kInvalidArg = static_cast<HResult>(0x80070057);
inline constexpr HResult kUnknownName = static_cast<HResult>(0x80020006);
inline constexpr HResult kMemberNotFound = static_cast<HResult>(0x80020003);
inline constexpr HResult kParamNotFound = static_cast<HResult>(0x80020004);
inline constexpr HResult kTypeMismatch = static_cast<HResult>(0x80020005);
inline constexpr HResult kException = static_cast<HResult>(0x80020009);
inline constexpr HResult kOverflow = static_cast<HResult>(0x8002000A);
inline constexpr HResult kBadParamCount = static_cast<HResult>(0x8002000E);
inline constexpr HResult kClassNotAvailable = static_cast<HResult>(0x80040111);
inline constexpr HResult kClassNotRegistered = static_cast<HResult>(0x80040154);
inline constexpr HResult kSelfRegTypeLib = static_cast<HResult>(0x80040200);
inline constexpr HResult kSelfRegClass = static_cast<HResult>(0x80040201);
}  // namespace hr

inline constexpr bool succeeded(HResult r) noexcept { return r >= 0; }
inline constexpr bool failed(HResult r) noexcept { return r < 0; }

}  // namespace sw
