#include "MainFrame.h"

#include "AppIcon.h"
#include "AutoCheck.h"
#include "ByteText.h"
#include "CommandTable.h"
#include "DlgOptions.h"
#include "GlossCutterDoc.h"
#include "GlossCutterOptions.h"
#include "GlossCutterView.h"
#include "KeyboardLocks.h"
#include "KeywordTableModel.h"
#include "MiniDialog.h"
#include "MiniDlgUsedList.h"
#include "Questions.h"
#include "ResourceIds.h"
#include "StringTable.h"
#include "Wipe.h"

#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

CMainFrame::CMainFrame(CGlossCutterView* pView) : m_pView(pView) {
    setCentralWidget(m_pView);
    setWindowIcon(AppIcon());
    for (const CCommand& command : Commands())
        addAction(CreateCommandAction(command.m_nId, this));
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateUsedListWindow();
    m_pView->SetUsedList(m_pUsedList);

    connect(m_pView, &CGlossCutterView::TitleChanged, this, &CMainFrame::SetDocumentTitle);
    connect(m_pView, &CGlossCutterView::StatusText, this, &CMainFrame::SetMessageText);
    connect(m_pView, &CGlossCutterView::FileProgress, this, &CMainFrame::OnFileProgress);
    connect(m_pView, &CGlossCutterView::LoadStarted, this, &CMainFrame::OnLoadStarted);
    connect(m_pView, &CGlossCutterView::ShowUsesRequested, this,
            [this] { m_pUsedListWnd->Show(true); });
    connect(m_pView, &CGlossCutterView::LoadFinished, this, &CMainFrame::OnLoadFinished);
    connect(m_pView->GetModel(), &QAbstractItemModel::modelReset, this,
            &CMainFrame::UpdateCommands);
    UpdateCommands();
}

QAction* CMainFrame::Action(int nId) const {
    for (QAction* pAction : actions()) {
        if (pAction->data().toInt() == nId)
            return pAction;
    }
    return nullptr;
}

void CMainFrame::CreateMenus() {
    QMenu* pFile = menuBar()->addMenu(tr("&File"));
    pFile->addAction(Action(ID_APP_EXIT));
    QMenu* pView = menuBar()->addMenu(tr("&View"));
    pView->addAction(Action(ID_VIEW_TOOLBAR));
    pView->addAction(Action(ID_VIEW_STATUS_BAR));
    pView->addSeparator();
    pView->addAction(Action(ID_VIEW_USED));
    pView->addSeparator();
    pView->addAction(Action(ID_RELOAD));
    pView->addSeparator();
    pView->addAction(Action(ID_OPTIONS));
    QMenu* pTools = menuBar()->addMenu(tr("Tools"));
    pTools->addAction(Action(ID_AUTO_CHECK));
    pTools->addAction(Action(ID_WIPE));
    QMenu* pHelp = menuBar()->addMenu(tr("&Help"));
    pHelp->addAction(Action(ID_APP_ABOUT));

    Action(ID_VIEW_USED)->setCheckable(true);
    for (const int nId : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        Action(nId)->setCheckable(true);
        Action(nId)->setChecked(true);
    }
    connect(Action(ID_APP_EXIT), &QAction::triggered, this, &QWidget::close);
    connect(Action(ID_VIEW_USED), &QAction::triggered, this, &CMainFrame::OnViewUsed);
    connect(Action(ID_RELOAD), &QAction::triggered, this, &CMainFrame::OnReload);
    connect(Action(ID_AUTO_CHECK), &QAction::triggered, this, &CMainFrame::OnAutoCheck);
    connect(Action(ID_OPTIONS), &QAction::triggered, this, &CMainFrame::OnOptions);
    connect(Action(ID_WIPE), &QAction::triggered, this, &CMainFrame::OnWipe);
    connect(Action(ID_APP_ABOUT), &QAction::triggered, this, &CMainFrame::AboutRequested);
}

void CMainFrame::CreateToolBar() {
    m_pToolBar = addToolBar(tr("Toolbar"));
    m_pToolBar->setObjectName(QStringLiteral("Toolbar"));
    m_pToolBar->setMovable(true);
    m_pToolBar->setFloatable(true);
    for (const int nId :
         {ID_RELOAD, ID_VIEW_USED, ID_OPTIONS, 0, ID_AUTO_CHECK, ID_WIPE, 0, ID_APP_ABOUT}) {
        if (nId == 0)
            m_pToolBar->addSeparator();
        else
            m_pToolBar->addAction(Action(nId));
    }
    connect(Action(ID_VIEW_TOOLBAR), &QAction::toggled, m_pToolBar, &QWidget::setVisible);
    connect(m_pToolBar, &QToolBar::visibilityChanged, Action(ID_VIEW_TOOLBAR),
            &QAction::setChecked);
}

