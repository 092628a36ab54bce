// The settings store, in a configuration folder of the test's own.

#include "GlossCutterOptions.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Options = CGlossCutterOptions;
using List = std::vector<std::string>;
using Slots = std::array<std::string, kSlotCount>;

class GlossCutterOptionsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_configHome;
    int m_nCompany = 0;

    // A store of its own per test, so that no test sees another's values.
    std::string NewCompany() { return "TestCo" + std::to_string(++m_nCompany); }

private slots:
    void initTestCase() {
        // Before the first QSettings exists, which fixes the user's config path.
        QVERIFY(m_configHome.isValid());
        qputenv("XDG_CONFIG_HOME", m_configHome.path().toUtf8());
    }

    // A fresh store gives the defaults. A text of 259 bytes and its terminating
    // zero fill the 260-byte read buffer.
    void textsReadBackExactly_data() {
        QTest::addColumn<bool>("editor");
        QTest::addColumn<QByteArray>("value");
        const std::pair<const char*, QByteArray> values[] = {
            {"utf8", "/home/j\xC3\xB6rg/\xE6\x96\x87\xE5\xAD\x97.h"},
            {"not utf8", "/data/\xFF\xFE\x80/x\xC3.h"},
            {"empty", ""},
            {"259 bytes", QByteArray(259, 'a')},
            {"260 bytes", QByteArray(260, 'a')},
            {"258 bytes + 2-byte char", QByteArray(258, 'a') + "\xC3\xA9"}};
        for (const bool editor : {false, true})
            for (const auto& [name, value] : values)
                QTest::newRow(qPrintable(QString(editor ? "editor: " : "keyword file: ") + name))
                    << editor << value;
    }
    void textsReadBackExactly() {
        QFETCH(bool, editor);
        QFETCH(QByteArray, value);
        Options options;
        options.OpenSettingsKey(NewCompany(), "GlossCutter");
        const auto get = editor ? &Options::GetEditor : &Options::GetKeywordFile;
        const auto set = editor ? &Options::SetEditor : &Options::SetKeywordFile;
        const QByteArray fallback = editor ? "Notepad" : "";
        const bool readable = value.size() < 260;
        std::string back = "stale";
        QVERIFY((options.*get)(back) != kSettingsOk);
        QCOMPARE(QByteArray::fromStdString(back), fallback);
        QCOMPARE((options.*set)(value.toStdString()), kSettingsOk);
        back = "stale";
        QCOMPARE((options.*get)(back) == kSettingsOk, readable);
        QCOMPARE(QByteArray::fromStdString(back), readable ? value : fallback);
    }

    // Without both names no store opens: every read gives its default, every
    // write is lost, and nothing is kept on disk.
    void unopenedStoreGivesDefaultsAndKeepsNothing() {
        const auto entries = [this] {
            return QDir(m_configHome.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        };
        const QStringList before = entries();
        Options options;
        for (const auto& [company, product] : {std::pair{"", "GlossCutter"}, {"TestCo", ""}})
            QVERIFY(options.OpenSettingsKey(company, product) != kSettingsOk &&
                    options.m_strKeyPath.empty());
        std::string keywordFile = "stale", editor;
        std::uint32_t operation = 0;
        for (const int status :
             {options.SetKeywordFile("/k.h"), options.SetEditor("vi"),
              options.SetUnusedKeywordsOperation(2),
              options.WriteAll({2, "vi", "/k.h", {"/a"}, {}}), options.GetKeywordFile(keywordFile),
              options.GetEditor(editor), options.GetUnusedKeywordsOperation(operation)})
            QVERIFY(status != kSettingsOk);
        QCOMPARE(keywordFile + "," + editor + "," + std::to_string(operation),
                 std::string(",Notepad,1"));
        QCOMPARE(entries(), before);
    }

    // Two objects on one store, in the file it names: nothing is cached, so each
    // sees what the other wrote since its last read. WriteAll empties the later
    // slots; an empty slot does not end a list, and slot 8 is never read.
    void writesReachEveryObjectOfTheStore() {
        Options first, second;
        const std::string company = NewCompany();
        first.OpenSettingsKey(company, "GlossCutter");
        second.OpenSettingsKey(company, "GlossCutter");
        QCOMPARE(second.m_strKeyPath, first.m_strKeyPath);
        QVERIFY(QString::fromStdString(first.m_strKeyPath).startsWith(m_configHome.path()));
        std::uint32_t operation = 0;
        QVERIFY(second.GetUnusedKeywordsOperation(operation) != kSettingsOk && operation == 1);
        QCOMPARE(first.WriteAll({0, "vi", "/k.h", {"/a", "/b", "/c"}, {"/a/x.c"}}), kSettingsOk);
        QVERIFY(second.GetUnusedKeywordsOperation(operation) == kSettingsOk && operation == 0);
        QCOMPARE(first.WriteAll({0xFFFFFFFF, "ed", "/k2.h", {"/d", "/e"}, {}}), kSettingsOk);
        first.SetSourceFolder(3, "/three");
        first.SetSkippedFile(7, "/seven.c");
        QCOMPARE(first.SetSourceFolder(8, "/eight"), kSettingsOk);
        const COptionValues all = second.ReadAll();
        QVERIFY(all.m_nOperation == 0xFFFFFFFF && all.m_strEditor == "ed" &&
                all.m_strKeywordFile == "/k2.h");
        QVERIFY(all.m_listSourceFolders == List({"/d", "/e", "/three"}) &&
                all.m_listSkippedFiles == List({"/seven.c"}));
        const CLoadSettings load = second.GetLoadSettings();
        QVERIFY(load.m_strKeywordFile == "/k2.h" &&
                load.m_arrSourceFolders == Slots({"/d", "/e", "/three"}) &&
                load.m_arrSkippedFiles == Slots({"/seven.c"}));
    }
};

QTEST_GUILESS_MAIN(GlossCutterOptionsTest)
#include "GlossCutterOptionsTest.moc"
