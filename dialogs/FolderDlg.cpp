#include "FolderDlg.h"

#include "ByteText.h"
#include "DialogUnits.h"

#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QVBoxLayout>
#include <utility>

std::string CxFolderDlg::ShortenPath(const std::string& path) {
    constexpr std::size_t kShown = 35;
    if (path.size() <= kShown)
        return path;
    std::string head;
    std::string rest = path;
    for (int k = 0; k < 2; ++k) {
        const auto slash = rest.find('/');
        if (slash == std::string::npos)
            break;
        head += rest.substr(0, slash + 1);
        rest.erase(0, slash + 1);
    }
    const std::size_t keep = head.size() < kShown ? kShown - head.size() : 0;
    if (rest.size() > keep)
        rest.erase(0, rest.size() - keep);
    const auto slash = rest.find('/');
    return slash == std::string::npos ? head + rest : head + "..." + rest.substr(slash);
}

CxFolderDlg::CxFolderDlg(std::string strInitialFolder, QWidget* pParent)
    : QDialog(pParent), m_strInitialFolder(std::move(strInitialFolder)),
      m_pModel(new QFileSystemModel(this)), m_pTree(new QTreeView), m_pStatus(new QLabel) {
    setWindowTitle(tr("Choose a Folder"));
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(new QLabel(QStringLiteral("Current Selection")));
    pLayout->addWidget(m_pStatus);
    m_pModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    m_pModel->setRootPath(QStringLiteral("/"));
    m_pTree->setModel(m_pModel);
    for (int column = 1; column < m_pModel->columnCount(); ++column)
        m_pTree->hideColumn(column);
    m_pTree->header()->hide();
    pLayout->addWidget(m_pTree);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    pLayout->addWidget(pButtons);
    connect(m_pTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CxFolderDlg::OnSelChanged);
    resize(CDialogUnits(font()).ToPixels(230, 220));
}

void CxFolderDlg::SetSelection(const std::string& path) {
    const QModelIndex index = m_pModel->index(FromBytes(path));
    if (index.isValid()) {
        m_pTree->setCurrentIndex(index);
        m_pTree->scrollTo(index);
    }
}

void CxFolderDlg::OnSelChanged() {
    m_strFolderPath = ToBytes(m_pModel->filePath(m_pTree->currentIndex()));
    m_pStatus->setText(FromBytes(ShortenPath(m_strFolderPath)));
}

int CxFolderDlg::DoModal() {
    m_strFolderPath = m_strInitialFolder;
    m_pStatus->setText(FromBytes(ShortenPath(m_strInitialFolder)));
    SetSelection(m_strInitialFolder);
    const int result = exec();
    return result == QDialog::Accepted && !m_strFolderPath.empty() ? QDialog::Accepted
                                                                   : QDialog::Rejected;
}
