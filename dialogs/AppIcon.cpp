#include "AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// A page of text lines with one line struck through and cut away.
QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(QPen(QColor(0x2e, 0x34, 0x40), 1.5));
    painter.setBrush(QColor(0xfa, 0xfa, 0xf5));
    painter.drawRoundedRect(QRectF(5, 2, 22, 28), 3, 3);
    painter.setPen(QPen(QColor(0x4c, 0x56, 0x6a), 2, Qt::SolidLine, Qt::RoundCap));
    for (int y : {9, 14, 24})
        painter.drawLine(QPointF(10, y), QPointF(22, y));
    painter.setPen(QPen(QColor(0xd0, 0x3a, 0x2f), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(8, 19), QPointF(25, 19));
    return pixmap;
}

} // namespace

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64, 128})
        icon.addPixmap(DrawIcon(size));
    return icon;
}
