// The dispatch interface of the test control module "CHAIN.ChainCtrl.1", shared by the module and the tests
// that host it. Never installed.
#pragma once

#include "platform/automation/dispatch.h"
#include "platform/com/guid.h"

namespace chain {

inline constexpr sw::Guid kTypeLibId{
    0x5EC0A001, 0x7A11, 0x4C1A, {0x9B, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
inline constexpr sw::Guid kClassId{
    0x5EC0A002, 0x7A11, 0x4C1A, {0x9B, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02}};
inline constexpr sw::Guid kPropPageId{
    0x5EC0A003, 0x7A11, 0x4C1A, {0x9B, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03}};
inline constexpr sw::Guid kDispatchId{
    0x5EC0A004, 0x7A11, 0x4C1A, {0x9B, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04}};
inline constexpr sw::Guid kEventsId{
    0x5EC0A005, 0x7A11, 0x4C1A, {0x9B, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05}};
inline constexpr const char* kProgId = "CHAIN.ChainCtrl.1";

// Properties (persisted with the defaults named).
inline constexpr sw::DispId kDispCaption = 1;  // BSTR, "ready"; the window shows it
inline constexpr sw::DispId kDispCount = 2;    // I4, 3
inline constexpr sw::DispId kDispArmed = 3;    // BOOL, true
// Methods.
inline constexpr sw::DispId kDispDivide = 10;  // (Dividend I4, Divisor I4, [out] Remainder I4) BOOL
inline constexpr sw::DispId kDispRaise =
    11;  // (Text BSTR) BOOL: fires Notify, returns what the sinks left in Handled
// Events.
inline constexpr sw::DispId kEventNotify = 1;  // (Text BSTR, [in, out] Handled BOOL)

inline constexpr int32_t kDefaultCount = 3;
inline constexpr const char16_t* kDefaultCaption = u"ready";

}  // namespace chain
