#pragma once

// The window as start-up builds it, for the Qt tests: a configuration folder
// and a settings store of the test's own, a scratch copy of the demo, and
// every question, file chooser and folder picker answered from a script, so
// that no modal window ever waits for a user.

#include "../engine/TestTables.h"
#include "DlgOptions.h"
#include "GlossCutterDoc.h"
#include "GlossCutterView.h"
#include "KeywordTableModel.h"
#include "MainFrame.h"
#include "Questions.h"
#include "ResourceIds.h"

#include <QAction>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

inline QStringList Q(const std::vector<std::string>& texts) {
    QStringList list;
    for (const auto& text : texts)
        list << Q(text);
    return list;
}

class CFrameFixture {
protected:
    QTemporaryDir m_configHome;
    int m_nStore = 0;
    std::unique_ptr<testing_tables::TempDir> m_pDir;
    std::string m_strTexts, m_strSource; // the demo's keyword file and source folder
    std::unique_ptr<CGlossCutterDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    CGlossCutterView* m_pView = nullptr;
    QList<bool> m_listAnswers;  // one per question; No once they run out
    QStringList m_listAsked;    // "<caption>: <text>" of every question and warning
    QStringList m_listFolders;  // what the folder picker gives, one per browse
    QString m_strChosenFile;    // what the file chooser gives
    QStringList m_listRequests; // of the file chooser: "<initial>|exe" or "<initial>|any"

    // In initTestCase: before the first QSettings, which fixes the user's
    // configuration folder.
    void SetUpCase() {
        QVERIFY(m_configHome.isValid());
        qputenv("XDG_CONFIG_HOME", m_configHome.path().toUtf8());
        SetQuestionAnswerer([this](const QString& text, const QString& caption) {
            m_listAsked << caption + ": " + text;
            return !m_listAnswers.isEmpty() && m_listAnswers.takeFirst();
        });
        SetFileChooser([this](const QString& initial, bool bExecutablesOnly) {
            m_listRequests << initial + (bExecutablesOnly ? "|exe" : "|any");
            return m_strChosenFile;
        });
        CDlgOptions::SetFolderChooser([this](const std::string&) -> std::optional<std::string> {
            if (m_listFolders.isEmpty())
                return std::nullopt;
            return m_listFolders.takeFirst().toStdString();
        });
    }

    // In init: a fresh store that names a fresh copy of the demo, in a folder
    // with a blank, which editors must get as one word.
    void SetUp() {
        theOptions.OpenSettingsKey("TestCo" + std::to_string(++m_nStore), "GlossCutter");
        m_listAnswers.clear();
        m_listAsked.clear();
        m_listFolders.clear();
        m_listRequests.clear();
        m_strChosenFile.clear();
        m_pDir = std::make_unique<testing_tables::TempDir>();
        const std::string demo = *m_pDir / "my demo";
        std::filesystem::copy(GLOSSCUTTER_EXAMPLES "/demo", demo,
                              std::filesystem::copy_options::recursive);
        theOptions.SetKeywordFile(m_strTexts = demo + "/texts.h");
        theOptions.SetSourceFolder(0, m_strSource = demo + "/src");
    }

    // The document, the frame and its view, as start-up makes them.
    void MakeFrame() {
        m_pDoc = std::make_unique<CGlossCutterDoc>();
        m_pView = new CGlossCutterView(*m_pDoc);
        m_pFrame = std::make_unique<CMainFrame>(m_pView);
        m_pView->OnInitialUpdate();
        m_pFrame->show();
    }

    void TearDown() {
        m_pFrame.reset();
        m_pDoc.reset();
        m_pDir.reset();
    }

    CKeywordTableModel* Model() const { return m_pView->GetModel(); }
    QString Cell(int row, int column) const {
        return Model()->index(row, column).data().toString();
    }
    bool Ticked(int row) const {
        return Model()->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    int RowOf(const QString& symbol) const {
        const auto found =
            Model()->match(Model()->index(0, 2), Qt::DisplayRole, symbol, 1, Qt::MatchExactly);
        return found.isEmpty() ? -1 : found[0].row();
    }
    void Trigger(int nId) const { m_pFrame->Action(nId)->trigger(); }

    // Reload (F5), then its end: true when the load was completed, and the
    // list was empty while it ran.
    bool Reload(bool bCancel = false) const {
        QSignalSpy finished(m_pView, &CGlossCutterView::LoadFinished);
        Trigger(ID_RELOAD);
        if (bCancel)
            m_pView->CancelLoad();
        const bool bEmptyMeanwhile = m_pView->IsLoading() && Model()->rowCount() == 0;
        return finished.wait(30000) && finished.at(0).at(0).toBool() && bEmptyMeanwhile;
    }
};