void CMainFrame::CreateStatusBar() {
    m_pMessagePane = new QLabel(FromBytes(LoadString(AFX_IDS_IDLEMESSAGE)));
    statusBar()->addWidget(m_pMessagePane, 1);
    m_pSummaryPane = new QLabel;
    m_pSummaryPane->setObjectName(QStringLiteral("loadSummary"));
    statusBar()->addPermanentWidget(m_pSummaryPane);
    m_pScanCountsPane = new QLabel;
    m_pScanCountsPane->setObjectName(QStringLiteral("scanCounts"));
    m_pScanCountsPane->hide(); // until a load has counted
    statusBar()->addPermanentWidget(m_pScanCountsPane);
    m_pProgress = new QProgressBar;
    m_pProgress->setMaximumWidth(160);
    m_pProgress->hide();
    statusBar()->addPermanentWidget(m_pProgress);
    m_pCancel = new QPushButton(tr("Cancel"));
    m_pCancel->setToolTip(tr("Stop the load (Esc)"));
    m_pCancel->hide();
    statusBar()->addPermanentWidget(m_pCancel);
    connect(m_pCancel, &QPushButton::clicked, m_pView, &CGlossCutterView::CancelLoad);
    // A second press would say nothing new.
    connect(m_pView, &CGlossCutterView::CancelRequested, m_pCancel,
            [this] { m_pCancel->setEnabled(false); });
    // The key-state panes: lit while their lock is on.
    const std::array<const char*, 3> names = {"CAP", "NUM", "SCRL"};
    for (std::size_t k = 0; k < m_arrLockPanes.size(); ++k) {
        auto* pPane = new QLabel(QString::fromLatin1(names[k]));
        pPane->setEnabled(false);
        pPane->setFrameShape(QFrame::Panel);
        pPane->setFrameShadow(QFrame::Sunken);
        statusBar()->addPermanentWidget(pPane);
        m_arrLockPanes[k] = pPane;
    }
    auto* pLockTimer = new QTimer(this);
    connect(pLockTimer, &QTimer::timeout, this, &CMainFrame::UpdateLockPanes);
    pLockTimer->start(250);
    m_pEscape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_pEscape->setEnabled(false);
    connect(m_pEscape, &QShortcut::activated, m_pView, &CGlossCutterView::CancelLoad);
    connect(Action(ID_VIEW_STATUS_BAR), &QAction::toggled, statusBar(), &QWidget::setVisible);
    // A menu item's prompt replaces the message while the pointer is on it.
    connect(statusBar(), &QStatusBar::messageChanged, this,
            [this](const QString& message) { m_pMessagePane->setVisible(message.isEmpty()); });
}

void CMainFrame::CreateUsedListWindow() {
    m_pUsedList = new CMiniDlgUsedList;
    m_pUsedListWnd = new CMiniDialog(this, m_pUsedList, FromBytes(LoadString(IDS_USED_LIST_TITLE)));
    connect(m_pUsedListWnd, &CMiniDialog::VisibilityChanged, Action(ID_VIEW_USED),
            &QAction::setChecked);
    m_pUsedListWnd->Show(false);
}

void CMainFrame::UpdateLockPanes() {
    const CKeyboardLocks locks = ReadKeyboardLocks();
    const std::array<bool, 3> on = {locks.m_bCaps, locks.m_bNum, locks.m_bScroll};
    for (std::size_t k = 0; k < m_arrLockPanes.size(); ++k)
        m_arrLockPanes[k]->setEnabled(on[k]);
}

void CMainFrame::SetDocumentTitle(const QString& title) {
    setWindowTitle(title + QStringLiteral(" - ") + FromBytes(LoadString(AFX_IDS_APP_TITLE)));
}

void CMainFrame::SetMessageText(const QString& text) {
    m_pMessagePane->setText(text);
}

// A command: it changes what the frame shows, so not const.
void CMainFrame::OnViewUsed() { // NOLINT(readability-make-member-function-const)
    m_pUsedListWnd->Show(!m_pUsedListWnd->m_bVisible);
}

void CMainFrame::OnReload() {
    m_pView->Reload();
}

void CMainFrame::OnAutoCheck() {
    if (AskYesNo(this, FromBytes(LoadString(IDS_ASK_AUTO_CHECK)), QStringLiteral("Auto Check")))
        m_pView->AutoCheck();
}

