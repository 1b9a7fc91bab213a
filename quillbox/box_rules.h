// The recognition box's arithmetic and text rules as pure functions: clamps, character boxes, the frame,
// tap square and glyph positions of the result display, the canvas growth of the view, candidate codes and
// the edits of the result string. Everything here is free of windows and of the engine, so it is tested
// directly.
//
// Text is code page 932 bytes held in std::string; a result character is two bytes.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sw::quillbox {

inline constexpr int kCandidateCount = 20;  // entries of a candidate list
// The canvas never grows beyond this many pixels a side, nor beyond kMaxCanvasPixels in all: an offset or
// size that would need more is treated as a failed allocation (the view is clamped to the canvas instead).
inline constexpr int kMaxCanvasSide = 32767;
inline constexpr int64_t kMaxCanvasPixels = int64_t{1} << 25;
// Overprint passes of the result glyphs and the background text are capped here when drawing, so that a
// huge stored or set value cannot stall the box.
inline constexpr int kMaxOverprintPasses = 64;

// A character box in canvas coordinates, right and bottom as the engine gives them.
struct CharBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const CharBox&) const = default;
    bool contains(QPoint p) const noexcept {
        return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom;
    }
};

// Clamps; NaN becomes `lo`.
int32_t clampLong(int64_t value, int32_t lo, int32_t hi) noexcept;
float clampFloat(float value, float lo, float hi) noexcept;
// trunc(length x fraction), saturated to +-2^20; NaN gives 0.
int scaledOffset(int64_t length, double fraction) noexcept;

// A box narrower or lower than minBound grows symmetrically (integer halves) as far as the canvas allows.
CharBox growToMinBound(CharBox box, int32_t minBound, QSize canvas) noexcept;

// The result frame: the box widened by the pen width, kept inside the canvas (right and bottom exclusive).
CharBox frameOf(const CharBox& box, int32_t foreWidth, QSize canvas) noexcept;
// The filled tap square in the bottom-right of a frame; empty with tapPointSize 0 (or a pen wider than it).
QRect tapSquareOf(const CharBox& frame, float tapPointSize, int32_t foreWidth) noexcept;
// The tap area of a character box used by hit tests: the box widened by the pen width (left and top not
// below 0, right and bottom + foreWidth + 1), then only its bottom-right part. Empty for tapPointSize 0.
CharBox tapAreaOf(const CharBox& box, int32_t foreWidth, float tapPointSize) noexcept;

// Top-left of result glyph pass `pass` of font height s in `box`. Full-size characters are centred and
// shifted by the fractions; small kana sit at the left and bottom edges.
QPoint glyphOrigin(const CharBox& box, int s, float xPos, float yPos, int pass, bool smallKana) noexcept;

// Pixel height of the background text: the client height, or the client width shared by the characters
// when that is smaller.
int backTextHeight(int clientWidth, int clientHeight, size_t resultBytes) noexcept;

// The canvas size a view needs, by the growth rule: when the view at (showX, showY) of a client of `client`
// reaches the canvas edge, three client sizes plus 10 beyond the offset. Nullopt when no growth is needed.
// The size is capped at kMaxCanvasSide a side; `fits` tells whether the capped size holds the view.
struct CanvasGrowth {
    QSize size;
    bool withinLimits = true;  // false: the capped size exceeds kMaxCanvasPixels
};
std::optional<CanvasGrowth> canvasGrowth(QSize canvas, int64_t showX, int64_t showY, QSize client) noexcept;

// The 18 small kana drawn low in their box.
bool isSmallKana(std::string_view twoBytes) noexcept;

// The code page 932 character of a candidate code (low 16 bits: lead x 256 + trail). Nullopt for 0 and for
// any code that is not a valid double-byte character: such an entry counts as no candidate.
std::optional<std::array<char, 2>> candidateChar(uint32_t code) noexcept;

// Character n (1-based) of `result`: nullopt when the result is shorter than 2n bytes.
std::optional<std::string_view> resultChar(std::string_view result, int64_t n) noexcept;

// Replaces character n (1-based) by ch. Returns true when the result changed. A result shorter than 2n - 2
// bytes is padded by nothing: the new character is appended at its end.
bool replaceChar(std::string& result, int64_t n, std::array<char, 2> ch);

// The result after a regrouping recognition: the bytes old and new agree on (even count, at most the length
// of old and 2m), kept from `result`, followed by new from there on.
std::string mergeResult(std::string_view result, std::string_view oldString, std::string_view newString);

// Removes ASCII white space at both ends (a full-width space stays).
std::string trimAscii(std::string_view text);

// The category mask of the eight category flags.
struct Categories {
    bool num, alpha, kana, hira, kanji1, kanji2, other, punc;
};
int32_t categoryMask(const Categories& c) noexcept;

}  // namespace sw::quillbox
