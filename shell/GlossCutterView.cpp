#include "GlossCutterView.h"

#include "AutoCheck.h"
#include "ByteText.h"
#include "DialogUnits.h"
#include "EditorLaunch.h"
#include "GlossCutterDoc.h"
#include "GlossCutterOptions.h"
#include "KeywordFilterModel.h"
#include "KeywordTableModel.h"
#include "LoadRelay.h"
#include "MiniDlgUsedList.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

// The view hands a press on a check box to the delegate, which takes it, so the
// view would neither select the row nor make it current: this passes it on.
class CCheckBoxDelegate final : public QStyledItemDelegate {
public:
    using OnPress = std::function<void(const QModelIndex&, Qt::KeyboardModifiers)>;
    CCheckBoxDelegate(OnPress onPress, QObject* pParent)
        : QStyledItemDelegate(pParent), m_onPress(std::move(onPress)) {}

    bool editorEvent(QEvent* pEvent, QAbstractItemModel* pModel, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        const bool bTaken = QStyledItemDelegate::editorEvent(pEvent, pModel, option, index);
        const auto* pMouse = dynamic_cast<const QMouseEvent*>(pEvent);
        if (bTaken && pMouse != nullptr && pMouse->type() == QEvent::MouseButtonPress)
            m_onPress(index, pMouse->modifiers());
        return bTaken;
    }

private:
    OnPress m_onPress;
};

// The document's title at rest: the first line of the document string.
QString RestingTitle() {
    const std::string_view document = LoadString(IDR_MAINFRAME);
    return FromBytes(document.substr(0, document.find('\n')));
}

// The sort key of a column, 0 for the columns that do not sort.
int SortKeyOf(int nColumn) {
    switch (nColumn) {
    case CKeywordTableModel::kLine:
        return SORT_BY_LINE;
    case CKeywordTableModel::kSymbol:
        return SORT_BY_SYMBOL;
    case CKeywordTableModel::kUsed:
        return SORT_BY_USED;
    default:
        return 0;
    }
}

} // namespace

CGlossCutterView::CGlossCutterView(CGlossCutterDoc& doc, QWidget* pParent)
    : QScrollArea(pParent), m_doc(doc), m_pForm(new QWidget),
      m_pModel(new CKeywordTableModel(doc.m_arrKeywords, this)),
      m_pFilter(new CKeywordFilterModel(*m_pModel, this)), m_pPollTimer(new QTimer(this)) {
    // The form: its template size is the smallest the view lays out; below
    // that the view scrolls.
    const CDialogUnits dlu(font());
    m_pForm->setMinimumSize(dlu.ToPixels(474, 293));
    m_pForm->resize(m_pForm->minimumSize());
    m_listKeywords = new QTableView(m_pForm);
    m_listKeywords->setGeometry(dlu.ToPixels(7, 25, 460, 261));
    m_listKeywords->setModel(m_pFilter);
    SetUpFilter(dlu.ToPixels(7, 7, 370, 14), dlu.ToPixels(381, 7, 86, 14));
    setWidget(m_pForm);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus); // Tab goes from the filter to the list, not to the form
    m_pForm->installEventFilter(this);

    connect(m_listKeywords->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CGlossCutterView::OnColumnClick);
    m_listKeywords->setItemDelegate(new CCheckBoxDelegate(
        [this](const QModelIndex& index, Qt::KeyboardModifiers modifiers) {
            OnCheckBoxPressed(index, modifiers);
        },
        this));
    const QItemSelectionModel* pSelection = m_listKeywords->selectionModel();
    connect(pSelection, &QItemSelectionModel::selectionChanged, this,
            &CGlossCutterView::OnSelectionChanged);
    connect(pSelection, &QItemSelectionModel::currentChanged, this,
            &CGlossCutterView::OnSelectionChanged);
    // A double-click opens the current keyword, which its first click has set,
    // also on a check box; off the rows, the keyword selected last.
    m_listKeywords->viewport()->installEventFilter(this);
    m_listKeywords->installEventFilter(this);
    m_listKeywords->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_listKeywords, &QWidget::customContextMenuRequested, this,
            &CGlossCutterView::OnContextMenu);
    m_pPollTimer->setInterval(150);
    connect(m_pPollTimer, &QTimer::timeout, this, &CGlossCutterView::PollLoad);
}

CGlossCutterView::~CGlossCutterView() {
    if (m_pLoadThread != nullptr) {
        m_pRelay->Cancel();
        m_pLoadThread->wait();
        m_doc.SetProgress(nullptr);
    }
    ReleaseLayout();
}

QSize CGlossCutterView::sizeHint() const {
    const int frame = 2 * frameWidth();
    return m_pForm->minimumSize() + QSize(frame, frame);
}

