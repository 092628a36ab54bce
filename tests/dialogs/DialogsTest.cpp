// The folder picker, the Options dialog with its choosers and questions
// scripted, and the frame's Options and Wipe commands.

#include "../shell/FrameFixture.h"
#include "FolderDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>

using namespace testing_tables;
namespace fs = std::filesystem;

// Clicks: R for Remove, M for Mark. An unknown operation shows Remove, and stays.
const NamedRow<uint, QString, bool, uint> kOperations[] = {
    {"mark", {1, "", true, 1}},
    {"unknown value", {7, "", false, 7}},
    {"click remove, mark", {1, "RM", true, 1}},
    {"unknown, click mark", {7, "M", false, 1}},
};

// Steps: F:PATH and S:PATH browse for a folder or file, answered with PATH (none:
// cancelled); Y, N answer a question; F1, S0 select a row; DF, DS press Delete.
// Asked: O and the entry for an overlap, D "Delete?", W a warning..
const NamedRow<QString, QString, QString, QString, QString, QString> kEdits[] = {
    {"into empty list, sorted", {"", "", "F:/zeta F: F:/a F:/B", "", "/a /B /zeta", ""}},
    {"inside, no, yes", {"/src", "", "N F:/src/lib Y F:/src/lib", "O/src O/src", "/src/lib", ""}},
    {"plain substring", {"/src", "", "Y F:/src2", "O/src", "/src2", ""}},
    {"other case", {"/src", "", "F:/Src/lib", "", "/src /Src/lib", ""}},
    {"around two, yes yes", {"/a/b /a/c", "", "Y Y F:/a", "O/a/b O/a/c", "/a", ""}},
    {"around two, yes no", {"/a/b /a/c", "", "Y N F:/a", "O/a/b O/a/c", "/a /a/c", ""}},
    {"same, yes", {"/src /x", "", "Y F:/src", "O/src", "/src /x", ""}},
    {"eighth, ninth folder",
     {"/1 /2 /3 /4 /5 /6 /7", "", "F:/8 F:/9", "W", "/1 /2 /3 /4 /5 /6 /7 /8", ""}},
    {"260 bytes, 259 bytes",
     {"", "", "F:/" + QString(259, 'x') + " F:/" + QString(258, 'x'), "W", "/" + QString(258, 'x'),
      ""}},
    {"skipped files",
     {"", "/p/k.h", "S:/p/a.h S:/p/k.h S:/P/K.h S:", "", "", "/p/a.h /p/k.h /P/K.h"}},
    {"eighth, ninth file",
     {"", "/1 /2 /3 /4 /5 /6 /7", "S:/8 S:/9", "W", "", "/1 /2 /3 /4 /5 /6 /7 /8"}},
    {"delete", {"/a /b", "/c /d", "DF DS F1 N DF F1 Y DF S0 Y DS", "D D D", "/a", "/d"}}};

// Whether the deep folder is the initial one (else it is home), and how the user confirms.
const NamedRow<bool, bool> kPickers[] = {{"initial, Enter", {true, false}},
                                         {"initial, OK", {true, true}},
                                         {"none, Enter", {false, false}},
                                         {"none, OK", {false, true}}};

const NamedRow<bool> kOptions[] = {{"ok", {true}}, {"cancel", {false}}};

// Spoilt: "edit" changes the file after the load, "other" names another file.
const NamedRow<bool, uint, QString> kWipes[] = {{"no", {false, WIPE_MARK, ""}},
                                                {"mark", {true, WIPE_MARK, ""}},
                                                {"remove", {true, WIPE_REMOVE, ""}},
                                                {"file changed", {true, WIPE_REMOVE, "edit"}},
                                                {"other file", {true, WIPE_REMOVE, "other"}}};

// The first source folder ("" none), whether its files include an unreadable
// one, and the start of the Wipe's warning.
const NamedRow<QString, bool, QString> kGaps[] = {
    {"no source folder", {"", false, "No source folder is set"}},
    {"missing folder", {"/no/such/src", false, "The source folder /no/such/src does not exist"}},
    {"unreadable file", {"src", true, "1 file or folder could not be read (<src>/mem: "}}};

// A list as one text, the entries separated by blanks.
std::vector<std::string> L(const QString& text) {
    std::vector<std::string> list;
    for (const QString& entry : text.split(' ', Qt::SkipEmptyParts))
        list.push_back(entry.toStdString());
    return list;
}

class DialogsTest : public QObject, private CFrameFixture {
    Q_OBJECT

private slots:
    void init() { SetUp(); }
    void cleanup() { m_pFrame.reset(); }

