// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/datafiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

// Which reader reads the file; the verb reader can be asked for one line too many.
constexpr int Verbs = 0, Words = 1, VerbsOneMore = 2;

// The stored form of ASCII text, shifted by hand so that the readers are not
// checked against the encoder they rely on.
QByteArray st(const char *shown)
{
    QByteArray out(shown);
    for (char &c : out)
        c = char(c - 8);
    return out;
}

QByteArray lines(const QList<QByteArray> &stored, const QByteArray &end = "\r\n")
{
    return stored.join(end) + end;
}

// What a reader makes of a file, every field or word joined by "|".
std::optional<LoadError> readAll(const QString &path, int reader, QString &joined)
{
    qint32 count = 0;
    if (auto error = LiczLinie(path, count, [] {}))
        return error;
    QStringList read;
    std::optional<LoadError> error;
    if (reader == Words) {
        error = ReadData2(count, path, read, [] {});
    } else {
        VerbTable table(count + (reader == VerbsOneMore));
        error = ReadData(qint32(table.size()), path, table, [] {});
        for (const VerbRow &row : table)
            read << row[0] << row[1] << row[2];
    }
    joined = read.join(u'|');
    return error;
}

} // namespace

class TestDataFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_files = 0;

    // A new file with the content given, or a place where no file can be read.
    QString place(const QByteArray &content)
    {
        const QString path = QDir(m_dir.path()).filePath(u"f%1.dat"_s.arg(++m_files));
        if (content == "<directory>")
            QDir().mkpath(path);
        if (content.startsWith('<'))
            return path;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void read_data();
    void read();
    void tool_data();
    void tool();
};

// lines: what LiczLinie counts; read: the fields or words; error: where the
// load error points, after the file name (empty when there is none).
void TestDataFiles::read_data()
{
    QTest::addColumn<int>("reader");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("error");

    const QByteArray good = st("a#b#c");
    QTest::newRow("verbs: CR LF") << Verbs << lines({st("gehen#ging#gegangen"), st("sein#war#x")})
                                  << 2 << u"gehen|ging|gegangen|sein|war|x"_s << u""_s;
    QTest::newRow("verbs: LF; x#y#z#w keeps its third # in field 3")
        << Verbs << lines({st("x#y#z#w"), good}, "\n") << 2 << u"x|y|z#w|a|b|c"_s << u""_s;
    QTest::newRow("verbs: empty line, short lines carry nothing over")
        << Verbs << st("long#er#row") + "\r\n" + st("ab") + "\n\r\n" + st("cd#ef") + "\n" + st("#")
        << 5 << u"long|er|row|ab||||||cd|ef||||"_s << u""_s;
    QTest::newRow("verbs: last line without line end")
        << Verbs << lines({good}) + st("d#e#f") << 2 << u"a|b|c|d|e|f"_s << u""_s;
    QTest::newRow("verbs: comma gets its blank and ends nothing")
        << Verbs << lines({st("a,b#c#d,e")}) << 1 << u"a, b|c|d, e"_s << u""_s;
    QTest::newRow("verbs: lone CR, 0x1A and NUL are data")
        << Verbs << lines({st("a#b") + "\r" + st("c#d") + "\x1a" + '\0'}) << 1
        << u"a|b\x15" "c|d\"\x08"_s << u""_s;
    QTest::newRow("verbs: empty file") << Verbs << ""_ba << 0 << u""_s << u""_s;
    QTest::newRow("verbs: 0xF8 in line 3")
        << Verbs << lines({good, good, st("d#") + "\xf8" + st("#f"), good}) << 4 << u""_s
        << u", wiersz 3, znak 3:"_s;
    QTest::newRow("verbs: undecodable last line without line end")
        << Verbs << lines({good, good, good}, "\n") + "\xff" << 4 << u""_s << u", wiersz 4, znak 1:"_s;
    QTest::newRow("verbs: file shorter than counted")
        << VerbsOneMore << lines({good, good}) << 2 << u""_s << u", wiersz 3:"_s;
    QTest::newRow("words: stored comma splits, no word lost")
        << Words << lines({st("a"), st("b") + "," + st("c") + "," + st("d"), st("e")}) << 3
        << u"a|b|c|d|e"_s << u""_s;
    QTest::newRow("words: quoted word keeps its comma")
        << Words << lines({"\"" + st("x") + "," + st("y") + "\"", st("z")}) << 2 << u"x4y|z"_s
        << u""_s;
    QTest::newRow("words: text after the closing quote dropped")
        << Words << lines({"\"" + st("ab") + "\"" + st("zz") + "," + st("cd")}) << 1
        << u"ab|cd"_s << u""_s;
    QTest::newRow("words: unbalanced quote runs to the line end")
        << Words << lines({"\"" + st("ab") + "," + st("c"), st("d")}) << 2 << u"ab4c|d"_s << u""_s;
    QTest::newRow("words: leading blanks skipped, inner ones kept")
        << Words << lines({"  " + st("ab"), st("c") + ", " + st("d") + " " + st("e")}) << 2
        << u"ab|c|d(e"_s << u""_s;
    QTest::newRow("words: empty line is an empty word")
        << Words << lines({st("a"), "", st("b")}) << 3 << u"a||b"_s << u""_s;
    QTest::newRow("words: shown comma is no separator")
        << Words << lines({st("a,b")}) << 1 << u"a, b"_s << u""_s;
    QTest::newRow("words: LF, last word without line end")
        << Words << lines({st("a")}, "\n") + st("b") << 2 << u"a|b"_s << u""_s;
    QTest::newRow("words: undecodable after a comma")
        << Words << lines({st("a"), st("b"), st("c") + ",\x79"}) << 3 << u""_s
        << u", wiersz 3, znak 3:"_s;
    QTest::newRow("words: undecodable in a quoted word after blanks")
        << Words << lines({st("a"), "  \"" + st("ab") + "\xf8\""}) << 2 << u""_s
        << u", wiersz 2, znak 6:"_s;
    QTest::newRow("words: undecodable in a quoted word after a comma")
        << Words << lines({st("ab") + ",\"" + st("c") + "\xf8"}) << 1 << u""_s
        << u", wiersz 1, znak 6:"_s;
    QTest::newRow("missing file") << Verbs << "<missing>"_ba << 0 << u""_s << u":"_s;
    QTest::newRow("directory in its place") << Words << "<directory>"_ba << 0 << u""_s << u":"_s;
}