void CGlossCutterView::OnInitialUpdate() {
    emit TitleChanged(RestingTitle());
    SetUpColumns();
    InitLayout(m_pForm);
    AddSizedControl(m_editFilter, 0, 100, 0, 0);
    AddSizedControl(m_comboStatus, 100, 100, 0, 0);
    AddSizedControl(m_listKeywords, 0, 100, 0, 100);
    m_listKeywords->setFocus();
}

void CGlossCutterView::SetUpFilter(const QRect& textRect, const QRect& statusRect) {
    m_editFilter = new QLineEdit(m_pForm);
    m_editFilter->setGeometry(textRect);
    m_editFilter->setPlaceholderText(tr("Filter symbols and values (Ctrl+F)"));
    m_editFilter->setClearButtonEnabled(true);
    m_editFilter->installEventFilter(this);
    m_comboStatus = new QComboBox(m_pForm);
    m_comboStatus->setGeometry(statusRect);
    const std::pair<QString, KeywordFilter> statuses[] = {
        {tr("All"), KeywordFilter::All},
        {tr("Unused"), KeywordFilter::Unused},
        {tr("Mentioned only"), KeywordFilter::Mentioned},
        {tr("Used"), KeywordFilter::Used},
        {tr("Kept"), KeywordFilter::Kept},
        {tr("Marked"), KeywordFilter::Marked},
        {tr("Duplicates"), KeywordFilter::Duplicates}};
    for (const auto& [text, status] : statuses)
        m_comboStatus->addItem(text, static_cast<int>(status));
    QWidget::setTabOrder(m_editFilter, m_comboStatus);
    QWidget::setTabOrder(m_comboStatus, m_listKeywords);
    connect(m_editFilter, &QLineEdit::textChanged, this, &CGlossCutterView::OnFilterChanged);
    connect(m_comboStatus, &QComboBox::currentIndexChanged, this,
            &CGlossCutterView::OnFilterChanged);

    auto* pFind = new QAction(this);
    pFind->setShortcut(QKeySequence::Find);
    connect(pFind, &QAction::triggered, this, [this] {
        m_editFilter->setFocus(Qt::ShortcutFocusReason);
        m_editFilter->selectAll();
    });
    addAction(pFind);
}

void CGlossCutterView::OnFilterChanged() {
    const CKeyword* pCurrent = m_pFilter->KeywordAt(m_listKeywords->currentIndex().row());
    m_pFilter->SetFilter(m_editFilter->text(),
                         static_cast<KeywordFilter>(m_comboStatus->currentData().toInt()));
    // The current keyword stays current and selected while it is shown;
    // otherwise the first shown one is.
    int nRow = m_pFilter->rowCount() - 1;
    while (nRow >= 0 && m_pFilter->KeywordAt(nRow) != pCurrent)
        --nRow;
    if (pCurrent == nullptr || nRow < 0) {
        SelectFirstRow();
        return;
    }
    const QModelIndex current = m_pFilter->index(nRow, 0);
    m_listKeywords->selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect |
                                                                   QItemSelectionModel::Rows);
    m_listKeywords->scrollTo(current);
}

void CGlossCutterView::SelectFirstRow() {
    if (m_pFilter->rowCount() > 0) {
        m_listKeywords->selectionModel()->setCurrentIndex(m_pFilter->index(0, 0),
                                                          QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
        return;
    }
    if (m_pUsedList != nullptr)
        m_pUsedList->FillPlaces(nullptr);
    m_doc.SetCurrentKeyword(nullptr);
}

void CGlossCutterView::SetUpColumns() {
    static constexpr int kWidths[] = {50, 50, 250, 250, 60, 130};
    static_assert(std::size(kWidths) == CKeywordTableModel::kColumnCount);
    QHeaderView* pHeader = m_listKeywords->horizontalHeader();
    pHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pHeader->setSectionsClickable(true);
    pHeader->setHighlightSections(false);
    pHeader->setSortIndicatorShown(true);
    for (int column = 0; column < static_cast<int>(std::size(kWidths)); ++column)
        m_listKeywords->setColumnWidth(column, kWidths[column]);
    m_listKeywords->verticalHeader()->hide();
    m_listKeywords->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_listKeywords->setShowGrid(true);
    m_listKeywords->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listKeywords->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listKeywords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listKeywords->setWordWrap(false);
}

bool CGlossCutterView::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pWatched == m_pForm && pEvent->type() == QEvent::Resize)
        OnParentSize(0, m_pForm->width(), m_pForm->height());
    else if (pWatched == m_listKeywords->viewport() &&
             pEvent->type() == QEvent::MouseButtonDblClick)
        OnDblClk();
    else if (pWatched == m_listKeywords)
        return OnListEvent(*pEvent);
    else if (const auto* pKey = dynamic_cast<const QKeyEvent*>(pEvent);
             pWatched == m_editFilter && pKey != nullptr && pKey->type() == QEvent::KeyPress &&
             pKey->key() == Qt::Key_Escape && !m_editFilter->text().isEmpty()) {
        m_editFilter->clear();
        return true;
    }
    return QScrollArea::eventFilter(pWatched, pEvent);
}

