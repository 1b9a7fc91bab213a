// The dispatch interface _DVeiladd of the overlay add-in control (type library VEILADDLib, module
// libveiladd.so). The board creates the control by these identities and calls these ids late-bound; the
// module publishes its member table with exactly these ids (veiladd/veiladd_ctrl.cpp). The event interface
// _DVeiladdEvents is empty.
#pragma once

#include <cstdint>

#include "platform/com/guid.h"

namespace sw::veiladd {

inline constexpr const char* kProgId = "VEILADD.VeiladdCtrl.1";
// Fixed identities: the registry and every host know the control by these; never change them.
inline constexpr Guid kTypeLibId{
    0x5f1a4037, 0x256c, 0x4649, {0xbb, 0x00, 0xea, 0xb6, 0x7e, 0x5a, 0x35, 0x9c}};
inline constexpr Guid kClassId{0xd8b4c026, 0x43e5, 0x419f, {0xa7, 0xec, 0xbc, 0x0c, 0x78, 0xb3, 0xd2, 0x02}};
inline constexpr Guid kDispatchId{
    0xc3198359, 0x291b, 0x4cb9, {0xba, 0xb6, 0xa1, 0xcd, 0x00, 0x0c, 0x42, 0x81}};
inline constexpr Guid kEventsId{0xcfed9424, 0xb1a9, 0x4f36, {0xa8, 0xf8, 0x1c, 0xb3, 0x7a, 0xca, 0xb3, 0x47}};
inline constexpr Guid kPropPageId{
    0x3e99f055, 0x88bf, 0x4df0, {0xa0, 0x13, 0x05, 0x93, 0x91, 0x7b, 0xca, 0xf4}};

// (Data1 I4, Data1Num I4, Data2 I4, Data2Num I4, ResultData I4 byref, ResultDataNum I4 byref) -> Bool
inline constexpr int32_t kDispDeletePattern = 1;
// (Data I4) -> none
inline constexpr int32_t kDispFreePatternData = 2;
// (Data I4, DataNum I4, Left I4 byref, Top I4 byref, Right I4 byref, Bottom I4 byref) -> Bool
inline constexpr int32_t kDispGetVeilRect = 3;
// (Data I4, DataNum I4, Left I4, Top I4) -> Bool
inline constexpr int32_t kDispMoveVeil = 4;
// (ListhWnd I4, Data I4, DataNum I4) -> Bool
inline constexpr int32_t kDispVeilListBoxIn = 5;
// (ListhWnd I4, Data I4 byref, DataNum I4 byref) -> Bool
inline constexpr int32_t kDispVeilListBoxOut = 6;
// (ptw I4, Left I4 byref, Top I4 byref, Right I4 byref, Bottom I4 byref) -> Bool
inline constexpr int32_t kDispGetPtwRect = 7;
// The stock AboutBox is sw::kDispAboutBox (-552).

}  // namespace sw::veiladd
