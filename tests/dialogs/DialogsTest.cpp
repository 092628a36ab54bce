// The folder picker, the Options dialog with its choosers and questions
// scripted, and the frame's Options, Auto check and Wipe commands.

#include "../engine/TestTables.h"
#include "../shell/QtTestHelpers.h"
#include "DlgOptions.h"
#include "FolderDlg.h"
#include "GlossCutterDoc.h"
#include "GlossCutterOptions.h"
#include "GlossCutterView.h"
#include "KeywordTableModel.h"
#include "MainFrame.h"
#include "Questions.h"
#include "ResourceIds.h"
#include "Wipe.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace testing_tables;
namespace fs = std::filesystem;

namespace {

// One row of a table.
template <typename... Cells>
void Row(const char* name, const Cells&... cells) {
    (QTest::newRow(name) << ... << cells);
}

// A list written as one text, the entries separated by blanks.
QStringList L(const QString& text) {
    return text.split(' ', Qt::SkipEmptyParts);
}

QStringList Items(const QListWidget* pList) {
    QStringList items;
    for (int row = 0; row < pList->count(); ++row)
        items << pList->item(row)->text();
    return items;
}

// The keyword file after the demo's unused keywords (lines 12 to 14) are wiped;
// Remove also drops the lines of the keywords marked already (21 and 23).
std::string Wiped(const std::string& original, unsigned operation) {
    std::string result;
    std::size_t start = 0;
    for (int line = 1; start < original.size(); ++line) {
        const std::size_t end = original.find('\n', start) + 1;
        const std::string text = original.substr(start, end - start);
        start = end;
        const bool unused = line >= 12 && line <= 14;
        if (operation == WIPE_REMOVE && (unused || line == 21 || line == 23))
            continue;
        result += (unused ? "// GlossCutter //" : "") + text;
    }
    return result;
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_configHome;
    int m_nStore = 0;
    QList<bool> m_answers;      // taken one per question; No once they run out
    QStringList m_asked;        // "<caption>: <text>" of every question and warning
    QStringList m_folders;      // what the folder picker gives, one per browse
    QString m_chosenFile;       // what the file chooser gives
    QStringList m_fileRequests; // "<initial>|exe" or "<initial>|any"
    std::unique_ptr<TempDir> m_dir;
    std::unique_ptr<CGlossCutterDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    CGlossCutterView* m_pView = nullptr;

    static void StoreFolders(const std::map<int, std::string>& folders) {
        for (const auto& [slot, folder] : folders)
            theOptions.SetSourceFolder(slot, folder);
    }
    // Stores `entries` from slot 0 on in the source folders or skipped files.
    static void StoreList(bool bSkipped, const QStringList& entries) {
        for (int slot = 0; slot < entries.size(); ++slot)
            bSkipped ? theOptions.SetSkippedFile(slot, entries[slot].toStdString())
                     : theOptions.SetSourceFolder(slot, entries[slot].toStdString());
    }
    static QStringList StoredFolders() {
        QStringList stored;
        for (int slot = 0; slot < CGlossCutterOptions::kSlotCount; ++slot) {
            std::string folder = "<unread>";
            theOptions.GetSourceFolder(slot, folder);
            stored << Q(folder);
        }
        return stored;
    }
    int TickedRows() const {
        int ticked = 0;
        for (int row = 0; row < m_pView->GetModel()->rowCount(); ++row) {
            if (m_pView->GetModel()->index(row, 0).data(Qt::CheckStateRole) == Qt::Checked)
                ++ticked;
        }
        return ticked;
    }
    // The frame as start-up builds it, on a scratch copy of the demo.
    void MakeFrame() {
        m_dir = std::make_unique<TempDir>();
        fs::copy(GLOSSCUTTER_EXAMPLES "/demo", *m_dir / "demo", fs::copy_options::recursive);
        theOptions.SetKeywordFile(*m_dir / "demo/texts.h");
        theOptions.SetSourceFolder(0, *m_dir / "demo/src");
        m_pDoc = std::make_unique<CGlossCutterDoc>();
        m_pView = new CGlossCutterView(*m_pDoc);
        m_pFrame = std::make_unique<CMainFrame>(m_pView);
        m_pView->OnInitialUpdate();
        m_pFrame->show();
    }
    void Trigger(int nId) { m_pFrame->Action(nId)->trigger(); }

private slots:
    void initTestCase() {
        // Before the first QSettings exists, which fixes the user's config path.
        QVERIFY(m_configHome.isValid());
        qputenv("XDG_CONFIG_HOME", m_configHome.path().toUtf8());
        SetQuestionAnswerer([this](const QString& text, const QString& caption) {
            m_asked << caption + ": " + text;
            return !m_answers.isEmpty() && m_answers.takeFirst();
        });
        CDlgOptions::SetFolderChooser([this](const std::string&) -> std::optional<std::string> {
            if (m_folders.isEmpty())
                return std::nullopt;
            return m_folders.takeFirst().toStdString();
        });
        SetFileChooser([this](const QString& initial, bool bExecutablesOnly) {
            m_fileRequests << initial + (bExecutablesOnly ? "|exe" : "|any");
            return m_chosenFile;
        });
    }

    void init() {
        theOptions.OpenSettingsKey(
            SettingsKeyPath("TestCo" + std::to_string(++m_nStore), "GlossCutter"));
        m_answers.clear();
        m_asked.clear();
        m_folders.clear();
        m_fileRequests.clear();
        m_chosenFile.clear();
    }

    void cleanup() {
        m_pFrame.reset();
        m_pDoc.reset();
        m_dir.reset();
    }

    void shortenPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shown");
        Row("35 characters", "/usr/share/local/applications/xyz/a",
            "/usr/share/local/applications/xyz/a");
        Row("36 characters", "/usr/share/local/applications/xyz/ab",
            "/usr/.../local/applications/xyz/ab");
        Row("deep", "/home/projects/work/deep/folder/structure/source",
            "/home/.../deep/folder/structure/source");
        Row("blanks", "/opt/Program Files/Common Files/System/ado",
            "/opt/.../Common Files/System/ado");
        Row("network", "//server/share/projects/alpha/beta/gamma/delta",
            "//.../projects/alpha/beta/gamma/delta");
        Row("no slash", "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJ",
            "lmnopqrstuvwxyz0123456789ABCDEFGHIJ");
        Row("long last component", "/d/a/VeryLongFolderNameWithoutAnySeparatorsAtAll1234",
            "/d/ameWithoutAnySeparatorsAtAll1234");
    }
    void shortenPath() {
        QFETCH(QString, path);
        QFETCH(QString, shown);
        QCOMPARE(Q(CxFolderDlg::ShortenPath(path.toStdString())), shown);
    }

