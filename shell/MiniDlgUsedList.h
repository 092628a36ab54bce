#pragma once

#include "Used.h"

#include <QWidget>
#include <vector>

class CPlacesModel;
class QMenu;
class QModelIndex;
class QPoint;
class QTableView;

// The panel of the used-list window: the places of use of the keyword
// selected last. A double-click on a place opens the editor there.
class CMiniDlgUsedList final : public QWidget {
    Q_OBJECT
public:
    explicit CMiniDlgUsedList(QWidget* pParent = nullptr);

    // Shows `pPlaces` (one keyword's m_listUsed; none empties the list) and
    // selects the first place.
    void FillPlaces(const std::vector<CUsed>* pPlaces);

    // The context menu of the place at `nRow`: open in the editor, copy
    // "FILE:LINE" with the whole path. The caller owns it.
    QMenu* MakeContextMenu(int nRow);

    QTableView* m_listPlaces;

private:
    void SetUpColumns();
    void OnDblClk(const QModelIndex& index);
    void OnContextMenu(const QPoint& pos);

    CPlacesModel* m_pModel;
};
