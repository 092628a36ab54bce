// The main window, headless: the list, its sorting and ticks, the load, the used list.

#include "EditorLaunch.h"
#include "FrameFixture.h"
#include "MiniDialog.h"
#include "MiniDlgUsedList.h"
#include "PlacesModel.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QTableView>

using namespace testing_tables;

// Header clicks (-1: Reload). Marked, Value and Status do not sort; a second click turns the
// direction; Reload sorts by line but keeps both.
const NamedRow<QList<int>, int, bool> kSorting[] = {
    {"line twice", {{-1, 1, 1}, 1, false}},
    {"marked first", {{-1, 0}, 1, true}},
    {"marked first, line", {{0, -1, 1}, 1, false}},
    {"symbol twice, reload, symbol", {{-1, 2, 2, -1, 2}, 2, true}},
    {"symbol, value", {{-1, 2, 3}, 2, true}},
    {"symbol, status", {{-1, 2, 5}, 2, true}},
    {"used twice", {{-1, 4, 4}, 4, false}}};

// Auto check's Yes ticks the three unused keywords and keeps the rest.
const NamedRow<QString, QList<int>, bool, bool> kTicks[] = {
    {"ticked", {"gSaveFile", {Qt::Checked}, false, true}},
    {"ticked, unticked", {"gSaveFile", {Qt::Checked, Qt::Unchecked}, false, false}},
    {"marked, unticked", {"gOldTitle", {Qt::Unchecked}, false, true}},
    {"ticked, auto check", {"gSaveFile", {Qt::Checked}, true, true}},
    {"auto check", {"gCloseFile", {}, true, true}}};

// The place double-clicked: -1 for the keyword itself.
const QString kOpen = "($source)/file/open.c:5 ($source)/file/open.c:7 ($source)/file/open.c:13";
const NamedRow<QString, QString, int, QString, QString> kOpening[] = {
    {"program, keyword", {"gOpenFile", "<editor>", -1, kOpen, "<texts>/9|"}},
    {"program, place", {"gOpenFile", "<editor>", 1, kOpen, "<src>/file/open.c/7|"}},
    {"template, keyword",
     {"gUndo", "\"<editor>\" -l %l %f", -1, "($source)/edit/undo.c:4", "-l|17|<texts>|"}},
    {"no use", {"gCloseFile", "<editor>", -1, "", "<texts>/12|"}}};

// A keyword of one row, marked, kept, with a twin: its status, Auto check's tick and
// its places' kinds.
using K = UseKind;
const NamedRow<bool, bool, bool, QList<UseKind>, QString> kStatuses[] = {
    {"marked, duplicate", {true, false, true, {}, "marked, duplicate|ticked|"}},
    {"used", {false, false, false, {K::Comment, K::Code}, "used||comment code"}},
    {"pasted, kept", {false, true, false, {K::Pasted}, "used||pasted"}},
    {"kept, in a string", {false, true, false, {K::String}, "kept||string"}},
    {"mentioned, duplicate",
     {false, false, true, {K::Inactive, K::Comment}, "mentioned, duplicate||inactive comment"}},
    {"unused", {false, false, false, {}, "unused|ticked|"}}};

// Clicks on symbols, "^" with Ctrl, "+" with Shift, "*" selects all: the keyword then current
// and how many places the used list shows.
const NamedRow<QStringList, QString> kSelecting[] = {
    {"click, ctrl+click, click back", {{"gOpenFile", "^gUndo", "gOpenFile"}, "gOpenFile 3"}},
    {"range, click inside", {{"gAppName", "+gUndo", "gOpenFile"}, "gOpenFile 3"}},
    {"range upwards", {{"gUndo", "+gOpenFile"}, "gOpenFile 3"}},
    {"click, select all", {{"gUndo", "*"}, "gUndo 1"}},
    {"ctrl+click off the current", {{"gOpenFile", "^gUndo", "^gUndo"}, "gOpenFile 3"}},
    {"ctrl+click off the last", {{"gUndo", "^gUndo"}, "gUndo 1"}}};

