// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "datafiles.h"

#include "codec.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

namespace strelkavo {
namespace {

constexpr char kStoredComma = 0x2C;
constexpr char kStoredQuote = 0x22;
constexpr char kStoredBlank = 0x20;

// The whole file in one read: the files are small and read front to back, and
// the file is closed again before anything else is opened.
std::optional<LoadError> readWholeFile(const QString &path, QByteArray &data)
{
    const QFileInfo info(path);
    if (!info.exists())
        return LoadError{path, 0, QStringLiteral("plik nie istnieje")};
    if (info.isDir())
        return LoadError{path, 0, QStringLiteral("w miejscu pliku jest katalog")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const bool denied = file.error() == QFileDevice::OpenError && !info.isReadable();
        return LoadError{path, 0,
                         denied ? QStringLiteral("brak uprawnień do odczytu pliku")
                                : QStringLiteral("nie można otworzyć pliku (%1)")
                                      .arg(file.errorString())};
    }
    data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return LoadError{path, 0,
                         QStringLiteral("błąd odczytu pliku (%1)").arg(file.errorString())};
    return std::nullopt;
}

LoadError undecodable(const QString &path, qint64 line, const CodecFault &fault)
{
    return LoadError{path, line, fault.what, fault.position};
}

} // namespace

QString LoadError::message() const
{
    // One arg() for all the parts: a chained arg() would read a "%1" in the
    // path as a place for the next part.
    if (line > 0 && column > 0)
        return QStringLiteral("Nie można wczytać pliku „%1”, wiersz %2, znak %3: %4.")
            .arg(file, QString::number(line), QString::number(column), what);
    if (line > 0)
        return QStringLiteral("Nie można wczytać pliku „%1”, wiersz %2: %3.")
            .arg(file, QString::number(line), what);
    return QStringLiteral("Nie można wczytać pliku „%1”: %2.").arg(file, what);
}

void forEachLine(QByteArrayView data,
                 const std::function<bool(QByteArrayView line, qint64 number)> &onLine)
{
    qint64 number = 0;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        const qsizetype next = end < 0 ? data.size() : end + 1;
        if (end < 0)
            end = data.size();
        else if (end > start && data[end - 1] == '\r')
            --end;
        if (!onLine(data.sliced(start, end - start), ++number))
            return;
        start = next;
    }
}

std::optional<LoadError> LiczLinie(const QString &path, qint32 &count, const Yield &yield)
{
    QByteArray data;
    if (auto error = readWholeFile(path, data))
        return error;
    qint64 lines = data.count('\n');
    if (!data.isEmpty() && !data.endsWith('\n'))
        ++lines;
    if (lines > std::numeric_limits<qint32>::max())
        return LoadError{path, 0, QStringLiteral("plik ma więcej wierszy, niż program obsługuje")};
    count = qint32(lines);
    yield();
    return std::nullopt;
}

VerbRow splitVerbLine(QStringView line)
{
    VerbRow row;
    const qsizetype p1 = line.indexOf(u'#');
    if (p1 < 0) {
        row[0] = line.toString();
        return row;
    }
    row[0] = line.first(p1).toString();
    const qsizetype p2 = line.indexOf(u'#', p1 + 1);
    if (p2 < 0) {
        row[1] = line.sliced(p1 + 1).toString();
        return row;
    }
    row[1] = line.sliced(p1 + 1, p2 - p1 - 1).toString();
    row[2] = line.sliced(p2 + 1).toString();
    return row;
}

std::optional<LoadError> ReadData(qint32 n, const QString &path, VerbTable &table,
                                  const Yield &yield)
{
    QByteArray data;
    if (auto error = readWholeFile(path, data))
        return error;
    std::optional<LoadError> error;
    qint64 filled = 0;
    forEachLine(data, [&](QByteArrayView line, qint64 number) {
        if (number > n || number > table.size())
            return false;
        CodecFault fault;
        const auto shown = DeXKoduj(line, &fault);
        if (!shown) {
            error = undecodable(path, number, fault);
            return false;
        }
        table[number - 1] = splitVerbLine(*shown);
        filled = number;
        yield();
        return true;
    });
    if (!error && filled < n)
        error = LoadError{path, filled + 1,
                          QStringLiteral("plik skończył się wcześniej, niż wynikało z liczby "
                                         "wierszy (czy zmienił się w trakcie wczytywania?)")};
    return error;
}

void splitWordLine(QByteArrayView line,
                   const std::function<void(QByteArrayView field, qsizetype offset)> &onField)
{
    qsizetype pos = 0;
    for (;;) {
        while (pos < line.size() && line[pos] == kStoredBlank)
            ++pos;
        qsizetype comma;
        if (pos < line.size() && line[pos] == kStoredQuote) {
            const qsizetype close = line.indexOf(kStoredQuote, pos + 1);
            const qsizetype end = close < 0 ? line.size() : close;
            onField(line.sliced(pos + 1, end - pos - 1), pos + 1);
            comma = close < 0 ? -1 : line.indexOf(kStoredComma, close + 1);
        } else {
            comma = line.indexOf(kStoredComma, pos);
            const qsizetype end = comma < 0 ? line.size() : comma;
            onField(line.sliced(pos, end - pos), pos);
        }
        if (comma < 0)
            return;
        pos = comma + 1;
    }
}

std::optional<LoadError> ReadData2(qint32 lineCount, const QString &path, QStringList &words,
                                   const Yield &yield)
{
    QByteArray data;
    if (auto error = readWholeFile(path, data))
        return error;
    words.reserve(words.size() + lineCount);
    std::optional<LoadError> error;
    forEachLine(data, [&](QByteArrayView line, qint64 number) {
        splitWordLine(line, [&](QByteArrayView field, qsizetype offset) {
            if (error)
                return;
            CodecFault fault;
            auto word = DeXKoduj(field, &fault);
            if (!word) {
                fault.position += offset;
                error = undecodable(path, number, fault);
                return;
            }
            words.append(std::move(*word));
            yield();
        });
        return !error;
    });
    return error;
}

} // namespace strelkavo
