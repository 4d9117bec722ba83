// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/datafiles.h"
#include "data/storedtext.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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

// Expected texts, "|" between them; nothing at all for "".
QStringList fields(const char *texts)
{
    return *texts ? QString::fromUtf8(texts).split(u'|') : QStringList();
}

enum Reader { Count, Verbs, Words };

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

// The data tool as a separate process; status -1 when it did not run to an end.
Run runTool(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess tool;
    tool.start(qEnvironmentVariable("STRELKAVO_BIN_DIR") + u"/strelkavo-data"_s, arguments);
    tool.write(input);
    tool.closeWriteChannel();
    if (!tool.waitForFinished() || tool.exitStatus() != QProcess::NormalExit)
        return {};
    return {tool.exitCode(), tool.readAllStandardOutput(),
            QString::fromUtf8(tool.readAllStandardError())};
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
    void reads_data();
    void reads();
    void faults_data();
    void faults();
    void encoding_data();
    void encoding();
    void toolRoundTrip();
    void toolRefuses_data();
    void toolRefuses();
};

// What a reader gives: the verb file's fields, three per line, or the words.
// LiczLinie must count exactly the verb file's lines.
void TestDataFiles::reads_data()
{
    QTest::addColumn<int>("reader");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("read");

    QTest::newRow("verbs: empty file") << int(Verbs) << QByteArray() << fields("");
    QTest::newRow("verbs: CR LF") << int(Verbs)
        << lines({st("gehen#ging#gegangen"), st("sein#war#gewesen")})
        << fields("gehen|ging|gegangen|sein|war|gewesen");
    QTest::newRow("verbs: LF; a third separator stays in field 3")
        << int(Verbs) << lines({st("x#y#z#w"), st("a#b#c")}, "\n") << fields("x|y|z#w|a|b|c");
    QTest::newRow("verbs: mixed ends, an empty line; short lines carry nothing over")
        << int(Verbs)
        << st("long first#long second#long third") + "\r\n" + st("ab") + "\n\r\n" + st("cd#ef")
               + "\n" + st("#") + "\r\n"
        << fields("long first|long second|long third|ab||||||cd|ef||||");
    QTest::newRow("verbs: no final line end")
        << int(Verbs) << lines({st("a#b#c")}) + st("d#e#f") << fields("a|b|c|d|e|f");
    QTest::newRow("verbs: comma gets its blank")
        << int(Verbs) << lines({st("a,b#c#d,e")}) << fields("a, b|c|d, e");
    QTest::newRow("verbs: lone CR, 0x1A and NUL are data")
        << int(Verbs) << lines({st("a#b") + "\r" + st("c#d") + "\x1a" + QByteArray(1, '\0')})
        << fields("a|b\x15" "c|d\"\x08");
    QTest::newRow("words: empty file") << int(Words) << QByteArray() << fields("");
    QTest::newRow("words: stored comma splits and the last words stay") << int(Words)
        << lines({st("a"), st("b") + "," + st("c") + "," + st("d"), st("e"), st("f")})
        << fields("a|b|c|d|e|f");
    QTest::newRow("words: quoted field keeps its comma")
        << int(Words) << lines({"\"" + st("x") + "," + st("y") + "\"", st("z")}) << fields("x4y|z");
    QTest::newRow("words: text after a closing quote is dropped")
        << int(Words) << lines({"\"" + st("ab") + "\"" + st("zz") + "," + st("cd")})
        << fields("ab|cd");
    QTest::newRow("words: unbalanced quote runs to the line end")
        << int(Words) << lines({"\"" + st("ab") + "," + st("c"), st("d")}) << fields("ab4c|d");
    QTest::newRow("words: leading stored blanks skipped, inner ones kept")
        << int(Words) << lines({"  " + st("ab"), st("c") + ", " + st("d") + " " + st("e")})
        << fields("ab|c|d(e");
    QTest::newRow("words: empty line is an empty word")
        << int(Words) << lines({st("a"), QByteArray(), st("b")}) << fields("a||b");
    QTest::newRow("words: shown comma is no separator")
        << int(Words) << lines({st("a,b")}) << fields("a, b");
    QTest::newRow("words: LF, last word without line end")
        << int(Words) << lines({st("a")}, "\n") + st("b") << fields("a|b");
}

