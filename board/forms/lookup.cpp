// Pen input on the canvas and the dictionary look-up: a left-button path drawn on the canvas around
// clean-copy characters is closed into a region, the characters it takes in are joined in table order, and
// the first line of jList with that word as a key is shown in the dictionary window at the release point.
#include "board/forms/lookup.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <algorithm>
#include <span>
#include <vector>

#include "board/dictionary/lookup_geometry.h"
#include "board/forms/dic_form.h"
#include "board/forms/main_picture.h"
#include "board/forms/pen_event.h"
#include "board/forms/slatewise_form.h"
#include "board/layout.h"
#include "platform/gdi/units.h"
#include "platform/window/listbox.h"
#include "platform/window/window.h"

namespace sw::board {

namespace {

// LookupPath is made with room for this many points after the first and grows by as many when full.
constexpr size_t kLookupPathStep = 50;

int32_t toTwips(int32_t pixels) { return gdi::roundHalfEven(gdi::pixelsToTwips(pixels)); }

// The texts of a list's items in one QStringList (sharing their data), kept as a child of the list and
// rebuilt after any change of the list's items. A scan of the cached texts is several times faster than
// asking 23,000 items for their text at every look-up.
class ItemTexts final : public QObject {
    Q_OBJECT
public:
    explicit ItemTexts(QListWidget& list) : QObject(&list), m_list(list) {
        const QAbstractItemModel* model = list.model();
        const auto stale = [this] { m_valid = false; };
        connect(model, &QAbstractItemModel::rowsInserted, this, stale);
        connect(model, &QAbstractItemModel::rowsRemoved, this, stale);
        connect(model, &QAbstractItemModel::rowsMoved, this, stale);
        connect(model, &QAbstractItemModel::modelReset, this, stale);
        connect(model, &QAbstractItemModel::layoutChanged, this, stale);
        connect(model, &QAbstractItemModel::dataChanged, this, stale);
    }

    const QStringList& texts() {
        if (!m_valid) {
            const int count = std::min(m_list.count(), kMaxDictionaryLines);
            m_texts.clear();
            m_texts.reserve(count);
            for (int j = 0; j < count; ++j) m_texts.append(m_list.item(j)->text());
            m_valid = true;
        }
        return m_texts;
    }

private:
    QListWidget& m_list;
    QStringList m_texts;
    bool m_valid = false;
};

}  // namespace

void loadDictionary(QListWidget& list, const QString& path) {
    list.clear();
    list.addItems(readDictionaryFile(path));
}

std::optional<DictionaryMatch> lookUpList(QListWidget& list, QStringView word) {
    if (word.isEmpty()) return std::nullopt;
    auto* texts = list.findChild<ItemTexts*>(QString(), Qt::FindDirectChildrenOnly);
    if (!texts) texts = new ItemTexts(list);
    return lookUpWord(texts->texts(), word);
}

void MainPicture::mousePressEvent(QMouseEvent* event) {
    if (onMouseDown)
        onMouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), event->position());
}

void MainPicture::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove)
        onMouseMove(buttonCode(event->buttons()), shiftCode(event->modifiers()), event->position());
}

void MainPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (onMouseUp) onMouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), event->position());
}

DicForm* SlatewiseForm::dicForm() { return m_dicForm.get(); }
DicForm* SlatewiseForm::loadedDicForm() const noexcept { return m_dicForm.loaded(); }

// Document coordinates of a canvas point, with the overlay's position and scroll offsets read now (the same
// origin the canvas paints the clean copy and the path at).
PathPoint SlatewiseForm::canvasPointToDocument(float x, float y) const {
    const QPointF origin = m_mainPicture->documentOrigin();
    return canvasToDocument(x, y, 0, 0, origin.x(), origin.y());
}

void SlatewiseForm::MainPictureMouseDown(int button, int, float x, float y) {
    if (button != 1 || m_state.LookupCount != 0) return;
    m_state.LookupPath.assign(kLookupPathStep + 1, PathPoint{});
    m_state.LookupPath[0] = canvasPointToDocument(x, y);
    m_state.LookupCount = 1;
}

// Whatever buttons are held: a press of another button while drawing does not end the path.
void SlatewiseForm::MainPictureMouseMove(int, int, float x, float y) {
    std::vector<PathPoint>& path = m_state.LookupPath;
    int32_t& count = m_state.LookupCount;
    if (count <= 0) return;
    if (path.size() <= static_cast<size_t>(count) + 1) path.resize(path.size() + kLookupPathStep);
    const PathPoint previous = path[static_cast<size_t>(count) - 1];
    const PathPoint current = canvasPointToDocument(x, y);
    path[static_cast<size_t>(count)] = current;
    ++count;
    // The canvas draws the path in light green while it is open (MainPicture::paintEvent); only the new
    // segment needs painting.
    const QPointF origin = m_mainPicture->documentOrigin();
    const QRectF segment(origin + QPointF(previous.X, previous.Y), origin + QPointF(current.X, current.Y));
    m_mainPicture->update(segment.normalized().toAlignedRect().adjusted(-2, -2, 2, 2));
}

void SlatewiseForm::MainPictureMouseUp(int button, int, float x, float y) {
    if (button != 1 || m_state.LookupCount <= 0) return;
    const QString selection = lookupSelection();
    if (const auto match = lookUpList(*m_jList, selection))
        showDictionaryEntry(selection, match->explanation, x, y);
    // Always back to idle, also when nothing was enclosed or found; the repaint no longer draws the path.
    m_state.LookupCount = 0;
    m_mainPicture->repaint();
}

// The texts of the characters the closed path takes in, in table order.
QString SlatewiseForm::lookupSelection() const {
    const CharacterTable& table = m_state.table;
    std::vector<QString> texts;
    texts.reserve(table.CharTexts.size());
    for (const std::u16string& text : table.CharTexts) texts.push_back(QString::fromStdU16String(text));
    const auto points = static_cast<size_t>(std::max(0, m_state.LookupCount));
    const std::span<const PathPoint> path =
        std::span(m_state.LookupPath).first(std::min(points, m_state.LookupPath.size()));
    return selectCharacters<PathPoint, CharRect>(path, table.CharRects, table.CharWidths, texts);
}

// Fills the dictionary window (loading it when it is not) and puts its top-left corner at the release point,
// moved left and up just enough for the whole window to lie on the screen under that point.
void SlatewiseForm::showDictionaryEntry(const QString& word, const QString& explanation, float x, float y) {
    DicForm* form = dicForm();
    form->DicText1()->setText(word);
    form->DicText2()->setPlainText(explanation);

    const QPoint release = win::clientToScreen(win::handleOf(m_mainPicture),
                                               QPoint(gdi::roundHalfEven(x), gdi::roundHalfEven(y)));
    QScreen* screen = QGuiApplication::screenAt(release);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect();
    const auto place = [&] {
        const QSize outer = form->frameGeometry().size();
        const QPoint at = dictionaryWindowPosition(
            QPoint(toTwips(release.x() - area.left()), toTwips(release.y() - area.top())),
            QSize(toTwips(area.width()), toTwips(area.height())),
            QSize(toTwips(outer.width()), toTwips(outer.height())));
        form->move(area.topLeft() + QPoint(gdi::roundHalfEven(gdi::twipsToPixels(at.x())),
                                           gdi::roundHalfEven(gdi::twipsToPixels(at.y()))));
    };
    place();
    // A window shown for the first time may learn its frame only now: placed again with it.
    if (!form->isVisible()) {
        form->show();
        place();
    }
    form->raise();
}

}  // namespace sw::board

#include "lookup.moc"
