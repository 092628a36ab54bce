// The folder picker, the Options dialog with its choosers and questions
// scripted, and the frame's Options and Wipe commands.

#include "../shell/FrameFixture.h"
#include "FolderDlg.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>

using namespace testing_tables;
namespace fs = std::filesystem;

namespace {

template <typename... Cells>
void Row(const char* name, const Cells&... cells) {
    (QTest::newRow(name) << ... << cells);
}

// A list as one text, the entries separated by blanks; "x258" stands for 258 x.
QStringList L(const QString& text) {
    QStringList list = text.split(' ', Qt::SkipEmptyParts);
    for (QString& entry : list)
        entry.replace("x258", QString(258, 'x')).replace("x259", QString(259, 'x'));
    return list;
}

std::vector<std::string> Bytes(const QStringList& list) {
    std::vector<std::string> bytes;
    for (const QString& entry : list)
        bytes.push_back(entry.toStdString());
    return bytes;
}

} // namespace

class DialogsTest : public QObject, private CFrameFixture {
    Q_OBJECT

private slots:
    void initTestCase() { SetUpCase(); }
    void init() { SetUp(); }
    void cleanup() { TearDown(); }

    void shortenPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shown");
        Row("35 characters", "/usr/share/local/applications/xyz/a",
            "/usr/share/local/applications/xyz/a");
        Row("36 characters", "/usr/share/local/applications/xyz/ab",
            "/usr/.../local/applications/xyz/ab");
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

    // The model reads the folders in the background; the status line follows.
    void folderPickerShowsSelection() {
        const std::string folder = *m_pDir / "alpha/beta/gamma";
        fs::create_directories(folder);
        CxFolderDlg dialog;
        const auto shown = [&] {
            dialog.SetSelection(folder);
            for (const QLabel* pLabel : dialog.findChildren<QLabel*>())
                if (pLabel->text() == Q(CxFolderDlg::ShortenPath(folder)))
                    return true;
            return false;
        };
        QTRY_VERIFY(shown());
        QCOMPARE(dialog.GetFolderPath(), folder);
    }

    // clicks: R for Remove, M for Mark. An unknown value shows Remove and
    // comes back unchanged unless clicked; the lists are shown and handed
    // back sorted without regard to case.
    void optionsShowsAndHandsBack_data() {
        QTest::addColumn<uint>("given");
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<bool>("markShown");
        QTest::addColumn<uint>("handedBack");
        Row("mark", 1u, QString(), true, 1u);
        Row("remove", 2u, QString(), false, 2u);
        Row("unknown value", 7u, QString(), false, 7u);
        Row("click remove, mark", 1u, QString("RM"), true, 1u);
        Row("unknown, click mark", 7u, QString("M"), false, 1u);
        Row("unknown, click remove", 7u, QString("R"), false, 2u);
    }
    void optionsShowsAndHandsBack() {
        QFETCH(uint, given);
        QFETCH(QString, clicks);
        QFETCH(bool, markShown);
        QFETCH(uint, handedBack);
        CDlgOptions dialog(
            {given, "/bin/ed", "/k.h", Bytes(L("/zeta /Beta /alpha")), Bytes(L("/x/b.h /x/A.h"))});
        QCOMPARE(dialog.m_pKeywordFileEdit->text() + dialog.m_pEditorEdit->text(), "/k.h/bin/ed");
        QVERIFY(dialog.m_pMark->isChecked() == markShown &&
                dialog.m_pRemove->isChecked() != markShown);
        for (const QChar click : clicks)
            (click == 'R' ? dialog.m_pRemove : dialog.m_pMark)->click();
        dialog.OnOK();
        const COptionValues& values = dialog.GetValues();
        QCOMPARE(values.m_nOperation, handedBack);
        QCOMPARE(Q(values.m_strEditor + values.m_strKeywordFile), "/bin/ed/k.h");
        QCOMPARE(Q(values.m_listSourceFolders), L("/alpha /Beta /zeta"));
        QCOMPARE(Q(values.m_listSkippedFiles), L("/x/A.h /x/b.h"));
    }

