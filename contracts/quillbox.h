// The dispatch interface _DQuillbox and the event interface _DQuillboxEvents of the recognition box control
// (type library QUILLBOXLib, module libquillbox.so).
//
// The board creates the box by these identities and calls it late-bound by these ids only; the module
// publishes its member table with exactly these ids (quillbox/). Types: long = I4, colour = I4 holding an OLE
// colour, BOOL = automation boolean (-1 / 0), float = R4, string = BSTR (code page 932 inside the box).
#pragma once

#include <cstdint>

#include "platform/com/guid.h"

namespace sw::quillbox {

using DispId = int32_t;

inline constexpr const char* kProgId = "QUILLBOX.QuillboxCtrl.1";
// Fixed identities: the registry and every host know the control by these; never change them.
inline constexpr Guid kTypeLibId{
    0xBDF6CA9A, 0x9F2B, 0x4765, {0xBC, 0x56, 0x7F, 0x67, 0x0C, 0xC0, 0x9F, 0xB5}};
inline constexpr Guid kClassId{0x2859D512, 0x0FA2, 0x4080, {0x8A, 0x5C, 0xEB, 0xFE, 0x7D, 0xEE, 0x9F, 0xA1}};
inline constexpr Guid kDispatchId{
    0x4DCE2CE3, 0x1EEC, 0x4664, {0xAC, 0xFD, 0x97, 0x97, 0x29, 0xDB, 0xC3, 0x59}};
inline constexpr Guid kEventsId{0x95A0C9DE, 0x366C, 0x41BE, {0xBE, 0xC9, 0x21, 0xA5, 0x1A, 0x90, 0x46, 0x89}};
inline constexpr Guid kPropPageId{
    0x30D7320C, 0x5324, 0x4DC5, {0xB4, 0x64, 0xF3, 0xD1, 0xC9, 0x7A, 0xED, 0xEB}};

// Persisted custom properties, 1-45 in this order.
inline constexpr DispId kDispForeWidth = 1;             // long, 0..10
inline constexpr DispId kDispMaxXPos = 2;               // long
inline constexpr DispId kDispMaxYPos = 3;               // long
inline constexpr DispId kDispRButtonFlag = 4;           // BOOL
inline constexpr DispId kDispRecog = 5;                 // BOOL: result mode
inline constexpr DispId kDispRButtonInput = 6;          // string
inline constexpr DispId kDispRButtonRecog = 7;          // string
inline constexpr DispId kDispResultFontXPos = 8;        // float
inline constexpr DispId kDispResultFontYPos = 9;        // float
inline constexpr DispId kDispResultFontWidth = 10;      // long, >= 0
inline constexpr DispId kDispResultFontName = 11;       // string
inline constexpr DispId kDispResultColor = 12;          // colour
inline constexpr DispId kDispResultFontColor = 13;      // colour
inline constexpr DispId kDispResultFontMiniColor = 14;  // colour
inline constexpr DispId kDispRecogTimermsec = 15;       // long, >= 0
inline constexpr DispId kDispRecogNum = 16;             // long, 0..20
inline constexpr DispId kDispChAlpha = 17;              // BOOL
inline constexpr DispId kDispChHira = 18;               // BOOL
inline constexpr DispId kDispChKana = 19;               // BOOL
inline constexpr DispId kDispChKanji1 = 20;             // BOOL
inline constexpr DispId kDispChKanji2 = 21;             // BOOL
inline constexpr DispId kDispChNum = 22;                // BOOL
inline constexpr DispId kDispChOther = 23;              // BOOL
inline constexpr DispId kDispChPunc = 24;               // BOOL
inline constexpr DispId kDispAutoShow = 25;             // BOOL
inline constexpr DispId kDispBackCharColor = 26;        // colour
inline constexpr DispId kDispBackCharWidth = 27;        // long, >= 0
inline constexpr DispId kDispDivSize = 28;              // float, 0..1
inline constexpr DispId kDispResult = 29;               // string: the recognised text
inline constexpr DispId kDispSelectColor = 30;          // colour
inline constexpr DispId kDispSelectInPoint = 31;        // float, 0..1
inline constexpr DispId kDispShowX = 32;                // long
inline constexpr DispId kDispShowY = 33;                // long
inline constexpr DispId kDispMButtonFlag = 34;          // BOOL
inline constexpr DispId kDispMinBound = 35;             // long, >= 0
inline constexpr DispId kDispNoLineLength = 36;         // long, >= 0
inline constexpr DispId kDispRButton1LineDel = 37;      // string
inline constexpr DispId kDispRButtonCancel = 38;        // string
inline constexpr DispId kDispRButtonClear = 39;         // string
inline constexpr DispId kDispCombineFlag = 40;          // BOOL
inline constexpr DispId kDispTapPointColor = 41;        // colour
inline constexpr DispId kDispTapPointSize = 42;         // float, 0..0.8
inline constexpr DispId kDispTapToNextRec = 43;         // BOOL
inline constexpr DispId kDispResultRecChars = 44;       // string
inline constexpr DispId kDispForeColorR = 45;           // colour

// Methods 46-58.
inline constexpr DispId kDispClear = 46;            // ()
inline constexpr DispId kDispDelLastLine = 47;      // ()
inline constexpr DispId kDispDeletePTW = 48;        // (PTW long)
inline constexpr DispId kDispGetAllString = 49;     // () -> long PTW
inline constexpr DispId kDispGetNthString = 50;     // (Num long) -> long PTW
inline constexpr DispId kDispReWrite = 51;          // ()
inline constexpr DispId kDispRecognize = 52;        // ()
inline constexpr DispId kDispDeleteCR = 53;         // (CR long)
inline constexpr DispId kDispGetNthCR = 54;         // (Num long) -> long candidate list
inline constexpr DispId kDispRecognizeCancel = 55;  // ()
inline constexpr DispId kDispSetString = 56;        // (PTW long)
inline constexpr DispId kDispSetNthRecChars = 57;   // (CharNum long, RecNum long) -> BOOL
inline constexpr DispId kDispGetNthRecChars = 58;   // (CharNum long) -> BOOL

// Stock members (the same ids as sw::kDisp* in platform/com/control.h).
inline constexpr DispId kDispBackColor = -501;
inline constexpr DispId kDispForeColor = -513;
inline constexpr DispId kDispEnabled = -514;
inline constexpr DispId kDispHWnd = -515;
inline constexpr DispId kDispBorderStyle = -504;
inline constexpr DispId kDispAppearance = -520;
inline constexpr DispId kDispRefresh = -550;
inline constexpr DispId kDispAboutBox = -552;

// The window timer of a pending correction (strokes written over a result character, recognised when the
// timer fires). A host that sends the box's window WM_TIMER with this id applies the correction at once; with
// no correction pending the message does nothing.
inline constexpr uint32_t kCorrectionTimerId = 50;

// Events.
inline constexpr DispId kEventResultChange = 1;     // ()
inline constexpr DispId kEventRecSelectChange = 2;  // (SelectNum long), 1-based character

}  // namespace sw::quillbox
