#include "settings/inistore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "testfiles.h"

namespace {

QByteArray utf16Le(const QString& text) {
    QByteArray bytes("\xFF\xFE");
    for (const QChar c : text) {
        char unit[2];
        qToLittleEndian<char16_t>(c.unicode(), unit);
        bytes.append(unit, 2);
    }
    return bytes;
}

QByteArray utf16Be(const QString& text) {
    QByteArray bytes("\xFE\xFF");
    for (const QChar c : text) {
        char unit[2];
        qToBigEndian<char16_t>(c.unicode(), unit);
        bytes.append(unit, 2);
    }
    return bytes;
}

const QString Grin = QStringLiteral("\U0001F600"); // one character, two UTF-16 units

} // namespace

class TestIniStore : public QObject {
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void writing_data();
    void writing();
    void quotingRoundTrip_data();
    void quotingRoundTrip();
    void refusedWrites_data();
    void refusedWrites();

    void wholeFileWithinTheCap_data();
    void wholeFileWithinTheCap();
    void fileMissingGivesDefault();
    void writeCreatesFile();
    void refusedFileWriteChangesNothing();
    void folderInTheWay();
    void missingFolderIsRefused();
    void symbolicLinkKeepsLink();
    void killedWriterLeavesOldOrNewFile();
};

