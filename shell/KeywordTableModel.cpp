#include "KeywordTableModel.h"

#include "ByteText.h"
#include "ResourceIds.h"
#include "StringTable.h"

CKeywordTableModel::CKeywordTableModel(CKeywordArray& table, QObject* pParent)
    : QAbstractTableModel(pParent), m_table(table) {}

void CKeywordTableModel::Refresh() {
    beginResetModel();
    endResetModel();
}

void CKeywordTableModel::RefreshTicks() {
    if (!m_table.empty())
        emit dataChanged(createIndex(0, kMarked), createIndex(rowCount() - 1, kMarked),
                         {Qt::CheckStateRole});
}

CKeyword* CKeywordTableModel::KeywordAt(int nRow) const {
    if (nRow < 0 || nRow >= static_cast<int>(m_table.size()))
        return nullptr;
    return m_table[static_cast<std::size_t>(nRow)].get();
}

int CKeywordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_table.size());
}

int CKeywordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CKeywordTableModel::data(const QModelIndex& index, int role) const {
    const CKeyword* pKeyword = KeywordAt(index.row());
    if (pKeyword == nullptr)
        return {};
    if (role == Qt::CheckStateRole && index.column() == kMarked)
        return pKeyword->m_bMarked || pKeyword->m_bChecked ? Qt::Checked : Qt::Unchecked;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case kMarked:
        return pKeyword->m_bMarked ? QStringLiteral("*") : QString();
    case kLine:
        return QString::number(pKeyword->m_nLine);
    case kSymbol:
        return FromBytes(pKeyword->m_strSymbol);
    case kValue:
        return FromBytes(pKeyword->m_strValue);
    case kUsed:
        return QString::number(pKeyword->GetUsedCount());
    case kStatus:
        return FromBytes(KeywordStatusName(pKeyword->GetStatus())) +
               (pKeyword->HasDuplicate() ? QStringLiteral(", duplicate") : QString());
    default:
        return {};
    }
}

bool CKeywordTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || index.column() != kMarked ||
        KeywordAt(index.row()) == nullptr)
        return false;
    SetChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

void CKeywordTableModel::SetChecked(int nRow, bool bChecked) {
    CKeyword* pKeyword = KeywordAt(nRow);
    if (pKeyword == nullptr)
        return;
    // A marked keyword springs back to ticked.
    pKeyword->SetChecked(bChecked);
    // The model's own index(), not the C library's.
    // cppcheck-suppress indexCalled
    const QModelIndex cell = index(nRow, kMarked);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

Qt::ItemFlags CKeywordTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == kMarked)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant CKeywordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return FromBytes(LoadString(IDS_COL_MARKED + section));
}