bool CGlossCutterView::OnListEvent(const QEvent& event) {
    if (const auto* pKey = dynamic_cast<const QKeyEvent*>(&event);
        pKey != nullptr && pKey->type() == QEvent::KeyPress)
        return OnListKey(*pKey);
    if (const auto* pMenu = dynamic_cast<const QContextMenuEvent*>(&event);
        pMenu != nullptr && pMenu->reason() == QContextMenuEvent::Keyboard) {
        // The menu key acts on the current row, wherever the pointer is.
        OnContextMenu(m_listKeywords->visualRect(m_listKeywords->currentIndex()).center());
        return true;
    }
    return false;
}

bool CGlossCutterView::OnListKey(const QKeyEvent& event) {
    if (event.modifiers() != Qt::NoModifier && event.modifiers() != Qt::KeypadModifier)
        return false;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OnDblClk(); // as a double-click does
        return true;
    case Qt::Key_Space:
        TickSelected();
        return true;
    default:
        return false;
    }
}

void CGlossCutterView::TickSelected() {
    if (IsLoading())
        return;
    // The current row decides, so that Space twice gives back what was there.
    const CKeyword* pCurrent = m_pFilter->KeywordAt(m_listKeywords->currentIndex().row());
    const bool bTick = pCurrent == nullptr || !pCurrent->m_bChecked;
    for (const QModelIndex& index : m_listKeywords->selectionModel()->selectedRows())
        if (CKeyword* pKeyword = m_pFilter->KeywordAt(index.row()))
            pKeyword->SetChecked(bTick); // a marked keyword keeps its tick
    m_pModel->RefreshTicks();
}

void CGlossCutterView::Reload() {
    if (IsLoading())
        return;
    emit TitleChanged(QStringLiteral("Loading..."));
    // The list stays empty until the load is over; the load fills a table of
    // its own on the worker thread.
    if (m_pUsedList != nullptr)
        m_pUsedList->FillPlaces(nullptr);
    m_doc.ClearKeywords();
    m_pModel->Refresh();

    m_pRelay = std::make_unique<CLoadRelay>();
    m_pLoad = std::make_unique<CKeywordLoad>();
    m_doc.SetProgress(m_pRelay.get());
    m_pLoadThread = QThread::create([this, settings = theOptions.GetLoadSettings(),
                                     pLoad = m_pLoad.get()] { *pLoad = m_doc.RunLoad(settings); });
    connect(m_pLoadThread, &QThread::finished, this, &CGlossCutterView::OnLoadFinished);
    setCursor(Qt::BusyCursor);
    emit LoadStarted();
    m_pPollTimer->start();
    m_pLoadThread->start();
}

void CGlossCutterView::CancelLoad() {
    if (m_pRelay == nullptr || m_pRelay->IsCancelled())
        return;
    m_pRelay->Cancel();
    // Said at once: the worker may be inside a large file's read piece.
    emit StatusText(QStringLiteral("Cancelling..."));
    emit CancelRequested();
}

void CGlossCutterView::PollLoad() {
    // Once cancelled, "Cancelling..." stays until the load ends.
    if (m_pRelay == nullptr || m_pRelay->IsCancelled())
        return;
    if (const std::string text = m_pRelay->TakeStatusText(); !text.empty())
        emit StatusText(FromBytes(text));
    if (m_pRelay->GetTotal() > 0)
        emit FileProgress(static_cast<qint64>(m_pRelay->GetDone()),
                          static_cast<qint64>(m_pRelay->GetTotal()));
}

void CGlossCutterView::OnLoadFinished() {
    m_pPollTimer->stop();
    m_pLoadThread->deleteLater();
    m_pLoadThread = nullptr;
    m_doc.SetProgress(nullptr);
    m_pRelay.reset();
    const bool bCompleted = m_doc.AdoptLoad(std::move(*m_pLoad));
    m_pLoad.reset();

    if (bCompleted) {
        FillList(CKeywordTableModel::kLine); // in the current direction
        emit StatusText(FromBytes(LoadString(AFX_IDS_IDLEMESSAGE)));
    } else {
        m_pModel->Refresh();
        emit StatusText(QStringLiteral("Load cancelled"));
    }
    emit TitleChanged(RestingTitle());
    unsetCursor();
    emit LoadFinished(bCompleted);
}

