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

// A load error's message from the file's name on, as in ", wiersz 3, znak 2".
QString where(const LoadError &error)
{
    const QString prefix = u"Nie można wczytać pliku „%1”"_s.arg(error.file);
    return error.message().remove(prefix).section(u':', 0, 0);
}

} // namespace

class TestDataFiles : public QObject
{
    Q_OBJECT

public:
    // Which reader reads the file; the verb reader can be asked for one line too many.
    enum class Reader { Verbs, Words, VerbsOneMore };
    Q_ENUM(Reader)

private:
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

    // Verb fields or words in the order read, or where the load error points.
    static QStringList readAll(const QString &path, Reader reader)
    {
        qint32 count = 0;
        QStringList read;
        auto error = LiczLinie(path, count, [] {});
        WordList words;
        VerbTable table;
        if (!error && reader == Reader::Words) {
            error = ReadData2(count, path, words, [] {});
        } else if (!error) {
            table = VerbTable(count + (reader == Reader::VerbsOneMore));
            error = ReadData(qint32(table.size()), path, table, [] {});
        }
        for (qsizetype i = 0; i < words.size(); ++i)
            read << words.word(i);
        for (qsizetype i = 0; i < table.size(); ++i)
            read << table.row(i)[0] << table.row(i)[1] << table.row(i)[2];
        return error ? QStringList{where(*error)} : read;
    }

    // The data tool's output, or where its message points with the input's
    // path as "<in>"; a failed run writes nothing.
    QByteArray runTool(QStringList arguments, const QByteArray &input)
    {
        const QString in = place(input);
        if (arguments[0] != u"encode")
            arguments.insert(1, in);
        QProcess tool;
        tool.start(qEnvironmentVariable("STRELKAVO_BIN_DIR") + u"/strelkavo-data"_s, arguments);
        tool.write(arguments[0] == u"encode" ? input : QByteArray());
        tool.closeWriteChannel();
        if (!tool.waitForFinished() || tool.exitStatus() != QProcess::NormalExit)
            return "(crashed)";
        const QByteArray out = tool.readAllStandardOutput();
        if (tool.exitCode() == 0)
            return out;
        if (!out.isEmpty())
            return "(failed, with output)";
        // "strelkavo-data: PATH, wiersz 2, znak 5: what is wrong"
        const QString said = QString::fromUtf8(tool.readAllStandardError());
        return said.section(u": "_s, 1, 1).replace(in, u"<in>"_s).toUtf8();
    }

private Q_SLOTS:
    void read_data();
    void read();
    void build();
    void buildRefuses_data();
    void buildRefuses();
};

void TestDataFiles::read_data()
{
    QTest::addColumn<Reader>("reader");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("read");

    const QByteArray good = st("a#b#c");
    QTest::newRow("verbs: LF; x#y#z#w keeps its third #")
        << Reader::Verbs << lines({st("x#y#z#w")}, "\n") << QStringList{u"x"_s, u"y"_s, u"z#w"_s};
    QTest::newRow("verbs: last line without line end")
        << Reader::Verbs << lines({good}) + st("d#e#f")
        << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s};
    QTest::newRow("verbs: 0xF8 in line 3")
        << Reader::Verbs << lines({good, good, st("d#") + "\xf8", good})
        << QStringList{u", wiersz 3, znak 3"_s};
    QTest::newRow("verbs: file shorter than counted")
        << Reader::VerbsOneMore << lines({good, good}) << QStringList{u", wiersz 3"_s};
    QTest::newRow("words: blanks, then a quoted word with its comma; what follows dropped")
        << Reader::Words
        << lines({"  \"" + st("x") + "," + st("y") + "\"" + st("zz") + "," + st("w")})
        << QStringList{u"x4y"_s, u"w"_s};
    QTest::newRow("words: undecodable in a quoted word after blanks")
        << Reader::Words << lines({st("a"), "  \"" + st("ab") + "\xf8\""})
        << QStringList{u", wiersz 2, znak 6"_s};
    QTest::newRow("words: undecodable in a quoted word after a comma")
        << Reader::Words << lines({st("ab") + ",\"" + st("c") + "\xf8"})
        << QStringList{u", wiersz 1, znak 6"_s};
}

void TestDataFiles::read()
{
    QFETCH(Reader, reader);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, read);
    QCOMPARE(readAll(place(content), reader), read);
}

// Every field a word once, in German order, the lines ending in CR LF; the
// program reads back what the list holds.
void TestDataFiles::build()
{
    const QDir out(m_dir.filePath(u"built"_s));
    const QByteArray list = "gehen#ging#gegangen\nändern#änderte#geändert\n"
                            "sehen#sah#gesehen, gesehn\ngehen#ging#gegangen\nZug#zog#gezogen\n";
    QCOMPARE(runTool({u"build"_s, out.path()}, list), ""_ba);
    for (const QString &name : {kVerbFileName, kWordFileName}) {
        QFile file(out.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
    }
    QStringList fields;
    for (const QString &line : QString::fromUtf8(list).split(u'\n', Qt::SkipEmptyParts))
        fields << line.split(u'#');
    QCOMPARE(readAll(out.filePath(kVerbFileName), Reader::Verbs), fields);
    const QStringList words{u"ändern"_s, u"änderte"_s, u"geändert"_s, u"gegangen"_s,
                            u"gehen"_s,  u"gesehen, gesehn"_s, u"gezogen"_s, u"ging"_s,
                            u"sah"_s,    u"sehen"_s,   u"zog"_s,      u"Zug"_s};
    QCOMPARE(readAll(out.filePath(kWordFileName), Reader::Words), words);
}

// Where the message points; nothing is written.
void TestDataFiles::buildRefuses_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QByteArray>("where");

    QTest::newRow("three separators") << "a#b#c#d\n"_ba << "<in>, wiersz 1"_ba;
    QTest::newRow("empty field") << "a#b#c\na##c\n"_ba << "<in>, wiersz 2"_ba;
    QTest::newRow("no stored form, after a comma")
        << "a, bЖ#c#d\n"_ba << "<in>, wiersz 1, znak 5"_ba;
    QTest::newRow("* in a word") << "a#b*#c\n"_ba << "<in>, wiersz 1, znak 4"_ba;
    QTest::newRow("4 in a word, the word reader's comma")
        << "a#b#c4\n"_ba << "<in>, wiersz 1, znak 6"_ba;
    QTest::newRow("( leading a word") << "a#(b)#c\n"_ba << "<in>, wiersz 1, znak 3"_ba;
    QTest::newRow("a character stored as CR") << "a#b\x15#c\n"_ba << "<in>, wiersz 1, znak 4"_ba;
}

void TestDataFiles::buildRefuses()
{
    QFETCH(QByteArray, list);
    QFETCH(QByteArray, where);
    const QDir out(m_dir.filePath(u"refused"_s));
    QCOMPARE(runTool({u"build"_s, out.path()}, list), where);
    QVERIFY(!out.exists());
}

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
