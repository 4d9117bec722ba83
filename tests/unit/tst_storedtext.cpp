#include "data/datafiles.h"
#include "data/storedtext.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace strelkavo;
using namespace Qt::StringLiterals;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

Run runTool(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess tool;
    tool.start(QString::fromLocal8Bit(qgetenv("STRELKAVO_BIN_DIR")) + u"/strelkavo-data"_s,
               arguments);
    Run run;
    if (!tool.waitForStarted())
        return run;
    tool.write(input);
    tool.closeWriteChannel();
    if (!tool.waitForFinished() || tool.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = tool.exitCode();
    run.out = tool.readAllStandardOutput();
    run.err = QString::fromUtf8(tool.readAllStandardError());
    return run;
}

QString utf8Lines(const QStringList &lines)
{
    return lines.join(u'\n') + u'\n';
}

} // namespace

class TestStoredText : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase();
    void encoding_data();
    void encoding();
    void buildMakesBothFiles();
    void encodeRefusesBadLine();
    void buildRefuses_data();
    void buildRefuses();
};

void TestStoredText::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString tool = QString::fromLocal8Bit(qgetenv("STRELKAVO_BIN_DIR")) + u"/strelkavo-data"_s;
    QVERIFY2(QFile::exists(tool), qPrintable(u"the data tool is not at "_s + tool));
}

// position: 1-based place of the refused character, 0 when the text is taken.
void TestStoredText::encoding_data()
{
    QTest::addColumn<bool>("word");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("position");

    QTest::newRow("line: verb line") << false << u"gehen#ging#gegangen"_s << 0;
    QTest::newRow("line: letters and comma with blank") << false << u"łączyć, ß#ä#Ö"_s << 0;
    QTest::newRow("line: empty") << false << QString() << 0;
    QTest::newRow("line: 4, * and ( are plain") << false << u"(4*)#\"#x"_s << 0;
    QTest::newRow("line: comma without blank") << false << u"a,b"_s << 2;
    QTest::newRow("line: comma at the end") << false << u"ab,"_s << 3;
    QTest::newRow("line: second comma without blank") << false << u"a, b,c"_s << 5;
    QTest::newRow("line: outside the code page") << false << u"abЖ"_s << 3;
    QTest::newRow("line: position counts the dropped blank") << false << u"a, bЖ"_s << 5;
    QTest::newRow("line: stored as LF") << false << u"ab"_s + QChar(0x12) << 3;
    QTest::newRow("line: stored as CR") << false << QString(QChar(0x15)) << 1;
    QTest::newRow("line: code below 8") << false << u"a"_s + QChar(3) << 2;
    QTest::newRow("word: plain") << true << u"gegangen"_s << 0;
    QTest::newRow("word: umlauts") << true << u"äöüß"_s << 0;
    QTest::newRow("word: comma with blank") << true << u"a, b"_s << 0;
    QTest::newRow("word: inner parenthesis") << true << u"a(b)"_s << 0;
    QTest::newRow("word: 4") << true << u"4"_s << 1;
    QTest::newRow("word: inner 4") << true << u"ab4c"_s << 3;
    QTest::newRow("word: *") << true << u"a*"_s << 2;
    QTest::newRow("word: leading (") << true << u"(ab"_s << 1;
    QTest::newRow("word: comma without blank") << true << u"ab,c"_s << 3;
    QTest::newRow("word: outside the code page") << true << u"ä€Ж"_s << 3;
    QTest::newRow("word: stored as LF") << true << QString(QChar(0x12)) << 1;
}

void TestStoredText::encoding()
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
    if (word) {
        // The word reader takes the stored word back as one whole field.
        QList<QByteArray> fields;
        splitWordLine(*stored, [&](QByteArrayView field, qsizetype) {
            fields.append(field.toByteArray());
        });
        QCOMPARE(fields, QList<QByteArray>{*stored});
    }
}

void TestStoredText::buildMakesBothFiles()
{
    const QStringList list{u"gehen#ging#gegangen"_s, u"sein#war#gewesen"_s,
                           u"ändern#änderte#geändert"_s, u"sehen#sah#gesehen, gesehn"_s,
                           u"gehen#ging#gegangen"_s, u"hängen#hing#gehangen"_s};
    const QString listPath = m_dir.filePath(u"verbs.txt"_s);
    const QString outDir = m_dir.filePath(u"out"_s);
    {
        QFile file(listPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(utf8Lines(list).toUtf8());
    }
    const Run build = runTool({u"build"_s, listPath, outDir});
    QVERIFY2(build.status == 0, qPrintable(build.err));

    const Run verbs = runTool({u"decode"_s, QDir(outDir).filePath(kVerbFileName)});
    QCOMPARE(verbs.status, 0);
    QCOMPARE(QString::fromUtf8(verbs.out), utf8Lines(list));

    QStringList distinct;
    for (const QString &line : list)
        for (const QString &field : splitVerbLine(line))
            if (!distinct.contains(field))
                distinct.append(field);
    const Run words = runTool({u"decode"_s, QDir(outDir).filePath(kWordFileName)});
    QCOMPARE(words.status, 0);
    QCOMPARE(QString::fromUtf8(words.out), utf8Lines(distinct));

    // The program's own readers see the same.
    QStringList read;
    QVERIFY(!ReadData2(0, QDir(outDir).filePath(kWordFileName), read, [] {}));
    QCOMPARE(read, distinct);
}

void TestStoredText::encodeRefusesBadLine()
{
    const Run good = runTool({u"encode"_s}, "gehen\nx, y\n");
    QCOMPARE(good.status, 0);
    QCOMPARE(good.out, QByteArray("_]`]f\r\np$q\r\n"));

    const Run bad = runTool({u"encode"_s}, "gehen\nsein\nx,y\n");
    QVERIFY(bad.status > 0);
    QVERIFY2(bad.err.contains(u"wiersz 3"_s), qPrintable(bad.err));
    QVERIFY(bad.out.isEmpty());
}

void TestStoredText::buildRefuses_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("line");

    QTest::newRow("one separator") << u"a#b#c\nd#e\n"_s << 2;
    QTest::newRow("no separator") << u"a#b#c\nd#e#f\ng\n"_s << 3;
    QTest::newRow("three separators") << u"a#b#c#d\n"_s << 1;
    QTest::newRow("empty field") << u"a#b#c\na##c\n"_s << 2;
    QTest::newRow("comma without blank") << u"a#b,c#d\n"_s << 1;
    QTest::newRow("field that cannot be a search word") << u"a#b#c\nd#e#f4\n"_s << 2;
}

void TestStoredText::buildRefuses()
{
    QFETCH(QString, list);
    QFETCH(int, line);

    static int runs = 0;
    const QString listPath = m_dir.filePath(u"bad%1.txt"_s.arg(++runs));
    const QString outDir = m_dir.filePath(u"bad%1"_s.arg(runs));
    {
        QFile file(listPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(list.toUtf8());
    }
    const Run build = runTool({u"build"_s, listPath, outDir});
    QVERIFY(build.status > 0);
    QVERIFY2(build.err.contains(u"wiersz %1"_s.arg(line)), qPrintable(build.err));
    QVERIFY(!QFile::exists(QDir(outDir).filePath(kVerbFileName)));
    QVERIFY(!QFile::exists(QDir(outDir).filePath(kWordFileName)));
}

QTEST_GUILESS_MAIN(TestStoredText)
#include "tst_storedtext.moc"