    void folderPickerShowsSelection() {
        TempDir dir;
        const std::string folder = dir / "alpha/beta/gamma";
        fs::create_directories(folder);
        CxFolderDlg dialog;
        // The model reads the folders in the background.
        QTRY_COMPARE((dialog.SetSelection(folder), dialog.GetStatusText()),
                     Q(CxFolderDlg::ShortenPath(folder)));
        QVERIFY(dialog.GetStatusText().size() <= 35);
        QCOMPARE(dialog.GetFolderPath(), folder);
    }

    // 0 stands for no stored operation; clicks: R for Remove, M for Mark.
    void optionsOpen_data() {
        QTest::addColumn<uint>("stored");
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<bool>("markShown");
        QTest::addColumn<uint>("handedBack");
        QTest::newRow("nothing stored") << 0u << "" << true << 1u;
        QTest::newRow("remove") << 2u << "" << false << 2u;
        QTest::newRow("unknown value") << 7u << "" << false << 7u;
        QTest::newRow("click remove") << 1u << "R" << true << 2u;
        QTest::newRow("click remove, mark") << 1u << "RM" << true << 1u;
        QTest::newRow("unknown, click mark") << 7u << "M" << false << 1u;
        QTest::newRow("unknown, click remove") << 7u << "R" << false << 2u;
    }
    void optionsOpen() {
        QFETCH(uint, stored);
        QFETCH(QString, clicks);
        QFETCH(bool, markShown);
        QFETCH(uint, handedBack);
        if (stored != 0)
            theOptions.SetUnusedKeywordsOperation(stored);
        CDlgOptions dialog;
        QCOMPARE(dialog.m_pKeywordFileEdit->text(), "");
        QCOMPARE(dialog.m_pEditorEdit->text(), "Notepad");
        QCOMPARE(dialog.m_lbSourceFolders->count() + dialog.m_lbSkippedFiles->count(), 0);
        QCOMPARE(dialog.m_pMark->isChecked(), markShown);
        QCOMPARE(dialog.m_pRemove->isChecked(), !markShown);
        for (const QChar click : clicks)
            (click == 'R' ? dialog.m_pRemove : dialog.m_pMark)->click();
        if (!clicks.isEmpty())
            QCOMPARE(dialog.m_pMark->isChecked(), clicks.endsWith('M'));
        dialog.OnOK();
        QCOMPARE(dialog.GetOperation(), handedBack);
        QCOMPARE(dialog.GetEditorPath(), "Notepad");
    }

