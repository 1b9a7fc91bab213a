#include "quillbox/box_rules.h"

#include <algorithm>
#include <cmath>

#include "contracts/scribeng.h"
#include "platform/text/cp932.h"

namespace sw::quillbox {
namespace {

constexpr double kOffsetLimit = 1 << 20;

int clampInt(int64_t v) noexcept {
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
}

// ぁぃぅぇぉァィゥェォゃゅょっャュョッ in code page 932.
constexpr std::array<uint16_t, 18> kSmallKana = {0x829F, 0x82A1, 0x82A3, 0x82A5, 0x82A7, 0x8340,
                                                 0x8342, 0x8344, 0x8346, 0x8348, 0x82E1, 0x82E3,
                                                 0x82E5, 0x82C1, 0x8383, 0x8385, 0x8387, 0x8362};

bool isTrailByte(unsigned char b) noexcept { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

}  // namespace

int32_t clampLong(int64_t value, int32_t lo, int32_t hi) noexcept {
    return static_cast<int32_t>(std::clamp<int64_t>(value, lo, hi));
}

float clampFloat(float value, float lo, float hi) noexcept {
    if (std::isnan(value)) return lo;
    return std::clamp(value, lo, hi);
}

int scaledOffset(int64_t length, double fraction) noexcept {
    const double v = static_cast<double>(length) * fraction;
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::trunc(std::clamp(v, -kOffsetLimit, kOffsetLimit)));
}

CharBox growToMinBound(CharBox box, int32_t minBound, QSize canvas) noexcept {
    const int64_t bound = std::max(minBound, 0);
    const int64_t dx = std::max<int64_t>(bound - (int64_t{box.right} - box.left), 0) / 2;
    const int64_t dy = std::max<int64_t>(bound - (int64_t{box.bottom} - box.top), 0) / 2;
    box.left = clampInt(std::max<int64_t>(box.left - dx, 0));
    box.right = clampInt(std::min<int64_t>(box.right + dx, canvas.width()));
    box.top = clampInt(std::max<int64_t>(box.top - dy, 0));
    box.bottom = clampInt(std::min<int64_t>(box.bottom + dy, canvas.height()));
    return box;
}

CharBox frameOf(const CharBox& box, int32_t foreWidth, QSize canvas) noexcept {
    const int64_t w = foreWidth;
    return CharBox{clampInt(std::max<int64_t>(box.left - w, 0)), clampInt(std::max<int64_t>(box.top - w, 0)),
                   clampInt(std::min<int64_t>(box.right + w + 1, canvas.width())),
                   clampInt(std::min<int64_t>(box.bottom + w + 1, canvas.height()))};
}

QRect tapSquareOf(const CharBox& frame, float tapPointSize, int32_t foreWidth) noexcept {
    if (!(tapPointSize > 0)) return {};
    const int th = scaledOffset(int64_t{frame.bottom} - frame.top, tapPointSize);
    const int tw = scaledOffset(int64_t{frame.right} - frame.left, tapPointSize);
    const int x = std::max(frame.right - tw, frame.left);
    const int y = std::max(frame.bottom - th, frame.top);
    const int width = static_cast<int>(std::max<int64_t>(int64_t{tw} - foreWidth, 0));
    const int height = static_cast<int>(std::max<int64_t>(int64_t{th} - foreWidth, 0));
    return QRect(x, y, width, height);
}

CharBox tapAreaOf(const CharBox& box, int32_t foreWidth, float tapPointSize) noexcept {
    if (!(tapPointSize > 0)) return CharBox{0, 0, 0, 0};
    const int64_t w = foreWidth;
    CharBox a{clampInt(std::max<int64_t>(box.left - w, 0)), clampInt(std::max<int64_t>(box.top - w, 0)),
              clampInt(int64_t{box.right} + w + 1), clampInt(int64_t{box.bottom} + w + 1)};
    a.left = std::max(a.left, a.right - scaledOffset(int64_t{a.right} - a.left, tapPointSize));
    a.top = std::max(a.top, a.bottom - scaledOffset(int64_t{a.bottom} - a.top, tapPointSize));
    return a;
}

QPoint glyphOrigin(const CharBox& box, int s, float xPos, float yPos, int pass, bool smallKana) noexcept {
    const int64_t width = int64_t{box.right} - box.left;
    const int64_t height = int64_t{box.bottom} - box.top;
    const int64_t dx = scaledOffset(width, xPos);
    const int64_t dy = scaledOffset(height, yPos);
    int64_t x = 0;
    int64_t y = 0;
    if (smallKana) {
        x = box.left + dx + pass;
        y = box.bottom + dy - pass - s;
    } else {
        x = box.left + dx + (width - s) / 2 + pass;
        y = box.top + dy + (height - s) / 2 - pass;
    }
    return QPoint(clampInt(std::max<int64_t>(x, 0)), clampInt(std::max<int64_t>(y, 0)));
}

int backTextHeight(int clientWidth, int clientHeight, size_t resultBytes) noexcept {
    const int n = static_cast<int>(std::max<size_t>(std::min<size_t>(resultBytes / 2, INT32_MAX), 1));
    const int share = clientWidth / n;
    return clientHeight < share ? clientHeight : share;
}

std::optional<CanvasGrowth> canvasGrowth(QSize canvas, int64_t showX, int64_t showY, QSize client) noexcept {
    const int64_t w = client.width();
    const int64_t h = client.height();
    if (showX + w < canvas.width() && showY + h < canvas.height()) return std::nullopt;
    const int64_t width =
        std::min<int64_t>(std::max<int64_t>(canvas.width(), showX + 3 * w + 10), kMaxCanvasSide);
    const int64_t height =
        std::min<int64_t>(std::max<int64_t>(canvas.height(), showY + 3 * h + 10), kMaxCanvasSide);
    CanvasGrowth growth;
    growth.size =
        QSize(static_cast<int>(std::max<int64_t>(width, 1)), static_cast<int>(std::max<int64_t>(height, 1)));
    growth.withinLimits = int64_t{growth.size.width()} * growth.size.height() <= kMaxCanvasPixels;
    return growth;
}

bool isSmallKana(std::string_view twoBytes) noexcept {
    if (twoBytes.size() != 2) return false;
    const auto code = static_cast<uint16_t>((static_cast<unsigned char>(twoBytes[0]) << 8) |
                                            static_cast<unsigned char>(twoBytes[1]));
    return std::find(kSmallKana.begin(), kSmallKana.end(), code) != kSmallKana.end();
}

std::optional<std::array<char, 2>> candidateChar(uint32_t code) noexcept {
    const auto lead = static_cast<unsigned char>((code >> 8) & 0xFF);
    const auto trail = static_cast<unsigned char>(code & 0xFF);
    if ((code & 0xFFFF) == 0 || !text::isLeadByte(lead) || !isTrailByte(trail)) return std::nullopt;
    return std::array<char, 2>{static_cast<char>(lead), static_cast<char>(trail)};
}

std::optional<std::string_view> resultChar(std::string_view result, int64_t n) noexcept {
    if (n < 1 || static_cast<uint64_t>(n) > result.size() / 2) return std::nullopt;
    return result.substr(static_cast<size_t>(2 * n - 2), 2);
}

bool replaceChar(std::string& result, int64_t n, std::array<char, 2> ch) {
    if (n < 1) return false;
    const std::string_view wanted(ch.data(), 2);
    const auto start = static_cast<uint64_t>(2 * n - 2);
    if (start < result.size() && std::string_view(result).substr(start, 2) == wanted) return false;
    const std::string copy = result;
    std::string next = copy.substr(0, std::min<uint64_t>(start, copy.size()));
    next.append(wanted);
    if (copy.size() > start + 2) next.append(copy, start + 2);
    result = std::move(next);
    return true;
}

std::string mergeResult(std::string_view result, std::string_view oldString, std::string_view newString) {
    const size_t limit = std::min(oldString.size(), newString.size() / 2 * 2);
    size_t k = 0;
    while (k < limit && oldString[k] == newString[k]) ++k;
    k &= ~size_t{1};
    std::string merged(result.substr(0, std::min(k, result.size())));
    merged.append(newString.substr(std::min(k, newString.size())));
    return merged;
}

std::string trimAscii(std::string_view text) {
    constexpr std::string_view kBlank = " \t\n\r\v\f";
    const size_t first = text.find_first_not_of(kBlank);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(kBlank);
    return std::string(text.substr(first, last - first + 1));
}

int32_t categoryMask(const Categories& c) noexcept {
    int32_t mask = 0;
    if (c.hira) mask |= SCRIBENG_CAT_HIRAGANA;
    if (c.num) mask |= SCRIBENG_CAT_DIGIT;
    if (c.kana) mask |= SCRIBENG_CAT_KATAKANA;
    if (c.other) mask |= SCRIBENG_CAT_OTHER;
    if (c.kanji1) mask |= SCRIBENG_CAT_KANJI1;
    if (c.kanji2) mask |= SCRIBENG_CAT_KANJI2;
    if (c.alpha) mask |= SCRIBENG_CAT_LATIN;
    if (c.punc) mask |= SCRIBENG_CAT_PUNCTUATION;
    return mask;
}

}  // namespace sw::quillbox
