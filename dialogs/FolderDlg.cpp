#include "FolderDlg.h"

#include "ByteText.h"
#include "DialogUnits.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
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
      m_pModel(new QFileSystemModel(this)), m_pTree(new QTreeView), m_pStatus(new QLabel),
      m_pScroll(new QTimer(this)) {
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
    m_pOk = pButtons->button(QDialogButtonBox::Ok);
    m_pOk->setEnabled(false); // and Enter does nothing: no folder is picked yet
    connect(m_pTree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CxFolderDlg::OnSelChanged);

    // The model reads folders in the background, and each one read, then sorted,
    // moves the rows below it: the folder shown is scrolled to again until the
    // user takes over the tree.
    m_pScroll->setSingleShot(true);
    m_pScroll->setInterval(0);
    connect(m_pScroll, &QTimer::timeout, this, &CxFolderDlg::ScrollToShown);
    connect(m_pModel, &QFileSystemModel::directoryLoaded, this, [this](const QString& folder) {
        if (m_strShown.startsWith(folder.endsWith('/') ? folder : folder + '/'))
            m_pScroll->start();
    });
    connect(m_pModel, &QAbstractItemModel::layoutChanged, this, [this] {
        if (!m_strShown.isEmpty())
            m_pScroll->start();
    });
    for (QWidget* pWidget : {static_cast<QWidget*>(m_pTree), m_pTree->viewport(),
                             static_cast<QWidget*>(m_pTree->verticalScrollBar())})
        pWidget->installEventFilter(this);
    resize(CDialogUnits(font()).ToPixels(230, 220));
}

void CxFolderDlg::SetSelection(const std::string& path) {
    const QModelIndex index = m_pModel->index(FromBytes(path));
    if (!index.isValid())
        return;
    m_strShown = m_pModel->filePath(index);
    m_pTree->setCurrentIndex(index);
    m_pScroll->start();
}

void CxFolderDlg::ScrollToShown() {
    if (m_strShown.isEmpty())
        return;
    const QModelIndex index = m_pModel->index(m_strShown);
    if (index.isValid())
        m_pTree->scrollTo(index, QAbstractItemView::PositionAtCenter); // expands its ancestors
}

bool CxFolderDlg::eventFilter(QObject* pWatched, QEvent* pEvent) {
    const QEvent::Type type = pEvent->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::Wheel || type == QEvent::KeyPress)
        m_strShown.clear(); // the user's turn: the tree stays where the user puts it
    return QDialog::eventFilter(pWatched, pEvent);
}

void CxFolderDlg::OnSelChanged() {
    const QModelIndexList rows = m_pTree->selectionModel()->selectedRows();
    const QString path = rows.isEmpty() ? QString() : m_pModel->filePath(rows.front());
    m_strFolderPath = ToBytes(path);
    m_pStatus->setText(FromBytes(ShortenPath(m_strFolderPath)));
    m_pOk->setEnabled(!path.isEmpty());
}

int CxFolderDlg::DoModal() {
    SetSelection(m_strInitialFolder);
    if (m_strFolderPath.empty()) {
        // Home is where a user looks first; shown, not picked. No current item
        // either, which the tree would otherwise make of "/" once it has focus.
        m_pTree->setCurrentIndex(QModelIndex());
        m_strShown = QDir::homePath();
        m_pScroll->start();
    }
    const int result = exec();
    return result == QDialog::Accepted && !m_strFolderPath.empty() ? QDialog::Accepted
                                                                   : QDialog::Rejected;
}
