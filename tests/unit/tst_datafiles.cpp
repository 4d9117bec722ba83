#include "data/datafiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

// The stored form of plain ASCII text, shifted by hand so that the readers are
// not fed by the encoder they rely on.
QByteArray st(const char *shown)
{
    QByteArray out(shown);
    for (char &c : out)
        c = char(c - 8);
    return out;
}

QByteArray lines(const QList<QByteArray> &stored, const QByteArray &end = "\r\n")
{
    QByteArray out;
    for (const QByteArray &line : stored)
        out += line + end;
    return out;
}

} // namespace

class TestDataFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_files = 0;

    QString write(const QByteArray &content)
    {
        const QString path = m_dir.filePath(u"f%1.dat"_s.arg(++m_files));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void countLines_data();
    void countLines();
    void verbFile_data();
    void verbFile();
    void wordFile_data();
    void wordFile();
    void fileFaults_data();
    void fileFaults();
    void undecodableByte_data();
    void undecodableByte();
};

void TestDataFiles::countLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("count");

    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << 2;
    QTest::newRow("LF") << QByteArray("a\nb\nc\n") << 3;
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\r\n") << 3;
    QTest::newRow("lone CR is data") << QByteArray("a\rb\r\rc\r\n") << 1;
    QTest::newRow("no final line end") << QByteArray("a\r\nb") << 2;
    QTest::newRow("single line without end") << QByteArray("a") << 1;
    QTest::newRow("trailing lone CR") << QByteArray("a\r\nb\r") << 2;
    QTest::newRow("empty lines") << QByteArray("\r\n\r\n\n") << 3;
    QTest::newRow("0x1A is data") << QByteArray("a\x1a\r\n\x1a\r\nb\r\n") << 3;
    QTest::newRow("NUL is data") << QByteArray("a\0b\r\nc", 6) << 2;
}

void TestDataFiles::countLines()
{
    QFETCH(QByteArray, content);
    QFETCH(int, count);
    qint32 counted = -1;
    int yields = 0;
    const auto error = LiczLinie(write(content), counted, [&] { ++yields; });
    QVERIFY2(!error, error ? qPrintable(error->message()) : "");
    QCOMPARE(counted, count);
    QCOMPARE(yields, 1);
}

// fields: three per row, for the rows the reader is asked to fill.
void TestDataFiles::verbFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("well-formed")
        << lines({st("gehen#ging#gegangen"), st("sein#war#gewesen")})
        << QStringList{u"gehen"_s, u"ging"_s, u"gegangen"_s, u"sein"_s, u"war"_s, u"gewesen"_s};
    QTest::newRow("third separator stays in field 3")
        << lines({st("x#y#z#w")}) << QStringList{u"x"_s, u"y"_s, u"z#w"_s};
    QTest::newRow("no separator") << lines({st("abc")}) << QStringList{u"abc"_s, {}, {}};
    QTest::newRow("one separator") << lines({st("a#b")}) << QStringList{u"a"_s, u"b"_s, {}};
    QTest::newRow("empty fields") << lines({st("##")}) << QStringList{{}, {}, {}};
    QTest::newRow("empty line") << lines({QByteArray()}) << QStringList{{}, {}, {}};
    QTest::newRow("short lines carry nothing over")
        << lines({st("long first#long second#long third"), st("ab"), st("cd#ef"), st("#")})
        << QStringList{u"long first"_s, u"long second"_s, u"long third"_s,
                       u"ab"_s, {}, {},
                       u"cd"_s, u"ef"_s, {},
                       {}, {}, {}};
    QTest::newRow("comma gets its blank")
        << lines({st("a,b#c#d,e")}) << QStringList{u"a, b"_s, u"c"_s, u"d, e"_s};
    QTest::newRow("german letters")
        << lines({QByteArray("\xd7\xf4\xd7\xdc\x1b" "b\x1b" "c")})
        << QStringList{u"ßüßä"_s, u"j"_s, u"k"_s};
    QTest::newRow("LF line ends") << lines({st("a#b#c"), st("d#e#f")}, "\n")
                                  << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s};
    QTest::newRow("last line without end")
        << lines({st("a#b#c")}) + st("d#e#f")
        << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s};
    QTest::newRow("lone CR and 0x1A are data")
        << lines({st("a#b") + "\r" + st("c#d") + "\x1a"})
        << QStringList{u"a"_s, u"b"_s + QChar(0x15) + u"c"_s, u"d\""_s};
}