void TestIniStore::reading_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("expected");

    const QString config = QStringLiteral("Config");
    const QString rdo = QStringLiteral("RDO");
    const QString agency = QStringLiteral("Agency");
    const QString b3 = QStringLiteral("B3");

    QTest::newRow("LF") << QByteArray("[Config]\nRDO=B3\n") << config << rdo << true << b3;
    QTest::newRow("CRLF") << QByteArray("[Config]\r\nRDO=B3\r\n") << config << rdo << true << b3;
    QTest::newRow("lone CR") << QByteArray("[Config]\rRDO=B3\r") << config << rdo << true << b3;
    QTest::newRow("no final line end")
        << QByteArray("[Config]\nRDO=B3") << config << rdo << true << b3;
    QTest::newRow("names without case")
        << QByteArray("[cONFIG]\nrdo=B3\n") << QStringLiteral("CONFIG") << QStringLiteral("Rdo")
        << true << b3;
    QTest::newRow("blanks around names and values")
        << QByteArray("  [ Config ]  \n \t RDO \t=  B3 \t\n") << config << rdo << true << b3;
    QTest::newRow("inner blanks kept")
        << QByteArray("[Config]\nAgency = Velmora  Fire \n") << config << agency << true
        << QStringLiteral("Velmora  Fire");
    QTest::newRow("split at first =") << QByteArray("[Config]\nAgency=a=b\n") << config << agency
                                      << true << QStringLiteral("a=b");
    QTest::newRow("empty value is not missing")
        << QByteArray("[Config]\nRDO=\n") << config << rdo << true << QString();
    QTest::newRow("missing key") << QByteArray("[Config]\nShowDebit=1\n") << config << rdo << false
                                 << QString();
    QTest::newRow("missing section")
        << QByteArray("[Colors]\nRDO=B3\n") << config << rdo << false << QString();
    QTest::newRow("key before any section")
        << QByteArray("RDO=B3\n[Config]\n") << config << rdo << false << QString();
    QTest::newRow("comment line") << QByteArray("[Config]\n;RDO=A1\nRDO=B3\n") << config << rdo
                                  << true << b3;
    QTest::newRow("indented comment line")
        << QByteArray("[Config]\n  ;RDO=A1\n") << config << rdo << false << QString();
    QTest::newRow("semicolon inside a value")
        << QByteArray("[Config]\nAgency=Fire ; Rescue\n") << config << agency << true
        << QStringLiteral("Fire ; Rescue");
    QTest::newRow("hash is no comment") << QByteArray("[Config]\n#RDO=A1\n") << config
                                        << QStringLiteral("#RDO") << true << QStringLiteral("A1");
    QTest::newRow("line without = is no key")
        << QByteArray("[Config]\nRDO\nRDO=B3\n") << config << rdo << true << b3;
    QTest::newRow("first duplicate key wins") << QByteArray("[Config]\nRDO=A1\nrdo=B3\n") << config
                                              << rdo << true << QStringLiteral("A1");
    QTest::newRow("first duplicate section wins")
        << QByteArray("[Config]\nRDO=A1\n[Config]\nRDO=B3\n") << config << rdo << true
        << QStringLiteral("A1");
    QTest::newRow("keys of a later duplicate section unseen")
        << QByteArray("[Config]\nRDO=A1\n[Config]\nShowDebit=1\n") << config
        << QStringLiteral("ShowDebit") << false << QString();
    QTest::newRow("section runs to the last ]")
        << QByteArray("[Con]fig]\nRDO=B3\n") << QStringLiteral("Con]fig") << rdo << true << b3;
    QTest::newRow("text after ] ignored")
        << QByteArray("[Config] old\nRDO=B3\n") << config << rdo << true << b3;
    QTest::newRow("[ without ] is no section")
        << QByteArray("[Config\nRDO=B3\n") << config << rdo << false << QString();
    QTest::newRow("[ without ] reads as a key")
        << QByteArray("[Config]\n[x=1\n") << config << QStringLiteral("[x") << true
        << QStringLiteral("1");
    QTest::newRow("double quotes stripped") << QByteArray("[Config]\nAgency=\" Fire \"\n") << config
                                            << agency << true << QStringLiteral(" Fire ");
    QTest::newRow("single quotes stripped") << QByteArray("[Config]\nAgency='Fire'\n") << config
                                            << agency << true << QStringLiteral("Fire");
    QTest::newRow("one pair only") << QByteArray("[Config]\nAgency=\"\"Fire\"\"\n") << config
                                   << agency << true << QStringLiteral("\"Fire\"");
    QTest::newRow("mismatched quotes kept") << QByteArray("[Config]\nAgency='Fire\"\n") << config
                                            << agency << true << QStringLiteral("'Fire\"");
    QTest::newRow("lone quote kept")
        << QByteArray("[Config]\nAgency=\"\n") << config << agency << true << QStringLiteral("\"");
    QTest::newRow("UTF-8 without BOM") << QByteArray("[Config]\nAgency=K\xC3\xB6ln\n") << config
                                       << agency << true << QStringLiteral("K\u00F6ln");
    QTest::newRow("UTF-8 with BOM")
        << QByteArray("\xEF\xBB\xBF[Config]\nRDO=B3\n") << config << rdo << true << b3;
    QTest::newRow("UTF-16 LE with BOM")
        << utf16Le(QStringLiteral("[Config]\r\nAgency=K\u00F6ln ") + Grin + QStringLiteral("\r\n"))
        << config << agency << true << QStringLiteral("K\u00F6ln ") + Grin;
    QTest::newRow("UTF-16 BE with BOM")
        << utf16Be(QStringLiteral("[Config]\nRDO=B3\n")) << config << rdo << true << b3;
    QTest::newRow("UTF-16 of odd length")
        << utf16Le(QStringLiteral("[Config]\nRDO=B3\n")) + 'x' << config << rdo << true << b3;
    QTest::newRow("UTF-16 without BOM finds nothing")
        << QByteArray("[\0C\0o\0n\0f\0i\0g\0]\0\n\0R\0D\0O\0=\0B\0003\0", 30) << config << rdo
        << false << QString();
    QTest::newRow("invalid UTF-8 on another line")
        << QByteArray("[Config]\nAgency=\xFF\xC3(\xE2\x82\nRDO=B3\n") << config << rdo << true
        << b3;
    QTest::newRow("NUL bytes on another line")
        << QByteArray("[Config]\nAg\0ency=\0\nRDO=B3\n", 26) << config << rdo << true << b3;
    QTest::newRow("only a BOM") << QByteArray("\xEF\xBB\xBF") << config << rdo << false
                                << QString();
    QTest::newRow("empty file") << QByteArray() << config << rdo << false << QString();

    const QString longest(MaxIniValueLength, u'x');
    QTest::newRow("value of 2,047 whole") << QByteArray("[Config]\nAgency=") + longest.toLatin1()
                                          << config << agency << true << longest;
    QTest::newRow("longer value cut to 2,047")
        << QByteArray("[Config]\nAgency=") + longest.toLatin1() + "yyy" << config << agency << true
        << longest;
    QTest::newRow("quotes stripped before the cut")
        << QByteArray("[Config]\nAgency=\"") + longest.toLatin1() + "\"" << config << agency << true
        << longest;
    const QString beforeCut(MaxIniValueLength - 2, u'x');
    QTest::newRow("surrogate pair ending at the cut")
        << QByteArray("[Config]\nAgency=") + (beforeCut + Grin + u'z').toUtf8() << config << agency
        << true << beforeCut + Grin;
    const QString upToCut(MaxIniValueLength - 1, u'x');
    QTest::newRow("surrogate pair across the cut")
        << QByteArray("[Config]\nAgency=") + (upToCut + Grin).toUtf8() << config << agency << true
        << upToCut;
}

