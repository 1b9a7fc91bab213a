// The persisted properties of the recognition box, with their defaults, and the one exchange routine that
// loads, saves and resets them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/automation/property_bag.h"

namespace sw::quillbox {

// Text members are code page 932 bytes. Values loaded from storage are kept as stored (only the setters
// clamp); code that uses a value clamps it where an out-of-range value could do harm.
struct BoxProps {
    // Stock properties.
    uint32_t backColor = 0x80000005;  // the window colour
    uint32_t foreColor = 0x80000008;  // the window text colour
    int16_t borderStyle = 0;
    int16_t appearance = 0;
    bool enabled = true;

    int32_t foreWidth = 2;
    int32_t maxXPos = 0;
    int32_t maxYPos = 0;
    bool rButtonFlag = false;
    bool recog = false;
    std::string rButtonInput;
    std::string rButtonRecog;
    float resultFontXPos = 0;
    float resultFontYPos = 0;
    int32_t resultFontWidth = 0;
    std::string resultFontName;
    uint32_t resultColor = 0x0000FF;
    uint32_t resultFontColor = 0x8080FF;
    uint32_t resultFontMiniColor = 0x8080FF;
    int32_t recogTimermsec = 1200;
    int32_t recogNum = 0;
    bool chAlpha = true;
    bool chHira = true;
    bool chKana = true;
    bool chKanji1 = true;
    bool chKanji2 = true;
    bool chNum = true;
    bool chOther = true;
    bool chPunc = true;
    bool autoShow = true;
    uint32_t backCharColor = 0xFFC4C4;
    int32_t backCharWidth = 0;
    float divSize = 0.65f;
    std::string result;
    uint32_t selectColor = 0xFF0000;
    float selectInPoint = 0.75f;
    int32_t showX = 0;
    int32_t showY = 0;
    bool mButtonFlag = false;
    int32_t minBound = 0;
    int32_t noLineLength = 2;
    std::string rButton1LineDel;
    std::string rButtonCancel;
    std::string rButtonClear;
    bool combineFlag = true;
    uint32_t tapPointColor = 0x80FF80;
    float tapPointSize = 0;
    bool tapToNextRec = false;
    std::string resultRecChars;
    uint32_t foreColorR = 0x808080;

    BoxProps();  // the string defaults
};

// Default texts, code page 932.
const std::string& defaultResultFontName();  // ＭＳ 明朝
const std::string& defaultRButtonCancel();   // 取消

// Stock properties first, then the colours, longs, strings, booleans and floats in the box's fixed order.
void exchangeBoxProps(PropExchange& exchange, BoxProps& props);

}  // namespace sw::quillbox
