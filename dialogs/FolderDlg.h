#pragma once

#include <QDialog>
#include <string>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTimer;
class QTreeView;

// A modal chooser of one folder of the file system. It starts with the initial
// folder selected and in view, or without one in the home folder with nothing
// selected, and shows the selection, shortened, under the title "Current
// Selection". OK stays disabled while nothing is selected.
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

    // Selects `path` in the tree, as a user would, and keeps it in view.
    void SetSelection(const std::string& path);

    std::string m_strInitialFolder;
    std::string m_strFolderPath;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void OnSelChanged();
    void ScrollToShown();

    QFileSystemModel* m_pModel;
    QTreeView* m_pTree;
    QLabel* m_pStatus;
    QTimer* m_pScroll; // to ScrollToShown once the model has settled
    QPushButton* m_pOk = nullptr;
    QString m_strShown; // the folder kept in view; empty once the user takes over
};