// Either selects the box's row and ticks it once; a double-click opens it.
const NamedRow<bool, QString> kCheckBoxes[] = {{"click", {false, ""}},
                                               {"double-click", {true, "<texts>/17|\n"}}};

// Status texts since the Reload, and the summary field after it.
const NamedRow<bool, QString, QString> kEmptyLoads[] = {
    {"no keyword file",
     {false, "Ready", "Cannot read keyword file <dir>/missing.h: No such file or directory"}},
    {"cancelled", {true, "Cancelling...|Load cancelled", ""}}};

// A filter's text and status, after a sort by symbol or not: the rows shown. gCloseFile is
// kept, gPrint mentioned and gSaveFile a duplicate.
const NamedRow<QString, QString, bool, QString> kFilters[] = {
    {"all", {"", "All", false, "15 rows"}},
    {"symbol, any case", {"PRINT", "All", false, "gPrint gPrintPreview"}},
    {"value, sorted by symbol", {"demo", "All", true, "gAbout gAppName gOldTitle"}},
    {"value, line order", {"demo", "All", false, "gAppName gAbout gOldTitle"}},
    {"unused", {"", "Unused", false, "gPrintPreview"}},
    {"mentioned only", {"", "Mentioned only", false, "gPrint"}},
    {"kept", {"", "Kept", false, "gCloseFile"}},
    {"marked", {"", "Marked", false, "gOldTitle gSpellCheck"}},
    {"duplicates", {"", "Duplicates", false, "gSaveFile"}},
    {"used, with a text", {"file", "Used", false, "gOpenFile gSaveFile gRecentFiles"}},
    {"nothing", {"zzz", "All", false, ""}}};

const NamedRow<QString, uint, QString> kCommands[] = {
    {"program", {"/opt/ed", 12, "/opt/ed|/p q/k.h/12"}},
    {"program with blanks", {"/opt/my ed -x", 3, "/opt/my ed -x|/p q/k.h/3"}},
    {"line code alone", {"ed +%l", 3, "ed +%l|/p q/k.h/3"}},
    {"template", {"gedit +%l %f", 12, "PATH gedit|+12|/p q/k.h"}},
    {"template, line 0, percent", {"ed --at=%f:%l 100%%", 0, "PATH ed|--at=/p q/k.h:1|100%"}},
    // Escaped, not raw: moc 6.4 misreads a raw string that holds \".
    {"quoted template, escapes",
     {"\"/opt/my ed\" -g \"%f:%l\" \"a\\\"b\\x\\\\\"", // NOLINT(modernize-raw-string-literal)
      7, "PATH /opt/my ed|-g|/p q/k.h:7|a\"b\\x\\"}}}; // NOLINT(modernize-raw-string-literal)

class ShellTest : public QObject, private CFrameFixture {
    Q_OBJECT

    QTableView* List() const { return m_pView->m_listKeywords; }
    QTableView* Places() const { return m_pFrame->m_pUsedList->m_listPlaces; }
    // The centre of a symbol's cell, or of its row's check box.
    QPoint At(const QString& symbol, bool bBox = false) const {
        QStyleOptionViewItem option;
        option.initFrom(List());
        option.rect = List()->visualRect(Model()->index(RowOf(symbol), bBox ? 0 : 2));
        option.features = QStyleOptionViewItem::HasCheckIndicator;
        return bBox ? List()
                          ->style()
                          ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, List())
                          .center()
                    : option.rect.center();
    }
    // An editor that logs its arguments to `out`, a line a start.
    std::string LoggingEditor(const std::string& out) const {
        std::string script = m_pDir->Put(
            "my editor.sh", "#!/bin/sh\n{ printf '%s|' \"$@\"; echo; } >>'" + out + "'");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        return script;
    }
    void ClickHeader(int column) const {
        QHeaderView* header = List()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(column) + 5, header->height() / 2});
    }

