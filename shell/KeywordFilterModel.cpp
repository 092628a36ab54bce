#include "KeywordFilterModel.h"

#include "ByteText.h"
#include "KeywordTableModel.h"

CKeywordFilterModel::CKeywordFilterModel(CKeywordTableModel& table, QObject* pParent)
    : QSortFilterProxyModel(pParent), m_table(table) {
    setSourceModel(&table);
    // A tick changes no status, so a changed cell needs no new filtering.
    setDynamicSortFilter(false);
}

void CKeywordFilterModel::SetFilter(const QString& text, KeywordFilter status) {
    if (text == m_strText && status == m_status)
        return;
    // A reset, not the rows removed and inserted one range at a time: on a
    // large table the view's header would do work for each range.
    beginResetModel();
    m_strText = text;
    m_status = status;
    endResetModel();
}

CKeyword* CKeywordFilterModel::KeywordAt(int nRow) const {
    if (nRow < 0 || nRow >= rowCount())
        return nullptr;
    // The model's own index(), not the C library's.
    // cppcheck-suppress indexCalled
    return m_table.KeywordAt(mapToSource(index(nRow, 0)).row());
}

bool CKeywordFilterModel::filterAcceptsRow(int nSourceRow,
                                           const QModelIndex& /*sourceParent*/) const {
    const CKeyword* pKeyword = m_table.KeywordAt(nSourceRow);
    if (pKeyword == nullptr || !MatchesFilter(*pKeyword, m_status))
        return false;
    return m_strText.isEmpty() ||
           FromBytes(pKeyword->m_strSymbol).contains(m_strText, Qt::CaseInsensitive) ||
           FromBytes(pKeyword->m_strValue).contains(m_strText, Qt::CaseInsensitive);
}
