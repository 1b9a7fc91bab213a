// The dispatch interface _DVeiladd of the overlay add-in control (type library VEILADDLib, prog id
// "VEILADD.VeiladdCtrl.1"). The board calls these ids late-bound; they must match the member table in
// veiladd_ctrl.cpp. The event interface _DVeiladdEvents is empty.
#pragma once

#include <cstdint>

namespace sw::veiladd {

inline constexpr const char* kProgId = "VEILADD.VeiladdCtrl.1";

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
