#pragma once

#include "DynamicControlsManager.h"

#include <QScrollArea>
#include <memory>

class CGlossCutterDoc;
class CKeywordFilterModel;
class CKeywordTableModel;
struct CKeywordLoad;
class CLoadRelay;
class CMiniDlgUsedList;
class QComboBox;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QPoint;
class QModelIndex;
class QTableView;
class QThread;
class QTimer;

// The main window's view: the list of keywords with their line, symbol,
// value, uses and status, ticks for the wipe, sorting by a clicked column, a
// filter above it, the load (Reload) and Auto check. The load runs on a worker thread, so the
// window stays responsive; while it runs the list is empty and may not be changed.
class CGlossCutterView final : public QScrollArea, public cdxCDynamicControlsManager {
    Q_OBJECT
public:
    explicit CGlossCutterView(CGlossCutterDoc& doc, QWidget* pParent = nullptr);
    ~CGlossCutterView() override;
    CGlossCutterView(const CGlossCutterView&) = delete;
    CGlossCutterView& operator=(const CGlossCutterView&) = delete;

    // Sets up the columns and the layout; the list stays empty.
    void OnInitialUpdate();

    // The panel that shows the places of the selected keyword.
    void SetUsedList(CMiniDlgUsedList* pUsedList) { m_pUsedList = pUsedList; }

    void Reload();
    void CancelLoad();
    bool IsLoading() const { return m_pLoadThread != nullptr; }

    void AutoCheck();
    void FillList(int nColumn);
    void OnColumnClick(int nColumn);
    void OnDblClk();

    // The context menu of the keyword at `nRow`: open in the editor, copy its
    // symbol or value, show its uses. The caller owns it.
    QMenu* MakeContextMenu(int nRow);

    CKeywordTableModel* GetModel() const { return m_pModel; }
    // The rows the list shows, in the table's order.
    CKeywordFilterModel* GetFilter() const { return m_pFilter; }
    CGlossCutterDoc& GetDocument() const { return m_doc; }

    // The form's size: the window opens just large enough to show it all.
    QSize sizeHint() const override;

    QLineEdit* m_editFilter = nullptr;
    QComboBox* m_comboStatus = nullptr;
    QTableView* m_listKeywords = nullptr;
    bool m_bSortAscending = true;
    int m_nSortColumn = 0;

signals:
    void TitleChanged(const QString& title);
    void StatusText(const QString& text);
    void FileProgress(qint64 done, qint64 total);
    void LoadStarted();
    void CancelRequested();
    void ShowUsesRequested();
    void LoadFinished(bool bCompleted);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void SetUpColumns();
    void SetUpFilter(const QRect& textRect, const QRect& statusRect);
    void OnFilterChanged();
    // Selects the first row shown; with none, no keyword is current.
    void SelectFirstRow();
    // Shows the places of the keyword acted on last, or none when nothing is selected.
    void OnSelectionChanged();
    // Selects the row of a check box pressed, which the view itself would not.
    void OnCheckBoxPressed(const QModelIndex& index, Qt::KeyboardModifiers modifiers) const;
    // Keys and the menu key on the list.
    bool OnListEvent(const QEvent& event);
    // Enter opens the current keyword; Space ticks or unticks the selected rows.
    bool OnListKey(const QKeyEvent& event);
    void TickSelected();
    void ShowSortIndicator() const;
    void OnContextMenu(const QPoint& pos);
    void OnLoadFinished();
    void PollLoad();

    CGlossCutterDoc& m_doc;
    QWidget* m_pForm;
    CKeywordTableModel* m_pModel;
    CKeywordFilterModel* m_pFilter;
    CMiniDlgUsedList* m_pUsedList = nullptr;
    QThread* m_pLoadThread = nullptr;
    std::unique_ptr<CLoadRelay> m_pRelay;
    std::unique_ptr<CKeywordLoad> m_pLoad; // what the worker finds, adopted when it ends
    QTimer* m_pPollTimer;
    int m_nSortedColumn = -1; // the sort the list is in, for the header's indicator
    bool m_bSortedAscending = true;
};
