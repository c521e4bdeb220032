// The password file for scripts: its first line, and one sentence naming the file, never its
// content, for every file it refuses.
#include "platform/passwordfile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include "testfiles.h"

namespace {

const QByteArray Secret = "correct horse battery staple";

} // namespace

class PasswordFileTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void firstLine_data();
    void firstLine();
    void refused_data();
    void refused();
    void fifoDoesNotBlock();

private:
    QTemporaryDir m_dir;
};

void PasswordFileTest::firstLine_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("password");
    QTest::newRow("one line") << Secret + "\n" << QString::fromUtf8(Secret);
    QTest::newRow("no line break") << Secret << QString::fromUtf8(Secret);
    QTest::newRow("CR LF") << Secret + "\r\n" << QString::fromUtf8(Secret);
    QTest::newRow("more lines") << Secret + "\nsecond line\n" << QString::fromUtf8(Secret);
    QTest::newRow("spaces are the password's")
        << QByteArray("  spaced  \n") << QStringLiteral("  spaced  ");
    QTest::newRow("UTF-8") << QByteArray("p\xc3\xa4ss\n") << QStringLiteral("p\u00e4ss");
}

void PasswordFileTest::firstLine() {
    QFETCH(QByteArray, content);
    QFETCH(QString, password);
    const QString path = m_dir.filePath(QStringLiteral("good"));
    writeFile(path, content);
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    const PasswordFileResult result = ReadPasswordFile(path);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.password, password);
}

void PasswordFileTest::refused_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("mode"); // -1: a folder; -2: no file
    QTest::addColumn<QString>("words");
    QTest::newRow("group may read") << Secret << 0640 << "read or written by others (mode 0640)";
    QTest::newRow("others may read") << Secret << 0604 << "mode 0604";
    QTest::newRow("group may write") << Secret << 0620 << "mode 0620";
    QTest::newRow("a folder") << QByteArray() << -1 << "is a folder";
    QTest::newRow("missing") << QByteArray() << -2 << "cannot be opened";
    QTest::newRow("empty") << QByteArray() << 0600 << "is empty";
    QTest::newRow("empty first line") << "\n" + Secret << 0600 << "first line";
    QTest::newRow("huge") << QByteArray(1 << 20, 'x') + Secret << 0600 << "too large";
}

void PasswordFileTest::refused() {
    QFETCH(QByteArray, content);
    QFETCH(int, mode);
    QFETCH(QString, words);
    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    if (mode == -1) {
        QVERIFY(QDir().mkpath(path));
    } else if (mode >= 0) {
        writeFile(path, content);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)), 0);
    }
    const PasswordFileResult result = ReadPasswordFile(path);
    QVERIFY(!result.ok);
    QVERIFY(result.password.isEmpty());
    QVERIFY2(result.error.contains(words), qPrintable(result.error));
    QVERIFY(result.error.contains(path));
    QVERIFY(!result.error.contains(QString::fromUtf8(Secret)));
    QVERIFY(!result.error.contains(u'\n'));
}

void PasswordFileTest::fifoDoesNotBlock() {
    const QString path = m_dir.filePath(QStringLiteral("fifo"));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const PasswordFileResult result = ReadPasswordFile(path);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(QStringLiteral("not a regular file")), qPrintable(result.error));
}

QTEST_GUILESS_MAIN(PasswordFileTest)
#include "tst_passwordfile.moc"