void TestIniStore::reading() {
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, found);
    QFETCH(QString, expected);

    const std::optional<QString> value = IniDocument::fromBytes(file).value(section, key);
    QCOMPARE(value.has_value(), found);
    if (found)
        QCOMPARE(*value, expected);
}

void TestIniStore::writing_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QString config = QStringLiteral("Config");
    const QString colors = QStringLiteral("Colors");
    const QString rdo = QStringLiteral("RDO");
    const QString debit = QStringLiteral("ShowDebit");
    const QString agency = QStringLiteral("Agency");
    const QString b3 = QStringLiteral("B3");

    QTest::newRow("value replaced, rest kept")
        << QByteArray("; mine\n\n[Config]\nRDO=A1\nShowDebit=1\n[Other]\nx = y\n") << config << rdo
        << b3 << QByteArray("; mine\n\n[Config]\nRDO=B3\nShowDebit=1\n[Other]\nx = y\n");
    QTest::newRow("CRLF file and comments kept")
        << QByteArray("[Config]\r\n; note\r\nRDO=A1\r\n\r\n[Colors]\r\nAPlt=Red\r\n") << colors
        << QStringLiteral("APlt") << QStringLiteral("Blue")
        << QByteArray("[Config]\r\n; note\r\nRDO=A1\r\n\r\n[Colors]\r\nAPlt=Blue\r\n");
    QTest::newRow("name spelling and blanks before the value kept")
        << QByteArray("[Config]\n  rdo = A1  \r\n") << config << rdo << b3
        << QByteArray("[Config]\n  rdo = B3\r\n");
    QTest::newRow("only the first duplicate replaced")
        << QByteArray("[Config]\nRDO=A1\nRDO=A2\n[Config]\nRDO=A3\n") << config << rdo << b3
        << QByteArray("[Config]\nRDO=B3\nRDO=A2\n[Config]\nRDO=A3\n");
    QTest::newRow("key added after the last key, before blank lines")
        << QByteArray("[Config]\nRDO=A1\n; end\n\n[Colors]\n") << config << debit
        << QStringLiteral("1") << QByteArray("[Config]\nRDO=A1\nShowDebit=1\n; end\n\n[Colors]\n");
    QTest::newRow("key added to a section without keys")
        << QByteArray("[Config]\n[Colors]\n") << config << rdo << b3
        << QByteArray("[Config]\nRDO=B3\n[Colors]\n");
    QTest::newRow("key added after a last line without line end")
        << QByteArray("[Config]\r\nRDO=A1") << config << debit << QStringLiteral("1")
        << QByteArray("[Config]\r\nRDO=A1\r\nShowDebit=1");
    QTest::newRow("lone CR kept apart from a following LF")
        << QByteArray("[Config]\rRDO=A1\n\nx") << config << debit << QStringLiteral("1")
        << QByteArray("[Config]\rRDO=A1\nShowDebit=1\r\n\nx");
    QTest::newRow("section added at the end")
        << QByteArray("; mine\r\n[Config]\r\nRDO=A1\r\n") << colors << QStringLiteral("APlt")
        << QStringLiteral("Red")
        << QByteArray("; mine\r\n[Config]\r\nRDO=A1\r\n[Colors]\r\nAPlt=Red\r\n");
    QTest::newRow("section added after a last line without line end")
        << QByteArray("[Config]\nRDO=A1") << colors << QStringLiteral("APlt")
        << QStringLiteral("Red") << QByteArray("[Config]\nRDO=A1\n[Colors]\nAPlt=Red\n");
    QTest::newRow("empty file") << QByteArray() << config << rdo << b3
                                << QByteArray("[Config]\nRDO=B3\n");
    QTest::newRow("leading blank quoted")
        << QByteArray("[Config]\nAgency=x\n") << config << agency << QStringLiteral(" Fire")
        << QByteArray("[Config]\nAgency=\" Fire\"\n");
    QTest::newRow("surrounding quotes quoted")
        << QByteArray("[Config]\n") << config << agency << QStringLiteral("'Fire'")
        << QByteArray("[Config]\nAgency=\"'Fire'\"\n");
    QTest::newRow("inner quote not quoted")
        << QByteArray("[Config]\n") << config << agency << QStringLiteral("Joe's \"Fire\" Co")
        << QByteArray("[Config]\nAgency=Joe's \"Fire\" Co\n");
    QTest::newRow("UTF-8 BOM kept")
        << QByteArray("\xEF\xBB\xBF[Config]\nAgency=x\n") << config << agency
        << QStringLiteral("K\u00F6ln") << QByteArray("\xEF\xBB\xBF[Config]\nAgency=K\xC3\xB6ln\n");
    QTest::newRow("UTF-16 LE kept")
        << utf16Le(QStringLiteral("[Config]\r\nRDO=A1\r\n")) << config << agency
        << QStringLiteral("K\u00F6ln ") + Grin
        << utf16Le(QStringLiteral("[Config]\r\nRDO=A1\r\nAgency=K\u00F6ln ") + Grin +
                   QStringLiteral("\r\n"));
    QTest::newRow("UTF-16 BE kept") << utf16Be(QStringLiteral("[Config]\nRDO=A1\n")) << config
                                    << rdo << b3 << utf16Be(QStringLiteral("[Config]\nRDO=B3\n"));
    QTest::newRow("odd UTF-16 tail kept at the end")
        << utf16Le(QStringLiteral("[Config]\n")) + 'x' << colors << QStringLiteral("APlt")
        << QStringLiteral("Red") << utf16Le(QStringLiteral("[Config]\n[Colors]\nAPlt=Red\n")) + 'x';
    QTest::newRow("invalid UTF-8 and NUL elsewhere kept")
        << QByteArray("[Config]\nAgency=\xFF\xC3(\0\nRDO=A1\n", 28) << config << rdo << b3
        << QByteArray("[Config]\nAgency=\xFF\xC3(\0\nRDO=B3\n", 28);
}