void TestDataFiles::reads()
{
    QFETCH(int, reader);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, read);
    const QString path = write(content);
    qint32 n = -1;
    int yields = 0;
    QVERIFY(!LiczLinie(path, n, [&] { ++yields; }));
    QCOMPARE(yields, 1);

    yields = 0;
    std::optional<LoadError> error;
    QStringList got;
    if (reader == Verbs) {
        QCOMPARE(n * 3, read.size());
        VerbTable table(n);
        error = ReadData(n, path, table, [&] { ++yields; });
        for (const VerbRow &row : table)
            got << row[0] << row[1] << row[2];
        QCOMPARE(yields, n);
    } else {
        got = {u"kept"_s};
        error = ReadData2(n, path, got, [&] { ++yields; });
        QCOMPARE(got.takeFirst(), u"kept"_s);
        QCOMPARE(yields, read.size());
    }
    QVERIFY2(!error, error ? qPrintable(error->message()) : "");
    QCOMPARE(got, read);
}

// A file that cannot be read, or a byte in it with no shown form. Every reader
// stops at the first fault; the words read before it stay.
void TestDataFiles::faults_data()
{
    QTest::addColumn<int>("reader");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("line");
    QTest::addColumn<QStringList>("wordsBefore");

    const QByteArray good = st("a#b#c");
    const std::pair<const char *, Reader> readers[] = {
        {"LiczLinie", Count}, {"ReadData", Verbs}, {"ReadData2", Words}};
    for (const auto &[name, reader] : readers)
        for (const char *place : {"missing", "directory", "unreadable"})
            QTest::addRow("%s: %s", name, place)
                << int(reader) << QString::fromLatin1(place) << good << 0 << QStringList();
    QTest::newRow("ReadData: fewer lines than asked")
        << int(Verbs) << QString() << lines({good, good}) << 3 << QStringList();
    QTest::newRow("ReadData: 0xF8 in line 3")
        << int(Verbs) << QString() << lines({good, good, st("d#") + "\xf8" + st("#f"), good})
        << 3 << QStringList();
    QTest::newRow("ReadData: LF ends, undecodable last line without end")
        << int(Verbs) << QString() << lines({good, good, good}, "\n") + "\xff" << 4
        << QStringList();
    QTest::newRow("ReadData2: undecodable after a comma in line 3")
        << int(Words) << QString() << lines({st("a"), st("b"), st("c") + "," + "\x79"}) << 3
        << fields("a|b|c");
}

void TestDataFiles::faults()
{
    QFETCH(int, reader);
    QFETCH(QString, place);
    QFETCH(QByteArray, content);
    QFETCH(int, line);
    QFETCH(QStringList, wordsBefore);

    QString path = m_dir.filePath(u"absent.dat"_s);
    if (place == u"directory") {
        path = m_dir.filePath(u"dir%1.dat"_s.arg(++m_files));
        QVERIFY(QDir().mkdir(path));
    } else if (place != u"missing") {
        path = write(content);
    }
    if (place == u"unreadable") {
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        if (geteuid() == 0 || QFile(path).open(QIODevice::ReadOnly))
            QSKIP("permissions are not enforced for this user");
    }

    qint32 n = 0;
    VerbTable table(4);
    QStringList words;
    const auto error = reader == Count ? LiczLinie(path, n, [] {})
                     : reader == Verbs ? ReadData(4, path, table, [] {})
                                       : ReadData2(4, path, words, [] {});
    QVERIFY(error.has_value());
    QCOMPARE(error->file, path);
    QCOMPARE(error->line, line);
    QVERIFY(!error->what.isEmpty());
    const QString message = error->message();
    QVERIFY2(message.contains(path), qPrintable(message));
    QVERIFY2(line == 0 || message.contains(u"wiersz %1"_s.arg(line)), qPrintable(message));
    QCOMPARE(words, wordsBefore);
}

// position: 1-based place of the refused character, 0 when the text is taken.
void TestDataFiles::encoding_data()
{
    QTest::addColumn<bool>("word");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("position");

    QTest::newRow("line: letters, comma with blank") << false << u"łączyć, ß#ä#Ö"_s << 0;
    QTest::newRow("line: 4, * and ( are plain") << false << u"(4*)#\"#x"_s << 0;
    QTest::newRow("line: comma at the end") << false << u"ab,"_s << 3;
    QTest::newRow("line: second comma without blank") << false << u"a, b,c"_s << 5;
    QTest::newRow("line: position counts the dropped blank") << false << u"a, bЖ"_s << 5;
    QTest::newRow("line: stored as LF") << false << u"ab"_s + QChar(0x12) << 3;
    QTest::newRow("line: stored as CR") << false << QString(QChar(0x15)) << 1;
    QTest::newRow("word: comma with blank, inner parenthesis") << true << u"a, (b)"_s << 0;
    QTest::newRow("word: inner 4") << true << u"ab4c"_s << 3;
    QTest::newRow("word: *") << true << u"a*"_s << 2;
    QTest::newRow("word: leading (") << true << u"(ab"_s << 1;
    QTest::newRow("word: comma without blank") << true << u"ab,c"_s << 3;
}