    void shortenPathKeeps35Characters() {
        QCOMPARE(Q(CxFolderDlg::ShortenPath("/usr/share/local/applications/xyz/a")),
                 "/usr/share/local/applications/xyz/a");
        QCOMPARE(Q(CxFolderDlg::ShortenPath("/usr/share/local/applications/xyz/ab")),
                 "/usr/.../local/applications/xyz/ab");
    }

    // The model reads the folders in the background.
    void folderPickerShowsSelection() {
        const std::string folder = *m_pDir / "alpha/beta/gamma";
        fs::create_directories(folder);
        CxFolderDlg dialog;
        const QString shown = Q(CxFolderDlg::ShortenPath(folder));
        QTRY_VERIFY((dialog.SetSelection(folder),
                     std::ranges::any_of(dialog.findChildren<QLabel*>(), [&](const QLabel* pLabel) {
                         return pLabel->text() == shown;
                     })));
        QCOMPARE(dialog.GetFolderPath(), folder);
    }

    // Below 80 siblings at its level, the folder shown needs scrolling to; only
    // a folder the user can see selected is handed back.
    void folderPickerStartsInView_data() { Rows(kPickers); }
    void folderPickerStartsInView() {
        const auto row = Fetch(kPickers); // a lambda takes no structured binding in clang 14
        const bool initial = std::get<0>(row), clickOk = std::get<1>(row);
        for (int k = 0; k < 80; ++k)
            fs::create_directories(*m_pDir / ("a/b/c/y" + std::to_string(k)));
        const std::string folder = *m_pDir / "a/b/c/z";
        fs::create_directories(folder);
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", initial ? home : QByteArray(folder.c_str()));
        CxFolderDlg dialog(initial ? folder : "");
        bool bShown = false, bSelected = false;
        QTimer::singleShot(0, this, [&] {
            const auto* pTree = dialog.findChild<QTreeView*>();
            const auto* pModel = dialog.findChild<QFileSystemModel*>();
            const QPersistentModelIndex index = pModel->index(Q(folder));
            // The model sorts what it read, and reads on: the row must come into
            // view and stay there.
            bShown = QTest::qWaitFor([&] {
                return pModel->rowCount(index.parent()) == 81 &&
                       pTree->visualRect(index).intersects(pTree->viewport()->rect());
            });
            QTest::qWait(100);
            bShown = bShown && pTree->visualRect(index).intersects(pTree->viewport()->rect());
            bSelected = pTree->selectionModel()->selectedRows() == QModelIndexList{index};
            clickOk ? dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click()
                    : QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
            QTimer::singleShot(0, &dialog, [&] { // when it stays open
                if (dialog.isVisible())
                    dialog.reject();
            });
        });
        const int result = dialog.DoModal();
        qputenv("HOME", home);
        QVERIFY(bShown);
        QCOMPARE(bSelected, initial);
        QCOMPARE(result, initial ? QDialog::Accepted : QDialog::Rejected);
        QCOMPARE(Q(dialog.GetFolderPath()), initial ? Q(folder) : "");
    }

    // Folders and executable files are offered (programs carry no extension), plain files not.
    void editorChooserOffersPrograms() {
        SetFileChooser({});
        const std::string program = m_pDir->Put("bin/tool", "");
        m_pDir->Put("bin/notes", "");
        fs::permissions(program, fs::perms::owner_exec, fs::perm_options::add);
        fs::create_directory(*m_pDir / "bin/lib");
        CDlgOptions dialog({});
        QStringList shown;
        QTimer::singleShot(0, this, [&] {
            auto* pChooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(pChooser != nullptr);
            pChooser->setDirectory(Q(*m_pDir / "bin"));
            auto* pView = pChooser->findChild<QListView*>(QStringLiteral("listView"));
            const auto rows = [&] { return pView->model()->rowCount(pView->rootIndex()); };
            static_cast<void>(QTest::qWaitFor([&] { return rows() >= 2; }));
            for (int row = 0; row < rows(); ++row)
                shown << pView->model()->index(row, 0, pView->rootIndex()).data().toString();
            pView->setCurrentIndex(pView->model()->index(rows() - 1, 0, pView->rootIndex()));
            static_cast<QDialog*>(pChooser)->accept();
            QTimer::singleShot(0, pChooser, [=] {
                if (pChooser->isVisible())
                    pChooser->reject();
            });
        });
        dialog.OnBrowseEditor();
        QCOMPARE(shown, (QStringList{"lib", "tool"}));
        QCOMPARE(dialog.m_pEditorEdit->text(), Q(program));
    }