void TestIniStore::writing() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);

    IniDocument document = IniDocument::fromBytes(before);
    QVERIFY(document.setValue(section, key, value));
    QCOMPARE(document.toBytes(), after);
    QCOMPARE(IniDocument::fromBytes(after).value(section, key).value_or("<missing>"), value);
}

void TestIniStore::quotingRoundTrip_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("leading blank") << QStringLiteral(" Fire");
    QTest::newRow("trailing tab") << QStringLiteral("Fire\t");
    QTest::newRow("blanks only") << QStringLiteral("  ");
    QTest::newRow("empty") << QString();
    QTest::newRow("double quoted") << QStringLiteral("\"Fire\"");
    QTest::newRow("single quoted") << QStringLiteral("'Fire'");
    QTest::newRow("quote and blank") << QStringLiteral("\" ");
    QTest::newRow("lone quote") << QStringLiteral("'");
    QTest::newRow("equals and semicolon") << QStringLiteral("a=b ; c");
    QTest::newRow("brackets") << QStringLiteral("[Colors]");
    QTest::newRow("non-Latin") << QStringLiteral("\u05D0\u05E9 ") + Grin;
}

void TestIniStore::quotingRoundTrip() {
    QFETCH(QString, value);
    const QList<QByteArray> starts{QByteArray(), QByteArray("[S]\r\nk = old\r\n"),
                                   utf16Be(QStringLiteral("[S]\nk=old\n"))};
    for (const QByteArray& start : starts) {
        IniDocument document = IniDocument::fromBytes(start);
        QVERIFY(document.setValue(u"S", u"k", value));
        QCOMPARE(IniDocument::fromBytes(document.toBytes()).value(u"S", u"k").value_or("<missing>"),
                 value);
    }
}

