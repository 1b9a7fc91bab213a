#include "platform/com/stock_ui.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace sw::com {
namespace {

std::function<void(QDialog&)>& dialogHook() {
    static std::function<void(QDialog&)> hook;
    return hook;
}

QString fromUtf8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

void setDialogHook(std::function<void(QDialog&)> hook) { dialogHook() = std::move(hook); }

// Object names "icon", "name", "version" and "ok" let tests find the parts.
void showAboutBox(QWidget* parent, const QImage* icon, std::string_view name, std::string_view version) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("About %1").arg(fromUtf8(name)));

    auto* iconLabel = new QLabel(&dialog);
    iconLabel->setObjectName(QStringLiteral("icon"));
    if (icon && !icon->isNull()) {
        iconLabel->setPixmap(QPixmap::fromImage(*icon));
    } else {
        iconLabel->setPixmap(dialog.style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    }
    auto* nameLabel = new QLabel(fromUtf8(name), &dialog);
    nameLabel->setObjectName(QStringLiteral("name"));
    auto* versionLabel = new QLabel(QStringLiteral("Version %1").arg(fromUtf8(version)), &dialog);
    versionLabel->setObjectName(QStringLiteral("version"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(nameLabel);
    text->addWidget(versionLabel);
    auto* row = new QHBoxLayout;
    row->addWidget(iconLabel, 0, Qt::AlignTop);
    row->addLayout(text, 1);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(row);
    layout->addWidget(buttons);

    if (dialogHook())
        dialogHook()(dialog);
    else
        dialog.exec();
}

QWidget* createGeneralPropertyPage(QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("General"));
    page->setWindowTitle(QStringLiteral("General"));
    page->setMinimumSize(250, 62);
    return page;
}

bool acceptInvisibleExtent(int width, int height) noexcept {
    return width == kInvisibleControlSize && height == kInvisibleControlSize;
}

// A bump edge is a raised outer ring (light top and left, dark bottom and right) around a sunken inner ring
// (dark top and left, light bottom and right), one pixel each, over the button face.
void paintDesignTimeBox(QPainter& painter, const QRect& rect, const QImage& bitmap16) {
    const QPalette palette = QApplication::palette();
    const QColor light = palette.color(QPalette::Active, QPalette::Light);
    const QColor dark = palette.color(QPalette::Active, QPalette::Dark);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect, palette.color(QPalette::Active, QPalette::Button));
    auto ring = [&painter](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    };
    ring(rect, light, dark);
    if (rect.width() > 2 && rect.height() > 2) ring(rect.adjusted(1, 1, -1, -1), dark, light);

    if (!bitmap16.isNull()) {
        const QRect target(rect.left() + (rect.width() - 16) / 2, rect.top() + (rect.height() - 16) / 2, 16,
                           16);
        painter.drawImage(target, bitmap16);
    }
    painter.restore();
}

}  // namespace sw::com