    void optionsListsSorted() {
        StoreFolders({{0, "/zeta"}, {3, "/Beta"}, {5, "/alpha"}});
        theOptions.SetSkippedFile(6, "/x/b.h");
        theOptions.SetSkippedFile(1, "/x/C.h");
        theOptions.SetSkippedFile(2, "/x/A.h");
        CDlgOptions dialog;
        QCOMPARE(Items(dialog.m_lbSourceFolders), (QStringList{"/alpha", "/Beta", "/zeta"}));
        dialog.OnOK();
        QCOMPARE(Q(dialog.GetSourceFolderList()), (QStringList{"/alpha", "/Beta", "/zeta"}));
        QCOMPARE(Q(dialog.GetSkippedFileList()), (QStringList{"/x/A.h", "/x/b.h", "/x/C.h"}));
    }

    // answers: Y or N per question, in the order asked; askedAbout: the
    // entry each question names.
    void addSourceFolder_data() {
        for (const char* column : {"listed", "added", "answers", "askedAbout", "result"})
            QTest::addColumn<QString>(column);
        Row("into empty list", "", "/src", "", "", "/src");
        Row("no overlap, sorted", "/zeta /a", "/B", "", "", "/a /B /zeta");
        Row("inside, yes", "/src", "/src/lib", "Y", "/src", "/src/lib");
        Row("inside, no", "/src", "/src/lib", "N", "/src", "/src");
        Row("plain substring", "/src", "/src2", "Y", "/src", "/src2");
        Row("other case", "/src", "/Src/lib", "", "", "/src /Src/lib");
        Row("around two, yes yes", "/a/b /a/c", "/a", "YY", "/a/b /a/c", "/a");
        Row("around two, yes no", "/a/b /a/c", "/a", "YN", "/a/b /a/c", "/a /a/c");
        Row("around two, no no", "/a/b /a/c", "/a", "NN", "/a/b /a/c", "/a/b /a/c");
        Row("same, yes", "/src /x", "/src", "Y", "/src", "/src /x");
        Row("same, no", "/src /x", "/src", "N", "/src", "/src /x");
        Row("picker cancelled", "/src", "", "", "", "/src");
    }
    void addSourceFolder() {
        QFETCH(QString, listed);
        QFETCH(QString, added);
        QFETCH(QString, answers);
        QFETCH(QString, askedAbout);
        QFETCH(QString, result);
        StoreList(false, L(listed));
        CDlgOptions dialog;
        if (!added.isEmpty())
            m_folders << added;
        for (const QChar answer : answers)
            m_answers << (answer == 'Y');
        dialog.OnBrowseSourceFolder();
        QStringList expected;
        for (const QString& entry : L(askedAbout))
            expected << "GlossCutter: This folder is overlapped with " + entry +
                            "\nReplace with the new one?";
        QCOMPARE(m_asked, expected);
        QCOMPARE(Items(dialog.m_lbSourceFolders), L(result));
        dialog.OnOK();
        QCOMPARE(Q(dialog.GetSourceFolderList()), L(result));
    }