void TestDataFiles::encoding()
{
    QFETCH(bool, word);
    QFETCH(QString, shown);
    QFETCH(int, position);

    CodecFault fault;
    const auto stored = word ? encodeWord(shown, &fault) : encodeLine(shown, &fault);
    if (position > 0) {
        QVERIFY(!stored.has_value());
        QCOMPARE(fault.position, qsizetype(position));
        QVERIFY(!fault.what.isEmpty());
        return;
    }
    QVERIFY2(stored.has_value(), qPrintable(fault.what));
    QVERIFY(!stored->contains('\n') && !stored->contains('\r'));
    QCOMPARE(DeXKoduj(*stored), std::optional<QString>(shown));
    if (word) { // the word reader takes it back as one whole field
        QList<QByteArray> fields;
        splitWordLine(*stored, [&](QByteArrayView f, qsizetype) { fields << f.toByteArray(); });
        QCOMPARE(fields, QList<QByteArray>{*stored});
    }
}

void TestDataFiles::toolRoundTrip()
{
    const QString list = u"gehen#ging#gegangen\nändern#änderte#geändert\nsehen#sah#gesehen, "
                         u"gesehn\ngehen#ging#gegangen\nhängen#hing#gehangen\n"_s;
    const QString listPath = write(list.toUtf8());
    const QDir out(m_dir.filePath(u"out"_s));
    const Run build = runTool({u"build"_s, listPath, out.path()});
    QVERIFY2(build.status == 0, qPrintable(build.err));

    const Run verbs = runTool({u"decode"_s, out.filePath(kVerbFileName)});
    QCOMPARE(verbs.status, 0);
    QCOMPARE(QString::fromUtf8(verbs.out), list);

    // Every distinct field once, as the program reads it; the order is the program's to make.
    QStringList read;
    QVERIFY(!ReadData2(0, out.filePath(kWordFileName), read, [] {}));
    QStringList distinct = fields("gehen|ging|gegangen|ändern|änderte|geändert|sehen|sah|"
                                  "gesehen, gesehn|hängen|hing|gehangen");
    read.sort();
    distinct.sort();
    QCOMPARE(read, distinct);

    const Run encoded = runTool({u"encode"_s}, "gehen\nx, y\n");
    QCOMPARE(encoded.status, 0);
    QCOMPARE(encoded.out, QByteArray("_]`]f\r\np$q\r\n"));
}

// The tool stops at the first bad line, names it, and writes nothing.
void TestDataFiles::toolRefuses_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("line");

    QTest::newRow("encode: comma without blank") << u"encode"_s << u"gehen\nsein\nx,y\n"_s << 3;
    QTest::newRow("build: one separator") << u"build"_s << u"a#b#c\nd#e\n"_s << 2;
    QTest::newRow("build: three separators") << u"build"_s << u"a#b#c#d\n"_s << 1;
    QTest::newRow("build: empty field") << u"build"_s << u"a#b#c\na##c\n"_s << 2;
    QTest::newRow("build: comma without blank") << u"build"_s << u"a#b,c#d\n"_s << 1;
    QTest::newRow("build: field that cannot be a search word")
        << u"build"_s << u"a#b#c\nd#e#f4\n"_s << 2;
}

void TestDataFiles::toolRefuses()
{
    QFETCH(QString, command);
    QFETCH(QString, input);
    QFETCH(int, line);

    const QString listPath = write(input.toUtf8());
    const QDir out(listPath + u".out"_s);
    const Run run = command == u"encode" ? runTool({command}, input.toUtf8())
                                         : runTool({command, listPath, out.path()});
    QVERIFY(run.status > 0);
    QVERIFY2(run.err.contains(u"wiersz %1"_s.arg(line)), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    QVERIFY(!out.exists(kVerbFileName) && !out.exists(kWordFileName));
}

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
