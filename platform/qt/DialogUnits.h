#pragma once

#include <QFont>
#include <QRect>

class QString;

// The dialog font `family` at `pointSize`, or the desktop's own font at that
// size when this system lacks the family (rather than whatever look-alike
// the font matcher would substitute).
QFont DialogFont(const QString& family, int pointSize);

// Dialog layouts are given in dialog units: a quarter of the dialog font's
// average character width horizontally, an eighth of its height vertically.
class CDialogUnits final {
public:
    explicit CDialogUnits(const QFont& font);

    int ToPixelsX(int x) const { return x * m_nBaseWidth / 4; }
    int ToPixelsY(int y) const { return y * m_nBaseHeight / 8; }
    QRect ToPixels(int x, int y, int width, int height) const;
    QSize ToPixels(int width, int height) const;

private:
    int m_nBaseWidth;  // average width of the 52 Latin letters, rounded
    int m_nBaseHeight; // the font's height
};