void TestIniStore::refusedWrites_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    const QString config = QStringLiteral("Config");
    const QString agency = QStringLiteral("Agency");
    QTest::newRow("CR in value") << config << agency << QStringLiteral("a\rb");
    QTest::newRow("LF in value") << config << agency << QStringLiteral("a\n");
    QTest::newRow("NUL in value") << config << agency << QString::fromUtf16(u"a\0b", 3);
    QTest::newRow("lone surrogate") << config << agency << QString(QChar(0xD83D));
    QTest::newRow("empty key") << config << QString() << QStringLiteral("x");
    QTest::newRow("= in key") << config << QStringLiteral("a=b") << QStringLiteral("x");
    QTest::newRow("comment key") << config << QStringLiteral(";a") << QStringLiteral("x");
    QTest::newRow("LF in section") << QStringLiteral("Con\nfig") << agency << QStringLiteral("x");
    QTest::newRow("blank around section")
        << QStringLiteral(" Config") << agency << QStringLiteral("x");
}

void TestIniStore::refusedWrites() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray before("[Config]\nAgency=Fire\n");
    IniDocument document = IniDocument::fromBytes(before);
    QVERIFY(!document.setValue(section, key, value));
    QCOMPARE(document.toBytes(), before);
}

void TestIniStore::wholeFileWithinTheCap_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("readable");
    QTest::newRow("empty file") << "empty" << true;
    QTest::newRow("a few keys") << "keys" << true;
    QTest::newRow("exactly the cap") << "cap" << true;
    QTest::newRow("one byte over the cap") << "over" << false;
    // /proc gives a size of 0 for files that hold text: reading goes to the end, not the size.
    QTest::newRow("no size reported") << "proc" << true;
}

// What the file holds, whatever its size claimed, and nothing past the cap.
void TestIniStore::wholeFileWithinTheCap() {
    QFETCH(QString, setup);
    QFETCH(bool, readable);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath("settings.ini");
    if (setup == "keys") {
        writeFile(path, "[Config]\r\nRDO=A1\r\nAgency=x\r\n");
    } else if (setup == "proc") {
        path = QStringLiteral("/proc/self/cmdline"); // the same for this reader and for readAll
        if (!QFileInfo(path).isFile() || QFileInfo(path).size() != 0)
            QSKIP("no /proc here");
    } else {
        writeFile(path, {});
        QFile file(path);
        const qint64 length = setup == "cap"    ? MaxIniFileSize
                              : setup == "over" ? MaxIniFileSize + 1
                                                : 0;
        QVERIFY(file.resize(length)); // sparse: costs no disk
    }

    const std::optional<QByteArray> read = readIniFile(path);
    QCOMPARE(read.has_value(), readable);
    if (!readable)
        return;
    const QByteArray expected = fileBytes(path);
    QVERIFY(setup == "empty" || !expected.isEmpty());
    QCOMPARE(read->size(), expected.size());
    QVERIFY(*read == expected);
}

void TestIniStore::fileMissingGivesDefault() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fallback = QStringLiteral("fallback");
    QCOMPARE(readIniString(dir.filePath("none.ini"), "Config", "RDO", fallback), fallback);
    // A folder is no file either.
    QCOMPARE(readIniString(dir.path(), "Config", "RDO", fallback), fallback);
}

void TestIniStore::writeCreatesFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("new.ini");
    QVERIFY(writeIniStrings(path, {{"Config", "RDO", "B3"}, {"Colors", "APlt", "Red"}}));
    QCOMPARE(fileBytes(path), QByteArray("[Config]\nRDO=B3\n[Colors]\nAPlt=Red\n"));
    QCOMPARE(readIniString(path, "Config", "RDO", QString()), QStringLiteral("B3"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"new.ini"});
}

void TestIniStore::refusedFileWriteChangesNothing() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("settings.ini");
    const QByteArray before("[Config]\r\nRDO=A1\r\n");
    writeFile(path, before);
    QVERIFY(!writeIniStrings(path, {{"Config", "RDO", "B3"}, {"Config", "Agency", "a\nb"}}));
    QCOMPARE(fileBytes(path), before);
}

