#include "MiniDialog.h"

#include <QCloseEvent>
#include <QMoveEvent>
#include <QScreen>

CMiniDialog::CMiniDialog(QWidget* pOwner, QWidget* pDialog, const QString& title)
    : QWidget(pOwner,
              Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      m_pOwner(pOwner), m_pDialog(pDialog) {
    setWindowTitle(title);
    m_pDialog->setParent(this);
    m_pDialog->move(0, 0);
    m_pDialog->show();
    setFixedSize(m_pDialog->size());
    PlaceAtBottomRight();
}

void CMiniDialog::PlaceAtBottomRight() {
    const QScreen* pScreen = m_pOwner != nullptr ? m_pOwner->screen() : screen();
    if (pScreen == nullptr)
        return;
    // The window's outer edges touch the screen's right and bottom edges.
    const QRect desktop = pScreen->geometry();
    const QSize outer = frameGeometry().size();
    move(desktop.right() + 1 - outer.width(), desktop.bottom() + 1 - outer.height());
}

void CMiniDialog::Show(bool bVisible) {
    m_bVisible = bVisible;
    if (bVisible) {
        show();
        raise();
        activateWindow();
    } else {
        hide();
    }
    emit VisibilityChanged(bVisible);
}

void CMiniDialog::closeEvent(QCloseEvent* pEvent) {
    pEvent->ignore();
    Show(false);
}

void CMiniDialog::moveEvent(QMoveEvent* pEvent) {
    QWidget::moveEvent(pEvent);
    // The frame's size is known only once the window manager has framed the
    // window; then the placement is made again with it.
    if (!m_bFramed && frameGeometry().size() != size()) {
        m_bFramed = true;
        PlaceAtBottomRight();
    }
}
