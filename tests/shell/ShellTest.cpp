// The main window driven without a screen: the keyword list with its sorting
// and ticks, the load on its worker thread, the used list and the editor.

#include "../engine/TestTables.h"
#include "EditorLaunch.h"
#include "GlossCutterDoc.h"
#include "GlossCutterOptions.h"
#include "GlossCutterView.h"
#include "KeywordTableModel.h"
#include "MainFrame.h"
#include "MiniDialog.h"
#include "MiniDlgUsedList.h"
#include "PlacesModel.h"
#include "QtTestHelpers.h"
#include "Questions.h"
#include "ResourceIds.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace testing_tables;
namespace fs = std::filesystem;

namespace {

bool No(const QString& /*text*/, const QString& /*caption*/) {
    return false;
}

} // namespace

// The test ends here when the load did not go as expected: a macro, since
// only a macro can return from the test slot.
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage)
#define RELOAD(...)                                                                                \
    do {                                                                                           \
        Reload(__VA_ARGS__);                                                                       \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

class ShellTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_configHome;
    int m_nStore = 0;
    std::unique_ptr<TempDir> m_dir;
    std::string m_texts, m_src, m_editor, m_editorOut;
    std::unique_ptr<CGlossCutterDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    CGlossCutterView* m_pView = nullptr;

    CKeywordTableModel* Model() const { return m_pView->GetModel(); }
    QTableView* Places() const { return m_pFrame->m_pUsedList->m_listPlaces; }
    QString Cell(int row, int column) const {
        return Model()->index(row, column).data().toString();
    }
    bool Ticked(int row) const {
        return Model()->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    int RowOf(const QString& symbol) const {
        const QModelIndexList found =
            Model()->match(Model()->index(0, 2), Qt::DisplayRole, symbol, 1, Qt::MatchExactly);
        return found.isEmpty() ? -1 : found[0].row();
    }
    void Select(int row) {
        m_pView->m_listKeywords->selectionModel()->select(Model()->index(row, 0),
                                                          QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
    }
    void ClickHeader(int column) {
        QHeaderView* header = m_pView->m_listKeywords->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(column) + 5, header->height() / 2});
    }
    QStringList PlacesShown() const {
        QStringList places;
        for (int row = 0; row < Places()->model()->rowCount(); ++row)
            places << Places()->model()->index(row, 0).data().toString() + ":" +
                          Places()->model()->index(row, 1).data().toString();
        return places;
    }

    // While the load runs the list and the used list show nothing.
    void Reload(bool bCancel = false) {
        QSignalSpy started(m_pView, &CGlossCutterView::LoadStarted);
        QSignalSpy finished(m_pView, &CGlossCutterView::LoadFinished);
        m_pView->Reload();
        if (bCancel)
            m_pView->CancelLoad();
        QCOMPARE(started.count(), 1);
        QVERIFY(m_pView->IsLoading());
        QCOMPARE(Model()->rowCount(), 0);
        QCOMPARE(Places()->model()->rowCount(), 0);
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.at(0).at(0).toBool(), !bCancel);
    }

