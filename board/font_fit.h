// Fitting a clean-copy character to its box, and painting the clean copy.
//
// A character is typeset at the largest whole point size at which its text fits its box both ways (never
// less than 10 points), then the box is narrowed in place to the text's extent, centred where the box was.
// Painting writes the narrowed box back into the table and remembers the size it fitted there, so a later
// paint draws the same glyph in the same place.
#pragma once

#include <QFont>
#include <QPoint>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "board/board_state.h"

class QPainter;
class QPaintDevice;

namespace sw::board {

inline constexpr int kMinFontPoints = 10;
// Sizes are tried up to this limit: a glyph that measures 0 (or a box wider than any text) stops here
// instead of counting on forever. 4096 points is far above the tallest screen.
inline constexpr int kMaxFitPoints = 4096;

// The first size s in 1..limit at which measure(s) > extent; `limit` when there is none. measure must not
// decrease as s grows (true of font metrics): the search bisects and finds the size a step-by-step search
// from 1 finds.
int firstSizeExceeding(const std::function<double(int)>& measure, double extent, int limit = kMaxFitPoints);

// The point size for a box: MaxInt(10, MinInt(hs - 1, ws - 1)) where hs and ws are the first sizes at which
// the text is taller than Bottom - Top and wider than Right - Left.
int fitPoints(const std::function<QSizeF(int)>& measure, const CharRect& box);

// Narrows (or, for text larger than the box, widens) `box` to a text extent of width tw and height th,
// centred on the old box: each edge moves by half the slack, rounded half to even.
void centreBox(CharRect& box, double tw, double th) noexcept;

// Measures and draws clean-copy text in one face at whole point sizes (96 dots per inch). Measurements and
// fitted sizes are remembered per text, weight and box, so a repaint of an unchanged board does not measure
// again.
class CleanCopyPainter {
public:
    explicit CleanCopyPainter(QString face = {});
    const QString& face() const noexcept { return m_face; }
    void setFace(const QString& face);

    QFont font(int points, bool bold) const;
    qreal ascent(int points, bool bold) const;  // at 96 dots per inch
    // Whether the face's bold at `points` is made up from its regular style (the face has no bold of its
    // own).
    bool emboldened(int points) const;
    QSizeF measure(const std::u16string& text, int points, bool bold);  // advance width, line height
    int fit(const std::u16string& text, bool bold, const CharRect& box);

    // Paints every entry of width >= 1 (bold from width 3) in its colour, fitting and narrowing its box the
    // first time (or when its box or the face changed since); `origin` is the canvas position of document
    // (0, 0), i.e. overlay origin - scroll offsets. Draws nothing else.
    // Only entries from..N are painted.
    void paint(QPainter& painter, CharacterTable& table, QPointF origin, int32_t from = 1);

private:
    struct Key {
        std::u16string text;
        int a, b, c;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& k) const noexcept;
    };
    QString m_face;
    std::unordered_map<Key, QSizeF, KeyHash> m_measures;  // (text, points, bold)
    std::unordered_map<Key, int, KeyHash> m_fits;         // (text, width, height * 2 + bold)
    mutable std::unordered_map<int, QFont> m_fonts;       // points * 2 + bold
    mutable std::unordered_map<int, qreal> m_ascents;     // points * 2 + bold
    mutable std::unordered_map<int, bool> m_emboldened;   // points
};

}  // namespace sw::board
