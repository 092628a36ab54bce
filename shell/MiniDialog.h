#pragma once

#include <QWidget>

// A small floating tool window that hosts one panel and is exactly as large
// as the panel. Closing it only hides it.
class CMiniDialog final : public QWidget {
    Q_OBJECT
public:
    CMiniDialog(QWidget* pOwner, QWidget* pDialog, const QString& title);

    // Shows or hides the window and remembers which.
    void Show(bool bVisible);

    QWidget* m_pOwner;
    QWidget* m_pDialog; // owned, as a child
    bool m_bVisible = true;

signals:
    void VisibilityChanged(bool bVisible);

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void moveEvent(QMoveEvent* pEvent) override;

private:
    void PlaceAtBottomRight();

    bool m_bFramed = false; // placed again once the window manager has framed it
};
