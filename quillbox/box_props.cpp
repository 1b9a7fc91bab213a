#include "quillbox/box_props.h"

#include "platform/text/cp932.h"

namespace sw::quillbox {
namespace {

struct DefaultTexts {
    std::string fontName = text::utf8ToCp932("ＭＳ 明朝");
    std::string input = text::utf8ToCp932("再入力");
    std::string recog = text::utf8ToCp932("認識");
    std::string lineDel = text::utf8ToCp932("最終画消去");
    std::string cancel = text::utf8ToCp932("取消");
    std::string clear = text::utf8ToCp932("全消去");
};

const DefaultTexts& texts() {
    static const DefaultTexts t;
    return t;
}

}  // namespace

const std::string& defaultResultFontName() { return texts().fontName; }
const std::string& defaultRButtonCancel() { return texts().cancel; }

BoxProps::BoxProps()
    : rButtonInput(texts().input),
      rButtonRecog(texts().recog),
      resultFontName(texts().fontName),
      rButton1LineDel(texts().lineDel),
      rButtonCancel(texts().cancel),
      rButtonClear(texts().clear) {}

void exchangeBoxProps(PropExchange& ex, BoxProps& p) {
    const BoxProps d;
    const DefaultTexts& t = texts();
    ex.exVersion(1, 0);

    ex.exColor("BackColor", p.backColor, d.backColor);
    ex.exColor("ForeColor", p.foreColor, d.foreColor);
    ex.exShort("BorderStyle", p.borderStyle, d.borderStyle);
    ex.exShort("Appearance", p.appearance, d.appearance);
    ex.exBool("Enabled", p.enabled, d.enabled);

    ex.exColor("ForeColorR", p.foreColorR, d.foreColorR);
    ex.exColor("SelectColor", p.selectColor, d.selectColor);
    ex.exColor("ResultColor", p.resultColor, d.resultColor);
    ex.exColor("BackCharColor", p.backCharColor, d.backCharColor);
    ex.exColor("ResultFontColor", p.resultFontColor, d.resultFontColor);
    ex.exColor("ResultFontMiniColor", p.resultFontMiniColor, d.resultFontMiniColor);
    ex.exColor("TapPointColor", p.tapPointColor, d.tapPointColor);

    ex.exLong("ShowX", p.showX, d.showX);
    ex.exLong("ShowY", p.showY, d.showY);
    ex.exLong("MaxXPos", p.maxXPos, d.maxXPos);
    ex.exLong("MaxYPos", p.maxYPos, d.maxYPos);
    ex.exLong("ForeWidth", p.foreWidth, d.foreWidth);
    ex.exLong("MinBound", p.minBound, d.minBound);
    ex.exLong("NoLineLength", p.noLineLength, d.noLineLength);
    ex.exLong("ResultFontWidth", p.resultFontWidth, d.resultFontWidth);
    ex.exLong("BackCharWidth", p.backCharWidth, d.backCharWidth);
    ex.exLong("RecogNum", p.recogNum, d.recogNum);
    ex.exLong("RecogTimermsec", p.recogTimermsec, d.recogTimermsec);

    ex.exString("Result", p.result, "");
    ex.exString("ResultFontName", p.resultFontName, t.fontName);
    ex.exString("RButtonRecog", p.rButtonRecog, t.recog);
    ex.exString("RButtonClear", p.rButtonClear, t.clear);
    ex.exString("RButton1LineDel", p.rButton1LineDel, t.lineDel);
    ex.exString("RButtonInput", p.rButtonInput, t.input);
    ex.exString("RButtonCancel", p.rButtonCancel, t.cancel);
    ex.exString("ResultRecChars", p.resultRecChars, "");

    ex.exBool("Recog", p.recog, d.recog);
    ex.exBool("chNum", p.chNum, d.chNum);
    ex.exBool("chAlpha", p.chAlpha, d.chAlpha);
    ex.exBool("chKana", p.chKana, d.chKana);
    ex.exBool("chHira", p.chHira, d.chHira);
    ex.exBool("chKanji1", p.chKanji1, d.chKanji1);
    ex.exBool("chKanji2", p.chKanji2, d.chKanji2);
    ex.exBool("chOther", p.chOther, d.chOther);
    ex.exBool("chPunc", p.chPunc, d.chPunc);
    ex.exBool("RButtonFlag", p.rButtonFlag, d.rButtonFlag);
    ex.exBool("MButtonFlag", p.mButtonFlag, d.mButtonFlag);
    ex.exBool("AutoShow", p.autoShow, d.autoShow);
    ex.exBool("CombineFlag", p.combineFlag, d.combineFlag);
    ex.exBool("TapToNextRec", p.tapToNextRec, d.tapToNextRec);

    ex.exFloat("SelectInPoint", p.selectInPoint, d.selectInPoint);
    ex.exFloat("DivSize", p.divSize, d.divSize);
    ex.exFloat("ResultFontXPos", p.resultFontXPos, d.resultFontXPos);
    ex.exFloat("ResultFontYPos", p.resultFontYPos, d.resultFontYPos);
    ex.exFloat("TapPointSize", p.tapPointSize, d.tapPointSize);
}

}  // namespace sw::quillbox
