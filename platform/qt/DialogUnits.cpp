#include "DialogUnits.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

QFont DialogFont(const QString& family, int pointSize) {
    QFont font = QApplication::font();
    if (QFontDatabase::hasFamily(family))
        font.setFamily(family);
    font.setPointSize(pointSize);
    return font;
}

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nBaseWidth = std::max(1, (letters / 26 + 1) / 2);
    m_nBaseHeight = std::max(1, metrics.height());
}

QRect CDialogUnits::ToPixels(int x, int y, int width, int height) const {
    return {ToPixelsX(x), ToPixelsY(y), ToPixelsX(width), ToPixelsY(height)};
}

QSize CDialogUnits::ToPixels(int width, int height) const {
    return {ToPixelsX(width), ToPixelsY(height)};
}
