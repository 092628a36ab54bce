#pragma once

#include "Used.h"

#include <QWidget>
#include <vector>

class CPlacesModel;
class QModelIndex;
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

    QTableView* m_listPlaces;

private:
    void SetUpColumns();
    void OnDblClk(const QModelIndex& index);

    CPlacesModel* m_pModel;
};
