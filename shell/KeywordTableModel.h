#pragma once

#include "Keyword.h"

#include <QAbstractTableModel>

// The keyword table as the list shows it: one row per keyword, in the table's
// order, served on demand. The check box of column 0 shows m_bMarked or
// m_bChecked; a marked keyword cannot be unticked. The titles' string ids
// follow the columns' order.
class CKeywordTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kMarked, kLine, kSymbol, kValue, kUsed, kStatus, kColumnCount };

    explicit CKeywordTableModel(CKeywordArray& table, QObject* pParent = nullptr);

    // Shows the table anew, after it was cleared, refilled or sorted.
    void Refresh();
    // Shows the ticks anew, after the table's were changed.
    void RefreshTicks();

    CKeyword* KeywordAt(int nRow) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Sets the row's check box as a click would; marked rows stay ticked.
    void SetChecked(int nRow, bool bChecked);

private:
    CKeywordArray& m_table;
};
