// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// strelkavo-data: prepares and inspects the program's encoded data files.
//
//   strelkavo-data decode FILE        shown text of an encoded file, as UTF-8
//   strelkavo-data encode             UTF-8 lines on stdin to the stored form
//   strelkavo-data build LIST OUTDIR  czas.dat and czas2.dat from a verb list
//   strelkavo-data generate ROWS SEED a synthetic verb list on stdout, for benchmarks

#include "data/codec.h"
#include "data/datafiles.h"
#include "data/storedtext.h"
#include "table/search.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QHash>

#include <cstdio>

using namespace strelkavo;

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "strelkavo-data: %s\n", qUtf8Printable(message));
    return 1;
}

QString where(const QString &source, qint64 line, const CodecFault &fault)
{
    // One arg() for all the parts: a chained arg() would read a "%1" in the
    // path as a place for the next part.
    return QStringLiteral("%1, wiersz %2, znak %3: %4")
        .arg(source, QString::number(line), QString::number(fault.position), fault.what);
}

bool writeAll(FILE *stream, const QByteArray &bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size());
}

int decode(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    const QByteArray data = file.readAll();
    QByteArray out;
    QString error;
    forEachLine(data, [&](QByteArrayView line, qint64 number) {
        CodecFault fault;
        const auto shown = DeXKoduj(line, &fault);
        if (!shown) {
            error = where(path, number, fault);
            return false;
        }
        out += shown->toUtf8();
        out += '\n';
        return true;
    });
    if (!error.isEmpty())
        return fail(error);
    return writeAll(stdout, out) ? 0 : fail(QStringLiteral("nie można pisać na wyjście"));
}

QByteArray readStdin()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return {};
    return in.readAll();
}

int encode()
{
    const QByteArray data = readStdin();
    QByteArray out;
    QString error;
    forEachLine(data, [&](QByteArrayView line, qint64 number) {
        CodecFault fault;
        const auto stored = encodeLine(QString::fromUtf8(line), &fault);
        if (!stored) {
            error = where(QStringLiteral("wejście"), number, fault);
            return false;
        }
        out += *stored;
        out += "\r\n";
        return true;
    });
    if (!error.isEmpty())
        return fail(error);
    return writeAll(stdout, out) ? 0 : fail(QStringLiteral("nie można pisać na wyjście"));
}

bool save(const QString &path, const QByteArray &bytes, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

// Every distinct field becomes a search word, so that any form a user types
// leads to a row holding it.
int build(const QString &listPath, const QString &outDir)
{
    QFile file(listPath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(listPath, file.errorString()));
    const QByteArray data = file.readAll();

    QByteArray verbs;
    QHash<QString, QByteArray> storedWords;
    QStringList distinct;
    QString error;
    forEachLine(data, [&](QByteArrayView bytes, qint64 number) {
        const QString line = QString::fromUtf8(bytes);
        if (line.count(u'#') != 2) {
            error = QStringLiteral("%1, wiersz %2: wiersz musi mieć trzy pola rozdzielone "
                                   "znakiem „#”")
                        .arg(listPath, QString::number(number));
            return false;
        }
        CodecFault fault;
        const auto stored = encodeLine(line, &fault);
        if (!stored) {
            error = where(listPath, number, fault);
            return false;
        }
        verbs += *stored + "\r\n";
        const VerbRow row = splitVerbLine(line);
        // Where each field begins in the line, so that a fault names its character there.
        qsizetype start = 0;
        for (const QString &field : row) {
            const qsizetype offset = start;
            start += field.size() + 1;
            if (field.isEmpty()) {
                error = QStringLiteral("%1, wiersz %2: puste pole")
                            .arg(listPath, QString::number(number));
                return false;
            }
            if (storedWords.contains(field))
                continue;
            const auto word = encodeWord(field, &fault);
            if (!word) {
                fault.position += offset;
                error = where(listPath, number, fault);
                return false;
            }
            storedWords.insert(field, *word);
            distinct.append(field);
        }
        return true;
    });
    if (!error.isEmpty())
        return fail(error);
    // Written in the order the program keeps them, so that it finds them
    // sorted already and need not sort them again at every start.
    sortWordList(distinct, wordListCollator(wordFileLocale()));
    QByteArray words;
    for (const QString &word : std::as_const(distinct))
        words += storedWords.value(word) + "\r\n";
    if (!QDir().mkpath(outDir))
        return fail(QStringLiteral("nie można utworzyć katalogu %1").arg(outDir));
    const QDir dir(outDir);
    if (!save(dir.filePath(kVerbFileName), verbs, error)
        || !save(dir.filePath(kWordFileName), words, error))
        return fail(error);
    return 0;
}

// Pronounceable lower-case words with German letters, distinct per row, so
// that generated tables exercise the collation and the index like real data.
int generate(qint64 rows, quint32 seed)
{
    QRandomGenerator random(seed);
    const QString consonants = QStringLiteral("bcdfghklmnprstwzß");
    const QString vowels = QStringLiteral("aeiouäöü");
    auto word = [&](int syllables) {
        QString text;
        for (int i = 0; i < syllables; ++i) {
            text += consonants.at(random.bounded(int(consonants.size())));
            text += vowels.at(random.bounded(int(vowels.size())));
        }
        return text;
    };
    // The row number spelled in letters keeps every stem distinct.
    auto letters = [](qint64 number) {
        QString text;
        do {
            text += QChar(u'a' + int(number % 26));
            number /= 26;
        } while (number > 0);
        return text;
    };
    QByteArray out;
    for (qint64 row = 0; row < rows; ++row) {
        const QString stem = word(2) + letters(row);
        out += (stem + QStringLiteral("en#") + stem + QStringLiteral("te#ge") + stem
                + QStringLiteral("t\n"))
                   .toUtf8();
    }
    return writeAll(stdout, out) ? 0 : fail(QStringLiteral("nie można pisać na wyjście"));
}

int usage()
{
    return fail(QStringLiteral(
        "użycie: strelkavo-data decode PLIK | encode | build LISTA KATALOG | generate WIERSZE ZIARNO"));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("decode"))
        return decode(args[1]);
    if (args.size() == 1 && args[0] == QLatin1String("encode"))
        return encode();
    if (args.size() == 3 && args[0] == QLatin1String("build"))
        return build(args[1], args[2]);
    if (args.size() == 3 && args[0] == QLatin1String("generate"))
        return generate(args[1].toLongLong(), args[2].toUInt());
    return usage();
}
