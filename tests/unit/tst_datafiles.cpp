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

// What the readers make of a file as "lines: fields or words joined by |", or
// where the load error points after the file's name, as in ", wiersz 3:".
QString readAll(const QString &path, int reader)
{
    qint32 count = 0;
    QStringList read;
    auto error = LiczLinie(path, count, [] {});
    WordList words;
    VerbTable table;
    if (!error && reader == Words) {
        error = ReadData2(count, path, words, [] {});
    } else if (!error) {
        table = VerbTable(count + (reader == VerbsOneMore));
        error = ReadData(qint32(table.size()), path, table, [] {});
    }
    for (qsizetype i = 0; i < words.size(); ++i)
        read << words.word(i);
    for (qsizetype i = 0; i < table.size(); ++i)
        read << table.row(i)[0] << table.row(i)[1] << table.row(i)[2];
    if (!error)
        return u"%1: "_s.arg(count) + read.join(u'|');
    const QString prefix = u"Nie można wczytać pliku „%1”"_s.arg(path);
    return error->message().remove(prefix).section(u':', 0, 0) + u':';
}

} // namespace

class TestDataFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    // A new file with the content given, in a folder whose name a message
    // must not read as a place for one of its parts.
    QString place(const QByteArray &content)
    {
        const QDir folder(m_dir.filePath(u"a%1b"_s));
        QFile file(folder.filePath(u"f%1.dat"_s.arg(++m_files)));
        if (!folder.mkpath(u"."_s) || !file.open(QIODevice::WriteOnly)
            || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

private Q_SLOTS:
    void read_data();
    void read();
    void tool_data();
    void tool();
};

void TestDataFiles::read_data()
{
    QTest::addColumn<int>("reader");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("result");

    const QByteArray good = st("a#b#c");
    const auto row = [](const char *name, int reader, const QByteArray &content,
                        const char *result) {
        QTest::newRow(name) << reader << content << QString::fromUtf8(result);
    };
    row("verbs: LF; x#y#z#w keeps its third #", Verbs, lines({st("x#y#z#w")}, "\n"), "1: x|y|z#w");
    row("verbs: last line without line end", Verbs, lines({good}) + st("d#e#f"), "2: a|b|c|d|e|f");
    row("verbs: 0xF8 in line 3", Verbs, lines({good, good, st("d#") + "\xf8", good}),
        ", wiersz 3, znak 3:");
    row("verbs: file shorter than counted", VerbsOneMore, lines({good, good}), ", wiersz 3:");
    row("words: blanks, then a quoted word with its comma; what follows dropped", Words,
        lines({"  \"" + st("x") + "," + st("y") + "\"" + st("zz") + "," + st("w")}), "1: x4y|w");
    row("words: undecodable in a quoted word after blanks", Words,
        lines({st("a"), "  \"" + st("ab") + "\xf8\""}), ", wiersz 2, znak 6:");
    row("words: undecodable in a quoted word after a comma", Words,
        lines({st("ab") + ",\"" + st("c") + "\xf8"}), ", wiersz 1, znak 6:");
}

void TestDataFiles::read()
{
    QFETCH(int, reader);
    QFETCH(QByteArray, content);
    QFETCH(QString, result);
    QCOMPARE(readAll(place(content), reader), result);
}

// The data tool: what it writes (for build, how the program reads the two
// files it makes) or, when it fails, where its message points.
void TestDataFiles::tool_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("result");

    const auto row = [](const char *name, const char *command, const QByteArray &input,
                        const char *result) {
        QTest::newRow(name) << QString::fromLatin1(command) << input << QString::fromUtf8(result);
    };
    row("encode", "encode", "gehen\nx, y\n", "_]`]f\r\np$q\r\n");
    row("encode: comma without blank", "encode", "gehen\nsein\nx,y\n",
        "wejście, wiersz 3, znak 2:");
    row("decode", "decode", "_]`]f\r\np$q", "gehen\nx, y\n");
    row("decode: undecodable byte", "decode", "YZ\r\nY\xf8", "<in>, wiersz 2, znak 2:");
    row("build: every field a word once, in German order", "build",
        "gehen#ging#gegangen\nändern#änderte#geändert\nsehen#sah#gesehen, gesehn\n"
        "gehen#ging#gegangen\nZug#zog#gezogen\n",
        "5: gehen|ging|gegangen|ändern|änderte|geändert|sehen|sah|gesehen, gesehn|gehen|ging|"
        "gegangen|Zug|zog|gezogen\n"
        "12: ändern|änderte|geändert|gegangen|gehen|gesehen, gesehn|gezogen|ging|sah|sehen|"
        "zog|Zug");
    row("build: three separators", "build", "a#b#c#d\n", "<in>, wiersz 1:");
    row("build: empty field", "build", "a#b#c\na##c\n", "<in>, wiersz 2:");
    row("build: no stored form, after a comma", "build", "a, bЖ#c#d\n", "<in>, wiersz 1, znak 5:");
    row("build: * in a word", "build", "a#b*#c\n", "<in>, wiersz 1, znak 4:");
    row("build: ( leading a word", "build", "a#(b)#c\n", "<in>, wiersz 1, znak 3:");
    row("build: a character stored as CR", "build", "a#b\x15#c\n", "<in>, wiersz 1, znak 4:");
}

void TestDataFiles::tool()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, input);
    QFETCH(QString, result);

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
    QString did = QString::fromUtf8(tool.readAllStandardOutput());
    if (tool.exitCode() != 0) {
        QVERIFY2(did.isEmpty() && !out.exists(), qPrintable(did));
        // "strelkavo-data: PATH, wiersz 2, znak 5: what is wrong"
        did = QString::fromUtf8(tool.readAllStandardError()).section(u": "_s, 1, 1);
        did = did.replace(in, u"<in>"_s) + u':';
    } else if (command == u"build") {
        for (const QString &name : {kVerbFileName, kWordFileName}) {
            QFile file(out.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QCOMPARE(bytes.count("\r\n"), bytes.count('\n')); // every line ends in CR LF
        }
        did = readAll(out.filePath(kVerbFileName), Verbs) + u'\n'
            + readAll(out.filePath(kWordFileName), Words);
    }
    QCOMPARE(did, result);
}

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
