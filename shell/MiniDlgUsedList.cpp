#include "MiniDlgUsedList.h"

#include "ByteText.h"
#include "DialogUnits.h"
#include "EditorLaunch.h"
#include "GlossCutterOptions.h"
#include "PlacesModel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <algorithm>
#include <iterator>
#include <memory>

CMiniDlgUsedList::CMiniDlgUsedList(QWidget* pParent)
    : QWidget(pParent), m_listPlaces(new QTableView(this)), m_pModel(new CPlacesModel(this)) {
    setFont(DialogFont(QStringLiteral("Comic Sans MS"), 8));
    const CDialogUnits dlu(font());
    setFixedSize(dlu.ToPixels(259, 105));
    m_listPlaces->setGeometry(dlu.ToPixels(7, 7, 245, 91));
    m_listPlaces->setModel(m_pModel);
    m_listPlaces->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listPlaces->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listPlaces->setShowGrid(true);
    m_listPlaces->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listPlaces->verticalHeader()->hide();
    m_listPlaces->setWordWrap(false);
    m_listPlaces->setTextElideMode(Qt::ElideMiddle); // the file name stays in view
    SetUpColumns();
    connect(m_listPlaces, &QTableView::doubleClicked, this, &CMiniDlgUsedList::OnDblClk);
    m_listPlaces->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_listPlaces, &QWidget::customContextMenuRequested, this,
            &CMiniDlgUsedList::OnContextMenu);
}

QMenu* CMiniDlgUsedList::MakeContextMenu(int nRow) {
    auto* pMenu = new QMenu(this);
    const CUsed* pPlace = m_pModel->PlaceAt(nRow);
    if (pPlace == nullptr)
        return pMenu;
    const std::string file = pPlace->m_strFile;
    const int nLine = pPlace->m_nLine;
    pMenu->addAction(tr("Open in editor"), this,
                     [=] { OpenInEditor(file, static_cast<unsigned>(nLine)); });
    pMenu->addAction(tr("Copy file:line"), this, [=] {
        QGuiApplication::clipboard()->setText(FromBytes(file + ':' + std::to_string(nLine)));
    });
    return pMenu;
}

void CMiniDlgUsedList::OnContextMenu(const QPoint& pos) {
    const QModelIndex index = m_listPlaces->indexAt(pos);
    if (!index.isValid())
        return;
    m_listPlaces->setCurrentIndex(index);
    const std::unique_ptr<QMenu> pMenu(MakeContextMenu(index.row()));
    pMenu->exec(m_listPlaces->viewport()->mapToGlobal(pos));
}

void CMiniDlgUsedList::SetUpColumns() {
    QHeaderView* pHeader = m_listPlaces->horizontalHeader();
    pHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The selected place's row spans every column: highlighting would set all titles in bold.
    pHeader->setHighlightSections(false);
    static constexpr int kWidths[] = {250, 80, 70};
    static_assert(std::size(kWidths) == CPlacesModel::kColumnCount);
    // Never narrower than its title: the stand-in for the panel's font may run wider.
    for (int column = 0; column < CPlacesModel::kColumnCount; ++column)
        m_listPlaces->setColumnWidth(column,
                                     std::max(kWidths[column], pHeader->sectionSizeHint(column)));
    m_listPlaces->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

void CMiniDlgUsedList::FillPlaces(const std::vector<CUsed>* pPlaces) {
    std::vector<std::string> folders;
    if (pPlaces != nullptr) {
        const CLoadSettings settings = theOptions.GetLoadSettings();
        folders.assign(settings.m_arrSourceFolders.begin(), settings.m_arrSourceFolders.end());
    }
    m_pModel->SetPlaces(pPlaces, std::move(folders));
    if (m_pModel->rowCount() > 0)
        m_listPlaces->setCurrentIndex(m_pModel->index(0, 0));
}

void CMiniDlgUsedList::OnDblClk(const QModelIndex& index) {
    if (const CUsed* pPlace = m_pModel->PlaceAt(index.row()))
        OpenInEditor(pPlace->m_strFile, static_cast<unsigned>(pPlace->m_nLine));
}
