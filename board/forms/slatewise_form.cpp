// The board window: start-up, layout and shutdown.
#include "board/forms/slatewise_form.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>

#include "board/forms/dic_form.h"
#include "board/forms/icons.h"
#include "board/forms/lookup.h"
#include "board/forms/main_picture.h"
#include "board/forms/menu_picture.h"
#include "board/forms/sub_form.h"
#include "board/layout.h"
#include "board/startup.h"
#include "board/stored_settings.h"
#include "contracts/overlay.h"
#include "contracts/penmate.h"
#include "contracts/quillbox.h"
#include "contracts/veiladd.h"
#include "platform/gdi/color.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/units.h"
#include "platform/window/listbox.h"

namespace sw::board {

namespace {

const QString kFormFace = QString::fromUtf16(u"ＭＳ 明朝");
constexpr QSize kInitialSize(1024, 720);
constexpr QSize kQuillboxFallback(97, 89);
constexpr int kInvisibleControlSize = 32;

}  // namespace

SlatewiseForm::SlatewiseForm(BoardOptions options)
    : m_options(std::move(options)),
      m_fontFace(kFormFace),
      m_veilSink([this](DispId id, std::span<Variant> args) { onVeilEvent(id, args); }),
      m_subForm([this] {
          auto* form = new SubForm(*this);
          form->load();
          return form;
      }),
      m_dicForm([this] {
          auto* form = new DicForm(*this);
          form->load();
          return form;
      }) {
    gdi::installFaceSubstitutions();
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(boardIcon());
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, gdi::toQColor(kBoardColor));
    setPalette(p);
    QFont f(m_fontFace);
    f.setPointSize(12);
    setFont(f);

    m_mainPicture = new MainPicture(m_state, this);
    m_mainPicture->onMouseDown = [this](int b, int s, QPointF p) {
        MainPictureMouseDown(b, s, p.x(), p.y());
    };
    m_mainPicture->onMouseMove = [this](int b, int s, QPointF p) {
        MainPictureMouseMove(b, s, p.x(), p.y());
    };
    m_mainPicture->onMouseUp = [this](int b, int s, QPointF p) { MainPictureMouseUp(b, s, p.x(), p.y()); };
    m_menuPicture = new MenuPicture(this);
    m_menuPicture->onMouseDown = [this](int button, QPointF point) { MenuPictureMouseDown(button, point); };
    m_jList = new win::ListBox(this);
    m_jList->hide();
    createControls();
    resize(kInitialSize);
    load();
}

SlatewiseForm::~SlatewiseForm() {
    unload();
    if (m_veilCookie && m_veil.site()) m_veil.site()->unadvise(m_veilCookie);
    m_mainPicture->setOverlay(nullptr);
    m_quillbox.reset();
    m_veiladd.reset();
    m_penmate.reset();
    m_veil.reset();
}

SubForm* SlatewiseForm::subForm() { return m_subForm.get(); }
SubForm* SlatewiseForm::loadedSubForm() const noexcept { return m_subForm.loaded(); }

void SlatewiseForm::createControls() {
    registerMissingModules(m_options.programFolder.toStdString());

    PropertyBag veilBag = PropertyBag::fromText(veilSettingsText());
    m_veil = VeilProxy(sw::overlay::kClassId.toString(), this, "VeilCtl", &veilBag);
    if (m_veil.site()) m_veilCookie = m_veil.site()->advise(&m_veilSink);
    m_mainPicture->setOverlay(&m_veil);

    PropertyBag boxBag = PropertyBag::fromText(quillboxSettingsText());
    m_quillbox = QuillboxProxy(sw::quillbox::kClassId.toString(), this, "Quillbox1", &boxBag);
    const QSize box = storedExtent(boxBag, kQuillboxFallback);
    m_quillbox.move(8, 8, box.width(), box.height());

    m_veiladd = VeiladdProxy(sw::veiladd::kClassId.toString(), this, "Veiladd1");
    m_veiladd.move(8, 8, kInvisibleControlSize, kInvisibleControlSize);
    m_penmate = PenmateProxy(sw::penmate::kClassId.toString(), this, "Penmate1");
    m_penmate.move(48, 8, kInvisibleControlSize, kInvisibleControlSize);
}