    // The user's steps, a word each: F:PATH browses for a source folder, which
    // the picker answers with PATH (F: is cancelled); S:PATH browses for a
    // skipped file (S: is cancelled); Y and N answer the next question; F1 or
    // S0 select a row of a list; DF and DS press its Delete. asked: O and the
    // entry for each overlap question, D for "Delete?", W for a warning.
    void listEdits_data() {
        for (const char* column : {"folders", "skipped", "steps", "asked", "after", "skippedAfter"})
            QTest::addColumn<QString>(column);
        Row("into empty list", "", "", "F:/src", "", "/src", "");
        Row("no overlap, sorted", "/zeta /a", "", "F:/B", "", "/a /B /zeta", "");
        Row("inside, yes", "/src", "", "Y F:/src/lib", "O/src", "/src/lib", "");
        Row("inside, no", "/src", "", "N F:/src/lib", "O/src", "/src", "");
        Row("plain substring", "/src", "", "Y F:/src2", "O/src", "/src2", "");
        Row("other case", "/src", "", "F:/Src/lib", "", "/src /Src/lib", "");
        Row("around two, yes yes", "/a/b /a/c", "", "Y Y F:/a", "O/a/b O/a/c", "/a", "");
        Row("around two, yes no", "/a/b /a/c", "", "Y N F:/a", "O/a/b O/a/c", "/a /a/c", "");
        Row("around two, no no", "/a/b /a/c", "", "N N F:/a", "O/a/b O/a/c", "/a/b /a/c", "");
        Row("same, yes", "/src /x", "", "Y F:/src", "O/src", "/src /x", "");
        Row("picker cancelled", "/src", "", "F:", "", "/src", "");
        Row("eighth folder", "/1 /2 /3 /4 /5 /6 /7", "", "F:/8", "", "/1 /2 /3 /4 /5 /6 /7 /8", "");
        Row("ninth folder", "/1 /2 /3 /4 /5 /6 /7 /8", "", "F:/9", "W", "/1 /2 /3 /4 /5 /6 /7 /8",
            "");
        Row("259 bytes", "", "", "F:/x258", "", "/x258", "");
        Row("260 bytes", "", "", "F:/x259", "W", "", "");
        Row("skipped file", "", "/p/k.h", "S:/p/a.h", "", "", "/p/a.h /p/k.h");
        Row("same file again", "", "/p/k.h", "S:/p/k.h", "", "", "/p/k.h");
        Row("file in other case", "", "/p/k.h", "S:/P/K.h", "", "", "/p/k.h /P/K.h");
        Row("file chooser cancelled", "", "/p/k.h", "S:", "", "", "/p/k.h");
        Row("ninth file", "", "/1 /2 /3 /4 /5 /6 /7 /8", "S:/9", "W", "",
            "/1 /2 /3 /4 /5 /6 /7 /8");
        Row("delete nothing selected", "/a /b", "/c", "Y DF DS", "", "/a /b", "/c");
        Row("delete folder, no", "/a /b", "", "F1 N DF", "D", "/a /b", "");
        Row("delete folder, yes", "/a /b", "", "F1 Y DF", "D", "/a", "");
        Row("delete file, yes", "", "/a /b", "S0 Y DS", "D", "", "/b");
    }
    void listEdits() {
        QFETCH(QString, folders);
        QFETCH(QString, skipped);
        QFETCH(QString, steps);
        QFETCH(QString, asked);
        QFETCH(QString, after);
        QFETCH(QString, skippedAfter);
        CDlgOptions dialog({WIPE_MARK, "", "", Bytes(L(folders)), Bytes(L(skipped))});
        for (const QString& step : L(steps)) {
            QListWidget* pList =
                step.contains('F') ? dialog.m_lbSourceFolders : dialog.m_lbSkippedFiles;
            if (step == "Y" || step == "N") {
                m_listAnswers << (step == "Y");
            } else if (step.startsWith("F:")) {
                if (step.size() > 2)
                    m_listFolders << step.mid(2);
                dialog.OnBrowseSourceFolder();
            } else if (step.startsWith("S:")) {
                m_strChosenFile = step.mid(2);
                dialog.OnBrowseSkippedFile();
            } else if (step.startsWith('D')) {
                step == "DF" ? dialog.OnDeleteSourceFolder() : dialog.OnDeleteSkippedFile();
            } else {
                pList->setCurrentRow(step.mid(1).toInt());
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
        QCOMPARE(questions, L(asked));
        dialog.OnOK();
        QCOMPARE(Q(dialog.GetValues().m_listSourceFolders), L(after));
        QCOMPARE(Q(dialog.GetValues().m_listSkippedFiles), L(skippedAfter));
    }

    // A chooser starts at its field or at the selected entry and changes its
    // own field only; typed text in the other stays.
    void browseFiles() {
        CDlgOptions dialog({WIPE_MARK, "", "", {}, {"/p/k.h"}});
        dialog.m_pKeywordFileEdit->setText("/typed/k.h");
        m_strChosenFile = "/usr/bin/vi";
        dialog.OnBrowseEditor();
        dialog.m_pEditorEdit->setText(dialog.m_pEditorEdit->text() + " -n");
        m_strChosenFile = "";
        dialog.OnBrowseKeywordFile(); // cancelled
        QCOMPARE(dialog.m_pKeywordFileEdit->text(), "/typed/k.h");
        m_strChosenFile = "/p/keys.h";
        dialog.OnBrowseKeywordFile();
        dialog.m_lbSkippedFiles->setCurrentRow(0);
        dialog.OnBrowseSkippedFile();
        QCOMPARE(m_listRequests,
                 (QStringList{"|exe", "/typed/k.h|any", "/typed/k.h|any", "/p/k.h|any"}));
        dialog.OnOK();
        QCOMPARE(Q(dialog.GetValues().m_strKeywordFile + "|" + dialog.GetValues().m_strEditor),
                 "/p/keys.h|/usr/bin/vi -n");
    }

    // The dialog opens with what the store holds; the frame stores what it
    // hands back only after OK, folders from slot 0 on and every later slot
    // emptied, and reloads nothing.
    void frameOptions_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("stored"); // the folder slots, "-" for an empty one
        Row("ok", "ok", "/alpha /Beta /zeta - - - - -");
        Row("all deleted", "delete", "- - - - - - - -");
        Row("cancel", "cancel", "- - /Beta - - /alpha - /zeta");
    }
    void frameOptions() {
        QFETCH(QString, action);
        QFETCH(QString, stored);
        theOptions.SetSourceFolder(0, "");
        for (const auto& [slot, folder] : {std::pair{7, "/zeta"}, {2, "/Beta"}, {5, "/alpha"}})
            theOptions.SetSourceFolder(slot, folder);
        theOptions.SetSkippedFile(6, "/s.h");
        theOptions.SetEditor("/bin/old");
        MakeFrame();
        QSignalSpy started(m_pView, &CGlossCutterView::LoadStarted);
        bool ran = false;
        QTimer::singleShot(0, this, [&] { // once the dialog's modal loop runs
            auto* pDialog = qobject_cast<CDlgOptions*>(QApplication::activeModalWidget());
            QVERIFY(pDialog != nullptr);
            ran = Q(pDialog->GetValues().m_listSourceFolders) == L("/Beta /alpha /zeta");
            pDialog->m_pEditorEdit->setText("/bin/new");
            pDialog->m_pRemove->click();
            while (action == "delete" && pDialog->m_lbSourceFolders->count() > 0) {
                m_listAnswers << true;
                pDialog->m_lbSourceFolders->setCurrentRow(0);
                pDialog->OnDeleteSourceFolder();
            }
            action == "cancel" ? pDialog->reject() : pDialog->OnOK();
        });
        Trigger(ID_OPTIONS);
        QVERIFY(ran);
        QStringList folders;
        for (int slot = 0; slot < int(kSlotCount); ++slot) {
            std::string folder = "<unread>";
            theOptions.GetSourceFolder(slot, folder);
            folders << (folder.empty() ? "-" : Q(folder));
        }
        QCOMPARE(folders, L(stored));
        const COptionValues values = theOptions.ReadAll();
        QCOMPARE(Q(values.m_strEditor), action == "cancel" ? "/bin/old" : "/bin/new");
        std::string skipped0;
        theOptions.GetSkippedFile(0, skipped0);
        QCOMPARE(Q(skipped0), action == "cancel" ? "" : "/s.h");
        QCOMPARE(values.m_nOperation, action == "cancel" ? 1u : 2u);
        QCOMPARE(started.count(), 0);
    }

    // Auto check (Yes) ticks the demo's three unused keywords, then Wipe:
    // answered No, or Yes. spoil: "edit" changes the file after the load,
    // "other" points the settings at another file; both refuse with a warning.
    void frameWipe_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<uint>("operation");
        QTest::addColumn<QString>("spoil");
        QTest::addColumn<int>("rows");
        Row("no", false, uint(WIPE_MARK), QString(), 15);
        Row("mark", true, uint(WIPE_MARK), QString(), 15);
        Row("remove", true, uint(WIPE_REMOVE), QString(), 10);
        Row("file changed", true, uint(WIPE_REMOVE), QString("edit"), 15);
        Row("other file", true, uint(WIPE_REMOVE), QString("other"), 15);
    }
    void frameWipe() {
        QFETCH(bool, yes);
        QFETCH(uint, operation);
        QFETCH(QString, spoil);
        QFETCH(int, rows);
        MakeFrame();
        theOptions.SetUnusedKeywordsOperation(operation);
        const std::string original = ReadFile(m_strTexts);
        QVERIFY(Reload());
        m_listAnswers = {true, yes};
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
        QCOMPARE(m_listAsked.mid(0, 2), (QStringList{"Auto Check: Check the unused words?",
                                                     "Wipe: Remove the unused words?"}));
        QCOMPARE(m_listAsked.size(), 2 + int(yes && !done)); // the warning of a refusal
        QVERIFY(!yes || done || m_listAsked.value(2).startsWith("Wipe: The keyword file "));
        if (done) {
            QVERIFY(finished.wait(30000));
            QCOMPARE(Q(ReadFile(*m_pDir / "my demo/texts.bak")), Q(original));
            CLineArray lines = Lines(original);
            for (int line = 23; line >= 12; --line) {
                if (operation == WIPE_REMOVE && (line <= 14 || line == 21 || line == 23))
                    lines.erase(lines.begin() + line - 1);
                else if (line <= 14)
                    lines[std::size_t(line) - 1].m_strText.insert(0, kWipeMarker);
            }
            expected = JoinLines(lines);
        }
        QVERIFY(done ||
                (!fs::exists(*m_pDir / "my demo/texts.bak") && !fs::exists(*m_pDir / "other.bak")));
        QCOMPARE(started.count(), done ? 1 : 0);
        QCOMPARE(Q(ReadFile(m_strTexts)), Q(expected));
        QCOMPARE(Model()->rowCount(), rows);
        int ticked = 0;
        for (int row = 0; row < rows; ++row)
            ticked += Ticked(row) ? 1 : 0;
        QCOMPARE(ticked, operation == WIPE_REMOVE && done ? 0 : 5);
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