    // Only an exact duplicate is dropped; an empty choice is a cancel.
    void addSkippedFile_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("result");
        QTest::newRow("new") << "/p/a.h" << QStringList{"/p/a.h", "/p/k.h"};
        QTest::newRow("same case") << "/p/k.h" << QStringList{"/p/k.h"};
        QTest::newRow("other case") << "/P/K.h" << QStringList{"/p/k.h", "/P/K.h"};
        QTest::newRow("cancelled") << "" << QStringList{"/p/k.h"};
    }
    void addSkippedFile() {
        QFETCH(QString, chosen);
        QFETCH(QStringList, result);
        theOptions.SetSkippedFile(3, "/p/k.h");
        CDlgOptions dialog;
        m_chosenFile = chosen;
        dialog.m_lbSkippedFiles->setCurrentRow(0);
        dialog.OnBrowseSkippedFile();
        QCOMPARE(m_fileRequests, QStringList{"/p/k.h|any"}); // starts at the selected entry
        QStringList items = Items(dialog.m_lbSkippedFiles);
        items.sort(Qt::CaseSensitive); // equal but for case: either order
        result.sort(Qt::CaseSensitive);
        QCOMPARE(items, result);
        QVERIFY(m_asked.isEmpty());
    }

    void deleteEntry_data() {
        QTest::addColumn<bool>("skipped");
        QTest::addColumn<bool>("select");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("result");
        const QStringList both{"/a", "/b"};
        QTest::newRow("folder, nothing selected") << false << false << true << both;
        QTest::newRow("folder, no") << false << true << false << both;
        QTest::newRow("folder, yes") << false << true << true << QStringList{"/a"};
        QTest::newRow("file, nothing selected") << true << false << true << both;
        QTest::newRow("file, yes") << true << true << true << QStringList{"/a"};
    }
    void deleteEntry() {
        QFETCH(bool, skipped);
        QFETCH(bool, select);
        QFETCH(bool, yes);
        QFETCH(QStringList, result);
        StoreList(skipped, {"/b", "/a"});
        CDlgOptions dialog;
        QListWidget* pList = skipped ? dialog.m_lbSkippedFiles : dialog.m_lbSourceFolders;
        if (select)
            pList->setCurrentRow(1);
        m_answers = {yes};
        skipped ? dialog.OnDeleteSkippedFile() : dialog.OnDeleteSourceFolder();
        QCOMPARE(m_asked, select ? QStringList{"GlossCutter: Delete?"} : QStringList{});
        QCOMPARE(Items(pList), result);
        QCOMPARE(pList->selectedItems().size(), int(select && !yes));
    }

    // The settings keep eight entries of up to 259 bytes: more is refused.
    void refusedEntries_data() {
        QTest::addColumn<bool>("skipped");
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("added");
        QTest::newRow("eighth folder") << false << 7 << "/new" << true;
        QTest::newRow("ninth folder") << false << 8 << "/new" << false;
        QTest::newRow("ninth file") << true << 8 << "/new" << false;
        QTest::newRow("259 bytes") << false << 0 << "/" + QString(258, 'x') << true;
        QTest::newRow("260 bytes") << false << 0 << "/" + QString(259, 'x') << false;
        QTest::newRow("300-byte file") << true << 0 << "/" + QString(299, 'x') << false;
    }
    void refusedEntries() {
        QFETCH(bool, skipped);
        QFETCH(int, listed);
        QFETCH(QString, chosen);
        QFETCH(bool, added);
        QStringList old;
        for (int slot = 0; slot < listed; ++slot)
            old << "/old" + QString::number(slot);
        StoreList(skipped, old);
        CDlgOptions dialog;
        QListWidget* pList = skipped ? dialog.m_lbSkippedFiles : dialog.m_lbSourceFolders;
        QCOMPARE(pList->count(), listed);
        m_folders << chosen;
        m_chosenFile = chosen;
        skipped ? dialog.OnBrowseSkippedFile() : dialog.OnBrowseSourceFolder();
        QCOMPARE(m_asked.size(), int(!added)); // the warning
        QCOMPARE(pList->count(), listed + int(added));
        QCOMPARE(Items(pList).contains(chosen), added);
    }

    // A chooser changes its own field only; typed text in the other stays.
    void browseFiles() {
        CDlgOptions dialog;
        dialog.m_pKeywordFileEdit->setText("/typed/k.h");
        m_chosenFile = "/usr/bin/vi";
        dialog.OnBrowseEditor();
        dialog.m_pEditorEdit->setText(dialog.m_pEditorEdit->text() + " -n");
        m_chosenFile = "";
        dialog.OnBrowseKeywordFile(); // cancelled
        QCOMPARE(m_fileRequests, (QStringList{"|exe", "/typed/k.h|any"}));
        QCOMPARE(dialog.m_pKeywordFileEdit->text(), "/typed/k.h");
        m_chosenFile = "/p/keys.h";
        dialog.OnBrowseKeywordFile();
        QCOMPARE(dialog.m_pEditorEdit->text(), "/usr/bin/vi -n");
        dialog.OnOK();
        QCOMPARE(dialog.GetKeywordFilePath(), "/p/keys.h");
        QCOMPARE(dialog.GetEditorPath(), "/usr/bin/vi -n");
    }

    // The frame stores what the dialog hands back only after OK, folders from
    // slot 0 on and every later slot emptied.
    void frameOptions_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("editor");
        QTest::newRow("ok") << "ok" << QStringList{"/alpha", "/Beta", "/zeta", "", "", "", "", ""}
                            << "/bin/new";
        QTest::newRow("all deleted") << "delete" << QStringList(8, "") << "/bin/new";
        QTest::newRow("cancel") << "cancel"
                                << QStringList{"", "", "/Beta", "", "", "/alpha", "", "/zeta"}
                                << "/bin/old";
    }
    void frameOptions() {
        QFETCH(QString, action);
        QFETCH(QStringList, stored);
        QFETCH(QString, editor);
        StoreFolders({{7, "/zeta"}, {2, "/Beta"}, {5, "/alpha"}});
        theOptions.SetSkippedFile(6, "/s.h");
        theOptions.SetEditor("/bin/old");
        MakeFrame();
        theOptions.SetSourceFolder(0, "");
        QSignalSpy started(m_pView, &CGlossCutterView::LoadStarted);
        bool ran = false;
        // Answers the dialog once its modal loop runs.
        QTimer answer;
        answer.setSingleShot(true);
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* pDialog = qobject_cast<CDlgOptions*>(QApplication::activeModalWidget());
            if (pDialog == nullptr)
                return;
            ran = true;
            pDialog->m_pEditorEdit->setText("/bin/new");
            pDialog->m_pRemove->click();
            if (action == "delete") {
                while (pDialog->m_lbSourceFolders->count() > 0) {
                    m_answers << true;
                    pDialog->m_lbSourceFolders->setCurrentRow(0);
                    pDialog->OnDeleteSourceFolder();
                }
            }
            action == "cancel" ? pDialog->reject() : pDialog->OnOK();
        });
        answer.start(0);
        Trigger(ID_OPTIONS);
        QVERIFY(ran);
        QCOMPARE(StoredFolders(), stored);
        std::string storedEditor, skipped0, skipped6;
        theOptions.GetEditor(storedEditor);
        QCOMPARE(Q(storedEditor), editor);
        theOptions.GetSkippedFile(0, skipped0);
        theOptions.GetSkippedFile(6, skipped6);
        QCOMPARE(Q(skipped0 + "|" + skipped6), action == "cancel" ? "|/s.h" : "/s.h|");
        std::uint32_t operation = 0;
        theOptions.GetUnusedKeywordsOperation(operation);
        QCOMPARE(operation, action == "cancel" ? 1u : 2u);
        QCOMPARE(started.count(), 0); // nothing reloaded
    }

    // wipe: -1 not asked, 0 No, 1 Yes. spoil: "edit" changes the file after
    // the load, "other" points the settings at another file.
    void frameAutoCheckAndWipe_data() {
        QTest::addColumn<bool>("autoCheck");
        QTest::addColumn<int>("wipe");
        QTest::addColumn<uint>("operation");
        QTest::addColumn<QString>("spoil");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("ticked");
        QTest::newRow("auto check, no") << false << -1 << 1u << "" << 15 << 2;
        QTest::newRow("wipe, no") << true << 0 << 1u << "" << 15 << 5;
        QTest::newRow("mark") << true << 1 << uint(WIPE_MARK) << "" << 15 << 5;
        QTest::newRow("remove") << true << 1 << uint(WIPE_REMOVE) << "" << 10 << 0;
        QTest::newRow("file changed") << true << 1 << uint(WIPE_REMOVE) << "edit" << 15 << 5;
        QTest::newRow("other file") << true << 1 << uint(WIPE_REMOVE) << "other" << 15 << 5;
    }
    void frameAutoCheckAndWipe() {
        QFETCH(bool, autoCheck);
        QFETCH(int, wipe);
        QFETCH(uint, operation);
        QFETCH(QString, spoil);
        QFETCH(int, rows);
        QFETCH(int, ticked);
        MakeFrame();
        theOptions.SetUnusedKeywordsOperation(operation);
        const std::string texts = *m_dir / "demo/texts.h", original = ReadFile(texts);
        QSignalSpy started(m_pView, &CGlossCutterView::LoadStarted);
        QSignalSpy finished(m_pView, &CGlossCutterView::LoadFinished);
        Trigger(ID_RELOAD);
        QVERIFY(finished.wait(30000));
        m_answers = {autoCheck, wipe == 1};
        Trigger(ID_AUTO_CHECK);
        std::string expected = original;
        if (spoil == "edit")
            WriteFile(texts, expected = original + "#define sLate \"Late\"\n");
        if (spoil == "other")
            theOptions.SetKeywordFile(m_dir->Put("other.h", original));
        if (wipe >= 0)
            Trigger(ID_WIPE);
        const bool done = wipe == 1 && spoil.isEmpty(), refused = wipe == 1 && !done;
        QStringList questions{"Auto Check: Check the unused words?"};
        if (wipe >= 0)
            questions << "Wipe: Remove the unused words?";
        QCOMPARE(m_asked.mid(0, questions.size()), questions);
        QCOMPARE(m_asked.size(), questions.size() + int(refused));
        if (refused) // the warning
            QVERIFY2(m_asked.last().startsWith("Wipe: "), qPrintable(m_asked.last()));
        if (done) {
            QVERIFY(finished.wait(30000));
            QCOMPARE(Q(ReadFile(*m_dir / "demo/texts.bak")), Q(original));
            expected = Wiped(original, operation);
        } else {
            QVERIFY(!fs::exists(*m_dir / "demo/texts.bak"));
            QVERIFY(!fs::exists(*m_dir / "other.bak"));
        }
        QCOMPARE(started.count(), done ? 2 : 1);
        QCOMPARE(Q(ReadFile(texts)), Q(expected));
        QCOMPARE(m_pView->GetModel()->rowCount(), rows);
        QCOMPARE(TickedRows(), ticked);
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
