#include "board/forms/icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace sw::board {

namespace {

QImage blank(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

QImage penIcon() {
    QImage image = blank(32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(16, 16);
    p.rotate(45);
    // Barrel, ferrule and nib of a pen lying from top right to bottom left.
    p.setPen(QPen(QColor(20, 20, 60), 1));
    p.setBrush(QColor(40, 70, 170));
    p.drawRoundedRect(QRectF(-4, -15, 8, 20), 2, 2);
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(QRectF(-4, 5, 8, 3));
    QPainterPath nib;
    nib.moveTo(-4, 8);
    nib.lineTo(4, 8);
    nib.lineTo(0, 15);
    nib.closeSubpath();
    p.setBrush(QColor(230, 190, 60));
    p.drawPath(nib);
    return image;
}

QImage sheetIcon() {
    QImage image = blank(32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath sheet;
    sheet.moveTo(6, 2);
    sheet.lineTo(20, 2);
    sheet.lineTo(26, 8);
    sheet.lineTo(26, 30);
    sheet.lineTo(6, 30);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setBrush(QColor(220, 220, 220));
    p.drawPolygon(QPolygonF({QPointF(20, 2), QPointF(20, 8), QPointF(26, 8)}));
    QFont font("DejaVu Sans");
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(180, 20, 20));
    p.drawText(QRectF(6, 8, 20, 22), Qt::AlignCenter, QStringLiteral("A"));
    return image;
}

QImage bookIcon() {
    QImage image = blank(32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Pages seen from the side, then the cover and its spine.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 240, 225));
    p.drawRect(QRectF(8, 5, 19, 23));
    p.setPen(QPen(QColor(120, 110, 90), 1));
    for (int y = 8; y < 28; y += 3) p.drawLine(QPointF(22, y), QPointF(27, y));
    p.setPen(QPen(QColor(60, 20, 10), 1));
    p.setBrush(QColor(150, 40, 30));
    p.drawRoundedRect(QRectF(5, 3, 19, 25), 2, 2);
    p.setBrush(QColor(110, 25, 20));
    p.drawRect(QRectF(5, 3, 4, 25));
    p.setPen(QPen(QColor(230, 190, 80), 1.5));
    p.drawLine(QPointF(12, 10), QPointF(21, 10));
    p.drawLine(QPointF(12, 14), QPointF(19, 14));
    return image;
}

QImage boardImage(int size) {
    QImage image = blank(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // Wooden frame, green slate, a chalk stroke and a chalk tray.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 100, 50));
    p.drawRoundedRect(QRectF(2, 6, 60, 50), 5, 5);
    p.setBrush(QColor(0, 128, 0));
    p.drawRect(QRectF(7, 11, 50, 40));
    QPainterPath chalk;
    chalk.moveTo(14, 24);
    chalk.cubicTo(22, 16, 30, 34, 38, 22);
    chalk.moveTo(26, 18);
    chalk.cubicTo(24, 30, 28, 40, 34, 42);
    chalk.moveTo(40, 30);
    chalk.lineTo(50, 30);
    chalk.moveTo(45, 25);
    chalk.lineTo(45, 43);
    p.setPen(QPen(QColor(245, 245, 235), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chalk);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 80, 40));
    p.drawRect(QRectF(10, 56, 44, 5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(16, 53, 10, 3));
    return image;
}

QIcon boardIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(QPixmap::fromImage(boardImage(size)));
    return icon;
}

}  // namespace sw::board