void CGlossCutterView::FillList(int nColumn) {
    const int nKey = SortKeyOf(nColumn);
    if (nKey == 0 || IsLoading())
        return;
    m_doc.SortKeywords(nKey, m_bSortAscending);
    m_pModel->Refresh();
    m_nSortedColumn = nColumn;
    m_bSortedAscending = m_bSortAscending;
    ShowSortIndicator();
    SelectFirstRow();
}

void CGlossCutterView::OnColumnClick(int nColumn) {
    if (IsLoading())
        return;
    if (nColumn == m_nSortColumn)
        m_bSortAscending = !m_bSortAscending;
    m_nSortColumn = nColumn;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    emit TitleChanged(FromBytes(LoadString(IDS_SORTING)));
    FillList(nColumn);
    // The header turns its indicator on any click; it shows the sort there is.
    ShowSortIndicator();
    emit TitleChanged(RestingTitle());
    QApplication::restoreOverrideCursor();
}

QMenu* CGlossCutterView::MakeContextMenu(int nRow) {
    auto* pMenu = new QMenu(this);
    const CKeyword* pKeyword = m_pFilter->KeywordAt(nRow);
    if (pKeyword == nullptr)
        return pMenu;
    const auto copy = [](const std::string& text) {
        QGuiApplication::clipboard()->setText(FromBytes(text));
    };
    pMenu->addAction(tr("Open in editor"), this, &CGlossCutterView::OnDblClk);
    pMenu->addAction(tr("Copy symbol"), this, [=] { copy(pKeyword->m_strSymbol); });
    pMenu->addAction(tr("Copy value"), this, [=] { copy(pKeyword->m_strValue); });
    pMenu->addAction(tr("Show uses"), this, &CGlossCutterView::ShowUsesRequested);
    return pMenu;
}

void CGlossCutterView::OnContextMenu(const QPoint& pos) {
    const QModelIndex index = m_listKeywords->indexAt(pos);
    if (IsLoading() || !index.isValid())
        return;
    // The menu acts on the row under the pointer, which becomes the current one.
    QItemSelectionModel* pSelection = m_listKeywords->selectionModel();
    if (!pSelection->isRowSelected(index.row()))
        pSelection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                               QItemSelectionModel::Rows);
    else
        pSelection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    const std::unique_ptr<QMenu> pMenu(MakeContextMenu(index.row()));
    pMenu->exec(m_listKeywords->viewport()->mapToGlobal(pos));
}

void CGlossCutterView::ShowSortIndicator() const {
    m_listKeywords->horizontalHeader()->setSortIndicator(
        m_nSortedColumn, m_bSortedAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CGlossCutterView::OnSelectionChanged() {
    // The row acted on last is the current one, also when a range is selected at once.
    // When a Ctrl+click unselected it, the highest row still selected counts.
    const QItemSelectionModel* pSelection = m_listKeywords->selectionModel();
    int nRow = pSelection->currentIndex().row();
    if (!pSelection->isSelected(pSelection->currentIndex())) {
        nRow = -1;
        for (const QItemSelectionRange& range : pSelection->selection())
            nRow = std::max(nRow, range.bottom());
    }
    // With nothing selected the keyword selected last stays current, so that a
    // double-click below the last row still opens it.
    CKeyword* pKeyword = m_pFilter->KeywordAt(nRow);
    if (pKeyword == nullptr)
        return;
    if (m_pUsedList != nullptr)
        m_pUsedList->FillPlaces(&pKeyword->m_listUsed);
    m_doc.SetCurrentKeyword(pKeyword);
}

void CGlossCutterView::OnCheckBoxPressed(const QModelIndex& index,
                                         Qt::KeyboardModifiers modifiers) const {
    // As a click on the row would: Ctrl adds it, a selected row keeps the rest.
    QItemSelectionModel* pSelection = m_listKeywords->selectionModel();
    const bool bKeep =
        modifiers.testFlag(Qt::ControlModifier) || pSelection->isRowSelected(index.row());
    pSelection->setCurrentIndex(
        index, (bKeep ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect) |
                   QItemSelectionModel::Rows);
}

void CGlossCutterView::OnDblClk() {
    const CKeyword* pKeyword = IsLoading() ? nullptr : m_doc.GetCurrentKeyword();
    if (pKeyword == nullptr)
        return;
    OpenInEditor(theOptions.GetResolvedKeywordFile(), static_cast<unsigned>(pKeyword->m_nLine));
}

void CGlossCutterView::AutoCheck() {
    if (IsLoading())
        return;
    const std::size_t nTicked = ::AutoCheck(m_doc.m_arrKeywords);
    m_pModel->RefreshTicks();
    emit StatusText(QStringLiteral("Auto check ticked %1 keywords").arg(nTicked));
}