private slots:
    void init() { SetUp(); }
    void cleanup() { m_pFrame.reset(); }

    // Marked keywords get no uses, and a tick.
    void startUpThenReload() {
        QStringList headers;
        for (const QAbstractItemModel* model : {List()->model(), Places()->model()}) {
            for (int column = 0; column < model->columnCount(); ++column)
                headers << model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        }
        QCOMPARE(headers.join('|'), "Marked|Line|Symbol|Value|Used|Status|File|Line number|Kind");
        QVERIFY(Model()->rowCount() == 0 && !Enabled(ID_AUTO_CHECK) && !Enabled(ID_WIPE));
        QVERIFY(Reload());
        QStringList shown;
        for (const int row : {0, 4, 13, 14})
            shown << QStringList{Cell(row, 0), Cell(row, 1), Cell(row, 2),
                                 Cell(row, 3), Cell(row, 4), Ticked(row) ? "ticked" : ""}
                         .join('|');
        QCOMPARE(shown, (QStringList{"|8|gAppName|Demo Editor|1|", "|12|gCloseFile|Close|0|",
                                     "*|21|gOldTitle|Demo|0|ticked",
                                     "*|23|gSpellCheck|Check spelling|0|ticked"}));
    }

    // The list follows the window; Ctrl+U and the close box show and hide the used
    // list, and the View menu's check mark follows.
    void listFillsTheWindowAndUsedListToggles() {
        m_pFrame->resize(m_pFrame->sizeHint() + QSize(400, 300));
        QTRY_VERIFY(m_pView->widget()->width() > m_pView->widget()->minimumWidth());
        const QRect first = List()->geometry();
        m_pFrame->resize(m_pFrame->size() + QSize(100, 50));
        QTRY_COMPARE(List()->geometry(), first.adjusted(0, 0, 100, 50));
        QAction* pViewUsed = m_pFrame->Action(ID_VIEW_USED);
        const auto shown = [&] {
            return std::pair(m_pFrame->m_pUsedListWnd->isVisible(), pViewUsed->isChecked());
        };
        for (const bool expected : {true, false}) {
            m_pFrame->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_pFrame.get()));
            QTest::keyClick(m_pFrame.get(), Qt::Key_U, Qt::ControlModifier);
            QCOMPARE(shown(), std::pair(expected, expected));
        }
        pViewUsed->trigger();
        m_pFrame->m_pUsedListWnd->close();
        QCOMPARE(shown(), std::pair(false, false));
    }

    void headerClicks_data() { Rows(kSorting); }
    void headerClicks() {
        const auto [clicks, column, ascending] = Fetch(kSorting);
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
        QCOMPARE(List()->selectionModel()->selectedRows(), QModelIndexList{Model()->index(0, 0)});
        QVERIFY(m_pDoc->GetCurrentKeyword() == Model()->KeywordAt(0));
        QCOMPARE(Places()->model()->rowCount(), Cell(0, 4).toInt());
        const QHeaderView* header = List()->horizontalHeader();
        QCOMPARE(header->sortIndicatorSection(), column);
        QCOMPARE(header->sortIndicatorOrder(),
                 ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }

    // Space ticks the selected rows, or unticks them when the current one is
    // ticked; a marked row keeps its tick. Enter opens the current keyword.
    void keys() {
        const std::string out = *m_pDir / "args";
        theOptions.SetEditor(LoggingEditor(out));
        QVERIFY(Reload());
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, At("gOldTitle"));
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::ControlModifier, At("gUndo"));
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::ControlModifier, At("gRedo"));
        const auto tickMarks = [&] {
            QString shown;
            for (const char* symbol : {"gOldTitle", "gUndo", "gRedo", "gAbout"})
                shown += Ticked(RowOf(symbol)) ? "x" : "-";
            return shown;
        };
        QTest::keyClick(List(), Qt::Key_Space);
        QCOMPARE(tickMarks(), "xxx-");
        QTest::keyClick(List(), Qt::Key_Space);
        QCOMPARE(tickMarks(), "x---");
        QTest::keyClick(List(), Qt::Key_Return);
        QTRY_COMPARE(Q(ReadFile(out)), Q(m_strTexts) + "/18|\n");
        // The used list elides a path in its middle and shows it whole as a tooltip.
        QCOMPARE(Places()->textElideMode(), Qt::ElideMiddle);
        QCOMPARE(Places()->model()->index(0, 0).data(Qt::ToolTipRole).toString(),
                 Q(m_strSource) + "/edit/undo.c");
    }

    // Each row's and each place's menu, with what its copies put on the clipboard.
    void contextMenus() {
        QVERIFY(Reload());
        const auto run = [](QMenu* pMenu, const QString& text) {
            const std::unique_ptr<QMenu> menu(pMenu);
            QStringList texts;
            for (QAction* pAction : menu->actions()) {
                texts << pAction->text();
                if (pAction->text() == text)
                    pAction->trigger();
            }
            return texts.join('|');
        };
        const QString rowMenu = "Open in editor|Copy symbol|Copy value|Show uses";
        QCOMPARE(run(m_pView->MakeContextMenu(RowOf("gUndo")), "Copy symbol"), rowMenu);
        QCOMPARE(QGuiApplication::clipboard()->text(), "gUndo");
        run(m_pView->MakeContextMenu(RowOf("gUndo")), "Copy value");
        QCOMPARE(QGuiApplication::clipboard()->text(), "Undo");
        QVERIFY(!m_pFrame->m_pUsedListWnd->m_bVisible);
        run(m_pView->MakeContextMenu(RowOf("gUndo")), "Show uses");
        QVERIFY(m_pFrame->m_pUsedListWnd->m_bVisible);
        List()->selectRow(RowOf("gUndo"));
        QCOMPARE(run(m_pFrame->m_pUsedList->MakeContextMenu(0), "Copy file:line"),
                 "Open in editor|Copy file:line");
        QCOMPARE(QGuiApplication::clipboard()->text(), Q(m_strSource) + "/edit/undo.c:4");
    }

    // The rows stay in the table's order; Space ticks the shown selection and Auto check
    // the whole table. A selected row still shown stays so; otherwise the first is.
    void filter_data() { Rows(kFilters); }
    void filter() {
        const auto [text, status, sorted, shown] = Fetch(kFilters);
        QVERIFY(Reload());
        const auto keyword = [&](const char* symbol) { return Model()->KeywordAt(RowOf(symbol)); };
        keyword("gCloseFile")->m_bKept = true;
        keyword("gPrint")->m_listUsed.emplace_back(kSomeFile, 1, UseKind::Comment);
        keyword("gSaveFile")->m_arrSameValueLines.push_back(3);
        if (sorted)
            ClickHeader(2);
        List()->selectRow(RowOf("gAbout"));
        m_pView->m_editFilter->setText(text);
        m_pView->m_comboStatus->setCurrentIndex(m_pView->m_comboStatus->findText(status));
        QStringList symbols;
        for (int row = 0; row < Model()->rowCount(); ++row)
            symbols << Cell(row, 2);
        QCOMPARE(symbols.size() == 15 ? "15 rows" : symbols.join(' '), shown);
        const CKeyword* pCurrent = m_pDoc->GetCurrentKeyword();
        QCOMPARE(pCurrent == nullptr ? "" : Q(pCurrent->m_strSymbol),
                 symbols.contains("gAbout") ? "gAbout" : symbols.value(0));
        List()->selectAll();
        QTest::keyClick(List(), Qt::Key_Space);
        const auto ticked = [&] {
            QStringList names;
            for (const auto& pKeyword : m_pDoc->m_arrKeywords)
                if (pKeyword->m_bMarked || pKeyword->m_bChecked)
                    names << Q(pKeyword->m_strSymbol);
            return names;
        };
        QCOMPARE(ticked().size(),
                 2 + symbols.size() - symbols.count("gOldTitle") - symbols.count("gSpellCheck"));
        m_pView->AutoCheck();
        QVERIFY(ticked().contains("gPrintPreview"));
    }

    // Ctrl+F takes the filter, Esc clears it and the list is whole again.
    void filterKeys() {
        QVERIFY(Reload());
        m_pFrame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_pFrame.get()));
        QTest::keyClick(List(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(m_pView->m_editFilter->hasFocus());
        QTest::keyClicks(m_pView->m_editFilter, "undo");
        QCOMPARE(Model()->rowCount(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), List());
        QTest::keyClick(List(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(m_pView->m_editFilter, Qt::Key_Escape);
        QCOMPARE(m_pView->m_editFilter->text(), "");
        QCOMPARE(Model()->rowCount(), 15);
    }

    // A source folder is matched as a whole folder.
    void shownFiles() {
        const std::vector<std::string> folders = {"/src", "/"};
        QCOMPARE(CPlacesModel::ShownFile("/src/a.c", folders), "($source)/a.c");
        QCOMPARE(CPlacesModel::ShownFile("/src2/a.c", folders), "($source)src2/a.c");
        QCOMPARE(CPlacesModel::ShownFile("/src2/a.c", {"/src"}), "/src2/a.c");
    }

    void ticks_data() { Rows(kTicks); }
    void ticks() {
        const auto [symbol, states, autoCheck, ticked] = Fetch(kTicks);
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
            QCOMPARE(TickedRows(), 2 + (autoCheck ? 3 : 0) + int(ticked && symbol == "gSaveFile"));
        }
    }

    // Places are relative to their first source folder; the editor starts only once.
    void placesAndEditor_data() { Rows(kOpening); }
    void placesAndEditor() {
        auto [symbol, editor, place, places, arguments] = Fetch(kOpening);
        const std::string out = *m_pDir / "args";
        theOptions.SetEditor(editor.replace("<editor>", Q(LoggingEditor(out))).toStdString());
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
            arguments.replace("<texts>", Q(m_strTexts)).replace("<src>", Q(m_strSource)) + "\n";
        QTRY_COMPARE(Q(ReadFile(out)), expected);
        QTest::qWait(100);
        QCOMPARE(Q(ReadFile(out)), expected);
    }

    // Uses of set kinds, so that the lexer has no say; Auto check leaves the mentioned.
    void statusAndKinds_data() { Rows(kStatuses); }
    void statusAndKinds() {
        const auto [marked, kept, duplicate, kinds, shown] = Fetch(kStatuses);
        auto keyword = std::make_unique<CKeyword>("gText", "Text", 3, marked);
        keyword->m_bKept = kept;
        if (duplicate)
            keyword->m_arrSameValueLines.push_back(4);
        for (const UseKind kind : kinds)
            keyword->m_listUsed.emplace_back(kSomeFile, 1, kind);
        m_pDoc->m_arrKeywords.push_back(std::move(keyword));
        m_pView->GetModel()->Refresh();
        List()->selectRow(0);
        m_pView->AutoCheck();
        QStringList places;
        for (int k = 0; k < Places()->model()->rowCount(); ++k)
            places << Places()->model()->index(k, 2).data().toString();
        QCOMPARE(QStringList({Cell(0, 5), Ticked(0) ? "ticked" : "", places.join(' ')}).join('|'),
                 shown);
    }

    void selecting_data() { Rows(kSelecting); }
    void selecting() {
        const auto [steps, shown] = Fetch(kSelecting);
        QVERIFY(Reload());
        for (const QString& step : steps) {
            const auto held = QString("^+").indexOf(step[0]);
            const Qt::KeyboardModifier modifiers[] = {Qt::NoModifier, Qt::ControlModifier,
                                                      Qt::ShiftModifier};
            if (step == "*")
                List()->selectAll();
            else
                QTest::mouseClick(List()->viewport(), Qt::LeftButton, modifiers[held + 1],
                                  At(step.mid(held < 0 ? 0 : 1)));
        }
        const CKeyword* pCurrent = m_pDoc->GetCurrentKeyword();
        QCOMPARE(QString("%1 %2").arg(pCurrent == nullptr ? "" : Q(pCurrent->m_strSymbol),
                                      QString::number(Places()->model()->rowCount())),
                 shown);
    }

    void checkBoxes_data() { Rows(kCheckBoxes); }
    void checkBoxes() {
        const auto [doubleClick, opened] = Fetch(kCheckBoxes);
        const std::string out = *m_pDir / "args";
        theOptions.SetEditor(LoggingEditor(out));
        QVERIFY(Reload());
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, At("gOpenFile"));
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, At("gUndo", true));
        if (doubleClick) { // what a window gets for the second press of a double-click
            QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, At("gUndo", true));
            QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, At("gUndo", true));
        }
        const int row = RowOf("gUndo");
        QCOMPARE(List()->selectionModel()->selectedRows(), QModelIndexList{Model()->index(row, 0)});
        QVERIFY(Ticked(row) && m_pDoc->GetCurrentKeyword() == Model()->KeywordAt(row));
        const QString expected = QString(opened).replace("<texts>", Q(m_strTexts));
        QTRY_COMPARE(Q(ReadFile(out)), expected);
        QTest::qWait(100);
        QCOMPARE(Q(ReadFile(out)), expected);
    }

    // The used list's header keeps its plain type and shows "Line number" whole.
    void usedListHeader() {
        QVERIFY(Reload());
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, At("gOpenFile"));
        QHeaderView* header = Places()->horizontalHeader();
        const QImage selected = header->grab().toImage();
        Places()->clearSelection();
        QCOMPARE(header->grab().toImage(), selected);
        QVERIFY(header->sectionSize(1) >= header->sectionSizeHint(1));
    }

    // Nothing is left to select, open or wipe; the next load is whole again.
    void emptyLoads_data() { Rows(kEmptyLoads); }
    void emptyLoads() {
        const auto [cancel, status, summary] = Fetch(kEmptyLoads);
        for (int i = 0; i < 500; ++i) // so that the cancel comes long before the end
            m_pDir->Put("bulk/f" + std::to_string(i) + ".c", "gOpenFile(gUndo);\n");
        theOptions.SetSourceFolder(1, *m_pDir / "bulk");
        QVERIFY(Reload());
        const auto* pSummary = m_pFrame->findChild<QLabel*>("loadSummary");
        QVERIFY(pSummary->text().startsWith("15 keywords, 3 unused, 0 mentioned; loaded in "));
        List()->selectRow(RowOf("gOpenFile"));
        if (!cancel)
            theOptions.SetKeywordFile(*m_pDir / "missing.h");
        QSignalSpy texts(m_pView, &CGlossCutterView::StatusText);
        QCOMPARE(Reload(cancel), !cancel);
        QCOMPARE(Model()->rowCount() + Places()->model()->rowCount(), 0);
        QVERIFY(m_pDoc->GetCurrentKeyword() == nullptr && !Enabled(ID_WIPE));
        QStringList shown;
        for (const QList<QVariant>& text : texts)
            shown << text.at(0).toString();
        QVERIFY2(shown.join('|').endsWith(status), qPrintable(shown.join('|')));
        QCOMPARE(pSummary->text(),
                 QString(summary).replace("<dir>", Q(*m_pDir / "")).replace("//", "/"));
        const auto* pCancel = m_pFrame->findChild<QPushButton*>();
        QCOMPARE(pCancel->isEnabled(), !cancel); // a second press does nothing
        theOptions.SetKeywordFile(m_strTexts);
        QVERIFY(Reload());
        QCOMPARE(Cell(RowOf("gOpenFile"), 4), "503");
    }

    void editorCommands_data() { Rows(kCommands); }
    void editorCommands() {
        const auto [editor, line, command] = Fetch(kCommands);
        QStringList actual;
        for (const CEditorCommand& c : EditorCommands(editor.toStdString(), "/p q/k.h", line))
            actual << (c.m_bSearchPath ? "PATH " : "") + Q(c.m_arrArguments).join('|');
        QCOMPARE(actual, (QStringList{command, "/usr/bin/xdg-open|/p q/k.h"}));
    }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
