#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <array>
#include <string>

class CGlossCutterDoc;
class CGlossCutterView;
class CMiniDialog;
class CMiniDlgUsedList;
class QAction;
class QLabel;
class QProgressBar;
class QPushButton;
class QShortcut;
class QToolBar;

// The program's one top-level window: menu, status bar, the keyword list
// view, and the floating used-list window it owns.
class CMainFrame final : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CGlossCutterView* pView);

    // "<document title> - GlossCutter".
    void SetDocumentTitle(const QString& title);
    void SetMessageText(const QString& text);

    QAction* Action(int nId) const;
    CGlossCutterView* GetActiveView() const { return m_pView; }

    CMiniDialog* m_pUsedListWnd = nullptr;
    CMiniDlgUsedList* m_pUsedList = nullptr;

signals:
    void AboutRequested();

private:
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateUsedListWindow();
    void OnViewUsed();
    void OnReload();
    void OnAutoCheck();
    void OnOptions();
    void OnWipe();
    void UpdateCommands();
    void UpdateLockPanes();
    void OnLoadStarted();
    void OnLoadFinished(bool bCompleted);
    // What the last load found and how long it took, or why it read nothing.
    static QString LoadSummary(const CGlossCutterDoc& doc, const std::string& strKeywordFile,
                               qint64 nMilliseconds);
    void OnFileProgress(qint64 done, qint64 total);

    CGlossCutterView* m_pView;
    QLabel* m_pMessagePane = nullptr;
    QLabel* m_pSummaryPane = nullptr;    // the last load's counts and time, or why it failed
    QLabel* m_pScanCountsPane = nullptr; // files read and unreadable by the last load
    QProgressBar* m_pProgress = nullptr;
    QPushButton* m_pCancel = nullptr;
    QShortcut* m_pEscape = nullptr;
    QToolBar* m_pToolBar = nullptr;
    std::array<QLabel*, 3> m_arrLockPanes{}; // CAP, NUM, SCRL
    QElapsedTimer m_loadTime;
    std::string m_strLoadingFile; // the keyword file of the load that runs, as it reads it
};