void CMainFrame::OnOptions() {
    CDlgOptions dialog(theOptions.ReadAll(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Stored for the next Reload; the list stays as it is.
    theOptions.WriteAll(dialog.GetValues());
}

void CMainFrame::OnWipe() {
    // A scan that missed uses would have the wipe take keywords the code needs.
    if (const CScanGap gap = m_pView->GetDocument().GetScanGap(false)) {
        ShowWarning(this, FromBytes(gap.Describe()), QStringLiteral("Wipe"));
        return;
    }
    if (!AskYesNo(this, FromBytes(LoadString(IDS_ASK_WIPE)), QStringLiteral("Wipe")))
        return;
    const std::string keywordFile = theOptions.GetResolvedKeywordFile();
    std::uint32_t operation = 0;
    theOptions.GetUnusedKeywordsOperation(operation);
    const CWipeResult result =
        WipeKeywords(m_pView->GetDocument().MakeWipeRequest(keywordFile, operation));
    if (!result.Succeeded()) {
        // The list and its ticks stay, so the user can reload and wipe again.
        ShowWarning(this, FromBytes(result.Describe(keywordFile)), QStringLiteral("Wipe"));
        return;
    }
    if (result.m_nStatus == WipeStatus::Unchanged) {
        SetMessageText(FromBytes(result.Describe(keywordFile)));
        return;
    }
    m_pView->Reload();
}

void CMainFrame::UpdateCommands() {
    const bool bLoading = m_pView->IsLoading();
    const bool bHasKeywords = !bLoading && !m_pView->GetDocument().m_arrKeywords.empty();
    Action(ID_RELOAD)->setEnabled(!bLoading);
    Action(ID_AUTO_CHECK)->setEnabled(bHasKeywords);
    Action(ID_WIPE)->setEnabled(bHasKeywords);
}

void CMainFrame::OnLoadStarted() {
    m_pProgress->setRange(0, 0);
    m_pProgress->hide();
    m_pCancel->setEnabled(true);
    m_pCancel->show();
    m_loadTime.start();
    m_strLoadingFile = theOptions.GetResolvedKeywordFile(); // Options may change meanwhile
    m_pEscape->setEnabled(true);
    UpdateCommands();
}

void CMainFrame::OnLoadFinished(bool bCompleted) {
    const CGlossCutterDoc& doc = m_pView->GetDocument();
    m_pSummaryPane->setText(bCompleted ? LoadSummary(doc, m_strLoadingFile, m_loadTime.elapsed())
                                       : QString());
    const CUnreadableArray& unreadable = doc.GetUnreadable();
    m_pScanCountsPane->setText(
        tr("%1 files read, %2 unreadable").arg(doc.GetScannedFileCount()).arg(unreadable.size()));
    QStringList paths; // the first of them, where the pointer rests
    for (std::size_t i = 0; i < unreadable.size() && i < kUnreadableNamed; ++i)
        paths << FromBytes(unreadable[i].Describe());
    m_pScanCountsPane->setToolTip(paths.join(QLatin1Char('\n')));
    m_pScanCountsPane->show();
    m_pProgress->hide();
    m_pCancel->hide();
    m_pEscape->setEnabled(false);
    UpdateCommands();
}

QString CMainFrame::LoadSummary(const CGlossCutterDoc& doc, const std::string& strKeywordFile,
                                qint64 nMilliseconds) {
    // The window says nothing else of a keyword file it cannot read.
    if (const std::error_code& ec = doc.GetKeywordFileError())
        return tr("Cannot read keyword file %1: %2")
            .arg(FromBytes(strKeywordFile), FromBytes(ec.message()));
    const CKeywordArray& table = doc.m_arrKeywords;
    // The files read are the next field's.
    return tr("%1 keywords, %2 unused, %3 mentioned; loaded in %4 s")
        .arg(table.size())
        .arg(CountUnused(table))
        .arg(CountWithStatus(table, KeywordStatus::Mentioned))
        .arg(static_cast<double>(nMilliseconds) / 1000.0, 0, 'f', 1);
}

void CMainFrame::OnFileProgress(qint64 done, qint64 total) {
    // Once the walk knows how many files there are.
    const int scale = total > 1000000 ? static_cast<int>(total / 1000000 + 1) : 1;
    m_pProgress->setRange(0, static_cast<int>(total / scale));
    m_pProgress->setValue(static_cast<int>(done / scale));
    m_pProgress->show();
}