    // Lists come back sorted regardless of case; a chooser starts at its field or entry.
    void optionsShowsAndHandsBack_data() { Rows(kOperations); }
    void optionsShowsAndHandsBack() {
        const auto [given, clicks, markShown, handedBack] = Fetch(kOperations);
        CDlgOptions dialog(
            {given, "/bin/ed", "/k.h", L("/zeta /Beta /alpha"), L("/x/b.h /x/A.h"), "gDyn*"});
        QCOMPARE(dialog.m_pKeywordFileEdit->text() + dialog.m_pEditorEdit->text() +
                     dialog.m_pKeptSymbolsEdit->text(),
                 "/k.h/bin/edgDyn*");
        dialog.m_pKeptSymbolsEdit->setText("gDyn* gMenu?");
        QVERIFY(dialog.m_pMark->isChecked() == markShown &&
                dialog.m_pRemove->isChecked() != markShown);
        for (const QChar click : clicks)
            (click == 'R' ? dialog.m_pRemove : dialog.m_pMark)->click();
        dialog.m_pKeywordFileEdit->setText("/typed/k.h");
        m_listChosen = {"/usr/bin/vi", "", "/p/keys.h"};
        dialog.OnBrowseEditor();
        dialog.m_pEditorEdit->setText(dialog.m_pEditorEdit->text() + " -n");
        dialog.OnBrowseKeywordFile(); // cancelled
        QCOMPARE(dialog.m_pKeywordFileEdit->text(), "/typed/k.h");
        dialog.OnBrowseKeywordFile();
        dialog.m_lbSkippedFiles->setCurrentRow(0);
        dialog.OnBrowseSkippedFile(); // cancelled
        QCOMPARE(m_listRequests,
                 (QStringList{"|exe", "/typed/k.h|any", "/typed/k.h|any", "/x/A.h|any"}));
        dialog.OnOK();
        const COptionValues& values = dialog.GetValues();
        QCOMPARE(values.m_nOperation, handedBack);
        QCOMPARE(
            Q(values.m_strKeywordFile + "|" + values.m_strEditor + "|" + values.m_strKeptSymbols),
            "/p/keys.h|/usr/bin/vi -n|gDyn* gMenu?");
        QCOMPARE(Q(values.m_listSourceFolders), Q(L("/alpha /Beta /zeta")));
        QCOMPARE(Q(values.m_listSkippedFiles), Q(L("/x/A.h /x/b.h")));
    }

    void listEdits_data() { Rows(kEdits); }
    void listEdits() {
        const auto [folders, skipped, steps, asked, after, skippedAfter] = Fetch(kEdits);
        CDlgOptions dialog({WIPE_MARK, "", "", L(folders), L(skipped)});
        for (const QString& step : Q(L(steps))) {
            const bool bFolders = step[0] == 'F';
            if (step == "Y" || step == "N") {
                m_listAnswers << (step == "Y");
            } else if (step[1] == ':') {
                m_listChosen << step.mid(2);
                bFolders ? dialog.OnBrowseSourceFolder() : dialog.OnBrowseSkippedFile();
            } else if (step[0] == 'D') {
                step == "DF" ? dialog.OnDeleteSourceFolder() : dialog.OnDeleteSkippedFile();
            } else {
                (bFolders ? dialog.m_lbSourceFolders : dialog.m_lbSkippedFiles)
                    ->setCurrentRow(step.mid(1).toInt());
            }
        }
        QStringList questions;
        for (const QString& question : m_listAsked) {
            const QString overlap = "GlossCutter: This folder is overlapped with ";
            questions << (question.startsWith(overlap)
                              ? "O" + question.mid(overlap.size()).section('\n', 0, 0)
                          : question == "GlossCutter: Delete?" ? "D"
                                                               : "W");
        }
        QCOMPARE(questions, Q(L(asked)));
        dialog.OnOK();
        QCOMPARE(Q(dialog.GetValues().m_listSourceFolders), Q(L(after)));
        QCOMPARE(Q(dialog.GetValues().m_listSkippedFiles), Q(L(skippedAfter)));
    }

