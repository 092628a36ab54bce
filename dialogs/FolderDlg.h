#pragma once

#include <QDialog>
#include <string>

class QFileSystemModel;
class QLabel;
class QTreeView;

// A modal chooser of one folder of the file system. It starts at the initial
// folder and shows the current selection, shortened, under the title
// "Current Selection".
class CxFolderDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CxFolderDlg(std::string strInitialFolder = {}, QWidget* pParent = nullptr);

    // QDialog::Accepted only for a confirmed folder of the file system.
    int DoModal();
    std::string GetFolderPath() const { return m_strFolderPath; }

    // The path with its first two components, "..." and as many whole
    // trailing components as fit in 35 characters; a path of at most 35
    // characters stays as it is, and a last component too long to fit is cut
    // from its left.
    static std::string ShortenPath(const std::string& path);

    // Selects `path` in the tree, as a user would.
    void SetSelection(const std::string& path);

    std::string m_strInitialFolder;
    std::string m_strFolderPath;

private:
    void OnSelChanged();

    QFileSystemModel* m_pModel;
    QTreeView* m_pTree;
    QLabel* m_pStatus;
};