private slots:
    void initTestCase() {
        // Before the first QSettings exists, which fixes the user's config path.
        QVERIFY(m_configHome.isValid());
        qputenv("XDG_CONFIG_HOME", m_configHome.path().toUtf8());
        SetQuestionAnswerer(No);
    }

    void init() {
        m_dir = std::make_unique<TempDir>();
        const std::string demo = *m_dir / "my demo"; // editors must get it as one word
        fs::copy(GLOSSCUTTER_EXAMPLES "/demo", demo, fs::copy_options::recursive);
        m_texts = demo + "/texts.h";
        m_src = demo + "/src";
        m_editorOut = *m_dir / "args";
        m_editor = m_dir->Put("my editor.sh", "#!/bin/sh\n{ for a; do printf '%s|' \"$a\"; done; "
                                              "echo; } >>'" +
                                                  m_editorOut + "'\n");
        fs::permissions(m_editor, fs::perms::owner_all);
        theOptions.OpenSettingsKey(
            SettingsKeyPath("TestCo" + std::to_string(++m_nStore), "GlossCutter"));
        theOptions.SetKeywordFile(m_texts);
        theOptions.SetSourceFolder(0, m_src);
        theOptions.SetEditor(m_editor);

        // As start-up makes them.
        m_pDoc = std::make_unique<CGlossCutterDoc>();
        m_pView = new CGlossCutterView(*m_pDoc);
        m_pFrame = std::make_unique<CMainFrame>(m_pView);
        m_pView->OnInitialUpdate();
        m_pFrame->show();
        new QAbstractItemModelTester(
            Model(), QAbstractItemModelTester::FailureReportingMode::QtTest, Model());
    }

    void cleanup() {
        m_pFrame.reset();
        m_pDoc.reset();
        m_dir.reset();
    }

    // Start-up shows the headers only; the load on the worker thread then
    // gives what a blocking load gives, by line.
    void startUpThenReload() {
        QStringList headers;
        for (int column = 0; column < Model()->columnCount(); ++column)
            headers
                << m_pView->m_listKeywords->model()->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{"Marked", "Line", "Symbol", "Value", "Used"}));
        QCOMPARE(m_pView->m_listKeywords->model()->rowCount(), 0);
        RELOAD();
        CGlossCutterDoc blocking;
        const CLoadSettings settings = theOptions.GetLoadSettings();
        blocking.LoadKeywords(settings);
        QVERIFY(blocking.AnalyzeSources(settings));
        blocking.SortKeywords(SORT_BY_LINE, true);
        QCOMPARE(Q(Describe(m_pDoc->m_arrKeywords)), Q(Describe(blocking.m_arrKeywords)));
        QCOMPARE(Q(UsesOf(m_pDoc->m_arrKeywords)), Q(UsesOf(blocking.m_arrKeywords)));
        QCOMPARE(Model()->rowCount(), 15);
        // Marked keywords get no uses and are always ticked.
        const std::pair<int, QStringList> rows[] = {
            {0, {"", "8", "gAppName", "Demo Editor", "1"}},
            {1, {"", "9", "gOpenFile", "Open file...", "3"}},
            {4, {"", "12", "gCloseFile", "Close", "0"}},
            {13, {"*", "21", "gOldTitle", "Demo", "0"}},
            {14, {"*", "23", "gSpellCheck", "Check spelling", "0"}}};
        for (const auto& [row, cells] : rows) {
            QStringList shown;
            for (int column = 0; column < 5; ++column)
                shown << Cell(row, column);
            QCOMPARE(shown, cells);
            QCOMPARE(Ticked(row), cells[0] == "*");
        }
    }

    // Auto check and Wipe need keywords; nothing that touches the table runs
    // while a load does.
    void commandStates() {
        const auto enabled = [this](int nId) { return m_pFrame->Action(nId)->isEnabled(); };
        QVERIFY(!enabled(ID_AUTO_CHECK) && !enabled(ID_WIPE) && enabled(ID_RELOAD));
        QSignalSpy finished(m_pView, &CGlossCutterView::LoadFinished);
        m_pView->Reload();
        QVERIFY(!enabled(ID_RELOAD) && !enabled(ID_AUTO_CHECK) && !enabled(ID_WIPE));
        QVERIFY(finished.wait(30000));
        QVERIFY(enabled(ID_RELOAD) && enabled(ID_AUTO_CHECK) && enabled(ID_WIPE));
    }

    // Ctrl+U shows and hides the used list; its close box hides it as well,
    // and the View menu's check mark follows every change.
    void viewUsedToggles() {
        m_pFrame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_pFrame.get()));
        CMiniDialog* pWindow = m_pFrame->m_pUsedListWnd;
        QAction* pViewUsed = m_pFrame->Action(ID_VIEW_USED);
        const auto shown = [&] { return pWindow->isVisible() && pViewUsed->isChecked(); };
        const auto hidden = [&] { return !pWindow->isVisible() && !pViewUsed->isChecked(); };
        QVERIFY(hidden());
        QTest::keyClick(m_pFrame.get(), Qt::Key_U, Qt::ControlModifier);
        QVERIFY(shown());
        m_pFrame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_pFrame.get()));
        QTest::keyClick(m_pFrame.get(), Qt::Key_U, Qt::ControlModifier);
        QVERIFY(hidden());
        pViewUsed->trigger();
        QVERIFY(shown());
        pWindow->close();
        QVERIFY(hidden());
        pViewUsed->trigger();
        QVERIFY(shown());
    }

    // -1 stands for Reload. Marked (0) and Value (3) do not sort; a click on the
    // last clicked column turns the direction; Reload sorts by line, keeping both.
    void headerClicks_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("ascending");
        QTest::newRow("line once") << QList<int>{-1, 1} << 1 << true;
        QTest::newRow("line twice") << QList<int>{-1, 1, 1} << 1 << false;
        QTest::newRow("line twice, symbol") << QList<int>{-1, 1, 1, 2} << 2 << false;
        QTest::newRow("marked first") << QList<int>{-1, 0} << 1 << true;
        QTest::newRow("marked first, line") << QList<int>{0, -1, 1} << 1 << false;
        QTest::newRow("symbol twice, reload") << QList<int>{-1, 2, 2, -1} << 1 << false;
        QTest::newRow("symbol twice, reload, symbol") << QList<int>{-1, 2, 2, -1, 2} << 2 << true;
        QTest::newRow("symbol, value") << QList<int>{-1, 2, 3} << 2 << true;
        QTest::newRow("used twice") << QList<int>{-1, 4, 4} << 4 << false;
    }
    void headerClicks() {
        QFETCH(QList<int>, clicks);
        QFETCH(int, column);
        QFETCH(bool, ascending);
        for (const int click : clicks) {
            if (click < 0)
                RELOAD();
            else
                ClickHeader(click);
        }
        QCOMPARE(Model()->rowCount(), 15);
        for (int row = 1; row < 15; ++row) {
            const QString a = Cell(row - 1, column), b = Cell(row, column);
            const int order =
                (column == 2 ? a.compare(b) : a.toInt() - b.toInt()) * (ascending ? 1 : -1);
            QVERIFY2(column == 4 ? order <= 0 : order < 0, qPrintable(a + " before " + b));
        }
        // The first row is selected, current, and shown in the used list.
        QCOMPARE(m_pView->m_listKeywords->selectionModel()->selectedRows(),
                 QModelIndexList{Model()->index(0, 0)});
        QVERIFY(m_pDoc->GetCurrentKeyword() == Model()->KeywordAt(0));
        QCOMPARE(Places()->model()->rowCount(), Cell(0, 4).toInt());
    }

    // A marked keyword stays ticked; a tick stays with its keyword in a sort.
    void ticks_data() {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QList<int>>("states");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("ticked") << "gSaveFile" << QList<int>{Qt::Checked} << true;
        QTest::newRow("ticked, unticked")
            << "gSaveFile" << QList<int>{Qt::Checked, Qt::Unchecked} << false;
        QTest::newRow("marked, unticked") << "gOldTitle" << QList<int>{Qt::Unchecked} << true;
    }
    void ticks() {
        QFETCH(QString, symbol);
        QFETCH(QList<int>, states);
        QFETCH(bool, ticked);
        RELOAD();
        for (const int state : states)
            Model()->setData(Model()->index(RowOf(symbol), 0), state, Qt::CheckStateRole);
        for (const int column : {2, 1}) {
            ClickHeader(column);
            const int row = RowOf(symbol);
            const bool marked = Cell(row, 0) == "*";
            QCOMPARE(Ticked(row), ticked);
            QCOMPARE(Model()->KeywordAt(row)->m_bChecked, ticked && !marked);
            int tickedRows = 0;
            for (int other = 0; other < 15; ++other) {
                if (Ticked(other))
                    ++tickedRows;
            }
            QCOMPARE(tickedRows, 2 + int(ticked && !marked));
        }
    }

    // Only after Yes: ticks every row reading 0 uses, keeps earlier ticks.
    void autoCheck_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void autoCheck() {
        QFETCH(bool, yes);
        RELOAD();
        const int earlier = RowOf("gSaveFile");
        Model()->setData(Model()->index(earlier, 0), Qt::Checked, Qt::CheckStateRole);
        int asked = 0;
        SetQuestionAnswerer([&](const QString&, const QString&) { return ++asked, yes; });
        m_pFrame->Action(ID_AUTO_CHECK)->trigger();
        SetQuestionAnswerer(No);
        QCOMPARE(asked, 1);
        int unused = 0;
        for (int row = 0; row < 15; ++row) {
            const bool marked = Cell(row, 0) == "*", none = Cell(row, 4) == "0";
            if (none && !marked)
                ++unused;
            QCOMPARE(Ticked(row), row == earlier || marked || (yes && none));
        }
        QCOMPARE(unused, 3);
    }

    void selectionFillsUsedList_data() {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QStringList>("places");
        const QString open = "($source)/file/open.c:";
        QTest::newRow("three uses")
            << "gOpenFile" << QStringList{open + "5", open + "7", open + "13"};
        QTest::newRow("one use") << "gUndo" << QStringList{"($source)/edit/undo.c:4"};
        QTest::newRow("no use") << "gCloseFile" << QStringList{};
    }
    void selectionFillsUsedList() {
        QFETCH(QString, symbol);
        QFETCH(QStringList, places);
        RELOAD();
        Select(RowOf(symbol));
        QCOMPARE(PlacesShown(), places);
        QVERIFY(m_pDoc->GetCurrentKeyword() == Model()->KeywordAt(RowOf(symbol)));
        QCOMPARE(Places()->currentIndex().row(), places.isEmpty() ? -1 : 0);
    }

    // A load that finds nothing, or is cancelled, leaves nothing to select or
    // open; the next load is whole again.
    void emptyLoads_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("status");
        QTest::newRow("no keyword file") << false << "Ready";
        QTest::newRow("cancelled") << true << "Load cancelled";
    }
    void emptyLoads() {
        QFETCH(bool, cancel);
        QFETCH(QString, status);
        for (int i = 0; i < 500; ++i) // so that the cancel comes long before the end
            m_dir->Put("bulk/f" + std::to_string(i) + ".c", "gOpenFile(gUndo);\n");
        theOptions.SetSourceFolder(1, *m_dir / "bulk");
        RELOAD();
        Select(RowOf("gOpenFile"));
        if (!cancel)
            theOptions.SetKeywordFile(*m_dir / "missing.h");
        QSignalSpy texts(m_pView, &CGlossCutterView::StatusText);
        RELOAD(cancel);
        QCOMPARE(Model()->rowCount(), 0);
        QCOMPARE(Places()->model()->rowCount(), 0);
        QVERIFY(m_pDoc->GetCurrentKeyword() == nullptr);
        QCOMPARE(texts.last().at(0).toString(), status);
        theOptions.SetKeywordFile(m_texts);
        RELOAD();
        QCOMPARE(Cell(RowOf("gOpenFile"), 4), "503");
    }

    // Each launch appends its arguments to a file, "|" after each.
    void editorLaunch_data() {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<bool>("usedList");
        QTest::addColumn<QString>("arguments");
        QTest::newRow("program, keyword") << "<editor>" << false << "<texts>/9|";
        QTest::newRow("program, place") << "<editor>" << true << "<src>/file/open.c/7|";
        QTest::newRow("template, keyword") << "\"<editor>\" -l %l %f" << false << "-l|9|<texts>|";
    }
    void editorLaunch() {
        QFETCH(QString, editor);
        QFETCH(bool, usedList);
        QFETCH(QString, arguments);
        theOptions.SetEditor(editor.replace("<editor>", Q(m_editor)).toStdString());
        m_pView->OnDblClk(); // no keyword selected yet: opens nothing
        RELOAD();
        const int row = RowOf("gOpenFile");
        if (usedList) {
            Select(row);
            emit Places()->doubleClicked(Places()->model()->index(1, 0));
        } else {
            // A click selects the row; the double-click event follows it.
            QWidget* viewport = m_pView->m_listKeywords->viewport();
            const QPoint at = m_pView->m_listKeywords->visualRect(Model()->index(row, 2)).center();
            QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        }
        const QString expected =
            arguments.replace("<texts>", Q(m_texts)).replace("<src>", Q(m_src)) + "\n";
        QTRY_COMPARE(Q(ReadFile(m_editorOut)), expected);
        QTest::qWait(100);
        QCOMPARE(Q(ReadFile(m_editorOut)), expected); // opened once
    }

    void editorCommands_data() {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<uint>("line");
        QTest::addColumn<QStringList>("commands"); // "PATH " when looked up in PATH
        QTest::newRow("program") << "/opt/ed" << 12u << QStringList{"/opt/ed|/p q/k.h/12"};
        QTest::newRow("program, line 0") << "/opt/ed" << 0u << QStringList{"/opt/ed|/p q/k.h"};
        QTest::newRow("program with blanks")
            << "/opt/my ed -x" << 3u << QStringList{"/opt/my ed -x|/p q/k.h/3"};
        QTest::newRow("line code alone") << "ed +%l" << 3u << QStringList{"ed +%l|/p q/k.h/3"};
        QTest::newRow("template") << "gedit +%l %f" << 12u
                                  << QStringList{"PATH gedit|+12|/p q/k.h"};
        QTest::newRow("template, line 0, percent")
            << "ed --at=%f:%l 100%%" << 0u << QStringList{"PATH ed|--at=/p q/k.h:1|100%"};
        // Escaped, not raw: moc 6.4 misreads a raw string that holds \".
        QTest::newRow("quoted template")
            << "\"/opt/my ed\" -g \"%f:%l\" \"a\\\"b\"" // NOLINT(modernize-raw-string-literal)
            << 7u << QStringList{"PATH /opt/my ed|-g|/p q/k.h:7|a\"b"};
    }
    void editorCommands() {
        QFETCH(QString, editor);
        QFETCH(uint, line);
        QFETCH(QStringList, commands);
        commands << "/usr/bin/xdg-open|/p q/k.h"; // always the last resort
        QStringList actual;
        for (const CEditorCommand& command : EditorCommands(editor.toStdString(), "/p q/k.h", line))
            actual << (command.m_bSearchPath ? "PATH " : "") + Q(command.m_arrArguments).join('|');
        QCOMPARE(actual, commands);
    }

    void shownFile_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("shown");
        const QString file = "/p/src/lib/a.c";
        QTest::newRow("under") << file << QStringList{"/p/src"} << "($source)/lib/a.c";
        QTest::newRow("folder with slash") << file << QStringList{"/p/src/"} << "($source)lib/a.c";
        QTest::newRow("outside, own case")
            << "/P/SRC/Lib/a.c" << QStringList{"/p/src"} << "/P/SRC/Lib/a.c";
        QTest::newRow("src2 after src")
            << "/p/src2/a.c" << QStringList{"/p/src"} << "($source)2/a.c";
        QTest::newRow("empty slots")
            << file << QStringList{"", "", "/p"} << "($source)/src/lib/a.c";
        QTest::newRow("only empty slots") << file << QStringList{"", ""} << file;
        QTest::newRow("first slot wins")
            << file << QStringList{"/x", "/p/src/lib", "/p/src"} << "($source)/a.c";
    }
    void shownFile() {
        QFETCH(QString, file);
        QFETCH(QStringList, folders);
        QFETCH(QString, shown);
        std::vector<std::string> folderSlots;
        for (const QString& folder : folders)
            folderSlots.push_back(folder.toStdString());
        QCOMPARE(Q(CPlacesModel::ShownFile(file.toStdString(), folderSlots)), shown);
    }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
