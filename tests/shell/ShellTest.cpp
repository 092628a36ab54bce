// The main window driven without a screen: the keyword list with its layout,
// sorting and ticks, the load on its worker thread, the used list and the editor.

#include "EditorLaunch.h"
#include "FrameFixture.h"
#include "MiniDialog.h"
#include "MiniDlgUsedList.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QTableView>

using namespace testing_tables;

class ShellTest : public QObject, private CFrameFixture {
    Q_OBJECT

    std::string m_strEditor, m_strEditorOut;

    QTableView* List() const { return m_pView->m_listKeywords; }
    QTableView* Places() const { return m_pFrame->m_pUsedList->m_listPlaces; }
    void ClickHeader(int column) const {
        QHeaderView* header = List()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(column) + 5, header->height() / 2});
    }
    bool Enabled(int nId) const { return m_pFrame->Action(nId)->isEnabled(); }

private slots:
    void initTestCase() { SetUpCase(); }

    // The editor appends its arguments to a file, "|" after each.
    void init() {
        SetUp();
        m_strEditorOut = *m_pDir / "args";
        m_strEditor = m_pDir->Put("my editor.sh", "#!/bin/sh\n{ for a; do printf '%s|' \"$a\"; "
                                                  "done; echo; } >>'" +
                                                      m_strEditorOut + "'\n");
        std::filesystem::permissions(m_strEditor, std::filesystem::perms::owner_all);
        theOptions.SetEditor(m_strEditor);
        MakeFrame();
        new QAbstractItemModelTester(
            Model(), QAbstractItemModelTester::FailureReportingMode::QtTest, Model());
    }
    void cleanup() { TearDown(); }

    // Start-up shows the headers only, and Auto check and Wipe need keywords;
    // the load on the worker thread gives what a blocking load gives, by line.
    // Marked keywords get no uses and are always ticked.
    void startUpThenReload() {
        QStringList headers;
        for (int column = 0; column < Model()->columnCount(); ++column)
            headers << Model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(headers.join('|'), "Marked|Line|Symbol|Value|Used");
        QVERIFY(Model()->rowCount() == 0 && !Enabled(ID_AUTO_CHECK) && !Enabled(ID_WIPE));
        QSignalSpy finished(m_pView, &CGlossCutterView::LoadFinished);
        Trigger(ID_RELOAD);
        QVERIFY(!Enabled(ID_RELOAD) && !Enabled(ID_AUTO_CHECK) && !Enabled(ID_WIPE));
        QVERIFY(finished.wait(30000));
        QVERIFY(Enabled(ID_RELOAD) && Enabled(ID_AUTO_CHECK) && Enabled(ID_WIPE));
        CGlossCutterDoc blocking;
        QVERIFY(blocking.Load(theOptions.GetLoadSettings()));
        blocking.SortKeywords(SORT_BY_LINE, true);
        QCOMPARE(Q(Describe(m_pDoc->m_arrKeywords)), Q(Describe(blocking.m_arrKeywords)));
        QCOMPARE(Q(UsesOf(m_pDoc->m_arrKeywords)), Q(UsesOf(blocking.m_arrKeywords)));
        QCOMPARE(Model()->rowCount(), 15);
        for (const auto& [row, cells] : {std::pair{0, "|8|gAppName|Demo Editor|1"},
                                         {4, "|12|gCloseFile|Close|0"},
                                         {13, "*|21|gOldTitle|Demo|0"},
                                         {14, "*|23|gSpellCheck|Check spelling|0"}}) {
            QStringList shown;
            for (int column = 0; column < 5; ++column)
                shown << Cell(row, column);
            QCOMPARE(shown.join('|'), cells);
            QCOMPARE(Ticked(row), cells[0] == '*');
        }
    }

    // The list grows with the window, and keeps its first size when the
    // window is made smaller than that. Ctrl+U shows and hides the used list;
    // its close box hides it; the View menu's check mark follows.
    void listFillsTheWindowAndUsedListToggles() {
        // Below the form's minimum size the view scrolls instead of laying out.
        m_pFrame->resize(m_pFrame->sizeHint() + QSize(400, 300));
        QTRY_VERIFY(m_pView->widget()->width() > m_pView->widget()->minimumWidth());
        const QRect first = List()->geometry();
        m_pFrame->resize(m_pFrame->size() + QSize(100, 50));
        QTRY_COMPARE(List()->geometry(), first.adjusted(0, 0, 100, 50));
        m_pFrame->resize(m_pFrame->size() - QSize(100, 50));
        QTRY_COMPARE(List()->geometry(), first);
        const auto shown = [this] {
            const bool bVisible = m_pFrame->m_pUsedListWnd->isVisible();
            return bVisible == m_pFrame->Action(ID_VIEW_USED)->isChecked() && bVisible;
        };
        for (const bool expected : {true, false}) {
            m_pFrame->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_pFrame.get()));
            QTest::keyClick(m_pFrame.get(), Qt::Key_U, Qt::ControlModifier);
            QCOMPARE(shown(), expected);
        }
        Trigger(ID_VIEW_USED);
        m_pFrame->m_pUsedListWnd->close();
        QVERIFY(!shown() && !m_pFrame->Action(ID_VIEW_USED)->isChecked());
    }

    // -1 stands for Reload. Marked (0) and Value (3) do not sort; a click on the
    // last clicked column turns the direction; Reload sorts by line, keeping both.
    void headerClicks_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("ascending");
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
            if (click >= 0)
                ClickHeader(click);
            else
                QVERIFY(Reload());
        }
        QCOMPARE(Model()->rowCount(), 15);
        for (int row = 1; row < 15; ++row) {
            const QString a = Cell(row - 1, column), b = Cell(row, column);
            const int order =
                (column == 2 ? a.compare(b) : a.toInt() - b.toInt()) * (ascending ? 1 : -1);
            QVERIFY2(column == 4 ? order <= 0 : order < 0, qPrintable(a + " before " + b));
        }
        // The first row is selected, current, and shown in the used list.
        QCOMPARE(List()->selectionModel()->selectedRows(), QModelIndexList{Model()->index(0, 0)});
        QVERIFY(m_pDoc->GetCurrentKeyword() == Model()->KeywordAt(0));
        QCOMPARE(Places()->model()->rowCount(), Cell(0, 4).toInt());
    }

    // A marked keyword stays ticked; a tick stays with its keyword in a sort;
    // Auto check, after Yes, ticks the three unused keywords and keeps the rest.
    void ticks_data() {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QList<int>>("states");
        QTest::addColumn<bool>("autoCheck");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("ticked") << "gSaveFile" << QList<int>{Qt::Checked} << false << true;
        QTest::newRow("ticked, unticked")
            << "gSaveFile" << QList<int>{Qt::Checked, Qt::Unchecked} << false << false;
        QTest::newRow("marked, unticked")
            << "gOldTitle" << QList<int>{Qt::Unchecked} << false << true;
        QTest::newRow("ticked, auto check")
            << "gSaveFile" << QList<int>{Qt::Checked} << true << true;
        QTest::newRow("auto check") << "gCloseFile" << QList<int>{} << true << true;
    }
    void ticks() {
        QFETCH(QString, symbol);
        QFETCH(QList<int>, states);
        QFETCH(bool, autoCheck);
        QFETCH(bool, ticked);
        QVERIFY(Reload());
        for (const int state : states)
            Model()->setData(Model()->index(RowOf(symbol), 0), state, Qt::CheckStateRole);
        m_listAnswers = {autoCheck};
        Trigger(ID_AUTO_CHECK);
        QCOMPARE(m_listAsked, QStringList{"Auto Check: Check the unused words?"});
        for (const int column : {2, 1}) {
            ClickHeader(column);
            QCOMPARE(Ticked(RowOf(symbol)), ticked);
            QCOMPARE(Model()->KeywordAt(RowOf(symbol))->m_bChecked,
                     ticked && symbol != "gOldTitle");
            int tickedRows = 0;
            for (int row = 0; row < 15; ++row)
                tickedRows += Ticked(row) ? 1 : 0;
            QCOMPARE(tickedRows, 2 + (autoCheck ? 3 : 0) + int(ticked && symbol == "gSaveFile"));
        }
    }

    // The used list shows the places of the clicked keyword relative to the
    // first source folder they are under; a double-click on a place, or on
    // the keyword, opens the editor there, once.
    void placesAndEditor_data() {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("editor");
        QTest::addColumn<int>("place"); // double-clicked; -1: the keyword
        QTest::addColumn<QString>("places");
        QTest::addColumn<QString>("arguments");
        const QString open =
            "($source)/file/open.c:5 ($source)/file/open.c:7 ($source)/file/open.c:13";
        QTest::newRow("program, keyword") << "gOpenFile"
                                          << "<editor>" << -1 << open << "<texts>/9|";
        QTest::newRow("program, place") << "gOpenFile"
                                        << "<editor>" << 1 << open << "<src>/file/open.c/7|";
        QTest::newRow("template, keyword")
            << "gUndo"
            << "\"<editor>\" -l %l %f" << -1 << "($source)/edit/undo.c:4"
            << "-l|17|<texts>|";
        QTest::newRow("no use") << "gCloseFile"
                                << "<editor>" << -1 << ""
                                << "<texts>/12|";
    }
    void placesAndEditor() {
        QFETCH(QString, symbol);
        QFETCH(QString, editor);
        QFETCH(int, place);
        QFETCH(QString, places);
        QFETCH(QString, arguments);
        theOptions.SetEditor(editor.replace("<editor>", Q(m_strEditor)).toStdString());
        m_pView->OnDblClk(); // no keyword selected yet: opens nothing
        QVERIFY(Reload());
        const QPoint at = List()->visualRect(Model()->index(RowOf(symbol), 2)).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, at); // then the double-click
        QVERIFY(m_pDoc->GetCurrentKeyword() == Model()->KeywordAt(RowOf(symbol)));
        QStringList shown;
        for (int k = 0; k < Places()->model()->rowCount(); ++k)
            shown << Places()->model()->index(k, 0).data().toString() + ":" +
                         Places()->model()->index(k, 1).data().toString();
        QCOMPARE(shown.join(' '), places);
        QCOMPARE(Places()->currentIndex().row(), places.isEmpty() ? -1 : 0);
        if (place < 0)
            QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, at);
        else
            emit Places()->doubleClicked(Places()->model()->index(place, 0));
        const QString expected =
            arguments.replace("<texts>", Q(m_strTexts)).replace("<src>", Q(m_strSource));
        QTRY_COMPARE(Q(ReadFile(m_strEditorOut)), expected + "\n");
        QTest::qWait(100);
        QCOMPARE(Q(ReadFile(m_strEditorOut)), expected + "\n");
    }

    // A load that finds nothing, or is cancelled, leaves nothing to select,
    // open or wipe; the next load is whole again.
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
            m_pDir->Put("bulk/f" + std::to_string(i) + ".c", "gOpenFile(gUndo);\n");
        theOptions.SetSourceFolder(1, *m_pDir / "bulk");
        QVERIFY(Reload());
        List()->selectRow(RowOf("gOpenFile"));
        if (!cancel)
            theOptions.SetKeywordFile(*m_pDir / "missing.h");
        QSignalSpy texts(m_pView, &CGlossCutterView::StatusText);
        QCOMPARE(Reload(cancel), !cancel);
        QCOMPARE(Model()->rowCount() + Places()->model()->rowCount(), 0);
        QVERIFY(m_pDoc->GetCurrentKeyword() == nullptr && !Enabled(ID_WIPE));
        QCOMPARE(texts.last().at(0).toString(), status);
        theOptions.SetKeywordFile(m_strTexts);
        QVERIFY(Reload());
        QCOMPARE(Cell(RowOf("gOpenFile"), 4), "503");
    }

    // "PATH " when looked up in PATH; the desktop's opener is always the last resort.
    void editorCommands_data() {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<uint>("line");
        QTest::addColumn<QString>("command");
        QTest::newRow("program") << "/opt/ed" << 12u << "/opt/ed|/p q/k.h/12";
        QTest::newRow("program, line 0") << "/opt/ed" << 0u << "/opt/ed|/p q/k.h";
        QTest::newRow("program with blanks") << "/opt/my ed -x" << 3u << "/opt/my ed -x|/p q/k.h/3";
        QTest::newRow("line code alone") << "ed +%l" << 3u << "ed +%l|/p q/k.h/3";
        QTest::newRow("template") << "gedit +%l %f" << 12u << "PATH gedit|+12|/p q/k.h";
        QTest::newRow("template, line 0, percent")
            << "ed --at=%f:%l 100%%" << 0u << "PATH ed|--at=/p q/k.h:1|100%";
        // Escaped, not raw: moc 6.4 misreads a raw string that holds \".
        QTest::newRow("quoted template")
            << "\"/opt/my ed\" -g \"%f:%l\" \"a\\\"b\"" // NOLINT(modernize-raw-string-literal)
            << 7u << "PATH /opt/my ed|-g|/p q/k.h:7|a\"b";
    }
    void editorCommands() {
        QFETCH(QString, editor);
        QFETCH(uint, line);
        QFETCH(QString, command);
        QStringList actual;
        for (const CEditorCommand& c : EditorCommands(editor.toStdString(), "/p q/k.h", line))
            actual << (c.m_bSearchPath ? "PATH " : "") + Q(c.m_arrArguments).join('|');
        QCOMPARE(actual, (QStringList{command, "/usr/bin/xdg-open|/p q/k.h"}));
    }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