void TestDataFiles::verbFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, fields);
    const QString path = write(content);
    qint32 n = 0;
    QVERIFY(!LiczLinie(path, n, [] {}));
    QCOMPARE(n * 3, fields.size());

    VerbTable table(n);
    int yields = 0;
    const auto error = ReadData(n, path, table, [&] { ++yields; });
    QVERIFY2(!error, error ? qPrintable(error->message()) : "");
    QCOMPARE(yields, n);
    QStringList read;
    for (const VerbRow &row : table)
        read << row[0] << row[1] << row[2];
    QCOMPARE(read, fields);
}

void TestDataFiles::wordFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("five words")
        << lines({st("gehen"), st("ging"), st("gegangen"), st("sein"), st("war")})
        << QStringList{u"gehen"_s, u"ging"_s, u"gegangen"_s, u"sein"_s, u"war"_s};
    QTest::newRow("stored comma splits and the last words stay")
        << lines({st("a"), st("b") + "," + st("c") + "," + st("d"), st("e"), st("f")})
        << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s};
    QTest::newRow("quoted field keeps its comma")
        << lines({"\"" + st("x") + "," + st("y") + "\"", st("z")})
        << QStringList{u"x4y"_s, u"z"_s};
    QTest::newRow("text after a closing quote is dropped")
        << lines({"\"" + st("ab") + "\"" + st("zz") + "," + st("cd")})
        << QStringList{u"ab"_s, u"cd"_s};
    QTest::newRow("unbalanced quote runs to the line end")
        << lines({"\"" + st("ab") + "," + st("c"), st("d")})
        << QStringList{u"ab4c"_s, u"d"_s};
    QTest::newRow("leading stored blanks skipped")
        << lines({"  " + st("ab"), st("c") + ", " + st("d")})
        << QStringList{u"ab"_s, u"c"_s, u"d"_s};
    QTest::newRow("blank inside a word stays")
        << lines({st("a") + " " + st("b")}) << QStringList{u"a(b"_s};
    QTest::newRow("empty line is an empty word")
        << lines({st("a"), QByteArray(), st("b")}) << QStringList{u"a"_s, {}, u"b"_s};
    QTest::newRow("stored comma-code decodes with a blank")
        << lines({st("a,b")}) << QStringList{u"a, b"_s};
    QTest::newRow("last word without line end")
        << lines({st("a")}, "\n") + st("b") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("0x1A is data") << lines({"\x1a" + st("q")}) << QStringList{u"\"q"_s};
    QTest::newRow("empty file") << QByteArray() << QStringList();
}

void TestDataFiles::wordFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, words);
    const QString path = write(content);
    qint32 n = 0;
    QVERIFY(!LiczLinie(path, n, [] {}));

    QStringList read{u"kept"_s};
    int yields = 0;
    const auto error = ReadData2(n, path, read, [&] { ++yields; });
    QVERIFY2(!error, error ? qPrintable(error->message()) : "");
    QCOMPARE(read, QStringList{u"kept"_s} + words);
    QCOMPARE(yields, words.size());
}

enum Reader { Count, Verbs, Words };
enum Fault { Missing, Directory, Unreadable, ShortFile };

