#pragma once

#include "Keyword.h"

#include <QSortFilterProxyModel>
#include <QString>

class CKeywordTableModel;

// The rows of the keyword list that a filter leaves: those whose symbol or
// value contains a text, without regard to case, and whose status the status
// selector names. The rows keep the table's order; sorting and ticks act on the
// table itself.
class CKeywordFilterModel final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit CKeywordFilterModel(CKeywordTableModel& table, QObject* pParent = nullptr);

    void SetFilter(const QString& text, KeywordFilter status);
    bool IsFiltering() const { return !m_strText.isEmpty() || m_status != KeywordFilter::All; }

    // The keyword of a shown row, or null.
    CKeyword* KeywordAt(int nRow) const;

protected:
    bool filterAcceptsRow(int nSourceRow, const QModelIndex& sourceParent) const override;

private:
    CKeywordTableModel& m_table;
    QString m_strText;
    KeywordFilter m_status = KeywordFilter::All;
};
