// The dispatch interface _DPenmate and the fixed identities of the pattern utility control (type library
// PENMATELib, module libpenmate.so).
//
// The dispatch ids, parameter orders and the GUIDs are a contract with every host that calls the control
// late-bound (the board); they never change. The module's member table (penmate/penmate_ctrl.cpp) uses them.
#pragma once

#include <cstdint>

#include "platform/com/guid.h"

namespace sw::penmate {

using DispId = int32_t;

inline constexpr DispId kDispFreePTW = 1;          // (PTW: long)
inline constexpr DispId kDispCreatePTW = 2;        // (StrokeData: long, Num: long) -> long
inline constexpr DispId kDispGetStrokeData = 3;    // (StrokeData: long, Num: long, Type: long) -> long
inline constexpr DispId kDispListInPTW = 4;        // (ListhWnd: long, PTW: long) -> bool
inline constexpr DispId kDispListOutPTW = 5;       // (ListhWnd: long, Index: long) -> long
inline constexpr DispId kDispRedraw = 6;           // (hWnd: long)
inline constexpr DispId kDispSysFuncGetRect = 7;   // (StrokeData, Num, Left*, Top*, Right*, Bottom*) -> bool
inline constexpr DispId kDispSysFuncLoadVeil = 8;  // (FileName: string, StrokeData*, Num*, Pointer*) -> bool
inline constexpr DispId kDispSysFuncDeleteVeil = 9;  // (StrokeData: long)
inline constexpr DispId kDispSysFuncSaveVeil = 10;   // (FileName, StrokeData, Num, NewFlag: short) -> bool
inline constexpr DispId kDispSysFuncSaveList = 11;   // (FileName, ListhWnd, NewFlag: short) -> bool
inline constexpr DispId kDispSysFuncLoadList = 12;   // (FileName, ListhWnd, Pointer*) -> bool

inline constexpr char kProgId[] = "PENMATE.PenmateCtrl.1";

// {A8585366-3CB1-47AB-8DD0-45797DA23177} PENMATELib
inline constexpr Guid kTypeLibId{
    0xA8585366, 0x3CB1, 0x47AB, {0x8D, 0xD0, 0x45, 0x79, 0x7D, 0xA2, 0x31, 0x77}};
// {6B0A4AE1-C6AF-406B-8422-20C3F0F7FF25} CPenmateCtrl
inline constexpr Guid kClassId{0x6B0A4AE1, 0xC6AF, 0x406B, {0x84, 0x22, 0x20, 0xC3, 0xF0, 0xF7, 0xFF, 0x25}};
// {A0725C3B-9157-44E6-ACE9-AE52802F6D74} _DPenmate
inline constexpr Guid kDispatchId{
    0xA0725C3B, 0x9157, 0x44E6, {0xAC, 0xE9, 0xAE, 0x52, 0x80, 0x2F, 0x6D, 0x74}};
// {988B1A73-2248-4962-9CBE-60F522309D10} _DPenmateEvents
inline constexpr Guid kEventsId{0x988B1A73, 0x2248, 0x4962, {0x9C, 0xBE, 0x60, 0xF5, 0x22, 0x30, 0x9D, 0x10}};
// {4ADBE527-AE69-4FC1-BF45-E472B21F435B} CPenmatePropPage
inline constexpr Guid kPropPageId{
    0x4ADBE527, 0xAE69, 0x4FC1, {0xBF, 0x45, 0xE4, 0x72, 0xB2, 0x1F, 0x43, 0x5B}};

}  // namespace sw::penmate