void TestDataFiles::fileFaults_data()
{
    QTest::addColumn<int>("reader");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("line");

    const std::pair<const char *, Reader> readers[] = {
        {"LiczLinie", Count}, {"ReadData", Verbs}, {"ReadData2", Words}};
    for (const auto &[name, reader] : readers) {
        QTest::addRow("%s: missing file", name) << int(reader) << int(Missing) << 0;
        QTest::addRow("%s: directory", name) << int(reader) << int(Directory) << 0;
        QTest::addRow("%s: unreadable", name) << int(reader) << int(Unreadable) << 0;
    }
    QTest::newRow("ReadData: fewer lines than asked") << int(Verbs) << int(ShortFile) << 3;
}

void TestDataFiles::fileFaults()
{
    QFETCH(int, reader);
    QFETCH(int, fault);
    QFETCH(int, line);

    QString path = m_dir.filePath(u"absent.dat"_s);
    if (fault == Directory) {
        path = m_dir.filePath(u"dir%1.dat"_s.arg(++m_files));
        QVERIFY(QDir().mkdir(path));
    } else if (fault == ShortFile) {
        path = write(lines({st("a#b#c"), st("d#e#f")}));
    } else if (fault == Unreadable) {
        path = write(lines({st("a#b#c")}));
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        QFile probe(path);
        if (geteuid() == 0 || probe.open(QIODevice::ReadOnly))
            QSKIP("permissions are not enforced for this user");
    }

    qint32 n = 0;
    VerbTable table(3);
    QStringList words;
    int yields = 0;
    const Yield yield = [&] { ++yields; };
    std::optional<LoadError> error;
    switch (Reader(reader)) {
    case Count: error = LiczLinie(path, n, yield); break;
    case Verbs: error = ReadData(3, path, table, yield); break;
    case Words: error = ReadData2(3, path, words, yield); break;
    }
    QVERIFY(error.has_value());
    QCOMPARE(error->file, path);
    QCOMPARE(error->line, line);
    QVERIFY(!error->what.isEmpty());
    QVERIFY(error->message().contains(path));
    QVERIFY(words.isEmpty());
    if (fault != ShortFile)
        QCOMPARE(yields, 0);
}

// A byte with no shown form, in the given line of either file.
void TestDataFiles::undecodableByte_data()
{
    QTest::addColumn<bool>("verbs");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("line");
    QTest::addColumn<QStringList>("wordsBefore");

    const QByteArray good = st("a#b#c");
    QTest::newRow("verbs: 0xF8 in line 3")
        << true << lines({good, good, st("d#") + "\xf8" + st("#f"), good}) << 3 << QStringList();
    QTest::newRow("verbs: undefined code in the last line, no line end")
        << true << lines({good}) + st("x#y#") + "\x90" << 2 << QStringList();
    QTest::newRow("verbs: LF counts as a line end")
        << true << lines({good, good, good}, "\n") + "\xff" << 4 << QStringList();
    QTest::newRow("words: 0xFF in line 2")
        << false << lines({st("ab"), st("cd") + "\xff", st("ef")}) << 2
        << QStringList{u"ab"_s};
    QTest::newRow("words: after a comma in line 3")
        << false << lines({st("a"), st("b"), st("c") + "," + "\x79"}) << 3
        << QStringList{u"a"_s, u"b"_s, u"c"_s};
}

void TestDataFiles::undecodableByte()
{
    QFETCH(bool, verbs);
    QFETCH(QByteArray, content);
    QFETCH(int, line);
    QFETCH(QStringList, wordsBefore);

    const QString path = write(content);
    qint32 n = 0;
    QVERIFY(!LiczLinie(path, n, [] {}));
    VerbTable table(n);
    QStringList words;
    const auto error = verbs ? ReadData(n, path, table, [] {})
                             : ReadData2(n, path, words, [] {});
    QVERIFY(error.has_value());
    QCOMPARE(error->file, path);
    QCOMPARE(error->line, line);
    const QString message = error->message();
    QVERIFY2(message.contains(path), qPrintable(message));
    QVERIFY2(message.contains(u"wiersz %1"_s.arg(line)), qPrintable(message));
    QCOMPARE(words, wordsBefore);
}

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
