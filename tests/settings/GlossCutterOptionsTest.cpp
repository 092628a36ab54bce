// The settings store, in a configuration folder of the test's own.

#include "GlossCutterOptions.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Options = CGlossCutterOptions;
using Slots = std::array<std::string, kSlotCount>;
using List = std::vector<std::string>;

class GlossCutterOptionsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_configHome;
    int m_nCompany = 0;

    // A store of its own per test, so that no test sees another's values.
    Options& Fresh(Options& options) {
        options.OpenSettingsKey("TestCo" + std::to_string(++m_nCompany), "GlossCutter");
        return options;
    }

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
        Fresh(options);
        const auto get = [&](std::string& v) {
            v = "stale";
            return editor ? options.GetEditor(v) : options.GetKeywordFile(v);
        };
        const QByteArray fallback = editor ? "Notepad" : "";
        const bool readable = value.size() < 260;
        std::string back;
        QVERIFY(get(back) != kSettingsOk);
        QCOMPARE(QByteArray::fromStdString(back), fallback);
        const std::string text = value.toStdString();
        QCOMPARE(editor ? options.SetEditor(text) : options.SetKeywordFile(text), kSettingsOk);
        QCOMPARE(get(back) == kSettingsOk, readable);
        QCOMPARE(QByteArray::fromStdString(back), readable ? value : fallback);
    }

    // WriteAll empties the later slots; an empty slot does not end a list, and
    // slot 8 is never read. A load gets the set slots in slot order.
    void writeAllThenReadAll() {
        Options options;
        QCOMPARE(Fresh(options).WriteAll({2, "vi", "/k.h", {"/a", "/b", "/c"}, {"/a/x.c"}}),
                 kSettingsOk);
        QCOMPARE(options.WriteAll({1, "ed", "/k2.h", {"/d", "/e"}, {}}), kSettingsOk);
        options.SetSourceFolder(3, "/three");
        options.SetSkippedFile(7, "/seven.c");
        QCOMPARE(options.SetSourceFolder(8, "/eight"), kSettingsOk);
        const COptionValues all = options.ReadAll();
        QVERIFY(all.m_nOperation == 1 && all.m_strEditor == "ed" &&
                all.m_strKeywordFile == "/k2.h");
        QVERIFY(all.m_listSourceFolders == List({"/d", "/e", "/three"}));
        QVERIFY(all.m_listSkippedFiles == List({"/seven.c"}));
        const CLoadSettings load = options.GetLoadSettings();
        QVERIFY(load.m_strKeywordFile == "/k2.h");
        QVERIFY(load.m_arrSourceFolders == Slots({"/d", "/e", "/three"}));
        QVERIFY(load.m_arrSkippedFiles == Slots({"/seven.c"}));
    }

    void unopenedStoreGivesDefaultsAndKeepsNothing_data() {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("product");
        QTest::newRow("never opened") << QString() << QString();
        QTest::newRow("no company") << ""
                                    << "GlossCutter";
        QTest::newRow("no product") << "TestCo"
                                    << "";
    }
    void unopenedStoreGivesDefaultsAndKeepsNothing() {
        QFETCH(QString, company);
        QFETCH(QString, product);
        const auto entries = [this] {
            return QDir(m_configHome.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        };
        const QStringList before = entries();
        Options options;
        if (!company.isNull())
            QVERIFY(options.OpenSettingsKey(company.toStdString(), product.toStdString()) !=
                    kSettingsOk);
        QVERIFY(options.m_strKeyPath.empty());
        std::string keywordFile, editor;
        std::uint32_t nOperation = 0;
        QVERIFY(options.SetKeywordFile("/k.h") != kSettingsOk);
        QVERIFY(options.GetKeywordFile(keywordFile) != kSettingsOk && keywordFile.empty());
        QVERIFY(options.SetEditor("vi") != kSettingsOk && options.GetEditor(editor) != kSettingsOk);
        QCOMPARE(editor, std::string("Notepad"));
        QVERIFY(options.SetUnusedKeywordsOperation(2) != kSettingsOk);
        QVERIFY(options.GetUnusedKeywordsOperation(nOperation) != kSettingsOk);
        QCOMPARE(nOperation, 1u);
        QVERIFY(options.WriteAll({2, "vi", "/k.h", {"/a"}, {}}) != kSettingsOk);
        QCOMPARE(entries(), before);
    }

    // Nothing is cached: each object sees what the other wrote since its last
    // read, in the file the store names.
    void secondObjectSeesWritesAndTheOperationReadsBack() {
        Options first, second;
        Fresh(first);
        second.OpenSettingsKey("TestCo" + std::to_string(m_nCompany), "GlossCutter");
        QCOMPARE(second.m_strKeyPath, first.m_strKeyPath);
        QVERIFY(QString::fromStdString(first.m_strKeyPath).startsWith(m_configHome.path()));
        std::string editor;
        std::uint32_t operation = 0;
        second.GetUnusedKeywordsOperation(operation);
        QCOMPARE(operation, 1u); // Mark
        first.SetEditor("vim");
        second.GetEditor(editor);
        QCOMPARE(editor, std::string("vim"));
        for (const std::uint32_t written : {0u, 0xFFFFFFFFu}) {
            QCOMPARE(second.SetUnusedKeywordsOperation(written), kSettingsOk);
            QCOMPARE(first.GetUnusedKeywordsOperation(operation), kSettingsOk);
            QCOMPARE(operation, written);
        }
    }
};

QTEST_GUILESS_MAIN(GlossCutterOptionsTest)
#include "GlossCutterOptionsTest.moc"