// Start-up, in the order the board relies on.
void SlatewiseForm::load() {
    if (!m_options.programFolder.isEmpty()) QDir::setCurrent(m_options.programFolder);

    m_mainPicture->setBackColor(kBoardColor);
    m_veil.setBackColor(kBoardColor);
    m_veil.zOrder(0);

    // The command line names a face, taken whole: no splitting, no check that it exists.
    if (!m_options.commandLine.isEmpty()) {
        m_fontFace = m_options.commandLine;
        QFont f = font();
        f.setFamily(m_fontFace);
        setFont(f);
        m_mainPicture->setFontFace(m_fontFace);
        m_quillbox.setResultFontName(m_fontFace.toStdU16String());
    }

    loadDictionary(*m_jList, QStringLiteral("dic.txt"));

    m_state.table.reset();
    m_state.LookupPath.clear();
    m_state.LookupCount = 0;

    subForm()->ModePicClick(kPenModePen);
}

void SlatewiseForm::layout() {
    const BoardLayout l = layoutBoard(width(), height(), m_menuPicture->height());
    m_mainPicture->setGeometry(l.canvas);
    m_veil.move(l.overlay.left(), l.overlay.top(), l.overlay.width(), l.overlay.height());
    m_menuPicture->setGeometry(l.strip);
}

void SlatewiseForm::resizeEvent(QResizeEvent*) { layout(); }

void SlatewiseForm::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}

// Shutdown: unloads the palette and then the dictionary window; a window that was never loaded is not
// created for it. Nothing is saved.
void SlatewiseForm::unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    m_subForm.unload();
    m_dicForm.unload();
}

void SlatewiseForm::MenuPictureMouseDown(int button, QPointF point) {
    if (button != 1) return;
    const QPoint press =
        m_menuPicture->mapToGlobal(QPoint(gdi::roundHalfEven(point.x()), gdi::roundHalfEven(point.y())));
    SubForm* palette = subForm();
    // Shown first: the window system knows the palette's frame only once it is on the screen.
    palette->show();
    QScreen* screen = QGuiApplication::screenAt(press);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen ? screen->geometry() : QRect(0, 0, 0, 0);
    const QPoint topLeft =
        placePalette({press, screenRect, palette->frameGeometry().width(), palette->width(),
                      palette->height(), frameGeometry().top(), height(), m_menuPicture->height()});
    palette->move(topLeft);
    palette->raise();
}

void SlatewiseForm::onVeilEvent(DispId id, std::span<Variant> args) {
    namespace ov = sw::overlay;
    if (id == ov::kEventAreaChanged && args.size() == 4)
        AreaChanged(args[0].i4(), args[1].i4(), args[2].i4(), args[3].i4());
    else if (id == ov::kEventPatternSelected && args.size() == 2)
        PatternSelected(args[0].i4(), args[1].i4());
    else if (id == ov::kEventMouseForward && args.size() == 3)
        MouseForward(args[0].i4(), args[1].i4(), args[2].i4());
}

// Repaints the canvas under a changed area of the overlay (overlay client pixels, edges inclusive). The
// rectangle is moved by the overlay's own position on the canvas, so the area repainted is the one under
// the ink.
void SlatewiseForm::AreaChanged(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const QPoint offset = m_mainPicture->geometry().topLeft() + m_veil.geometry().topLeft();
    const QRect area(QPoint(left, top) + offset, QPoint(right, bottom) + offset);
    m_mainPicture->repaint(area.normalized().adjusted(0, 0, 1, 1).translated(-m_mainPicture->pos()));
    if (QWidget* box = m_quillbox.widget(); box && box->isVisible()) box->repaint();
}

}  // namespace sw::board