    // The frame shows the store's values and stores what the dialog hands back
    // only after OK: from slot 0 on, emptying the later slots. It reloads nothing.
    void frameOptions_data() { Rows(kOptions); }
    void frameOptions() {
        const bool bOk = std::get<0>(Fetch(kOptions));
        theOptions.SetSourceFolder(0, "");
        for (const auto& [slot, folder] : {std::pair{7, "/zeta"}, {2, "/Beta"}, {5, "/alpha"}})
            theOptions.SetSourceFolder(slot, folder);
        QSignalSpy started(m_pView, &CGlossCutterView::LoadStarted);
        QTimer::singleShot(0, this, [&] { // once the dialog's modal loop runs
            auto* pDialog = qobject_cast<CDlgOptions*>(QApplication::activeModalWidget());
            QVERIFY(pDialog != nullptr);
            pDialog->m_pEditorEdit->setText("/bin/new");
            pDialog->m_pRemove->click();
            bOk ? pDialog->OnOK() : pDialog->reject();
        });
        Trigger(ID_OPTIONS);
        const COptionValues values = theOptions.ReadAll();
        QCOMPARE(Q(values.m_strEditor + "|" + std::to_string(values.m_nOperation)),
                 bOk ? "/bin/new|2" : "Notepad|1");
        QCOMPARE(Q(values.m_listSourceFolders),
                 Q(L(bOk ? "/alpha /Beta /zeta" : "/Beta /alpha /zeta")));
        QCOMPARE(started.count(), 0);
    }

    void frameWipe_data() { Rows(kWipes); }
    void frameWipe() {
        const auto [yes, operation, spoil] = Fetch(kWipes);
        theOptions.SetUnusedKeywordsOperation(operation);
        const std::string original = ReadFile(m_strTexts), backup = *m_pDir / "my demo/texts.bak";
        QVERIFY(Reload());
        m_listAnswers = {true, yes}; // Auto check's, then Wipe's
        Trigger(ID_AUTO_CHECK);
        std::string expected = original;
        if (spoil == "edit")
            WriteFile(m_strTexts, expected = original + "#define sLate \"Late\"\n");
        if (spoil == "other")
            theOptions.SetKeywordFile(m_pDir->Put("other.h", original));
        QSignalSpy started(m_pView, &CGlossCutterView::LoadStarted);
        QSignalSpy finished(m_pView, &CGlossCutterView::LoadFinished);
        Trigger(ID_WIPE);
        const bool done = yes && spoil.isEmpty();
        QCOMPARE(m_listAsked.value(1), "Wipe: Remove the unused words?");
        QCOMPARE(m_listAsked.size(), 2 + int(yes && !done)); // the warning of a refusal
        const QString refusal = "Wipe: The keyword file ";
        QVERIFY(m_listAsked.value(2, refusal).startsWith(refusal));
        QCOMPARE(fs::exists(backup) || fs::exists(*m_pDir / "other.bak"), done);
        if (done) {
            QVERIFY(finished.wait(30000));
            QCOMPARE(Q(ReadFile(backup)), Q(original));
        }
        QCOMPARE(ReadFile(m_strTexts) == expected, !done); // which lines: the engine's tests
        QCOMPARE(started.count(), done ? 1 : 0);
        const bool removed = done && operation == WIPE_REMOVE;
        QCOMPARE(Model()->rowCount(), removed ? 10 : 15);
        QCOMPARE(TickedRows(), removed ? 0 : 5);
    }

    // A scan that may have missed uses is no ground for a wipe: the Wipe warns
    // before it asks, and the counts of the last load say what was read.
    void frameWipeRefusesAPartialScan_data() { Rows(kGaps); }
    void frameWipeRefusesAPartialScan() {
        const auto [folder, unreadable, warning] = Fetch(kGaps);
        theOptions.SetSourceFolder(0, folder == "src" ? m_strSource : folder.toStdString());
        if (unreadable)
            fs::create_symlink("/proc/self/mem", m_strSource + "/mem");
        const std::string original = ReadFile(m_strTexts);
        QVERIFY(Reload());
        const auto* pCounts = m_pFrame->findChild<QLabel*>(QStringLiteral("scanCounts"));
        QCOMPARE(pCounts->text(), unreadable         ? "5 files read, 1 unreadable"
                                  : folder.isEmpty() ? "0 files read, 0 unreadable"
                                                     : "0 files read, 1 unreadable");
        m_listAnswers = {true, true};
        Trigger(ID_AUTO_CHECK);
        Trigger(ID_WIPE);
        QCOMPARE(m_listAsked.size(), 2);
        QVERIFY2(
            m_listAsked[1].startsWith("Wipe: " + QString(warning).replace("<src>", Q(m_strSource))),
            qPrintable(m_listAsked[1]));
        QCOMPARE(Q(ReadFile(m_strTexts)), Q(original));
        QVERIFY(!fs::exists(*m_pDir / "my demo/texts.bak"));
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
