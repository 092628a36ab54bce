#pragma once

// The window as start-up builds it, on a store and demo of the test's own; a
// script answers every question and chooser, so that no modal window waits.

#include "../engine/TestTables.h"
#include "DlgOptions.h"
#include "GlossCutterDoc.h"
#include "GlossCutterView.h"
#include "KeywordFilterModel.h"
#include "KeywordTableModel.h"
#include "MainFrame.h"
#include "Questions.h"
#include "ResourceIds.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

// A row of a QtTest table: its name, and its cells, which a test takes as one tuple.
template <typename... Cells>
using NamedRow = std::pair<const char*, std::tuple<Cells...>>;

class CFrameFixture {
protected:
    QTemporaryDir m_configHome;
    std::unique_ptr<testing_tables::TempDir> m_pDir;
    std::string m_strTexts, m_strSource; // the demo's keyword file and source folder
    std::unique_ptr<CGlossCutterDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    CGlossCutterView* m_pView = nullptr;
    QList<bool> m_listAnswers;  // one per question; No once they run out
    QStringList m_listChosen;   // one per file or folder browse; "" or none cancels
    QStringList m_listAsked;    // "<caption>: <text>" of every question and warning
    QStringList m_listRequests; // of the file chooser: "<initial>|exe" or "<initial>|any"

    static QString Q(const std::string& text) { return QString::fromStdString(text); }
    static QStringList Q(const std::vector<std::string>& texts) {
        QStringList list;
        for (const auto& text : texts)
            list << Q(text);
        return list;
    }

    // A table of named rows as QtTest data, and the current row's cells.
    template <typename Row, std::size_t N>
    static void Rows(const std::pair<const char*, Row> (&rows)[N]) {
        QTest::addColumn<Row>("row");
        for (const auto& [name, row] : rows)
            QTest::newRow(name) << row;
    }
    template <typename Row, std::size_t N>
    static Row Fetch(const std::pair<const char*, Row> (&/*rows*/)[N]) {
        QFETCH(Row, row);
        return row;
    }

    // In init, before the first QSettings fixes the configuration folder: a fresh
    // store naming a fresh demo under a blank, which editors must keep; the window.
    void SetUp() {
        QVERIFY(m_configHome.isValid());
        qputenv("XDG_CONFIG_HOME", m_configHome.path().toUtf8());
        SetQuestionAnswerer([this](const QString& text, const QString& caption) {
            m_listAsked << caption + ": " + text;
            return !m_listAnswers.isEmpty() && m_listAnswers.takeFirst();
        });
        SetFileChooser([this](const QString& initial, bool bExecutablesOnly) {
            m_listRequests << initial + (bExecutablesOnly ? "|exe" : "|any");
            return m_listChosen.isEmpty() ? QString() : m_listChosen.takeFirst();
        });
        CDlgOptions::SetFolderChooser([this](const std::string&) {
            const QString folder = m_listChosen.isEmpty() ? QString() : m_listChosen.takeFirst();
            return folder.isEmpty() ? std::nullopt : std::optional(folder.toStdString());
        });
        m_pDir = std::make_unique<testing_tables::TempDir>();
        theOptions.OpenSettingsKey(std::filesystem::path(m_pDir->root).filename(), "GlossCutter");
        m_listAnswers.clear();
        m_listChosen = m_listAsked = m_listRequests = {};
        const std::string demo = *m_pDir / "my demo";
        std::filesystem::copy(GLOSSCUTTER_EXAMPLES "/demo", demo,
                              std::filesystem::copy_options::recursive);
        theOptions.SetKeywordFile(m_strTexts = demo + "/texts.h");
        theOptions.SetSourceFolder(0, m_strSource = demo + "/src");
        m_pDoc = std::make_unique<CGlossCutterDoc>();
        m_pView = new CGlossCutterView(*m_pDoc);
        m_pFrame = std::make_unique<CMainFrame>(m_pView);
        m_pView->OnInitialUpdate();
        m_pFrame->show();
        for (QAbstractItemModel* model : {static_cast<QAbstractItemModel*>(m_pView->GetModel()),
                                          static_cast<QAbstractItemModel*>(Model())})
            new QAbstractItemModelTester(
                model, QAbstractItemModelTester::FailureReportingMode::QtTest, model);
    }

    // The rows the list shows.
    CKeywordFilterModel* Model() const { return m_pView->GetFilter(); }
    QString Cell(int row, int col) const { return Model()->index(row, col).data().toString(); }
    bool Ticked(int row) const {
        return Model()->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    int TickedRows() const {
        int count = 0;
        for (int row = 0; row < Model()->rowCount(); ++row)
            count += int(Ticked(row));
        return count;
    }
    int RowOf(const QString& symbol) const {
        const auto found =
            Model()->match(Model()->index(0, 2), Qt::DisplayRole, symbol, 1, Qt::MatchExactly);
        return found.value(0).row();
    }
    bool Enabled(int nId) const { return m_pFrame->Action(nId)->isEnabled(); }
    void Trigger(int nId) const { m_pFrame->Action(nId)->trigger(); }

    // Reload (F5): true when completed, with the list empty and locked while it ran.
    bool Reload(bool bCancel = false) const {
        QSignalSpy finished(m_pView, &CGlossCutterView::LoadFinished);
        Trigger(ID_RELOAD);
        if (bCancel)
            m_pView->CancelLoad();
        const bool bLockedMeanwhile = m_pView->IsLoading() && Model()->rowCount() == 0 &&
                                      !Enabled(ID_RELOAD) && !Enabled(ID_AUTO_CHECK) &&
                                      !Enabled(ID_WIPE);
        return finished.wait(30000) && finished.at(0).at(0).toBool() && bLockedMeanwhile;
    }
};