void TestIniStore::folderInTheWay() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("settings.ini");
    QVERIFY(QDir().mkdir(path));
    writeFile(path + "/inside", "kept");
    QVERIFY(!writeIniString(path, "Config", "RDO", "B3"));
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"inside"});
    QCOMPARE(fileBytes(path + "/inside"), QByteArray("kept"));
}

void TestIniStore::missingFolderIsRefused() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(!writeIniString(dir.filePath("gone/settings.ini"), "Config", "RDO", "B3"));
    QVERIFY(!QFileInfo::exists(dir.filePath("gone")));
}

void TestIniStore::symbolicLinkKeepsLink() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir().mkdir(dir.filePath("real")));
    const QString target = dir.filePath("real/settings.ini");
    const QString link = dir.filePath("settings.ini");
    writeFile(target, "; mine\n[Config]\nRDO=A1\n");
    // A relative link, resolved against the link's own folder.
    QVERIFY(QFile::link(QStringLiteral("real/settings.ini"), link));

    QVERIFY(writeIniString(link, "Config", "RDO", "B3"));
    QVERIFY(QFileInfo(link).isSymbolicLink());
    QCOMPARE(fileBytes(target), QByteArray("; mine\n[Config]\nRDO=B3\n"));
    QCOMPARE(readIniString(link, "Config", "RDO", QString()), QStringLiteral("B3"));
}

// A child process writes keys in a loop and is killed at random moments; every kill must leave a
// file that parses with each key at its old or its new value.
void TestIniStore::killedWriterLeavesOldOrNewFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("Tourwise.ini");
    const QByteArray preamble("; kept by every write\r\n[Other]\r\nx=1\r\n");

    struct KeyValues {
        QString key;
        QString oldValue;
        QString newValue;
    };
    QList<KeyValues> keys;
    QStringList arguments{path, QStringLiteral("Kill")};
    QByteArray initial = preamble + "[Kill]\r\n";
    for (int i = 0; i < 5; ++i) {
        // Different lengths, so that a torn write could not pass for either value.
        KeyValues key{QStringLiteral("Key%1").arg(i), QString(300 + 50 * i, QChar(u'o')),
                      QString(900 - 70 * i, QChar(u'n'))};
        arguments << key.key << key.oldValue << key.newValue;
        initial += (key.key + u'=' + key.oldValue + QStringLiteral("\r\n")).toUtf8();
        keys.append(key);
    }
    writeFile(path, initial);

    QRandomGenerator random(20201220);
    const int kills = 30;
    bool sawNewValue = false;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess child;
        child.start(QStringLiteral(INI_WRITER_CHILD), arguments);
        QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
        // The child reports its first round of writes; the kill lands at a random moment after.
        QVERIFY(child.waitForReadyRead(10000));
        QThread::usleep(random.bounded(15000));
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        const QByteArray bytes = fileBytes(path);
        QVERIFY2(bytes.startsWith(preamble), qPrintable(QStringLiteral("kill %1").arg(kill)));
        const IniDocument document = IniDocument::fromBytes(bytes);
        for (const KeyValues& key : keys) {
            const std::optional<QString> value = document.value(u"Kill", key.key);
            QVERIFY2(value.has_value(), qPrintable(key.key));
            QVERIFY2(*value == key.oldValue || *value == key.newValue,
                     qPrintable(QStringLiteral("kill %1, %2").arg(kill).arg(key.key)));
            sawNewValue = sawNewValue || *value == key.newValue;
        }
    }
    QVERIFY(sawNewValue);

    // QSaveFile may leave at most its own temporary file behind per kill, never one per write.
    const QStringList leftovers =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QVERIFY(leftovers.contains(QStringLiteral("Tourwise.ini")));
    QVERIFY2(leftovers.size() <= 1 + kills, qPrintable(leftovers.join(u", ")));
    for (const QString& name : leftovers)
        QVERIFY2(name.startsWith(QStringLiteral("Tourwise.ini")), qPrintable(name));
}

QTEST_GUILESS_MAIN(TestIniStore)
#include "tst_inistore.moc"
