#pragma once

#include "Used.h"

#include <QAbstractTableModel>
#include <string>
#include <vector>

// The places of use of one keyword: file, line and kind. A file under one of the
// source folders is shown relative to it, after "($source)".
class CPlacesModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kFile, kLineNumber, kKind, kColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // Shows `pPlaces` (none: no rows), with paths shown relative to the
    // first of `sourceFolders` (in slot order) that each begins with.
    void SetPlaces(const std::vector<CUsed>* pPlaces, std::vector<std::string> sourceFolders);

    const CUsed* PlaceAt(int nRow) const;

    // The text of the File column for `file`. The folder is matched with its
    // letter case, as this platform's paths are.
    static std::string ShownFile(const std::string& file,
                                 const std::vector<std::string>& sourceFolders);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const std::vector<CUsed>* m_pPlaces = nullptr;
    std::vector<std::string> m_arrSourceFolders;
};
