#include "PlacesModel.h"

#include "ByteText.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <iterator>

void CPlacesModel::SetPlaces(const std::vector<CUsed>* pPlaces,
                             std::vector<std::string> sourceFolders) {
    beginResetModel();
    m_pPlaces = pPlaces;
    m_arrSourceFolders = std::move(sourceFolders);
    endResetModel();
}

const CUsed* CPlacesModel::PlaceAt(int nRow) const {
    if (m_pPlaces == nullptr || nRow < 0 || nRow >= static_cast<int>(m_pPlaces->size()))
        return nullptr;
    return &(*m_pPlaces)[static_cast<std::size_t>(nRow)];
}

std::string CPlacesModel::ShownFile(const std::string& file,
                                    const std::vector<std::string>& sourceFolders) {
    for (const std::string& folder : sourceFolders) {
        // The folder as a whole: "/src" holds "/src/a.c", not "/src2/a.c".
        if (!folder.empty() && file.starts_with(folder) && file.size() > folder.size() &&
            (folder.back() == '/' || file[folder.size()] == '/'))
            return "($source)" + file.substr(folder.size());
    }
    return file;
}

int CPlacesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || m_pPlaces == nullptr ? 0 : static_cast<int>(m_pPlaces->size());
}

int CPlacesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CPlacesModel::data(const QModelIndex& index, int role) const {
    const CUsed* pPlace = PlaceAt(index.row());
    if (pPlace == nullptr)
        return {};
    if (role == Qt::ToolTipRole && index.column() == kFile)
        return FromBytes(pPlace->m_strFile); // the whole path, where the cell elides it
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case kFile:
        return FromBytes(ShownFile(pPlace->m_strFile, m_arrSourceFolders));
    case kLineNumber:
        return QString::number(pPlace->m_nLine);
    case kKind:
        return FromBytes(UseKindName(pPlace->m_kind));
    default:
        return {};
    }
}

QVariant CPlacesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static constexpr int kTitles[] = {IDS_COL_FILE, IDS_COL_LINE_NUMBER, IDS_COL_KIND};
    static_assert(std::size(kTitles) == kColumnCount);
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return FromBytes(LoadString(kTitles[section]));
}
