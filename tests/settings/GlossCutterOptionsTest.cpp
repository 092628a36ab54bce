// The settings store, in a configuration folder of the test's own.

#include "GlossCutterOptions.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

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

    // A fresh store gives the default. A text of 259 bytes and its terminating
    // zero fill the 260-byte read buffer; a longer one reads as the default.
    void textsReadBackExactly_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("utf8") << QByteArray("/home/j\xC3\xB6rg/\xE6\x96\x87\xE5\xAD\x97");
        QTest::newRow("not utf8") << QByteArray("/data/\xFF\xFE\x80/x\xC3.h");
        QTest::newRow("259 bytes") << QByteArray(259, 'a');
        QTest::newRow("258 bytes + 2-byte char") << QByteArray(258, 'a') + "\xC3\xA9";
    }
    void textsReadBackExactly() {
        QFETCH(QByteArray, value);
        Options options;
        options.OpenSettingsKey(NewCompany(), "GlossCutter");
        std::string back = "stale";
        QVERIFY(options.GetEditor(back) != kSettingsOk && back == "Notepad");
        QCOMPARE(options.SetEditor(value.toStdString()), kSettingsOk);
        back = "stale";
        QCOMPARE(options.GetEditor(back) == kSettingsOk, value.size() < 260);
        QCOMPARE(QByteArray::fromStdString(back), value.size() < 260 ? value : "Notepad");
    }

    // Without both names no store opens: every read gives its default, every
    // write says it failed, and nothing is kept on disk.
    void unopenedStoreGivesDefaultsAndKeepsNothing() {
        const QDir config(m_configHome.path());
        const QStringList before = config.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        Options options;
        for (const auto& [company, product] : {std::pair{"", "GlossCutter"}, {"TestCo", ""}})
            QVERIFY(options.OpenSettingsKey(company, product) != kSettingsOk);
        QVERIFY(options.SetKeywordFile("/k.h") != kSettingsOk &&
                options.WriteAll({2, "vi", "/k.h", {"/a"}, {}}) != kSettingsOk);
        const COptionValues values = options.ReadAll();
        QCOMPARE(values.m_strKeywordFile + "," + values.m_strEditor + "," +
                     std::to_string(values.m_nOperation) +
                     std::to_string(values.m_listSourceFolders.size()),
                 std::string(",Notepad,10"));
        QCOMPARE(config.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }

    // Two objects on one store see each other's writes: nothing is cached. WriteAll
    // empties the later slots; an empty slot ends no list; slot 8 is never read.
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
        QCOMPARE(first.WriteAll({0xFFFFFFFF, "ed", "/k2.h", {"/d", "/e"}, {}, " gA*\tg?b "}),
                 kSettingsOk);
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
                load.m_arrSkippedFiles == Slots({"/seven.c"}) &&
                load.m_listKeptPatterns == List({"gA*", "g?b"}));
    }

    // A settings file is the whole store. Its paths read back as written, so
    // that Options shows them so; a load resolves the relative ones against
    // the file's folder and never scans the file. The user's store resolves
    // nothing.
    void settingsFileResolvesAgainstItsFolder() {
        const QTemporaryDir project;
        const std::string folder = project.path().toStdString();
        const std::string above = std::filesystem::path(folder).parent_path().string();
        Options options;
        QCOMPARE(options.OpenSettingsFile(folder + "/p.conf"), kSettingsOk);
        QCOMPARE(options.WriteAll({2, "vi", "keys/t.h", {"src", "/abs", "../up/"}, {"./gen.c"}}),
                 kSettingsOk);
        const COptionValues values = options.ReadAll();
        QVERIFY(values.m_strKeywordFile == "keys/t.h" &&
                values.m_listSourceFolders == List({"src", "/abs", "../up/"}));
        const CLoadSettings load = options.GetLoadSettings();
        QCOMPARE(load.m_strKeywordFile, folder + "/keys/t.h");
        QVERIFY(load.m_arrSourceFolders == Slots({folder + "/src", "/abs", above + "/up"}) &&
                load.m_arrSkippedFiles == Slots({folder + "/gen.c"}) &&
                load.m_listUnscannedFiles == List({folder + "/p.conf"}));
        Options user;
        user.OpenSettingsKey(NewCompany(), "GlossCutter");
        user.SetKeywordFile("keys/t.h");
        QVERIFY(user.GetLoadSettings().m_strKeywordFile == "keys/t.h" &&
                user.GetLoadSettings().m_listUnscannedFiles.empty());
    }
};

QTEST_GUILESS_MAIN(GlossCutterOptionsTest)
#include "GlossCutterOptionsTest.moc"