void TestDataFiles::read()
{
    QFETCH(int, reader);
    QFETCH(QByteArray, content);
    QFETCH(int, lines);
    QFETCH(QString, read);
    QFETCH(QString, error);

    const QString path = place(content);
    qint32 count = -1;
    if (!content.startsWith('<')) {
        QVERIFY(!LiczLinie(path, count, [] {}));
        QCOMPARE(count, lines);
    }
    QString joined;
    const auto fault = readAll(path, reader, joined);
    QVERIFY2(fault.has_value() == !error.isEmpty(), fault ? qPrintable(fault->message()) : "");
    if (!fault)
        QCOMPARE(joined, read);
    else
        QVERIFY2(fault->message().startsWith(u"Nie można wczytać pliku „%1”%2 "_s.arg(path, error)),
                 qPrintable(fault->message()));
}

// The data tool. result: what it writes (for build, the search words it
// stores, in their order) or, when it fails, where its message points.
void TestDataFiles::tool_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("result");

    QTest::newRow("encode") << u"encode"_s << "gehen\nx, y\n"_ba << 0 << "_]`]f\r\np$q\r\n"_ba;
    QTest::newRow("encode: comma without blank")
        << u"encode"_s << "gehen\nsein\nx,y\n"_ba << 1 << "wejście, wiersz 3, znak 2:"_ba;
    QTest::newRow("decode") << u"decode"_s << "_]`]f\r\np$q"_ba << 0 << "gehen\nx, y\n"_ba;
    QTest::newRow("decode: undecodable byte") << u"decode"_s << "YZ\r\nY\xf8"_ba << 1
                                              << ", wiersz 2, znak 2:"_ba;
    QTest::newRow("build: every field a word once, in German order")
        << u"build"_s
        << "gehen#ging#gegangen\nändern#änderte#geändert\nsehen#sah#gesehen, gesehn\n"
           "gehen#ging#gegangen\nhängen#hing#gehangen\nZug#zog#gezogen\n"_ba
        << 0
        << "ändern|änderte|geändert|gegangen|gehangen|gehen|gesehen, gesehn|gezogen|ging|hängen|"
           "hing|sah|sehen|zog|Zug"_ba;
    QTest::newRow("build: one separator") << u"build"_s << "a#b#c\nd#e\n"_ba << 1 << ", wiersz 2:"_ba;
    QTest::newRow("build: three separators") << u"build"_s << "a#b#c#d\n"_ba << 1 << ", wiersz 1:"_ba;
    QTest::newRow("build: empty field") << u"build"_s << "a#b#c\na##c\n"_ba << 1 << ", wiersz 2:"_ba;
    QTest::newRow("build: comma without blank")
        << u"build"_s << "a#b,c#d\n"_ba << 1 << ", wiersz 1, znak 4:"_ba;
    QTest::newRow("build: field that cannot be a search word")
        << u"build"_s << "a#b#c\nd#e#f4\n"_ba << 1 << ", wiersz 2, znak 6:"_ba;
}

void TestDataFiles::tool()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(QByteArray, result);

    const QString in = place(input);
    const QDir out(in + u".out"_s);
    QStringList arguments{command};
    if (command != u"encode")
        arguments << in;
    if (command == u"build")
        arguments << out.path();
    QProcess tool;
    tool.start(qEnvironmentVariable("STRELKAVO_BIN_DIR") + u"/strelkavo-data"_s, arguments);
    tool.write(command == u"encode" ? input : QByteArray());
    tool.closeWriteChannel();
    QVERIFY(tool.waitForFinished() && tool.exitStatus() == QProcess::NormalExit);
    const QByteArray err = tool.readAllStandardError();
    QVERIFY2(tool.exitCode() == status, err.constData());
    if (status != 0) {
        const QByteArray source = command == u"encode" ? QByteArray() : in.toUtf8();
        QVERIFY2(err.contains(source + result), err.constData());
        QVERIFY(tool.readAllStandardOutput().isEmpty() && !out.exists());
        return;
    }
    if (command != u"build") {
        QCOMPARE(tool.readAllStandardOutput(), result);
        return;
    }
    QString verbs, words;
    QVERIFY(!readAll(out.filePath(kVerbFileName), Verbs, verbs));
    QVERIFY(!readAll(out.filePath(kWordFileName), Words, words));
    QCOMPARE(verbs, QString::fromUtf8(input).trimmed().replace(u'\n', u'|').replace(u'#', u'|'));
    QCOMPARE(words.toUtf8(), result);
}

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
